// The rules of the site survey and the saved networks, as tables: the words
// of a row, which buttons a selection enables and why not, and how a connect
// under way stands and reads.
#include "SavedNetworkRules.h"
#include "SurveyRules.h"
#include "TestText.h"

#include <gtest/gtest.h>

namespace {

TAVRONET_NETWORK Secured(const char16_t* name, unsigned long auth, unsigned long cipher, unsigned long flags) {
    TAVRONET_NETWORK n = NamedNetwork(name);
    n.known = TAVRONET_KNOWN_SSID | TAVRONET_KNOWN_SECURITY;
    n.authentication = auth;
    n.cipher = cipher;
    n.flags = flags;
    return n;
}

std::string Joined(const std::vector<Text>& cells) {
    Text line;
    for (size_t i = 0; i < cells.size(); ++i) line += (i ? u"|" : u"") + cells[i];
    return Utf8(line);
}

TAVRONET_CONNECT_STATUS Status(unsigned long sequence, unsigned long state, unsigned long reason = 0) {
    TAVRONET_CONNECT_STATUS s = {};
    s.size = sizeof s;
    s.sequence = sequence;
    s.state = state;
    s.reason = reason;
    return s;
}

TAVRONET_PROFILE Saved(const char16_t* name, unsigned long flags) {
    TAVRONET_PROFILE p = {};
    p.size = sizeof p;
    SetWide(p.nameW, TAVRONET_NAME_CHARS, name);
    p.flags = flags;
    p.authentication = TAVRONET_AUTH_WPA2_PSK;
    p.cipher = TAVRONET_CIPHER_CCMP;
    return p;
}

}  // namespace

// WEP reads as WEP whatever its authentication; only a network with no
// cipher at all reads as open.
TEST(AppletSurveyRules, RowsNameSecurityFromAuthenticationAndCipher) {
    TAVRONET_NETWORK full = Secured(u"Caf\u00E9 Jard\u00EDn", TAVRONET_AUTH_WPA2_PSK, TAVRONET_CIPHER_CCMP,
                                    TAVRONET_NETWORK_CONNECTED | TAVRONET_NETWORK_HAS_PROFILE);
    full.known |= TAVRONET_KNOWN_SIGNAL | TAVRONET_KNOWN_RSSI | TAVRONET_KNOWN_CHANNEL;
    full.signalPercent = 52;
    full.rssiDbm = -74;
    full.channel = 149;
    full.frequencyMHz = 5745;
    full.accessPoints = 3;
    TAVRONET_NETWORK channelOnly = full;  // no frequency: channel 1 may be 2.4 or 6 GHz's
    channelOnly.channel = 1;
    channelOnly.frequencyMHz = 0;
    TAVRONET_NETWORK unknown = Secured(u"X", TAVRONET_AUTH_OPEN, TAVRONET_CIPHER_NONE, 0);
    unknown.known = 0;
    const struct {
        TAVRONET_NETWORK network;
        const char* row;
    } rows[] = {
        {full, "Caf\xC3\xA9 Jard\xC3\xADn|52 %|-74 dBm|149|5 GHz|WPA2-Personal|3|Connected|Saved"},
        {channelOnly, "Caf\xC3\xA9 Jard\xC3\xADn|52 %|-74 dBm|1||WPA2-Personal|3|Connected|Saved"},
        {Secured(u"OldPrinter", TAVRONET_AUTH_OPEN, TAVRONET_CIPHER_WEP, 0), "OldPrinter|||||WEP|||"},
        {Secured(u"Shared", TAVRONET_AUTH_SHARED, TAVRONET_CIPHER_WEP, 0), "Shared|||||WEP|||"},
        {Secured(u"Guest", TAVRONET_AUTH_OPEN, TAVRONET_CIPHER_NONE, 0), "Guest|||||Open|||"},
        {Secured(u"Corp", TAVRONET_AUTH_WPA2, TAVRONET_CIPHER_CCMP, TAVRONET_NETWORK_HAS_PROFILE),
         "Corp|||||WPA2-Enterprise|||Saved"},
        {Secured(u"", TAVRONET_AUTH_WPA3_SAE, TAVRONET_CIPHER_CCMP, 0), "(hidden network)|||||WPA3-Personal|||"},
        {unknown, "X||||||||"},
    };
    for (const auto& r : rows) EXPECT_EQ(Joined(SurveyRow(r.network)), r.row);
    // Hidden is a name of no bytes or of zero bytes only, whatever follows it.
    TAVRONET_NETWORK trailing = NamedNetwork(u"A");
    trailing.ssidLength = 2;  // "A" and a zero byte
    EXPECT_EQ(Utf8(NetworkName(trailing.ssidW, trailing.ssid, trailing.ssidLength)), "A");
    TAVRONET_NETWORK zeros = NamedNetwork(u"");
    zeros.ssidLength = 3;
    zeros.ssid[3] = 'x';
    EXPECT_EQ(Utf8(NetworkName(zeros.ssidW, zeros.ssid, zeros.ssidLength)), "(hidden network)");
}

