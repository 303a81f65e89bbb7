// What the WLAN service reports to the library as it happens
// (WlanRegisterNotification, source ACM): a scan done, the steps of a
// connect or disconnect with Windows' reason, an interface plugged in or
// out. The service calls in on a thread of its own, at any time, so what it
// reports is kept here, in a fixed table that never moves, under a lock.
#ifndef TAVROWLAN_WLANEVENTS_H
#define TAVROWLAN_WLANEVENTS_H

#include "TavroNet.h"

#include <windows.h>
#include <wlanapi.h>

#include <atomic>

namespace tavrowlan {

// A lock for a few fields copied in or out. Both sides hold it only for a
// copy and never across a WLAN call (WlanCloseHandle waits for a callback
// that is running, so a lock held there could never be let go). The win32
// threads of the toolchain have no std::mutex, and so short a hold is
// cheaper spun than slept.
class SpinLock {
public:
    void Lock() {
        while (held_.exchange(true, std::memory_order_acquire)) {
        }
    }
    void Unlock() { held_.store(false, std::memory_order_release); }

private:
    std::atomic<bool> held_{false};
};

class Held {
public:
    explicit Held(SpinLock& lock) : lock_(lock) { lock.Lock(); }
    ~Held() { lock_.Unlock(); }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;

private:
    SpinLock& lock_;
};

// The ACM's codes the library acts on (WLAN_NOTIFICATION_ACM).
enum AcmCode : DWORD {
    kAcmScanComplete = 7,
    kAcmScanFail = 8,
    kAcmConnectionStart = 9,
    kAcmConnectionComplete = 10,
    kAcmConnectionAttemptFail = 11,
    kAcmInterfaceArrival = 13,
    kAcmInterfaceRemoval = 14,
    kAcmDisconnecting = 20,
    kAcmDisconnected = 21,
};

class Events {
public:
    // Interfaces whose events are kept; the events of more are not (their
    // scans end by time, their connects show as asked).
    static const int kInterfaces = 8;

    // A scan asked: an earlier completion is forgotten. Done: the service
    // said it completed or failed since; `failure` receives the failure's
    // reason (a WLAN_REASON_CODE), 0 for a completed scan.
    void ScanAsked(const GUID& guid);
    bool ScanDone(const GUID& guid, DWORD* failure) const;

    // A connect or disconnect asked: `asked` (its state CONNECTING or
    // DISCONNECTING, the network named) becomes the interface's status with
    // the next sequence number; the status before it goes to `previous`, for
    // Withdraw when Windows refuses the request. False when the table is full.
    bool Ask(const GUID& guid, const TAVRONET_CONNECT_STATUS& asked, TAVRONET_CONNECT_STATUS* previous);
    void Withdraw(const GUID& guid, const TAVRONET_CONNECT_STATUS& previous);
    // The interface's status now; sequence 0 when nothing was asked.
    TAVRONET_CONNECT_STATUS Status(const GUID& guid) const;

    // Forgets every interface's events (the client handle is closed, so none come meanwhile).
    void Clear();

    // How many times an interface arrived or was removed; it only grows.
    long Changes() const { return changes_.load(); }

    // The service's callback (its context is the table).
    static void CALLBACK OnNotification(PWLAN_NOTIFICATION_DATA data, PVOID context);
    void Take(const WLAN_NOTIFICATION_DATA& data);

private:
    struct Entry {
        GUID guid;
        bool scanDone;
        DWORD scanFailure;
        TAVRONET_CONNECT_STATUS status;
    };
    // The interface's entry, or null; Add makes one where there is room. Under the lock.
    Entry* Find(const GUID& guid);
    const Entry* Find(const GUID& guid) const;
    Entry* Add(const GUID& guid);
    void Step(Entry& entry, DWORD code, const WLAN_CONNECTION_NOTIFICATION_DATA& data);

    mutable SpinLock lock_;
    Entry entries_[kInterfaces] = {};
    int used_ = 0;
    std::atomic<long> changes_{0};
};

}  // namespace tavrowlan

#endif
