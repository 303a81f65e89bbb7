// probe.exe - looks at and drives the applet from inside the same Wine session.
//
// A small console program that the end-to-end tests run next to ZEVARIDA.EXE,
// so that every window, message and process is seen the way another Windows
// program would see it. Usage: probe.exe COMMAND [ARGUMENTS...]; `probe.exe help`
// lists the commands.
//
// Output is one record per line, made of `key=value` fields separated by single
// spaces; a field whose value may hold spaces (title=, text=, data=) is always
// the last one of its line. Exit codes:
//   0  done / found
//   1  not found, timed out or the answer was "no"
//   2  wrong usage
//   3  a Windows call failed (the error number is printed to stderr)
//
// Window arguments (WINDOW below) take one of these forms:
//   TITLE            the first top-level window whose title is exactly TITLE
//   class:NAME       the first top-level window of window class NAME
//   hwnd:0x1234      that very window
// Hidden and disabled windows count; only top-level windows of the current
// desktop are searched.
//
// Numbers (messages, wParam, lParam, ...) are decimal, 0x-hexadecimal or
// negative.
//
// The commands are grouped by what they look at or act on: windows, messages,
// controls, menus and the notification area, input, processes, the registry;
// then what they measure, and what the probe stands in for (a service, the
// help viewer, a program that holds the desktop, a file or a hung window).
// Adding a command: write `int cmdName(Args& a)` in its group's section and
// add a line to kCommands at the bottom, in the same group.
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "probehook.h"
#include "tray/TrayMessages.h"

namespace {

enum ExitCode { kOk = 0, kNo = 1, kUsage = 2, kFailed = 3 };

// ---------------------------------------------------------------- arguments

struct Args {
    std::vector<std::string> items;
    size_t next = 0;

    bool has() const { return next < items.size(); }
    const std::string& take() { return items.at(next++); }
};

struct UsageError {
    std::string what;
};

[[noreturn]] void usage(const std::string& what) { throw UsageError{what}; }

std::string takeString(Args& a, const char* name) {
    if (!a.has()) usage(std::string("missing ") + name);
    return a.take();
}

long parseNumber(const std::string& text, const char* name) {
    const char* s = text.c_str();
    char* end = nullptr;
    long long v = 0;
    if (*s == '-')
        v = strtoll(s, &end, 0);
    else
        v = (long long)strtoull(s, &end, 0);
    if (text.empty() || *end != '\0') usage(std::string("not a number for ") + name + ": " + text);
    return (long)v;  // wraps 0xFFFFFFFF and the like to 32 bits on purpose
}

long takeNumber(Args& a, const char* name) { return parseNumber(takeString(a, name), name); }

long takeOptionalNumber(Args& a, const char* name, long fallback) { return a.has() ? takeNumber(a, name) : fallback; }

double takeSeconds(Args& a, const char* name) {
    std::string text = takeString(a, name);
    char* end = nullptr;
    double v = strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || v < 0) usage(std::string("not a number of seconds: ") + text);
    return v;
}

// ---------------------------------------------------------------- output

void out(const char* format, ...) __attribute__((format(printf, 1, 2)));
void out(const char* format, ...) {
    va_list ap;
    va_start(ap, format);
    vprintf(format, ap);
    va_end(ap);
    fflush(stdout);
}

int failed(const char* what) {
    DWORD error = GetLastError();
    fprintf(stderr, "probe: %s failed, error %lu\n", what, (unsigned long)error);
    fflush(stderr);
    return kFailed;
}

// Keeps printed text on one line.
std::string oneLine(std::string s) {
    for (char& c : s)
        if (c == '\r' || c == '\n' || c == '\t') c = ' ';
    return s;
}

std::string windowText(HWND hwnd) {
    char buffer[1024] = "";
    GetWindowTextA(hwnd, buffer, sizeof buffer);
    return buffer;
}

std::string windowClass(HWND hwnd) {
    char buffer[256] = "";
    GetClassNameA(hwnd, buffer, sizeof buffer);
    return buffer;
}

void printWindow(HWND hwnd) {
    DWORD pid = 0;
    DWORD tid = GetWindowThreadProcessId(hwnd, &pid);
    RECT r = {};
    GetWindowRect(hwnd, &r);
    out("hwnd=0x%08lx visible=%d enabled=%d class=%s pid=%lu tid=%lu rect=%ld,%ld,%ld,%ld title=%s\n",
        (unsigned long)(ULONG_PTR)hwnd, IsWindowVisible(hwnd) ? 1 : 0, IsWindowEnabled(hwnd) ? 1 : 0,
        windowClass(hwnd).c_str(), (unsigned long)pid, (unsigned long)tid, r.left, r.top, r.right, r.bottom,
        oneLine(windowText(hwnd)).c_str());
}

// ---------------------------------------------------------------- finding windows

struct WindowQuery {
    enum Kind { kTitle, kClass, kHandle } kind = kTitle;
    std::string text;
    HWND handle = nullptr;
};

WindowQuery parseWindowQuery(const std::string& wanted) {
    WindowQuery q;
    if (wanted.compare(0, 6, "class:") == 0) {
        q.kind = WindowQuery::kClass;
        q.text = wanted.substr(6);
    } else if (wanted.compare(0, 5, "hwnd:") == 0) {
        q.kind = WindowQuery::kHandle;
        q.handle = (HWND)(ULONG_PTR)(unsigned long)parseNumber(wanted.substr(5), "hwnd");
    } else {
        q.text = wanted;
    }
    return q;
}

BOOL CALLBACK collectWindow(HWND hwnd, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
    return TRUE;
}

std::vector<HWND> topLevelWindows() {
    std::vector<HWND> all;
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&all));
    return all;
}

std::vector<HWND> findWindows(const WindowQuery& q) {
    std::vector<HWND> found;
    if (q.kind == WindowQuery::kHandle) {
        if (IsWindow(q.handle)) found.push_back(q.handle);
        return found;
    }
    for (HWND hwnd : topLevelWindows()) {
        const std::string value = q.kind == WindowQuery::kTitle ? windowText(hwnd) : windowClass(hwnd);
        if (value == q.text) found.push_back(hwnd);
    }
    return found;
}

HWND findWindow(const WindowQuery& q) {
    std::vector<HWND> found = findWindows(q);
    return found.empty() ? nullptr : found.front();
}

// Polls every 100 ms until the window exists (or, with `gone`, no longer
// exists), for at most `seconds`.
HWND waitWindow(const WindowQuery& q, double seconds, bool gone) {
    const DWORD start = GetTickCount();
    for (;;) {
        HWND hwnd = findWindow(q);
        if (gone ? hwnd == nullptr : hwnd != nullptr) return hwnd;
        if (GetTickCount() - start >= (DWORD)(seconds * 1000)) return gone ? hwnd : nullptr;
        Sleep(100);
    }
}

