// FilePaths.cpp - file locations and whole-file reads and appends, on Win32
// calls that Windows 95/98 and NT 4 have, in their ANSI forms.
#include "FilePaths.h"

#include "common/Library.h"
#include "common/LogFile.h"

#include <windows.h>

#include <vector>

namespace tavro {

std::string EnvironmentValue(const char* name) {
    DWORD needed = GetEnvironmentVariableA(name, nullptr, 0);
    if (needed == 0) return std::string();
    std::vector<char> buf(needed + 1);
    DWORD got = GetEnvironmentVariableA(name, buf.data(), static_cast<DWORD>(buf.size()));
    if (got == 0 || got >= buf.size()) return std::string();
    return std::string(buf.data(), got);
}

// Wine offers this conversion from kernel32; on Windows it does not exist.
static std::string UnixToWindows(const std::string& unixPath) {
    typedef WCHAR*(CDECL * ToDosName)(const char*);
    ToDosName toDos = FindLoadedFunction<ToDosName>("kernel32.dll", "wine_get_dos_file_name");
    if (!toDos) return unixPath;
    WCHAR* dos = toDos(unixPath.c_str());
    if (!dos) return unixPath;
    std::string result;
    int bytes = WideCharToMultiByte(CP_ACP, 0, dos, -1, nullptr, 0, nullptr, nullptr);
    if (bytes > 0) {
        std::vector<char> ansi(bytes);
        WideCharToMultiByte(CP_ACP, 0, dos, -1, ansi.data(), bytes, nullptr, nullptr);
        result = ansi.data();
    }
    HeapFree(GetProcessHeap(), 0, dos);
    return result.empty() ? unixPath : result;
}

std::string ResolvePath(const std::string& path) {
    if (path.empty()) return path;
    std::string p = path[0] == '/' ? UnixToWindows(path) : path;
    DWORD needed = GetFullPathNameA(p.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return p;
    std::vector<char> buf(needed + 1);
    DWORD got = GetFullPathNameA(p.c_str(), static_cast<DWORD>(buf.size()), buf.data(), nullptr);
    if (got == 0 || got >= buf.size()) return p;
    return std::string(buf.data(), got);
}

std::string BesideThisModule(const char* fileName) {
    // The module that holds this code is the allocation this function lies in.
    MEMORY_BASIC_INFORMATION memory;
    if (!VirtualQuery(reinterpret_cast<void*>(&BesideThisModule), &memory, sizeof memory)) return fileName;
    HMODULE self = static_cast<HMODULE>(memory.AllocationBase);
    char buf[MAX_PATH + 1] = {};
    DWORD got = GetModuleFileNameA(self, buf, MAX_PATH);
    if (got == 0 || got >= MAX_PATH) return fileName;
    std::string path(buf, got);
    size_t slash = path.find_last_of("\\/");
    return (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + fileName;
}

bool ReadWholeFile(const std::string& path, std::string& contents) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = false;
    DWORD high = 0;
    const DWORD size = GetFileSize(file, &high);
    if (size != INVALID_FILE_SIZE && high == 0 && size <= (1 << 20)) {
        contents.assign(size, '\0');
        DWORD got = 0;
        ok = contents.empty() || ReadFile(file, &contents[0], size, &got, nullptr);
        if (ok) contents.resize(got);
    }
    CloseHandle(file);
    return ok;
}

void AppendLine(const std::string& path, const std::string& line) {
    const std::string text = line + "\n";
    AppendToFile(path.c_str(), text.data(), static_cast<DWORD>(text.size()));
}

}  // namespace tavro
