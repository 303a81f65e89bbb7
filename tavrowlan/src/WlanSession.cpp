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

bool MayAsk(const Refusal& refusal, DWORD now) { return !refusal.refused || now - refusal.at >= kConsentRetryMs; }

DWORD NoteAnswer(Refusal* refusal, DWORD result, DWORD now) {
    refusal->refused = result == ERROR_ACCESS_DENIED;
    if (refusal->refused) refusal->at = now;
    return result;
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
        break;
    }
    return client;
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

bool WlanSession::WatchScans() {
    if (!client || !api->WlanRegisterNotification) return false;
    if (watching == client) return true;
    if (api->WlanRegisterNotification(client, WLAN_NOTIFICATION_SOURCE_ACM, TRUE, OnNotification, this, nullptr,
                                      nullptr) != ERROR_SUCCESS)
        return false;
    watching = client;
    return true;
}

int WlanSession::ScanSlot(const GUID& guid) const {
    const int used = scanSlots.load();
    for (int i = 0; i < used; ++i)
        if (memcmp(&scanGuids[i], &guid, sizeof guid) == 0) return i;
    return -1;
}

void WlanSession::ForgetScan(const GUID& guid) {
    const int slot = ScanSlot(guid);
    if (slot >= 0) {
        scanDone[slot] = false;
        return;
    }
    const int used = scanSlots.load();
    if (used == kWatchedScans) return;  // more interfaces than the table: their scans end by time
    scanGuids[used] = guid;
    scanDone[used] = false;
    scanSlots = used + 1;
}

bool WlanSession::ScanCompleted(const GUID& guid) const {
    const int slot = ScanSlot(guid);
    return slot >= 0 && scanDone[slot];
}

// A failed scan ends the wait as a completed one does.
void CALLBACK WlanSession::OnNotification(PWLAN_NOTIFICATION_DATA data, PVOID context) {
    if (!data || !context || data->NotificationSource != WLAN_NOTIFICATION_SOURCE_ACM) return;
    if (data->NotificationCode != wlan_notification_acm_scan_complete &&
        data->NotificationCode != wlan_notification_acm_scan_fail)
        return;
    WlanSession* session = static_cast<WlanSession*>(context);
    const int slot = session->ScanSlot(data->InterfaceGuid);
    if (slot >= 0) session->scanDone[slot] = true;
}

// Gives the handle back; the service frees what it still holds of it, and
// for a handle it already forgot the call only fails.
void WlanSession::CloseClient() {
    if (client) api->WlanCloseHandle(client, nullptr);
    client = nullptr;
    watching = nullptr;
    version = 0;
}

void WlanSession::Close() {
    CloseClient();
    attempted = false;
    interfaces.clear();
    if (loaded) unload(api);
    loaded = false;
}

}  // namespace tavrowlan
