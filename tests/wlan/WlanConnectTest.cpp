// A connect or disconnect as the applet's user sees it: taken at once, then
// connecting, then connected or failed with Windows' own words, as the
// service reports later on its own thread.
#include "WlanTest.h"

#include <string.h>

namespace {

const DWORD kKeyMismatch = 0x0002800D, kNotAvailable = 0x0002800B;

// The states of the status at the moments of a connect.
struct Steps {
    unsigned long taken, started, done, reason, sequence;
    bool operator==(const Steps& o) const {
        return taken == o.taken && started == o.started && done == o.done && reason == o.reason &&
               sequence == o.sequence;
    }
};
std::ostream& operator<<(std::ostream& out, const Steps& s) {
    return out << "{" << s.taken << ", " << s.started << ", " << s.done << ", reason " << std::hex << s.reason
               << std::dec << ", sequence " << s.sequence << "}";
}

TEST_F(WlanTest, AConnectIsReportedAsTheServiceReportsIt) {
    const unsigned long connecting = TAVRONET_CONNECT_CONNECTING, connected = TAVRONET_CONNECT_CONNECTED,
                        failed = TAVRONET_CONNECT_FAILED;
    struct Row {
        const char* name;
        const char16_t* saved;  // the saved network asked for; "" for an open network without one
        DWORD failure, refusal, completesAfter;
        bool connectedBefore;
        unsigned long result;
        Steps steps;
        WLAN_INTERFACE_STATE after;
    } rows[] = {
        {"connects late",
         u"Home",
         0,
         0,
         5000,
         false,
         0,
         {connecting, connecting, connected, 0, 1},
         wlan_interface_state_connected},
        {"from another network: its end is no answer",
         u"Home",
         0,
         0,
         2000,
         true,
         0,
         {connecting, connecting, connected, 0, 1},
         wlan_interface_state_connected},
        {"a wrong key",
         u"Home",
         kKeyMismatch,
         0,
         3000,
         false,
         0,
         {connecting, connecting, failed, kKeyMismatch, 1},
         wlan_interface_state_disconnected},
        {"out of reach",
         u"Home",
         kNotAvailable,
         0,
         1500,
         false,
         0,
         {connecting, connecting, failed, kNotAvailable, 1},
         wlan_interface_state_disconnected},
        {"an open network by its name alone",
         u"",
         0,
         0,
         2500,
         false,
         0,
         {connecting, connecting, connected, 0, 1},
         wlan_interface_state_connected},
        {"refused at once: nothing was asked",
         u"Home",
         0,
         ERROR_ACCESS_DENIED,
         2000,
         false,
         ERROR_ACCESS_DENIED,
         {0, 0, 0, 0, 0},
         wlan_interface_state_disconnected},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FreshService();
        Card().profiles = {{u"Home", 0, u""}, {u"Other", 0, u""}};
        Card().state = row.connectedBefore ? wlan_interface_state_connected : wlan_interface_state_disconnected;
        Card().ssid = "Other";
        Card().profileName = u"Other";
        Card().connectFailure = row.failure;
        Card().connectMs = row.completesAfter;
        if (row.refusal) wlan.FailNext("WlanConnect", row.refusal);
        TAVRONET_NETWORK home = {sizeof home, 0, 4, {'H', 'o', 'm', 'e'}};
        SetUnits(home.profileNameW, row.saved);
        home.authentication = TAVRONET_AUTH_OPEN;
        home.cipher = TAVRONET_CIPHER_NONE;
        EXPECT_EQ(NetConnect(session, Id().c_str(), &home), row.result);
        Steps steps = {};
        steps.taken = Status().state;
        Later(1000);  // the start
        steps.started = Status().state;
        Later(row.completesAfter);
        const TAVRONET_CONNECT_STATUS done = Status();
        steps.done = done.state;
        steps.reason = done.reason;
        steps.sequence = done.sequence;
        EXPECT_EQ(steps, row.steps);
        EXPECT_EQ(Card().state, row.after);
        if (!row.result) {
            EXPECT_EQ(std::vector<std::u16string>({Units(done.ssidW), Units(done.profileNameW)}),
                      (std::vector<std::u16string>{u"Home", row.saved}));
        }
        EXPECT_EQ(wlan.Pending(), 0);
    }
}

// A disconnect goes disconnecting, then disconnected; with no connection
// to end it is done at once. On XP it turns the saved network into one
// that never connects on its own again, which the library tells beforehand.
TEST_F(WlanTest, ADisconnectIsReportedAndXpsCostIsToldBeforehand) {
    struct Row {
        const char* name;
        DWORD version;
        WLAN_INTERFACE_STATE before;
        unsigned long taken, done, libraryFlags, autoAfter;
    } rows[] = {
        {"connected", 2, wlan_interface_state_connected, TAVRONET_CONNECT_DISCONNECTING, TAVRONET_CONNECT_DISCONNECTED,
         0, TAVRONET_PROFILE_AUTO_CONNECT},
        {"not connected", 2, wlan_interface_state_disconnected, TAVRONET_CONNECT_DISCONNECTED,
         TAVRONET_CONNECT_DISCONNECTED, 0, TAVRONET_PROFILE_AUTO_CONNECT},
        {"XP", 1, wlan_interface_state_connected, TAVRONET_CONNECT_DISCONNECTING, TAVRONET_CONNECT_DISCONNECTED,
         TAVRONET_LIBRARY_DISCONNECT_STOPS_AUTO, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FreshService();
        wlan.newestVersion = row.version;
        Card().state = row.before;
        Card().profiles = {{u"HomeNet", 0, u"<connectionMode>auto</connectionMode>"}};
        TAVRONET_LIBRARY library = {sizeof library};
        ASSERT_EQ(NetGetLibrary(session, nullptr, &library), 0u);
        EXPECT_EQ(library.flags, row.libraryFlags);
        unsigned long result;
        Link(&result);  // the applet shows the connection first
        EXPECT_EQ(NetDisconnect(session, Id().c_str()), 0u);
        const unsigned long taken = Status().state;
        Later(1000);
        const TAVRONET_CONNECT_STATUS done = Status();
        EXPECT_EQ(std::vector<unsigned long>({taken, done.state, done.sequence}),
                  std::vector<unsigned long>({row.taken, row.done, 1}));
        EXPECT_EQ(Card().state, wlan_interface_state_disconnected);
        EXPECT_EQ(Profiles().at(0).flags & TAVRONET_PROFILE_AUTO_CONNECT, row.autoAfter);
        if (row.before == wlan_interface_state_connected) {
            EXPECT_EQ(Units(done.profileNameW), u"HomeNet");
        }
    }
}

// Windows' words for a reason, cut to the caller's buffer.
TEST_F(WlanTest, AReasonIsShownInWindowsOwnWords) {
    struct Row {
        const char* name;
        DWORD reason;
        unsigned long capacity, result;
        std::u16string text;
        const char* missing = "";
    } rows[] = {
        {"a wrong key", kKeyMismatch, TAVRONET_REASON_CHARS, 0, u"The key does not match the network's."},
        {"cut to the buffer", kNotAvailable, 8, 0, u"The net"},
        {"room for the terminator alone", kNotAvailable, 1, 0, u""},
        {"no room at all", kNotAvailable, 0, ERROR_INVALID_PARAMETER, u""},
        {"a reason without words", 0x00099999, TAVRONET_REASON_CHARS, ERROR_NOT_FOUND, u""},
        {"a system without the call", kKeyMismatch, TAVRONET_REASON_CHARS, ERROR_NOT_SUPPORTED, u"",
         "WlanReasonCodeToString"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FreshService();
        wlan.missingCalls = {row.missing};
        TAVRONET_WCHAR text[TAVRONET_REASON_CHARS + 1];
        memset(text, 0x55, sizeof text);
        EXPECT_EQ(NetGetReasonText(session, row.reason, text, row.capacity), row.result);
        if (row.capacity) {
            EXPECT_EQ(Units(text), row.text);
        }
        EXPECT_EQ(text[row.capacity], 0x5555) << "written past the buffer";
    }
}

}  // namespace
