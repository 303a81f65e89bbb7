// The simulator's answers to the applet-facing interface: the link of an
// adapter, the networks it sees with their flags, connecting, a scan, changes
// to the saved networks and the signal history, over small scenarios.
#include "NetModel.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace tavro;

namespace {

// A stand-in for the system's ANSI code page: Latin-1, '?' for the rest.
WideText Latin1ToWide(const std::string& bytes) {
    WideText out;
    for (char c : bytes) out.push_back(static_cast<unsigned char>(c));
    return out;
}
std::string WideToLatin1(const WideText& text, bool& lossy) {
    std::string out;
    for (TAVRONET_WCHAR c : text) {
        lossy = lossy || c > 0xFF;
        out += c > 0xFF ? '?' : static_cast<char>(c);
    }
    return out;
}
const AnsiCodec kLatin1 = {Latin1ToWide, WideToLatin1};

WideText Wide(const char16_t* text) {
    WideText out;
    for (; *text; ++text) out.push_back(*text);
    return out;
}

ProfileKey AnsiKey(const std::string& name) {
    ProfileKey key;
    key.ansi = name;
    return key;
}

ProfileKey WideKey(const char16_t* name) {
    ProfileKey key;
    key.wide = true;
    key.full = Wide(name);
    return key;
}

// A parsed scenario and the saved networks of the adapter looked at.
struct World {
    Scenario scenario;
    std::vector<ProfileSection> profiles;

