// Location consent (Windows 11 24H2 and later): the readings that reveal
// access points need the user's consent and light the location indicator
// each time. The tray program's own poll makes none of them where the
// system gives the link speed otherwise; the applet's calls ask at each
// user action and say when Windows refused.
#include "WlanTest.h"

namespace {

const DWORD kTenMinutes = 600;

// Ten minutes of the tray program's polling on two adapters: what the icons
// show, and the location-gated calls it cost.
TEST_F(WlanTest, TenMinutesOfTheTrayProgramsPollingMakeAtMostTwoGatedCallsAnAdapter) {
    struct Row {
        const char* name;
        bool consent, linkSpeed;
        int gatedEach;  // location-gated calls of each adapter in ten minutes
        unsigned long rate;
    } rows[] = {
        {"with consent, the link speed from iphlpapi", true, true, 0, 130},
        {"with consent, no link speed: the connection once in five minutes", true, false, 2, 108},
        {"without consent, the link speed from iphlpapi", false, true, 0, 130},
        {"without consent, no link speed: no rate", false, false, 2, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FreshService();
        wlan.missingCalls = row.linkSpeed ? std::set<std::string>() : std::set<std::string>{"GetIfEntry2"};
        collection = Collection();
        for (TraySlot& slot : tray) slot = TraySlot();
        for (DWORD id : {0xA, 0xB}) {
            Interface& card = wlan.Add(id == 0xA ? u"A" : u"B", id);
            card.locationConsent = row.consent;
            card.rssi = -55;
            card.linkSpeed = 65000000;  // 65 Mbps
        }
        for (DWORD second = 0; second < kTenMinutes; ++second) TrayTick();
        EXPECT_EQ(TrayDescriptions(), (std::vector<std::string>{"A", "B"}));
        for (const TraySlot& slot : tray) {
            if (!slot.present) continue;
            EXPECT_EQ(std::vector<unsigned long>({slot.state, slot.quality, slot.rate}),
                      std::vector<unsigned long>({1, 14, row.rate}))
                << "linked, 90 % from -55 dBm, the rate as Windows tells it";
        }
        EXPECT_LE(wlan.GatedCalls(), 2 * row.gatedEach) << "two adapters";
        const std::vector<int> perMinute = wlan.GatedCallsPerMinute();
        for (size_t minute = 0; minute < perMinute.size(); ++minute)
            EXPECT_LE(perMinute[minute], 2) << "minute " << minute;
        EXPECT_EQ(wlan.CountCalls("WlanScan"), 0);
    }
}

// The applet's calls come from what its user does: each asks Windows, a
// refusal sets locationDenied (and is not remembered), and the first call
// after the user allows access shows everything.
TEST_F(WlanTest, TheAppletAsksAtEachCallAndSaysWhenWindowsRefused) {
    Card().AddNetwork("HomeNet", 80, -60, 5180000);
    const unsigned long everything = TAVRONET_KNOWN_SSID | TAVRONET_KNOWN_BSSID | TAVRONET_KNOWN_CHANNEL |
                                     TAVRONET_KNOWN_SIGNAL | TAVRONET_KNOWN_RSSI | TAVRONET_KNOWN_TX_RATE |
                                     TAVRONET_KNOWN_RX_RATE | TAVRONET_KNOWN_PHY | TAVRONET_KNOWN_SECURITY;
    struct Row {
        const char* name;
        bool consent;
        unsigned long linkResult, known, denied, listResult, listed, scanResult;
    } rows[] = {
        {"refused", false, 0, TAVRONET_KNOWN_SIGNAL | TAVRONET_KNOWN_RSSI, 1, ERROR_ACCESS_DENIED, 0,
         ERROR_ACCESS_DENIED},
        {"refused again, a second later", false, 0, TAVRONET_KNOWN_SIGNAL | TAVRONET_KNOWN_RSSI, 1, ERROR_ACCESS_DENIED,
         0, ERROR_ACCESS_DENIED},
        {"allowed: at once", true, 0, everything, 0, 0, 1, 0},
        {"refused once more", false, 0, TAVRONET_KNOWN_SIGNAL | TAVRONET_KNOWN_RSSI, 1, ERROR_ACCESS_DENIED, 0,
         ERROR_ACCESS_DENIED},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Card().locationConsent = row.consent;
        Poll();
        const int gatedBefore = wlan.GatedCalls();
        unsigned long linkResult, listResult;
        const TAVRONET_LINK link = Link(&linkResult);
        const size_t listed = Networks(&listResult).size();
        const unsigned long scanResult = NetScan(session, Id().c_str());
        const TAVRONET_LINK after = Link(&linkResult);
        EXPECT_EQ(std::vector<unsigned long>({linkResult, link.known, link.locationDenied, listResult, listed,
                                              scanResult, after.locationDenied}),
                  std::vector<unsigned long>(
                      {row.linkResult, row.known, row.denied, row.listResult, row.listed, row.scanResult, row.denied}));
        EXPECT_GE(wlan.GatedCalls() - gatedBefore, 3) << "the connection, the list and the scan were each asked";
    }
}

}  // namespace
