// The library's answers from the Native Wifi API. Each query copies the
// record it needs out of the service's memory and frees that memory at once.
#include "WlanMapping.h"

#include "common/Mbcs.h"

#include <string.h>

namespace tavrowlan {

// The records are read at the offsets Windows gives them; the same checks
// hold against MinGW's wlanapi.h in the Windows build and against the host's.
static_assert(sizeof(GUID) == 16, "GUID");
static_assert(sizeof(WLAN_INTERFACE_INFO) == 532, "WLAN_INTERFACE_INFO");
static_assert(offsetof(WLAN_INTERFACE_INFO_LIST, InterfaceInfo) == 8, "WLAN_INTERFACE_INFO_LIST");
static_assert(sizeof(WLAN_INTERFACE_STATE) == 4, "WLAN_INTERFACE_STATE");
static_assert(offsetof(WLAN_ASSOCIATION_ATTRIBUTES, dot11BssType) == 36, "dot11BssType");
static_assert(offsetof(WLAN_ASSOCIATION_ATTRIBUTES, dot11PhyType) == 48, "dot11PhyType");
static_assert(offsetof(WLAN_ASSOCIATION_ATTRIBUTES, wlanSignalQuality) == 56, "wlanSignalQuality");
static_assert(offsetof(WLAN_ASSOCIATION_ATTRIBUTES, ulTxRate) == 64, "ulTxRate");
static_assert(offsetof(WLAN_CONNECTION_ATTRIBUTES, wlanAssociationAttributes) == 520, "wlanAssociationAttributes");
static_assert(sizeof(WLAN_CONNECTION_ATTRIBUTES) == 604, "WLAN_CONNECTION_ATTRIBUTES");
static_assert(sizeof(WLAN_PHY_RADIO_STATE) == 12, "WLAN_PHY_RADIO_STATE");
static_assert(sizeof(WLAN_RADIO_STATE) == 772, "WLAN_RADIO_STATE");
static_assert(offsetof(WLAN_STATISTICS, MacUcastCounters) == 24, "MacUcastCounters");
static_assert(offsetof(WLAN_STATISTICS, MacMcastCounters) == 120, "MacMcastCounters");
static_assert(offsetof(WLAN_STATISTICS, dwNumberOfPhys) == 216, "dwNumberOfPhys");
static_assert(offsetof(WLAN_STATISTICS, PhyCounters) == 224, "PhyCounters");
static_assert(sizeof(WLAN_STATISTICS) == 368, "WLAN_STATISTICS");

namespace {

const unsigned long kRadioOn = TAVROAPI_RADIO_ON;
const unsigned long kSwitchOn = TAVROAPI_RADIO_SWITCH_ON;
const unsigned long kNetworkTypeInfrastructure = 1;
const unsigned long kNetworkTypeAdHoc = 2;
const ULONG kFullSignal = 100;
const unsigned long kFullQuality = 15;
// A reading of the link serves every query of one poll (the program polls
// once a second) and no query of the next.
const DWORD kSnapshotMs = 900;

// Whether the tray program's methods may read the connection at `now`.
bool MayReadConnection(const ConnectionReading& reading, DWORD now) {
    return !reading.asked || now - reading.askedAt >= kConnectionReadingMs;
}

// The interface's link speed from iphlpapi (Vista and later), in kbit/s; 0
// where the system gives none. The interface's identifier there is looked
// up once.
ULONG ReadLinkSpeed(const WlanEntryPoints& api, InterfaceMemory& memory) {
    if (!api.GetIfEntry2 || !api.ConvertInterfaceGuidToLuid || memory.luidState == LuidState::None) return 0;
    if (memory.luidState == LuidState::Unknown)
        memory.luidState = api.ConvertInterfaceGuidToLuid(&memory.guid, &memory.luid) == ERROR_SUCCESS
                               ? LuidState::Known
                               : LuidState::None;
    if (memory.luidState == LuidState::None) return 0;
    InterfaceRow row = {};
    row.luid = memory.luid;
    return api.GetIfEntry2(&row) == ERROR_SUCCESS ? KbitFromLinkSpeed(row.transmitLinkSpeed) : 0;
}

// What the interface's connection, as last read, tells the poll.
void FromConnection(const ConnectionReading& reading, LinkSnapshot* snapshot) {
    const WLAN_ASSOCIATION_ATTRIBUTES& a = reading.attributes.wlanAssociationAttributes;
    snapshot->bssType = a.dot11BssType;
    snapshot->phyType = a.dot11PhyType;
    snapshot->txRate = a.ulTxRate;
}

// The signal of a connected interface: on XP from the connection (it has
// no signal-strength query and asks no consent), else from the signal
// strength. False when the reading failed.
bool ReadSignal(WlanSession& session, InterfaceMemory& memory, DWORD now, LinkSnapshot* snapshot) {
    if (session.Version() == 1) {
        if (ReadConnection(session, memory, now) != ERROR_SUCCESS || !memory.connection.held) return false;
        snapshot->signalQuality = ConnectionSignal(memory.connection);
        return true;
    }
    if (Query(session, memory.guid, wlan_intf_opcode_rssi, &snapshot->rssi) != ERROR_SUCCESS) return false;
    snapshot->rssiRead = true;
    snapshot->signalQuality = PercentFromRssi(snapshot->rssi);
    return true;
}

// A connected interface whose signal reading failed: the last good reading
// for kStaleReadings polls; then, the state being what it says, the signal
// of the newest connection reading, or none.
void KeepLastSignal(InterfaceMemory& memory, LinkSnapshot* snapshot) {
    if (memory.lastGood.link == Link::Connected && ++memory.staleReadings <= kStaleReadings) {
        snapshot->signalQuality = memory.lastGood.signalQuality;
        snapshot->rssiRead = memory.lastGood.rssiRead;
        snapshot->rssi = memory.lastGood.rssi;
    } else if (memory.connection.held) {
        snapshot->signalQuality = ConnectionSignal(memory.connection);
    }
}

// The link from the readings that need no location consent: the interface
// state, the signal strength, the link speed. Only where the link speed is
// missing is the connection read for the rate, at most once in
// kConnectionReadingMs; the kind of network and the PHY come from the
// newest connection reading there is (the applet's included).
Link ReadLink(WlanSession& session, InterfaceMemory& memory, DWORD now, LinkSnapshot* snapshot) {
    WLAN_INTERFACE_STATE state;
    snapshot->error = Query(session, memory.guid, wlan_intf_opcode_interface_state, &state);
    if (snapshot->error != ERROR_SUCCESS) return Link::Failed;
    if (state != wlan_interface_state_connected) {
        // A later connection is another one.
        memory.connection.held = false;
        memory.lastGood = LinkSnapshot();
        return Link::NotConnected;
    }
    if (ReadSignal(session, memory, now, snapshot)) {
        memory.staleReadings = 0;
        memory.lastGood = *snapshot;
        memory.lastGood.link = Link::Connected;
    } else {
        KeepLastSignal(memory, snapshot);
    }
    const ULONG speed = ReadLinkSpeed(session.Api(), memory);
    if (!speed && MayReadConnection(memory.connection, now)) ReadConnection(session, memory, now);
    if (memory.connection.held) FromConnection(memory.connection, snapshot);
    if (speed) snapshot->txRate = speed;
    return Link::Connected;
}

// The radio state of every PHY; false when the system gives none (XP, or a failed query).
bool ReadPhyRadioStates(WlanSession& session, const GUID& guid, WLAN_RADIO_STATE* radio) {
    DWORD copied = 0;
    if (Query(session, guid, wlan_intf_opcode_radio_state, radio, sizeof(DWORD), &copied) != ERROR_SUCCESS)
        return false;
    // No more PHYs than the block holds.
    const DWORD held = (copied - offsetof(WLAN_RADIO_STATE, PhyRadioState)) / sizeof(WLAN_PHY_RADIO_STATE);
    if (radio->dwNumberOfPhys > held) radio->dwNumberOfPhys = held;
    return radio->dwNumberOfPhys > 0;
}

bool IsOn(DOT11_RADIO_STATE state) { return state != dot11_radio_state_off; }

void Hex(unsigned long value, int digits, char* out) {
    static const char kDigits[] = "0123456789ABCDEF";
    for (int i = digits - 1; i >= 0; --i, value >>= 4) out[i] = kDigits[value & 0xF];
}

}  // namespace

// ---- the reading of the link ----

const LinkSnapshot& CurrentLink(WlanSession& session, const GUID& guid) {
    InterfaceMemory& memory = session.Memory(guid);
    const DWORD now = GetTickCount();
    LinkSnapshot& snapshot = memory.snapshot;
    if (snapshot.taken && now - snapshot.takenAt < kSnapshotMs) return snapshot;
    snapshot = LinkSnapshot();
    snapshot.taken = true;
    snapshot.takenAt = now;
    snapshot.link = ReadLink(session, memory, now, &snapshot);
    memory.history.Record(SampleOf(snapshot, now));
    return snapshot;
}

DWORD ReadConnection(WlanSession& session, InterfaceMemory& memory, DWORD now) {
    ConnectionReading& reading = memory.connection;
    reading.asked = true;
    reading.askedAt = now;
    const DWORD result =
        NoteConsent(memory, Query(session, memory.guid, wlan_intf_opcode_current_connection, &reading.attributes));
    reading.held = result == ERROR_SUCCESS && reading.attributes.isState == wlan_interface_state_connected;
    return result;
}

DWORD NoteConsent(InterfaceMemory& memory, DWORD result) {
    if (result == ERROR_ACCESS_DENIED || result == ERROR_SUCCESS) memory.locationDenied = result == ERROR_ACCESS_DENIED;
    return result;
}

ULONG ConnectionSignal(const ConnectionReading& reading) {
    return CappedSignal(reading.attributes.wlanAssociationAttributes.wlanSignalQuality);
}

TAVRONET_SAMPLE SampleOf(const LinkSnapshot& snapshot, DWORD now) {
    TAVRONET_SAMPLE sample = {};
    sample.tick = now;
    sample.linked = snapshot.link == Link::Connected;
    sample.signalPercent = static_cast<unsigned char>(sample.linked ? snapshot.signalQuality : 0);
    sample.rssiDbm = static_cast<short>(sample.linked && snapshot.rssiRead ? snapshot.rssi : 0);
    return sample;
}

// ---- the collection ----

long EnumerateInterfaces(WlanSession& session, std::vector<InterfaceEntry>* items, DWORD* error) {
    items->clear();
    const WlanEntryPoints& api = session.Api();
    PWLAN_INTERFACE_INFO_LIST list = nullptr;
    const DWORD result =
        WithClient(session, [&](HANDLE client) { return api.WlanEnumInterfaces(client, nullptr, &list); });
    if (error) *error = result;
    if (result != ERROR_SUCCESS) return SystemFailed;
    if (!list) return SystemFailed;
    items->reserve(list->dwNumberOfItems);
    for (DWORD i = 0; i < list->dwNumberOfItems; ++i) {
        InterfaceEntry entry;
        entry.guid = list->InterfaceInfo[i].InterfaceGuid;
        memcpy(entry.description, list->InterfaceInfo[i].strInterfaceDescription, sizeof entry.description);
        entry.description[255] = 0;
        items->push_back(entry);
    }
    api.WlanFreeMemory(list);
    return Ok;
}

void MergeInterfaces(const std::vector<InterfaceEntry>& listed, std::vector<InterfaceEntry>* known) {
    for (InterfaceEntry& entry : *known) entry.present = false;
    for (const InterfaceEntry& entry : listed) {
        auto place = known->begin();
        while (place != known->end() && memcmp(&place->guid, &entry.guid, sizeof entry.guid) != 0) ++place;
        if (place == known->end()) place = known->insert(known->end(), entry);
        *place = entry;
    }
    for (auto gone = known->begin(); known->size() > kLastItem + 1u && gone != known->end();)
        gone = gone->present ? gone + 1 : known->erase(gone);
}

namespace {
// Enumerates into the collection: a failed enumeration (no service yet) is
// an empty one, tried again by the next Item.
long ReadCollection(WlanSession& session, Collection* collection) {
    collection->changesSeen = session.Reported().Changes();  // an event during the call asks again
    std::vector<InterfaceEntry> listed;
    const long result = EnumerateInterfaces(session, &listed);
    MergeInterfaces(listed, &collection->items);
    collection->enumerated = result == Ok;
    return result;
}
}  // namespace

long RefreshCollection(WlanSession& session, Collection* collection) {
    // The service may have started since a first attempt failed.
    session.AllowRetry();
    return ReadCollection(session, collection);
}

long SelectItem(WlanSession& session, Collection* collection, int index, AdapterBinding* adapter) {
    adapter->bound = false;
    if (index < 0 || index > kLastItem) return BadArgument;
    if (!collection->enumerated || collection->changesSeen != session.Reported().Changes())
        ReadCollection(session, collection);
    if (static_cast<size_t>(index) >= collection->items.size()) return NoSuchItem;
    adapter->entry = collection->items[index];
    adapter->bound = true;
    return Ok;
}

long AttachDriver(WlanSession& session, const AdapterBinding* adapter, DriverBinding* driver) {
    driver->bound = false;
    if (!adapter->bound) return NotBound;
    if (!adapter->entry.present) return InterfaceGone;
    const long result = CheckInterface(session, adapter->entry.guid);
    if (result != Ok) return result;
    driver->guid = adapter->entry.guid;
    driver->bound = true;
    return Ok;
}

// ---- one adapter ----

long DescribeInterface(const WlanEntryPoints& api, const WCHAR* description, char* out, size_t capacity) {
    if (!out || capacity == 0) return BadArgument;
    out[0] = 0;
    if (!description || !api.WideCharToMultiByte) return Internal;
    // Up to three bytes for each of the 255 UTF-16 units, whatever the code page.
    char bytes[256 * 3 + 1];
    if (api.WideCharToMultiByte(CP_ACP, 0, description, -1, bytes, sizeof bytes, nullptr, nullptr) <= 0)
        return SystemFailed;
    bytes[sizeof bytes - 1] = 0;
    const size_t used = WholeCharacterBytes(bytes, capacity - 1);
    memcpy(out, bytes, used);
    out[used] = 0;
    return Ok;
}

void FormatInterfaceId(const GUID& guid, char* out) {
    // {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}
    out[0] = '{';
    Hex(guid.Data1, 8, out + 1);
    out[9] = '-';
    Hex(guid.Data2, 4, out + 10);
    out[14] = '-';
    Hex(guid.Data3, 4, out + 15);
    out[19] = '-';
    Hex(guid.Data4[0], 2, out + 20);
    Hex(guid.Data4[1], 2, out + 22);
    out[24] = '-';
    for (int i = 2; i < 8; ++i) Hex(guid.Data4[i], 2, out + 25 + 2 * (i - 2));
    out[37] = '}';
    out[38] = 0;
}

// ---- the driver of one adapter ----

// The program attaches before it polls: the reading of the link serves both.
long CheckInterface(WlanSession& session, const GUID& guid) {
    return CurrentLink(session, guid).link == Link::Failed ? InterfaceGone : Ok;
}

long ReadRadioState(WlanSession& session, const GUID& guid, unsigned long* state) {
    if (!state) return BadArgument;
    WLAN_RADIO_STATE radio;
    if (!ReadPhyRadioStates(session, guid, &radio)) {
        *state = kRadioAssumedOn;
        return SystemFailed;
    }
    *state = CombineRadioStates(radio);
    return Ok;
}

namespace {
// Writes what `value` makes of the interface's link; `value` looks at the
// reading only while connected.
template <class Value>
long ReadFromConnection(WlanSession& session, const GUID& guid, unsigned long* out, Value value) {
    if (!out) return BadArgument;
    const LinkSnapshot& link = CurrentLink(session, guid);
    *out = value(link.link == Link::Connected, link);
    return link.link == Link::Failed ? SystemFailed : Ok;
}
}  // namespace

long ReadNetworkType(WlanSession& session, const GUID& guid, unsigned long* type) {
    return ReadFromConnection(session, guid, type, [](bool connected, const LinkSnapshot& a) {
        return connected && a.bssType == dot11_BSS_type_independent ? kNetworkTypeAdHoc : kNetworkTypeInfrastructure;
    });
}

long ReadAdapterState(WlanSession& session, const GUID& guid, unsigned long* state) {
    return ReadFromConnection(session, guid, state,
                              [](bool connected, const LinkSnapshot&) { return connected ? 1UL : 0UL; });
}

long ReadLinkQuality(WlanSession& session, const GUID& guid, unsigned long* quality) {
    return ReadFromConnection(session, guid, quality, [](bool connected, const LinkSnapshot& a) {
        return connected ? ScaleSignalQuality(a.signalQuality) : 0UL;
    });
}

long ReadDot11Rate(WlanSession& session, const GUID& guid, unsigned long* rate) {
    return ReadFromConnection(session, guid, rate, [](bool connected, const LinkSnapshot& a) {
        return connected ? RateUnits(a.txRate) : 0UL;
    });
}

long ReadRxFrames(WlanSession& session, const GUID& guid, unsigned long* count) {
    if (!count) return BadArgument;
    WLAN_STATISTICS statistics;
    if (Query(session, guid, wlan_intf_opcode_statistics, &statistics, offsetof(WLAN_STATISTICS, dwNumberOfPhys)) !=
        ERROR_SUCCESS) {
        *count = kRxFramesUnknown;
        return SystemFailed;
    }
    // Data frames received since the interface started, unicast and multicast.
    const WLAN_MAC_FRAME_STATISTICS& unicast = statistics.MacUcastCounters;
    const WLAN_MAC_FRAME_STATISTICS& multicast = statistics.MacMcastCounters;
    *count = RxFramesFromCounters(unicast.ullReceivedFrameCount + multicast.ullReceivedFrameCount,
                                  unicast.ullDecryptFailureCount + multicast.ullDecryptFailureCount);
    return Ok;
}

// Not part of the poll (the program asks it when it checks the system's
// wireless configuration), so where no connection reading tells the PHY it
// reads the connection, within the poll's rule of once in kConnectionReadingMs.
long ReadNetworkTypeInUse(WlanSession& session, const GUID& guid, unsigned long* type) {
    if (!type) return BadArgument;
    const LinkSnapshot& link = CurrentLink(session, guid);
    if (link.link == Link::NotConnected) return NotConnected;
    if (link.link == Link::Failed) return SystemFailed;
    // XP's WLAN API reports no PHY: its documented value instead.
    if (session.Version() == 1) {
        *type = kNetworkTypeInUseXp;
        return Ok;
    }
    InterfaceMemory& memory = session.Memory(guid);
    const DWORD now = GetTickCount();
    if (!memory.connection.held && MayReadConnection(memory.connection, now)) ReadConnection(session, memory, now);
    if (!memory.connection.held) return SystemFailed;
    *type = NdisNetworkType(memory.connection.attributes.wlanAssociationAttributes.dot11PhyType);
    return Ok;
}

long ReadDriverVersion(WlanSession& session, unsigned long* version) {
    if (!version) return BadArgument;
    if (!session.Client()) return SystemFailed;
    *version = session.Version() == 1 ? kDriverVersionXp : kDriverVersionNative;
    return Ok;
}

long SetSoftwareRadio(WlanSession& session, const GUID& guid, unsigned long on) {
    if (on != 0 && on != 1) return BadArgument;
    WLAN_RADIO_STATE radio;
    if (!ReadPhyRadioStates(session, guid, &radio)) return SystemFailed;
    const DOT11_RADIO_STATE wanted = on ? dot11_radio_state_on : dot11_radio_state_off;
    const WlanEntryPoints& api = session.Api();
    HANDLE client = session.Client();
    DWORD switched = 0;  // the PHYs changed so far, in list order
    bool refused = false;
    for (DWORD i = 0; i < radio.dwNumberOfPhys && !refused; ++i) {
        WLAN_PHY_RADIO_STATE phy = radio.PhyRadioState[i];
        if (phy.dot11SoftwareRadioState == wanted) continue;
        phy.dot11SoftwareRadioState = wanted;
        if (api.WlanSetInterface(client, &guid, wlan_intf_opcode_radio_state, sizeof phy, &phy, nullptr) ==
            ERROR_SUCCESS) {
            switched = i + 1;
        } else {
            refused = true;
        }
    }
    if (!refused) return Ok;
    // Put back what was already switched, so that a refusal changes nothing.
    for (DWORD i = 0; i < switched; ++i) {
        WLAN_PHY_RADIO_STATE phy = radio.PhyRadioState[i];
        if (phy.dot11SoftwareRadioState == wanted) continue;
        api.WlanSetInterface(client, &guid, wlan_intf_opcode_radio_state, sizeof phy, &phy, nullptr);
    }
    return SystemFailed;
}

// ---- the rules ----

unsigned long CombineRadioStates(const WLAN_RADIO_STATE& radio) {
    bool canTransmit = false, anySwitchOn = false, anySoftwareOn = false;
    const DWORD count = radio.dwNumberOfPhys < WLAN_MAX_PHY_INDEX ? radio.dwNumberOfPhys : WLAN_MAX_PHY_INDEX;
    for (DWORD i = 0; i < count; ++i) {
        const bool software = IsOn(radio.PhyRadioState[i].dot11SoftwareRadioState);
        const bool hardware = IsOn(radio.PhyRadioState[i].dot11HardwareRadioState);
        canTransmit = canTransmit || (software && hardware);
        anySwitchOn = anySwitchOn || hardware;
        anySoftwareOn = anySoftwareOn || software;
    }
    if (canTransmit) return kRadioOn | kSwitchOn;
    if (anySwitchOn) return kSwitchOn;
    return anySoftwareOn ? kRadioOn : 0;
}

ULONG CappedSignal(ULONG quality) { return quality > kFullSignal ? kFullSignal : quality; }

unsigned long ScaleSignalQuality(ULONG quality) {
    return (CappedSignal(quality) * kFullQuality + kFullSignal / 2) / kFullSignal;
}

unsigned long RxFramesFromCounters(unsigned long long received, unsigned long long decryptFailures) {
    if (received > 0xFFFFFFFFull) return 0xFFFFFFFFul;
    if (received > 0) return static_cast<unsigned long>(received);
    return decryptFailures > 0 ? 0 : kRxFramesUnknown;
}

unsigned long RateUnits(ULONG kbitPerSecond) { return kbitPerSecond / 500 + (kbitPerSecond % 500 >= 250 ? 1 : 0); }

ULONG KbitFromLinkSpeed(ULONGLONG bitsPerSecond) {
    if (bitsPerSecond == ~0ull) return 0;
    const ULONGLONG kbit = bitsPerSecond / 1000;
    return kbit > 0xFFFFFFFFull ? 0xFFFFFFFFul : static_cast<ULONG>(kbit);
}

unsigned long NdisNetworkType(DOT11_PHY_TYPE phy) {
    switch (phy) {
    case dot11_phy_type_fhss: return 0;
    case dot11_phy_type_dsss:
    case dot11_phy_type_hrdsss: return 1;
    case dot11_phy_type_ofdm: return 2;
    case dot11_phy_type_erp: return 3;
    default: return 4;
    }
}

}  // namespace tavrowlan
