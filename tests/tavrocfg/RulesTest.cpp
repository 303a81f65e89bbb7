// The configuration applet's rules as tables: how signals, rates, channels
// and security read on its pages, the site survey's order and the channel
// overview.
#include "Rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

TAVRONET_NETWORK Network(const char* name, unsigned long percent, unsigned long channel, unsigned long mhz = 0) {
    TAVRONET_NETWORK network = {};
    network.size = sizeof network;
    network.ssidLength = static_cast<unsigned long>(std::strlen(name));
    std::memcpy(network.ssid, name, network.ssidLength);
    network.signalPercent = percent;
    network.channel = channel;
    network.frequencyMHz = mhz;
    return network;
}

// What a formatting rule writes, as a string.
template <typename Rule, typename... Values>
std::string Text(Rule rule, Values... values) {
    char text[64];
    rule(text, sizeof text, values...);
    return text;
}

std::string Name(const TAVRONET_NETWORK& network) {
    char text[64];
    NetworkName(text, sizeof text, network.ssid, network.ssidLength);
    return text;
}

}  // namespace

TEST(AppletRules, SignalsAndRatesReadAsAUserReadsThem) {
    const struct {
        unsigned long kbps;
        const char* text;
    } rates[] = {{54000, "54.0 Mbps"}, {5500, "5.5 Mbps"}, {50, "0.1 Mbps"},       {49, "0.0 Mbps"},
                 {1000, "1.0 Mbps"},   {0, "0.0 Mbps"},    {866700, "866.7 Mbps"}, {149, "0.1 Mbps"}};
    for (const auto& row : rates) EXPECT_EQ(row.text, Text(FormatRate, row.kbps)) << row.kbps;
    EXPECT_EQ("-55 dBm", Text(FormatRssi, -55l));
    EXPECT_EQ("0 dBm", Text(FormatRssi, 0l));
    EXPECT_EQ("-1 dBm", Text(FormatRssi, -1l));
    EXPECT_EQ("72 %", Text(FormatPercent, 72ul));
    char five[5];  // a text cut at the buffer's end, always terminated
    FormatRssi(five, sizeof five, -55l);
    EXPECT_STREQ("-55 ", five);
    const unsigned char mac[6] = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0xFE};
    EXPECT_EQ("00:1A:2B:3C:4D:FE", Text(FormatMac, mac));
    const struct {
        long dbm;
        unsigned long percent;
    } qualities[] = {{-120, 0}, {-100, 0}, {-99, 2}, {-75, 50}, {-51, 98}, {-50, 100}, {-20, 100}};
    for (const auto& row : qualities) EXPECT_EQ(row.percent, PercentFromRssi(row.dbm)) << row.dbm;
    const struct {
        unsigned long percent;
        long dbm;
    } back[] = {{0, -100}, {50, -75}, {100, -50}, {150, -50}};
    for (const auto& row : back) EXPECT_EQ(row.dbm, RssiFromPercent(row.percent)) << row.percent;
}

TEST(AppletRules, ChannelsAndBandsComeFromTheFrequency) {
    const struct {
        unsigned long mhz, channel;
        const char* band;
    } rows[] = {{2412, 1, "2.4 GHz"}, {2437, 6, "2.4 GHz"}, {2472, 13, "2.4 GHz"}, {2484, 14, "2.4 GHz"},
                {5180, 36, "5 GHz"},  {5825, 165, "5 GHz"}, {5885, 177, "5 GHz"},  {5935, 2, "6 GHz"},
                {5955, 1, "6 GHz"},   {7115, 233, "6 GHz"}, {2400, 0, ""},         {2473, 0, ""},
                {5886, 0, ""},        {5930, 0, ""},        {5954, 0, ""},         {0, 0, ""}};
    for (const auto& row : rows) {
        EXPECT_EQ(row.channel, ChannelFromFrequency(row.mhz)) << row.mhz;
        EXPECT_STREQ(row.band, BandName(row.mhz)) << row.mhz;
    }
}

