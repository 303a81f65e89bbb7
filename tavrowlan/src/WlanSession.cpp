// The shared WLAN client handle: opened on first need, reopened after the
// WLAN service restarts, closed with the last object.
#include "WlanSession.h"

#include <string.h>

namespace tavrowlan {

namespace {

// Newest first: the version of Vista and later, then that of XP SP3 (and of
// the Wireless LAN API for XP SP2).
const DWORD kClientVersions[] = {2, 1};

// The errors of a handle the service no longer knows or cannot serve.
const DWORD kHandleGoneErrors[] = {
    6,     // ERROR_INVALID_HANDLE: the service restarted and forgot the handle
    1702,  // RPC_S_INVALID_BINDING
    1717,  // RPC_S_UNKNOWN_IF: the service's interface is not registered (yet)
    1722,  // RPC_S_SERVER_UNAVAILABLE: the service is stopped
    1726,  // RPC_S_CALL_FAILED: the service went away during the call
    1727,  // RPC_S_CALL_FAILED_DNE
    1753,  // EPT_S_NOT_REGISTERED
};

}  // namespace

bool HandleGone(DWORD error) {
    for (DWORD gone : kHandleGoneErrors)
        if (error == gone) return true;
    return false;
}

WlanSession::WlanSession(WlanEntryPoints* api, Loader load, Unloader unload)
    : api(api), load(load), unload(unload) {}

void WlanSession::Acquire() { ++users; }

void WlanSession::Release() {
    if (users > 0 && --users == 0) Close();
}

HANDLE WlanSession::Client() {
    if (client) return client;
    const DWORD now = GetTickCount();
    if (attempted && now - attemptedAt < kReopenMs) return nullptr;
    attempted = true;
    attemptedAt = now;
    if (!loaded) loaded = load(api);
    if (!loaded) return nullptr;
    for (DWORD wanted : kClientVersions) {
        DWORD negotiated = 0;
        HANDLE handle = nullptr;
        if (api->WlanOpenHandle(wanted, nullptr, &negotiated, &handle) != ERROR_SUCCESS) continue;
        if (!handle) continue;
        client = handle;
        version = negotiated ? negotiated : wanted;
        WatchEvents();
        break;
    }
    return client;
}

// Every event of the ACM, duplicates too: two scans in a row complete with
// the same event, and the second must end its wait as well.
void WlanSession::WatchEvents() {
    if (api->WlanRegisterNotification)
        api->WlanRegisterNotification(client, WLAN_NOTIFICATION_SOURCE_ACM, FALSE, Events::OnNotification, &events,
                                      nullptr, nullptr);
}

void WlanSession::AllowRetry() { attempted = false; }

bool WlanSession::Lost(DWORD error) {
    if (!client || !HandleGone(error)) return false;
    CloseClient();
    attempted = false;
    return true;
}

InterfaceMemory* WlanSession::Find(const GUID& guid) {
    for (InterfaceMemory& known : interfaces)
        if (memcmp(&known.guid, &guid, sizeof guid) == 0) return &known;
    return nullptr;
}

InterfaceMemory& WlanSession::Memory(const GUID& guid) {
    if (InterfaceMemory* known = Find(guid)) return *known;
    interfaces.emplace_back();
    interfaces.back().guid = guid;
    return interfaces.back();
}

// Gives the handle back; the service frees what it still holds of it, and
// for a handle it already forgot the call only fails.
void WlanSession::CloseClient() {
    if (client) api->WlanCloseHandle(client, nullptr);
    client = nullptr;
    version = 0;
}

void WlanSession::Close() {
    CloseClient();
    attempted = false;
    interfaces.clear();
    events.Clear();
    if (loaded) unload(api);
    loaded = false;
}

}  // namespace tavrowlan