HWND takeWindow(Args& a) {
    std::string wanted = takeString(a, "WINDOW");
    HWND hwnd = findWindow(parseWindowQuery(wanted));
    if (!hwnd) {
        fprintf(stderr, "probe: no window %s\n", wanted.c_str());
        fflush(stderr);
    }
    return hwnd;
}

// ---------------------------------------------------------------- starting processes

// Quotes one argument the way the C runtime splits a command line back.
std::string quoteArgument(const std::string& arg) {
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
    std::string q = "\"";
    size_t backslashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++backslashes;
        } else if (c == '"') {
            q.append(backslashes * 2 + 1, '\\');
            backslashes = 0;
        } else {
            q.append(backslashes, '\\');
            backslashes = 0;
        }
        if (c != '\\') q += c;
    }
    q.append(backslashes * 2, '\\');
    return q + "\"";
}

// Starts EXE with the remaining arguments. With --line TEXT instead of EXE,
// TEXT is the whole command line and the system finds the program in it, as
// it does for a Run value at logon.
bool startProcess(Args& a, PROCESS_INFORMATION& pi) {
    std::string exe = takeString(a, "EXE");
    std::string commandLine = quoteArgument(exe);
    if (exe == "--line") {
        commandLine = takeString(a, "command line");
        exe.clear();
    } else {
        while (a.has()) commandLine += " " + quoteArgument(a.take());
    }
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    const char* application = exe.empty() ? nullptr : exe.c_str();
    return CreateProcessA(application, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi) != 0;
}

std::vector<DWORD> processIds(const std::string& imageName) {
    std::vector<DWORD> pids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return pids;
    PROCESSENTRY32 pe = {};
    pe.dwSize = sizeof pe;
    for (BOOL ok = Process32First(snapshot, &pe); ok; ok = Process32Next(snapshot, &pe)) {
        const char* base = strrchr(pe.szExeFile, '\\');
        base = base ? base + 1 : pe.szExeFile;
        if (_stricmp(base, imageName.c_str()) == 0 && pe.th32ProcessID != GetCurrentProcessId())
            pids.push_back(pe.th32ProcessID);
    }
    CloseHandle(snapshot);
    return pids;
}

int printExit(HANDLE process, DWORD pid, double seconds) {
    DWORD wait = WaitForSingleObject(process, seconds > 0 ? (DWORD)(seconds * 1000) : INFINITE);
    if (wait == WAIT_TIMEOUT) {
        out("timeout pid=%lu\n", (unsigned long)pid);
        return kNo;
    }
    DWORD code = 0;
    if (!GetExitCodeProcess(process, &code)) return failed("GetExitCodeProcess");
    // Printed signed: -1 reads as -1, 259 (STILL_ACTIVE) as 259.
    out("pid=%lu exit=%ld\n", (unsigned long)pid, (long)(LONG)code);
    return kOk;
}

// ---------------------------------------------------------------- the hook in another process

// The hook reads menus, tooltips, list views and cut-off texts inside the
// process that owns them (probehook.h, probehook.cpp). The DLL lies next to
// probe.exe.
const char kReplyClass[] = "ZevaridaProbeReply";

std::string g_reply;
bool g_replied = false;

LRESULT CALLBACK replyWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        const COPYDATASTRUCT* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (data && data->dwData == kCopyDataAnswer && data->lpData && data->cbData) {
            g_reply.assign(static_cast<const char*>(data->lpData),
                           strnlen(static_cast<const char*>(data->lpData), data->cbData));
            g_replied = true;
        }
        return TRUE;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

std::string besideProbe(const char* name) {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    char* slash = strrchr(path, '\\');
    if (slash)
        slash[1] = '\0';
    else
        path[0] = '\0';
    return std::string(path) + name;
}

// Hooks the thread of `target` with probehook.dll, sends it the registered
// message `request` (with `lParam`) and returns in `answer` what the hook sent back.
int askHook(HWND target, const char* request, std::string& answer, LPARAM lParam = 0) {
    const DWORD threadId = GetWindowThreadProcessId(target, nullptr);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = replyWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kReplyClass;
    RegisterClassA(&wc);
    HWND reply =
        CreateWindowExA(0, kReplyClass, "probe reply", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance, nullptr);
    if (!reply) return failed("CreateWindowEx");

    const std::string dll = besideProbe(kHookDll);
    HMODULE module = LoadLibraryA(dll.c_str());
    if (!module) return failed(("LoadLibrary " + dll).c_str());
    HOOKPROC proc = reinterpret_cast<HOOKPROC>(reinterpret_cast<void (*)()>(GetProcAddress(module, kHookProc)));
    if (!proc) return failed("GetProcAddress");
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, proc, module, threadId);
    if (!hook) return failed("SetWindowsHookEx");

    g_replied = false;
    DWORD_PTR result = 0;
    BOOL sent = SendMessageTimeoutA(target, RegisterWindowMessageA(request), reinterpret_cast<WPARAM>(reply), lParam,
                                    SMTO_ABORTIFHUNG, 5000, &result);
    // A WM_COPYDATA may still be on its way.
    MSG msg;
    for (int i = 0; i < 20 && !g_replied; ++i) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        if (!g_replied) Sleep(25);
    }
    UnhookWindowsHookEx(hook);
    DestroyWindow(reply);
    if (!g_replied) {
        if (!sent) return failed("SendMessageTimeout to the hooked thread");
        fprintf(stderr, "probe: the hook in the other process did not answer\n");
        fflush(stderr);
        return kFailed;
    }
    answer = g_reply;
    return kOk;
}

// ---------------------------------------------------------------- windows

int cmdFindWindow(Args& a) {
    WindowQuery q = parseWindowQuery(takeString(a, "WINDOW"));
    std::vector<HWND> found = findWindows(q);
    for (HWND hwnd : found) printWindow(hwnd);
    return found.empty() ? kNo : kOk;
}

int cmdWaitWindow(Args& a) {
    WindowQuery q = parseWindowQuery(takeString(a, "WINDOW"));
    double seconds = takeSeconds(a, "SECONDS");
    HWND hwnd = waitWindow(q, seconds, false);
    if (!hwnd) {
        out("timeout\n");
        return kNo;
    }
    printWindow(hwnd);
    return kOk;
}

int cmdWaitGone(Args& a) {
    WindowQuery q = parseWindowQuery(takeString(a, "WINDOW"));
    double seconds = takeSeconds(a, "SECONDS");
    HWND hwnd = waitWindow(q, seconds, true);
    if (hwnd) {
        out("timeout ");
        printWindow(hwnd);
        return kNo;
    }
    out("gone\n");
    return kOk;
}

int cmdWindows(Args& a) {
    long pid = takeOptionalNumber(a, "PID", 0);
    for (HWND hwnd : topLevelWindows()) {
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (pid == 0 || (DWORD)pid == owner) printWindow(hwnd);
    }
    return kOk;
}

