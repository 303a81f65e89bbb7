// Version Information: the versions of the product's binaries read from
// their version resources, which library serves the adapters, the driver's
// and the WLAN API's versions and the Windows version.
#include "Pages.h"
#include "StatusWords.h"
#include "VersionWords.h"
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
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) return "Not found";
    HMODULE version = LoadSystemLibrary("version.dll");
    if (!version) return kNotAvailable;
    auto getSize = FindFunction<GetSizeFunction>(version, "GetFileVersionInfoSizeA");
    auto getInfo = FindFunction<GetInfoFunction>(version, "GetFileVersionInfoA");
    auto query = FindFunction<QueryFunction>(version, "VerQueryValueA");
    std::string result = "No version";
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

// Windows 98 names its second edition " A ".
std::string Trimmed(const char* text) {
    std::string t = text;
    while (!t.empty() && t.back() == ' ') t.pop_back();
    const size_t first = t.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : t.substr(first);
}

// The version ntdll's RtlGetVersion gives on the NT family, whatever the
// program's manifest says; false where there is none (95, 98, Me).
bool NtdllVersion(WindowsVersion* version) {
    struct VersionRecord {  // RTL_OSVERSIONINFOEXW
        ULONG size, major, minor, build, platform;
        WCHAR servicePack[128];
        USHORT servicePackMajor, servicePackMinor, suiteMask;
        UCHAR productType, reserved;
    };
    typedef LONG(WINAPI * GetVersionFunction)(VersionRecord*);
    auto get = FindFunction<GetVersionFunction>(GetModuleHandleA("ntdll.dll"), "RtlGetVersion");
    VersionRecord record = {};
    record.size = sizeof record;
    if (!get || get(&record) != 0) return false;
    *version = {record.platform,
                record.major,
                record.minor,
                record.build,
                record.productType ? record.productType : 1ul,
                Narrow(FieldText(reinterpret_cast<const TAVRONET_WCHAR*>(record.servicePack), 128))};
    return true;
}

std::string WindowsVersionText() {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(&info)) return kNotAvailable;
    const bool nt = info.dwPlatformId == VER_PLATFORM_WIN32_NT;
    const WindowsVersion reported = {info.dwPlatformId,
                                     info.dwMajorVersion,
                                     info.dwMinorVersion,
                                     nt ? info.dwBuildNumber : LOWORD(info.dwBuildNumber),
                                     1,
                                     Trimmed(info.szCSDVersion)};
    WindowsVersion fromNtdll;
    return WindowsName(TrueVersion(reported, NtdllVersion(&fromNtdll) ? &fromNtdll : nullptr));
}

void ShowVersions(HWND page, const AppletContext& context) {
    SetText(page, IDC_VERSION_PROGRAM, VersionOf(GetModuleHandleA(nullptr), "ZEVARIDA.EXE"));
    TAVRONET_LIBRARY library;
    const unsigned long code = context.data->GetLibrary(&library);
    const char* kind = code                                      ? "kind not known"
                       : library.kind == TAVRONET_KIND_SIMULATOR ? "simulated adapters"
                       : library.kind == TAVRONET_KIND_WLAN      ? "real adapters"
                                                                 : "kind not known";
    SetText(page, IDC_VERSION_LIBRARY, VersionOf(GetModuleHandleA("TavroApi.DLL"), "TavroApi.DLL") + " (" + kind + ")");
    SetText(page, IDC_VERSION_APPLET, VersionOf(context.module, "TAVROCFG.CPL"));
    SetText(page, IDC_VERSION_HELP, VersionOf(GetModuleHandleA("TAVROCSH.DLL"), "TAVROCSH.DLL"));
    SetText(page, IDC_VERSION_DRIVER, code == 0 && library.driverVersion[0] ? library.driverVersion : kNotAvailable);
    char wlan[64];
    wsprintfA(wlan, "Version %lu", library.wlanApiVersion);
    SetText(page, IDC_VERSION_WLAN,
            code                                      ? kNotAvailable
            : library.wlanApiVersion                  ? wlan
            : library.kind == TAVRONET_KIND_SIMULATOR ? "Not used (simulated adapters)"
                                                      : "None");
    SetText(page, IDC_VERSION_WINDOWS, WindowsVersionText());
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