TEST(AppletRules, WordsOfTheInterfaceValues) {
    EXPECT_STREQ("802.11g", PhyName(TAVRONET_PHY_G));
    EXPECT_STREQ("802.11ax", PhyName(TAVRONET_PHY_AX));
    EXPECT_STREQ("802.11be", PhyName(TAVRONET_PHY_BE));
    EXPECT_STREQ("", PhyName(TAVRONET_PHY_BE + 1));
    EXPECT_STREQ("", PhyName(99));
    EXPECT_STREQ("WPA2-Personal", AuthenticationName(TAVRONET_AUTH_WPA2_PSK));
    EXPECT_STREQ("Enhanced Open (OWE)", AuthenticationName(TAVRONET_AUTH_OWE));
    EXPECT_STREQ("", AuthenticationName(TAVRONET_AUTH_OWE + 1));
    EXPECT_STREQ("", AuthenticationName(99));
    EXPECT_STREQ("Radio off (hardware switch)", LinkStateName(TAVRONET_STATE_SWITCH_OFF));
    const struct {
        unsigned long auth, cipher;
        const char* text;
    } security[] = {{TAVRONET_AUTH_WPA2_PSK, TAVRONET_CIPHER_CCMP, "WPA2-Personal, AES (CCMP)"},
                    {TAVRONET_AUTH_OPEN, TAVRONET_CIPHER_NONE, "Open"},
                    {TAVRONET_AUTH_OPEN, TAVRONET_CIPHER_WEP, "WEP (open system)"},
                    {TAVRONET_AUTH_SHARED, TAVRONET_CIPHER_WEP, "WEP (shared key)"},
                    {TAVRONET_AUTH_SHARED, TAVRONET_CIPHER_UNKNOWN, "WEP (shared key)"},
                    {TAVRONET_AUTH_OPEN, TAVRONET_CIPHER_UNKNOWN, "Open"},
                    {TAVRONET_AUTH_UNKNOWN, TAVRONET_CIPHER_TKIP, "TKIP"}};
    for (const auto& row : security) EXPECT_EQ(row.text, Text(SecurityText, row.auth, row.cipher));
    const struct {
        unsigned long type;
        const char* text;
    } methods[] = {{25, "PEAP"},     {13, "EAP-TLS"},  {4, "EAP-MD5"},     {17, "LEAP"},
                   {18, "EAP-SIM"},  {21, "EAP-TTLS"}, {23, "EAP-AKA"},    {26, "EAP-MSCHAPv2"},
                   {43, "EAP-FAST"}, {0, ""},          {99, "EAP type 99"}};
    for (const auto& row : methods) EXPECT_EQ(row.text, Text(EapMethodName, row.type));
}

TEST(AppletRules, HiddenAndOddNetworkNames) {
    EXPECT_EQ("(hidden network)", Name(Network("", 50, 1)));
    TAVRONET_NETWORK zeros = Network("", 50, 1);
    zeros.ssidLength = 4;
    EXPECT_EQ("(hidden network)", Name(zeros));
    EXPECT_EQ("Cafe?Net", Name(Network("Cafe\tNet", 50, 1)));
    TAVRONET_NETWORK stale = Network("", 50, 1);  // zero bytes, then a stale one past the name's length
    stale.ssidLength = 2;
    stale.ssid[2] = 'x';
    EXPECT_EQ("(hidden network)", Name(stale));
    TAVRONET_NETWORK longest = Network("", 50, 1);
    longest.ssidLength = 40;  // more than a name holds: cut at 32 bytes
    std::memset(longest.ssid, 'x', sizeof longest.ssid);
    EXPECT_EQ(std::string(32, 'x'), Name(longest));
    char one[1] = {'x'}, four[4];  // room for the terminator only, for three bytes
    NetworkName(one, sizeof one, longest.ssid, longest.ssidLength);
    EXPECT_EQ(0, one[0]);
    NetworkName(four, sizeof four, longest.ssid, longest.ssidLength);
    EXPECT_STREQ("xxx", four);
}