int cmdForeground(Args&) {
    HWND hwnd = GetForegroundWindow();
    if (!hwnd) return kNo;
    printWindow(hwnd);
    return kOk;
}

// ---------------------------------------------------------------- messages

int postTo(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!PostMessageA(hwnd, message, wParam, lParam)) return failed("PostMessage");
    out("posted hwnd=0x%08lx message=%u wparam=%lu lparam=%ld\n", (unsigned long)(ULONG_PTR)hwnd, message,
        (unsigned long)wParam, (long)lParam);
    return kOk;
}

int cmdPost(Args& a) {
    HWND hwnd = takeWindow(a);
    UINT message = (UINT)takeNumber(a, "MSG");
    WPARAM wParam = (WPARAM)takeOptionalNumber(a, "WPARAM", 0);
    LPARAM lParam = (LPARAM)takeOptionalNumber(a, "LPARAM", 0);
    if (!hwnd) return kNo;
    return postTo(hwnd, message, wParam, lParam);
}

int cmdSend(Args& a) {
    HWND hwnd = takeWindow(a);
    UINT message = (UINT)takeNumber(a, "MSG");
    WPARAM wParam = (WPARAM)takeOptionalNumber(a, "WPARAM", 0);
    LPARAM lParam = (LPARAM)takeOptionalNumber(a, "LPARAM", 0);
    if (!hwnd) return kNo;
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result))
        return failed("SendMessageTimeout");
    out("result=%ld\n", (long)result);
    return kOk;
}

int cmdPostRegistered(Args& a) {
    HWND hwnd = takeWindow(a);
    std::string name = takeString(a, "NAME");
    WPARAM wParam = (WPARAM)takeOptionalNumber(a, "WPARAM", 0);
    LPARAM lParam = (LPARAM)takeOptionalNumber(a, "LPARAM", 0);
    if (!hwnd) return kNo;
    UINT message = RegisterWindowMessageA(name.c_str());
    if (!message) return failed("RegisterWindowMessage");
    return postTo(hwnd, message, wParam, lParam);
}

int cmdBroadcastRegistered(Args& a) {
    std::string name = takeString(a, "NAME");
    WPARAM wParam = (WPARAM)takeOptionalNumber(a, "WPARAM", 0);
    LPARAM lParam = (LPARAM)takeOptionalNumber(a, "LPARAM", 0);
    UINT message = RegisterWindowMessageA(name.c_str());
    if (!message) return failed("RegisterWindowMessage");
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(HWND_BROADCAST, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result))
        return failed("SendMessageTimeout");
    out("broadcast message=%u\n", message);
    return kOk;
}

// ---------------------------------------------------------------- controls
//
// The applet's pages are child dialogs of its window, so their controls are
// found among all its descendants by id. A list view's rows and the texts
// cut off by their controls are read inside the applet's process by
// probehook.dll (see there for the answers' records).

// get-text WINDOW [CONTROL_ID]: the text of the window or of one of its controls.
int cmdGetText(Args& a) {
    HWND hwnd = takeWindow(a);
    bool control = a.has();
    long id = takeOptionalNumber(a, "CONTROL_ID", 0);
    if (!hwnd) return kNo;
    if (control) {
        hwnd = GetDlgItem(hwnd, (int)id);
        if (!hwnd) return failed("GetDlgItem");
    }
    char buffer[4096] = "";
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof buffer, (LPARAM)buffer, SMTO_ABORTIFHUNG, 5000, &length))
        return failed("WM_GETTEXT");
    out("text=%s\n", oneLine(buffer).c_str());
    return kOk;
}

// children WINDOW: every child window with its control id, class and text.
int cmdChildren(Args& a) {
    HWND hwnd = takeWindow(a);
    if (!hwnd) return kNo;
    std::vector<HWND> children;
    EnumChildWindows(hwnd, collectWindow, reinterpret_cast<LPARAM>(&children));
    for (HWND child : children) {
        char text[1024] = "";
        DWORD_PTR length = 0;
        SendMessageTimeoutA(child, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG, 2000, &length);
        out("hwnd=0x%08lx id=%d visible=%d enabled=%d class=%s text=%s\n", (unsigned long)(ULONG_PTR)child,
            GetDlgCtrlID(child), IsWindowVisible(child) ? 1 : 0, IsWindowEnabled(child) ? 1 : 0,
            windowClass(child).c_str(), oneLine(text).c_str());
    }
    return kOk;
}

struct FoundControl {
    int id;
    HWND hwnd;
};

BOOL CALLBACK findControl(HWND hwnd, LPARAM lp) {
    FoundControl* found = reinterpret_cast<FoundControl*>(lp);
    if (GetDlgCtrlID(hwnd) != found->id) return TRUE;
    found->hwnd = hwnd;
    return FALSE;
}

// The descendant of `window` with the control id `id`, or null.
HWND descendant(HWND window, int id) {
    FoundControl found = {id, nullptr};
    EnumChildWindows(window, findControl, reinterpret_cast<LPARAM>(&found));
    return found.hwnd;
}

// read-list WINDOW CONTROL_ID [ROW]: the columns and rows of the list view
// CONTROL_ID among WINDOW's descendants, after selecting ROW when given.
int cmdReadList(Args& a) {
    HWND window = takeWindow(a);
    const int id = (int)takeNumber(a, "CONTROL_ID");
    const long row = takeOptionalNumber(a, "ROW", -1);
    if (!window) return kNo;
    HWND list = descendant(window, id);
    if (!list) return failed("no such control");
    std::string answer;
    int rc = askHook(list, kReadListMessage, answer, row);
    if (rc == kOk) out("%s", answer.c_str());
    return rc;
}

// clipped WINDOW: the visible texts among WINDOW's descendants that their
// controls cut off; exit 1 when there is one.
int cmdClipped(Args& a) {
    HWND window = takeWindow(a);
    if (!window) return kNo;
    std::string answer;
    int rc = askHook(window, kClippedMessage, answer);
    if (rc != kOk) return rc;
    out("%s", answer.c_str());
    return answer.compare(0, 12, "clipped=none") == 0 ? kOk : kNo;
}

// ---------------------------------------------------------------- menus and the notification area

// tray-click WINDOW ID [left|right|double]: what the shell sends when the
// icon ID of WINDOW is clicked.
int cmdTrayClick(Args& a) {
    HWND hwnd = takeWindow(a);
    WPARAM id = (WPARAM)takeNumber(a, "ID");
    std::string how = a.has() ? a.take() : "left";
    if (!hwnd) return kNo;
    std::vector<UINT> mouse;
    if (how == "left")
        mouse = {WM_LBUTTONDOWN, WM_LBUTTONUP};
    else if (how == "right")
        mouse = {WM_RBUTTONDOWN, WM_RBUTTONUP};
    else if (how == "double")
        mouse = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP};
    else
        usage("left, right or double, not " + how);
    for (UINT m : mouse) {
        int rc = postTo(hwnd, WM_TRAYICON, id, (LPARAM)m);
        if (rc != kOk) return rc;
    }
    return kOk;
}

