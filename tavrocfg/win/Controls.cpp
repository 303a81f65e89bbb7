// Helpers the applet's pages share (see Pages.h): the Unicode or ANSI forms
// of the controls' calls, list views, message boxes and the program's folder.
// The W functions are looked up in user32, as Windows 98 and Me have only
// failing stubs of them.
#include "Pages.h"

#include "common/Mbcs.h"

#include <commctrl.h>

namespace {

struct WideUser32 {
    typedef INT_PTR(WINAPI* DialogBoxParamFunction)(HINSTANCE, LPCWSTR, HWND, DLGPROC, LPARAM);
    typedef HWND(WINAPI* CreateDialogParamFunction)(HINSTANCE, LPCWSTR, HWND, DLGPROC, LPARAM);
    typedef LRESULT(WINAPI* SendMessageFunction)(HWND, UINT, WPARAM, LPARAM);
    typedef int(WINAPI* MessageBoxFunction)(HWND, LPCWSTR, LPCWSTR, UINT);
    DialogBoxParamFunction dialogBoxParam = nullptr;
    CreateDialogParamFunction createDialogParam = nullptr;
    SendMessageFunction sendMessage = nullptr;
    MessageBoxFunction messageBox = nullptr;
    bool complete = false;
};

const WideUser32& Wide() {
    static WideUser32 wide;
    static bool looked = false;
    if (!looked && !(GetVersion() & 0x80000000ul)) {
        HMODULE user32 = GetModuleHandleA("user32.dll");
        wide.dialogBoxParam = FindFunction<WideUser32::DialogBoxParamFunction>(user32, "DialogBoxParamW");
        wide.createDialogParam = FindFunction<WideUser32::CreateDialogParamFunction>(user32, "CreateDialogParamW");
        wide.sendMessage = FindFunction<WideUser32::SendMessageFunction>(user32, "SendMessageW");
        wide.messageBox = FindFunction<WideUser32::MessageBoxFunction>(user32, "MessageBoxW");
        wide.complete = wide.dialogBoxParam && wide.createDialogParam && wide.sendMessage && wide.messageBox;
    }
    looked = true;
    return wide;
}

LPCWSTR WideText(const Text& text) { return reinterpret_cast<LPCWSTR>(text.c_str()); }

const char kTitle[] = "Wireless LAN Configuration";

}  // namespace

AppletContext* PageContext(HWND page, UINT message, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrA(page, DWLP_USER, lParam);
    return reinterpret_cast<AppletContext*>(GetWindowLongPtrA(page, DWLP_USER));
}

bool UnicodeWindows() { return Wide().complete; }

INT_PTR ShowDialog(HINSTANCE module, int templateId, DLGPROC procedure, LPARAM parameter) {
    if (UnicodeWindows())
        return Wide().dialogBoxParam(module, reinterpret_cast<LPCWSTR>(MAKEINTRESOURCEA(templateId)), nullptr,
                                     procedure, parameter);
    return DialogBoxParamA(module, MAKEINTRESOURCEA(templateId), nullptr, procedure, parameter);
}

HWND CreatePageDialog(HINSTANCE module, int templateId, HWND parent, DLGPROC procedure, LPARAM parameter) {
    if (UnicodeWindows())
        return Wide().createDialogParam(module, reinterpret_cast<LPCWSTR>(MAKEINTRESOURCEA(templateId)), parent,
                                        procedure, parameter);
    return CreateDialogParamA(module, MAKEINTRESOURCEA(templateId), parent, procedure, parameter);
}

std::string Narrow(const Text& text) {
    if (text.empty()) return std::string();
    std::string out(text.size() * 2 + 1, '\0');
    const int n = WideCharToMultiByte(CP_ACP, 0, WideText(text), static_cast<int>(text.size()), &out[0],
                                      static_cast<int>(out.size()), "?", nullptr);
    out.resize(n > 0 ? n : 0);
    return out;
}

Text FromAnsi(const char* text) {
    const int length = lstrlenA(text);
    if (length == 0) return Text();
    Text out(length, u'\0');
    const int n = MultiByteToWideChar(CP_ACP, 0, text, length, reinterpret_cast<LPWSTR>(&out[0]), length);
    out.resize(n > 0 ? n : 0);
    return out;
}

