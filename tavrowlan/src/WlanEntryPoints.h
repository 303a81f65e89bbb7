// The calls of the Native Wifi API that the library makes, as a table of
// function pointers. The DLL fills it from wlanapi.dll at run time, so the
// library loads on every Windows and simply finds no adapter where the API
// is absent; host tests fill it with a fake of the WLAN service.
#ifndef TAVROWLAN_WLANENTRYPOINTS_H
#define TAVROWLAN_WLANENTRYPOINTS_H

#include <windows.h>
#include <wlanapi.h>

namespace tavrowlan {

struct WlanEntryPoints {
    HMODULE module;  // wlanapi.dll while it is loaded; null for a table filled otherwise
    DWORD(WINAPI* WlanOpenHandle)(DWORD clientVersion, PVOID reserved, PDWORD negotiatedVersion, PHANDLE client);
    DWORD(WINAPI* WlanCloseHandle)(HANDLE client, PVOID reserved);
    DWORD(WINAPI* WlanEnumInterfaces)(HANDLE client, PVOID reserved, PWLAN_INTERFACE_INFO_LIST* list);
    DWORD(WINAPI* WlanQueryInterface)(HANDLE client, const GUID* interfaceGuid, WLAN_INTF_OPCODE opCode,
                                      PVOID reserved, PDWORD dataSize, PVOID* data,
                                      PWLAN_OPCODE_VALUE_TYPE valueType);
    DWORD(WINAPI* WlanSetInterface)(HANDLE client, const GUID* interfaceGuid, WLAN_INTF_OPCODE opCode,
                                    DWORD dataSize, const PVOID data, PVOID reserved);
    VOID(WINAPI* WlanFreeMemory)(PVOID memory);
    // Not part of the WLAN API: kernel32's conversion into the ANSI code page.
    int(WINAPI* WideCharToMultiByte)(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, LPSTR bytes,
                                     int byteCapacity, LPCSTR defaultChar, LPBOOL usedDefault);
};

// Loads wlanapi.dll and looks up the six WLAN calls. Returns false, with
// every WLAN pointer and the module null, when the library or one of the
// calls is missing. The conversion pointer is left as it is.
bool LoadWlanApi(WlanEntryPoints* api);
// Frees wlanapi.dll if LoadWlanApi loaded it and clears the WLAN pointers.
void UnloadWlanApi(WlanEntryPoints* api);

}  // namespace tavrowlan

#endif