// The visible pop-up menu window of the thread, or null.
HWND visibleMenuWindow(DWORD threadId) {
    for (HWND hwnd : findWindows(parseWindowQuery("class:#32768"))) {
        if (IsWindowVisible(hwnd) && GetWindowThreadProcessId(hwnd, nullptr) == threadId) return hwnd;
    }
    return nullptr;
}

// read-menu WINDOW SECONDS: waits until a pop-up menu of WINDOW's thread is
// visible and prints its items as read inside that process.
int cmdReadMenu(Args& a) {
    HWND owner = takeWindow(a);
    double seconds = takeSeconds(a, "SECONDS");
    if (!owner) return kNo;
    const DWORD threadId = GetWindowThreadProcessId(owner, nullptr);
    const DWORD start = GetTickCount();
    HWND menuWindow = nullptr;
    while (!(menuWindow = visibleMenuWindow(threadId))) {
        if (GetTickCount() - start >= (DWORD)(seconds * 1000)) {
            out("menu=none\n");
            return kNo;
        }
        Sleep(50);
    }
    std::string answer;
    int rc = askHook(menuWindow, kReadMenuMessage, answer);
    if (rc != kOk) return rc;
    out("%s", answer.c_str());
    return answer.compare(0, 9, "menu=none") == 0 ? kNo : kOk;
}

// wait-menu WINDOW SECONDS [gone]: waits until a pop-up menu of WINDOW's
// thread is visible (with `gone`: until none is).
int cmdWaitMenu(Args& a) {
    HWND owner = takeWindow(a);
    double seconds = takeSeconds(a, "SECONDS");
    bool gone = a.has() && a.take() == "gone";
    if (!owner) return kNo;
    const DWORD threadId = GetWindowThreadProcessId(owner, nullptr);
    const DWORD start = GetTickCount();
    for (;;) {
        HWND menu = visibleMenuWindow(threadId);
        if (gone ? menu == nullptr : menu != nullptr) {
            if (menu)
                printWindow(menu);
            else
                out("gone\n");
            return kOk;
        }
        if (GetTickCount() - start >= (DWORD)(seconds * 1000)) {
            out("timeout\n");
            return kNo;
        }
        Sleep(50);
    }
}

// menus [PID]: every pop-up menu window ("#32768"), shown or not, of PID.
int cmdMenus(Args& a) {
    long pid = takeOptionalNumber(a, "PID", 0);
    int found = 0;
    for (HWND hwnd : findWindows(parseWindowQuery("class:#32768"))) {
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (pid != 0 && (DWORD)pid != owner) continue;
        printWindow(hwnd);
        if (IsWindowVisible(hwnd)) ++found;
    }
    return found ? kOk : kNo;
}

// read-tooltips WINDOW: every tool of the tooltip controls of WINDOW's thread
// (class:Shell_TrayWnd: the notification icons' tips), read inside that process.
int cmdReadTooltips(Args& a) {
    HWND target = takeWindow(a);
    if (!target) return kNo;
    std::string answer;
    int rc = askHook(target, kReadTooltipsMessage, answer);
    if (rc != kOk) return rc;
    out("%s", answer.c_str());
    return answer.compare(0, 10, "tools=none") == 0 ? kNo : kOk;
}

// ---------------------------------------------------------------- input

int cmdCursor(Args&) {
    POINT p = {};
    if (!GetCursorPos(&p)) return failed("GetCursorPos");
    out("x=%ld y=%ld\n", p.x, p.y);
    return kOk;
}

// key-state VK...: GetAsyncKeyState of each virtual key (down=1 while held).
int cmdKeyState(Args& a) {
    bool allDown = true;
    while (a.has()) {
        int vk = (int)takeNumber(a, "VK");
        bool down = (GetAsyncKeyState(vk) & 0x8000) != 0;
        allDown = allDown && down;
        out("vk=%d down=%d\n", vk, down ? 1 : 0);
    }
    return allDown ? kOk : kNo;
}

// ---------------------------------------------------------------- processes

int cmdSpawn(Args& a) {
    double seconds = 30;
    if (a.has() && a.items[a.next].compare(0, 10, "--timeout=") == 0) {
        std::string v = a.take().substr(10);
        seconds = strtod(v.c_str(), nullptr);
    }
    PROCESS_INFORMATION pi = {};
    if (!startProcess(a, pi)) return failed("CreateProcess");
    int rc = printExit(pi.hProcess, pi.dwProcessId, seconds);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return rc;
}

int cmdStart(Args& a) {
    PROCESS_INFORMATION pi = {};
    if (!startProcess(a, pi)) return failed("CreateProcess");
    // Returns once the new process waits for input (its message loop), or after 5 s.
    WaitForInputIdle(pi.hProcess, 5000);
    out("pid=%lu\n", (unsigned long)pi.dwProcessId);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return kOk;
}

int cmdWaitExit(Args& a) {
    DWORD pid = (DWORD)takeNumber(a, "PID");
    double seconds = takeSeconds(a, "SECONDS");
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
    if (!process) {
        out("pid=%lu gone\n", (unsigned long)pid);
        return kOk;
    }
    int rc = printExit(process, pid, seconds);
    CloseHandle(process);
    return rc;
}

int cmdPids(Args& a) {
    std::vector<DWORD> pids = processIds(takeString(a, "IMAGE"));
    for (DWORD pid : pids) out("pid=%lu\n", (unsigned long)pid);
    return pids.empty() ? kNo : kOk;
}

// start-many N SECONDS EXE [ARGS...]: starts N copies at once, without waiting
// in between, then waits up to SECONDS for all but one to end; prints each
// one's pid and exit code (still running: "running").
int cmdStartMany(Args& a) {
    const long count = takeNumber(a, "N");
    const double seconds = takeSeconds(a, "SECONDS");
    if (count < 1 || count > 64) usage("N is 1 to 64");
    const size_t first = a.next;
    std::vector<PROCESS_INFORMATION> started;
    for (long i = 0; i < count; ++i) {
        a.next = first;
        PROCESS_INFORMATION pi = {};
        if (!startProcess(a, pi)) return failed("CreateProcess");
        CloseHandle(pi.hThread);
        started.push_back(pi);
    }
    const DWORD start = GetTickCount();
    for (;;) {
        int running = 0;
        for (const PROCESS_INFORMATION& pi : started)
            if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) ++running;
        if (running <= 1 || GetTickCount() - start >= (DWORD)(seconds * 1000)) break;
        Sleep(100);
    }
    for (const PROCESS_INFORMATION& pi : started) {
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        if (code == STILL_ACTIVE)
            out("pid=%lu running\n", (unsigned long)pi.dwProcessId);
        else
            out("pid=%lu exit=%ld\n", (unsigned long)pi.dwProcessId, (long)code);
        CloseHandle(pi.hProcess);
    }
    return kOk;
}

