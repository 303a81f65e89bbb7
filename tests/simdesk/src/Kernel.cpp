// Kernel services of the simulated desktop: named mutexes, errors, version,
// clock, module names and loadable modules.
#include "State.h"

#include <algorithm>
#include <cstring>

namespace sim {

namespace {

constexpr DWORD kErrorNotOwner = 288;
constexpr DWORD kErrorModNotFound = 126;
constexpr DWORD kErrorProcNotFound = 127;
HINSTANCE const kProgramInstance = reinterpret_cast<HINSTANCE>(0x00400000);
HMODULE const kKernelModule = reinterpret_cast<HMODULE>(0x7C800000);
constexpr DWORD kFirstVersionWithDllDirectory = 0x0501;  // Windows XP: major 5, minor 1

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

// Where a module registered under `fileName` lies: a bare name beside the program.
std::string ModuleKey(const std::string& fileName) {
    if (fileName.find('\\') != std::string::npos) return Lower(fileName);
    return Lower(FolderOf(S().modulePath) + "\\" + fileName);
}

// The full paths LoadLibraryA tries for `fileName`, in order.
std::vector<std::string> SearchPaths(const std::string& fileName) {
    if (fileName.find('\\') != std::string::npos) return {Lower(fileName)};
    std::vector<std::string> folders = {FolderOf(S().modulePath)};
    Process::Thread* t = CurrentThread();
    if (!t || t->currentFolderSearched) folders.push_back(Desktop::CurrentFolder());
    for (const char* folder : {Desktop::SystemFolder(), Desktop::WindowsFolder(), Desktop::PathFolder()})
        folders.push_back(folder);
    std::vector<std::string> paths;
    for (const std::string& folder : folders) paths.push_back(Lower(folder + "\\" + fileName));
    return paths;
}

bool HasDllDirectory() {
    const DWORD version = S().version;
    if (version & 0x80000000) return false;  // Windows 95, 98 and Me
    return ((version & 0xFF) << 8 | (version >> 8 & 0xFF)) >= kFirstVersionWithDllDirectory;
}

BOOL WINAPI SetDllDirectoryA(LPCSTR folder) {
    Trace("SetDllDirectoryA", "\"%s\"", folder ? folder : "(null)");
    // Only the empty text is modelled: it takes the current folder out of the search.
    CurrentThread()->currentFolderSearched = !(folder && !*folder);
    return TRUE;
}

UINT CopyFolder(const char* folder, LPSTR buffer, UINT size) {
    const UINT length = static_cast<UINT>(std::strlen(folder));
    if (!buffer || size <= length) return length + 1;  // the size it needs
    std::memcpy(buffer, folder, length + 1);
    return length;
}

}  // namespace

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), ::tolower);
    return text;
}

void Desktop::RegisterModule(const std::string& fileName, std::map<std::string, FARPROC> exports) {
    state_->modules[ModuleKey(fileName)] = Module{std::move(exports), 0};
}

int Desktop::LoadedModules() const { return static_cast<int>(state_->moduleHandles.size()); }

int Desktop::ModuleLoads(const std::string& fileName) const {
    auto it = state_->modules.find(ModuleKey(fileName));
    return it == state_->modules.end() ? 0 : it->second.loads;
}

bool CloseMutexHandle(HANDLE handle) {
    auto& s = S();
    auto it = s.mutexHandles.find(handle);
    if (it == s.mutexHandles.end()) return false;
    Mutex* m = it->second;
    s.mutexHandles.erase(it);
    for (Process::Thread* t : s.threads) {
        auto& handles = t->kernelHandles;
        handles.erase(std::remove(handles.begin(), handles.end(), handle), handles.end());
    }
    if (--m->handles == 0) {
        for (auto mi = s.mutexes.begin(); mi != s.mutexes.end(); ++mi)
            if (mi->second.get() == m) {
                s.mutexes.erase(mi);
                break;
            }
    }
    return true;
}

int Desktop::OpenMutexHandles() const { return static_cast<int>(state_->mutexHandles.size()); }

}  // namespace sim

using namespace sim;

