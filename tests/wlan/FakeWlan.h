// An in-process stand-in for the WLAN service behind wlanapi.dll, for host
// tests of TavroApi.DLL's WLAN mapping. Tests describe the interfaces and
// read back the calls made, the client handles left open and the blocks of
// memory handed out and not freed.
#ifndef TESTS_WLAN_FAKEWLAN_H
#define TESTS_WLAN_FAKEWLAN_H

#include "WlanEntryPoints.h"

#include <functional>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace fakewlan {

// One WLAN interface as the service reports it.
struct Interface {
    GUID guid = {};
    std::u16string description = u"Wireless LAN Adapter";
    WLAN_INTERFACE_STATE state = wlan_interface_state_connected;
    DOT11_BSS_TYPE bssType = dot11_BSS_type_infrastructure;
    DOT11_PHY_TYPE phyType = dot11_phy_type_erp;
    ULONG signalQuality = 100;
    ULONG txRate = 54000;  // kbit/s
    // Software and hardware radio state of each PHY; empty: no PHY listed.
    std::vector<WLAN_PHY_RADIO_STATE> phys = {{0, dot11_radio_state_on, dot11_radio_state_on}};
    bool radioQuery = true;     // false: the system has no radio-state query (XP)
    DWORD radioBlockBytes = 0;  // the size of the radio-state block handed out; 0: the whole record
    bool statistics = true;     // false: the system gives no statistics (XP)
    unsigned long long unicastReceived = 100;
    unsigned long long multicastReceived = 0;
    unsigned long long unicastDecryptFailures = 0, multicastDecryptFailures = 0;
    LONG rssi = -60;        // dBm, given while connected
    bool rssiQuery = true;  // false: the system has no signal-strength query
    // false: the readings that reveal access points are refused, and so is
    // a scan (Windows 11 24H2 without the user's location consent).
    bool locationConsent = true;
    // iphlpapi's transmit link speed in bit/s (GetIfEntry2); 0: the row has none.
    unsigned long long linkSpeed = 54000000;
    // A connect asked completes this long after WlanConnect returned, with
    // this reason (0: connected; else it fails with it).
    DWORD connectMs = 2000;
    DWORD connectFailure = 0;
    // A scan asked ends this long after WlanScan returned, reported
    // scan_complete, or scan_fail with this reason where it is not 0. XP's
    // service reports neither (it has only connection_complete and disconnected).
    DWORD scanMs = 1500;
    DWORD scanFailure = 0;
    std::set<DWORD> refusedPhys;  // WlanSetInterface refuses to switch these PHYs
    // The connection in detail, the channel query and automatic configuration.
    std::string ssid = "HomeNet";
    unsigned char bssid[6] = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
    std::u16string profileName = u"HomeNet";
    int auth = 7, cipher = 4;  // WPA2-PSK with CCMP
    ULONG rxRate = 48000;
    ULONG channel = 6;  // 0: no channel query (XP)
    BOOL autoConfig = TRUE;
    // The networks in range (the available network list) and their access points.
    std::vector<WLAN_AVAILABLE_NETWORK> networks;
    std::vector<WLAN_BSS_ENTRY> bsses;
    // The saved networks in their order: name, WLAN_PROFILE_* flags, profile
    // text, and the network it is for (empty: the name's ASCII units).
    struct Profile {
        std::u16string name;
        DWORD flags;
        std::u16string xml;
        std::string ssid = "";
    };
    std::vector<Profile> profiles;
    // Adds a network (WPA2-PSK unless `auth` and `cipher` say otherwise) and
    // `accessPoints` access points for it, the first the strongest.
    void AddNetwork(const std::string& name, ULONG signal, LONG rssi, ULONG kHz, int accessPoints = 1, DWORD flags = 0,
                    const std::u16string& profile = u"", int auth = 7, int cipher = 4);
};

// An event the service reports later, on a thread of its own.
struct Event {
    DWORD due;  // virtual time
    WLAN_NOTIFICATION_DATA data;
    WLAN_CONNECTION_NOTIFICATION_DATA connection;  // pData of a connection event
    WLAN_REASON_CODE reason;                       // pData of scan_fail
    std::function<void()> change;                  // what changes in the service as it is reported
};

class Service {
public:
    static Service& Get();
    void Reset();

    std::vector<Interface> interfaces;
    Interface& Add(const std::u16string& description, DWORD guidData1);
    Interface* Find(const GUID& guid);

    // The newest client version the system offers: 2 Vista and later, 1 XP; 0: service stopped.
    DWORD newestVersion = 2;

