// FilePaths.cpp - file locations and whole-file reads and appends, on Win32 calls only.
#include "FilePaths.h"

#include <windows.h>

#include <vector>

namespace tavro {

std::wstring environmentValue(const wchar_t* name) {
    DWORD needed = GetEnvironmentVariableW(name, nullptr, 0);
    if (needed == 0) return std::wstring();
    std::vector<wchar_t> buf(needed + 1);
    DWORD got = GetEnvironmentVariableW(name, buf.data(), static_cast<DWORD>(buf.size()));
    if (got == 0 || got >= buf.size()) return std::wstring();
    return std::wstring(buf.data(), got);
}

// Wine offers this conversion from kernel32; on Windows it does not exist.
static std::wstring unixToWindows(const std::wstring& unixPath) {
    typedef WCHAR*(CDECL * ToDosName)(const char*);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    ToDosName toDos = kernel ? reinterpret_cast<ToDosName>(reinterpret_cast<void*>(
                                   GetProcAddress(kernel, "wine_get_dos_file_name")))
                             : nullptr;
    if (!toDos) return unixPath;
    int bytes = WideCharToMultiByte(CP_UTF8, 0, unixPath.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return unixPath;
    std::vector<char> utf8(bytes);
    WideCharToMultiByte(CP_UTF8, 0, unixPath.c_str(), -1, utf8.data(), bytes, nullptr, nullptr);
    WCHAR* dos = toDos(utf8.data());
    if (!dos) return unixPath;
    std::wstring result(dos);
    HeapFree(GetProcessHeap(), 0, dos);
    return result;
}

std::wstring resolvePath(const std::wstring& path) {
    if (path.empty()) return path;
    std::wstring p = path[0] == L'/' ? unixToWindows(path) : path;
    DWORD needed = GetFullPathNameW(p.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return p;
    std::vector<wchar_t> buf(needed + 1);
    DWORD got = GetFullPathNameW(p.c_str(), static_cast<DWORD>(buf.size()), buf.data(), nullptr);
    if (got == 0 || got >= buf.size()) return p;
    return std::wstring(buf.data(), got);
}

std::wstring besideThisModule(const wchar_t* fileName) {
    HMODULE self = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(&besideThisModule), &self))
        return fileName;
    std::vector<wchar_t> buf(MAX_PATH);
    for (;;) {
        DWORD got = GetModuleFileNameW(self, buf.data(), static_cast<DWORD>(buf.size()));
        if (got == 0) return fileName;
        if (got < buf.size()) break;
        if (buf.size() >= 32768) return fileName;
        buf.resize(buf.size() * 2);
    }
    std::wstring path(buf.data());
    size_t slash = path.find_last_of(L"\\/");
    return (slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1)) + fileName;
}

bool readWholeFile(const std::wstring& path, std::string& contents) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = false;
    LARGE_INTEGER size;
    if (GetFileSizeEx(file, &size) && size.QuadPart <= (1 << 20)) {
        contents.assign(static_cast<size_t>(size.QuadPart), '\0');
        DWORD got = 0;
        ok = contents.empty() ||
             ReadFile(file, &contents[0], static_cast<DWORD>(contents.size()), &got, nullptr);
        if (ok) contents.resize(got);
    }
    CloseHandle(file);
    return ok;
}

void appendLine(const std::wstring& path, const std::string& line) {
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

}  // namespace tavro