    explicit World(const std::string& text) {
        std::string error;
        EXPECT_TRUE(ParseScenario(text, scenario, error)) << error;
    }
    AdapterNow Now(size_t adapter = 0, unsigned long elapsed = 0, const Connection& c = Connection()) {
        AdapterNow n;
        n.adapter = &scenario.adapters.at(adapter);
        n.elapsed = elapsed;
        for (int f = 0; f < FieldCount; ++f) n.values[f] = n.adapter->values[f].At(elapsed);
        n.networks = &scenario.networks;
        if (profiles.empty()) profiles = ProfilesOf(scenario, n.adapter->index);
        n.profiles = &profiles;
        n.connection = c;
        n.codec = &kLatin1;
        ApplyConnection(n);
        return n;
    }
};

std::string SsidOf(const TAVRONET_NETWORK& n) {
    return std::string(reinterpret_cast<const char*>(n.ssid), n.ssidLength);
}

const char* const kStreet =
    "[adapter]\nssid = Home\nrssi = -60 -75 every 1s\n"
    "[adapter]\n"
    "[network]\nssid = Home\nchannel = 6\nauthentication = wpa2-psk\nsignal = 90\n"
    "[network]\nssid = Cafe\nchannel = 36\nsignal = 70\n"
    "[network]\nhidden = yes\nssid = Attic\nrssi = -88\n"
    "[network]\nssid = Lab\nauthentication = wpa3-sae\nadapters = 1\n"
    "[profile]\nssid = Home\nauthentication = wpa2-psk\n"
    "[profile]\nname = Attic net\nssid = Attic\n";

TEST(NetModelTest, SignalChannelAndStateRules) {
    struct Row {
        long in;
        unsigned long out;
    } rssi[] = {{-110, 0}, {-100, 0}, {-99, 2}, {-75, 50}, {-51, 98}, {-50, 100}, {-30, 100}};
    for (const Row& r : rssi) EXPECT_EQ(PercentFromRssi(r.in), r.out) << r.in;
    Row quality[] = {{0, 0}, {8, 53}, {14, 93}, {15, 100}, {40, 100}};
    for (const Row& r : quality) EXPECT_EQ(SignalFromQuality(r.in), r.out) << r.in;
    Row back[] = {{0, 0}, {50, 8}, {99, 15}, {100, 15}, {250, 15}};
    for (const Row& r : back) EXPECT_EQ(QualityFromSignal(r.in), r.out) << r.in;
    Row channel[] = {{0, 0},  {1, 2412},  {13, 2472}, {14, 2484},  {15, 0},
                     {31, 0}, {32, 5160}, {36, 5180}, {177, 5885}, {178, 0}};
    for (const Row& r : channel) EXPECT_EQ(FrequencyOfChannel(r.in), r.out) << r.in;
    struct StateRow {
        unsigned long radio, adapterState, state;
    } states[] = {{3, 1, TAVRONET_STATE_CONNECTED},
                  {3, 0, TAVRONET_STATE_NOT_CONNECTED},
                  {2, 1, TAVRONET_STATE_RADIO_OFF},
                  {1, 1, TAVRONET_STATE_SWITCH_OFF},
                  {0, 1, TAVRONET_STATE_SWITCH_OFF}};
    for (const StateRow& r : states) EXPECT_EQ(LinkStateOf(r.radio, r.adapterState == 1), r.state) << r.radio;
}

// The link: its state from the radio, its signal from the RSSI or else the
// quality, its channel and security from the [network] of its name.
TEST(NetModelTest, LinkFollowsTheAdapterAndItsNetwork) {
    struct Row {
        const char* adapter;
        unsigned long elapsed, state, signal;
        long rssi;
        unsigned long channel, authentication, known;
    } rows[] = {
        {"radio = 2\nmac = 02:00:00:00:00:01", 0, TAVRONET_STATE_RADIO_OFF, 0, 0, 0, 0, TAVRONET_KNOWN_MAC},
        {"radio = 1", 0, TAVRONET_STATE_SWITCH_OFF, 0, 0, 0, 0, 0},
        {"adapter_state = 0\nssid = Home", 0, TAVRONET_STATE_NOT_CONNECTED, 0, 0, 0, 0, 0},
        {"ssid = Home\nrssi = -60 -75 every 1s", 1000, TAVRONET_STATE_CONNECTED, 50, -75, 6, TAVRONET_AUTH_WPA2_PSK,
         0x13D},
        {"ssid = Home\nchannel = 1\nauthentication = open", 0, TAVRONET_STATE_CONNECTED, 100, -40, 1,
         TAVRONET_AUTH_OPEN, 0x13D},
        {"ssid = Nowhere\nquality = 6\nrx_rate = 54", 0, TAVRONET_STATE_CONNECTED, 40, 0, 0, 0, 0x69},
    };
    for (const Row& r : rows) {
        World w(std::string("[adapter]\n") + r.adapter +
                "\n[network]\nssid = Home\nchannel = 6\nauthentication = wpa2-psk\nrssi = -40\n");
        TAVRONET_LINK l = MakeLink(w.Now(0, r.elapsed));
        EXPECT_EQ(l.state, r.state) << r.adapter;
        EXPECT_EQ(l.signalPercent, r.signal) << r.adapter;
        EXPECT_EQ(l.rssiDbm, r.rssi) << r.adapter;
        EXPECT_EQ(l.channel, r.channel) << r.adapter;
        EXPECT_EQ(l.authentication, r.authentication) << r.adapter;
        EXPECT_EQ(l.known, r.known) << r.adapter;
    }
}

TEST(NetModelTest, NetworksCarryConnectedAndProfileFlags) {
    World w(kStreet);
    struct Row {
        const char* ssid;
        unsigned long flags, signal, known, authentication;
        const char* profile;
    } rows[] = {
        {"Home", TAVRONET_NETWORK_CONNECTED | TAVRONET_NETWORK_HAS_PROFILE, 80, 0x11D, TAVRONET_AUTH_WPA2_PSK, "Home"},
        {"Cafe", 0, 70, 0x10D, TAVRONET_AUTH_OPEN, ""},
        {"", 0, 24, 0x119, TAVRONET_AUTH_OPEN, ""},  // hidden: no name, and no profile shown for it
    };
    std::vector<TAVRONET_NETWORK> list = MakeNetworks(w.Now());
    ASSERT_EQ(list.size(), 3u);
    for (size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(SsidOf(list[i]), rows[i].ssid);
        EXPECT_EQ(list[i].flags, rows[i].flags) << i;
        EXPECT_EQ(list[i].signalPercent, rows[i].signal) << i;
        EXPECT_EQ(list[i].known, rows[i].known) << i;
        EXPECT_EQ(list[i].authentication, rows[i].authentication) << i;
        EXPECT_STREQ(list[i].profileName, rows[i].profile);
    }
    EXPECT_EQ(list[0].rssiDbm, -60);  // the adapter's own reading of its network
    EXPECT_EQ(list[1].frequencyMHz, 5180u);
}

// An empty street, a radio off, a connection no [network] names, and a crowd.
TEST(NetModelTest, ListLengthsFromNoneToAHundred) {
    std::string crowd = "[adapter]\nadapter_state = 0\n";
    for (int i = 0; i < 100; ++i)
        crowd += "[network]\nssid = n" + std::to_string(i) + "\nchannel = " + std::to_string(1 + i % 13) + "\n";
    struct Row {
        std::string text;
        size_t count;
        const char* last;
        unsigned long lastFlags, lastPhy;
    } rows[] = {
        {"[adapter]\nssid = H\nphy = g\n", 1, "H", TAVRONET_NETWORK_CONNECTED, TAVRONET_PHY_G},
        {"[adapter]\n", 0, "", 0, 0},
        {"[adapter]\nssid = Home\nradio = 2\n[network]\nssid = Home\n", 0, "", 0, 0},
        {crowd, 100, "n99", 0, TAVRONET_PHY_UNKNOWN},
    };
    for (const Row& r : rows) {
        World w(r.text);
        std::vector<TAVRONET_NETWORK> list = MakeNetworks(w.Now());
        ASSERT_EQ(list.size(), r.count) << r.text;
        if (r.count == 0) continue;
        EXPECT_EQ(SsidOf(list.back()), r.last);
        EXPECT_EQ(list.back().flags, r.lastFlags);
        EXPECT_EQ(list.back().phy, r.lastPhy);
    }
}

// Connect reaches a network with a profile (also a hidden one) or an open one;
// the connection then stands over the scenario's.
TEST(NetModelTest, ConnectReachesSavedOrOpenNetworks) {
    struct Row {
        const char* ssid;
        const char* profile;
        const char* radio;
        unsigned long result;
        const char* reached;
    } rows[] = {
        {"Cafe", "", "3", kErrorSuccess, "Cafe"}, {"", "Attic net", "3", kErrorSuccess, "Attic"},
        {"Lab", "", "3", kErrorNotFound, ""},  // seen by the other adapter only
        {"Nowhere", "", "3", kErrorNotFound, ""}, {"", "Gone", "3", kErrorNotFound, ""},
        {"Cafe", "", "2", kErrorNotReady, ""},
    };
    for (const Row& r : rows) {
        World w(std::string(kStreet) + "[adapter]\nindex = 5\nradio = " + r.radio + "\n");
        TAVRONET_NETWORK n = {};
        n.ssidLength = static_cast<unsigned long>(strlen(r.ssid));
        memcpy(n.ssid, r.ssid, n.ssidLength);
        strcpy(n.profileName, r.profile);
        ConnectTarget reached;
        EXPECT_EQ(FindConnectTarget(w.Now(2), n, reached), r.result) << r.ssid << r.profile << r.radio;
        EXPECT_EQ(reached.ssid, r.reached);
    }
    World w(kStreet);
    TAVRONET_LINK cafe = MakeLink(w.Now(0, 0, Connection{true, true, "Cafe"}));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(cafe.ssid), cafe.ssidLength), "Cafe");
    EXPECT_EQ(cafe.signalPercent, 73u);  // from the quality the tray program reads: 11 of 15
    EXPECT_EQ(w.Now(0, 0, Connection{true, true, "Cafe"}).values[FieldQuality], 11u);
    EXPECT_EQ(MakeLink(w.Now(0, 0, Connection{true, false, "Home"})).state, unsigned(TAVRONET_STATE_NOT_CONNECTED));
}