TEST(AppletRules, SurveySortsBySignalThenNameAndByAnyColumn) {
    std::vector<TAVRONET_NETWORK> list = {Network("beta", 40, 6, 2437), Network("Alpha", 40, 36, 5180),
                                          Network("", 90, 1, 2412), Network("gamma", 70, 6, 2437)};
    list[1].flags = TAVRONET_NETWORK_CONNECTED;
    const long rssi[] = {-60, -80, -50, -60};
    for (size_t i = 0; i < list.size(); ++i) list[i].rssiDbm = rssi[i];
    const struct {
        SurveyColumn column;
        bool descending;
        const char* order;
    } rows[] = {{kColumnSignal, true, "(hidden network),gamma,Alpha,beta,"},
                {kColumnSignal, false, "Alpha,beta,gamma,(hidden network),"},
                {kColumnName, false, "Alpha,beta,gamma,(hidden network),"},
                {kColumnChannel, false, "(hidden network),gamma,beta,Alpha,"},
                {kColumnBand, false, "(hidden network),gamma,beta,Alpha,"},
                {kSurveyColumns, false, "(hidden network),gamma,Alpha,beta,"},
                {kColumnRssi, false, "Alpha,gamma,beta,(hidden network),"},
                {kColumnConnected, true, "Alpha,(hidden network),gamma,beta,"}};
    for (const auto& row : rows) {
        std::vector<TAVRONET_NETWORK> sorted = list;
        std::sort(sorted.begin(), sorted.end(), [&row](const TAVRONET_NETWORK& a, const TAVRONET_NETWORK& b) {
            return CompareNetworks(a, b, row.column, row.descending) < 0;
        });
        std::string order;
        for (const TAVRONET_NETWORK& network : sorted) order += Name(network) + ",";
        EXPECT_EQ(row.order, order) << row.column << " " << row.descending;
    }
    // Equal in the column (beta and gamma both -60 dBm): the stronger signal first.
    EXPECT_GT(CompareNetworks(list[0], list[3], kColumnRssi, false), 0);
    // Names without regard to case; a name's stale bytes beyond its length do not count.
    EXPECT_GT(CompareNetworks(Network("Ab", 50, 1), Network("aa", 50, 1), kColumnName, false), 0);
    TAVRONET_NETWORK stale = Network("zz", 50, 1);
    stale.ssidLength = 0;
    EXPECT_GT(CompareNetworks(stale, Network("b", 50, 1), kColumnName, false), 0);
    EXPECT_TRUE(DescendingFirst(kColumnSignal));
    EXPECT_FALSE(DescendingFirst(kColumnName));
}

TEST(AppletRules, ChannelOverviewCountsNetworksAndStrongestPerChannel) {
    const std::vector<TAVRONET_NETWORK> list = {
        Network("a", 40, 6, 2437), Network("b", 80, 36, 5180), Network("c", 70, 6, 2437), Network("d", 30, 0, 2412),
        Network("e", 20, 0, 0),    Network("f", 60, 1, 5955),  Network("g", 50, 6, 0),    Network("h", 10, 2, 5935)};
    ChannelLoad loads[8];
    ASSERT_EQ(6u, ChannelOverview(list.data(), list.size(), loads, 8));
    // A channel known without its frequency may be another band's (channel 6
    // is also a 6 GHz one): it has a bar of its own, after the known bands.
    const ChannelLoad expected[] = {{1, 24, 1, 30}, {6, 24, 2, 70}, {36, 5, 1, 80},
                                    {1, 6, 1, 60},  {2, 6, 1, 10},  {6, 0, 1, 50}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(expected[i].channel, loads[i].channel) << i;
        EXPECT_EQ(expected[i].band, loads[i].band) << i;
        EXPECT_EQ(expected[i].networks, loads[i].networks) << i;
        EXPECT_EQ(expected[i].strongestPercent, loads[i].strongestPercent) << i;
    }
    EXPECT_EQ(2u, ChannelOverview(list.data(), list.size(), loads, 2));
    EXPECT_EQ(0u, ChannelOverview(nullptr, 0, loads, 8));
}
