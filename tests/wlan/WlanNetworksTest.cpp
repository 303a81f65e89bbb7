// The networks in range as the site survey shows them: one entry for each
// name, kind and security, however often Windows lists it, never a secured
// one as open, and Windows' word on whether it can be joined.
#include "WlanTest.h"

#include <functional>

namespace {

const int kOpen = 1, kWpa2Psk = 7, kNoCipher = 0, kCcmp = 4, kWep = 1;

// What a row of the survey shows of a network.
struct Shown {
    std::u16string name;
    unsigned long authentication, cipher, flags, accessPoints, notConnectableReason;
    std::string profile;
    unsigned long channel;  // of its strongest access point
    bool operator==(const Shown& o) const {
        return name == o.name && authentication == o.authentication && cipher == o.cipher && flags == o.flags &&
               accessPoints == o.accessPoints && notConnectableReason == o.notConnectableReason &&
               profile == o.profile && channel == o.channel;
    }
};
std::ostream& operator<<(std::ostream& out, const Shown& s) {
    return out << "{auth " << s.authentication << ", cipher " << s.cipher << ", flags " << s.flags << ", "
               << s.accessPoints << " APs, reason " << s.notConnectableReason << ", profile '" << s.profile
               << "', channel " << s.channel << "}";
}

TEST_F(WlanTest, NetworksOfOneNameStayApartByTheirSecurity) {
    const unsigned long saved = TAVRONET_NETWORK_HAS_PROFILE, connected = TAVRONET_NETWORK_CONNECTED;
    const unsigned long wpa2 = TAVRONET_AUTH_WPA2_PSK, open = TAVRONET_AUTH_OPEN;
    struct Row {
        const char* name;
        std::function<void(Interface&)> set;
        std::vector<Shown> shown;
    } rows[] = {
        {"a saved WPA2 Cafe (listed with and without its profile) and an open one",
         [](Interface& c) {
             c.AddNetwork("Cafe", 90, -50, 2412000, 2, 0x3, u"Cafe", kWpa2Psk, kCcmp);
             c.AddNetwork("Cafe", 80, -55, 2412000, 2, 0, u"", kWpa2Psk, kCcmp);
             c.AddNetwork("Cafe", 60, -70, 2437000, 3, 0, u"", kOpen, kNoCipher);
         },
         {{u"Cafe", wpa2, TAVRONET_CIPHER_CCMP, saved | connected, 4, 0, "Cafe", 1},
          {u"Cafe", open, TAVRONET_CIPHER_NONE, 0, 3, 0, "", 6}}},
        {"the open one listed first",
         [](Interface& c) {
             c.AddNetwork("Cafe", 60, -70, 2437000, 1, 0, u"", kOpen, kNoCipher);
             c.AddNetwork("Cafe", 90, -50, 2412000, 1, 0x2, u"Cafe", kWpa2Psk, kCcmp);
         },
         {{u"Cafe", open, TAVRONET_CIPHER_NONE, 0, 1, 0, "", 6},
          {u"Cafe", wpa2, TAVRONET_CIPHER_CCMP, saved, 1, 0, "Cafe", 1}}},
        {"secured, its cipher said to be none: not open",
         [](Interface& c) {
             c.AddNetwork("Office", 70, -60, 5180000, 1, 0, u"", kOpen, kNoCipher);
             c.networks[0].bSecurityEnabled = TRUE;
             c.bsses[0].usCapabilityInformation = 0x0011;  // its access point says Privacy too
         },
         {{u"Office", open, TAVRONET_CIPHER_UNKNOWN, 0, 1, 0, "", 36}}},
        {"two secured ones of one name: the list's counts, not the BSS list's",
         [](Interface& c) {
             c.AddNetwork("Lab", 70, -60, 5180000, 2, 0, u"", kWpa2Psk, kCcmp);
             c.AddNetwork("Lab", 50, -75, 5180000, 1, 0, u"", kOpen, kWep);
         },
         {{u"Lab", wpa2, TAVRONET_CIPHER_CCMP, 0, 2, 0, "", 36}, {u"Lab", open, TAVRONET_CIPHER_WEP, 0, 1, 0, "", 36}}},
        {"Windows cannot join it, and says why",
         [](Interface& c) {
             c.AddNetwork("Far", 10, -95, 2462000, 1, 0, u"", kWpa2Psk, kCcmp);
             c.networks[0].bNetworkConnectable = FALSE;
             c.networks[0].wlanNotConnectableReason = 0x0002800B;
         },
         {{u"Far", wpa2, TAVRONET_CIPHER_CCMP, TAVRONET_NETWORK_NOT_CONNECTABLE, 1, 0x0002800B, "", 11}}},
        {"joinable by one of its entries",
         [](Interface& c) {
             c.AddNetwork("Far", 10, -95, 2462000, 1, 0x2, u"Far", kWpa2Psk, kCcmp);
             c.AddNetwork("Far", 10, -95, 2462000, 0, 0, u"", kWpa2Psk, kCcmp);
             c.networks[0].bNetworkConnectable = FALSE;
             c.networks[0].wlanNotConnectableReason = 0x00028005;
         },
         {{u"Far", wpa2, TAVRONET_CIPHER_CCMP, saved, 1, 0, "Far", 11}}},
        {"a name that begins another's",
         [](Interface& c) {
             c.AddNetwork("Cafe", 50, -70, 2412000, 1, 0, u"", kWpa2Psk, kCcmp);
             c.AddNetwork("Cafe Plus", 90, -40, 2462000, 2, 0, u"", kWpa2Psk, kCcmp);
         },
         {{u"Cafe", wpa2, TAVRONET_CIPHER_CCMP, 0, 1, 0, "", 1},
          {u"Cafe Plus", wpa2, TAVRONET_CIPHER_CCMP, 0, 2, 0, "", 11}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Reopen();
        Card().networks.clear();
        Card().bsses.clear();
        row.set(Card());
        unsigned long result;
        std::vector<Shown> shown;
        for (const TAVRONET_NETWORK& n : Networks(&result))
            shown.push_back({Units(n.ssidW), n.authentication, n.cipher, n.flags, n.accessPoints,
                             n.notConnectableReason, n.profileName, n.channel});
        ASSERT_EQ(result, 0u);
        EXPECT_EQ(shown, row.shown);
    }
}

// Connect reaches the network of the row: the saved WPA2 Cafe by its
// profile, the open one by its name.
TEST_F(WlanTest, EachCafeIsJoinedAsWhatItIs) {
    Card().profiles = {{u"Cafe", 0, u""}};
    Card().AddNetwork("Cafe", 90, -50, 2412000, 1, 0x2, u"Cafe", kWpa2Psk, kCcmp);
    Card().AddNetwork("Cafe", 60, -70, 2437000, 1, 0, u"", kOpen, kNoCipher);
    unsigned long result;
    const std::vector<TAVRONET_NETWORK> networks = Networks(&result);
    ASSERT_EQ(networks.size(), 2u);
    std::vector<std::string> joined;
    for (const TAVRONET_NETWORK& n : networks) {
        EXPECT_EQ(NetConnect(session, Id().c_str(), &n), 0u);
        joined.push_back(wlan.calls.back());
    }
    EXPECT_EQ(joined, (std::vector<std::string>{"WlanConnect(profile Cafe)", "WlanConnect(open Cafe)"}));
    // The strongest access point of each: its own channel, told apart by whether it is secured.
    EXPECT_EQ(std::vector<unsigned long>(
                  {networks[0].channel, networks[0].frequencyMHz, networks[1].channel, networks[1].frequencyMHz}),
              std::vector<unsigned long>({1, 2412, 6, 2437}));
}

}  // namespace
