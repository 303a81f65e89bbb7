// The applet's window (see AppletSheet.h): a dialog with a tab control over
// one child dialog per page, created when its tab is first chosen. It chooses
// the first page, switches pages (also with Ctrl+Tab, Ctrl+Page Down and the
// keys back), keeps the system settings button and line for the page shown,
// and answers "TAVROCFG.CPL POPUP".
#include "AppletSheet.h"
#include "resource.h"

#include <commctrl.h>

namespace {

// The pages in the order of the tabs (kTabKeywords).
const PageInfo* const kPages[kTabCount] = {&kStatusPage,   &kSurveyPage,  &kNetworksPage,
                                           &kSecurityPage, &kVersionPage, &kInstallPage};

struct Sheet {
    AppletContext* context;
    const AppletRequest* request;
    HWND pages[kTabCount];
    int shown;
};

UINT popupMessage = 0;
HWND sheetWindow = nullptr;
HHOOK keyHook = nullptr;

Sheet* SheetOf(HWND window) { return reinterpret_cast<Sheet*>(GetWindowLongPtrA(window, DWLP_USER)); }

const char* KeywordOf(const Sheet& sheet, int tab) { return TabKeyword(tab, sheet.request->page); }

// Under visual styles, a page takes the tab control's background as the
// system's property sheets do (uxtheme.dll, XP and later).
void UseTabBackground(HWND page) {
    typedef HRESULT(WINAPI * EnableTextureFunction)(HWND, DWORD);
    const DWORD kEnableTab = 6;  // ETDT_ENABLETAB
    HMODULE uxtheme = LoadSystemLibrary("uxtheme.dll");
    if (!uxtheme) return;
    if (auto enable = FindFunction<EnableTextureFunction>(uxtheme, "EnableThemeDialogTexture"))
        enable(page, kEnableTab);
    FreeLibrary(uxtheme);
}

// The page's child dialog placed over the tab control's display area, after
// the tab control in the tab order.
HWND CreatePage(HWND window, Sheet& sheet, int tab) {
    const PageInfo& info = *kPages[tab];
    HWND page = CreatePageDialog(sheet.context->module, info.templateId, window, info.procedure,
                                 reinterpret_cast<LPARAM>(sheet.context));
    if (!page) return nullptr;
    UseTabBackground(page);
    HWND tabs = GetDlgItem(window, IDC_TABS);
    RECT area;
    GetWindowRect(tabs, &area);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&area), 2);
    SendMessageA(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    SetWindowPos(page, tabs, area.left, area.top, area.right - area.left, area.bottom - area.top, SWP_NOACTIVATE);
    return page;
}

void ShowSystemSettings(HWND window, const char* keyword) {
    const SystemSettings settings = SystemSettingsFor(keyword, GetVersion());
    SetText(window, IDC_OPEN_SYSTEM_SETTINGS, settings.button);
    SetText(window, IDC_SYSTEM_SETTINGS, settings.line);
}

void ShowTab(HWND window, int tab) {
    Sheet& sheet = *SheetOf(window);
    if (tab < 0 || tab >= kTabCount) return;
    SendDlgItemMessageA(window, IDC_TABS, TCM_SETCURSEL, tab, 0);
    if (!sheet.pages[tab]) sheet.pages[tab] = CreatePage(window, sheet, tab);
    HWND old = sheet.shown >= 0 && sheet.shown != tab ? sheet.pages[sheet.shown] : nullptr;
    if (old) {
        // The focus leaves a page that hides for the tabs, so the keyboard keeps working.
        if (IsChild(old, GetFocus())) SetFocus(GetDlgItem(window, IDC_TABS));
        ShowWindow(old, SW_HIDE);
    }
    sheet.shown = tab;
    if (sheet.pages[tab]) ShowWindow(sheet.pages[tab], SW_SHOW);
    SetDlgItemTextA(window, IDC_PAGE, KeywordOf(sheet, tab));
    ShowSystemSettings(window, KeywordOf(sheet, tab));
}

void ShowAdapter(HWND window, const ChosenAdapter& adapter) {
    SetText(window, IDC_ADAPTER_ID, adapter.adapterId.empty() ? "None" : adapter.adapterId.c_str());
    SetText(window, IDC_DESCRIPTION, adapter.description.empty() ? "Not available" : adapter.description.c_str());
    std::string note;
    if (adapter.firstInstead && adapter.adapterId.empty())
        note = "No wireless adapter is found; the pages show what Windows tells.";
    else if (adapter.firstInstead)
        note = adapter.askedId.empty() ? "No adapter was named: this is the first one."
                                       : "The adapter asked for is not found: this is the first one.";
    SetText(window, IDC_ADAPTER_NOTE, note);
}