int cmdKill(Args& a) {
    std::string image = takeString(a, "IMAGE");
    int killed = 0;
    for (DWORD pid : processIds(image)) {
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
        if (!process) continue;
        if (TerminateProcess(process, 1)) {
            WaitForSingleObject(process, 5000);
            ++killed;
        }
        CloseHandle(process);
    }
    out("killed=%d\n", killed);
    return kOk;
}

int cmdMutex(Args& a) {
    std::string name = takeString(a, "NAME");
    HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, name.c_str());
    out("exists=%d\n", mutex ? 1 : 0);
    if (!mutex) return kNo;
    CloseHandle(mutex);
    return kOk;
}

// ---------------------------------------------------------------- the registry

HKEY rootKey(const std::string& name) {
    if (name == "HKCU" || name == "HKEY_CURRENT_USER") return HKEY_CURRENT_USER;
    if (name == "HKLM" || name == "HKEY_LOCAL_MACHINE") return HKEY_LOCAL_MACHINE;
    if (name == "HKCR" || name == "HKEY_CLASSES_ROOT") return HKEY_CLASSES_ROOT;
    if (name == "HKU" || name == "HKEY_USERS") return HKEY_USERS;
    return nullptr;
}

// reg-get KEY VALUE: KEY like HKCU\Software\Wine\Explorer; "" names the default value.
int cmdRegGet(Args& a) {
    std::string path = takeString(a, "KEY");
    std::string value = takeString(a, "VALUE");
    size_t slash = path.find('\\');
    HKEY root = rootKey(path.substr(0, slash));
    if (!root) usage("unknown registry root in " + path);
    std::string sub = slash == std::string::npos ? "" : path.substr(slash + 1);
    HKEY key = nullptr;
    LONG rc = RegOpenKeyExA(root, sub.c_str(), 0, KEY_QUERY_VALUE, &key);
    if (rc != ERROR_SUCCESS) {
        out("missing key\n");
        return kNo;
    }
    DWORD type = 0;
    BYTE data[4096] = {};
    DWORD size = sizeof data - 2;
    rc = RegQueryValueExA(key, value.c_str(), nullptr, &type, data, &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) {
        out("missing value\n");
        return kNo;
    }
    if (type == REG_DWORD) {
        DWORD v = 0;
        memcpy(&v, data, sizeof v);
        out("type=REG_DWORD data=%lu\n", (unsigned long)v);
    } else if (type == REG_SZ || type == REG_EXPAND_SZ) {
        out("type=REG_SZ data=%s\n", oneLine((const char*)data).c_str());
    } else {
        std::string hex;
        char two[4];
        for (DWORD i = 0; i < size; ++i) {
            snprintf(two, sizeof two, "%02x", data[i]);
            hex += two;
        }
        out("type=%lu data=%s\n", (unsigned long)type, hex.c_str());
    }
    return kOk;
}

// ---------------------------------------------------------------- measuring
//
// Figures for scripts/perf-report.sh. Times are taken with the performance
// counter and printed in milliseconds; sizes in bytes.

double nowMs() {
    LARGE_INTEGER frequency, count;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&count);
    return (double)count.QuadPart * 1000.0 / (double)frequency.QuadPart;
}

double fileTimeMs(const FILETIME& t) {
    ULARGE_INTEGER v;
    v.LowPart = t.dwLowDateTime;
    v.HighPart = t.dwHighDateTime;
    return (double)v.QuadPart / 10000.0;
}

struct CpuTimes {
    double userMs = 0;
    double kernelMs = 0;
};

bool processTimes(HANDLE process, CpuTimes& times) {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return false;
    times.userMs = fileTimeMs(user);
    times.kernelMs = fileTimeMs(kernel);
    return true;
}

// The sum over the threads the process has now; a thread that has ended no
// longer counts.
int threadTimes(DWORD pid, CpuTimes& times) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    int counted = 0;
    THREADENTRY32 te = {};
    te.dwSize = sizeof te;
    for (BOOL ok = Thread32First(snapshot, &te); ok; ok = Thread32Next(snapshot, &te)) {
        if (te.th32OwnerProcessID != pid) continue;
        HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, te.th32ThreadID);
        if (!thread) continue;
        FILETIME created, exited, kernel, user;
        if (GetThreadTimes(thread, &created, &exited, &kernel, &user)) {
            times.userMs += fileTimeMs(user);
            times.kernelMs += fileTimeMs(kernel);
            ++counted;
        }
        CloseHandle(thread);
    }
    CloseHandle(snapshot);
    return counted;
}

// GetProcessMemoryInfo lives in psapi.dll (on NT 4 a library of its own).
typedef BOOL(WINAPI* GetProcessMemoryInfoProc)(HANDLE, PPROCESS_MEMORY_COUNTERS, DWORD);

bool processMemory(HANDLE process, PROCESS_MEMORY_COUNTERS& counters) {
    HMODULE psapi = LoadLibraryA("psapi.dll");
    if (!psapi) return false;
    GetProcessMemoryInfoProc get = reinterpret_cast<GetProcessMemoryInfoProc>(
        reinterpret_cast<void (*)()>(GetProcAddress(psapi, "GetProcessMemoryInfo")));
    ZeroMemory(&counters, sizeof counters);
    counters.cb = sizeof counters;
    const bool ok = get && get(process, &counters, sizeof counters);
    FreeLibrary(psapi);
    return ok;
}

// process-usage PID: CPU time and memory of the process as Windows reports
// them to another process. thread_* sums GetThreadTimes over its threads,
// process_* is GetProcessTimes; own_* is GetProcessTimes of the probe itself,
// to tell whether the answer was about the process asked for.
int cmdProcessUsage(Args& a) {
    const DWORD pid = (DWORD)takeNumber(a, "PID");
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process) return failed("OpenProcess");
    CpuTimes whole, threads, own;
    PROCESS_MEMORY_COUNTERS memory;
    const bool timesOk = processTimes(process, whole);
    const bool memoryOk = processMemory(process, memory);
    CloseHandle(process);
    if (!timesOk) return failed("GetProcessTimes");
    if (!memoryOk) return failed("GetProcessMemoryInfo");
    const int threadCount = threadTimes(pid, threads);
    if (threadCount < 0) return failed("CreateToolhelp32Snapshot");
    processTimes(GetCurrentProcess(), own);
    out("pid=%lu threads=%d thread_user_ms=%.1f thread_kernel_ms=%.1f process_user_ms=%.1f "
        "process_kernel_ms=%.1f own_user_ms=%.1f own_kernel_ms=%.1f working_set=%lu peak_working_set=%lu "
        "pagefile=%lu peak_pagefile=%lu\n",
        (unsigned long)pid, threadCount, threads.userMs, threads.kernelMs, whole.userMs, whole.kernelMs, own.userMs,
        own.kernelMs, (unsigned long)memory.WorkingSetSize, (unsigned long)memory.PeakWorkingSetSize,
        (unsigned long)memory.PagefileUsage, (unsigned long)memory.PeakPagefileUsage);
    return kOk;
}

