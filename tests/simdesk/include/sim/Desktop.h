// The simulated desktop: a small, deterministic model of the parts of Win32
// that the program touches, for host tests. Tests drive it as a user and the
// shell would (messages, clicks, keys, time) and look at what a user or a peer
// would see (windows, icons, tips, menus, beeps, message boxes, calls).
//
// Time is virtual: nothing moves until a test calls Advance(). Every simulated
// process runs on a thread of its own, but only one thread runs at a time: a
// process runs until it waits for a message with none to handle, then control
// returns to the test. So tests are single-threaded and fully repeatable.
#ifndef SIMDESK_DESKTOP_H
#define SIMDESK_DESKTOP_H

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <map>
#include <ostream>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace sim {

struct RcFile;

// One icon as the notification area holds it.
struct TrayIcon {
    HWND window = nullptr;
    UINT id = 0;
    UINT callbackMessage = 0;
    HICON icon = nullptr;
    std::string tip;
    bool deleteRefused = false;  // a delete of it failed (the shell was not ready or refused)
};

// One call of Shell_NotifyIconA, as the shell received it.
struct TrayCall {
    DWORD message = 0;  // NIM_ADD, NIM_MODIFY, NIM_DELETE
    DWORD size = 0;     // cbSize
    HWND window = nullptr;
    UINT id = 0;
    UINT flags = 0;
    UINT callbackMessage = 0;
    HICON icon = nullptr;
    std::string tip;
    bool tipTerminated = true;    // the tip ended with a zero inside its field
    bool otherFieldsZero = true;  // nothing but the documented fields was set
    BOOL result = FALSE;
};

struct MessageBoxRecord {
    HWND owner = nullptr;
    std::string text;
    std::string caption;
    UINT type = 0;

    bool operator==(const MessageBoxRecord& o) const {
        return owner == o.owner && text == o.text && caption == o.caption && type == o.type;
    }
};
std::ostream& operator<<(std::ostream& out, const MessageBoxRecord& box);

struct MenuItemView {
    UINT id = 0;
    std::string text;
    bool separator = false;
    bool grayed = false;
    bool checked = false;
    bool radioCheck = false;
    bool popup = false;
};

// A pop-up menu being tracked (TrackPopupMenu waiting for the user).
struct OpenMenu {
    HMENU menu = nullptr;
    UINT flags = 0;
    int x = 0;
    int y = 0;
    HWND owner = nullptr;
    std::string name;                 // the pop-up's text in its parent menu ("TrayMenu")
    std::vector<MenuItemView> items;  // as they were when the menu opened
};

struct WindowView {
    HWND handle = nullptr;
    std::string text;
    bool visible = false;
    bool enabled = true;
    bool dialog = false;
    int templateId = 0;
    HWND owner = nullptr;
    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;
};

// A registry value as stored: its type and its bytes.
struct RegistryValue {
    DWORD type = REG_NONE;
    std::string data;
};

// A control of a dialog as the user sees it.
struct ControlView {
    HWND handle = nullptr;
    int id = 0;
    std::string className;
    std::string text;
    DWORD style = 0;
    bool visible = false;
    bool enabled = true;
    bool focused = false;
    size_t limit = 0;  // edit: the text limit
    DWORD selStart = 0, selEnd = 0;
    int check = 0;  // button: BST_CHECKED or BST_UNCHECKED
};

// One call of WinHelpA, as the help viewer received it.
struct HelpCall {
    HWND window = nullptr;
    std::string file;
    UINT command = 0;
    ULONG_PTR data = 0;
};

// A message sent to HWND_BROADCAST.
struct BroadcastRecord {
    UINT message = 0;
    std::string name;  // the registered name, empty for a system message
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// One call of ChangeWindowMessageFilter (window null: for the whole process)
// or ChangeWindowMessageFilterEx, as Windows received it.
struct MessageFilterCall {
    HWND window = nullptr;
    UINT message = 0;
    DWORD action = 0;  // MSGFLT_ALLOW or MSGFLT_ADD 1, MSGFLT_DISALLOW or MSGFLT_REMOVE 2, MSGFLT_RESET 0
    BOOL result = FALSE;

    bool operator==(const MessageFilterCall& o) const {
        return window == o.window && message == o.message && action == o.action && result == o.result;
    }
};
std::ostream& operator<<(std::ostream& out, const MessageFilterCall& call);

enum class ResourceKind { Icon, Menu, Dialog, String };

class Process;

class Desktop {
public:
    static Desktop& Get();

    // A fresh desktop: no windows, icons, processes, failures or records.
    void Reset();

