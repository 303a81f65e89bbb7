// Inner state of the simulated desktop, shared by its source files.
#ifndef SIMDESK_STATE_H
#define SIMDESK_STATE_H

#include "sim/Desktop.h"
#include "RcFile.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace sim {

struct Timer {
    UINT period = 0;
    DWORD due = 0;
};

struct Window {
    HWND handle = nullptr;
    Process::Thread* thread = nullptr;
    HWND parent = nullptr;
    bool dialog = false;
    int templateId = 0;
    DLGPROC dialogProc = nullptr;
    std::string text;
    bool visible = false;
    bool enabled = true;
    LONG longs[3] = {0, 0, 0};  // DWLP_MSGRESULT, DWLP_DLGPROC, DWLP_USER
    bool ended = false;
    INT_PTR result = 0;
    bool shown = false;   // the modal loop has shown it once
    DWORD hungSince = 0;  // a window of hungThread: when it stopped reading its messages
    std::map<UINT_PTR, Timer> timers;
    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;

    // Controls of a dialog (children made from its template).
    std::string className;  // "Edit", "Button", "Static", "ComboBox"; "#32770" for dialogs
    int id = 0;
    DWORD style = 0;
    WNDPROC wndProc = nullptr;  // the class's procedure, or a subclass that replaced it
    LONG userData = 0;
    size_t limit = 0;    // edit: the text limit
    DWORD selStart = 0;  // edit: the selection
    DWORD selEnd = 0;
    int check = BST_UNCHECKED;       // button
    std::vector<std::string> items;  // combo box
    int currentItem = CB_ERR;
};

struct Menu {
    struct Item {
        UINT id = 0;
        std::string text;
        UINT flags = 0;  // MF_GRAYED, MF_DISABLED, MF_CHECKED
        bool separator = false;
        bool radioCheck = false;
        HMENU popup = nullptr;
    };
    std::vector<Item> items;
};

struct Icon {
    int resource = 0;
    int size = 0;
    bool shared = false;
    bool scaled = false;  // stretched from an image of another size: blurred
};

struct Mutex {
    Process::Thread* owner = nullptr;
    int ownCount = 0;
    int handles = 0;
};

struct Module {
    std::map<std::string, FARPROC> exports;
    int loads = 0;
};

struct RegistryKey {
    std::string name;
    std::map<std::string, std::unique_ptr<RegistryKey>> subkeys;          // by lower-case name
    std::map<std::string, std::pair<std::string, RegistryValue>> values;  // by lower-case name: {name, value}
};

struct RegistryHandle {
    RegistryKey* key = nullptr;
    REGSAM access = 0;
    Process::Thread* owner = nullptr;  // null: opened by the test itself
};

struct ServiceHandle {
    std::string service;  // empty: a handle of the service control manager
    DWORD access = 0;
    Process::Thread* owner = nullptr;
};

struct SendRequest {
    HWND window = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    LRESULT result = 0;
    bool done = false;
};

struct FailureRule {
    int skip = 0;
    int times = 0;  // < 0: for ever
};

// Thrown on a process's thread to unwind it when the process is terminated.
struct ProcessTerminated {};

}  // namespace sim

struct sim::Process::Thread {
    std::thread thread;
    std::function<int()> body;
    bool started = false;
    bool finished = false;
    bool terminate = false;
    bool wake = false;  // something outside changed what a wait waits for
    DWORD wakeAt = 0;   // a wait that ends at this time (0: none)
    int exitCode = 0;
    std::deque<MSG> posted;
    std::deque<SendRequest*> sends;
    SendRequest* waitingFor = nullptr;
    DWORD lastError = 0;
    std::vector<HANDLE> kernelHandles;  // closed when the process ends
    bool currentFolderSearched = true;  // SetDllDirectoryA("") takes it out of the library search
};

struct sim::Desktop::State {
    // scheduling: exactly one of the test thread (running == nullptr) and the
    // process threads runs at a time
    std::mutex lock;
    std::condition_variable changed;
    Process::Thread* running = nullptr;
    std::vector<Process::Thread*> threads;
    bool advancing = false;  // Advance runs, up to advanceTarget
    DWORD advanceTarget = 0;

    DWORD now = 0;
    DWORD version = Desktop::VersionXp();
    int screenWidth = 1024;
    int screenHeight = 768;
    int dpi = 96;  // logical pixels per inch of the screen
    POINT cursor = {0, 0};
    std::set<int> keysDown;
    std::string modulePath = "C:\\Program Files\\Quorvane\\ZEVARIDA.EXE";
    bool leadBytes[256] = {};  // by byte value: a lead byte of the double-byte code page
    UINT codePage = 1252;
    std::set<std::pair<ResourceKind, int>> hidden;
    std::map<int, std::string> stringOverrides;
    DWORD driverLastError = 0;

    std::map<std::string, FailureRule, std::less<>> failures;
    bool keepRecords = true;  // false: none of the records below is kept
    std::vector<std::string> calls;
    // Over the desktop's life: what the processes called, and what was made to fail.
    std::set<std::string, std::less<>> functionsCalled;
    std::set<std::string, std::less<>> functionsFailed;
    std::vector<UINT> beeps;
    std::vector<MessageBoxRecord> messageBoxes;
    std::vector<std::string> registrations;
    std::map<UINT, std::string> registeredNames;  // by id: the name as first spelled
    std::map<std::string, UINT> registered;       // by lower-case name