// The kernel's list of processes: the handle count of one (Wine answers it
// from its server), or -1 when the process is not in the list.
long systemHandleCount(DWORD pid) {
    typedef LONG(WINAPI * QueryFunction)(ULONG, PVOID, ULONG, PULONG);
    QueryFunction query =
        (QueryFunction)(void (*)())GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation");
    if (!query) return -1;
    std::vector<char> buffer(1 << 16);
    ULONG needed = 0;
    while (query(SystemProcessInformation, buffer.data(), (ULONG)buffer.size(), &needed) != 0) {
        if (buffer.size() > (1u << 26)) return -1;
        buffer.resize(buffer.size() * 2);
    }
    for (size_t offset = 0;;) {
        const SYSTEM_PROCESS_INFORMATION* p = (const SYSTEM_PROCESS_INFORMATION*)(buffer.data() + offset);
        if ((DWORD)(ULONG_PTR)p->UniqueProcessId == pid) return (long)p->HandleCount;
        if (!p->NextEntryOffset) return -1;
        offset += p->NextEntryOffset;
    }
}

// object-counts PID: the process's user and GDI objects (GetGuiResources) and
// its kernel handles (GetProcessHandleCount, and the kernel's process list).
int cmdObjectCounts(Args& a) {
    const DWORD pid = (DWORD)takeNumber(a, "PID");
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid);
    if (!process) return failed("OpenProcess");
    const DWORD user = GetGuiResources(process, GR_USEROBJECTS);
    const DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS);
    DWORD handles = 0;
    const BOOL handlesOk = GetProcessHandleCount(process, &handles);
    CloseHandle(process);
    if (!handlesOk) return failed("GetProcessHandleCount");
    out("pid=%lu user_objects=%lu gdi_objects=%lu handles=%lu listed_handles=%ld\n", (unsigned long)pid,
        (unsigned long)user, (unsigned long)gdi, (unsigned long)handles, systemHandleCount(pid));
    return kOk;
}

// time-exit PID SECONDS start EXE [ARGS...] | broadcast NAME: asks the process
// PID to end, either by a start of EXE with ARGS or by sending the registered
// message NAME to every top-level window, and prints how long it took to end
// (exit_ms, from just before the request); for a start also how long the
// started process ran and its exit code.
int cmdTimeExit(Args& a) {
    const DWORD pid = (DWORD)takeNumber(a, "PID");
    const double seconds = takeSeconds(a, "SECONDS");
    const std::string how = takeString(a, "start|broadcast");
    if (how != "start" && how != "broadcast") usage("start or broadcast, not " + how);
    UINT message = 0;
    if (how == "broadcast") {
        message = RegisterWindowMessageA(takeString(a, "NAME").c_str());
        if (!message) return failed("RegisterWindowMessage");
    } else if (!a.has()) {
        usage("missing EXE");
    }
    HANDLE target = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
    if (!target) return failed("OpenProcess");
    HANDLE waited[2] = {target, nullptr};
    double endedMs[2] = {-1, -1};
    const double start = nowMs();
    if (how == "start") {
        PROCESS_INFORMATION pi = {};
        if (!startProcess(a, pi)) return failed("CreateProcess");
        CloseHandle(pi.hThread);
        waited[1] = pi.hProcess;
    } else {
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutA(HWND_BROADCAST, message, 0, 0, SMTO_ABORTIFHUNG, 5000, &result))
            return failed("SendMessageTimeout");
    }
    // Both ends are awaited, each one's time taken as it comes.
    int open = waited[1] ? 2 : 1;
    while (open > 0) {
        const double left = seconds * 1000 - (nowMs() - start);
        HANDLE pending[2];
        int index[2];
        int n = 0;
        for (int i = 0; i < 2; ++i)
            if (waited[i] && endedMs[i] < 0) {
                pending[n] = waited[i];
                index[n++] = i;
            }
        const DWORD wait = left > 0 ? WaitForMultipleObjects(n, pending, FALSE, (DWORD)left) : WAIT_TIMEOUT;
        if (wait >= WAIT_OBJECT_0 + (DWORD)n) break;
        endedMs[index[wait - WAIT_OBJECT_0]] = nowMs() - start;
        --open;
    }
    std::string second;
    if (waited[1]) {
        DWORD code = 0;
        GetExitCodeProcess(waited[1], &code);
        char text[64];
        if (endedMs[1] >= 0)
            snprintf(text, sizeof text, " second_ms=%.1f second_exit=%ld", endedMs[1], (long)code);
        else
            snprintf(text, sizeof text, " second=running");
        second = text;
        CloseHandle(waited[1]);
    }
    CloseHandle(target);
    if (endedMs[0] < 0) {
        out("timeout pid=%lu%s\n", (unsigned long)pid, second.c_str());
        return kNo;
    }
    out("pid=%lu exit_ms=%.1f%s\n", (unsigned long)pid, endedMs[0], second.c_str());
    return kOk;
}

// A press and release of the left button where the pointer is, as real
// input: the desktop's notification area passes it on as a click on the icon.
bool clickAtPointer() {
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    return SendInput(2, input, sizeof(INPUT)) == 2;
}

// time-menu WINDOW ID SECONDS [left|input]: clicks the icon ID of WINDOW and
// prints how long it took until a pop-up menu of WINDOW's thread was visible
// (menu_ms, from the press). left posts what the shell sends for a click
// (WM_TRAYICON with the mouse messages); input clicks the left button where
// the pointer is (park it on the icon first), so that the desktop's
// notification area makes the messages. The menu is left open.
int cmdTimeMenu(Args& a) {
    HWND hwnd = takeWindow(a);
    const WPARAM id = (WPARAM)takeNumber(a, "ID");
    const double seconds = takeSeconds(a, "SECONDS");
    const std::string how = a.has() ? a.take() : "left";
    if (how != "left" && how != "input") usage("left or input, not " + how);
    if (!hwnd) return kNo;
    const DWORD threadId = GetWindowThreadProcessId(hwnd, nullptr);
    if (visibleMenuWindow(threadId)) {
        fprintf(stderr, "probe: a menu is open already\n");
        fflush(stderr);
        return kNo;
    }
    const double start = nowMs();
    if (how == "input") {
        if (!clickAtPointer()) return failed("SendInput");
    } else if (!PostMessageA(hwnd, WM_TRAYICON, id, WM_LBUTTONDOWN) ||
               !PostMessageA(hwnd, WM_TRAYICON, id, WM_LBUTTONUP)) {
        return failed("PostMessage");
    }
    HWND menu = nullptr;
    while (!(menu = visibleMenuWindow(threadId))) {
        if (nowMs() - start >= seconds * 1000) {
            out("timeout\n");
            return kNo;
        }
        Sleep(1);
    }
    const double shown = nowMs() - start;
    out("menu_ms=%.1f hwnd=0x%08lx\n", shown, (unsigned long)(ULONG_PTR)menu);
    return kOk;
}