void SetText(HWND page, int id, const Text& text) {
    HWND control = GetDlgItem(page, id);
    if (!UnicodeWindows()) {
        const std::string ansi = Narrow(text);
        char current[1024] = "";
        GetWindowTextA(control, current, sizeof current);
        if (lstrcmpA(current, ansi.c_str()) != 0) SetWindowTextA(control, ansi.c_str());
        return;
    }
    char16_t current[1024] = u"";
    Wide().sendMessage(control, WM_GETTEXT, sizeof current / sizeof current[0], reinterpret_cast<LPARAM>(current));
    if (Text(current) != text) Wide().sendMessage(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void SetText(HWND page, int id, const char* text) { SetText(page, id, FromAnsi(text)); }

void SetText(HWND page, int id, const std::string& text) { SetText(page, id, FromAnsi(text.c_str())); }

void AddColumns(HWND list, const char* const* names, int count) {
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
    for (int i = 0; i < count; ++i) {
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_SUBITEM;
        column.pszText = const_cast<char*>(names[i]);
        column.iSubItem = i;
        SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
    FitColumns(list);
}

void FitColumns(HWND list, int sortedColumn) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    const int count = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    // The header leaves three edges' width on each side of a column's name,
    // and the sorted column's arrow takes about two lines' height beside it.
    const int nameMargin = 6 * GetSystemMetrics(SM_CXEDGE);
    const int arrow = 2 * DialogFont(GetParent(list)).lineHeight;
    for (int i = 0; i < count; ++i) {
        char name[64] = "";
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT;
        column.pszText = name;
        column.cchTextMax = sizeof name;
        SendMessageA(list, LVM_GETCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
        // The list measures its own texts; the name is measured in the list's font.
        SendMessageA(list, LVM_SETCOLUMNWIDTH, i, LVSCW_AUTOSIZE);
        const LRESULT texts = SendMessageA(list, LVM_GETCOLUMNWIDTH, i, 0);
        const LRESULT named = SendMessageA(list, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(name)) + nameMargin +
                              (i == sortedColumn ? arrow : 0);
        if (named > texts) SendMessageA(list, LVM_SETCOLUMNWIDTH, i, named);
    }
}

int AddRow(HWND list, const std::vector<Text>& cells, LPARAM data) {
    const bool wide = UnicodeWindows();
    std::vector<std::string> ansi;
    for (const Text& cell : cells) ansi.push_back(wide ? std::string() : Narrow(cell));
    auto text = [&](size_t i) {
        return wide ? reinterpret_cast<LPSTR>(const_cast<char16_t*>(cells[i].c_str()))
                    : const_cast<char*>(ansi[i].c_str());
    };
    auto send = [&](UINT ansiMessage, UINT wideMessage, WPARAM wParam, LPVOID record) {
        return wide ? Wide().sendMessage(list, wideMessage, wParam, reinterpret_cast<LPARAM>(record))
                    : SendMessageA(list, ansiMessage, wParam, reinterpret_cast<LPARAM>(record));
    };
    // LVITEMA and LVITEMW have one layout; only the text's characters differ.
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    item.pszText = text(0);
    item.lParam = data;
    const int row = static_cast<int>(send(LVM_INSERTITEMA, LVM_INSERTITEMW, 0, &item));
    for (size_t i = 1; i < cells.size() && row >= 0; ++i) {
        LVITEMA sub = {};
        sub.iSubItem = static_cast<int>(i);
        sub.pszText = text(i);
        send(LVM_SETITEMTEXTA, LVM_SETITEMTEXTW, row, &sub);
    }
    return row;
}

int SelectedRow(HWND list) {
    return static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void SelectRow(HWND list, int row) {
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
    SendMessageA(list, LVM_ENSUREVISIBLE, row, FALSE);
}

void ShowSortArrow(HWND list, int column, bool descending) {
    const int kSortDown = 0x0200, kSortUp = 0x0400;  // HDF_SORTDOWN, HDF_SORTUP
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    const int count = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        HDITEMA item = {};
        item.mask = HDI_FORMAT;
        SendMessageA(header, HDM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
        item.fmt &= ~(kSortDown | kSortUp);
        if (i == column) item.fmt |= descending ? kSortDown : kSortUp;
        SendMessageA(header, HDM_SETITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
}

void AddComboEntry(HWND combo, const Text& text) {
    if (UnicodeWindows())
        Wide().sendMessage(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    else
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Narrow(text).c_str()));
}

int AskOverPage(HWND page, const Text& text, UINT type) {
    HWND owner = GetParent(page);
    if (UnicodeWindows()) return Wide().messageBox(owner, WideText(text), WideText(Widen(kTitle)), type);
    return MessageBoxA(owner, Narrow(text).c_str(), kTitle, type);
}

void ShowRefusal(HWND page, const Text& what, unsigned long code) {
    AskOverPage(page, what + u"\n\n" + FromAnsi(ErrorText(code).c_str()), MB_OK | MB_ICONEXCLAMATION);
}

FontSize DialogFont(HWND window) {
    RECT units = {0, 0, 4, 8};
    if (!MapDialogRect(window, &units)) units = RECT{0, 0, 6, 13};
    return {units.bottom > 0 ? static_cast<int>(units.bottom) : 13,
            units.right > 0 ? static_cast<int>(units.right) : 6};
}

std::string ProgramFolder() {
    char path[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return "";
    // A backslash can be the second byte of a double-byte character, so the
    // path is read by characters.
    const UINT codePage = GetACP();
    size_t folder = 0;
    for (size_t at = 0; at < length; at += CharacterBytes(path + at, codePage))
        if (path[at] == '\\') folder = at + 1;
    return std::string(path, folder);
}
