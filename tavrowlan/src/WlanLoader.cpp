// Loading wlanapi.dll at run time: Windows 98, NT 4, 2000 and XP before its
// second service pack have no such library, and the library must load there.
// It is loaded by its full path in the system folder only, so that a
// wlanapi.dll in the current folder or on PATH is never run.
#include "WlanEntryPoints.h"

#include <string.h>

namespace tavrowlan {

namespace {

template <typename Pointer>
bool Find(HMODULE module, const char* name, Pointer* pointer) {
    *pointer = reinterpret_cast<Pointer>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return *pointer != nullptr;
}

// Every WLAN pointer and the module null; kernel32's conversion stays.
void ClearWlanCalls(WlanEntryPoints* api) {
    WlanEntryPoints cleared = {};
    cleared.WideCharToMultiByte = api->WideCharToMultiByte;
    *api = cleared;
}

// The applet's calls, each left null where the system lacks it.
void FindOptionalCalls(HMODULE module, WlanEntryPoints* api) {
    Find(module, "WlanScan", &api->WlanScan);
    Find(module, "WlanGetAvailableNetworkList", &api->WlanGetAvailableNetworkList);
    Find(module, "WlanGetNetworkBssList", &api->WlanGetNetworkBssList);
    Find(module, "WlanConnect", &api->WlanConnect);
    Find(module, "WlanDisconnect", &api->WlanDisconnect);
    Find(module, "WlanGetProfileList", &api->WlanGetProfileList);
    Find(module, "WlanGetProfile", &api->WlanGetProfile);
    Find(module, "WlanSetProfilePosition", &api->WlanSetProfilePosition);
    Find(module, "WlanDeleteProfile", &api->WlanDeleteProfile);
    Find(module, "WlanRegisterNotification", &api->WlanRegisterNotification);
}

// "<system folder>\wlanapi.dll" into `path`; false when the system folder
// cannot be read or the name does not fit.
bool SystemLibraryPath(char* path, UINT capacity) {
    static const char kName[] = "\\wlanapi.dll";
    const UINT length = GetSystemDirectoryA(path, capacity);
    if (length == 0 || length + sizeof kName > capacity) return false;
    memcpy(path + length, kName, sizeof kName);
    return true;
}

}  // namespace

bool LoadWlanApi(WlanEntryPoints* api) {
    ClearWlanCalls(api);
    char path[MAX_PATH];
    if (!SystemLibraryPath(path, MAX_PATH)) return false;
    HMODULE module = LoadLibraryA(path);
    if (!module) return false;
    const bool complete = Find(module, "WlanOpenHandle", &api->WlanOpenHandle) &&
                          Find(module, "WlanCloseHandle", &api->WlanCloseHandle) &&
                          Find(module, "WlanEnumInterfaces", &api->WlanEnumInterfaces) &&
                          Find(module, "WlanQueryInterface", &api->WlanQueryInterface) &&
                          Find(module, "WlanSetInterface", &api->WlanSetInterface) &&
                          Find(module, "WlanFreeMemory", &api->WlanFreeMemory);
    if (!complete) {
        ClearWlanCalls(api);
        FreeLibrary(module);
        return false;
    }
    FindOptionalCalls(module, api);
    api->module = module;
    return true;
}

void UnloadWlanApi(WlanEntryPoints* api) {
    HMODULE module = api->module;
    ClearWlanCalls(api);
    if (module) FreeLibrary(module);
}

}  // namespace tavrowlan