// Connect is offered only for what Windows can join; what it refuses says why.
TEST(AppletSurveyRules, ConnectOnlyForNetworksWindowsCanJoin) {
    const unsigned long saved = TAVRONET_NETWORK_HAS_PROFILE, connected = TAVRONET_NETWORK_CONNECTED,
                        refused = TAVRONET_NETWORK_NOT_CONNECTABLE;
    const char* needsSaved = "A secured network is joined with its saved network; Windows has none for it.";
    const struct {
        unsigned long auth, cipher, flags;
        bool can;
        const char* why;
    } rows[] = {
        {TAVRONET_AUTH_OPEN, TAVRONET_CIPHER_NONE, 0, true, ""},
        {TAVRONET_AUTH_OPEN, TAVRONET_CIPHER_WEP, 0, false, needsSaved},  // WEP needs its key
        {TAVRONET_AUTH_SHARED, TAVRONET_CIPHER_WEP, 0, false, needsSaved},
        {TAVRONET_AUTH_OPEN, TAVRONET_CIPHER_WEP, saved, true, ""},
        {TAVRONET_AUTH_WPA2_PSK, TAVRONET_CIPHER_CCMP, 0, false, needsSaved},
        {TAVRONET_AUTH_WPA2_PSK, TAVRONET_CIPHER_CCMP, saved, true, ""},
        {TAVRONET_AUTH_OWE, TAVRONET_CIPHER_CCMP, 0, false, needsSaved},
        {TAVRONET_AUTH_OPEN, TAVRONET_CIPHER_NONE, connected, false, ""},
        {TAVRONET_AUTH_WPA2_PSK, TAVRONET_CIPHER_CCMP, saved | connected, false, ""},
        {TAVRONET_AUTH_OPEN, TAVRONET_CIPHER_NONE, refused, false,
         "Windows cannot join this network. The BSS type is not allowed."},
        {TAVRONET_AUTH_WPA2_PSK, TAVRONET_CIPHER_CCMP, saved | refused, false,
         "Windows cannot join this network. The BSS type is not allowed."},
    };
    for (const auto& r : rows) {
        const TAVRONET_NETWORK n = Secured(u"N", r.auth, r.cipher, r.flags);
        EXPECT_EQ(CanConnect(n), r.can) << r.auth << " " << r.cipher << " " << r.flags;
        EXPECT_EQ(Utf8(WhyNotConnect(n, u"The BSS type is not allowed.")), r.why) << r.auth << " " << r.flags;
    }
    EXPECT_EQ(Utf8(WhyNotConnect(Secured(u"N", 1, 1, refused), u"")), "Windows cannot join this network.");
    std::vector<TAVRONET_NETWORK> list = {Secured(u"a", 1, 1, saved), Secured(u"b", 1, 1, 0)};
    EXPECT_FALSE(AnyConnected(list));
    list[1].flags = connected;
    EXPECT_TRUE(AnyConnected(list));
    EXPECT_FALSE(AnyConnected({}));
    std::vector<TAVRONET_NETWORK> channels = list;
    channels[0].channel = 6;
    channels[1].channel = 1;
    channels.push_back(channels[0]);
    EXPECT_EQ(Utf8(ChannelSummary(channels)), "Channels in use: 1 (1), 6 (2)");
    EXPECT_EQ(Utf8(ChannelSummary({})), "No channels in use.");
}