// A scan that fails (scan_fails) answers its reason once it is done.
TEST(NetModelTest, ScanEndsAfterItsTimeOrNever) {
    const unsigned long kUnknown = 0x10001;
    struct Row {
        bool never;
        unsigned long ms, fails;
        bool started;
        unsigned long start, now, state, result;
    } rows[] = {
        {false, 1500, 0, false, 0, 0, TAVRONET_SCAN_DONE, 0},
        {false, 1500, 0, true, 100, 1599, TAVRONET_SCAN_PENDING, 0},
        {false, 1500, 0, true, 100, 1600, TAVRONET_SCAN_DONE, 0},
        {false, 0, 0, true, 100, 100, TAVRONET_SCAN_DONE, 0},
        {false, 1500, 0, true, 0xFFFFFF00, 0x100, TAVRONET_SCAN_PENDING, 0},  // across the tick's wrap
        {true, 0, 0, true, 100, 9000000, TAVRONET_SCAN_PENDING, 0},
        {false, 1500, kUnknown, true, 100, 1599, TAVRONET_SCAN_PENDING, 0},
        {false, 1500, kUnknown, true, 100, 1600, TAVRONET_SCAN_DONE, kUnknown},
        {false, 1500, kUnknown, false, 0, 0, TAVRONET_SCAN_DONE, 0},  // none asked
    };
    for (const Row& r : rows) {
        LinkSection link;
        link.scanNever = r.never;
        link.scanMs = r.ms;
        link.scanFails = r.fails;
        const unsigned long state = ScanState(link, r.started, r.start, r.now);
        EXPECT_EQ(state, r.state) << r.now;
        EXPECT_EQ(ScanResult(link, r.started, state), r.result) << r.now;
    }
}

