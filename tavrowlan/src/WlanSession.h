// The one WLAN client handle of the process, shared by every object of the
// library. It is opened on first need with the newest client version the
// system offers (2 on Vista and later, else 1 on XP) and closed, with
// wlanapi.dll freed, when the last object of the library is destroyed: the
// library never calls into the WLAN service from DllMain.
#ifndef TAVROWLAN_WLANSESSION_H
#define TAVROWLAN_WLANSESSION_H

#include "WlanEntryPoints.h"

namespace tavrowlan {

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
    // or its service is missing. A failed open is not repeated until
    // AllowRetry, so a machine without the service costs one attempt.
    HANDLE Client();
    void AllowRetry();

    // The client version the system agreed to (1: XP, 2: Vista and later); 0 while closed.
    DWORD Version() const { return version; }
    const WlanEntryPoints& Api() const { return *api; }

private:
    void Close();

    WlanEntryPoints* api;
    Loader load;
    Unloader unload;
    int users = 0;
    bool attempted = false;
    bool loaded = false;
    HANDLE client = nullptr;
    DWORD version = 0;
};

}  // namespace tavrowlan

#endif