HANDLE WINAPI CreateMutexA(LPSECURITY_ATTRIBUTES, BOOL initialOwner, LPCSTR name) {
    auto& s = S();
    if (TraceFails("CreateMutexA", "%d, \"%s\"", initialOwner, name ? name : "")) {
        SetError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    std::string key = name ? name : "";
    Mutex* mutex = nullptr;
    bool existed = false;
    auto it = key.empty() ? s.mutexes.end() : s.mutexes.find(key);
    if (it != s.mutexes.end()) {
        mutex = it->second.get();
        existed = true;
    } else {
        auto created = std::make_unique<Mutex>();
        mutex = created.get();
        s.mutexes[key.empty() ? "<unnamed>" + std::to_string(s.nextHandle) : key] = std::move(created);
        if (initialOwner) {
            mutex->owner = CurrentThread();
            mutex->ownCount = 1;
        }
    }
    HANDLE handle = s.NewHandle<HANDLE>();
    ++mutex->handles;
    s.mutexHandles[handle] = mutex;
    if (Process::Thread* t = CurrentThread()) t->kernelHandles.push_back(handle);
    SetError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

BOOL WINAPI ReleaseMutex(HANDLE handle) {
    Trace("ReleaseMutex", "%p", handle);
    auto it = S().mutexHandles.find(handle);
    if (it == S().mutexHandles.end()) {
        SetError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    Mutex* m = it->second;
    if (m->owner != CurrentThread() || m->ownCount == 0) {
        SetError(kErrorNotOwner);
        return FALSE;
    }
    if (--m->ownCount == 0) m->owner = nullptr;
    return TRUE;
}

BOOL WINAPI CloseHandle(HANDLE handle) {
    Trace("CloseHandle", "%p", handle);
    if (CloseMutexHandle(handle) || CloseTokenHandle(handle)) return TRUE;
    SetError(ERROR_INVALID_HANDLE);
    return FALSE;
}

DWORD WINAPI GetLastError(void) {
    Called("GetLastError");
    Process::Thread* t = CurrentThread();
    return t ? t->lastError : S().driverLastError;
}

void WINAPI SetLastError(DWORD error) {
    Called("SetLastError");
    SetError(error);
}

DWORD WINAPI GetVersion(void) {
    Trace("GetVersion");
    return S().version;
}

DWORD WINAPI GetTickCount(void) {
    Called("GetTickCount");
    return S().now;
}

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) {
    Called("GetModuleHandleA");
    if (!moduleName) return kProgramInstance;
    if (HMODULE system = SystemModule(moduleName)) return system;
    return Lower(moduleName) == "kernel32.dll" ? kKernelModule : nullptr;
}

UINT WINAPI GetSystemDirectoryA(LPSTR buffer, UINT size) {
    if (CalledFails("GetSystemDirectoryA")) return 0;
    return CopyFolder(Desktop::SystemFolder(), buffer, size);
}

UINT WINAPI GetWindowsDirectoryA(LPSTR buffer, UINT size) {
    if (CalledFails("GetWindowsDirectoryA")) return 0;
    return CopyFolder(Desktop::WindowsFolder(), buffer, size);
}

DWORD WINAPI GetModuleFileNameA(HMODULE, LPSTR fileName, DWORD size) {
    if (TraceFails("GetModuleFileNameA") || !fileName || size == 0) return 0;
    const std::string& path = S().modulePath;
    if (path.size() >= size) {
        // Like Windows XP: the name is cut to the buffer and not terminated.
        std::memcpy(fileName, path.data(), size);
        return size;
    }
    std::memcpy(fileName, path.c_str(), path.size() + 1);
    return static_cast<DWORD>(path.size());
}

HMODULE WINAPI LoadLibraryA(LPCSTR fileName) {
    auto& s = S();
    const bool fails = TraceFails("LoadLibraryA", "\"%s\"", fileName ? fileName : "");
    std::string key;
    auto it = s.modules.end();
    for (const std::string& path : SearchPaths(fileName ? fileName : ""))
        if ((it = s.modules.find(path)) != s.modules.end()) {
            key = path;
            break;
        }
    if (fails || it == s.modules.end()) {
        SetError(kErrorModNotFound);
        return nullptr;
    }
    for (auto& [handle, name] : s.moduleHandles)
        if (name == key) {
            ++it->second.loads;
            return handle;
        }
    HMODULE handle = s.NewHandle<HMODULE>();
    s.moduleHandles[handle] = key;
    it->second.loads = 1;
    return handle;
}

FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR procName) {
    auto& s = S();
    const bool fails = TraceFails("GetProcAddress", "%p, \"%s\"", (void*)module, procName ? procName : "");
    if (module == kKernelModule) {
        if (!fails && procName && std::strcmp(procName, "SetDllDirectoryA") == 0 && HasDllDirectory())
            return reinterpret_cast<FARPROC>(&SetDllDirectoryA);
        SetError(kErrorProcNotFound);
        return nullptr;
    }
    if (module == SystemModule("USER32.DLL") || module == SystemModule("ADVAPI32.DLL")) {
        FARPROC address = fails || !procName ? nullptr : SystemExport(module, procName);
        if (!address) SetError(kErrorProcNotFound);
        return address;
    }
    auto handle = s.moduleHandles.find(module);
    if (handle == s.moduleHandles.end() || !procName) {
        SetError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    const Module& m = s.modules.at(handle->second);
    auto it = m.exports.find(procName);
    if (fails || it == m.exports.end()) {
        SetError(kErrorProcNotFound);
        return nullptr;
    }
    return it->second;
}

BOOL WINAPI FreeLibrary(HMODULE module) {
    auto& s = S();
    Trace("FreeLibrary", "%p", (void*)module);
    auto handle = s.moduleHandles.find(module);
    if (handle == s.moduleHandles.end()) {
        SetError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    Module& m = s.modules.at(handle->second);
    if (--m.loads == 0) s.moduleHandles.erase(handle);
    return TRUE;
}

UINT WINAPI GetACP(void) {
    Called("GetACP");
    return S().codePage;
}

BOOL WINAPI IsDBCSLeadByte(BYTE testChar) {
    Called("IsDBCSLeadByte");
    return S().leadBytes[testChar] ? TRUE : FALSE;
}