    // ---- time and scheduling ----
    DWORD Now() const;
    // Lets every process run and every timer fire, up to Now() + ms.
    void Advance(DWORD ms);
    // Lets every process handle what is waiting, without moving time.
    void Settle() { Advance(0); }
    // Called on a process thread (from inside a stand-in library call): runs a
    // nested message loop there for `ms` of virtual time, as a modal prompt would.
    void PumpMessagesFor(DWORD ms);
    // The same until `done` answers true; the test makes that happen and calls Wake().
    void PumpMessagesUntil(const std::function<bool()>& done);
    // Tells every waiting process that what it waits for may have changed, and settles.
    void Wake();

    // ---- the machine ----
    void SetVersion(DWORD getVersionValue);             // GetVersion's result
    static DWORD Version7() { return 0x1DB10106; }      // 6.1.7601
    static DWORD VersionVista() { return 0x17720006; }  // 6.0.6002
    static DWORD VersionXp() { return 0x0A280105; }
    static DWORD Version2000() { return 0x08930005; }
    static DWORD VersionNt4() { return 0x05650004; }
    static DWORD Version98() { return 0xC0000A04; }
    void SetScreen(int width, int height);
    // The screen's logical pixels per inch (96 until set; 120, 144 and 192 are
    // 125, 150 and 200 %): the icon sizes GetSystemMetrics gives follow it.
    void SetDpi(int dpi);
    void SetCursor(int x, int y);
    POINT Cursor() const;
    void SetKey(int virtualKey, bool down);
    void SetModulePath(const std::string& path);
    // The program runs with an administrator's full token (UAC's elevation,
    // Vista and later); off until set.
    void SetElevated(bool elevated);
    // A top-level window of another program that has stopped reading its
    // messages from now on: it answers no message sent to it, and after 5 s
    // the system counts it as hung.
    HWND AddHungWindow(const std::string& title);
    void SetLeadBytes(std::set<BYTE> leadBytes);  // a double-byte code page
    void SetCodePage(UINT codePage);              // what GetACP answers (1252 until set)
    // The machine's folders. LoadLibraryA looks for a bare name, in this
    // order, in the program's folder, the current folder (unless the process
    // took it out with SetDllDirectoryA("")), the system folder, the Windows
    // folder and the PATH folder: the order of Windows before its safe search
    // mode, the harshest a program meets. SetDllDirectoryA exists from
    // Windows XP (5.1) on, found through GetProcAddress on KERNEL32.DLL.
    static const char* SystemFolder() { return "C:\\WINDOWS\\system32"; }
    static const char* WindowsFolder() { return "C:\\WINDOWS"; }
    static const char* CurrentFolder() { return "C:\\Documents and Settings\\User"; }
    static const char* PathFolder() { return "C:\\Tools"; }
    // A library that LoadLibraryA can load, with its exports: `fileName` is
    // its full path, or a bare name for one beside the program.
    void RegisterModule(const std::string& fileName, std::map<std::string, FARPROC> exports);
    int LoadedModules() const;                           // modules loaded and not freed
    int ModuleLoads(const std::string& fileName) const;  // that module's load count now
    // Makes a resource of the program's resource script unavailable.
    void HideResource(ResourceKind kind, int id);
    // Replaces the text of a string resource (an empty text makes it load as "").
    void OverrideString(int id, const std::string& text);
    const RcFile& Resources() const;

    // ---- the registry ----
    // `path` is a key path below the predefined key `root`; missing keys are made.
    void SetRegistryValue(HKEY root, const std::string& path, const std::string& name, const RegistryValue& value);
    void SetRegistryDword(HKEY root, const std::string& path, const std::string& name, DWORD value);
    // Stored as REG_SZ with its terminating zero.
    void SetRegistryString(HKEY root, const std::string& path, const std::string& name, const std::string& text);
    bool FindRegistryValue(HKEY root, const std::string& path, const std::string& name,
                           RegistryValue* value = nullptr) const;
    bool RegistryKeyExists(HKEY root, const std::string& path) const;
    int OpenRegistryKeys() const;  // handles opened or created and not closed, of every process

    // ---- the service control manager ----
    void SetService(const std::string& name, DWORD state);  // installs it, or sets its state
    void RemoveService(const std::string& name);
    int OpenServiceHandles() const;  // manager and service handles not closed
    // Mutex, registry key and service handles a process left open when it ended (the kernel closed them).
    int HandlesLeftAtExit() const;

