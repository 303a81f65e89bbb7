// The applet-facing interface over the Native Wifi API: the link in detail,
// the networks in range, scans, the signal history and the library, from
// the service's records. What a Windows lacks (XP has no BSS list, no
// signal-strength or channel query) is left out of `known`; a reading
// Windows refuses until the user allows location access is left out the
// same way, with locationDenied set, and asked again at the next call:
// each comes from something the user did in the applet.
#include "WlanNet.h"

#include "common/LinkState.h"

#include <stddef.h>

#include <vector>

namespace tavrowlan {

namespace {

// Flags of the service's records, which MinGW's wlanapi.h does not name.
const DWORD kAvailableConnected = 0x1;   // WLAN_AVAILABLE_NETWORK_CONNECTED
const DWORD kAvailableHasProfile = 0x2;  // WLAN_AVAILABLE_NETWORK_HAS_PROFILE
// The Privacy bit of an access point's capabilities: its network is secured.
const USHORT kCapabilityPrivacy = 0x0010;

bool SameSsid(const unsigned char* a, unsigned long aLength, const DOT11_SSID& b) {
    return aLength == b.uSSIDLength && memcmp(a, b.ucSSID, aLength) == 0;
}

unsigned long BssKind(DOT11_BSS_TYPE type) {
    return type == dot11_BSS_type_independent ? TAVRONET_BSS_ADHOC : TAVRONET_BSS_INFRASTRUCTURE;
}

// The BSS list, where the system has it (it needs location consent), handed
// to `use` and freed after it. `ssid` null: every network's access points.
template <typename Use>
void WithBssList(WlanSession& session, InterfaceMemory& memory, const DOT11_SSID* ssid, DOT11_BSS_TYPE type,
                 BOOL secured, Use use) {
    const WlanEntryPoints& api = session.Api();
    if (!api.WlanGetNetworkBssList) return;
    DOT11_SSID asked = ssid ? *ssid : DOT11_SSID();
    PWLAN_BSS_LIST list = nullptr;
    const DWORD result = NoteConsent(memory, WithClient(session, [&](HANDLE client) {
                                         return api.WlanGetNetworkBssList(client, &memory.guid, ssid ? &asked : nullptr,
                                                                          type, secured, nullptr, &list);
                                     }));
    if (result != ERROR_SUCCESS || !list) return;
    use(*list);
    api.WlanFreeMemory(list);
}

}  // namespace

DWORD FindInterface(WlanSession& session, const char* adapterId, GUID* guid) {
    if (!adapterId) return ERROR_INVALID_PARAMETER;
    if (!ParseInterfaceId(adapterId, guid)) return ERROR_NOT_FOUND;
    if (session.Known(*guid)) return ERROR_SUCCESS;
    std::vector<InterfaceEntry> items;
    DWORD error = ERROR_SUCCESS;
    EnumerateInterfaces(session, &items, &error);
    if (error != ERROR_SUCCESS) return error;
    for (const InterfaceEntry& item : items)
        if (memcmp(&item.guid, guid, sizeof *guid) == 0) return ERROR_SUCCESS;
    return ERROR_NOT_FOUND;
}

namespace {

// ---- the link ----

// The channel of the access point in use, from the BSS list where it is
// allowed, else from the channel query (which gives no frequency).
void ReadLinkChannel(WlanSession& session, InterfaceMemory& memory, const WLAN_CONNECTION_ATTRIBUTES& c,
                     TAVRONET_LINK* link) {
    const WLAN_ASSOCIATION_ATTRIBUTES& a = c.wlanAssociationAttributes;
    WithBssList(session, memory, &a.dot11Ssid, a.dot11BssType, c.wlanSecurityAttributes.bSecurityEnabled,
                [&](const WLAN_BSS_LIST& list) {
                    for (DWORD i = 0; i < list.dwNumberOfItems; ++i) {
                        const WLAN_BSS_ENTRY& bss = list.wlanBssEntries[i];
                        if (memcmp(bss.dot11Bssid, a.dot11Bssid, sizeof bss.dot11Bssid) != 0) continue;
                        link->channel = ChannelFromKhz(bss.ulChCenterFrequency);
                        link->frequencyMHz = bss.ulChCenterFrequency / 1000;
                    }
                });
    ULONG channel = 0;
    if (link->channel == 0 && Query(session, memory.guid, wlan_intf_opcode_channel_number, &channel) == ERROR_SUCCESS)
        link->channel = channel;
    if (link->channel) link->known |= TAVRONET_KNOWN_CHANNEL;
}

// What the connection reading gives: the network, its access point, rates, PHY and security.
void FillFromConnection(const WlanEntryPoints& api, const WLAN_CONNECTION_ATTRIBUTES& c, TAVRONET_LINK* link) {
    const WLAN_ASSOCIATION_ATTRIBUTES& a = c.wlanAssociationAttributes;
    link->ssidLength = a.dot11Ssid.uSSIDLength < TAVRONET_SSID_BYTES ? a.dot11Ssid.uSSIDLength : TAVRONET_SSID_BYTES;
    memcpy(link->ssid, a.dot11Ssid.ucSSID, link->ssidLength);
    DecodeSsid(api, link->ssid, link->ssidLength, link->ssidW, TAVRONET_SSID_CHARS);
    memcpy(link->bssid, a.dot11Bssid, sizeof link->bssid);
    link->txRateKbps = a.ulTxRate;
    link->rxRateKbps = a.ulRxRate;
    link->phy = PhyFromDot11(a.dot11PhyType);
    link->bssType = BssKind(a.dot11BssType);
    link->authentication = AuthFromDot11(c.wlanSecurityAttributes.dot11AuthAlgorithm);
    link->cipher = CipherFromDot11(c.wlanSecurityAttributes.dot11CipherAlgorithm);
    AnsiName(api, c.strProfileName, link->profileName, sizeof link->profileName);
    CopyWideName(c.strProfileName, link->profileNameW);
    link->known |= TAVRONET_KNOWN_SSID | TAVRONET_KNOWN_BSSID | TAVRONET_KNOWN_TX_RATE | TAVRONET_KNOWN_RX_RATE |
                   TAVRONET_KNOWN_SECURITY | (link->phy ? TAVRONET_KNOWN_PHY : 0);
}

unsigned long ReadLinkState(WlanSession& session, const GUID& guid, bool connected) {
    unsigned long radio = kRadioAssumedOn;
    ReadRadioState(session, guid, &radio);  // XP: assumed on
    return LinkStateOf(radio, connected);
}

// ---- the networks in range ----

// The networks in range as they are gathered: each with the first entry
// of the service's list that named it, which says what it is.
struct Gathered {
    std::vector<TAVRONET_NETWORK> networks;
    std::vector<WLAN_AVAILABLE_NETWORK> firsts;
};

// The network of the list that is `entry`'s network (the same name, kind
// and security), added when there is none.
TAVRONET_NETWORK& NetworkOf(const WlanEntryPoints& api, Gathered& gathered, const WLAN_AVAILABLE_NETWORK& entry) {
    for (size_t k = 0; k < gathered.firsts.size(); ++k)
        if (SameNetwork(gathered.firsts[k], entry)) return gathered.networks[k];
    TAVRONET_NETWORK added = {};
    added.size = sizeof added;
    added.ssidLength =
        entry.dot11Ssid.uSSIDLength < TAVRONET_SSID_BYTES ? entry.dot11Ssid.uSSIDLength : TAVRONET_SSID_BYTES;
    memcpy(added.ssid, entry.dot11Ssid.ucSSID, added.ssidLength);
    DecodeSsid(api, added.ssid, added.ssidLength, added.ssidW, TAVRONET_SSID_CHARS);
    added.bssType = BssKind(entry.dot11BssType);
    added.authentication = AuthFromDot11(entry.dot11DefaultAuthAlgorithm);
    added.cipher = NetworkCipher(entry);
    // Not to be joined until one of its entries can be (AddAvailable).
    added.flags = TAVRONET_NETWORK_NOT_CONNECTABLE;
    added.notConnectableReason = entry.wlanNotConnectableReason;
    added.known = TAVRONET_KNOWN_SIGNAL | TAVRONET_KNOWN_SECURITY | (added.ssidLength ? TAVRONET_KNOWN_SSID : 0);
    gathered.networks.push_back(added);
    gathered.firsts.push_back(entry);
    return gathered.networks.back();
}

// One entry of the available network list: the service lists a network
// once with each of its saved networks and once without; they merge. It can
// be joined when any of its entries can.
void AddAvailable(const WlanEntryPoints& api, const WLAN_AVAILABLE_NETWORK& entry, Gathered& gathered) {
    TAVRONET_NETWORK& n = NetworkOf(api, gathered, entry);
    if (entry.wlanSignalQuality > n.signalPercent) n.signalPercent = CappedSignal(entry.wlanSignalQuality);
    if (entry.uNumberOfBssids > n.accessPoints) n.accessPoints = entry.uNumberOfBssids;
    for (ULONG i = 0; i < entry.uNumberOfPhyTypes && i < WLAN_MAX_PHY_TYPE_NUMBER; ++i) {
        const unsigned long phy = PhyFromDot11(entry.dot11PhyTypes[i]);
        if (phy > n.phy) n.phy = phy;
    }
    if (n.phy) n.known |= TAVRONET_KNOWN_PHY;
    if (entry.bNetworkConnectable) {
        n.flags &= ~TAVRONET_NETWORK_NOT_CONNECTABLE;
        n.notConnectableReason = 0;
    }
    if (entry.dwFlags & kAvailableConnected) n.flags |= TAVRONET_NETWORK_CONNECTED;
    if ((entry.dwFlags & kAvailableHasProfile) && !(n.flags & TAVRONET_NETWORK_HAS_PROFILE)) {
        n.flags |= TAVRONET_NETWORK_HAS_PROFILE;
        AnsiName(api, entry.strProfileName, n.profileName, sizeof n.profileName);
        CopyWideName(entry.strProfileName, n.profileNameW);
    }
}

// Whether an access point may serve a network: its name, kind and whether
// it is secured (the BSS list tells no more of its security).
bool Serves(const WLAN_BSS_ENTRY& bss, const WLAN_AVAILABLE_NETWORK& first) {
    return SameSsid(first.dot11Ssid.ucSSID, first.dot11Ssid.uSSIDLength, bss.dot11Ssid) &&
           first.dot11BssType == bss.dot11BssType &&
           ((bss.usCapabilityInformation & kCapabilityPrivacy) != 0) == (first.bSecurityEnabled != FALSE);
}

// Whether the BSS list cannot tell two networks' access points apart: the
// same name and kind, both secured or both open.
bool ShareAccessPoints(const WLAN_AVAILABLE_NETWORK& a, const WLAN_AVAILABLE_NETWORK& b) {
    return SameSsid(a.dot11Ssid.ucSSID, a.dot11Ssid.uSSIDLength, b.dot11Ssid) && a.dot11BssType == b.dot11BssType &&
           !a.bSecurityEnabled == !b.bSecurityEnabled;
}

// An access point of the BSS list for network `n`: its signal strength,
// channel and PHY when it is the strongest so far (`seen` counts them).
void AddAccessPoint(const WLAN_BSS_ENTRY& bss, TAVRONET_NETWORK& n, unsigned long& seen) {
    if (seen++ > 0 && bss.lRssi <= n.rssiDbm) return;
    n.rssiDbm = bss.lRssi;
    n.channel = ChannelFromKhz(bss.ulChCenterFrequency);
    n.frequencyMHz = bss.ulChCenterFrequency / 1000;
    if (PhyFromDot11(bss.dot11BssPhyType)) n.phy = PhyFromDot11(bss.dot11BssPhyType);
    n.known |= TAVRONET_KNOWN_RSSI | TAVRONET_KNOWN_CHANNEL | (n.phy ? TAVRONET_KNOWN_PHY : 0);
}

// The access points of the BSS list, where the system has it and allows
// it: the strongest one's signal strength, channel and PHY, and their count
// where it tells one network's apart (two secured networks of one name
// share theirs, and keep the count of the available list).
void AddAccessPoints(WlanSession& session, InterfaceMemory& memory, Gathered& gathered) {
    WithBssList(session, memory, nullptr, dot11_BSS_type_any, FALSE, [&](const WLAN_BSS_LIST& bsses) {
        const size_t count = gathered.networks.size();
        std::vector<unsigned long> seen(count, 0), sharing(count, 0);
        for (size_t k = 0; k < count; ++k)
            for (size_t j = 0; j < count; ++j)
                if (ShareAccessPoints(gathered.firsts[k], gathered.firsts[j])) ++sharing[k];
        for (DWORD i = 0; i < bsses.dwNumberOfItems; ++i)
            for (size_t k = 0; k < count; ++k)
                if (Serves(bsses.wlanBssEntries[i], gathered.firsts[k]))
                    AddAccessPoint(bsses.wlanBssEntries[i], gathered.networks[k], seen[k]);
        for (size_t k = 0; k < count; ++k)
            if (seen[k] && sharing[k] == 1) gathered.networks[k].accessPoints = seen[k];
    });
}

}  // namespace

unsigned long NetGetLink(WlanSession& session, const char* adapterId, TAVRONET_LINK* out) {
    GUID guid;
    if (!SizeUsable(out)) return ERROR_INVALID_PARAMETER;
    if (const DWORD error = FindInterface(session, adapterId, &guid)) return error;
    const LinkSnapshot snapshot = CurrentLink(session, guid);
    // A failed reading answers its error: never success with a record not filled.
    if (snapshot.link == Link::Failed) return snapshot.error ? snapshot.error : ERROR_GEN_FAILURE;
    InterfaceMemory& memory = session.Memory(guid);
    TAVRONET_LINK link = {};
    link.size = sizeof link;
    bool connected = snapshot.link == Link::Connected;
    if (connected) {
        // The details the poll does not read: the applet asks for them.
        const DWORD reading = ReadConnection(session, memory, GetTickCount());
        connected = reading != ERROR_INVALID_STATE;  // the link went since the poll's reading
        if (memory.connection.held) {
            FillFromConnection(session.Api(), memory.connection.attributes, &link);
            ReadLinkChannel(session, memory, memory.connection.attributes, &link);
        }
    }
    link.state = ReadLinkState(session, guid, connected);
    BOOL autoConfig = FALSE;
    if (Query(session, guid, wlan_intf_opcode_autoconf_enabled, &autoConfig) == ERROR_SUCCESS)
        link.autoConfig = autoConfig ? TAVRONET_AUTOCONFIG_ON : TAVRONET_AUTOCONFIG_OFF;
    link.locationDenied = memory.locationDenied;
    if (!connected) return CopySized(out, link);
    // Without the signal strength (XP), the connection just read tells the signal.
    const bool fromConnection = !snapshot.rssiRead && memory.connection.held;
    link.signalPercent = fromConnection ? ConnectionSignal(memory.connection) : snapshot.signalQuality;
    link.known |= TAVRONET_KNOWN_SIGNAL;
    LONG rssi = snapshot.rssi;
    if (snapshot.rssiRead || Query(session, guid, wlan_intf_opcode_rssi, &rssi) == ERROR_SUCCESS) {
        link.rssiDbm = rssi;
        link.known |= TAVRONET_KNOWN_RSSI;
    }
    return CopySized(out, link);
}

unsigned long NetGetNetworks(WlanSession& session, const char* adapterId, TAVRONET_NETWORK* networks,
                             unsigned long capacity, unsigned long* count) {
    GUID guid;
    if (const DWORD error = FindInterface(session, adapterId, &guid)) return error;
    const WlanEntryPoints& api = session.Api();
    if (!api.WlanGetAvailableNetworkList) return ERROR_NOT_SUPPORTED;
    InterfaceMemory& memory = session.Memory(guid);
    PWLAN_AVAILABLE_NETWORK_LIST available = nullptr;
    const DWORD result = NoteConsent(memory, WithClient(session, [&](HANDLE client) {
                                         return api.WlanGetAvailableNetworkList(client, &guid, 0, nullptr, &available);
                                     }));
    if (result != ERROR_SUCCESS) return result;
    if (!available) return ERROR_INVALID_DATA;
    Gathered gathered;
    for (DWORD i = 0; i < available->dwNumberOfItems; ++i) AddAvailable(api, available->Network[i], gathered);
    api.WlanFreeMemory(available);
    AddAccessPoints(session, memory, gathered);
    // XP's list counts at most one access point for a network, however many
    // carry it, and it has no BSS list: the count is not known there.
    if (session.Version() == 1)
        for (TAVRONET_NETWORK& n : gathered.networks) n.accessPoints = 0;
    return FillArray(gathered.networks, networks, capacity, count);
}

unsigned long NetScan(WlanSession& session, const char* adapterId) {
    GUID guid;
    if (const DWORD error = FindInterface(session, adapterId, &guid)) return error;
    const WlanEntryPoints& api = session.Api();
    if (!api.WlanScan) return ERROR_NOT_SUPPORTED;
    InterfaceMemory& memory = session.Memory(guid);
    session.Reported().ScanAsked(guid);
    const DWORD result = NoteConsent(memory, WithClient(session, [&](HANDLE client) {
                                         return api.WlanScan(client, &guid, nullptr, nullptr, nullptr);
                                     }));
    memory.scan.pending = result == ERROR_SUCCESS;
    memory.scan.startedAt = GetTickCount();
    memory.scan.failure = 0;
    return result;
}

unsigned long NetGetScanState(WlanSession& session, const char* adapterId, unsigned long* state) {
    GUID guid;
    if (!state) return ERROR_INVALID_PARAMETER;
    if (const DWORD error = FindInterface(session, adapterId, &guid)) return error;
    ScanState& scan = session.Memory(guid).scan;
    if (scan.pending &&
        (session.Reported().ScanDone(guid, &scan.failure) || GetTickCount() - scan.startedAt >= kScanMostMs))
        scan.pending = false;
    *state = scan.pending ? TAVRONET_SCAN_PENDING : TAVRONET_SCAN_DONE;
    // A scan the service reports failed answers its reason, which no error code is.
    return scan.pending ? ERROR_SUCCESS : scan.failure;
}

unsigned long NetGetHistory(WlanSession& session, const char* adapterId, TAVRONET_HISTORY* history) {
    GUID guid;
    unsigned long capacity = 0;
    if (!HistoryCapacity(history, &capacity)) return ERROR_INVALID_PARAMETER;
    if (const DWORD error = FindInterface(session, adapterId, &guid)) return error;
    history->count = session.Memory(guid).history.Copy(history->samples, capacity);
    history->now = GetTickCount();
    return ERROR_SUCCESS;
}

unsigned long NetGetLibrary(WlanSession& session, const char*, TAVRONET_LIBRARY* out) {
    if (!SizeUsable(out)) return ERROR_INVALID_PARAMETER;
    TAVRONET_LIBRARY library = {};
    library.size = sizeof library;
    library.kind = TAVRONET_KIND_WLAN;
    library.wlanApiVersion = session.Client() ? session.Version() : 0;
    // On XP a disconnect makes the saved network in use one that connects
    // only when asked, for good.
    if (library.wlanApiVersion == 1) library.flags |= TAVRONET_LIBRARY_DISCONNECT_STOPS_AUTO;
    // The WLAN API names no driver version: driverVersion stays "".
    return CopySized(out, library);
}

}  // namespace tavrowlan
