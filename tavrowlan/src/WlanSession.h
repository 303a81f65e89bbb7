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
#include "common/SignalHistory.h"

#include <atomic>
#include <deque>

namespace tavrowlan {

// How a failed open is retried: at most once in this many milliseconds, so
// icons come back within about five seconds of a service that starts late,
// and a machine without the service is asked once in three seconds.
const DWORD kReopenMs = 3000;

// Whether a WLAN call's error says the client handle is gone: the service
// restarted (the handle is unknown to it) or cannot be reached over RPC.
bool HandleGone(DWORD error);

// After a reading was refused for want of the user's location consent
// (Windows 11 24H2 and later) it is asked again at most once a minute: each
// call lights the location indicator, and the first refused one shows the
// consent prompt.
const DWORD kConsentRetryMs = 60000;

// What the library remembers of one reading Windows may refuse.
struct Refusal {
    bool refused = false;
    DWORD at = 0;  // GetTickCount of the last refusal
};
// Whether the reading may be asked at `now`.
bool MayAsk(const Refusal& refusal, DWORD now);
// Notes the service's answer to the reading; returns it unchanged.
DWORD NoteAnswer(Refusal* refusal, DWORD result, DWORD now);

enum class Link { Connected, NotConnected, Failed };

// One reading of an interface's link, shared by the queries of one poll.
struct LinkSnapshot {
    bool taken = false;
    DWORD takenAt = 0;  // GetTickCount when read
    Link link = Link::Failed;
    DOT11_BSS_TYPE bssType = dot11_BSS_type_infrastructure;
    DOT11_PHY_TYPE phyType = dot11_phy_type_unknown;
    ULONG signalQuality = 0;  // 0..100
    ULONG txRate = 0;         // kbit/s; 0 where nothing allowed gives it
    DWORD error = ERROR_SUCCESS;  // the service's answer when the link is Failed
    bool connectionRead = false;  // the connection reading was given: `connection` holds it
    WLAN_CONNECTION_ATTRIBUTES connection;
    bool rssiRead = false;  // the signal strength was read (without consent)
    LONG rssi = 0;          // dBm
};

// A scan asked of the interface: done when the service reports it complete,
// or at the latest kScanMostMs after it was asked.
const DWORD kScanMostMs = 4000;
struct ScanState {
    bool pending = false;
    DWORD startedAt = 0;
};

// What the library keeps of one interface.
struct InterfaceMemory {
    GUID guid;
    LinkSnapshot snapshot;
    // The readings that reveal access points need the user's location consent.
    Refusal connection, networks, bssList;
    // What the last signal-strength reading told: connected (at `rssi` dBm),
    // not connected, or nothing (Failed).
    Link byRssi = Link::Failed;
    LONG rssi = 0;
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
    // kReopenMs, or at once after AllowRetry.
    HANDLE Client();
    void AllowRetry();
    // Called with the error of a failed WLAN call: when it says the handle
    // is gone, the handle is let go and the next Client opens a new one.
    // Returns whether it did.
    bool Lost(DWORD error);

    // The client version the system agreed to (1: XP, 2: Vista and later); 0 while closed.
    DWORD Version() const { return version; }
    const WlanEntryPoints& Api() const { return *api; }

    // What the library keeps of the interface `guid`, kept from its first
    // need until the session closes, and not moved meanwhile; Known:
    // whether it keeps anything yet.
    InterfaceMemory& Memory(const GUID& guid);
    bool Known(const GUID& guid) { return Find(guid) != nullptr; }

    // Scan completion, which the service reports on a thread of its own:
    // registered once for each client handle where the system offers it
    // (false where it does not). Forget before a scan, Completed after.
    bool WatchScans();
    void ForgetScan(const GUID& guid);
    bool ScanCompleted(const GUID& guid) const;
    // The service's notification callback.
    static void CALLBACK OnNotification(PWLAN_NOTIFICATION_DATA data, PVOID context);

private:
    InterfaceMemory* Find(const GUID& guid);
    // The interface's place in the scan table; -1 when it has none.
    int ScanSlot(const GUID& guid) const;
    void CloseClient();
    void Close();

    WlanEntryPoints* api;
    Loader load;
    Unloader unload;
    int users = 0;
    bool attempted = false;
    DWORD attemptedAt = 0;
    bool loaded = false;
    HANDLE client = nullptr;
    DWORD version = 0;
    std::deque<InterfaceMemory> interfaces;  // a deque: adding one moves none of the others
    HANDLE watching = nullptr;  // the client handle scan completions are registered for
    // Interfaces whose scan completed, written by the service's thread: a
    // fixed table, so that it never moves under that thread.
    static const int kWatchedScans = 8;
    GUID scanGuids[kWatchedScans] = {};
    std::atomic<int> scanSlots{0};
    std::atomic<bool> scanDone[kWatchedScans] = {};
};

// The DLL's one session, shared by its objects and its TavroNet functions.
WlanSession& ProcessSession();

}  // namespace tavrowlan

#endif
