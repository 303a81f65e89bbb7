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
    : api_(api), load_(load), unload_(unload) {}

void WlanSession::Acquire() { ++users_; }

void WlanSession::Release() {
    if (users_ > 0 && --users_ == 0) Close();
}

HANDLE WlanSession::Client() {
    if (client_) return client_;
    const DWORD now = GetTickCount();
    if (attempted_ && now - attemptedAt_ < kReopenMs) return nullptr;
    attempted_ = true;
    attemptedAt_ = now;
    if (!loaded_) loaded_ = load_(api_);
    if (!loaded_) return nullptr;
    for (DWORD wanted : kClientVersions) {
        DWORD negotiated = 0;
        HANDLE handle = nullptr;
        if (api_->WlanOpenHandle(wanted, nullptr, &negotiated, &handle) != ERROR_SUCCESS) continue;
        if (!handle) continue;
        client_ = handle;
        version_ = negotiated ? negotiated : wanted;
        WatchEvents();
        break;
    }
    return client_;
}

// Every event of the ACM, duplicates too: two scans in a row complete with
// the same event, and the second must end its wait as well.
void WlanSession::WatchEvents() {
    if (api_->WlanRegisterNotification)
        api_->WlanRegisterNotification(client_, WLAN_NOTIFICATION_SOURCE_ACM, FALSE, Events::OnNotification, &events_,
                                       nullptr, nullptr);
}

void WlanSession::AllowRetry() { attempted_ = false; }

bool WlanSession::Lost(DWORD error) {
    if (!client_ || !HandleGone(error)) return false;
    CloseClient();
    attempted_ = false;
    return true;
}

InterfaceMemory* WlanSession::Find(const GUID& guid) {
    for (InterfaceMemory& known : interfaces_)
        if (memcmp(&known.guid, &guid, sizeof guid) == 0) return &known;
    return nullptr;
}

InterfaceMemory& WlanSession::Memory(const GUID& guid) {
    if (InterfaceMemory* known = Find(guid)) return *known;
    interfaces_.emplace_back();
    interfaces_.back().guid = guid;
    return interfaces_.back();
}

// Gives the handle back; the service frees what it still holds of it, and
// for a handle it already forgot the call only fails.
void WlanSession::CloseClient() {
    if (client_) api_->WlanCloseHandle(client_, nullptr);
    client_ = nullptr;
    version_ = 0;
}

void WlanSession::Close() {
    CloseClient();
    attempted_ = false;
    interfaces_.clear();
    events_.Clear();
    if (loaded_) unload_(api_);
    loaded_ = false;
}

}  // namespace tavrowlan
