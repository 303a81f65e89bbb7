// probehook.dll - the part of probe.exe that runs inside another process.
//
// Under Wine another process cannot read an open pop-up menu: MN_GETHMENU on
// the "#32768" window answers with an error, and a menu handle means nothing
// outside the process that owns it. The same holds for the texts of tooltip
// controls. So probe.exe installs the WH_CALLWNDPROC hook below on the thread
// that owns the windows (read-menu: the program's thread; read-tooltips: the
// desktop's taskbar thread); Wine loads this DLL into that process, and the
// hook runs there whenever the thread receives a sent message. probe.exe then
// sends one of the registered messages below to a window of that thread, with
// the window that wants the answer in wParam; the hook reads what is asked for
// and sends the text back with WM_COPYDATA (the probe's thread processes it
// while it waits in its SendMessage).
//
// The answers are records in probe.exe's format, one a line.
// kReadMenuMessage, the pop-up menu open on the thread:
//   menu hwnd=0x... rect=LEFT,TOP,RIGHT,BOTTOM count=N
//   item index=I id=ID type=0x... state=0x... text=TEXT
// or `menu=none` when no pop-up menu of the thread is visible.
// kReadTooltipsMessage, every tool of every tooltip control of the thread:
//   tool tooltip=0x... owner=0x... id=0x... rect=LEFT,TOP,RIGHT,BOTTOM text=TEXT
// with the tool's rectangle in screen coordinates and, in TEXT, a line break
// written as \n, a tab as \t and a backslash as \\.
//
// Built with the C and C++ runtimes linked in, so that it loads into any
// process without further DLLs; exported without the stdcall decoration.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const char kReadMenuMessage[] = "ZEVARIDA E2E READ MENU";
const char kReadTooltipsMessage[] = "ZEVARIDA E2E READ TOOLTIPS";
const UINT kGetMenuHandle = 0x01E1;  // MN_GETHMENU
const ULONG_PTR kCopyDataAnswer = 0x4D454E55;  // dwData of the answer

BOOL CALLBACK findMenuWindow(HWND hwnd, LPARAM lp) {
    char name[32] = "";
    GetClassNameA(hwnd, name, sizeof name);
    if (lstrcmpA(name, "#32768") == 0 && IsWindowVisible(hwnd)) {
        *reinterpret_cast<HWND*>(lp) = hwnd;
        return FALSE;
    }
    return TRUE;
}

std::string oneLine(std::string s) {
    for (char& c : s)
        if (c == '\r' || c == '\n' || c == '\t') c = ' ';
    return s;
}

std::string describeOpenMenu() {
    HWND window = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findMenuWindow, reinterpret_cast<LPARAM>(&window));
    if (!window) return "menu=none\n";
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(window, kGetMenuHandle, 0, 0));
    if (!menu || !IsMenu(menu)) return "menu=none\n";

    char line[512];
    RECT r = {};
    GetWindowRect(window, &r);
    const int count = GetMenuItemCount(menu);
    snprintf(line, sizeof line, "menu hwnd=0x%08lx rect=%ld,%ld,%ld,%ld count=%d\n",
             (unsigned long)(ULONG_PTR)window, r.left, r.top, r.right, r.bottom, count);
    std::string text = line;
    for (int i = 0; i < count; ++i) {
        char label[256] = "";
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_STRING | MIIM_STATE | MIIM_FTYPE;
        info.dwTypeData = label;
        info.cch = sizeof label - 1;
        if (!GetMenuItemInfoA(menu, (UINT)i, TRUE, &info)) {
            snprintf(line, sizeof line, "item index=%d error=%lu\n", i, (unsigned long)GetLastError());
        } else {
            snprintf(line, sizeof line, "item index=%d id=%u type=0x%x state=0x%x text=%s\n", i, info.wID,
                     info.fType, info.fState, oneLine(label).c_str());
        }
        text += line;
    }
    return text;
}

BOOL CALLBACK collectTooltips(HWND hwnd, LPARAM lp) {
    char name[64] = "";
    GetClassNameA(hwnd, name, sizeof name);
    if (lstrcmpiA(name, TOOLTIPS_CLASSA) == 0) reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
    return TRUE;
}

// UTF-16 to the ANSI code page, with line breaks, tabs and backslashes escaped.
std::string escapedText(const wchar_t* text) {
    std::string out;
    for (const wchar_t* p = text; *p; ++p) {
        if (*p == L'\\') out += "\\\\";
        else if (*p == L'\n') out += "\\n";
        else if (*p == L'\r') out += "\\r";
        else if (*p == L'\t') out += "\\t";
        else {
            char bytes[8] = "";
            int n = WideCharToMultiByte(CP_ACP, 0, p, 1, bytes, sizeof bytes, nullptr, nullptr);
            out.append(bytes, n > 0 ? n : 0);
        }
    }
    return out;
}

std::string describeTooltips() {
    std::vector<HWND> tooltips;
    EnumThreadWindows(GetCurrentThreadId(), collectTooltips, reinterpret_cast<LPARAM>(&tooltips));
    std::string text;
    char line[256];
    for (HWND tooltip : tooltips) {
        const int count = (int)SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0);
        for (int i = 0; i < count; ++i) {
            // Large enough for any tip text; the control copies it without a limit.
            std::vector<wchar_t> buffer(4096, L'\0');
            TTTOOLINFOW info = {};
            info.cbSize = sizeof info;
            info.lpszText = buffer.data();
            if (!SendMessageW(tooltip, TTM_ENUMTOOLSW, (WPARAM)i, reinterpret_cast<LPARAM>(&info))) continue;
            RECT r = info.rect;
            if (info.hwnd) MapWindowPoints(info.hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
            const bool callback = info.lpszText == LPSTR_TEXTCALLBACKW || IS_INTRESOURCE(info.lpszText);
            snprintf(line, sizeof line, "tool tooltip=0x%08lx owner=0x%08lx id=0x%lx rect=%ld,%ld,%ld,%ld text=",
                     (unsigned long)(ULONG_PTR)tooltip, (unsigned long)(ULONG_PTR)info.hwnd,
                     (unsigned long)info.uId, r.left, r.top, r.right, r.bottom);
            text += line;
            text += callback ? std::string() : escapedText(buffer.data());
            text += "\n";
        }
    }
    return text.empty() ? "tools=none\n" : text;
}

}  // namespace

extern "C" __attribute__((dllexport)) LRESULT CALLBACK ProbeCallWndProc(int code, WPARAM wParam, LPARAM lParam) {
    static const UINT readMenu = RegisterWindowMessageA(kReadMenuMessage);
    static const UINT readTooltips = RegisterWindowMessageA(kReadTooltipsMessage);
    if (code == HC_ACTION && lParam) {
        const CWPSTRUCT* cwp = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if ((cwp->message == readMenu || cwp->message == readTooltips) && cwp->wParam) {
            std::string text = cwp->message == readMenu ? describeOpenMenu() : describeTooltips();
            COPYDATASTRUCT data = {};
            data.dwData = kCopyDataAnswer;
            data.cbData = (DWORD)text.size() + 1;
            data.lpData = const_cast<char*>(text.c_str());
            DWORD_PTR result = 0;
            SendMessageTimeoutA(reinterpret_cast<HWND>(cwp->wParam), WM_COPYDATA,
                                reinterpret_cast<WPARAM>(cwp->hwnd), reinterpret_cast<LPARAM>(&data),
                                SMTO_ABORTIFHUNG, 5000, &result);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