// Group-policy profiles stay first and stay; a scenario may refuse every change.
TEST(NetModelTest, ProfileChangesAndRefusals) {
    struct Row {
        bool denied, remove;
        const char* name;
        unsigned long position, result;
        const char* order;
    } rows[] = {
        {false, false, "C", 1, kErrorSuccess, "GPCB"},       {false, false, "B", 2, kErrorSuccess, "GPCB"},
        {false, false, "B", 1, kErrorSuccess, "GPBC"},       {false, false, "B", 0, kErrorAccessDenied, "GPBC"},
        {false, false, "GP", 2, kErrorAccessDenied, "GPBC"}, {false, false, "B", 3, kErrorInvalidParameter, "GPBC"},
        {false, false, "X", 1, kErrorNotFound, "GPBC"},      {true, false, "C", 1, kErrorAccessDenied, "GPBC"},
        {false, true, "B", 0, kErrorSuccess, "GPC"},         {false, true, "GP", 0, kErrorAccessDenied, "GPBC"},
        {true, true, "C", 0, kErrorAccessDenied, "GPBC"},    {false, true, "X", 0, kErrorNotFound, "GPBC"},
    };
    for (const Row& r : rows) {
        World w("[profile]\nssid = GP\ngroup_policy = yes\n[profile]\nssid = B\n[profile]\nssid = C\n");
        std::vector<ProfileSection> p = w.scenario.profiles;
        unsigned long result = r.remove ? DeleteProfile(p, AnsiKey(r.name), r.denied, kLatin1)
                                        : MoveProfile(p, AnsiKey(r.name), r.position, r.denied, kLatin1);
        EXPECT_EQ(result, r.result) << r.name << r.position;
        std::string order;
        for (const ProfileSection& s : p) order += s.name;
        EXPECT_EQ(order, r.order) << r.name << r.position;
    }
    TAVRONET_PROFILE gp =
        MakeProfile(World("[profile]\nssid = GP\ngroup_policy = yes\neap = tls\n").scenario.profiles[0], kLatin1);
    EXPECT_STREQ(gp.name, "GP");
    EXPECT_EQ(gp.flags, unsigned(TAVRONET_PROFILE_GROUP_POLICY | TAVRONET_PROFILE_AUTO_CONNECT));
    EXPECT_EQ(gp.oneX * 100 + gp.eapType, 113u);
    EXPECT_EQ(gp.bssType, unsigned(TAVRONET_BSS_INFRASTRUCTURE));
    TAVRONET_PROFILE home = MakeProfile(
        World("[profile]\nssid = H\nper_user = yes\nauthentication = wpa2-psk\n").scenario.profiles[0], kLatin1);
    EXPECT_EQ(home.flags, unsigned(TAVRONET_PROFILE_PER_USER | TAVRONET_PROFILE_AUTO_CONNECT));
    EXPECT_EQ(home.authentication * 10 + home.cipher, TAVRONET_AUTH_WPA2_PSK * 10u + TAVRONET_CIPHER_CCMP);
    ProfileSection longest;
    longest.name.assign(kMaxProfileName, 'n');
    EXPECT_EQ(strlen(MakeProfile(longest, kLatin1).name), kMaxProfileName);
}

