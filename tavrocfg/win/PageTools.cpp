// Helpers the applet's pages share: filling their controls, and the program's folder (see Pages.h).
#include "Pages.h"

#include "common/Mbcs.h"

#include <commctrl.h>

const char kNotAvailable[] = "not available";

AppletContext* PageContext(HWND page, UINT message, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrA(page, DWLP_USER, lParam);
    return reinterpret_cast<AppletContext*>(GetWindowLongPtrA(page, DWLP_USER));
}

void SetText(HWND page, int id, const char* text) {
    // Unchanged text is not set again, so a page refreshed every second does not flicker.
    char current[512] = "";
    GetDlgItemTextA(page, id, current, sizeof current);
    if (lstrcmpA(current, text) != 0) SetDlgItemTextA(page, id, text);
}

void SetText(HWND page, int id, const std::string& text) { SetText(page, id, text.c_str()); }

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

void FitColumns(HWND list) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    const int count = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    // The header leaves three edges' width on each side of a column's name.
    const int nameMargin = 6 * GetSystemMetrics(SM_CXEDGE);
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
        const LRESULT named = SendMessageA(list, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(name)) + nameMargin;
        if (named > texts) SendMessageA(list, LVM_SETCOLUMNWIDTH, i, named);
    }
}

int AddRow(HWND list, const char* const* texts, int count, LPARAM data) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    item.pszText = const_cast<char*>(texts[0]);
    item.lParam = data;
    const int row = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    for (int i = 1; i < count && row >= 0; ++i) {
        LVITEMA sub = {};
        sub.iSubItem = i;
        sub.pszText = const_cast<char*>(texts[i]);
        SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&sub));
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

void ShowRefusal(HWND page, const char* what, unsigned long code) {
    const std::string text = std::string(what) + "\n\n" + ErrorText(code);
    MessageBoxA(GetParent(page), text.c_str(), "Wireless LAN Configuration", MB_OK | MB_ICONEXCLAMATION);
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
