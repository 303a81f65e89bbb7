// What the pages say, as tables: the status of a link and its signal, how a
// network is secured, the name of Windows, and the installation's steps.
#include "InstallSteps.h"
#include "SecurityWords.h"
#include "StatusWords.h"
#include "TestText.h"
#include "VersionWords.h"

#include <gtest/gtest.h>

namespace {

TAVRONET_LINK Link(unsigned long state, unsigned long known) {
    TAVRONET_LINK l = {};
    l.size = sizeof l;
    l.state = state;
    l.known = known;
    const char name[] = "HomeNet-5G";
    l.ssidLength = sizeof name - 1;
    std::memcpy(l.ssid, name, l.ssidLength);
    SetWide(l.ssidW, TAVRONET_SSID_CHARS, u"HomeNet-5G");
    const unsigned char bssid[6] = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}, mac[6] = {2, 0, 0, 0, 0, 1};
    std::memcpy(l.bssid, bssid, 6);
    std::memcpy(l.macAddress, mac, 6);
    l.channel = 36;
    l.frequencyMHz = 5180;
    l.signalPercent = 72;
    l.rssiDbm = -64;
    l.txRateKbps = 866700;
    l.rxRateKbps = 54000;
    l.phy = TAVRONET_PHY_AC;
    l.authentication = TAVRONET_AUTH_WPA2_PSK;
    l.cipher = TAVRONET_CIPHER_CCMP;
    return l;
}

std::string Line(const StatusTexts& t) {
    return Utf8(t.state + u"|" + t.network + u"|" + t.accessPoint + u"|" + t.channel + u"|" + t.signal + u"|" +
                t.txRate + u"|" + t.rxRate + u"|" + t.standard + u"|" + t.security + u"|" + t.mac);
}

}  // namespace

TEST(AppletPageWords, StatusReadsEachValueInOneCapitalisation) {
    const unsigned long all = 0x3FF;
    TAVRONET_LINK hidden = Link(TAVRONET_STATE_CONNECTED, all & ~TAVRONET_KNOWN_BSSID & ~TAVRONET_KNOWN_RSSI);
    hidden.locationDenied = 1;
    hidden.known &= ~TAVRONET_KNOWN_SSID;
    TAVRONET_LINK wide = Link(TAVRONET_STATE_CONNECTED, TAVRONET_KNOWN_SSID | TAVRONET_KNOWN_SIGNAL);
    SetWide(wide.ssidW, TAVRONET_SSID_CHARS, u"WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW");
    wide.ssidLength = 32;
    TAVRONET_LINK cafe = Link(TAVRONET_STATE_CONNECTED, all);
    SetWide(cafe.ssidW, TAVRONET_SSID_CHARS, u"Caf\u00E9 \u65E5\u672C\tx");
    // The channel query gives no frequency: channel 6 may be 2.4 or 6 GHz's.
    TAVRONET_LINK channelOnly = Link(TAVRONET_STATE_CONNECTED, all);
    channelOnly.channel = 6;
    channelOnly.frequencyMHz = 0;
    TAVRONET_LINK eht = Link(TAVRONET_STATE_CONNECTED, all);
    eht.channel = 2;
    eht.frequencyMHz = 5935;
    eht.phy = TAVRONET_PHY_BE;
    const struct {
        TAVRONET_LINK link;
        unsigned long code;
        const char* line;
    } rows[] = {
        {channelOnly, 0,
         "Connected|HomeNet-5G|00:1A:2B:3C:4D:5E|6|72 %, -64 dBm|866.7 Mbps|54.0 Mbps|802.11ac|"
         "WPA2-Personal, AES (CCMP)|02:00:00:00:00:01"},
        {eht, 0,
         "Connected|HomeNet-5G|00:1A:2B:3C:4D:5E|2 (6 GHz)|72 %, -64 dBm|866.7 Mbps|54.0 Mbps|802.11be|"
         "WPA2-Personal, AES (CCMP)|02:00:00:00:00:01"},
        {Link(TAVRONET_STATE_CONNECTED, all), 0,
         "Connected|HomeNet-5G|00:1A:2B:3C:4D:5E|36 (5 GHz)|72 %, -64 dBm|866.7 Mbps|54.0 Mbps|802.11ac|"
         "WPA2-Personal, AES (CCMP)|02:00:00:00:00:01"},
        {Link(TAVRONET_STATE_CONNECTED, TAVRONET_KNOWN_SSID), 0,
         "Connected|HomeNet-5G|Not available|Not available|Not available|Not available|Not available|Not available|"
         "Not available|Not available"},
        {hidden, 0,
         "Connected|Not shown without location access|Not shown without location access|36 (5 GHz)|72 %|"
         "866.7 Mbps|54.0 Mbps|802.11ac|WPA2-Personal, AES (CCMP)|02:00:00:00:00:01"},
        {Link(TAVRONET_STATE_NOT_CONNECTED, all), 0, "Not connected|||||||||02:00:00:00:00:01"},
        {Link(TAVRONET_STATE_SWITCH_OFF, 0), 0, "Radio off (hardware switch)|||||||||Not available"},
        {Link(TAVRONET_STATE_CONNECTED, all), 1168, "Not available (Element not found.)|||||||||Not available"},
        {wide, 0,
         "Connected|WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW|Not available|Not available|72 %|Not available|"
         "Not available|Not available|Not available|Not available"},
        {cafe, 0,
         "Connected|Caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC?x|00:1A:2B:3C:4D:5E|36 (5 GHz)|72 %, -64 dBm|"
         "866.7 Mbps|54.0 Mbps|802.11ac|WPA2-Personal, AES (CCMP)|02:00:00:00:00:01"},
    };
    for (const auto& r : rows) EXPECT_EQ(Line(StatusTextsOf(r.link, r.code, u"Element not found.")), r.line) << r.line;
}