TEST(NetModelTest, HistoryKeepsOneReadingAPollOldestFirst) {
    SignalHistory h;
    struct Row {
        unsigned long tick;
        bool kept;
    } rows[] = {{1000, true}, {1001, false}, {1899, false}, {1900, true}};
    for (const Row& r : rows) EXPECT_EQ(h.Record(TAVRONET_SAMPLE{r.tick, 1, 50, -75}), r.kept) << r.tick;
    unsigned long last = 1900;
    for (int i = 0; i < 700; ++i) h.Record(TAVRONET_SAMPLE{last += 1000, 1, 50, -75});
    std::vector<TAVRONET_SAMPLE> all(TAVRONET_HISTORY_SAMPLES + 1);
    ASSERT_EQ(h.Copy(all.data(), all.size()), unsigned(TAVRONET_HISTORY_SAMPLES));
    EXPECT_EQ(all[0].tick, last - 599000);
    EXPECT_EQ(all[599].tick, last);
    TAVRONET_SAMPLE few[3];
    ASSERT_EQ(h.Copy(few, 3), 3u);
    EXPECT_EQ(few[0].tick + 2000, last);
    World w(kStreet);
    TAVRONET_SAMPLE s = SampleOf(MakeLink(w.Now(0, 1000)), 77);
    EXPECT_EQ(s.tick * 1000 + s.linked * 100 + s.signalPercent, 77150u);
    EXPECT_EQ(s.rssiDbm, -75);
    EXPECT_EQ(SampleOf(MakeLink(World("[adapter]\nquality = 3\n").Now()), 0).rssiDbm, 0);  // not known
}

// A caller's record is filled as far as the size it gives, which stays its own.
TEST(NetModelTest, RecordsAreFilledAsFarAsTheirSize) {
    TAVRONET_LIBRARY full = {sizeof full, TAVRONET_KIND_SIMULATOR, 0, "1.2", 0};
    TAVRONET_LIBRARY older = {};
    older.size = 8;
    older.wlanApiVersion = 9;
    EXPECT_EQ(CopySized(&older, full), kErrorSuccess);
    EXPECT_EQ(older.size * 100 + older.kind * 10 + older.wlanApiVersion, 819u);
    older.size = 3;
    EXPECT_EQ(CopySized(&older, full), kErrorInvalidParameter);
    EXPECT_EQ(CopySized<TAVRONET_LIBRARY>(nullptr, full), kErrorInvalidParameter);
}

// Names as Windows decodes them: UTF-8 where the bytes are valid UTF-8
// (also past the 16-bit plane), else the ANSI code page.
TEST(NetModelTest, NamesAreDecodedAsUtf8ElseInTheAnsiCodePage) {
    struct Row {
        const char* bytes;
        const char16_t* decoded;
    } rows[] = {
        {"Home", u"Home"},
        {"Caf\xC3\xA9", u"Caf\u00E9"},                      // UTF-8
        {"Caf\xE9", u"Caf\u00E9"},                          // Latin-1: not UTF-8
        {"\xE6\x97\xA5\xE6\x9C\xAC", u"\u65E5\u672C"},      // three-byte characters
        {"\xF0\x9F\x93\xB6", u"\U0001F4F6"},                // four bytes: a surrogate pair
        {"\xC0\xAF", u"\u00C0\u00AF"},                      // an overlong form is not UTF-8
        {"\xED\xA0\x80", u"\u00ED\u00A0\u0080"},            // nor a surrogate
        {"\xF4\x90\x80\x80", u"\u00F4\u0090\u0080\u0080"},  // nor past U+10FFFF
        {"\xE6\x97", u"\u00E6\u0097"},                      // a character cut short
        {"a\xC3(", u"a\u00C3("},                            // a continuation that is none
        {"", u""},
    };
    for (const Row& r : rows) EXPECT_EQ(DecodeName(r.bytes, kLatin1), Wide(r.decoded)) << r.bytes;
    // A field holds what fits and its terminator, and never half a pair.
    TAVRONET_WCHAR field[4];
    const struct {
        const char16_t* text;
        const char16_t* kept;
    } cuts[] = {{u"abc", u"abc"}, {u"abcd", u"abc"}, {u"ab\U0001F4F6", u"ab"}, {u"a\U0001F4F6", u"a\U0001F4F6"}};
    for (const auto& cut : cuts) {
        SetWide(field, 4, Wide(cut.text));
        EXPECT_EQ(WideOf(field, 4), Wide(cut.kept));
    }
}

