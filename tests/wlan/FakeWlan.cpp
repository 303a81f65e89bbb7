// The stand-in WLAN service: the calls of the library's table, answering
// from the interfaces a test describes.
#include "FakeWlan.h"

#include <string.h>

#include <new>

namespace fakewlan {

namespace {

Service& S() { return Service::Get(); }

const char* OpCodeName(WLAN_INTF_OPCODE opCode) {
    switch (opCode) {
    case wlan_intf_opcode_radio_state: return "radio_state";
    case wlan_intf_opcode_interface_state: return "interface_state";
    case wlan_intf_opcode_current_connection: return "current_connection";
    case wlan_intf_opcode_statistics: return "statistics";
    case wlan_intf_opcode_rssi: return "rssi";
    case wlan_intf_opcode_channel_number: return "channel_number";
    case wlan_intf_opcode_autoconf_enabled: return "autoconf_enabled";
    default: return "other";
    }
}

// Hands the caller a copy of `record` in a block of the service's memory.
template <typename Record>
DWORD Hand(const Record& record, PDWORD dataSize, PVOID* data, DWORD bytes = sizeof(Record)) {
    void* block = S().Allocate(bytes);
    memcpy(block, &record, bytes < sizeof(Record) ? bytes : sizeof(Record));
    *dataSize = bytes;
    *data = block;
    return ERROR_SUCCESS;
}

DWORD WINAPI FakeOpenHandle(DWORD clientVersion, PVOID reserved, PDWORD negotiatedVersion, PHANDLE client) {
    S().calls.push_back("WlanOpenHandle(" + std::to_string(clientVersion) + ")");
    DWORD error;
    if (S().Fails("WlanOpenHandle", &error)) return error;
    if (reserved || !negotiatedVersion || !client) return ERROR_INVALID_PARAMETER;
    if (S().newestVersion == 0) return ERROR_SERVICE_NOT_ACTIVE;
    if (clientVersion > S().newestVersion || clientVersion == 0) return ERROR_NOT_SUPPORTED;
    *negotiatedVersion = clientVersion;
    *client = S().OpenHandle();
    return ERROR_SUCCESS;
}

DWORD WINAPI FakeCloseHandle(HANDLE client, PVOID) {
    S().calls.push_back("WlanCloseHandle");
    if (!S().CloseHandle(client)) return ERROR_INVALID_HANDLE;
    return ERROR_SUCCESS;
}

DWORD WINAPI FakeEnumInterfaces(HANDLE client, PVOID, PWLAN_INTERFACE_INFO_LIST* list) {
    S().calls.push_back("WlanEnumInterfaces");
    if (!S().Known(client)) return ERROR_INVALID_HANDLE;
    DWORD error;
    if (S().Fails("WlanEnumInterfaces", &error)) return error;
    const size_t count = S().interfaces.size();
    const size_t size = offsetof(WLAN_INTERFACE_INFO_LIST, InterfaceInfo) + (count ? count : 1) * sizeof(WLAN_INTERFACE_INFO);
    auto* result = static_cast<WLAN_INTERFACE_INFO_LIST*>(S().Allocate(size));
    memset(result, 0, size);
    result->dwNumberOfItems = static_cast<DWORD>(count);
    for (size_t i = 0; i < count; ++i) {
        const Interface& from = S().interfaces[i];
        WLAN_INTERFACE_INFO& info = result->InterfaceInfo[i];
        info.InterfaceGuid = from.guid;
        // The service's descriptions are terminated and at most 255 units long.
        const size_t units = from.description.size() < 255 ? from.description.size() : 255;
        memcpy(info.strInterfaceDescription, from.description.data(), units * sizeof(WCHAR));
        info.isState = from.state;
    }
    *list = result;
    return ERROR_SUCCESS;
}

DWORD WINAPI FakeQueryInterface(HANDLE client, const GUID* guid, WLAN_INTF_OPCODE opCode, PVOID, PDWORD dataSize,
                                PVOID* data, PWLAN_OPCODE_VALUE_TYPE) {
    S().calls.push_back(std::string("WlanQueryInterface(") + OpCodeName(opCode) + ")");
    if (!S().Known(client)) return ERROR_INVALID_HANDLE;
    DWORD error;
    if (S().Fails("WlanQueryInterface", &error)) return error;
    Interface* found = guid ? S().Find(*guid) : nullptr;
    if (!found || !dataSize || !data) return ERROR_INVALID_PARAMETER;
    switch (opCode) {
    case wlan_intf_opcode_interface_state:
        return Hand(found->state, dataSize, data);
    case wlan_intf_opcode_current_connection: {
        if (!found->locationConsent) return ERROR_ACCESS_DENIED;
        if (found->state != wlan_interface_state_connected && found->state != wlan_interface_state_ad_hoc_network_formed)
            return ERROR_INVALID_STATE;
        WLAN_CONNECTION_ATTRIBUTES connection = {};
        connection.isState = found->state;
        connection.wlanAssociationAttributes.dot11BssType = found->bssType;
        connection.wlanAssociationAttributes.dot11PhyType = found->phyType;
        connection.wlanAssociationAttributes.wlanSignalQuality = found->signalQuality;
        connection.wlanAssociationAttributes.ulTxRate = found->txRate;
        connection.wlanAssociationAttributes.ulRxRate = found->rxRate;
        connection.wlanAssociationAttributes.dot11Ssid.uSSIDLength = static_cast<ULONG>(found->ssid.size());
        memcpy(connection.wlanAssociationAttributes.dot11Ssid.ucSSID, found->ssid.data(), found->ssid.size());
        memcpy(connection.wlanAssociationAttributes.dot11Bssid, found->bssid, 6);
        memcpy(connection.strProfileName, found->profileName.data(), found->profileName.size() * sizeof(WCHAR));
        connection.wlanSecurityAttributes.bSecurityEnabled = found->cipher != 0;
        connection.wlanSecurityAttributes.dot11AuthAlgorithm = found->auth;
        connection.wlanSecurityAttributes.dot11CipherAlgorithm = found->cipher;
        return Hand(connection, dataSize, data);
    }
    case wlan_intf_opcode_radio_state: {
        if (!found->radioQuery) return ERROR_NOT_SUPPORTED;
        WLAN_RADIO_STATE radio = {};
        radio.dwNumberOfPhys = static_cast<DWORD>(found->phys.size());
        for (size_t i = 0; i < found->phys.size() && i < WLAN_MAX_PHY_INDEX; ++i) radio.PhyRadioState[i] = found->phys[i];
        return Hand(radio, dataSize, data, found->radioBlockBytes ? found->radioBlockBytes : sizeof radio);
    }
    case wlan_intf_opcode_statistics: {
        if (!found->statistics) return ERROR_NOT_SUPPORTED;
        WLAN_STATISTICS statistics = {};
        statistics.MacUcastCounters.ullReceivedFrameCount = found->unicastReceived;
        statistics.MacMcastCounters.ullReceivedFrameCount = found->multicastReceived;
        statistics.MacUcastCounters.ullDecryptFailureCount = found->unicastDecryptFailures;
        statistics.MacMcastCounters.ullDecryptFailureCount = found->multicastDecryptFailures;
        statistics.dwNumberOfPhys = 1;
        return Hand(statistics, dataSize, data);
    }
    case wlan_intf_opcode_channel_number:
        if (!found->channel) return ERROR_NOT_SUPPORTED;
        return Hand(found->channel, dataSize, data);
    case wlan_intf_opcode_autoconf_enabled:
        return Hand(found->autoConfig, dataSize, data);
    case wlan_intf_opcode_rssi:
        if (!found->rssiQuery) return ERROR_NOT_SUPPORTED;
        if (found->state != wlan_interface_state_connected) return ERROR_INVALID_STATE;
        return Hand(found->rssi, dataSize, data);
    default:
        return ERROR_NOT_SUPPORTED;
    }
}

DWORD WINAPI FakeSetInterface(HANDLE client, const GUID* guid, WLAN_INTF_OPCODE opCode, DWORD dataSize,
                              const PVOID data, PVOID) {
    std::string call = std::string("WlanSetInterface(") + OpCodeName(opCode);
    if (opCode == wlan_intf_opcode_radio_state && data && dataSize == sizeof(WLAN_PHY_RADIO_STATE)) {
        const auto* phy = static_cast<const WLAN_PHY_RADIO_STATE*>(data);
        call += " phy=" + std::to_string(phy->dwPhyIndex) + " software=" +
                (phy->dot11SoftwareRadioState == dot11_radio_state_on ? "on" : "off");
    }
    S().calls.push_back(call + ")");
    if (!S().Known(client)) return ERROR_INVALID_HANDLE;
    DWORD error;
    if (S().Fails("WlanSetInterface", &error)) return error;
    Interface* found = guid ? S().Find(*guid) : nullptr;
    if (!found || !data) return ERROR_INVALID_PARAMETER;
    if (opCode != wlan_intf_opcode_radio_state) return ERROR_NOT_SUPPORTED;
    if (!found->radioQuery) return ERROR_NOT_SUPPORTED;
    if (dataSize != sizeof(WLAN_PHY_RADIO_STATE)) return ERROR_INVALID_PARAMETER;
    const auto* wanted = static_cast<const WLAN_PHY_RADIO_STATE*>(data);
    for (WLAN_PHY_RADIO_STATE& phy : found->phys) {
        if (phy.dwPhyIndex != wanted->dwPhyIndex) continue;
        if (found->refusedPhys.count(phy.dwPhyIndex)) return ERROR_ACCESS_DENIED;
        phy.dot11SoftwareRadioState = wanted->dot11SoftwareRadioState;
        return ERROR_SUCCESS;
    }
    return ERROR_INVALID_PARAMETER;
}

// The interface a call of the applet's names, after the checks every call makes.
DWORD Enter(const std::string& call, HANDLE client, const GUID* guid, Interface** found) {
    S().calls.push_back(call);
    if (!S().Known(client)) return ERROR_INVALID_HANDLE;
    DWORD error;
    const std::string function = call.substr(0, call.find('('));
    if (S().Fails(function, &error)) return error;
    *found = guid ? S().Find(*guid) : nullptr;
    return *found ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER;
}

// A list record: its header, then `items` in a block of the service's memory.
template <typename List, typename Item>
List* HandList(const std::vector<Item>& items, size_t header) {
    const size_t size = header + (items.empty() ? 1 : items.size()) * sizeof(Item);
    auto* list = static_cast<List*>(S().Allocate(size));
    memset(list, 0, size);
    if (!items.empty()) memcpy(reinterpret_cast<char*>(list) + header, items.data(), items.size() * sizeof(Item));
    return list;
}

DWORD WINAPI FakeScan(HANDLE client, const GUID* guid, const PDOT11_SSID, const PWLAN_RAW_DATA, PVOID) {
    Interface* found;
    return Enter("WlanScan", client, guid, &found);
}

DWORD WINAPI FakeGetAvailableNetworkList(HANDLE client, const GUID* guid, DWORD, PVOID,
                                         PWLAN_AVAILABLE_NETWORK_LIST* list) {
    Interface* found;
    if (DWORD error = Enter("WlanGetAvailableNetworkList", client, guid, &found)) return error;
    if (!found->locationConsent) return ERROR_ACCESS_DENIED;
    *list = HandList<WLAN_AVAILABLE_NETWORK_LIST>(found->networks, offsetof(WLAN_AVAILABLE_NETWORK_LIST, Network));
    (*list)->dwNumberOfItems = static_cast<DWORD>(found->networks.size());
    return ERROR_SUCCESS;
}

DWORD WINAPI FakeGetNetworkBssList(HANDLE client, const GUID* guid, const PDOT11_SSID ssid, DOT11_BSS_TYPE, BOOL,
                                   PVOID, PWLAN_BSS_LIST* list) {
    Interface* found;
    if (DWORD error = Enter("WlanGetNetworkBssList", client, guid, &found)) return error;
    if (!found->locationConsent) return ERROR_ACCESS_DENIED;
    std::vector<WLAN_BSS_ENTRY> entries;
    for (const WLAN_BSS_ENTRY& bss : found->bsses)
        if (!ssid || (ssid->uSSIDLength == bss.dot11Ssid.uSSIDLength &&
                      memcmp(ssid->ucSSID, bss.dot11Ssid.ucSSID, ssid->uSSIDLength) == 0))
            entries.push_back(bss);
    *list = HandList<WLAN_BSS_LIST>(entries, offsetof(WLAN_BSS_LIST, wlanBssEntries));
    (*list)->dwNumberOfItems = static_cast<DWORD>(entries.size());
    return ERROR_SUCCESS;
}

std::string Narrow(const WCHAR* text) {
    std::string out;
    for (; text && *text; ++text) out += static_cast<char>(*text);
    return out;
}

DWORD WINAPI FakeConnect(HANDLE client, const GUID* guid, const PWLAN_CONNECTION_PARAMETERS parameters, PVOID) {
    const std::string target = parameters->wlanConnectionMode == wlan_connection_mode_profile
                                   ? "profile " + Narrow(parameters->strProfile)
                                   : "open " + std::string(reinterpret_cast<const char*>(parameters->pDot11Ssid->ucSSID),
                                                           parameters->pDot11Ssid->uSSIDLength);
    Interface* found;
    if (DWORD error = Enter("WlanConnect(" + target + ")", client, guid, &found)) return error;
    found->state = wlan_interface_state_connected;
    return ERROR_SUCCESS;
}

DWORD WINAPI FakeDisconnect(HANDLE client, const GUID* guid, PVOID) {
    Interface* found;
    if (DWORD error = Enter("WlanDisconnect", client, guid, &found)) return error;
    found->state = wlan_interface_state_disconnected;
    return ERROR_SUCCESS;
}

DWORD WINAPI FakeGetProfileList(HANDLE client, const GUID* guid, PVOID, PWLAN_PROFILE_INFO_LIST* list) {
    Interface* found;
    if (DWORD error = Enter("WlanGetProfileList", client, guid, &found)) return error;
    std::vector<WLAN_PROFILE_INFO> infos;
    for (const Interface::Profile& p : found->profiles) {
        WLAN_PROFILE_INFO info = {};
        memcpy(info.strProfileName, p.name.data(), p.name.size() * sizeof(WCHAR));
        info.dwFlags = p.flags;
        infos.push_back(info);
    }
    *list = HandList<WLAN_PROFILE_INFO_LIST>(infos, offsetof(WLAN_PROFILE_INFO_LIST, ProfileInfo));
    (*list)->dwNumberOfItems = static_cast<DWORD>(infos.size());
    return ERROR_SUCCESS;
}

Interface::Profile* ProfileNamed(Interface* found, LPCWSTR name, size_t* at) {
    for (*at = 0; *at < found->profiles.size(); ++*at)
        if (found->profiles[*at].name == name) return &found->profiles[*at];
    return nullptr;
}

DWORD WINAPI FakeGetProfile(HANDLE client, const GUID* guid, LPCWSTR name, PVOID, LPWSTR* xml, DWORD*, PDWORD) {
    Interface* found;
    if (DWORD error = Enter("WlanGetProfile(" + Narrow(name) + ")", client, guid, &found)) return error;
    size_t at;
    const Interface::Profile* profile = ProfileNamed(found, name, &at);
    if (!profile) return ERROR_NOT_FOUND;
    *xml = static_cast<LPWSTR>(S().Allocate((profile->xml.size() + 1) * sizeof(WCHAR)));
    memcpy(*xml, profile->xml.c_str(), (profile->xml.size() + 1) * sizeof(WCHAR));
    return ERROR_SUCCESS;
}

// Group-policy profiles are neither moved nor removed, as Windows refuses.
DWORD WINAPI FakeSetProfilePosition(HANDLE client, const GUID* guid, LPCWSTR name, DWORD position, PVOID) {
    Interface* found;
    if (DWORD error = Enter("WlanSetProfilePosition(" + Narrow(name) + " " + std::to_string(position) + ")", client,
                            guid, &found))
        return error;
    size_t at;
    Interface::Profile* profile = ProfileNamed(found, name, &at);
    if (!profile) return ERROR_NOT_FOUND;
    if (profile->flags & 1) return ERROR_ACCESS_DENIED;
    const Interface::Profile moved = *profile;
    found->profiles.erase(found->profiles.begin() + at);
    found->profiles.insert(found->profiles.begin() + position, moved);
    return ERROR_SUCCESS;
}

DWORD WINAPI FakeDeleteProfile(HANDLE client, const GUID* guid, LPCWSTR name, PVOID) {
    Interface* found;
    if (DWORD error = Enter("WlanDeleteProfile(" + Narrow(name) + ")", client, guid, &found)) return error;
    size_t at;
    Interface::Profile* profile = ProfileNamed(found, name, &at);
    if (!profile) return ERROR_NOT_FOUND;
    if (profile->flags & 1) return ERROR_ACCESS_DENIED;
    found->profiles.erase(found->profiles.begin() + at);
    return ERROR_SUCCESS;
}

DWORD WINAPI FakeRegisterNotification(HANDLE client, DWORD sources, BOOL, WLAN_NOTIFICATION_CALLBACK callback,
                                      PVOID context, PVOID, PDWORD) {
    S().calls.push_back("WlanRegisterNotification");
    if (!S().Known(client)) return ERROR_INVALID_HANDLE;
    S().callback = sources ? callback : nullptr;
    S().callbackContext = context;
    return ERROR_SUCCESS;
}

VOID WINAPI FakeFreeMemory(PVOID memory) {
    S().calls.push_back("WlanFreeMemory");
    S().Free(memory);
}

// A double-byte code page: ASCII stays one byte, every other unit becomes
// the lead byte 0x81 and a second byte. Fails when the buffer is too small.
int WINAPI FakeWideCharToMultiByte(UINT, DWORD, LPCWSTR wide, int wideLength, LPSTR bytes, int capacity, LPCSTR,
                                   LPBOOL) {
    S().calls.push_back("WideCharToMultiByte");
    DWORD error;
    if (S().Fails("WideCharToMultiByte", &error)) return 0;
    std::string out;
    for (int i = 0; wideLength < 0 ? true : i < wideLength; ++i) {
        const char16_t unit = wide[i];
        if (unit < 0x80) {
            out += static_cast<char>(unit);
        } else {
            out += '\x81';
            out += static_cast<char>(0x40 + (unit & 0x3F));
        }
        if (wideLength < 0 && unit == 0) break;
    }
    if (static_cast<int>(out.size()) > capacity) return 0;
    memcpy(bytes, out.data(), out.size());
    return static_cast<int>(out.size());
}

}  // namespace

Service& Service::Get() {
    static Service service;
    return service;
}

void Service::Reset() {
    for (void* block : blocks) ::operator delete(block);
    blocks.clear();
    *this = Service();
}

Interface& Service::Add(const std::u16string& description, DWORD guidData1) {
    Interface added;
    added.description = description;
    added.guid = MakeGuid(guidData1);
    interfaces.push_back(added);
    return interfaces.back();
}

Interface* Service::Find(const GUID& guid) {
    for (Interface& i : interfaces)
        if (memcmp(&i.guid, &guid, sizeof guid) == 0) return &i;
    return nullptr;
}

void Service::Restart() {
    forgotten.insert(handles.begin(), handles.end());
    handles.clear();
}

int Service::ServiceCalls() const {
    return static_cast<int>(calls.size()) - CountCalls("WlanFreeMemory") - CountCalls("WideCharToMultiByte");
}

void Service::FailNext(const std::string& function, DWORD error, int skip) { failures.push_back({function, error, skip}); }

bool Service::Fails(const std::string& function, DWORD* error) {
    for (auto it = failures.begin(); it != failures.end(); ++it) {
        if (it->function != function) continue;
        if (it->skip > 0) {
            --it->skip;
            return false;
        }
        *error = it->error;
        failures.erase(it);
        return true;
    }
    return false;
}

int Service::CountCalls(const std::string& prefix) const {
    int count = 0;
    for (const std::string& call : calls)
        if (call.compare(0, prefix.size(), prefix) == 0) ++count;
    return count;
}

void* Service::Allocate(size_t size) {
    void* block = ::operator new(size);
    blocks.insert(block);
    return block;
}

bool Service::Free(void* block) {
    if (!blocks.erase(block)) {
        ++badFrees;
        return false;
    }
    ::operator delete(block);
    return true;
}

HANDLE Service::OpenHandle() {
    HANDLE handle = reinterpret_cast<HANDLE>(static_cast<size_t>(0x1000 + ++nextHandle));
    handles.insert(handle);
    return handle;
}

bool Service::CloseHandle(HANDLE handle) {
    if (forgotten.erase(handle)) return false;
    if (!handles.erase(handle)) {
        ++badHandles;
        return false;
    }
    return true;
}

tavrowlan::WlanEntryPoints Service::Table() const {
    tavrowlan::WlanEntryPoints table = {};
    table.WlanOpenHandle = FakeOpenHandle;
    table.WlanCloseHandle = FakeCloseHandle;
    table.WlanEnumInterfaces = FakeEnumInterfaces;
    table.WlanQueryInterface = FakeQueryInterface;
    table.WlanSetInterface = FakeSetInterface;
    table.WlanFreeMemory = FakeFreeMemory;
    table.WideCharToMultiByte = FakeWideCharToMultiByte;
    table.WlanScan = FakeScan;
    table.WlanGetAvailableNetworkList = FakeGetAvailableNetworkList;
    table.WlanGetNetworkBssList = FakeGetNetworkBssList;
    table.WlanConnect = FakeConnect;
    table.WlanDisconnect = FakeDisconnect;
    table.WlanGetProfileList = FakeGetProfileList;
    table.WlanGetProfile = FakeGetProfile;
    table.WlanSetProfilePosition = FakeSetProfilePosition;
    table.WlanDeleteProfile = FakeDeleteProfile;
    table.WlanRegisterNotification = FakeRegisterNotification;
    if (missingCalls.count("WlanGetNetworkBssList")) table.WlanGetNetworkBssList = nullptr;
    if (missingCalls.count("WlanScan")) table.WlanScan = nullptr;
    if (missingCalls.count("WlanRegisterNotification")) table.WlanRegisterNotification = nullptr;
    if (missingCalls.count("WlanGetProfile")) table.WlanGetProfile = nullptr;
    return table;
}

bool Service::Load(tavrowlan::WlanEntryPoints* api) {
    ++S().loads;
    *api = S().Table();
    return true;
}

void Service::Unload(tavrowlan::WlanEntryPoints* api) {
    ++S().unloads;
    tavrowlan::WlanEntryPoints cleared = {};
    cleared.WideCharToMultiByte = api->WideCharToMultiByte;
    *api = cleared;
}

void Service::Notify(const GUID& guid, DWORD code, DWORD source) {
    WLAN_NOTIFICATION_DATA data = {source, code, guid, 0, nullptr};
    if (callback) callback(&data, callbackContext);
}

void Interface::AddNetwork(const std::string& name, ULONG signal, LONG rssi, ULONG kHz, int accessPoints, DWORD flags,
                           const std::u16string& profile) {
    WLAN_AVAILABLE_NETWORK network = {};
    memcpy(network.strProfileName, profile.data(), profile.size() * sizeof(WCHAR));
    network.dot11Ssid.uSSIDLength = static_cast<ULONG>(name.size());
    memcpy(network.dot11Ssid.ucSSID, name.data(), name.size());
    network.dot11BssType = dot11_BSS_type_infrastructure;
    network.uNumberOfBssids = static_cast<ULONG>(accessPoints);
    network.uNumberOfPhyTypes = 1;
    network.dot11PhyTypes[0] = dot11_phy_type_ht;
    network.wlanSignalQuality = signal;
    network.dot11DefaultAuthAlgorithm = 7;
    network.dot11DefaultCipherAlgorithm = 4;
    network.dwFlags = flags;
    networks.push_back(network);
    for (int i = 0; i < accessPoints; ++i) {
        WLAN_BSS_ENTRY bss = {};
        bss.dot11Ssid = network.dot11Ssid;
        bss.dot11Bssid[5] = static_cast<unsigned char>(i);
        bss.dot11BssType = dot11_BSS_type_infrastructure;
        bss.dot11BssPhyType = static_cast<DOT11_PHY_TYPE>(8);  // 802.11ac
        bss.lRssi = rssi - 10 * i;
        bss.ulChCenterFrequency = kHz;
        bsses.push_back(bss);
    }
}

GUID MakeGuid(DWORD data1) {
    GUID guid = {data1, 0x1234, 0xABCD, {0x80, 0x01, 0x00, 0xA0, 0xC9, 0x14, 0x4B, 0x0F}};
    return guid;
}

}  // namespace fakewlan