    uintptr_t nextHandle = 0x1000;
    std::map<HWND, std::unique_ptr<sim::Window>> windows;
    std::vector<HWND> windowOrder;
    HWND activeWindow = nullptr;
    std::map<HMENU, std::unique_ptr<Menu>> menus;
    std::map<HICON, Icon> icons;
    std::map<int, HICON> sharedIcons;
    std::map<std::string, std::unique_ptr<Mutex>> mutexes;
    std::map<HANDLE, Mutex*> mutexHandles;
    std::map<std::string, Module> modules;  // by lower-case full path
    std::map<HMODULE, std::string> moduleHandles;

    std::map<HKEY, RegistryKey> registryRoots;  // HKEY_LOCAL_MACHINE, ...
    std::map<HKEY, RegistryHandle> registryHandles;
    int handlesLeftAtExit = 0;  // mutex, registry and service handles the kernel closed for an ending process
    std::map<std::string, DWORD> services;  // by lower-case name: the current state
    std::map<SC_HANDLE, ServiceHandle> serviceHandles;
    std::vector<BroadcastRecord> broadcasts;
    Process::Thread hungThread;  // owns the windows of programs that stopped reading their messages

    std::vector<std::unique_ptr<SendRequest>> outsideSends;  // sent by tests and the shell

    bool shellReady = true;
    bool refuseDuplicates = true;
    std::map<std::pair<HWND, UINT>, TrayIcon> trayIcons;
    std::vector<TrayCall> trayCalls;

    HWND focus = nullptr;
    HWND capture = nullptr;
    std::string clipboard;
    bool helpViewerStarts = true;
    std::vector<HelpCall> helpCalls;

    bool elevated = false;                 // the program holds an administrator's full token
    std::map<HANDLE, DWORD> tokenHandles;  // open process tokens, with their access
    std::vector<MessageFilterCall> messageFilterCalls;

    std::unique_ptr<OpenMenu> trackedMenu;
    Process::Thread* menuThread = nullptr;
    bool menuClosed = false;
    UINT menuChoice = 0;

    template <class T>
    T NewHandle() {
        nextHandle += 4;
        return reinterpret_cast<T>(nextHandle);
    }
};

namespace sim {

// The state of the desktop, which every simulated function reaches: kept
// beside the desktop object so that reaching it costs no call.
extern Desktop::State* currentState;
inline Desktop::State& S() { return *currentState; }
Process::Thread* CurrentThread();

// Whether an injected failure applies to this call of `function`.
inline bool Fails(const char* function) { return !S().failures.empty() && Desktop::Get().ShouldFail(function); }

// Notes that a process called `function` (which the call log leaves out).
void NoteCalled(const char* function);
inline void Called(const char* function) {
    if (S().keepRecords) NoteCalled(function);
}
// Notes the call, not in the log, and answers whether an injected failure applies to it.
bool CalledFails(const char* function);
// Records a call in the call log, printf-style arguments.
void TraceCall(const char* function, const char* format, ...) __attribute__((format(printf, 2, 3)));
template <class... Args>
inline void Trace(const char* function, const char* format, Args... args) {
    if (S().keepRecords) TraceCall(function, format, args...);
}
inline void Trace(const char* function) { Trace(function, "%s", ""); }
// Records the call and answers whether an injected failure applies to it.
template <class... Args>
inline bool TraceFails(const char* function, const char* format, Args... args) {
    Trace(function, format, args...);
    return Fails(function);
}
inline bool TraceFails(const char* function) { return TraceFails(function, "%s", ""); }
void SetError(DWORD error);

Window* FindWindowObject(HWND window);
LRESULT CallWindow(Window& window, UINT message, WPARAM wParam, LPARAM lParam);
// Waits on the current process thread for the next message. Returns false
// without a message when `done` became true meanwhile.
bool NextMessage(MSG& message, const std::function<bool()>& done, const std::function<bool()>& onIdle);
void DispatchToWindow(const MSG& message);
// Runs a modal loop on the current process thread until `done`.
void RunModalLoop(const std::function<bool()>& done, const std::function<bool()>& onIdle = nullptr,
                  const std::function<bool(const MSG&)>& preTranslate = nullptr);
void DestroyWindowObject(HWND window);
// Closes a mutex handle of any process; false when it is none.
bool CloseMutexHandle(HANDLE handle);
// USER32.DLL and ADVAPI32.DLL as GetModuleHandleA finds them, and their
// exports on the reported Windows (Elevation.cpp); null for others.
HMODULE SystemModule(const char* name);
FARPROC SystemExport(HMODULE module, const char* name);
bool CloseTokenHandle(HANDLE handle);
// The kernel closes what an ending process left open, and counts it.
void CloseRegistryHandlesOf(Process::Thread& thread);
void CloseServiceHandlesOf(Process::Thread& thread);
template <class Handles>
void CloseHandlesOwnedBy(Handles& handles, Process::Thread& thread, int& closed) {
    for (auto it = handles.begin(); it != handles.end();) {
        if (it->second.owner == &thread) {
            ++closed;
            it = handles.erase(it);
        } else {
            ++it;
        }
    }
}
std::string Lower(std::string text);
void Activate(HWND window);
// Makes the controls of a dialog from its template, in template order.
void CreateControls(Window& dialog, const RcDialog& templ);
// The children of a window, in the order they were made.
std::vector<HWND> ChildrenOf(HWND parent);
// The dialog manager's handling of a key for a dialog; true when it took the key.
bool DialogKey(HWND dialog, const MSG& message);
// Focus as the dialog manager sets it: an edit's text gets selected.
void DialogSetFocus(HWND control);
HWND FirstTabStop(HWND dialog);

}  // namespace sim

#endif