// time-applet WINDOW COMMAND TITLE CONTROL_ID SECONDS: posts WM_COMMAND
// COMMAND to WINDOW and prints how long it took until a top-level window
// TITLE existed (window_ms) and until its descendant CONTROL_ID had a text
// (filled_ms), looking every millisecond.
int cmdTimeApplet(Args& a) {
    HWND hwnd = takeWindow(a);
    const WPARAM command = (WPARAM)takeNumber(a, "COMMAND");
    const std::string title = takeString(a, "TITLE");
    const int id = (int)takeNumber(a, "CONTROL_ID");
    const double seconds = takeSeconds(a, "SECONDS");
    if (!hwnd) return kNo;
    if (FindWindowA(nullptr, title.c_str())) {
        fprintf(stderr, "probe: a window %s is open already\n", title.c_str());
        fflush(stderr);
        return kNo;
    }
    const double start = nowMs();
    if (!PostMessageA(hwnd, WM_COMMAND, command, 0)) return failed("PostMessage");
    HWND window = nullptr, control = nullptr;
    double shown = 0;
    char text[256] = "";
    while (!*text) {
        if (nowMs() - start >= seconds * 1000) {
            out("timeout window=%d control=%d\n", window ? 1 : 0, control ? 1 : 0);
            return kNo;
        }
        if (!window && (window = FindWindowA(nullptr, title.c_str()))) shown = nowMs() - start;
        if (window && !control) control = descendant(window, id);
        DWORD_PTR length = 0;
        if (control)
            SendMessageTimeoutA(control, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG, 1000, &length);
        if (!*text) Sleep(1);
    }
    out("window_ms=%.1f filled_ms=%.1f hwnd=0x%08lx text=%s\n", shown, nowMs() - start,
        (unsigned long)(ULONG_PTR)window, oneLine(text).c_str());
    return kOk;
}

// ---------------------------------------------------------------- stand-ins

// `service NAME` is what the service control manager starts for a service
// registered with `sc create NAME binPath= "...probe.exe service NAME"`: it
// reports itself running until it is told to stop.
SERVICE_STATUS_HANDLE serviceStatusHandle = nullptr;
HANDLE serviceStopped = nullptr;
std::string serviceName;

void reportService(DWORD state) {
    SERVICE_STATUS status = {};
    status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status.dwCurrentState = state;
    status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
    SetServiceStatus(serviceStatusHandle, &status);
}

DWORD WINAPI serviceControl(DWORD control, DWORD, LPVOID, LPVOID) {
    if (control == SERVICE_CONTROL_STOP) {
        reportService(SERVICE_STOP_PENDING);
        SetEvent(serviceStopped);
    }
    return NO_ERROR;
}

void WINAPI serviceMain(DWORD, LPSTR*) {
    serviceStatusHandle = RegisterServiceCtrlHandlerExA(serviceName.c_str(), serviceControl, nullptr);
    if (!serviceStatusHandle) return;
    reportService(SERVICE_RUNNING);
    WaitForSingleObject(serviceStopped, INFINITE);
    reportService(SERVICE_STOPPED);
}

int cmdService(Args& a) {
    serviceName = takeString(a, "NAME");
    serviceStopped = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    SERVICE_TABLE_ENTRYA table[] = {{&serviceName[0], serviceMain}, {nullptr, nullptr}};
    if (!StartServiceCtrlDispatcherA(table)) return failed("StartServiceCtrlDispatcherA");
    return kOk;
}

// `help-viewer SECONDS` stands in for the help viewer: Wine's WinHelpA sends
// its request as WM_COPYDATA to the window of class MS_WINHELP, tagged with
// this number, and returns what the window answers.
const ULONG_PTR kWineHelpMagic = 0xA1DE505;

struct WineHelpRequest {
    WORD size;
    WORD command;
    LONG data;
    LONG reserved;
    WORD ofsFilename;
    WORD ofsData;
};

bool helpRequestSeen = false;

LRESULT CALLBACK helpViewerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        const COPYDATASTRUCT* copy = (const COPYDATASTRUCT*)lParam;
        if (copy->dwData != kWineHelpMagic || copy->cbData < sizeof(WineHelpRequest)) return FALSE;
        const WineHelpRequest* request = (const WineHelpRequest*)copy->lpData;
        const char* file = request->ofsFilename ? (const char*)copy->lpData + request->ofsFilename : "";
        out("command=%u context=%ld window=0x%08lx file=%s\n", request->command, (long)request->data,
            (unsigned long)(ULONG_PTR)wParam, file);
        helpRequestSeen = true;
        return TRUE;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

int cmdHelpViewer(Args& a) {
    const double seconds = takeSeconds(a, "SECONDS");
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = helpViewerProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "MS_WINHELP";
    if (!RegisterClassA(&windowClass)) return failed("RegisterClassA");
    HWND viewer = CreateWindowA("MS_WINHELP", "probe help viewer", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                windowClass.hInstance, nullptr);
    if (!viewer) return failed("CreateWindowA");
    out("viewer=0x%08lx\n", (unsigned long)(ULONG_PTR)viewer);
    const DWORD start = GetTickCount();
    while (!helpRequestSeen && GetTickCount() - start < (DWORD)(seconds * 1000)) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        if (!helpRequestSeen) MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    DestroyWindow(viewer);
    return helpRequestSeen ? kOk : kNo;
}

