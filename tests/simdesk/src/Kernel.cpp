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

}  // namespace

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), ::tolower);
    return text;
}

void Desktop::RegisterModule(const std::string& fileName, std::map<std::string, FARPROC> exports) {
    state_->modules[Lower(fileName)] = Module{std::move(exports), 0};
}

int Desktop::LoadedModules() const { return static_cast<int>(state_->moduleHandles.size()); }

int Desktop::ModuleLoads(const std::string& fileName) const {
    auto it = state_->modules.find(Lower(fileName));
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
    if (CloseMutexHandle(handle)) return TRUE;
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
    return moduleName ? nullptr : kProgramInstance;
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
    std::string key = Lower(fileName ? fileName : "");
    auto it = s.modules.find(key);
    if (TraceFails("LoadLibraryA", "\"%s\"", fileName ? fileName : "") || it == s.modules.end()) {
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
    return S().leadBytes.count(testChar) ? TRUE : FALSE; }
