// Version Information: the versions of the product's binaries read from
// their version resources, which library serves the adapters, the driver's
// and the WLAN API's versions and the Windows version.
#include "Pages.h"
#include "resource.h"

#include <vector>

namespace {

typedef DWORD(WINAPI* GetSizeFunction)(LPCSTR, LPDWORD);
typedef BOOL(WINAPI* GetInfoFunction)(LPCSTR, DWORD, DWORD, LPVOID);
typedef BOOL(WINAPI* QueryFunction)(LPCVOID, LPCSTR, LPVOID*, PUINT);

// The file version of a binary's VERSIONINFO ("1.2.0.17"), "no version" when
// it has none, "not found" when the file is not there; version.dll is the
// system's, loaded by its full path.
std::string FileVersion(const char* path) {
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) return "not found";
    HMODULE version = LoadSystemLibrary("version.dll");
    if (!version) return kNotAvailable;
    auto getSize = FindFunction<GetSizeFunction>(version, "GetFileVersionInfoSizeA");
    auto getInfo = FindFunction<GetInfoFunction>(version, "GetFileVersionInfoA");
    auto query = FindFunction<QueryFunction>(version, "VerQueryValueA");
    std::string result = "no version";
    DWORD handle = 0;
    const DWORD size = getSize && getInfo && query ? getSize(path, &handle) : 0;
    if (size) {
        std::vector<char> block(size);
        void* value = nullptr;
        UINT length = 0;
        if (getInfo(path, 0, size, &block[0]) && query(&block[0], "\\", &value, &length) &&
            length >= sizeof(VS_FIXEDFILEINFO)) {
            const VS_FIXEDFILEINFO* info = static_cast<const VS_FIXEDFILEINFO*>(value);
            char text[48];
            wsprintfA(text, "%u.%u.%u.%u", HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                      HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS));
            result = text;
        }
    }
    FreeLibrary(version);
    return result;
}

std::string ModulePath(HMODULE module) {
    char path[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
    return length && length < MAX_PATH ? path : "";
}

// The version of a loaded module, else of the file of that name beside the program.
std::string VersionOf(HMODULE loaded, const char* name) {
    const std::string path = loaded ? ModulePath(loaded) : ProgramFolder() + name;
    return path.empty() ? kNotAvailable : FileVersion(path.c_str());
}

std::string WindowsVersion() {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(&info)) return kNotAvailable;
    const bool nt = info.dwPlatformId == VER_PLATFORM_WIN32_NT;
    char text[256];
    wsprintfA(text, "%s %lu.%lu, build %lu%s%s", nt ? "Windows NT" : "Windows", info.dwMajorVersion, info.dwMinorVersion,
              nt ? info.dwBuildNumber : LOWORD(info.dwBuildNumber), info.szCSDVersion[0] ? ", " : "",
              info.szCSDVersion);
    return text;
}

void ShowVersions(HWND page, const AppletContext& context) {
    SetText(page, IDC_VERSION_PROGRAM, VersionOf(GetModuleHandleA(nullptr), "ZEVARIDA.EXE"));
    TAVRONET_LIBRARY library;
    const unsigned long code = context.data->GetLibrary(&library);
    const char* kind = code ? "kind not known"
                       : library.kind == TAVRONET_KIND_SIMULATOR ? "simulated adapters"
                       : library.kind == TAVRONET_KIND_WLAN       ? "real adapters"
                                                                  : "kind not known";
    SetText(page, IDC_VERSION_LIBRARY, VersionOf(GetModuleHandleA("TavroApi.DLL"), "TavroApi.DLL") + " (" + kind + ")");
    SetText(page, IDC_VERSION_APPLET, VersionOf(context.module, "TAVROCFG.CPL"));
    SetText(page, IDC_VERSION_HELP, VersionOf(GetModuleHandleA("TAVROCSH.DLL"), "TAVROCSH.DLL"));
    SetText(page, IDC_VERSION_DRIVER, code == 0 && library.driverVersion[0] ? library.driverVersion : kNotAvailable);
    char wlan[64];
    wsprintfA(wlan, "%lu", library.wlanApiVersion);
    SetText(page, IDC_VERSION_WLAN, code ? kNotAvailable
                                    : library.wlanApiVersion ? wlan
                                    : library.kind == TAVRONET_KIND_SIMULATOR ? "not used (simulated adapters)"
                                                                              : "none");
    SetText(page, IDC_VERSION_WINDOWS, WindowsVersion());
}

INT_PTR CALLBACK VersionPageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
    AppletContext* context = PageContext(page, message, lParam);
    if (message == WM_INITDIALOG) {
        ShowVersions(page, *context);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

const PageInfo kVersionPage = {IDD_VERSION, "Version Information", VersionPageProc};
