// What the driver-interface library answers, read from the Native Wifi API:
// one small function per method of TavroApi.h, each taking the session (and
// through it the table of WLAN calls) so that host tests can run it on a
// fake of the WLAN service. Every function frees the memory the service
// hands out before it returns.
#ifndef TAVROWLAN_WLANMAPPING_H
#define TAVROWLAN_WLANMAPPING_H

#include "WlanSession.h"
#include "TavroApiLimits.h"
#include "common/Signal.h"

#include <stddef.h>
#include <string.h>

#include <vector>

namespace tavrowlan {

// Results of the library's methods; 0 is success.
enum Result : long {
    Ok = 0,
    NoSuchItem = 1,     // no interface at that index of the collection
    NotBound = 2,       // the object stands for no interface
    InterfaceGone = 3,  // Attach: the interface is no longer there
    BadArgument = 5,    // null pointer, index outside 0..31, radio value other than 0/1
    Internal = 6,       // out of memory
    SystemFailed = 7,   // the WLAN API is missing, or the service refused or failed the call
    NotConnected = 8,   // the value exists only while the interface is connected
};

const int kLastItem = TAVROAPI_LAST_ITEM;
const size_t kDescriptionBytes = TAVROAPI_DESCRIPTION_BYTES;
const size_t kAdapterIdBytes = TAVROAPI_ADAPTER_ID_BYTES;

// GetRadioState where the system cannot tell (XP has no radio-state query):
// radio on and switch on, so the program goes on to read the link.
const unsigned long kRadioAssumedOn = 3;
// GetWEPPacketRxOK where the system gives no statistics (XP, or a failed
// query), or a driver leaves its counters at zero: not zero, so a healthy
// link is never shown as data frame errors.
const unsigned long kRxFramesUnknown = 1;
// GetDot11NetworkTypeInUse on XP, whose WLAN API reports no PHY: 1, the
// value of the 802.11b adapters the program's greying rule was made for, so
// on XP the configuration commands grey exactly when Wireless Zero
// Configuration manages the adapter.
const unsigned long kNetworkTypeInUseXp = 1;
// GetGenDriverVersion: XP's wireless drivers are NDIS 5.1; the Native 802.11
// drivers of Vista and later are NDIS 6.0 or newer.
const unsigned long kDriverVersionXp = 0x0501;
const unsigned long kDriverVersionNative = 0x0600;

// One interface as enumerated, kept after the service's list is freed.
struct InterfaceEntry {
    GUID guid;
    WCHAR description[256];  // always terminated
    bool present = true;     // false: gone since, its place kept (see Collection)
};

// What the library's objects hold (their m_impl).
struct Collection {
    bool enumerated = false;  // the first Item enumerates; Refresh enumerates again
    long changesSeen = 0;     // the service's count of interfaces come and gone when last enumerated
    // Every interface seen, each in the place it was first seen: one that
    // goes keeps its place (Attach refuses it), one that comes is added at
    // the end, one that comes back takes its old place. So the program's
    // slot whose item index stays the same stays with the same adapter and
    // its description, which the program reads only when the index changes.
    std::vector<InterfaceEntry> items;
};
struct AdapterBinding {
    bool bound = false;
    InterfaceEntry entry;
};
struct DriverBinding {
    bool bound = false;
    GUID guid;
};

// Calls `call` with the client handle; when the call reports the handle
// gone (the WLAN service restarted), once more with a newly opened one.
template <typename Call>
DWORD WithClient(WlanSession& session, Call call) {
    HANDLE client = session.Client();
    if (!client) return ERROR_SERVICE_NOT_ACTIVE;
    const DWORD result = call(client);
    if (result == ERROR_SUCCESS || !session.Lost(result)) return result;
    client = session.Client();
    return client ? call(client) : ERROR_SERVICE_NOT_ACTIVE;
}

// Queries one record of an interface into `record`, which is zeroed first.
// The service's block must hold at least `minimum` bytes; more than the
// record is not copied. The block is freed before the call returns.
// `copied`, if given, receives the number of bytes copied.
template <typename Record>
DWORD Query(WlanSession& session, const GUID& guid, WLAN_INTF_OPCODE opCode, Record* record,
            DWORD minimum = sizeof(Record), DWORD* copied = nullptr) {
    memset(record, 0, sizeof(Record));
    if (copied) *copied = 0;
    const WlanEntryPoints& api = session.Api();
    DWORD size = 0;
    PVOID data = nullptr;
    const DWORD result = WithClient(session, [&](HANDLE client) {
        return api.WlanQueryInterface(client, &guid, opCode, nullptr, &size, &data, nullptr);
    });
    if (result != ERROR_SUCCESS) return result;  // the service handed out nothing
    if (!data) return ERROR_INVALID_DATA;
    const DWORD take = size < sizeof(Record) ? size : sizeof(Record);
    if (size >= minimum) memcpy(record, data, take);
    if (copied && size >= minimum) *copied = take;
    api.WlanFreeMemory(data);
    return size >= minimum ? ERROR_SUCCESS : ERROR_INVALID_DATA;
}

// ---- the reading of the link ----
// The link as read at the first query of this poll, or read now: each new
// reading also goes into the interface's signal history. It needs no
// location consent: the interface state, the signal strength, the link
// speed (iphlpapi), and only where that is missing the connection, at most
// once in kConnectionReadingMs (on XP, which asks no consent and has no
// signal-strength query, the connection at each poll).
const LinkSnapshot& CurrentLink(WlanSession& session, const GUID& guid);
// Reads the interface's connection (which needs location consent) into the
// interface's memory and returns the service's answer, noted by NoteConsent.
DWORD ReadConnection(WlanSession& session, InterfaceMemory& memory, DWORD now);
// Notes the answer to a reading that needs location consent: a refusal sets
// the interface's locationDenied, an answer clears it. Returns the answer.
DWORD NoteConsent(InterfaceMemory& memory, DWORD result);
// The signal quality of the connection as last read, 0..100.
ULONG ConnectionSignal(const ConnectionReading& reading);
// The history's sample of a reading of the link taken at `now`.
TAVRONET_SAMPLE SampleOf(const LinkSnapshot& snapshot, DWORD now);

// ---- the collection ----
// Replaces `items` with the interfaces the service lists now, in its order.
// On failure `items` is empty.
// `error`, if given, receives the service's answer.
long EnumerateInterfaces(WlanSession& session, std::vector<InterfaceEntry>* items, DWORD* error = nullptr);
// The interfaces listed now merged into those known (see Collection): all
// known ones are marked gone but those listed, new ones added at the end.
// Past kLastItem + 1 entries the gone ones go, oldest first.
void MergeInterfaces(const std::vector<InterfaceEntry>& listed, std::vector<InterfaceEntry>* known);
// Refresh: enumerates again, and lets a failed open of the client be tried again.
long RefreshCollection(WlanSession& session, Collection* collection);
// Item: binds `adapter` to item `index` of the collection as last enumerated
// (enumerating first if it never was, or if the service reported an
// interface come or gone since); NoSuchItem past the last one.
long SelectItem(WlanSession& session, Collection* collection, int index, AdapterBinding* adapter);
// Attach: binds `driver` to the adapter's interface if the service still knows it.
long AttachDriver(WlanSession& session, const AdapterBinding* adapter, DriverBinding* driver);

// ---- one adapter ----
// The description in the ANSI code page, cut to `capacity` bytes with the
// terminator, never between the two bytes of a double-byte character.
long DescribeInterface(const WlanEntryPoints& api, const WCHAR* description, char* out, size_t capacity);
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", 38 characters and the terminator.
void FormatInterfaceId(const GUID& guid, char* out);

// ---- the driver of one adapter ----
// Attach: the interface is still known to the service.
long CheckInterface(WlanSession& session, const GUID& guid);
long ReadRadioState(WlanSession& session, const GUID& guid, unsigned long* state);
long ReadNetworkType(WlanSession& session, const GUID& guid, unsigned long* type);
long ReadAdapterState(WlanSession& session, const GUID& guid, unsigned long* state);
long ReadLinkQuality(WlanSession& session, const GUID& guid, unsigned long* quality);
long ReadDot11Rate(WlanSession& session, const GUID& guid, unsigned long* rate);
long ReadRxFrames(WlanSession& session, const GUID& guid, unsigned long* count);
long ReadNetworkTypeInUse(WlanSession& session, const GUID& guid, unsigned long* type);
long ReadDriverVersion(WlanSession& session, unsigned long* version);
// Sets the software radio of every PHY of the interface to on (1) or off (0).
// A refusal of any PHY puts back those already switched and returns non-zero.
long SetSoftwareRadio(WlanSession& session, const GUID& guid, unsigned long on);

// ---- the rules, without the service ----
// Bit 0: a PHY's software radio is on; bit 1: a PHY's hardware switch is on.
// A PHY that can transmit (both on) makes 3. Otherwise a PHY whose switch is
// on makes 2 (the radio is off in software and can be switched on); with
// every switch off, bit 0 tells whether any software radio is on. A state
// the driver reports as unknown counts as on.
unsigned long CombineRadioStates(const WLAN_RADIO_STATE& radio);
// GetWEPPacketRxOK from the data frames received and those that failed to
// decrypt: the frames received, stopping at 0xFFFFFFFF rather than wrap;
// 0 (data frame errors) only when frames arrive and none decrypts;
// kRxFramesUnknown when the driver counts nothing at all.
unsigned long RxFramesFromCounters(unsigned long long received, unsigned long long decryptFailures);
// Signal quality as the service gives it, above 100 counted as 100.
ULONG CappedSignal(ULONG quality);
// Signal quality 0..100 to the link quality 0..15, rounded (above 100 counts as 100).
unsigned long ScaleSignalQuality(ULONG quality);
// kbit/s to units of 500 kbit/s, rounded.
unsigned long RateUnits(ULONG kbitPerSecond);
// iphlpapi's link speed in bit/s to kbit/s; 0 for none or the value NDIS
// gives for an unknown speed (all bits set), at most 0xFFFFFFFF.
ULONG KbitFromLinkSpeed(ULONGLONG bitsPerSecond);
// The PHY of the connection as NDIS names the network type in use:
// 0 frequency hopping, 1 direct sequence (802.11 and 802.11b), 2 OFDM at
// 5 GHz (802.11a), 3 OFDM at 2.4 GHz (802.11g), 4 any other (802.11n and later).
unsigned long NdisNetworkType(DOT11_PHY_TYPE phy);

}  // namespace tavrowlan

#endif