TEST(AppletPageWords, SignalSummaryIsTheGraphsTextAlternative) {
    struct Sample {
        unsigned long age;
        bool linked;
        unsigned char percent;
    };
    const struct {
        std::vector<Sample> samples;
        unsigned long code;
        const char* text;
    } rows[] = {
        {{{5000, true, 40}, {2000, true, 80}, {1000, true, 72}},
         0,
         "Signal now 72 %, lowest 40 %, highest 80 % in the last ten minutes."},
        {{{700000, true, 5}, {2000, true, 60}, {0, true, 61}},
         0,  // older than ten minutes: left out
         "Signal now 61 %, lowest 60 %, highest 61 % in the last ten minutes."},
        {{{3000, true, 55}, {0, false, 0}}, 0, "Not connected now; lowest 55 %, highest 55 % in the last ten minutes."},
        {{{3000, false, 0}, {0, false, 0}}, 0, "No signal in the last ten minutes."},
        {{}, 0, "No signal in the last ten minutes."},
        {{{0, true, 100}}, 0, "Signal now 100 %, lowest 100 %, highest 100 % in the last ten minutes."},
        {{{0, true, 0}}, 0, "Signal now 0 %, lowest 0 %, highest 0 % in the last ten minutes."},
        {{{0, true, 50}}, 1, "The signal history is not available."},
    };
    static TAVRONET_HISTORY history;
    for (const auto& r : rows) {
        history = TAVRONET_HISTORY{};
        history.now = 1000000;
        for (const Sample& s : r.samples)
            history.samples[history.count++] = TAVRONET_SAMPLE{history.now - s.age, s.linked, s.percent, 0};
        EXPECT_EQ(Utf8(SignalSummary(history, r.code)), r.text);
    }
}

