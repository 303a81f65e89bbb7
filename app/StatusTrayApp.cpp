#include "app/StatusTrayApp.h"

#include "app/CommandLine.h"
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

void Broadcast(const char* messageName) {
    SendMessageA(HWND_BROADCAST, RegisterWindowMessageA(messageName), 0, 0);
}

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
UINT CStatusTrayApp::StopMessage() { return Get().messages.stop; }
UINT CStatusTrayApp::StartMessage() { return Get().messages.start; }
UINT CStatusTrayApp::TaskbarCreatedMessage() { return Get().messages.taskbarCreated; }

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
    if (IsStopRequest(request)) Broadcast(kStopMessageName);
    else if (!HasKeyword(request, "START")) Broadcast(kStartMessageName);
    if (instanceMutex) CloseHandle(instanceMutex);
    instanceMutex = nullptr;
    return false;
}

bool CStatusTrayApp::RunInstance() {
    if (!instanceMutex) return false;
    SetHelpFile(kHelpFileName);

    std::unique_ptr<CStatusTrayDlg> window(new CStatusTrayDlg);
    mainWindow = window.get();
    window->DoModal();

    ReleaseMutex(instanceMutex);
    CloseHandle(instanceMutex);
    instanceMutex = nullptr;
    window.reset();
    mainWindow = nullptr;
    return false;
}

void CStatusTrayApp::SetHelpFile(const char* name) {
    if (!name || !*name) return;
    helpFile = name;
    helpLibrary = LoadHelpLibrary(helpFile.c_str(), 1);
}

HMODULE CStatusTrayApp::LoadHelpLibrary(const char* file, int flag) {
    HMODULE library = LoadLibraryA(kHelpLibraryName);
    if (!library) return nullptr;
    FARPROC address = GetProcAddress(library, "CSHInitialize");
    if (address) reinterpret_cast<CshInitializeProc>(reinterpret_cast<void (*)()>(address))(file, flag);
    return library;
}

int RunProcess(CStatusTrayApp& app, const char* fullCommandLine) {
    app.commandLine = ArgumentText(fullCommandLine);
    if (!app.DecideInstance()) return -1;
    app.RunInstance();
    return 0;
}
