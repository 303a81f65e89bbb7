// The message filter of an elevated program on Vista and later, opened to its
// own user (tray/MessageFilter.h).
#include "tray/MessageFilter.h"

#include "common/Library.h"
#include "tray/TrayMessages.h"

#include <initializer_list>

namespace {

typedef BOOL(WINAPI* ChangeWindowFilterProc)(HWND window, UINT message, DWORD action, void* status);
typedef BOOL(WINAPI* ChangeProcessFilterProc)(UINT message, DWORD flag);
typedef BOOL(WINAPI* OpenProcessTokenProc)(HANDLE process, DWORD access, HANDLE* token);
typedef BOOL(WINAPI* GetTokenInformationProc)(HANDLE token, int infoClass, void* info, DWORD size, DWORD* needed);

// MSGFLT_ALLOW of the window's filter, which is MSGFLT_ADD of the process's.
const DWORD kAllowMessage = 1;
const DWORD kTokenQuery = 0x0008;
// TokenElevation, answered from Vista on with a TOKEN_ELEVATION: one DWORD.
const int kTokenElevation = 20;

// Whether the process holds an administrator's full token (UAC's elevation).
bool RunsElevated() {
    auto openToken = FindLoadedFunction<OpenProcessTokenProc>("ADVAPI32.DLL", "OpenProcessToken");
    auto tokenInformation = FindLoadedFunction<GetTokenInformationProc>("ADVAPI32.DLL", "GetTokenInformation");
    HANDLE token = nullptr;
    if (!openToken || !tokenInformation || !openToken(GetCurrentProcess(), kTokenQuery, &token)) return false;
    DWORD elevated = 0;
    DWORD size = 0;
    const BOOL read = tokenInformation(token, kTokenElevation, &elevated, sizeof elevated, &size);
    CloseHandle(token);
    return read && elevated;
}

}  // namespace

void LetUserMessagesThrough(HWND window, const RegisteredMessages& messages) {
    auto allowForWindow = FindLoadedFunction<ChangeWindowFilterProc>("USER32.DLL", "ChangeWindowMessageFilterEx");
    auto allowForProcess = allowForWindow
                               ? nullptr
                               : FindLoadedFunction<ChangeProcessFilterProc>("USER32.DLL", "ChangeWindowMessageFilter");
    if ((!allowForWindow && !allowForProcess) || !RunsElevated()) return;
    for (UINT message : {messages.stop, messages.start, messages.taskbarCreated}) {
        if (!message) continue;  // not registered: no message to let through
        if (allowForWindow)
            allowForWindow(window, message, kAllowMessage, nullptr);
        else
            allowForProcess(message, kAllowMessage);
    }
}
