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

#include "probehook.h"

namespace {

const UINT kGetMenuHandle = 0x01E1;  // MN_GETHMENU

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
    snprintf(line, sizeof line, "menu hwnd=0x%08lx rect=%ld,%ld,%ld,%ld count=%d\n", (unsigned long)(ULONG_PTR)window,
             r.left, r.top, r.right, r.bottom, count);
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
            snprintf(line, sizeof line, "item index=%d id=%u type=0x%x state=0x%x text=%s\n", i, info.wID, info.fType,
                     info.fState, oneLine(label).c_str());
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
        if (*p == L'\\')
            out += "\\\\";
        else if (*p == L'\n')
            out += "\\n";
        else if (*p == L'\r')
            out += "\\r";
        else if (*p == L'\t')
            out += "\\t";
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
                     (unsigned long)(ULONG_PTR)tooltip, (unsigned long)(ULONG_PTR)info.hwnd, (unsigned long)info.uId,
                     r.left, r.top, r.right, r.bottom);
            text += line;
            text += callback ? std::string() : escapedText(buffer.data());
            text += "\n";
        }
    }
    return text.empty() ? "tools=none\n" : text;
}

// ---------------------------------------------------------------- list views and clipped text
//
// kReadListMessage, sent to a list view with the row to select first in
// lParam (-1: none), answers with its columns and rows:
//   list hwnd=0x... rows=N columns=M selected=S
//   column index=I width=W need=X text=NAME
//   row index=I text=CELL<tab>CELL...
// where `need` is the widest of the column's name and texts plus the list's
// margins, so a column narrower than that cuts a text off.
// kClippedMessage, sent to a window, answers with each visible text control
// of it (statics, buttons, list view columns) whose text does not fit:
//   clipped id=ID class=CLASS size=W,H need=W,H text=TEXT
// or `clipped=none`.

// A list view leaves this much room around a text in its column (both sides).
const int kListTextMargin = 12;

std::string listText(HWND list, int row, int column) {
    char text[512] = "";
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMTEXTA, (WPARAM)row, reinterpret_cast<LPARAM>(&item));
    return oneLine(text);
}

int textWidth(HWND list, const std::string& text) {
    return (int)SendMessageA(list, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(text.c_str())) + kListTextMargin;
}

struct ListColumn {
    std::string name;
    int width, need;
};

std::vector<ListColumn> listColumns(HWND list) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    const int columns = (int)SendMessageA(header, HDM_GETITEMCOUNT, 0, 0);
    const int rows = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    std::vector<ListColumn> result;
    for (int c = 0; c < columns; ++c) {
        char name[256] = "";
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = name;
        column.cchTextMax = sizeof name;
        SendMessageA(list, LVM_GETCOLUMNA, (WPARAM)c, reinterpret_cast<LPARAM>(&column));
        ListColumn each = {name, column.cx, textWidth(list, name)};
        for (int r = 0; r < rows; ++r) {
            const int need = textWidth(list, listText(list, r, c));
            if (need > each.need) each.need = need;
        }
        result.push_back(each);
    }
    return result;
}

std::string describeList(HWND list, int select) {
    if (select >= 0) {
        LVITEMA state = {};
        state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(list, LVM_SETITEMSTATE, (WPARAM)select, reinterpret_cast<LPARAM>(&state));
    }
    const std::vector<ListColumn> columns = listColumns(list);
    const int rows = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    char line[256];
    snprintf(line, sizeof line, "list hwnd=0x%08lx rows=%d columns=%d selected=%d\n", (unsigned long)(ULONG_PTR)list,
             rows, (int)columns.size(), (int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED));
    std::string text = line;
    for (size_t c = 0; c < columns.size(); ++c) {
        snprintf(line, sizeof line, "column index=%d width=%d need=%d text=", (int)c, columns[c].width,
                 columns[c].need);
        text += line + columns[c].name + "\n";
    }
    for (int r = 0; r < rows; ++r) {
        snprintf(line, sizeof line, "row index=%d text=", r);
        text += line;
        for (size_t c = 0; c < columns.size(); ++c) text += (c ? "\t" : "") + listText(list, r, (int)c);
        text += "\n";
    }
    return text;
}