// Every record that names a network or saved network carries the name in
// full; its ANSI form has '?' for what the code page lacks.
TEST(NetModelTest, RecordsCarryTheNamesInFull) {
    World w(
        "[adapter]\nssid = \xE6\x97\xA5\xE6\x9C\xAC-Net\n"
        "[network]\nssid = \xE6\x97\xA5\xE6\x9C\xAC-Net\n"
        "[network]\nssid = Caf\xC3\xA9\n"
        "[profile]\nname = \xE6\x97\xA5\xE6\x9C\xAC home\nssid = \xE6\x97\xA5\xE6\x9C\xAC-Net\n");
    const AdapterNow now = w.Now();
    TAVRONET_LINK link = MakeLink(now);
    EXPECT_EQ(WideOf(link.ssidW, TAVRONET_SSID_CHARS), Wide(u"\u65E5\u672C-Net"));
    EXPECT_EQ(link.ssidLength, 10u);  // the raw bytes stay as they are
    EXPECT_STREQ(link.profileName, "?? home");
    EXPECT_EQ(WideOf(link.profileNameW, TAVRONET_NAME_CHARS), Wide(u"\u65E5\u672C home"));
    std::vector<TAVRONET_NETWORK> list = MakeNetworks(now);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(WideOf(list[0].ssidW, TAVRONET_SSID_CHARS), Wide(u"\u65E5\u672C-Net"));
    EXPECT_EQ(WideOf(list[0].profileNameW, TAVRONET_NAME_CHARS), Wide(u"\u65E5\u672C home"));
    EXPECT_EQ(WideOf(list[1].ssidW, TAVRONET_SSID_CHARS), Wide(u"Caf\u00E9"));
    TAVRONET_PROFILE saved = MakeProfile(w.scenario.profiles[0], kLatin1);
    EXPECT_STREQ(saved.name, "?? home");
    EXPECT_EQ(WideOf(saved.nameW, TAVRONET_NAME_CHARS), Wide(u"\u65E5\u672C home"));
    EXPECT_EQ(WideOf(saved.ssidW, TAVRONET_SSID_CHARS), Wide(u"\u65E5\u672C-Net"));
    // The longest name of wide letters, 32 bytes, fits its field whole.
    World longest("[adapter]\nssid = " + std::string(32, 'W') + "\n");
    EXPECT_EQ(WideOf(MakeLink(longest.Now()).ssidW, TAVRONET_SSID_CHARS).size(), 32u);
}

// An ANSI name reaches a saved network only when it is that network's name
// whole and no other's; the name in full always reaches its own.
TEST(NetModelTest, SavedNetworksAreFoundByTheirWholeName) {
    World w(
        "[profile]\nname = \xE6\x97\xA5\xE6\x9C\xAC\nssid = A\n"
        "[profile]\nname = \xE4\xB8\xAD\xE5\x9B\xBD\nssid = B\n"
        "[profile]\nname = Caf\xC3\xA9\nssid = C\n"
        "[profile]\nname = Plain\nssid = D\n");
    const struct {
        ProfileKey key;
        int found;
        unsigned long error;
    } rows[] = {
        {AnsiKey("Plain"), 3, kErrorSuccess},
        {AnsiKey("Caf\xE9"), 2, kErrorSuccess},           // whole in the code page
        {AnsiKey("??"), -1, kErrorNoUnicodeTranslation},  // two names, neither whole
        {AnsiKey("Nowhere"), -1, kErrorNotFound},
        {WideKey(u"\u65E5\u672C"), 0, kErrorSuccess},
        {WideKey(u"\u4E2D\u56FD"), 1, kErrorSuccess},
        {WideKey(u"Plain"), 3, kErrorSuccess},
        {WideKey(u"plain"), -1, kErrorNotFound},
    };
    for (const auto& r : rows) {
        unsigned long error = 99;
        EXPECT_EQ(FindProfile(w.scenario.profiles, r.key, kLatin1, error), r.found) << r.key.ansi;
        EXPECT_EQ(error, r.error) << r.key.ansi;
    }
    // A change by a name that stands for two changes neither.
    std::vector<ProfileSection> p = w.scenario.profiles;
    EXPECT_EQ(DeleteProfile(p, AnsiKey("??"), false, kLatin1), kErrorNoUnicodeTranslation);
    EXPECT_EQ(MoveProfile(p, AnsiKey("??"), 3, false, kLatin1), kErrorNoUnicodeTranslation);
    EXPECT_EQ(p.size(), 4u);
    EXPECT_EQ(DeleteProfile(p, WideKey(u"\u4E2D\u56FD"), false, kLatin1), kErrorSuccess);
    EXPECT_EQ(MoveProfile(p, WideKey(u"Plain"), 0, false, kLatin1), kErrorSuccess);
    std::string order;
    for (const ProfileSection& s : p) order += s.ssid;
    EXPECT_EQ(order, "DAC");
}