// A connect is followed until Windows tells its outcome; a library that
// cannot tell, or a status of another request, ends the wait at once.
TEST(AppletSurveyRules, ConnectIsFollowedUntilItsOutcome) {
    const struct {
        unsigned long code;
        TAVRONET_CONNECT_STATUS status;
        int polls;
        ConnectStage stage;
    } rows[] = {
        {0, Status(4, TAVRONET_CONNECT_CONNECTING), 0, kStageWaiting},
        {0, Status(4, TAVRONET_CONNECT_DISCONNECTING), kMostConnectPolls - 1, kStageWaiting},
        {0, Status(4, TAVRONET_CONNECT_CONNECTING), kMostConnectPolls, kStageLate},
        {0, Status(4, TAVRONET_CONNECT_CONNECTED), 3, kStageEnded},
        {0, Status(4, TAVRONET_CONNECT_FAILED, 0x2800D), 3, kStageEnded},
        {0, Status(4, TAVRONET_CONNECT_DISCONNECTED), 0, kStageEnded},
        {0, Status(5, TAVRONET_CONNECT_CONNECTING), 0, kStageEnded},    // another request took over
        {0, Status(0, TAVRONET_CONNECT_NONE), 0, kStageEnded},          // the scenario was read again
        {127, Status(4, TAVRONET_CONNECT_CONNECTING), 0, kStageEnded},  // ERROR_PROC_NOT_FOUND
    };
    for (const auto& r : rows) EXPECT_EQ(StageOf(r.code, r.status, 4, r.polls), r.stage) << r.status.state << r.polls;
    const char16_t* name = u"Fibre-\u65E5";
    const struct {
        TAVRONET_CONNECT_STATUS status;
        ConnectStage stage;
        const char16_t* reason;
        const char* line;
    } lines[] = {
        {Status(1, TAVRONET_CONNECT_CONNECTING), kStageWaiting, u"", "Connecting to \"Fibre-\xE6\x97\xA5\"..."},
        {Status(1, TAVRONET_CONNECT_CONNECTED), kStageEnded, u"", "Connected to \"Fibre-\xE6\x97\xA5\"."},
        {Status(1, TAVRONET_CONNECT_FAILED, 0x2800D), kStageEnded, u"The profile key does not match the network key.",
         "Could not connect to \"Fibre-\xE6\x97\xA5\". The profile key does not match the network key."},
        {Status(1, TAVRONET_CONNECT_FAILED, 7), kStageEnded, u"",
         "Could not connect to \"Fibre-\xE6\x97\xA5\". Windows gave no reason."},
        {Status(1, TAVRONET_CONNECT_DISCONNECTING), kStageWaiting, u"", "Disconnecting from \"Fibre-\xE6\x97\xA5\"..."},
        {Status(1, TAVRONET_CONNECT_DISCONNECTED), kStageEnded, u"", "Disconnected from \"Fibre-\xE6\x97\xA5\"."},
        {Status(1, TAVRONET_CONNECT_CONNECTING), kStageLate, u"",
         "Windows has not told yet how the request for \"Fibre-\xE6\x97\xA5\" ended."},
        {Status(0, TAVRONET_CONNECT_NONE), kStageEnded, u"", ""},
    };
    for (const auto& l : lines) EXPECT_EQ(Utf8(ConnectLine(l.status, l.stage, name, l.reason)), l.line);
}

// Windows keeps a group policy's saved networks first and unchanged: their
// buttons are grey and the line beside says why.
TEST(AppletSurveyRules, SavedNetworksOfAGroupPolicyCannotBeMovedOrRemoved) {
    const unsigned long policy = TAVRONET_PROFILE_GROUP_POLICY;
    const std::vector<TAVRONET_PROFILE> list = {Saved(u"Office", policy), Saved(u"Home", 0), Saved(u"Caf\u00E9", 0),
                                                Saved(u"Tavern", 0)};
    const char* byPolicy = "Set by a group policy: only the policy can change it.";
    const char* first = "Saved networks set by a group policy stay first.";
    const struct {
        int row;
        bool up, down, remove;
        const char* why;
    } rows[] = {
        {-1, false, false, false, ""}, {0, false, false, false, byPolicy}, {1, false, true, true, first},
        {2, true, true, true, ""},     {3, true, false, true, ""},         {4, false, false, false, ""},
    };
    for (const auto& r : rows) {
        const SavedNetworkButtons b = ButtonsFor(list, r.row);
        EXPECT_EQ(b.up * 100 + b.down * 10 + b.remove, r.up * 100 + r.down * 10 + r.remove) << r.row;
        EXPECT_STREQ(b.why, r.why) << r.row;
    }
    EXPECT_EQ(ButtonsFor({Saved(u"Only", 0)}, 0).up + ButtonsFor({Saved(u"Only", 0)}, 0).down, 0);
    EXPECT_TRUE(ButtonsFor({Saved(u"First", 0), Saved(u"Second", 0)}, 1).up) << "the second moves above the first";
    TAVRONET_PROFILE wep = Saved(u"\u65E5\u672C printer", TAVRONET_PROFILE_PER_USER);
    wep.authentication = TAVRONET_AUTH_OPEN;
    wep.cipher = TAVRONET_CIPHER_WEP;
    EXPECT_EQ(Joined(SavedNetworkRow(wep, 4)), "5|\xE6\x97\xA5\xE6\x9C\xAC printer|WEP (open system)|This user");
    EXPECT_EQ(Joined(SavedNetworkRow(list[0], 0)), "1|Office|WPA2-Personal, AES (CCMP)|Group policy");
    EXPECT_EQ(Joined(SavedNetworkRow(list[1], 1)), "2|Home|WPA2-Personal, AES (CCMP)|All users");
}

// A scan that Windows took and then failed answers with Windows' reason, a
// WLAN reason code (from 0x10000 on); an error code is below it. The line
// under the list says so instead of counting the networks of no scan.
TEST(AppletSurveyRules, AFailedScanSaysWhy) {
    const struct {
        unsigned long code;
        bool reason;
    } codes[] = {{0, false},      {5, false},      {1168, false},  {0xFFFF, false},
                 {0x10000, true}, {0x10001, true}, {0x2800B, true}};
    for (const auto& c : codes) EXPECT_EQ(IsReasonCode(c.code), c.reason) << c.code;
    EXPECT_EQ(Utf8(ScanFailureLine(u"The network is not available.")),
              "Windows could not scan for networks. The network is not available.");
    EXPECT_EQ(Utf8(ScanFailureLine(u"")), "Windows could not scan for networks. Windows gave no reason.");
}