TEST(AppletPageWords, ProtectionNamesWepAndEightOhTwoOneXNeverAKey) {
    TAVRONET_PROFILE wep = {};
    wep.authentication = TAVRONET_AUTH_OPEN;
    wep.cipher = TAVRONET_CIPHER_WEP;
    wep.wepKeyIndex = 1;
    wep.wepKeyBits = 104;
    TAVRONET_PROFILE shared = wep;
    shared.authentication = TAVRONET_AUTH_SHARED;
    shared.wepKeyBits = 0;
    TAVRONET_PROFILE peap = {};
    peap.authentication = TAVRONET_AUTH_WPA2;
    peap.cipher = TAVRONET_CIPHER_CCMP;
    peap.oneX = 1;
    peap.eapType = 25;
    TAVRONET_PROFILE oneXOnly = peap;
    oneXOnly.eapType = 0;
    const struct {
        unsigned long auth, cipher;
        bool known;
        const TAVRONET_PROFILE* profile;
        const char* line;
    } rows[] = {
        {TAVRONET_AUTH_OPEN, TAVRONET_CIPHER_WEP, true, &wep, "Open|WEP|Key 1, 104 bits|Not used|Not used"},
        {TAVRONET_AUTH_SHARED, TAVRONET_CIPHER_WEP, true, &shared,
         "Shared key|WEP|Key 1, length not known|Not used|Not used"},
        {TAVRONET_AUTH_WPA2, TAVRONET_CIPHER_CCMP, true, &peap, "WPA2-Enterprise|AES (CCMP)|Not used|Used|PEAP"},
        {TAVRONET_AUTH_WPA2, TAVRONET_CIPHER_CCMP, true, &oneXOnly,
         "WPA2-Enterprise|AES (CCMP)|Not used|Used|Not available"},
        {TAVRONET_AUTH_WPA2, TAVRONET_CIPHER_CCMP, false, nullptr,
         "Not available|Not available|Not available|Not available|Not available"},
        {0, 0, true, nullptr, "Not available|Not available|Not available|Not available|Not available"},
    };
    for (const auto& r : rows) {
        const ProtectionTexts t = ProtectionOf(r.auth, r.cipher, r.known, r.profile);
        EXPECT_EQ(Utf8(t.authentication + u"|" + t.cipher + u"|" + t.wepKey + u"|" + t.oneX + u"|" + t.eap), r.line);
    }
}

// GetVersionExA answers 6.2 to a program without a manifest on 8.1 and
// later; RtlGetVersion tells the truth on every NT.
TEST(AppletPageWords, WindowsIsNamedByItsTrueVersionFrom98To11) {
    const struct {
        WindowsVersion version;
        const char* name;
    } rows[] = {
        {{1, 4, 0, 950, 1, ""}, "Windows 95, version 4.00 (build 950)"},
        {{1, 4, 10, 2222, 1, "A"}, "Windows 98, version 4.10 (build 2222), A"},
        {{1, 4, 90, 3000, 1, ""}, "Windows Me, version 4.90 (build 3000)"},
        {{2, 4, 0, 1381, 1, "Service Pack 6"}, "Windows NT 4.0, version 4.0 (build 1381), Service Pack 6"},
        {{2, 5, 0, 2195, 1, ""}, "Windows 2000, version 5.0 (build 2195)"},
        {{2, 5, 1, 2600, 1, "Service Pack 3"}, "Windows XP, version 5.1 (build 2600), Service Pack 3"},
        {{2, 5, 2, 3790, 3, ""}, "Windows Server 2003, version 5.2 (build 3790)"},
        {{2, 6, 0, 6002, 1, ""}, "Windows Vista, version 6.0 (build 6002)"},
        {{2, 6, 1, 7601, 1, ""}, "Windows 7, version 6.1 (build 7601)"},
        {{2, 6, 2, 9200, 1, ""}, "Windows 8, version 6.2 (build 9200)"},
        {{2, 6, 3, 9600, 1, ""}, "Windows 8.1, version 6.3 (build 9600)"},
        {{2, 10, 0, 19045, 1, ""}, "Windows 10, version 10.0 (build 19045)"},
        {{2, 10, 0, 21999, 1, ""}, "Windows 10, version 10.0 (build 21999)"},
        {{2, 10, 0, 22000, 1, ""}, "Windows 11, version 10.0 (build 22000)"},
        {{2, 10, 0, 26100, 1, ""}, "Windows 11, version 10.0 (build 26100)"},
        {{2, 10, 0, 17763, 3, ""}, "Windows Server 2019, version 10.0 (build 17763)"},
        {{2, 5, 2, 3790, 1, "Service Pack 2"},
         "Windows XP Professional x64 Edition, version 5.2 (build 3790), Service Pack 2"},
        {{2, 6, 0, 6003, 3, ""}, "Windows Server 2008, version 6.0 (build 6003)"},
        {{2, 6, 1, 7601, 2, ""}, "Windows Server 2008 R2, version 6.1 (build 7601)"},
        {{2, 6, 2, 9200, 3, ""}, "Windows Server 2012, version 6.2 (build 9200)"},
        {{2, 6, 3, 9600, 3, ""}, "Windows Server 2012 R2, version 6.3 (build 9600)"},
        {{2, 10, 0, 14393, 3, ""}, "Windows Server 2016, version 10.0 (build 14393)"},
        {{2, 10, 0, 17762, 3, ""}, "Windows Server 2016, version 10.0 (build 17762)"},
        {{2, 10, 0, 20348, 3, ""}, "Windows Server 2022, version 10.0 (build 20348)"},
        {{2, 10, 0, 26100, 3, ""}, "Windows Server 2025, version 10.0 (build 26100)"},
        {{2, 10, 1, 22000, 1, ""}, "Windows NT, version 10.1 (build 22000)"},
        {{2, 5, 0, 2195, 3, ""}, "Windows 2000 Server, version 5.0 (build 2195)"},
        {{2, 4, 0, 1381, 2, ""}, "Windows NT 4.0 Server, version 4.0 (build 1381)"},
        {{1, 5, 0, 1, 1, ""}, "Windows, version 5.00 (build 1)"},
        {{2, 11, 0, 30000, 1, ""}, "Windows NT, version 11.0 (build 30000)"},
    };
    for (const auto& r : rows) EXPECT_EQ(WindowsName(r.version), r.name);
    const WindowsVersion manifestless = {2, 6, 2, 9200, 1, ""}, ntdll = {2, 10, 0, 22631, 1, ""}, none = {};
    EXPECT_EQ(WindowsName(TrueVersion(manifestless, &ntdll)), "Windows 11, version 10.0 (build 22631)");
    EXPECT_EQ(WindowsName(TrueVersion(manifestless, &none)), "Windows 8, version 6.2 (build 9200)");
    EXPECT_EQ(WindowsName(TrueVersion(manifestless, nullptr)), "Windows 8, version 6.2 (build 9200)");
}