// What a connect asks for: the network, the saved network it uses, and the
// reason Windows will give later for one it cannot join.
TEST(NetModelTest, ConnectTellsItsNetworkSavedNetworkAndLaterFailure) {
    World w(
        "[adapter]\n"
        "[network]\nssid = Cafe\n"
        "[network]\nssid = Legacy\nnot_connectable = 0x28005\n"
        "[network]\nssid = Flaky\nconnect_fails = 0x2800D\nauthentication = wpa2-psk\n"
        "[network]\nssid = Home\nauthentication = wpa2-psk\n"
        "[profile]\nname = Flaky key\nssid = Flaky\nauthentication = wpa2-psk\n"
        "[profile]\nname = \xE6\x97\xA5 home\nssid = Home\nauthentication = wpa2-psk\n");
    struct Row {
        const char* ssid;
        const char* profile;
        const char16_t* profileW;
        unsigned long result;
        const char* reached;
        const char16_t* saved;
        unsigned long fails;
    } rows[] = {
        {"Cafe", "", u"", kErrorSuccess, "Cafe", u"", 0},
        {"Legacy", "", u"", kErrorSuccess, "Legacy", u"", 0x28005},
        {"Flaky", "", u"", kErrorSuccess, "Flaky", u"Flaky key", 0x2800D},
        {"", "", u"\u65E5 home", kErrorSuccess, "Home", u"\u65E5 home", 0},
        {"", "? home", u"", kErrorNoUnicodeTranslation, "", u"", 0},
        {"Home", "", u"", kErrorSuccess, "Home", u"\u65E5 home", 0},
    };
    for (const Row& r : rows) {
        TAVRONET_NETWORK n = {};
        n.ssidLength = static_cast<unsigned long>(strlen(r.ssid));
        memcpy(n.ssid, r.ssid, n.ssidLength);
        strcpy(n.profileName, r.profile);
        SetWide(n.profileNameW, TAVRONET_NAME_CHARS, Wide(r.profileW));
        ConnectTarget target;
        EXPECT_EQ(FindConnectTarget(w.Now(), n, target), r.result) << r.ssid << r.profile;
        EXPECT_EQ(target.ssid, r.reached) << r.ssid;
        EXPECT_EQ(target.profileNameW, Wide(r.saved)) << r.ssid;
        EXPECT_EQ(target.failReason, r.fails) << r.ssid;
    }
    std::vector<TAVRONET_NETWORK> list = MakeNetworks(w.Now());
    EXPECT_EQ(list[1].flags, unsigned(TAVRONET_NETWORK_NOT_CONNECTABLE));
    EXPECT_EQ(list[1].notConnectableReason, 0x28005u);
    EXPECT_EQ(list[0].flags | list[0].notConnectableReason, 0u);
}