    // ---- failure injection ----
    // The next `times` calls of `function` (after `skip` successful ones) fail the
    // way the real function fails. times < 0: every call fails from then on.
    void FailCall(const std::string& function, int times = 1, int skip = 0);
    bool ShouldFail(const char* function);
    // Over the desktop's life, not cleared with the records: the simulated
    // functions a process called, and those an injected failure reached.
    const std::set<std::string, std::less<>>& FunctionsCalled() const;
    const std::set<std::string, std::less<>>& FunctionsFailed() const;

    // ---- the message filter of Vista and later ----
    const std::vector<MessageFilterCall>& MessageFilterCalls() const;
    int OpenTokenHandles() const;  // process tokens opened and not closed

    // ---- what can be seen ----
    const std::vector<std::string>& Calls() const;  // "Function(args)" in call order
    int CountCalls(const std::string& function) const;
    void ClearCalls();    // the calls and the broadcasts
    void ClearRecords();  // every record: calls, broadcasts, tray calls, beeps, message boxes, help calls, filter calls
    // false: from now on the desktop keeps none of those records, nor the
    // functions called, until Reset; what it holds (windows, icons, timers,
    // the registry, ...) and the failures injected work as ever. For a benchmark.
    void KeepRecords(bool keep);
    const std::vector<UINT>& Beeps() const;
    const std::vector<MessageBoxRecord>& MessageBoxes() const;
    const std::vector<std::string>& RegisteredMessages() const;  // in registration order
    const std::vector<BroadcastRecord>& Broadcasts() const;      // messages sent or posted to HWND_BROADCAST
    UINT RegisteredMessage(const std::string& name) const;       // 0 when never registered

    // windows
    std::vector<WindowView> TopLevelWindows() const;
    bool FindWindow(const std::string& title, WindowView* view = nullptr) const;
    WindowView Window(HWND window) const;
    bool WindowExists(HWND window) const;

    // icons and menus
    int IconResource(HICON icon) const;  // resource id the icon was loaded from, 0 if none
    int IconSize(HICON icon) const;      // width in pixels
    bool IconScaled(HICON icon) const;   // stretched from an image of another size
    int OpenIcons() const;               // icons loaded and not destroyed
    int OpenMenus() const;               // menus loaded and not destroyed
    int OpenMutexHandles() const;
    std::vector<MenuItemView> MenuItems(HMENU menu) const;
    const OpenMenu* TrackedMenu() const;  // the menu waiting for the user, or null
    void ChooseMenuItem(UINT id);         // picks an item of the tracked menu
    void DismissMenu();                   // closes it without a choice

    // the notification area
    void SetShellReady(bool ready);         // false: no notification area, every call fails
    void RestartShell();                    // the area is created anew, empty; "TaskbarCreated" is not sent
    void RefuseDuplicateAdds(bool refuse);  // as Wine's shell does; on by default
    const std::map<std::pair<HWND, UINT>, TrayIcon>& TrayIcons() const;
    const TrayIcon* FindTrayIcon(HWND window, UINT id) const;
    const std::vector<TrayCall>& TrayCalls() const;
    void ClearTrayCalls();

    // dialogs and their controls
    HWND DialogControl(HWND dialog, int id) const;  // null when the dialog has none
    ControlView Control(HWND control) const;
    std::vector<ControlView> Controls(HWND dialog) const;  // in template order
    HWND Focus() const;
    void SetCapture(HWND window);  // a window holds the mouse capture (null: none)
    HWND Capture() const;

    // the help viewer
    void SetHelpViewerStarts(bool starts);  // false: WinHelpA fails
    const std::vector<HelpCall>& HelpCalls() const;

    // ---- acting from outside the program (the user, the shell, other processes) ----
    void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Sends and lets everything settle; returns the result if the handler returned.
    LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // A key pressed while the window (or its dialog) has the focus.
    void PressKey(HWND window, int virtualKey);
    // Characters typed into a control, one WM_CHAR each, as the keyboard sends them.
    void Type(HWND control, const std::string& characters);
    // Text pasted into a control from the clipboard (Ctrl+V), which no typing filter sees.
    void Paste(HWND control, const std::string& text);
    // A click on a button (BM_CLICK): a check box toggles, the dialog gets the command.
    void Click(HWND button);

    // ---- for the simulator's own use ----
    struct State;
    State& state();

private:
    Desktop();
    std::unique_ptr<State> state_;
};

// One simulated process: its body runs on a thread of its own, scheduled as
// described above. The constructor lets it run until it first waits.
class Process {
public:
    explicit Process(std::function<int()> body);
    ~Process();  // a process still running is terminated
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool Finished() const;
    int ExitCode() const;
    // Ends a process still running, as TerminateProcess would.
    void Terminate();

    struct Thread;

private:
    std::unique_ptr<Thread> thread_;
};

}  // namespace sim

#endif
