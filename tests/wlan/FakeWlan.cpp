// The stand-in WLAN service: the calls of the library's table, answering
// from the interfaces a test describes.
#include "FakeWlan.h"
#include "sim/Desktop.h"

#include <string.h>

#include <algorithm>
#include <new>

namespace fakewlan {

using tavrowlan::InterfaceLuid;
using tavrowlan::InterfaceRow;

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
    S().Record("WlanOpenHandle(" + std::to_string(clientVersion) + ")");
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
    S().Record("WlanCloseHandle");
    if (!S().CloseHandle(client)) return ERROR_INVALID_HANDLE;
    return ERROR_SUCCESS;
}

DWORD WINAPI FakeEnumInterfaces(HANDLE client, PVOID, PWLAN_INTERFACE_INFO_LIST* list) {
    S().Record("WlanEnumInterfaces");
    if (!S().Known(client)) return ERROR_INVALID_HANDLE;
    DWORD error;
    if (S().Fails("WlanEnumInterfaces", &error)) return error;
    const size_t count = S().interfaces.size();
    const size_t size =
        offsetof(WLAN_INTERFACE_INFO_LIST, InterfaceInfo) + (count ? count : 1) * sizeof(WLAN_INTERFACE_INFO);
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
    const std::string call = std::string("WlanQueryInterface(") + OpCodeName(opCode) + ")";
    S().Record(call);
    if (!S().Known(client)) return ERROR_INVALID_HANDLE;
    DWORD error;
    if (S().Fails("WlanQueryInterface", &error) || S().Fails(call, &error)) return error;
    Interface* found = guid ? S().Find(*guid) : nullptr;
    if (!found || !dataSize || !data) return ERROR_INVALID_PARAMETER;
    switch (opCode) {
    case wlan_intf_opcode_interface_state: return Hand(found->state, dataSize, data);
    case wlan_intf_opcode_current_connection: {
        if (!found->locationConsent) return ERROR_ACCESS_DENIED;
        if (found->state != wlan_interface_state_connected &&
            found->state != wlan_interface_state_ad_hoc_network_formed)
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
        for (size_t i = 0; i < found->phys.size() && i < WLAN_MAX_PHY_INDEX; ++i)
            radio.PhyRadioState[i] = found->phys[i];
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
    case wlan_intf_opcode_autoconf_enabled: return Hand(found->autoConfig, dataSize, data);
    case wlan_intf_opcode_rssi:
        if (!found->rssiQuery) return ERROR_NOT_SUPPORTED;
        if (found->state != wlan_interface_state_connected) return ERROR_INVALID_STATE;
        return Hand(found->rssi, dataSize, data);
    default: return ERROR_NOT_SUPPORTED;
    }
}

DWORD WINAPI FakeSetInterface(HANDLE client, const GUID* guid, WLAN_INTF_OPCODE opCode, DWORD dataSize,
                              const PVOID data, PVOID) {
    std::string call = std::string("WlanSetInterface(") + OpCodeName(opCode);
    if (opCode == wlan_intf_opcode_radio_state && data && dataSize == sizeof(WLAN_PHY_RADIO_STATE)) {
        const auto* phy = static_cast<const WLAN_PHY_RADIO_STATE*>(data);
        call += " phy=" + std::to_string(phy->dwPhyIndex) +
                " software=" + (phy->dot11SoftwareRadioState == dot11_radio_state_on ? "on" : "off");
    }
    S().Record(call + ")");
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
    S().Record(call);
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

// WlanScan returns at once; the service reports the scan's end later.
// Windows 11 24H2 and later refuse a scan without location consent too.
DWORD WINAPI FakeScan(HANDLE client, const GUID* guid, const PDOT11_SSID, const PWLAN_RAW_DATA, PVOID) {
    Interface* found;
    if (DWORD error = Enter("WlanScan", client, guid, &found)) return error;
    if (!found->locationConsent) return ERROR_ACCESS_DENIED;
    if (S().newestVersion != 1) S().NotifyScan(found->guid, found->scanMs, found->scanFailure);
    return ERROR_SUCCESS;
}

DWORD WINAPI FakeGetAvailableNetworkList(HANDLE client, const GUID* guid, DWORD, PVOID,
                                         PWLAN_AVAILABLE_NETWORK_LIST* list) {
    Interface* found;
    if (DWORD error = Enter("WlanGetAvailableNetworkList", client, guid, &found)) return error;
    if (!found->locationConsent) return ERROR_ACCESS_DENIED;
    *list = HandList<WLAN_AVAILABLE_NETWORK_LIST>(found->networks, offsetof(WLAN_AVAILABLE_NETWORK_LIST, Network));
    (*list)->dwNumberOfItems = static_cast<DWORD>(found->networks.size());
    // XP counts at most one access point for a network, however many carry it.
    for (DWORD i = 0; S().newestVersion == 1 && i < (*list)->dwNumberOfItems; ++i)
        (*list)->Network[i].uNumberOfBssids = std::min<ULONG>((*list)->Network[i].uNumberOfBssids, 1);
    return ERROR_SUCCESS;
}

DWORD WINAPI FakeGetNetworkBssList(HANDLE client, const GUID* guid, const PDOT11_SSID ssid, DOT11_BSS_TYPE, BOOL, PVOID,
                                   PWLAN_BSS_LIST* list) {
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

Interface::Profile* ProfileNamed(Interface* found, LPCWSTR name, size_t* at) {
    for (*at = 0; *at < found->profiles.size(); ++*at)
        if (found->profiles[*at].name == name) return &found->profiles[*at];
    return nullptr;
}

std::string SsidOf(const Interface::Profile& profile) {
    if (!profile.ssid.empty()) return profile.ssid;
    std::string ssid;
    for (char16_t unit : profile.name) ssid += static_cast<char>(unit);
    return ssid;
}

// The connection the interface has ends: disconnecting, then disconnected.
void EndConnection(Interface* found, DWORD delayMs) {
    if (found->state != wlan_interface_state_connected) return;
    const GUID guid = found->guid;
    S().NotifyConnection(guid, wlan_notification_acm_disconnecting, delayMs, found->ssid, found->profileName, 0);
    S().NotifyConnection(guid, wlan_notification_acm_disconnected, delayMs + 400, found->ssid, found->profileName, 0,
                         [guid] {
                             if (Interface* now = S().Find(guid)) now->state = wlan_interface_state_disconnected;
                         });
}

// WlanConnect returns at once; the service ends the connection the
// interface has, reports the start, and after connectMs the outcome: a
// completion with reason 0, or an attempt that failed and a completion,
// both with the reason. The interface's state changes only then.
DWORD WINAPI FakeConnect(HANDLE client, const GUID* guid, const PWLAN_CONNECTION_PARAMETERS parameters, PVOID) {
    const bool byProfile = parameters->wlanConnectionMode == wlan_connection_mode_profile;
    const std::string target =
        byProfile ? "profile " + Narrow(parameters->strProfile)
                  : "open " + std::string(reinterpret_cast<const char*>(parameters->pDot11Ssid->ucSSID),
                                          parameters->pDot11Ssid->uSSIDLength);
    Interface* found;
    if (DWORD error = Enter("WlanConnect(" + target + ")", client, guid, &found)) return error;
    std::string ssid;
    std::u16string profile;
    if (byProfile) {
        size_t at;
        const Interface::Profile* saved = ProfileNamed(found, parameters->strProfile, &at);
        if (!saved) return ERROR_NOT_FOUND;
        ssid = SsidOf(*saved);
        profile = saved->name;
    } else {
        ssid.assign(reinterpret_cast<const char*>(parameters->pDot11Ssid->ucSSID), parameters->pDot11Ssid->uSSIDLength);
    }
    EndConnection(found, 50);
    const GUID id = found->guid;
    const DWORD reason = found->connectFailure, done = found->connectMs;
    S().NotifyConnection(id, wlan_notification_acm_connection_start, 500, ssid, profile, 0);
    if (reason) S().NotifyConnection(id, wlan_notification_acm_connection_attempt_fail, done, ssid, profile, reason);
    S().NotifyConnection(id, wlan_notification_acm_connection_complete, done, ssid, profile, reason,
                         [id, ssid, profile, reason] {
                             Interface* now = S().Find(id);
                             if (!now || reason) return;
                             now->state = wlan_interface_state_connected;
                             now->ssid = ssid;
                             now->profileName = profile;
                         });
    return ERROR_SUCCESS;
}

// On XP (client version 1) a disconnect turns the saved network in use
// into one that connects only when asked.
void MakeOnDemand(Interface* found) {
    size_t at;
    Interface::Profile* profile = ProfileNamed(found, found->profileName.c_str(), &at);
    if (!profile) return;
    const std::u16string automatic = u"<connectionMode>auto</connectionMode>";
    const size_t place = profile->xml.find(automatic);
    if (place != std::u16string::npos) profile->xml.erase(place, automatic.size());
    profile->xml.insert(0, u"<connectionMode>manual</connectionMode>");
}

DWORD WINAPI FakeDisconnect(HANDLE client, const GUID* guid, PVOID) {
    Interface* found;
    if (DWORD error = Enter("WlanDisconnect", client, guid, &found)) return error;
    if (S().newestVersion == 1) MakeOnDemand(found);
    EndConnection(found, 50);
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

DWORD WINAPI FakeRegisterNotification(HANDLE client, DWORD sources, BOOL ignoreDuplicate,
                                      WLAN_NOTIFICATION_CALLBACK callback, PVOID context, PVOID, PDWORD) {
    S().Record("WlanRegisterNotification");
    if (!S().Known(client)) return ERROR_INVALID_HANDLE;
    S().Register(client, sources, ignoreDuplicate, callback, context);
    return ERROR_SUCCESS;
}

VOID WINAPI FakeFreeMemory(PVOID memory) {
    S().Record("WlanFreeMemory");
    S().Free(memory);
}

// ---- kernel32's conversions, as the code page of the desktop converts ----

// Windows-1252's bytes 0x80 to 0x9F; its undefined ones (0x81, 0x8D, 0x8F,
// 0x90, 0x9D) convert to the C1 controls of the same number and back.
const char16_t kWestern80[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                                 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};

// The Western code page's byte for a unit; false where it has none. A few
// units it lacks have a look-alike ("best fit"), which Windows uses unless
// told WC_NO_BEST_FIT_CHARS, without setting the used-default flag.
bool WesternByte(char16_t unit, bool bestFit, unsigned char* byte) {
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return *byte = static_cast<unsigned char>(unit), true;
    for (int i = 0; i < 32; ++i)
        if (kWestern80[i] == unit) return *byte = static_cast<unsigned char>(0x80 + i), true;
    if (bestFit && unit >= 0xFF01 && unit <= 0xFF5E)  // fullwidth ASCII
        return *byte = static_cast<unsigned char>(unit - 0xFF01 + 0x21), true;
    return false;
}

void Utf8Bytes(unsigned long point, std::string* out) {
    if (point < 0x80) {
        *out += static_cast<char>(point);
    } else if (point < 0x800) {
        *out += static_cast<char>(0xC0 | point >> 6);
        *out += static_cast<char>(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
        *out += static_cast<char>(0xE0 | point >> 12);
        *out += static_cast<char>(0x80 | (point >> 6 & 0x3F));
        *out += static_cast<char>(0x80 | (point & 0x3F));
    } else {
        *out += static_cast<char>(0xF0 | point >> 18);
        *out += static_cast<char>(0x80 | (point >> 12 & 0x3F));
        *out += static_cast<char>(0x80 | (point >> 6 & 0x3F));
        *out += static_cast<char>(0x80 | (point & 0x3F));
    }
}

// The ANSI code page of the desktop: a double-byte one where it has lead
// bytes (every unit past ASCII becomes the lead byte 0x81 and a second
// byte), UTF-8 where GetACP says 65001, else Western (1252), where what the
// code page lacks becomes "?" and sets the used-default flag. With UTF-8,
// as Windows, flags and the used-default flag are refused.
int WINAPI FakeWideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, LPSTR bytes, int capacity,
                                   LPCSTR defaultChar, LPBOOL usedDefault) {
    S().Record("WideCharToMultiByte");
    DWORD error;
    if (S().Fails("WideCharToMultiByte", &error) || codePage != CP_ACP) {
        if (bytes) memset(bytes, '#', capacity);  // what a failed call leaves there is not defined
        return 0;
    }
    const bool utf8 = GetACP() == CP_UTF8, doubleByte = IsDBCSLeadByte(0x81);
    if (utf8 && (flags || defaultChar || usedDefault)) return 0;  // ERROR_INVALID_PARAMETER
    if (usedDefault) *usedDefault = FALSE;
    std::string out;
    for (int i = 0; wideLength < 0 || i < wideLength; ++i) {
        const char16_t unit = wide[i];
        unsigned char byte;
        if (utf8 && unit >= 0xD800 && unit <= 0xDBFF && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) {
            Utf8Bytes(0x10000 + ((unit - 0xD800) << 10) + (wide[i + 1] - 0xDC00), &out);
            ++i;
        } else if (utf8) {
            Utf8Bytes(unit, &out);
        } else if (doubleByte) {
            if (unit < 0x80) {
                out += static_cast<char>(unit);
            } else {
                out += '\x81';
                out += static_cast<char>(0x40 + (unit & 0x3F));
            }
        } else if (WesternByte(unit, !(flags & WC_NO_BEST_FIT_CHARS), &byte)) {
            out += static_cast<char>(byte);
        } else {
            out += defaultChar ? *defaultChar : '?';
            if (usedDefault) *usedDefault = TRUE;
        }
        if (wideLength < 0 && unit == 0) break;
    }
    if (static_cast<int>(out.size()) > capacity) return 0;
    memcpy(bytes, out.data(), out.size());
    return static_cast<int>(out.size());
}

// Bytes of the desktop's code page to UTF-16: Western (1252) or UTF-8
// (its ill-formed bytes as U+FFFD). Fails on no bytes or too small a buffer.
int WINAPI FakeMultiByteToWideChar(UINT codePage, DWORD, LPCSTR bytes, int byteLength, LPWSTR wide, int capacity) {
    S().Record("MultiByteToWideChar");
    if (codePage != CP_ACP || byteLength == 0) return 0;
    const size_t length = byteLength < 0 ? strlen(bytes) + 1 : static_cast<size_t>(byteLength);
    std::u16string out;
    for (size_t i = 0; i < length; ++i) {
        const unsigned char byte = static_cast<unsigned char>(bytes[i]);
        if (GetACP() == CP_UTF8)
            out += byte < 0x80 ? byte : 0xFFFD;
        else
            out += byte >= 0x80 && byte < 0xA0 ? kWestern80[byte - 0x80] : byte;
    }
    if (static_cast<int>(out.size()) > capacity) return 0;
    memcpy(wide, out.data(), out.size() * sizeof(WCHAR));
    return static_cast<int>(out.size());
}

// ---- Windows' words for reasons, and iphlpapi's link speed ----

// Success answers a pointer to the text, as documented, not ERROR_SUCCESS;
// a reason without words leaves the buffer empty.
DWORD WINAPI FakeReasonCodeToString(DWORD reason, DWORD capacity, LPWSTR text, PVOID reserved) {
    S().Record("WlanReasonCodeToString(" + std::to_string(reason) + ")");
    if (!text || capacity == 0 || reserved) return ERROR_INVALID_PARAMETER;
    static const std::map<DWORD, std::u16string> kWords = {
        {0, u"The operation was successful."},
        {0x00020001, u"The network is not compatible."},          // WLAN_REASON_CODE_NETWORK_NOT_COMPATIBLE
        {0x0002800B, u"The network is not available."},           // WLAN_REASON_CODE_NETWORK_NOT_AVAILABLE
        {0x0002800D, u"The key does not match the network's."}};  // WLAN_REASON_CODE_KEY_MISMATCH
    const auto found = kWords.find(reason);
    const std::u16string words = found == kWords.end() ? u"" : found->second;
    const size_t units = words.size() < capacity - 1 ? words.size() : capacity - 1;
    memcpy(text, words.data(), units * sizeof(WCHAR));
    text[units] = 0;
    return static_cast<DWORD>(reinterpret_cast<uintptr_t>(text));
}

InterfaceLuid LuidOf(const GUID& guid) { return {0x0047000000000000ull | guid.Data1}; }

DWORD WINAPI FakeConvertInterfaceGuidToLuid(const GUID* guid, InterfaceLuid* luid) {
    S().Record("ConvertInterfaceGuidToLuid");
    if (!guid || !luid) return ERROR_INVALID_PARAMETER;
    if (!S().Find(*guid)) return ERROR_INVALID_PARAMETER;
    *luid = LuidOf(*guid);
    return ERROR_SUCCESS;
}

// The row of the interface the LUID names (ERROR_FILE_NOT_FOUND for none).
DWORD WINAPI FakeGetIfEntry2(InterfaceRow* row) {
    S().Record("GetIfEntry2");
    if (!row) return ERROR_INVALID_PARAMETER;
    for (const Interface& i : S().interfaces) {
        if (LuidOf(i.guid).value != row->luid.value) continue;
        memset(row, 0, sizeof *row);
        row->luid = LuidOf(i.guid);
        const bool linked = i.state == wlan_interface_state_connected;
        row->transmitLinkSpeed = row->receiveLinkSpeed = linked ? i.linkSpeed : 0;
        return ERROR_SUCCESS;
    }
    return 2;  // ERROR_FILE_NOT_FOUND
}

}  // namespace

Service& Service::Get() {
    static Service service;
    return service;
}

void Service::Reset() {
    for (void* block : blocks_) ::operator delete(block);
    blocks_.clear();
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
    forgotten_.insert(handles_.begin(), handles_.end());
    handles_.clear();
    Unregister(registered_);
}

int Service::ServiceCalls() const {
    int service = 0;
    for (const char* prefix : {"WlanOpen", "WlanClose", "WlanEnum", "WlanQuery", "WlanSet", "WlanScan", "WlanGet",
                               "WlanConnect", "WlanDisconnect", "WlanDelete", "WlanRegister"})
        service += CountCalls(prefix);
    return service;
}

namespace {
const char* const kGatedCalls[] = {"WlanQueryInterface(current_connection)", "WlanGetAvailableNetworkList",
                                   "WlanGetNetworkBssList", "WlanScan"};
bool Gated(const std::string& call) {
    for (const char* gated : kGatedCalls)
        if (call.compare(0, strlen(gated), gated) == 0) return true;
    return false;
}
}  // namespace

int Service::GatedCalls() const { return static_cast<int>(std::count_if(calls.begin(), calls.end(), Gated)); }

std::vector<int> Service::GatedCallsPerMinute() const {
    std::vector<int> perMinute;
    for (size_t i = 0; i < calls.size(); ++i) {
        if (!Gated(calls[i])) continue;
        const size_t minute = callTimes_[i] / 60000;
        if (perMinute.size() <= minute) perMinute.resize(minute + 1, 0);
        ++perMinute[minute];
    }
    return perMinute;
}

void Service::Record(const std::string& call) {
    calls.push_back(call);
    callTimes_.push_back(sim::Desktop::Get().Now());
    if (std::this_thread::get_id() == serviceThread_) ++callsFromCallback;
}

void Service::Register(HANDLE handle, DWORD sources, BOOL ignoreDuplicates, WLAN_NOTIFICATION_CALLBACK function,
                       PVOID context) {
    registered_ = sources ? handle : nullptr;
    callback_ = sources & WLAN_NOTIFICATION_SOURCE_ACM ? function : nullptr;
    callbackContext_ = context;
    ignoreDuplicate_ = ignoreDuplicates;
}

// A closed handle gets no more events, and those not yet reported are dropped.
void Service::Unregister(HANDLE handle) {
    if (!handle || handle != registered_) return;
    registered_ = nullptr;
    callback_ = nullptr;
    events_.clear();
}

void Service::Queue(Event event) {
    event.due = sim::Desktop::Get().Now() + (event.due ? event.due : 1);
    auto place = std::upper_bound(events_.begin(), events_.end(), event.due,
                                  [](DWORD due, const Event& queued) { return due < queued.due; });
    events_.insert(place, std::move(event));
}

void Service::Notify(const GUID& guid, DWORD code, DWORD delayMs, DWORD source) {
    Event event = {};
    event.due = delayMs;
    event.data = {source, code, guid, 0, nullptr};
    Queue(std::move(event));
}

void Service::NotifyConnection(const GUID& guid, DWORD code, DWORD delayMs, const std::string& ssid,
                               const std::u16string& profile, DWORD reason, std::function<void()> change) {
    Event event = {};
    event.due = delayMs;
    event.data = {WLAN_NOTIFICATION_SOURCE_ACM, code, guid, sizeof event.connection, nullptr};
    WLAN_CONNECTION_NOTIFICATION_DATA& c = event.connection;
    c.wlanConnectionMode = profile.empty() ? wlan_connection_mode_discovery_unsecure : wlan_connection_mode_profile;
    memcpy(c.strProfileName, profile.data(), std::min<size_t>(profile.size(), 255) * sizeof(WCHAR));
    c.dot11Ssid.uSSIDLength = static_cast<ULONG>(std::min<size_t>(ssid.size(), 32));
    memcpy(c.dot11Ssid.ucSSID, ssid.data(), c.dot11Ssid.uSSIDLength);
    c.dot11BssType = dot11_BSS_type_infrastructure;
    c.wlanReasonCode = reason;
    event.change = std::move(change);
    Queue(std::move(event));
}

void Service::NotifyScan(const GUID& guid, DWORD delayMs, WLAN_REASON_CODE failure) {
    Event event = {};
    event.due = delayMs;
    const DWORD code = failure ? wlan_notification_acm_scan_fail : wlan_notification_acm_scan_complete;
    event.data = {WLAN_NOTIFICATION_SOURCE_ACM, code, guid, failure ? static_cast<DWORD>(sizeof event.reason) : 0,
                  nullptr};
    event.reason = failure;
    Queue(std::move(event));
}

// Each event on a thread of the service's own, as Windows reports them; the
// test waits for it. What changes in the service changes as it is reported.
void Service::Deliver() {
    const DWORD now = sim::Desktop::Get().Now();
    while (!events_.empty() && events_.front().due <= now) {
        Event event = std::move(events_.front());
        events_.erase(events_.begin());
        if (event.change) event.change();
        if (event.data.dwDataSize)
            event.data.pData = event.data.NotificationCode == wlan_notification_acm_scan_fail
                                   ? static_cast<void*>(&event.reason)
                                   : static_cast<void*>(&event.connection);
        const bool duplicate = ignoreDuplicate_ && delivered_ &&
                               last_.NotificationCode == event.data.NotificationCode &&
                               memcmp(&last_.InterfaceGuid, &event.data.InterfaceGuid, sizeof(GUID)) == 0;
        if (!callback_ || duplicate) continue;
        last_ = event.data;
        delivered_ = true;
        std::thread service([this, &event] {
            serviceThread_ = std::this_thread::get_id();
            callback_(&event.data, callbackContext_);
        });
        service.join();
        serviceThread_ = std::thread::id();
    }
}

Interface& Service::Plug(const std::u16string& description, DWORD guidData1, DWORD delayMs) {
    Interface& added = Add(description, guidData1);
    Notify(added.guid, wlan_notification_acm_interface_arrival, delayMs);
    return added;
}

void Service::Unplug(DWORD guidData1, DWORD delayMs) {
    const GUID guid = MakeGuid(guidData1);
    interfaces.erase(std::remove_if(interfaces.begin(), interfaces.end(),
                                    [&](const Interface& i) { return memcmp(&i.guid, &guid, sizeof guid) == 0; }),
                     interfaces.end());
    Notify(guid, wlan_notification_acm_interface_removal, delayMs);
}

void Service::FailNext(const std::string& function, DWORD error, int skip) {
    failures_.push_back({function, error, skip});
}

bool Service::Fails(const std::string& function, DWORD* error) {
    for (auto it = failures_.begin(); it != failures_.end(); ++it) {
        if (it->function != function) continue;
        if (it->skip > 0) {
            --it->skip;
            return false;
        }
        *error = it->error;
        failures_.erase(it);
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
    blocks_.insert(block);
    return block;
}

bool Service::Free(void* block) {
    if (!blocks_.erase(block)) {
        ++badFrees_;
        return false;
    }
    ::operator delete(block);
    return true;
}

HANDLE Service::OpenHandle() {
    HANDLE handle = reinterpret_cast<HANDLE>(static_cast<size_t>(0x1000 + ++nextHandle_));
    handles_.insert(handle);
    return handle;
}

bool Service::CloseHandle(HANDLE handle) {
    Unregister(handle);
    if (forgotten_.erase(handle)) return false;
    if (!handles_.erase(handle)) {
        ++badHandles_;
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
    table.WlanReasonCodeToString = FakeReasonCodeToString;
    table.MultiByteToWideChar = FakeMultiByteToWideChar;
    if (!missingCalls.count("GetIfEntry2")) {
        table.ConvertInterfaceGuidToLuid = FakeConvertInterfaceGuidToLuid;
        table.GetIfEntry2 = FakeGetIfEntry2;
    }
    if (missingCalls.count("WlanReasonCodeToString")) table.WlanReasonCodeToString = nullptr;
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
    cleared.MultiByteToWideChar = api->MultiByteToWideChar;
    *api = cleared;
}

void Interface::AddNetwork(const std::string& name, ULONG signal, LONG rssi, ULONG kHz, int accessPoints, DWORD flags,
                           const std::u16string& profile, int auth, int cipher) {
    WLAN_AVAILABLE_NETWORK network = {};
    memcpy(network.strProfileName, profile.data(), profile.size() * sizeof(WCHAR));
    network.dot11Ssid.uSSIDLength = static_cast<ULONG>(name.size());
    memcpy(network.dot11Ssid.ucSSID, name.data(), name.size());
    network.dot11BssType = dot11_BSS_type_infrastructure;
    network.uNumberOfBssids = static_cast<ULONG>(accessPoints);
    network.uNumberOfPhyTypes = 1;
    network.dot11PhyTypes[0] = dot11_phy_type_ht;
    network.wlanSignalQuality = signal;
    network.bNetworkConnectable = TRUE;
    network.bSecurityEnabled = cipher != 0;
    network.dot11DefaultAuthAlgorithm = auth;
    network.dot11DefaultCipherAlgorithm = cipher;
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
        bss.usCapabilityInformation = cipher != 0 ? 0x0011 : 0x0001;  // ESS, and Privacy where secured
        bsses.push_back(bss);
    }
}

GUID MakeGuid(DWORD data1) {
    GUID guid = {data1, 0x1234, 0xABCD, {0x80, 0x01, 0x00, 0xA0, 0xC9, 0x14, 0x4B, 0x0F}};
    return guid;
}

}  // namespace fakewlan