TEST(AppletPageWords, InstallationSaysWhatStartsAtLogonAndOnlyStepsStillToDo) {
    const std::string own = "C:\\Program Files\\Zevarida\\ZEVARIDA.EXE";
    const struct {
        const char* command;
        RunAtLogon run;
    } runs[] = {
        {"\"C:\\Program Files\\Zevarida\\ZEVARIDA.EXE\" /START", kRunThisCopy},
        {"\"c:\\program files\\zevarida\\zevarida.exe\"", kRunThisCopy},
        {"  \"C:\\Program Files\\Zevarida\\ZEVARIDA.EXE", kRunThisCopy},  // the closing quote missing
        {"C:\\Zevarida\\ZEVARIDA.EXE /START", kRunOtherCopy},
        {"C:\\Program", kRunOtherCopy},
        {"", kRunNone},
        {"   ", kRunNone},
        {"\"C\"", kRunOtherCopy},
    };
    for (const auto& r : runs) EXPECT_EQ(RunAtLogonOf(r.command, own), r.run) << r.command;
    EXPECT_EQ(RunAtLogonOf("\"C\"", "C"), kRunThisCopy);
    EXPECT_EQ(RunAtLogonOf("C /START", "C"), kRunThisCopy);
    EXPECT_STREQ(RunAtLogonWords(kRunThisCopy), "Yes, for every user of this computer.");
    EXPECT_STREQ(RunAtLogonWords(kRunNone), "No.");
    EXPECT_STREQ(RunAtLogonWords(kRunOtherCopy), "Another copy of the program starts at logon, not this one.");
    const char* files = "Put the files marked \"No\" beside the program; they come with it.";
    const char* adapter = "Insert or switch on the wireless adapter: the Status page shows it once Windows finds it.";
    const char* connect = "Choose your network on the Site Survey page and connect to it.";
    const char* logon = "To start the program at logon, install it with its setup program.";
    const struct {
        InstallState state;
        std::string steps;
    } rows[] = {
        {{false, true, true, kRunThisCopy}, "Nothing is left to do: the program is installed and connected."},
        {{true, true, true, kRunThisCopy}, std::string("1. ") + files},
        {{false, false, false, kRunThisCopy}, std::string("1. ") + adapter},
        {{false, true, false, kRunThisCopy}, std::string("1. ") + connect},
        {{false, true, true, kRunOtherCopy}, std::string("1. ") + logon},
        {{true, false, true, kRunNone}, std::string("1. ") + files + "\r\n2. " + adapter + "\r\n3. " + logon},
    };
    for (const auto& r : rows) EXPECT_EQ(StepsToDo(r.state), r.steps);
}
