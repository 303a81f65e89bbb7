// Loading wlanapi.dll at run time: Windows 98, NT 4, 2000 and XP before its
// second service pack have no such library, and the library must load there.
// It is loaded by its full path in the system folder only, so that a
// wlanapi.dll in the current folder or on PATH is never run; so is
// iphlpapi.dll, whose link speeds only Vista and later have.
#include "WlanEntryPoints.h"

#include "common/Library.h"

namespace tavrowlan {

namespace {

template <typename Pointer>
bool Find(HMODULE module, const char* name, Pointer* pointer) {
    *pointer = FindFunction<Pointer>(module, name);
    return *pointer != nullptr;
}

// Every WLAN pointer and the modules null; kernel32's conversions stay.
void ClearWlanCalls(WlanEntryPoints* api) {
    WlanEntryPoints cleared = {};
    cleared.WideCharToMultiByte = api->WideCharToMultiByte;
    cleared.MultiByteToWideChar = api->MultiByteToWideChar;
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
    Find(module, "WlanReasonCodeToString", &api->WlanReasonCodeToString);
}

// iphlpapi.dll with both its calls, or neither.
void LoadIpHelper(WlanEntryPoints* api) {
    HMODULE module = LoadSystemLibrary("iphlpapi.dll");
    if (!module) return;
    if (Find(module, "ConvertInterfaceGuidToLuid", &api->ConvertInterfaceGuidToLuid) &&
        Find(module, "GetIfEntry2", &api->GetIfEntry2)) {
        api->ipHelper = module;
        return;
    }
    api->ConvertInterfaceGuidToLuid = nullptr;
    api->GetIfEntry2 = nullptr;
    FreeLibrary(module);
}

}  // namespace

bool LoadWlanApi(WlanEntryPoints* api) {
    ClearWlanCalls(api);
    HMODULE module = LoadSystemLibrary("wlanapi.dll");
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
    LoadIpHelper(api);
    return true;
}

void UnloadWlanApi(WlanEntryPoints* api) {
    HMODULE module = api->module, ipHelper = api->ipHelper;
    ClearWlanCalls(api);
    if (ipHelper) FreeLibrary(ipHelper);
    if (module) FreeLibrary(module);
}

}  // namespace tavrowlan
