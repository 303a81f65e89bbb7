// The one WLAN client handle of the process, shared by every object of the
// library, and what the library remembers of each interface between calls.
// The handle is opened on first need with the newest client version the
// system offers (2 on Vista and later, else 1 on XP), reopened when the WLAN
// service restarts, and closed, with wlanapi.dll freed, when the last object
// of the library is destroyed: the library never calls into the WLAN
// service from DllMain.
#ifndef TAVROWLAN_WLANSESSION_H
#define TAVROWLAN_WLANSESSION_H

#include "WlanEntryPoints.h"

#include <vector>

namespace tavrowlan {

// How a failed open is retried: at most once in this many milliseconds, so
// icons come back within about five seconds of a service that starts late,
// and a machine without the service is asked once in three seconds.
const DWORD kReopenMs = 3000;

// Whether a WLAN call's error says the client handle is gone: the service
// restarted (the handle is unknown to it) or cannot be reached over RPC.
bool HandleGone(DWORD error);

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
};

// What the library keeps of one interface.
struct InterfaceMemory {
    GUID guid;
    LinkSnapshot snapshot;
    bool connectionRefused = false;  // the connection reading needs the user's location consent
    DWORD refusedAt = 0;             // GetTickCount of the last refusal
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
    // need until the session closes.
    InterfaceMemory& Memory(const GUID& guid);

private:
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
    std::vector<InterfaceMemory> interfaces;
};

}  // namespace tavrowlan

#endif
