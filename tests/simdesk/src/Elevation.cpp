// Elevation and the message filter of Windows Vista and later, as a program
// that looks them up at run time meets them: USER32.DLL and ADVAPI32.DLL as
// GetModuleHandleA finds them (loaded in every process of the program), their
// exports on each Windows, the process's token, and the filter calls.
//
// ChangeWindowMessageFilter exists from Vista (6.0) on, for the whole process;
// ChangeWindowMessageFilterEx from Windows 7 (6.1) on, for one window of the
// calling process. OpenProcessToken and GetTokenInformation are exported by
// every NT, and by Windows 95/98/Me as stubs that fail with
// ERROR_CALL_NOT_IMPLEMENTED; the TokenElevation class is answered from Vista
// on and refused before with ERROR_INVALID_PARAMETER.
#include "State.h"

#include <cstring>

namespace sim {

namespace {

HMODULE const kUser32Module = reinterpret_cast<HMODULE>(0x77D40000);
HMODULE const kAdvapi32Module = reinterpret_cast<HMODULE>(0x77DD0000);
HANDLE const kCurrentProcess = reinterpret_cast<HANDLE>(-1);
constexpr DWORD kErrorInsufficientBuffer = 122;
constexpr DWORD kTokenQuery = 0x0008;
constexpr int kTokenElevation = 20;
constexpr DWORD kMsgfltReset = 0, kMsgfltAllow = 1, kMsgfltDisallow = 2;  // MSGFLT_ADD 1, MSGFLT_REMOVE 2
constexpr DWORD kChangeFilterStructSize = 8;                              // CHANGEFILTERSTRUCT

bool NineX() { return (S().version & 0x80000000) != 0; }
// Major and minor version as 0xMMmm, 0 on Windows 95/98/Me.
DWORD NtVersion() { return NineX() ? 0 : (S().version & 0xFF) << 8 | (S().version >> 8 & 0xFF); }

// A function as GetProcAddress hands it out.
template <class Function>
FARPROC Export(Function* function) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}

BOOL Fail(DWORD error) {
    SetError(error);
    return FALSE;
}

BOOL WINAPI ChangeWindowMessageFilter(UINT message, DWORD flag) {
    BOOL result = TRUE;
    if (TraceFails("ChangeWindowMessageFilter", "0x%X, %lu", message, flag))
        result = Fail(ERROR_ACCESS_DENIED);
    else if (flag != kMsgfltAllow && flag != kMsgfltDisallow)
        result = Fail(ERROR_INVALID_PARAMETER);
    S().messageFilterCalls.push_back({nullptr, message, flag, result});
    return result;
}

BOOL WINAPI ChangeWindowMessageFilterEx(HWND window, UINT message, DWORD action, void* status) {
    BOOL result = TRUE;
    Window* w = FindWindowObject(window);
    if (TraceFails("ChangeWindowMessageFilterEx", "%p, 0x%X, %lu, %p", (void*)window, message, action, status))
        result = Fail(ERROR_ACCESS_DENIED);
    else if (!w)
        result = Fail(ERROR_INVALID_WINDOW_HANDLE);
    else if (w->thread != CurrentThread())
        result = Fail(ERROR_ACCESS_DENIED);  // another process's window
    else if (action != kMsgfltReset && action != kMsgfltAllow && action != kMsgfltDisallow)
        result = Fail(ERROR_INVALID_PARAMETER);
    else if (status && *static_cast<DWORD*>(status) != kChangeFilterStructSize)
        result = Fail(ERROR_INVALID_PARAMETER);
    S().messageFilterCalls.push_back({window, message, action, result});
    return result;
}

BOOL WINAPI OpenProcessToken(HANDLE process, DWORD access, HANDLE* token) {
    if (TraceFails("OpenProcessToken", "%p, 0x%lX", process, access)) return Fail(ERROR_ACCESS_DENIED);
    if (NineX()) return Fail(ERROR_CALL_NOT_IMPLEMENTED);
    if (process != kCurrentProcess || !token) return Fail(ERROR_INVALID_HANDLE);
    *token = S().NewHandle<HANDLE>();
    S().tokenHandles[*token] = access;
    return TRUE;
}

BOOL WINAPI GetTokenInformation(HANDLE token, int infoClass, void* info, DWORD size, DWORD* needed) {
    if (TraceFails("GetTokenInformation", "%p, %d, %lu", token, infoClass, size)) return Fail(ERROR_ACCESS_DENIED);
    if (NineX()) return Fail(ERROR_CALL_NOT_IMPLEMENTED);
    auto it = S().tokenHandles.find(token);
    if (it == S().tokenHandles.end()) return Fail(ERROR_INVALID_HANDLE);
    if (!(it->second & kTokenQuery)) return Fail(ERROR_ACCESS_DENIED);
    if (infoClass != kTokenElevation || NtVersion() < 0x0600) return Fail(ERROR_INVALID_PARAMETER);
    if (!needed) return Fail(ERROR_INVALID_PARAMETER);
    *needed = sizeof(DWORD);
    if (!info || size < sizeof(DWORD)) return Fail(kErrorInsufficientBuffer);
    const DWORD elevated = S().elevated ? 1 : 0;
    std::memcpy(info, &elevated, sizeof elevated);
    return TRUE;
}

}  // namespace

HMODULE SystemModule(const char* name) {
    const std::string lower = Lower(name ? name : "");
    if (lower == "user32.dll" || lower == "user32") return kUser32Module;
    if (lower == "advapi32.dll" || lower == "advapi32") return kAdvapi32Module;
    return nullptr;
}

FARPROC SystemExport(HMODULE module, const char* name) {
    const std::string proc = name ? name : "";
    if (module == kUser32Module) {
        if (proc == "ChangeWindowMessageFilter" && NtVersion() >= 0x0600) return Export(&ChangeWindowMessageFilter);
        if (proc == "ChangeWindowMessageFilterEx" && NtVersion() >= 0x0601) return Export(&ChangeWindowMessageFilterEx);
    } else if (module == kAdvapi32Module) {
        if (proc == "OpenProcessToken") return Export(&OpenProcessToken);
        if (proc == "GetTokenInformation") return Export(&GetTokenInformation);
    }
    return nullptr;
}

bool CloseTokenHandle(HANDLE handle) { return S().tokenHandles.erase(handle) > 0; }

void Desktop::SetElevated(bool elevated) { state_->elevated = elevated; }
const std::vector<MessageFilterCall>& Desktop::MessageFilterCalls() const { return state_->messageFilterCalls; }
int Desktop::OpenTokenHandles() const { return static_cast<int>(state_->tokenHandles.size()); }

std::ostream& operator<<(std::ostream& out, const MessageFilterCall& call) {
    return out << (call.window ? "ChangeWindowMessageFilterEx(window, " : "ChangeWindowMessageFilter(") << "0x"
               << std::hex << call.message << std::dec << ", " << call.action << ") -> " << call.result;
}

}  // namespace sim

using namespace sim;

HANDLE WINAPI GetCurrentProcess(void) {
    Called("GetCurrentProcess");
    return kCurrentProcess;
}
