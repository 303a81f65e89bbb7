// The calls of the Native Wifi API that the library makes, as a table of
// function pointers. The DLL fills it from wlanapi.dll (and iphlpapi.dll) at
// run time, so the library loads on every Windows and simply finds no
// adapter where the API is absent; host tests fill it with a fake of the
// WLAN service.
#ifndef TAVROWLAN_WLANENTRYPOINTS_H
#define TAVROWLAN_WLANENTRYPOINTS_H

#include <windows.h>
#include <wlanapi.h>

#include <stddef.h>

namespace tavrowlan {

// An interface's locally unique identifier (NET_LUID), as iphlpapi names it.
struct InterfaceLuid {
    ULONGLONG value;
};

// The interface row GetIfEntry2 fills (MIB_IF_ROW2 of netioapi.h, which the
// XP-era headers this library is compiled with do not declare): the
// identifiers it is asked by, then what the library reads of it, the link
// speeds in bits per second, at the offsets Windows gives them.
struct InterfaceRow {
    InterfaceLuid luid;
    ULONG index;
    unsigned char before[1192 - 12];
    ULONGLONG transmitLinkSpeed;
    ULONGLONG receiveLinkSpeed;
    unsigned char after[1352 - 1208];
};
static_assert(offsetof(InterfaceRow, transmitLinkSpeed) == 1192, "MIB_IF_ROW2.TransmitLinkSpeed");
static_assert(sizeof(InterfaceRow) == 1352, "MIB_IF_ROW2");

struct WlanEntryPoints {
    HMODULE module;    // wlanapi.dll while it is loaded; null for a table filled otherwise
    HMODULE ipHelper;  // iphlpapi.dll while it is loaded (Vista and later have its link speeds)
    DWORD(WINAPI* WlanOpenHandle)(DWORD clientVersion, PVOID reserved, PDWORD negotiatedVersion, PHANDLE client);
    DWORD(WINAPI* WlanCloseHandle)(HANDLE client, PVOID reserved);
    DWORD(WINAPI* WlanEnumInterfaces)(HANDLE client, PVOID reserved, PWLAN_INTERFACE_INFO_LIST* list);
    DWORD(WINAPI* WlanQueryInterface)
    (HANDLE client, const GUID* interfaceGuid, WLAN_INTF_OPCODE opCode, PVOID reserved, PDWORD dataSize, PVOID* data,
     PWLAN_OPCODE_VALUE_TYPE valueType);
    DWORD(WINAPI* WlanSetInterface)
    (HANDLE client, const GUID* interfaceGuid, WLAN_INTF_OPCODE opCode, DWORD dataSize, const PVOID data,
     PVOID reserved);
    VOID(WINAPI* WlanFreeMemory)(PVOID memory);
    // The calls of the configuration applet's readings and changes: looked
    // up one by one, each null where the system lacks it (XP has no BSS list).
    DWORD(WINAPI* WlanScan)
    (HANDLE client, const GUID* interfaceGuid, const PDOT11_SSID ssid, const PWLAN_RAW_DATA ie, PVOID reserved);
    DWORD(WINAPI* WlanGetAvailableNetworkList)
    (HANDLE client, const GUID* interfaceGuid, DWORD flags, PVOID reserved, PWLAN_AVAILABLE_NETWORK_LIST* list);
    DWORD(WINAPI* WlanGetNetworkBssList)
    (HANDLE client, const GUID* interfaceGuid, const PDOT11_SSID ssid, DOT11_BSS_TYPE bssType, BOOL securityEnabled,
     PVOID reserved, PWLAN_BSS_LIST* list);
    DWORD(WINAPI* WlanConnect)
    (HANDLE client, const GUID* interfaceGuid, const PWLAN_CONNECTION_PARAMETERS parameters, PVOID reserved);
    DWORD(WINAPI* WlanDisconnect)(HANDLE client, const GUID* interfaceGuid, PVOID reserved);
    DWORD(WINAPI* WlanGetProfileList)
    (HANDLE client, const GUID* interfaceGuid, PVOID reserved, PWLAN_PROFILE_INFO_LIST* list);
    DWORD(WINAPI* WlanGetProfile)
    (HANDLE client, const GUID* interfaceGuid, LPCWSTR name, PVOID reserved, LPWSTR* xml, DWORD* flags,
     PDWORD grantedAccess);
    DWORD(WINAPI* WlanSetProfilePosition)
    (HANDLE client, const GUID* interfaceGuid, LPCWSTR name, DWORD position, PVOID reserved);
    DWORD(WINAPI* WlanDeleteProfile)(HANDLE client, const GUID* interfaceGuid, LPCWSTR name, PVOID reserved);
    DWORD(WINAPI* WlanRegisterNotification)
    (HANDLE client, DWORD sources, BOOL ignoreDuplicate, WLAN_NOTIFICATION_CALLBACK callback, PVOID context,
     PVOID reserved, PDWORD previousSources);
    // Windows' words for a WLAN_REASON_CODE; on success it answers a pointer, not 0.
    DWORD(WINAPI* WlanReasonCodeToString)(DWORD reason, DWORD capacity, LPWSTR text, PVOID reserved);
    // iphlpapi.dll (Vista and later): the interface's link speed, which needs
    // no location consent, found by the LUID of the interface's GUID.
    DWORD(WINAPI* ConvertInterfaceGuidToLuid)(const GUID* guid, InterfaceLuid* luid);
    DWORD(WINAPI* GetIfEntry2)(InterfaceRow* row);
    // Not part of the WLAN API: kernel32's conversions from and into the ANSI code page.
    int(WINAPI* WideCharToMultiByte)(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, LPSTR bytes,
                                     int byteCapacity, LPCSTR defaultChar, LPBOOL usedDefault);
    int(WINAPI* MultiByteToWideChar)(UINT codePage, DWORD flags, LPCSTR bytes, int byteLength, LPWSTR wide,
                                     int wideCapacity);
};

// Loads wlanapi.dll and looks up the six WLAN calls the tray program needs
// and the applet's calls the system has, and iphlpapi.dll's link speed
// where the system has it. Returns false, with every WLAN pointer and the
// modules null, when wlanapi.dll or one of the six is missing. The
// conversion pointers are left as they are.
bool LoadWlanApi(WlanEntryPoints* api);
// Frees the libraries LoadWlanApi loaded and clears their pointers.
void UnloadWlanApi(WlanEntryPoints* api);

}  // namespace tavrowlan

#endif
