// The service's reports, kept as they come on its own thread: scans done,
// the outcome of the last connect or disconnect, interfaces plugged in or out.
#include "WlanEvents.h"

#include "WlanNames.h"

#include <stddef.h>
#include <string.h>

namespace tavrowlan {

// The connection events' record, at the offsets Windows gives it.
static_assert(offsetof(WLAN_CONNECTION_NOTIFICATION_DATA, dot11Ssid) == 516, "dot11Ssid");
static_assert(offsetof(WLAN_CONNECTION_NOTIFICATION_DATA, wlanReasonCode) == 560, "wlanReasonCode");
static_assert(offsetof(WLAN_CONNECTION_NOTIFICATION_DATA, strProfileXml) == 568, "strProfileXml");

namespace {

// WLAN_REASON_CODE_UNKNOWN: a failure the service gave no reason for.
const DWORD kReasonUnknown = 0x00010001;

bool SameGuid(const GUID& a, const GUID& b) { return memcmp(&a, &b, sizeof a) == 0; }

// The reason a scan_fail event carries (its data is a WLAN_REASON_CODE).
DWORD ScanFailureOf(const WLAN_NOTIFICATION_DATA& data) {
    if (!data.pData || data.dwDataSize < sizeof(WLAN_REASON_CODE)) return kReasonUnknown;
    const DWORD reason = *static_cast<const WLAN_REASON_CODE*>(data.pData);
    return reason ? reason : kReasonUnknown;
}

bool Connecting(unsigned long state) {
    return state == TAVRONET_CONNECT_CONNECTING || state == TAVRONET_CONNECT_FAILED;
}

// Whether a connection event is about the network a connect asked for: the
// same name, or the same saved network. A connect first ends the connection
// it replaces, whose events name that other network.
bool AboutAsked(const TAVRONET_CONNECT_STATUS& asked, const WLAN_CONNECTION_NOTIFICATION_DATA& data) {
    const bool sameName = data.dot11Ssid.uSSIDLength == asked.ssidLength &&
                          memcmp(data.dot11Ssid.ucSSID, asked.ssid, asked.ssidLength) == 0;
    return sameName || (asked.profileNameW[0] && SameWideName(data.strProfileName, asked.profileNameW));
}

}  // namespace

Events::Entry* Events::Find(const GUID& guid) {
    for (int i = 0; i < used_; ++i)
        if (SameGuid(entries_[i].guid, guid)) return &entries_[i];
    return nullptr;
}

const Events::Entry* Events::Find(const GUID& guid) const { return const_cast<Events*>(this)->Find(guid); }

Events::Entry* Events::Add(const GUID& guid) {
    if (Entry* known = Find(guid)) return known;
    if (used_ == kInterfaces) return nullptr;
    Entry& added = entries_[used_++];
    added = Entry();
    added.guid = guid;
    return &added;
}

void Events::Clear() {
    Held held(lock_);
    used_ = 0;
}

void Events::ScanAsked(const GUID& guid) {
    Held held(lock_);
    if (Entry* entry = Add(guid)) entry->scanDone = false;
}

bool Events::ScanDone(const GUID& guid, DWORD* failure) const {
    Held held(lock_);
    const Entry* entry = Find(guid);
    if (!entry || !entry->scanDone) return false;
    *failure = entry->scanFailure;
    return true;
}

bool Events::Ask(const GUID& guid, const TAVRONET_CONNECT_STATUS& asked, TAVRONET_CONNECT_STATUS* previous) {
    Held held(lock_);
    Entry* entry = Add(guid);
    if (!entry) return false;
    *previous = entry->status;
    const unsigned long sequence = entry->status.sequence + 1;
    entry->status = asked;
    entry->status.size = sizeof entry->status;
    entry->status.sequence = sequence;
    return true;
}

void Events::Withdraw(const GUID& guid, const TAVRONET_CONNECT_STATUS& previous) {
    Held held(lock_);
    if (Entry* entry = Find(guid)) entry->status = previous;
}

TAVRONET_CONNECT_STATUS Events::Status(const GUID& guid) const {
    Held held(lock_);
    const Entry* entry = Find(guid);
    if (entry) return entry->status;
    TAVRONET_CONNECT_STATUS none = {};
    none.size = sizeof none;
    return none;
}

// A connect goes connecting, then connected or failed with Windows'
// reason (the completion carries one too: success or the failure's); a
// disconnect goes disconnecting, then disconnected. Connected and
// disconnected are final: later events are no answer to the request.
void Events::Step(Entry& entry, DWORD code, const WLAN_CONNECTION_NOTIFICATION_DATA& data) {
    TAVRONET_CONNECT_STATUS& status = entry.status;
    if (Connecting(status.state) && AboutAsked(status, data)) {
        if (code == kAcmConnectionStart) status.state = TAVRONET_CONNECT_CONNECTING;
        if (code == kAcmConnectionAttemptFail || (code == kAcmConnectionComplete && data.wlanReasonCode != 0)) {
            status.state = TAVRONET_CONNECT_FAILED;
            status.reason = data.wlanReasonCode;
        } else if (code == kAcmConnectionComplete) {
            status.state = TAVRONET_CONNECT_CONNECTED;
            status.reason = 0;
        }
    } else if (status.state == TAVRONET_CONNECT_DISCONNECTING) {
        if (code == kAcmDisconnected) status.state = TAVRONET_CONNECT_DISCONNECTED;
    }
}

void Events::Take(const WLAN_NOTIFICATION_DATA& data) {
    if (data.NotificationSource != WLAN_NOTIFICATION_SOURCE_ACM) return;
    switch (data.NotificationCode) {
    case kAcmInterfaceArrival:
    case kAcmInterfaceRemoval: ++changes_; return;
    case kAcmScanComplete:
    case kAcmScanFail: {  // a failed scan ends the wait as a completed one does, with its reason
        const DWORD failure = data.NotificationCode == kAcmScanFail ? ScanFailureOf(data) : 0;
        Held held(lock_);
        if (Entry* entry = Find(data.InterfaceGuid)) {
            entry->scanDone = true;
            entry->scanFailure = failure;
        }
        return;
    }
    case kAcmConnectionStart:
    case kAcmConnectionComplete:
    case kAcmConnectionAttemptFail:
    case kAcmDisconnecting:
    case kAcmDisconnected: {
        if (!data.pData || data.dwDataSize < offsetof(WLAN_CONNECTION_NOTIFICATION_DATA, strProfileXml)) return;
        const auto& connection = *static_cast<const WLAN_CONNECTION_NOTIFICATION_DATA*>(data.pData);
        Held held(lock_);
        if (Entry* entry = Find(data.InterfaceGuid)) Step(*entry, data.NotificationCode, connection);
        return;
    }
    default: return;
    }
}

void CALLBACK Events::OnNotification(PWLAN_NOTIFICATION_DATA data, PVOID context) {
    if (data && context) static_cast<Events*>(context)->Take(*data);
}

}  // namespace tavrowlan
