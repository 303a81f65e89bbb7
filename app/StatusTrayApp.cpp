#include "app/StatusTrayApp.h"

#include "app/Broadcast.h"
#include "app/CommandLine.h"
#include "app/LibraryLoad.h"
#include "common/Library.h"
#include "framework/DataExchange.h"
#include "resource.h"
#include "tray/StatusTrayDlg.h"

#include <memory>

namespace {

const char kInstanceMutexName[] = "Quorvane Status Tray Applet";
const char kStopMessageName[] = "ZEVARIDA.EXE STOP";
const char kStartMessageName[] = "ZEVARIDA.EXE START";
const char kTaskbarCreatedName[] = "TaskbarCreated";
const char kHelpFileName[] = "ZEVARIDA.hlp";
const char kHelpLibraryName[] = "TAVROCSH.DLL";

typedef int(WINAPI* CshInitializeProc)(const char* helpFile, int flag);

bool IsStopRequest(const std::string& text) { return HasKeyword(text, "STOP") || HasKeyword(text, "REMOVE"); }

}  // namespace

CStatusTrayApp::CStatusTrayApp() {
    messages.stop = RegisterWindowMessageA(kStopMessageName);
    messages.start = RegisterWindowMessageA(kStartMessageName);
    messages.taskbarCreated = RegisterWindowMessageA(kTaskbarCreatedName);
}

CStatusTrayApp::~CStatusTrayApp() {
    if (helpLibrary) FreeLibrary(helpLibrary);
}

CStatusTrayApp& CStatusTrayApp::Get() { return *static_cast<CStatusTrayApp*>(CAppBase::Current()); }

bool CStatusTrayApp::DecideInstance() {
    const std::string request = commandLine;
    instanceMutex = CreateMutexA(nullptr, TRUE, kInstanceMutexName);
    if (instanceMutex && GetLastError() != ERROR_ALREADY_EXISTS) {
        if (!IsStopRequest(request)) return true;
        ReleaseMutex(instanceMutex);
        CloseHandle(instanceMutex);
        instanceMutex = nullptr;
        return false;
    }
    // Another instance runs (or the mutex could not be created): pass the
    // request on and end.
    if (IsStopRequest(request))
        BroadcastRegisteredMessage(kStopMessageName);
    else if (!HasKeyword(request, "START"))
        BroadcastRegisteredMessage(kStartMessageName);
    if (instanceMutex) CloseHandle(instanceMutex);
    instanceMutex = nullptr;
    return false;
}

void CStatusTrayApp::RunInstance() {
    if (!instanceMutex) return;
    SetHelpFile(kHelpFileName);

    std::unique_ptr<CStatusTrayDlg> window(new CStatusTrayDlg(commandLine, messages));
    mainWindow = window.get();
    window->DoModal();

    ReleaseMutex(instanceMutex);
    CloseHandle(instanceMutex);
    instanceMutex = nullptr;
    window.reset();
    mainWindow = nullptr;
}

void CStatusTrayApp::SetHelpFile(const char* name) {
    if (!name || !*name) return;
    helpFile = name;
    helpLibrary = LoadHelpLibrary(helpFile.c_str(), 1);
}

HMODULE CStatusTrayApp::LoadHelpLibrary(const char* file, int flag) {
    HMODULE library = LoadFamilyLibrary(kHelpLibraryName);
    if (!library) return nullptr;
    if (auto initialize = FindFunction<CshInitializeProc>(library, "CSHInitialize")) initialize(file, flag);
    return library;
}

// ---------------------------------------------------------------- context help

namespace {

const DWORD kTopicMask = 0xFFFF;

BOOL CALLBACK CancelMode(HWND window, LPARAM) {
    SendMessageA(window, WM_CANCELMODE, 0, 0);
    return TRUE;
}

// The help context of the window or, failing that, of its parents and owners.
DWORD HelpContextUpFrom(HWND window) {
    for (; window; window = GetParent(window))
        if (DWORD context = static_cast<DWORD>(SendMessageA(window, WM_QUERY_HELP_CONTEXT, 0, 0))) return context;
    return 0;
}

}  // namespace

bool CStatusTrayApp::OnCommand(UINT id) {
    if (id != ID_HELP) return false;
    OnHelp();
    return true;
}

// The topic is the one of the window the user is in: the one holding the mouse
// capture, else the one with the focus, else the tray window's last active
// pop-up, which is the tray window itself when it has none.
void CStatusTrayApp::OnHelp() {
    HWND tray = mainWindow ? mainWindow->Handle() : nullptr;
    DWORD context = 0;
    for (HWND start : {GetCapture(), GetFocus(), GetLastActivePopup(tray)})
        if ((context = HelpContextUpFrom(start))) break;
    ShowHelp(context, HELP_CONTEXT);
}

void CStatusTrayApp::ShowHelp(DWORD context, UINT command) {
    if (!helpLibrary || !mainWindow) return;
    HWND tray = mainWindow->Handle();
    SendMessageA(tray, WM_CANCELMODE, 0, 0);
    EnumChildWindows(tray, CancelMode, 0);
    if (HWND capture = GetCapture()) SendMessageA(capture, WM_CANCELMODE, 0, 0);
    if (!WinHelpA(tray, helpFile.c_str(), command, context & kTopicMask))
        AppMessageBox(LoadText(IDS_HELP_LAUNCH_FAILED).c_str(), MB_OK | MB_ICONEXCLAMATION);
}

int RunProcess(CStatusTrayApp& app, const char* fullCommandLine) {
    RestrictLibrarySearch();
    app.commandLine = ArgumentText(fullCommandLine);
    if (!app.DecideInstance()) return -1;
    app.RunInstance();
    return 0;
}