void InitSheet(HWND window, Sheet& sheet) {
    SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LPARAM>(&sheet));
    sheetWindow = window;
    HWND tabs = GetDlgItem(window, IDC_TABS);
    for (int i = 0; i < kTabCount; ++i) {
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(kPages[i]->label);
        SendMessageA(tabs, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    ShowAdapter(window, sheet.context->adapter);
    ShowTab(window, FirstTab(sheet.request->page));
}

// The system's own settings for the page shown, started from the folder
// Windows keeps control.exe in (the system folder on NT, the Windows folder on 9x).
void OpenSystemSettings(const char* keyword) {
    const SystemSettings settings = SystemSettingsFor(keyword, GetVersion());
    LogLine(std::string("system settings ") + settings.command);
    std::string command = settings.command;
    const std::string program = "control.exe";
    char folder[MAX_PATH];
    for (int where = 0; where < 2 && command.compare(0, program.size(), program) == 0; ++where) {
        const UINT length = where == 0 ? GetSystemDirectoryA(folder, MAX_PATH) : GetWindowsDirectoryA(folder, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) continue;
        const std::string path = std::string(folder) + "\\" + program;
        if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
        command = "\"" + path + "\"" + command.substr(program.size());
        break;
    }
    WinExec(command.c_str(), SW_SHOWNORMAL);
}

void BringToFront(HWND window) {
    LogLine("popup");
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
}

// The pages' lists, by their control numbers.
bool IsList(int id) { return id == IDC_SURVEY_LIST || id == IDC_PROFILE_LIST || id == IDC_FILE_LIST; }

// Ctrl+Tab, Ctrl+Page Down and the keys back switch pages, as in the
// system's property sheets; the dialog manager would otherwise take them as
// Tab or drop them. Enter in a list is the list's: it goes to its page as the
// list's own NM_RETURN, not to the Close button.
LRESULT CALLBACK KeyFilter(int code, WPARAM wParam, LPARAM lParam) {
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    const bool ours = code == MSGF_DIALOGBOX && sheetWindow && msg->message == WM_KEYDOWN &&
                      (msg->hwnd == sheetWindow || IsChild(sheetWindow, msg->hwnd));
    if (ours) {
        const Sheet& sheet = *SheetOf(sheetWindow);
        const int tab = TabAfterKey(sheet.shown, static_cast<int>(msg->wParam), GetKeyState(VK_CONTROL) < 0,
                                    GetKeyState(VK_SHIFT) < 0);
        if (tab >= 0) {
            ShowTab(sheetWindow, tab);
            return 1;
        }
        const int id = static_cast<int>(GetWindowLongA(msg->hwnd, GWL_ID));
        if (msg->wParam == VK_RETURN && IsList(id)) {
            NMHDR notice = {msg->hwnd, static_cast<UINT_PTR>(id), static_cast<UINT>(NM_RETURN)};
            SendMessageA(GetParent(msg->hwnd), WM_NOTIFY, notice.idFrom, reinterpret_cast<LPARAM>(&notice));
            return 1;
        }
    }
    return CallNextHookEx(keyHook, code, wParam, lParam);
}

INT_PTR CALLBACK SheetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        InitSheet(window, *reinterpret_cast<Sheet*>(lParam));
        SetForegroundWindow(window);
        return TRUE;
    }
    Sheet* sheet = SheetOf(window);
    if (!sheet) return FALSE;
    if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->idFrom == IDC_TABS &&
        reinterpret_cast<const NMHDR*>(lParam)->code == static_cast<UINT>(TCN_SELCHANGE)) {
        ShowTab(window, static_cast<int>(SendDlgItemMessageA(window, IDC_TABS, TCM_GETCURSEL, 0, 0)));
        return TRUE;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDC_OPEN_SYSTEM_SETTINGS) {
        OpenSystemSettings(KeywordOf(*sheet, sheet->shown));
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(window, LOWORD(wParam));
        return TRUE;
    }
    if (popupMessage && message == popupMessage) {
        BringToFront(window);
        SetWindowLongPtrA(window, DWLP_MSGRESULT, 0);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

void RunAppletSheet(AppletContext& context, const AppletRequest& request) {
    Sheet sheet = {&context, &request, {}, -1};
    popupMessage = RegisterWindowMessageA("TAVROCFG.CPL POPUP");
    keyHook = SetWindowsHookExA(WH_MSGFILTER, KeyFilter, nullptr, GetCurrentThreadId());
    ShowDialog(context.module, IDD_APPLET, SheetProc, reinterpret_cast<LPARAM>(&sheet));
    if (keyHook) UnhookWindowsHookEx(keyHook);
    keyHook = nullptr;
    sheetWindow = nullptr;
}
