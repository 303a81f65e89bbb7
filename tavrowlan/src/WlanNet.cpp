// The applet-facing interface over the Native Wifi API: the link in detail,
// the networks in range, scans, connecting, the saved networks and the
// signal history, from the service's records. What a Windows lacks (XP has
// no BSS list, no signal-strength or channel query) is left out of `known`;
// a reading Windows refuses until the user allows location access is left
// out the same way and asked again at most once a minute.
#include "WlanNet.h"

#include "common/LinkState.h"
#include "common/SizedRecords.h"

#include <stddef.h>

#include <vector>

namespace tavrowlan {

namespace {

// Flags of the service's records, which MinGW's wlanapi.h does not name.
const DWORD kAvailableConnected = 0x1;   // WLAN_AVAILABLE_NETWORK_CONNECTED
const DWORD kAvailableHasProfile = 0x2;  // WLAN_AVAILABLE_NETWORK_HAS_PROFILE
const DWORD kProfileGroupPolicy = 0x1;   // WLAN_PROFILE_GROUP_POLICY
const DWORD kProfileUser = 0x2;          // WLAN_PROFILE_USER

// The interface the identifier names: one the library already reads, or
// one the service lists now. ERROR_NOT_FOUND for any other.
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

// A name the service gives (a profile's) in the ANSI code page, cut between whole characters.
void AnsiName(const WlanEntryPoints& api, const WCHAR* name, char* out, size_t capacity) {
    WCHAR terminated[256];
    memcpy(terminated, name, sizeof terminated);
    terminated[255] = 0;
    DescribeInterface(api, terminated, out, capacity);
}

bool SameSsid(const unsigned char* a, unsigned long aLength, const DOT11_SSID& b) {
    return aLength == b.uSSIDLength && memcmp(a, b.ucSSID, aLength) == 0;
}

unsigned long BssKind(DOT11_BSS_TYPE type) {
    return type == dot11_BSS_type_independent ? TAVRONET_BSS_ADHOC : TAVRONET_BSS_INFRASTRUCTURE;
}

// The BSS list, where the system has it and allows it (it needs location
// consent: a refusal is noted and asked again once a minute), handed to
// `use` and freed after it. `ssid` null: every network's access points.
template <typename Use>
void WithBssList(WlanSession& session, InterfaceMemory& memory, const DOT11_SSID* ssid, DOT11_BSS_TYPE type,
                 BOOL secured, Use use) {
    const WlanEntryPoints& api = session.Api();
    const DWORD now = GetTickCount();
    if (!api.WlanGetNetworkBssList || !MayAsk(memory.bssList, now)) return;
    DOT11_SSID asked = ssid ? *ssid : DOT11_SSID();
    PWLAN_BSS_LIST list = nullptr;
    const DWORD result = NoteAnswer(&memory.bssList, WithClient(session, [&](HANDLE client) {
        return api.WlanGetNetworkBssList(client, &memory.guid, ssid ? &asked : nullptr, type, secured, nullptr, &list);
    }), now);
    if (result != ERROR_SUCCESS || !list) return;
    use(*list);
    api.WlanFreeMemory(list);
}

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
    memcpy(link->bssid, a.dot11Bssid, sizeof link->bssid);
    link->txRateKbps = a.ulTxRate;
    link->rxRateKbps = a.ulRxRate;
    link->phy = PhyFromDot11(a.dot11PhyType);
    link->bssType = BssKind(a.dot11BssType);
    link->authentication = AuthFromDot11(c.wlanSecurityAttributes.dot11AuthAlgorithm);
    link->cipher = CipherFromDot11(c.wlanSecurityAttributes.dot11CipherAlgorithm);
    AnsiName(api, c.strProfileName, link->profileName, sizeof link->profileName);
    link->known |= TAVRONET_KNOWN_SSID | TAVRONET_KNOWN_BSSID | TAVRONET_KNOWN_TX_RATE | TAVRONET_KNOWN_RX_RATE |
                   TAVRONET_KNOWN_SECURITY | (link->phy ? TAVRONET_KNOWN_PHY : 0);
}

unsigned long ReadLinkState(WlanSession& session, const GUID& guid, bool connected) {
    unsigned long radio = kRadioAssumedOn;
    ReadRadioState(session, guid, &radio);  // XP: assumed on
    return LinkStateOf(radio, connected);
}

// ---- the networks in range ----

// The network of `list` with this name and kind, added when there is none.
TAVRONET_NETWORK& NetworkOf(std::vector<TAVRONET_NETWORK>& list, const DOT11_SSID& ssid, DOT11_BSS_TYPE type) {
    for (TAVRONET_NETWORK& n : list)
        if (SameSsid(n.ssid, n.ssidLength, ssid) && n.bssType == BssKind(type)) return n;
    TAVRONET_NETWORK added = {};
    added.size = sizeof added;
    added.ssidLength = ssid.uSSIDLength < TAVRONET_SSID_BYTES ? ssid.uSSIDLength : TAVRONET_SSID_BYTES;
    memcpy(added.ssid, ssid.ucSSID, added.ssidLength);
    added.bssType = BssKind(type);
    added.known = TAVRONET_KNOWN_SIGNAL | TAVRONET_KNOWN_SECURITY | (added.ssidLength ? TAVRONET_KNOWN_SSID : 0);
    list.push_back(added);
    return list.back();
}

// One entry of the available network list: the service lists a network
// once with each of its saved networks and once without; they merge.
void AddAvailable(const WlanEntryPoints& api, const WLAN_AVAILABLE_NETWORK& entry, std::vector<TAVRONET_NETWORK>& list) {
    TAVRONET_NETWORK& n = NetworkOf(list, entry.dot11Ssid, entry.dot11BssType);
    if (entry.wlanSignalQuality > n.signalPercent) n.signalPercent = CappedSignal(entry.wlanSignalQuality);
    if (entry.uNumberOfBssids > n.accessPoints) n.accessPoints = entry.uNumberOfBssids;
    n.authentication = AuthFromDot11(entry.dot11DefaultAuthAlgorithm);
    n.cipher = CipherFromDot11(entry.dot11DefaultCipherAlgorithm);
    for (ULONG i = 0; i < entry.uNumberOfPhyTypes && i < WLAN_MAX_PHY_TYPE_NUMBER; ++i) {
        const unsigned long phy = PhyFromDot11(entry.dot11PhyTypes[i]);
        if (phy > n.phy) n.phy = phy;
    }
    if (n.phy) n.known |= TAVRONET_KNOWN_PHY;
    if (entry.dwFlags & kAvailableConnected) n.flags |= TAVRONET_NETWORK_CONNECTED;
    if ((entry.dwFlags & kAvailableHasProfile) && !(n.flags & TAVRONET_NETWORK_HAS_PROFILE)) {
        n.flags |= TAVRONET_NETWORK_HAS_PROFILE;
        AnsiName(api, entry.strProfileName, n.profileName, sizeof n.profileName);
    }
}

// One access point of the BSS list: counted in `seen` for its network,
// whose signal strength, channel and PHY it gives when the strongest so far.
void AddAccessPoint(const WLAN_BSS_ENTRY& bss, std::vector<TAVRONET_NETWORK>& list, std::vector<unsigned long>& seen) {
    for (size_t k = 0; k < list.size(); ++k) {
        TAVRONET_NETWORK& n = list[k];
        if (!SameSsid(n.ssid, n.ssidLength, bss.dot11Ssid) || n.bssType != BssKind(bss.dot11BssType)) continue;
        if (seen[k]++ > 0 && bss.lRssi <= n.rssiDbm) return;
        n.rssiDbm = bss.lRssi;
        n.channel = ChannelFromKhz(bss.ulChCenterFrequency);
        n.frequencyMHz = bss.ulChCenterFrequency / 1000;
        if (PhyFromDot11(bss.dot11BssPhyType)) n.phy = PhyFromDot11(bss.dot11BssPhyType);
        n.known |= TAVRONET_KNOWN_RSSI | TAVRONET_KNOWN_CHANNEL | (n.phy ? TAVRONET_KNOWN_PHY : 0);
        return;
    }
}

// The access points of the BSS list, where the system has it and allows it:
// their count, and the strongest one's signal strength, channel and PHY.
void AddAccessPoints(WlanSession& session, InterfaceMemory& memory, std::vector<TAVRONET_NETWORK>& list) {
    WithBssList(session, memory, nullptr, dot11_BSS_type_any, FALSE, [&](const WLAN_BSS_LIST& bsses) {
        std::vector<unsigned long> seen(list.size(), 0);
        for (DWORD i = 0; i < bsses.dwNumberOfItems; ++i) AddAccessPoint(bsses.wlanBssEntries[i], list, seen);
        for (size_t k = 0; k < list.size(); ++k)
            if (seen[k]) list[k].accessPoints = seen[k];
    });
}

// ---- the saved networks ----

// The service's profile list, handed to `use` and freed after it.
template <typename Use>
DWORD WithProfileList(WlanSession& session, const GUID& guid, Use use) {
    const WlanEntryPoints& api = session.Api();
    if (!api.WlanGetProfileList) return ERROR_NOT_SUPPORTED;
    PWLAN_PROFILE_INFO_LIST list = nullptr;
    const DWORD result =
        WithClient(session, [&](HANDLE client) { return api.WlanGetProfileList(client, &guid, nullptr, &list); });
    if (result != ERROR_SUCCESS) return result;
    if (!list) return ERROR_INVALID_DATA;
    const DWORD used = use(*list);
    api.WlanFreeMemory(list);
    return used;
}

// The saved network whose name in the ANSI code page is `name`: its
// service-side name into `wide` and the number of saved networks into `count`.
DWORD FindProfile(WlanSession& session, const GUID& guid, const char* name, WCHAR* wide, DWORD* count) {
    return WithProfileList(session, guid, [&](const WLAN_PROFILE_INFO_LIST& list) -> DWORD {
        *count = list.dwNumberOfItems;
        for (DWORD i = 0; i < list.dwNumberOfItems; ++i) {
            char ansi[TAVRONET_NAME_BYTES];
            AnsiName(session.Api(), list.ProfileInfo[i].strProfileName, ansi, sizeof ansi);
            if (strcmp(ansi, name) != 0) continue;
            memcpy(wide, list.ProfileInfo[i].strProfileName, sizeof list.ProfileInfo[i].strProfileName);
            wide[255] = 0;
            return ERROR_SUCCESS;
        }
        return ERROR_NOT_FOUND;
    });
}

// One saved network: its name and flags from the list, the rest from its profile text.
TAVRONET_PROFILE ProfileOf(WlanSession& session, const GUID& guid, const WLAN_PROFILE_INFO& info) {
    const WlanEntryPoints& api = session.Api();
    TAVRONET_PROFILE profile = {};
    profile.size = sizeof profile;
    AnsiName(api, info.strProfileName, profile.name, sizeof profile.name);
    if (info.dwFlags & kProfileGroupPolicy) profile.flags |= TAVRONET_PROFILE_GROUP_POLICY;
    if (info.dwFlags & kProfileUser) profile.flags |= TAVRONET_PROFILE_PER_USER;
    LPWSTR xml = nullptr;
    if (api.WlanGetProfile && WithClient(session, [&](HANDLE client) {
            return api.WlanGetProfile(client, &guid, info.strProfileName, nullptr, &xml, nullptr, nullptr);
        }) == ERROR_SUCCESS && xml) {
        ReadProfileText(xml, &profile);
        api.WlanFreeMemory(xml);
    }
    return profile;
}

// The saved network a change names, with the interface it is saved for and
// the number of saved networks there.
struct ProfileTarget {
    GUID guid;
    WCHAR name[256];
    DWORD count = 0;
};

// Finds the adapter and its saved network `name` for a change by `call`;
// ERROR_NOT_SUPPORTED where the system lacks that call.
template <typename Call>
DWORD FindProfileTarget(WlanSession& session, const char* adapterId, const char* name, Call WlanEntryPoints::*call,
                        ProfileTarget* target) {
    if (!name) return ERROR_INVALID_PARAMETER;
    if (const DWORD error = FindInterface(session, adapterId, &target->guid)) return error;
    if (!(session.Api().*call)) return ERROR_NOT_SUPPORTED;
    return FindProfile(session, target->guid, name, target->name, &target->count);
}

}  // namespace