// The room a static or button text needs in its control's font: for a
// wrapping static the height at the control's width, else one line.
SIZE textNeed(HWND control, const std::string& text, UINT format, int width) {
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
    RECT r = {0, 0, width, 0};
    DrawTextA(dc, text.c_str(), -1, &r, format | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    SIZE need = {r.right, r.bottom};
    return need;
}

BOOL CALLBACK collectChild(HWND hwnd, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
    return TRUE;
}

// What a text control needs beyond its text: a push button its frame, a
// check box its box, a group box its frame on both sides; 0,0 when the
// control holds no text that can be cut off.
bool textRoom(HWND control, const char* kind, UINT& format, int& extra) {
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    format = DT_SINGLELINE;
    extra = 0;
    if (lstrcmpiA(kind, "Static") == 0) {
        const LONG type = style & SS_TYPEMASK;
        if (type > SS_RIGHT && type != SS_SIMPLE && type != SS_LEFTNOWORDWRAP) return false;
        if (type <= SS_RIGHT) format = DT_WORDBREAK;
        if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
        return true;
    }
    if (lstrcmpiA(kind, "Button") != 0) return false;
    const LONG type = style & BS_TYPEMASK;
    extra = type <= BS_DEFPUSHBUTTON ? 6 : type == BS_GROUPBOX ? 16 : GetSystemMetrics(SM_CXMENUCHECK) + 4;
    return true;
}

std::string describeClipped(HWND window) {
    std::vector<HWND> children;
    EnumChildWindows(window, collectChild, reinterpret_cast<LPARAM>(&children));
    std::string text;
    char line[256];
    for (HWND child : children) {
        if (!IsWindowVisible(child)) continue;
        char kind[64] = "", label[512] = "";
        GetClassNameA(child, kind, sizeof kind);
        GetWindowTextA(child, label, sizeof label);
        RECT r;
        GetClientRect(child, &r);
        UINT format;
        int extra;
        if (lstrcmpiA(kind, "SysListView32") == 0) {
            for (const ListColumn& column : listColumns(child)) {
                if (column.need <= column.width) continue;
                snprintf(line, sizeof line, "clipped id=%d class=%s size=%d,%d need=%d,%d text=", GetDlgCtrlID(child),
                         kind, column.width, (int)r.bottom, column.need, (int)r.bottom);
                text += line + column.name + "\n";
            }
            continue;
        }
        if (!*label || !textRoom(child, kind, format, extra)) continue;
        const SIZE need = textNeed(child, label, format, r.right - extra);
        if (need.cx + extra <= r.right && need.cy <= r.bottom) continue;
        snprintf(line, sizeof line, "clipped id=%d class=%s size=%d,%d need=%d,%d text=", GetDlgCtrlID(child), kind,
                 (int)r.right, (int)r.bottom, (int)need.cx + extra, (int)need.cy);
        text += line + oneLine(label) + "\n";
    }
    return text.empty() ? "clipped=none\n" : text;
}

// The answer to a request of this block, or "" when the message is none of them.
std::string listAndClippedAnswer(const CWPSTRUCT& cwp) {
    static const UINT readList = RegisterWindowMessageA(kReadListMessage);
    static const UINT clipped = RegisterWindowMessageA(kClippedMessage);
    if (cwp.message == readList) return describeList(cwp.hwnd, (int)cwp.lParam);
    if (cwp.message == clipped) return describeClipped(cwp.hwnd);
    return "";
}

}  // namespace

extern "C" __attribute__((dllexport)) LRESULT CALLBACK ProbeCallWndProc(int code, WPARAM wParam, LPARAM lParam) {
    static const UINT readMenu = RegisterWindowMessageA(kReadMenuMessage);
    static const UINT readTooltips = RegisterWindowMessageA(kReadTooltipsMessage);
    if (code == HC_ACTION && lParam) {
        const CWPSTRUCT* cwp = reinterpret_cast<const CWPSTRUCT*>(lParam);
        std::string text = cwp->wParam ? listAndClippedAnswer(*cwp) : std::string();
        if ((cwp->message == readMenu || cwp->message == readTooltips) && cwp->wParam)
            text = cwp->message == readMenu ? describeOpenMenu() : describeTooltips();
        if (!text.empty()) {
            COPYDATASTRUCT data = {};
            data.dwData = kCopyDataAnswer;
            data.cbData = (DWORD)text.size() + 1;
            data.lpData = const_cast<char*>(text.c_str());
            DWORD_PTR result = 0;
            SendMessageTimeoutA(reinterpret_cast<HWND>(cwp->wParam), WM_COPYDATA, reinterpret_cast<WPARAM>(cwp->hwnd),
                                reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 5000, &result);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
