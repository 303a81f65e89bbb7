// The scenario keys that describe networks: what an [adapter], a [network] and a
// [profile] hold once read, the line and reason of each mistake, and the demo.
#include "ScenarioFile.h"
#include "ScenarioText.h"

#include "TavroNet.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace tavro;

namespace {

Scenario Parsed(const std::string& text) {
    Scenario s;
    std::string error;
    EXPECT_TRUE(ParseScenario(text, s, error)) << error;
    return s;
}

TEST(ScenarioNetTest, KeysOfEachSectionAreReadWhateverTheirCase) {
    Scenario s = Parsed(
        "[adapter]\nSSID = Home #1\nbssid = 00:1a:2B:3c:4d:5e\nChannel = 32\nrssi = -52 -60 every 2s\n"
        "tx_rate = 866.7\nrx_rate = 5.5\nphy = 802.11ac\ncipher = tkip\nauthentication = WPA2-PSK\nautoconfig = off\n"
        "driver = \"1.2.3.4\"\nscan = never\nprofile_changes = denied\nconnect_time = 500ms\n"
        "disconnect_stops_auto = yes\nlocation = denied\nscan_fails = 0x10001\n"
        "[network]\nhidden = yes\nchannel = 11\nsignal = 40\nadapters = 1 3\nbss_type = adhoc\n"
        "not_connectable = 0x28005\nconnect_fails = 163853\n"
        "[profile]\nname = Office\nssid = Corp\nauthentication = wpa2\neap = peap\ngroup_policy = yes\n"
        "[profile]\nssid = Old\nauthentication = wep\nwep_key_index = 4\nwep_key_bits = 104\nadapters = 31\n");
    EXPECT_EQ(s.adapters.at(0).id, "{7A5E0D11-0000-4000-8000-000000000000}");
    EXPECT_EQ(Parsed("[adapter]\nindex = 26\n").adapters.at(0).id, "{7A5E0D11-0000-4000-8000-00000000001A}");
    const LinkSection& l = s.adapters.at(0).link;
    EXPECT_EQ(l.ssid, "Home #1");
    EXPECT_EQ(l.bssid[1], 0x1A);
    EXPECT_EQ(l.bssid[5], 0x5E);
    EXPECT_EQ(l.channel, 32u);
    EXPECT_EQ(l.rssi, (TimedValue{{static_cast<unsigned long>(-52), static_cast<unsigned long>(-60)}, 2000}));
    EXPECT_EQ(l.txKbps.At(0), 866700u);
    EXPECT_EQ(l.rxKbps.At(0), 5500u);
    EXPECT_EQ(l.phy, unsigned(TAVRONET_PHY_AC));
    EXPECT_EQ(l.security.cipher, unsigned(TAVRONET_CIPHER_TKIP));  // named, so kept
    EXPECT_EQ(l.autoConfig, unsigned(TAVRONET_AUTOCONFIG_OFF));
    EXPECT_EQ(l.driver, "1.2.3.4");
    EXPECT_TRUE(l.scanNever);
    EXPECT_TRUE(l.profileChangesDenied);
    EXPECT_EQ(l.connectMs, 500u);
    EXPECT_TRUE(l.disconnectStopsAuto && l.locationDenied);
    EXPECT_EQ(l.scanFails, 0x10001u);
    EXPECT_EQ(Parsed("[adapter]\nphy = 802.11be\n").adapters.at(0).link.phy, unsigned(TAVRONET_PHY_BE));
    EXPECT_EQ(Parsed("[adapter]\nconnect_time = 0\n").adapters.at(0).link.connectMs, 0u);
    EXPECT_EQ(Parsed("[adapter]\n").adapters.at(0).link.connectMs, 2000u);  // a tick or two of the applet
    const NetworkSection& n = s.networks.at(0);
    EXPECT_TRUE(n.hidden && n.hasSignal && !n.hasRssi);
    EXPECT_EQ(n.adapters, (std::vector<int>{1, 3}));
    EXPECT_EQ(n.bssType, unsigned(TAVRONET_BSS_ADHOC));
    EXPECT_EQ(n.security.authentication, unsigned(TAVRONET_AUTH_OPEN));  // nothing said: open
    EXPECT_EQ(n.notConnectable, 0x28005u);
    EXPECT_EQ(n.connectFails, 0x2800Du);
    const ProfileSection& corp = s.profiles.at(0);
    EXPECT_EQ(corp.name, "Office");
    EXPECT_TRUE(corp.oneX && corp.groupPolicy && corp.autoConnect);
    EXPECT_EQ(corp.eapType, 25u);
    const ProfileSection& old = s.profiles.at(1);
    EXPECT_EQ(old.name, "Old");
    EXPECT_EQ(old.security.authentication, unsigned(TAVRONET_AUTH_OPEN));
    EXPECT_EQ(old.security.cipher, unsigned(TAVRONET_CIPHER_WEP));
    EXPECT_EQ(old.wepKeyIndex * 1000 + old.wepKeyBits, 4104u);
    EXPECT_EQ(old.adapters, std::vector<int>{31});
}

TEST(ScenarioNetTest, EachMistakeNamesItsLineAndReason) {
    struct Row {
        const char* text;
        const char* error;
    } rows[] = {
        {"quality = 1\n[adapter]\n", "line 1: 'quality' comes before the first section"},
        {"[adapter]\nquality = lots\n",
         "line 2: quality: 'lots' is not a number (decimal, 0x hex, yes/no, on/off, true/false)"},
        {"[adapter]\nchannel = 15\n", "line 2: channel must be 1..14 (2.4 GHz) or 32..177 (5 GHz)"},
        {"[adapter]\nrssi = -50 loud\n", "line 2: rssi: 'loud' is not a signal in dBm (0 or -1 .. -200)"},
        {"[adapter]\nrssi = -\n", "line 2: rssi: '-' is not a signal in dBm (0 or -1 .. -200)"},
        {"[adapter]\nrssi = -50 every soon\n", "line 2: rssi: 'every' needs a period such as 3s, 1.5s or 500ms"},
        {"[adapter]\ntx_rate = 5.5.5\n", "line 2: tx_rate: '5.5.5' is not a rate in Mbit/s (54, 5.5, 866.7)"},
        {"[adapter]\nbssid = 00:11:22:33:44\n", "line 2: bssid looks like 00:1A:2B:3C:4D:5E"},
        {"[adapter]\nmac = 00:11:22:33:44:5g\n", "line 2: mac looks like 00:1A:2B:3C:4D:5E"},
        {"[adapter]\nmac = 00:11:22:33:44.55\n", "line 2: mac looks like 00:1A:2B:3C:4D:5E"},
        {"[adapter]\nscan = soon\n", "line 2: scan must be never, 0 or a time such as 3s"},
        {"[adapter]\nprofile_changes = maybe\n", "line 2: profile_changes must be allowed or denied"},
        {"[adapter]\nlocation = maybe\n", "line 2: location must be allowed or denied"},
        {"[adapter]\nconnect_time = soon\n", "line 2: connect_time must be 0 or a time such as 2s"},
        {"[adapter]\ndisconnect_stops_auto = 2\n", "line 2: disconnect_stops_auto must be yes or no"},
        {"[network]\nssid = A\nnot_connectable = 0\n",
         "line 3: not_connectable must be a WLAN reason code such as 0x2800B"},
        {"[network]\nssid = A\nconnect_fails = key\n",
         "line 3: connect_fails must be a WLAN reason code such as 0x2800B"},
        {"[adapter]\nscan_fails = 5\n", "line 2: scan_fails must be a WLAN reason code such as 0x2800B"},
        {"[adapter]\nssid = 123456789012345678901234567890123\n", "line 2: a network name has at most 32 bytes"},
        {"[adapter]\nphy = z\n", "line 2: phy must be one of b, a, g, n, ac, ax, be"},
        {"[network]\nchannel = 6\n[profile]\n", "line 1: a [network] needs an ssid, or hidden = yes"},
        {"[network]\nssid = A\naccess_points = 1001\n", "line 3: access_points must be a number, 0..1000"},
        {"[network]\nssid = A\nadapters = 0 32\n", "line 3: adapters must list indices 0..31"},
        {"[network]\nssid = A\nSSID = B\n", "line 3: 'ssid' is given twice in this [network]"},
        {"[network]\nssid = A\nwep_key_index = 1\n", "line 3: unknown key 'wep_key_index' in [network]"},
        {"[profile]\nname = X\n", "line 1: a [profile] needs an ssid"},
        {"[profile]\nssid = A\n[profile]\nssid = A\n", "line 3: another [profile] is named A"},
        {"[profile]\nssid = A\nwep_key_bits = 64\n", "line 3: wep_key_bits must be 40 or 104"},
        {"[profile]\nssid = A\nwep_key_index = 0\n", "line 3: wep_key_index must be 1..4"},
        {"[profile]\nssid = A\nchannel = 6\n", "line 3: unknown key 'channel' in [profile]"},
        {"[profile]\nssid = A\nhidden = yes\n", "line 3: unknown key 'hidden' in [profile]"},
        {"[profile]\nssid = A\ncipher = rot13\n", "line 3: cipher must be one of none, wep, tkip, ccmp, aes, gcmp"},
        {"[station]\n", "line 1: unknown section [station] (there are [adapter], [network] and [profile])"},
    };
    for (const Row& row : rows) {
        Scenario s;
        std::string error;
        EXPECT_FALSE(ParseScenario(row.text, s, error)) << row.text;
        EXPECT_EQ(error, row.error) << row.text;
        EXPECT_TRUE(s.networks.empty() && s.profiles.empty());
    }
}

// The demo shows a neighbourhood: a dozen networks, one hidden, and saved ones.
TEST(ScenarioNetTest, DemoScenarioHasANeighbourhood) {
    std::ifstream file(TAVROAPI_SCENARIOS "/demo.scn");
    std::stringstream text;
    text << file.rdbuf();
    Scenario s = Parsed(text.str());
    int hidden = 0;
    for (const NetworkSection& n : s.networks) hidden += n.hidden ? 1 : 0;
    EXPECT_EQ(s.adapters.size(), 2u);
    EXPECT_GE(s.networks.size(), 12u);
    EXPECT_EQ(hidden, 1);
    EXPECT_GE(s.profiles.size(), 3u);
    EXPECT_TRUE(s.adapters[0].link.hasRssi);
}

}  // namespace