unsigned long NetGetLink(WlanSession& session, const char* adapterId, TAVRONET_LINK* out) {
    GUID guid;
    if (!SizeUsable(out)) return ERROR_INVALID_PARAMETER;
    if (const DWORD error = FindInterface(session, adapterId, &guid)) return error;
    const LinkSnapshot& snapshot = CurrentLink(session, guid);
    if (snapshot.link == Link::Failed) return snapshot.error;
    InterfaceMemory& memory = session.Memory(guid);
    TAVRONET_LINK link = {};
    link.size = sizeof link;
    const bool connected = snapshot.link == Link::Connected;
    link.state = ReadLinkState(session, guid, connected);
    link.locationDenied = memory.connection.refused;
    BOOL autoConfig = FALSE;
    if (Query(session, guid, wlan_intf_opcode_autoconf_enabled, &autoConfig) == ERROR_SUCCESS)
        link.autoConfig = autoConfig ? TAVRONET_AUTOCONFIG_ON : TAVRONET_AUTOCONFIG_OFF;
    if (!connected) return CopySized(out, link);
    link.signalPercent = snapshot.signalQuality;
    link.known |= TAVRONET_KNOWN_SIGNAL;
    LONG rssi = snapshot.rssi;
    if (snapshot.rssiRead || Query(session, guid, wlan_intf_opcode_rssi, &rssi) == ERROR_SUCCESS) {
        link.rssiDbm = rssi;
        link.known |= TAVRONET_KNOWN_RSSI;
    }
    if (snapshot.connectionRead) {
        FillFromConnection(session.Api(), snapshot.connection, &link);
        ReadLinkChannel(session, memory, snapshot.connection, &link);
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
    const DWORD now = GetTickCount();
    if (!MayAsk(memory.networks, now)) return ERROR_ACCESS_DENIED;
    PWLAN_AVAILABLE_NETWORK_LIST available = nullptr;
    const DWORD result = NoteAnswer(&memory.networks, WithClient(session, [&](HANDLE client) {
        return api.WlanGetAvailableNetworkList(client, &guid, 0, nullptr, &available);
    }), now);
    if (result != ERROR_SUCCESS) return result;
    if (!available) return ERROR_INVALID_DATA;
    std::vector<TAVRONET_NETWORK> list;
    for (DWORD i = 0; i < available->dwNumberOfItems; ++i) AddAvailable(api, available->Network[i], list);
    api.WlanFreeMemory(available);
    AddAccessPoints(session, memory, list);
    return FillArray(list, networks, capacity, count);
}

unsigned long NetScan(WlanSession& session, const char* adapterId) {
    GUID guid;
    if (const DWORD error = FindInterface(session, adapterId, &guid)) return error;
    const WlanEntryPoints& api = session.Api();
    if (!api.WlanScan) return ERROR_NOT_SUPPORTED;
    ScanState& scan = session.Memory(guid).scan;
    session.ForgetScan(guid);
    const DWORD result = WithClient(session, [&](HANDLE client) {
        session.WatchScans();
        return api.WlanScan(client, &guid, nullptr, nullptr, nullptr);
    });
    scan.pending = result == ERROR_SUCCESS;
    scan.startedAt = GetTickCount();
    return result;
}

unsigned long NetGetScanState(WlanSession& session, const char* adapterId, unsigned long* state) {
    GUID guid;
    if (!state) return ERROR_INVALID_PARAMETER;
    if (const DWORD error = FindInterface(session, adapterId, &guid)) return error;
    ScanState& scan = session.Memory(guid).scan;
    if (scan.pending && (session.ScanCompleted(guid) || GetTickCount() - scan.startedAt >= kScanMostMs))
        scan.pending = false;
    *state = scan.pending ? TAVRONET_SCAN_PENDING : TAVRONET_SCAN_DONE;
    return ERROR_SUCCESS;
}

unsigned long NetConnect(WlanSession& session, const char* adapterId, const TAVRONET_NETWORK* network) {
    GUID guid;
    if (!network || network->size < offsetof(TAVRONET_NETWORK, signalPercent)) return ERROR_INVALID_PARAMETER;
    if (const DWORD error = FindInterface(session, adapterId, &guid)) return error;
    const WlanEntryPoints& api = session.Api();
    if (!api.WlanConnect) return ERROR_NOT_SUPPORTED;
    TAVRONET_NETWORK asked = {};  // a shorter caller's record names no saved network
    memcpy(&asked, network, network->size < sizeof asked ? network->size : sizeof asked);
    asked.profileName[sizeof asked.profileName - 1] = 0;
    WLAN_CONNECTION_PARAMETERS parameters = {};
    parameters.dot11BssType = asked.bssType == TAVRONET_BSS_ADHOC ? dot11_BSS_type_independent : dot11_BSS_type_infrastructure;
    WCHAR profile[256];
    DOT11_SSID ssid = {};
    DWORD count = 0;
    if (asked.profileName[0]) {
        if (const DWORD error = FindProfile(session, guid, asked.profileName, profile, &count)) return error;
        parameters.wlanConnectionMode = wlan_connection_mode_profile;
        parameters.strProfile = profile;
    } else {
        // An open network without a saved one: Vista and later reach it by its name; XP only by a profile.
        const bool open = asked.authentication == TAVRONET_AUTH_OPEN && asked.cipher == TAVRONET_CIPHER_NONE;
        if (!open || asked.ssidLength == 0 || asked.ssidLength > TAVRONET_SSID_BYTES) return ERROR_NOT_FOUND;
        if (session.Client() && session.Version() == 1) return ERROR_NOT_SUPPORTED;
        ssid.uSSIDLength = asked.ssidLength;
        memcpy(ssid.ucSSID, asked.ssid, asked.ssidLength);
        parameters.wlanConnectionMode = wlan_connection_mode_discovery_unsecure;
        parameters.pDot11Ssid = &ssid;
    }
    return WithClient(session, [&](HANDLE client) { return api.WlanConnect(client, &guid, &parameters, nullptr); });
}

unsigned long NetDisconnect(WlanSession& session, const char* adapterId) {
    GUID guid;
    if (const DWORD error = FindInterface(session, adapterId, &guid)) return error;
    const WlanEntryPoints& api = session.Api();
    if (!api.WlanDisconnect) return ERROR_NOT_SUPPORTED;
    return WithClient(session, [&](HANDLE client) { return api.WlanDisconnect(client, &guid, nullptr); });
}

unsigned long NetGetProfiles(WlanSession& session, const char* adapterId, TAVRONET_PROFILE* profiles,
                             unsigned long capacity, unsigned long* count) {
    GUID guid;
    if (const DWORD error = FindInterface(session, adapterId, &guid)) return error;
    std::vector<TAVRONET_PROFILE> list;
    const DWORD result = WithProfileList(session, guid, [&](const WLAN_PROFILE_INFO_LIST& infos) -> DWORD {
        for (DWORD i = 0; i < infos.dwNumberOfItems; ++i) list.push_back(ProfileOf(session, guid, infos.ProfileInfo[i]));
        return ERROR_SUCCESS;
    });
    return result == ERROR_SUCCESS ? FillArray(list, profiles, capacity, count) : result;
}

unsigned long NetMoveProfile(WlanSession& session, const char* adapterId, const char* name, unsigned long position) {
    ProfileTarget target;
    if (const DWORD error =
            FindProfileTarget(session, adapterId, name, &WlanEntryPoints::WlanSetProfilePosition, &target))
        return error;
    if (position >= target.count) return ERROR_INVALID_PARAMETER;
    const WlanEntryPoints& api = session.Api();
    return WithClient(session, [&](HANDLE client) {
        return api.WlanSetProfilePosition(client, &target.guid, target.name, position, nullptr);
    });
}

unsigned long NetDeleteProfile(WlanSession& session, const char* adapterId, const char* name) {
    ProfileTarget target;
    if (const DWORD error = FindProfileTarget(session, adapterId, name, &WlanEntryPoints::WlanDeleteProfile, &target))
        return error;
    const WlanEntryPoints& api = session.Api();
    return WithClient(session,
                      [&](HANDLE client) { return api.WlanDeleteProfile(client, &target.guid, target.name, nullptr); });
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
    // The WLAN API names no driver version: driverVersion stays "".
    return CopySized(out, library);
}

}  // namespace tavrowlan
