// The shared WLAN client handle: opened on first need, closed with the last object.
#include "WlanSession.h"

namespace tavrowlan {

namespace {

// Newest first: the version of Vista and later, then that of XP SP3 (and of
// the Wireless LAN API for XP SP2).
const DWORD kClientVersions[] = {2, 1};

}  // namespace

WlanSession::WlanSession(WlanEntryPoints* api, Loader load, Unloader unload)
    : api(api), load(load), unload(unload) {}

void WlanSession::Acquire() { ++users; }

void WlanSession::Release() {
    if (users > 0 && --users == 0) Close();
}

HANDLE WlanSession::Client() {
    if (client || attempted) return client;
    attempted = true;
    if (!loaded) loaded = load(api);
    if (!loaded) return nullptr;
    for (DWORD wanted : kClientVersions) {
        DWORD negotiated = 0;
        HANDLE handle = nullptr;
        if (api->WlanOpenHandle(wanted, nullptr, &negotiated, &handle) != ERROR_SUCCESS) continue;
        if (!handle) continue;
        client = handle;
        version = negotiated ? negotiated : wanted;
        break;
    }
    return client;
}

void WlanSession::AllowRetry() {
    if (!client) attempted = false;
}

void WlanSession::Close() {
    if (client) api->WlanCloseHandle(client, nullptr);
    client = nullptr;
    version = 0;
    attempted = false;
    if (loaded) unload(api);
    loaded = false;
}

}  // namespace tavrowlan
