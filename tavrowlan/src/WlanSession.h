// The one WLAN client handle of the process, shared by every object of the
// library, and what the library remembers of each interface between calls.
// The handle is opened on first need with the newest client version the
// system offers (2 on Vista and later, else 1 on XP), reopened when the WLAN
// service restarts, and closed, with wlanapi.dll freed, when the last object
// of the library is destroyed: the library never calls into the WLAN
// service from DllMain.
#ifndef TAVROWLAN_WLANSESSION_H
#define TAVROWLAN_WLANSESSION_H

#include "TavroNet.h"
#include "WlanEntryPoints.h"
#include "WlanEvents.h"
#include "common/SignalHistory.h"

#include <deque>

namespace tavrowlan {

// How a failed open is retried: at most once in this many milliseconds, so
// icons come back within about five seconds of a service that starts late,
// and a machine without the service is asked once in three seconds.
const DWORD kReopenMs = 3000;

// Whether a WLAN call's error says the client handle is gone: the service
// restarted (the handle is unknown to it) or cannot be reached over RPC.
bool HandleGone(DWORD error);

// The tray program's poll makes no reading that needs the user's location
// consent (Windows 11 24H2 and later: each lights the location indicator,
// and the first refused one shows the consent prompt). Only where nothing
// else gives the rate does it read the connection, at most once in this long.
const DWORD kConnectionReadingMs = 5 * 60 * 1000;
// A failed signal reading while the interface state says connected keeps
// the last good reading for this many polls (the service answers a reading
// now and then with an error of its own while the link is fine).
const int kStaleReadings = 3;

enum class Link { Connected, NotConnected, Failed };

// One reading of an interface's link, shared by the queries of one poll.
struct LinkSnapshot {
    bool taken = false;
    DWORD takenAt = 0;  // GetTickCount when read
    Link link = Link::Failed;
    DOT11_BSS_TYPE bssType = dot11_BSS_type_infrastructure;
    DOT11_PHY_TYPE phyType = dot11_phy_type_unknown;
    ULONG signalQuality = 0;      // 0..100
    ULONG txRate = 0;             // kbit/s; 0 where nothing allowed gives it
    DWORD error = ERROR_SUCCESS;  // the service's answer when the link is Failed: never ERROR_SUCCESS then
    bool rssiRead = false;        // the signal strength was read
    LONG rssi = 0;                // dBm
};

// The last reading of the connection (it reveals the access point, so it
// needs location consent on Windows 11 24H2 and later), by the poll or by the applet.
struct ConnectionReading {
    bool asked = false;
    DWORD askedAt = 0;  // GetTickCount when last asked
    bool held = false;  // `attributes` is the connection the interface has now
    WLAN_CONNECTION_ATTRIBUTES attributes;
};

// A scan asked of the interface: done when the service reports it complete
// or failed, or at the latest kScanMostMs after it was asked. A failure's
// reason is kept until the next scan.
const DWORD kScanMostMs = 4000;
struct ScanState {
    bool pending = false;
    DWORD startedAt = 0;
    DWORD failure = 0;  // a WLAN_REASON_CODE
};

// Whether the interface's locally unique identifier for iphlpapi is known yet.
enum class LuidState { Unknown, Known, None };

// What the library keeps of one interface. Only the caller's thread uses it.
struct InterfaceMemory {
    GUID guid;
    LinkSnapshot snapshot;
    // The newest reading that told the signal, and how many failed since.
    LinkSnapshot lastGood;
    int staleReadings = 0;
    ConnectionReading connection;
    // Windows refused the connection, the networks or a scan for want of
    // location consent, and has allowed none of them since.
    bool locationDenied = false;
    LuidState luidState = LuidState::Unknown;
    InterfaceLuid luid;
    SignalHistory history;
    ScanState scan;
};

class WlanSession {
public:
    typedef bool (*Loader)(WlanEntryPoints* api);
    typedef void (*Unloader)(WlanEntryPoints* api);

    // `api` is filled by `load` on first need and cleared by `unload`.
    WlanSession(WlanEntryPoints* api, Loader load, Unloader unload);

    // One more object of the library uses the session; and one less. After
    // the last Release the handle is closed and wlanapi.dll freed.
    void Acquire();
    void Release();

    // The client handle, opened on the first call; null where the WLAN API
    // or its service is missing. A failed open is tried again only after
    // kReopenMs, or at once after AllowRetry. Each new handle is registered
    // for the service's events where the system offers them.
    HANDLE Client();
    void AllowRetry();
    // Called with the error of a failed WLAN call: when it says the handle
    // is gone, the handle is let go and the next Client opens a new one.
    // Returns whether it did.
    bool Lost(DWORD error);

    // The client version the system agreed to (1: XP, 2: Vista and later); 0 while closed.
    DWORD Version() const { return version_; }
    const WlanEntryPoints& Api() const { return *api_; }

    // What the library keeps of the interface `guid`, kept from its first
    // need until the session closes, and not moved meanwhile; Known:
    // whether it keeps anything yet.
    InterfaceMemory& Memory(const GUID& guid);
    bool Known(const GUID& guid) { return Find(guid) != nullptr; }

    // What the service reported on its own thread since the library loaded.
    Events& Reported() { return events_; }

private:
    InterfaceMemory* Find(const GUID& guid);
    void WatchEvents();
    void CloseClient();
    void Close();

    WlanEntryPoints* api_;
    Loader load_;
    Unloader unload_;
    int users_ = 0;
    bool attempted_ = false;
    DWORD attemptedAt_ = 0;
    bool loaded_ = false;
    HANDLE client_ = nullptr;
    DWORD version_ = 0;
    std::deque<InterfaceMemory> interfaces_;  // a deque: adding one moves none of the others
    Events events_;                           // written by the service's thread
};

// The DLL's one session, shared by its objects and its TavroNet functions.
WlanSession& ProcessSession();

}  // namespace tavrowlan

#endif