    // The service restarts: every client handle open now is forgotten.
    void Restart();
    // The calls the table leaves out, as a system without them (XP:
    // "WlanGetNetworkBssList"; before Vista: "GetIfEntry2", iphlpapi's link speed).
    std::set<std::string> missingCalls;

    // The service's events: reported `delayMs` after now to the client
    // registered for their source, never at once and never on the caller's
    // thread. Deliver reports those due by the desktop's clock, each on a
    // thread of its own, in order, and returns when they are handled.
    void Notify(const GUID& guid, DWORD code, DWORD delayMs = 0, DWORD source = WLAN_NOTIFICATION_SOURCE_ACM);
    void NotifyConnection(const GUID& guid, DWORD code, DWORD delayMs, const std::string& ssid,
                          const std::u16string& profile, DWORD reason, std::function<void()> change = nullptr);
    void NotifyScan(const GUID& guid, DWORD delayMs, WLAN_REASON_CODE failure);
    void Deliver();
    int Pending() const { return static_cast<int>(events_.size()); }
    // A USB adapter plugged in (reported by interface_arrival) and pulled out.
    Interface& Plug(const std::u16string& description, DWORD guidData1, DWORD delayMs = 10);
    void Unplug(DWORD guidData1, DWORD delayMs = 10);
    // Calls the library made on the service's thread, from inside its callback:
    // WlanCloseHandle there never returns on Windows, and any call there holds up the service.
    int callsFromCallback = 0;

    // The next call of `function` after `skip` successful ones fails with
    // `error`; a WlanQueryInterface of one opcode is "WlanQueryInterface(rssi)".
    void FailNext(const std::string& function, DWORD error, int skip = 0);

    // What was seen: "WlanOpenHandle(2)", "WlanQueryInterface(radio_state)", ...
    std::vector<std::string> calls;
    int CountCalls(const std::string& prefix) const;
    // The calls that reach the service (all but WlanFreeMemory, the conversions and iphlpapi's).
    int ServiceCalls() const;
    // The calls that need the user's location consent on Windows 11 24H2 and
    // later (they reveal access points), in all and in each minute of the clock.
    int GatedCalls() const;
    std::vector<int> GatedCallsPerMinute() const;
    int OpenHandles() const { return static_cast<int>(handles_.size()); }
    int BlocksOutstanding() const { return static_cast<int>(blocks_.size()); }
    int BadFrees() const { return badFrees_; }
    int BadHandles() const { return badHandles_; }

    // The table of calls as the library's loader would fill it.
    tavrowlan::WlanEntryPoints Table() const;
    // Loader and unloader for a session, counting loads.
    static bool Load(tavrowlan::WlanEntryPoints* api);
    static void Unload(tavrowlan::WlanEntryPoints* api);
    int loads = 0, unloads = 0;

    // Internals of the fake's functions.
    void Record(const std::string& call);
    void Register(HANDLE handle, DWORD sources, BOOL ignoreDuplicates, WLAN_NOTIFICATION_CALLBACK callback,
                  PVOID context);
    bool Fails(const std::string& function, DWORD* error);
    void* Allocate(size_t size);
    bool Free(void* block);
    HANDLE OpenHandle();
    bool CloseHandle(HANDLE handle);
    bool Known(HANDLE handle) const { return handles_.count(handle) != 0; }
    void BadHandle() { ++badHandles_; }

private:
    Service() = default;
    struct Failure {
        std::string function;
        DWORD error;
        int skip;
    };
    std::vector<Failure> failures_;
    std::vector<DWORD> callTimes_;  // the clock at each of `calls`
    std::vector<Event> events_;     // reported later, in the order of `due`
    HANDLE registered_ = nullptr;   // the handle events go to
    BOOL ignoreDuplicate_ = FALSE;
    bool delivered_ = false;  // `last_` holds the last event reported
    WLAN_NOTIFICATION_DATA last_ = {};
    std::thread::id serviceThread_;
    WLAN_NOTIFICATION_CALLBACK callback_ = nullptr;
    PVOID callbackContext_ = nullptr;
    void Queue(Event event);
    void Unregister(HANDLE handle);
    std::set<void*> blocks_;
    std::set<HANDLE> handles_;
    std::set<HANDLE> forgotten_;  // open before a restart; closing them only fails
    int nextHandle_ = 0;
    int badFrees_ = 0;
    int badHandles_ = 0;
};

// A GUID with the given first field and a fixed rest.
GUID MakeGuid(DWORD data1);

}  // namespace fakewlan

#endif