// hold: stays on the desktop until ended, which keeps a virtual desktop open
// between the programs of a test run.
int cmdHold(Args&) {
    HWND hwnd = CreateWindowExA(0, "STATIC", "probe hold", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    if (!hwnd) return failed("CreateWindowEx");
    out("holding pid=%lu\n", (unsigned long)GetCurrentProcessId());
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    DestroyWindow(hwnd);
    return kOk;
}

// hold-image FILE SECONDS: maps FILE as a program image, as a running copy of
// it in another session would (no mutex or window of it in this one), so
// that the file cannot be written until SECONDS have passed.
int cmdHoldImage(Args& a) {
    std::string file = takeString(a, "FILE");
    double seconds = takeSeconds(a, "SECONDS");
    HMODULE image = LoadLibraryExA(file.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    if (!image) return failed("LoadLibraryEx");
    out("holding pid=%lu\n", (unsigned long)GetCurrentProcessId());
    Sleep((DWORD)(seconds * 1000));
    FreeLibrary(image);
    return kOk;
}

// A top-level window whose thread stops taking messages: what a hung program
// looks like to a broadcast. The window is shown and answers until it is
// listed, then the thread sleeps for SECONDS without reading its queue.
int cmdHang(Args& a) {
    std::string title = takeString(a, "TITLE");
    double seconds = takeSeconds(a, "SECONDS");
    HWND hwnd = CreateWindowExA(0, "STATIC", title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 80, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!hwnd) return failed("CreateWindowEx");
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    out("hanging hwnd=0x%08lx pid=%lu\n", (unsigned long)(ULONG_PTR)hwnd, (unsigned long)GetCurrentProcessId());
    Sleep((DWORD)(seconds * 1000));
    DestroyWindow(hwnd);
    return kOk;
}

int cmdHelp(Args&);

struct Command {
    const char* name;
    int (*run)(Args&);
    const char* arguments;
    const char* description;
};

const Command kCommands[] = {
    // Windows.
    {"find-window", cmdFindWindow, "WINDOW", "every matching window; exit 1 if none"},
    {"wait-window", cmdWaitWindow, "WINDOW SECONDS", "wait until the window exists"},
    {"wait-gone", cmdWaitGone, "WINDOW SECONDS", "wait until the window no longer exists"},
    {"windows", cmdWindows, "[PID]", "every top-level window (of PID)"},
    {"foreground", cmdForeground, "", "the foreground window; exit 1 if none"},
    // Messages.
    {"post", cmdPost, "WINDOW MSG [WPARAM [LPARAM]]", "PostMessage"},
    {"send", cmdSend, "WINDOW MSG [WPARAM [LPARAM]]", "SendMessageTimeout, prints the result"},
    {"post-registered", cmdPostRegistered, "WINDOW NAME [WPARAM [LPARAM]]", "RegisterWindowMessage + PostMessage"},
    {"broadcast-registered", cmdBroadcastRegistered, "NAME [WPARAM [LPARAM]]", "send to HWND_BROADCAST"},
    // Controls.
    {"get-text", cmdGetText, "WINDOW [CONTROL_ID]", "WM_GETTEXT of the window or a control"},
    {"children", cmdChildren, "WINDOW", "child windows with id, class and text"},
    {"read-list", cmdReadList, "WINDOW CONTROL_ID [ROW]", "columns and rows of a list view (ROW selected first)"},
    {"clipped", cmdClipped, "WINDOW", "texts cut off by their controls; exit 1 if there is one"},
    // Menus and the notification area.
    {"tray-click", cmdTrayClick, "WINDOW ID [left|right|double]", "what the shell posts for a click on an icon"},
    {"read-menu", cmdReadMenu, "WINDOW SECONDS", "items of the pop-up menu open on WINDOW's thread"},
    {"wait-menu", cmdWaitMenu, "WINDOW SECONDS [gone]", "wait until a pop-up menu of WINDOW's thread shows (or none)"},
    {"menus", cmdMenus, "[PID]", "pop-up menu windows (of PID); exit 1 if none is visible"},
    {"read-tooltips", cmdReadTooltips, "WINDOW", "tools and texts of the tooltips of WINDOW's thread"},
    // Input.
    {"cursor", cmdCursor, "", "GetCursorPos"},
    {"key-state", cmdKeyState, "VK...", "GetAsyncKeyState; exit 1 unless all are down"},
    // Processes.
    {"start", cmdStart, "EXE [ARGS...] | --line TEXT", "start without waiting, print the pid"},
    {"spawn", cmdSpawn, "[--timeout=S] EXE [ARGS...] | --line TEXT", "run, wait, print the exit code"},
    {"start-many", cmdStartMany, "N SECONDS EXE [ARGS...]", "start N at once, wait for all but one to end"},
    {"wait-exit", cmdWaitExit, "PID SECONDS", "wait for a process, print its exit code"},
    {"pids", cmdPids, "IMAGE", "processes of that image name; exit 1 if none"},
    {"kill", cmdKill, "IMAGE", "terminate every process of that image name"},
    {"mutex", cmdMutex, "NAME", "does the named mutex exist"},
    // The registry.
    {"reg-get", cmdRegGet, "KEY VALUE", "read a registry value"},
    // Measuring.
    {"process-usage", cmdProcessUsage, "PID", "CPU times and working set of a process"},
    {"object-counts", cmdObjectCounts, "PID", "user and GDI objects and kernel handles of a process"},
    {"time-exit", cmdTimeExit, "PID SECONDS start EXE [ARGS...] | broadcast NAME", "ask PID to end, time it"},
    {"time-menu", cmdTimeMenu, "WINDOW ID SECONDS [left|input]", "click a tray icon, time until its menu shows"},
    {"time-applet", cmdTimeApplet, "WINDOW COMMAND TITLE CONTROL_ID SECONDS", "post a command, time its window"},
    // Stand-ins.
    {"service", cmdService, "NAME", "run as the service NAME (started by the service control manager)"},
    {"help-viewer", cmdHelpViewer, "SECONDS", "be the help viewer until one request arrives"},
    {"hold", cmdHold, "", "stay on the desktop until ended"},
    {"hold-image", cmdHoldImage, "FILE SECONDS", "map FILE as a running program would, for SECONDS"},
    {"hang", cmdHang, "TITLE SECONDS", "a shown top-level window that stops answering"},
    {"help", cmdHelp, "", ""},
};

int cmdHelp(Args&) {
    out("usage: probe.exe COMMAND [ARGUMENTS...]\n");
    for (const Command& c : kCommands) {
        std::string line = std::string(c.name) + " " + c.arguments;
        out("  %-44s %s\n", line.c_str(), c.description);
    }
    return kOk;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        Args none;
        cmdHelp(none);
        return kUsage;
    }
    Args args;
    for (int i = 2; i < argc; ++i) args.items.push_back(argv[i]);
    for (const Command& c : kCommands) {
        if (strcmp(c.name, argv[1]) != 0) continue;
        try {
            int rc = c.run(args);
            if (args.has()) {
                fprintf(stderr, "probe %s: unexpected argument %s\n", c.name, args.take().c_str());
                return kUsage;
            }
            return rc;
        } catch (const UsageError& e) {
            fprintf(stderr, "probe %s: %s\nusage: probe.exe %s %s\n", c.name, e.what.c_str(), c.name, c.arguments);
            return kUsage;
        }
    }
    fprintf(stderr, "probe: unknown command %s (try: probe.exe help)\n", argv[1]);
    return kUsage;
}