// A connect or disconnect ends when Windows tells its outcome, later than
// the request: the status and the connection follow it.
TEST(NetModelTest, ConnectOutcomesComeLaterThanTheRequest) {
    ConnectAttempt joining;
    joining.sequence = 3;
    joining.ssid = "Caf\xC3\xA9";
    joining.askedAt = 0xFFFFFF00;  // across the tick's wrap
    joining.takesMs = 2000;
    joining.profileNameW = Wide(u"Caf\u00E9 at home");
    ConnectAttempt failing = joining;
    failing.reason = 0x2800D;
    ConnectAttempt leaving = joining;
    leaving.connect = false;
    leaving.before = Connection{true, true, "Caf\xC3\xA9"};
    struct Row {
        const ConnectAttempt* attempt;
        unsigned long now, state, reason;
        bool set, connected;
    } rows[] = {
        {&joining, 0xFFFFFF00, TAVRONET_CONNECT_CONNECTING, 0, true, false},
        {&joining, 0x000006CF, TAVRONET_CONNECT_CONNECTING, 0, true, false},
        {&joining, 0x000006D0, TAVRONET_CONNECT_CONNECTED, 0, true, true},
        {&failing, 0x000006CF, TAVRONET_CONNECT_CONNECTING, 0, true, false},
        {&failing, 0x000006D0, TAVRONET_CONNECT_FAILED, 0x2800D, true, false},
        {&leaving, 0x000006CF, TAVRONET_CONNECT_DISCONNECTING, 0, true, true},
        {&leaving, 0x000006D0, TAVRONET_CONNECT_DISCONNECTED, 0, true, false},
    };
    for (const Row& r : rows) {
        TAVRONET_CONNECT_STATUS s = ConnectStatusAt(*r.attempt, r.now, kLatin1);
        EXPECT_EQ(s.state, r.state) << r.now;
        EXPECT_EQ(s.reason, r.reason) << r.now;
        EXPECT_EQ(s.sequence, 3u);
        EXPECT_EQ(WideOf(s.ssidW, TAVRONET_SSID_CHARS), Wide(u"Caf\u00E9"));
        EXPECT_EQ(WideOf(s.profileNameW, TAVRONET_NAME_CHARS), Wide(u"Caf\u00E9 at home"));
        const Connection c = ConnectionAt(*r.attempt, r.now);
        EXPECT_EQ(c.set, r.set) << r.now;
        EXPECT_EQ(c.connected, r.connected) << r.now;
    }
    ConnectAttempt none;
    EXPECT_EQ(ConnectStatusAt(none, 5, kLatin1).state, unsigned(TAVRONET_CONNECT_NONE));
    EXPECT_FALSE(ConnectionAt(none, 5).set);
    // While it joins, the adapter is not connected: the tray program sees it so.
    World w("[adapter]\nssid = Home\n[network]\nssid = Cafe\n");
    EXPECT_EQ(w.Now(0, 0, ConnectionAt(joining, 0x100)).values[FieldAdapterState], 0u);
    EXPECT_EQ(w.Now(0, 0, ConnectionAt(joining, 0x6D0)).values[FieldAdapterState], 1u);
}

// Windows withholds the network's name and access point, and refuses scans,
// until the user allows location access.
TEST(NetModelTest, WithoutLocationAccessTheLinkTellsNoName) {
    World w("[adapter]\nssid = Home\nbssid = 00:1A:2B:3C:4D:5E\nlocation = denied\n[network]\nssid = Home\n");
    TAVRONET_LINK l = MakeLink(w.Now());
    EXPECT_EQ(l.locationDenied, 1u);
    EXPECT_EQ(l.known & (TAVRONET_KNOWN_SSID | TAVRONET_KNOWN_BSSID), 0u);
    EXPECT_EQ(l.ssidLength + l.ssidW[0] + l.bssid[0] + l.bssid[5], 0u);
    EXPECT_EQ(l.state, unsigned(TAVRONET_STATE_CONNECTED));
    EXPECT_EQ(MakeLink(World("[adapter]\nssid = Home\n").Now()).locationDenied, 0u);
}

TEST(NetModelTest, ReasonsReadInWindowsWords) {
    const struct {
        unsigned long reason;
        const char* text;
    } rows[] = {
        {0x2800B, "The specified network is not available."},
        {0x2800D, "The profile key does not match the network key."},
        {0x28005, "The basic service set (BSS) type is not allowed on this wireless adapter."},
        {0x10001, "The reason for the failure is unknown."},
    };
    for (const auto& r : rows) EXPECT_STREQ(ReasonText(r.reason), r.text) << r.reason;
    EXPECT_EQ(ReasonText(0x2800A), nullptr);
    EXPECT_EQ(ReasonText(12345), nullptr);
}

}  // namespace
