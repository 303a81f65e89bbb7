// TAVROCFG.CPL, the stand-in configuration applet. Configure shows one small
// window on the caller's thread naming the page it was asked for and the
// adapter, and returns when the user closes it. While it is open, the
// registered message "TAVROCFG.CPL POPUP" brings it to the front. A button
// opens the system's own wireless settings for the page.
#include "AppletRequest.h"
#include "resource.h"

#include <windows.h>

#include <string>

namespace {

HINSTANCE appletModule = nullptr;
UINT popupMessage = 0;

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

void ShowRequest(HWND window, const AppletRequest& request) {
    SetDlgItemTextA(window, IDC_PAGE_TITLE, PageTitle(request.page));
    SetDlgItemTextA(window, IDC_PAGE, request.page.empty() ? "(none)" : request.page.c_str());
    SetDlgItemTextA(window, IDC_ADAPTER_ID, request.adapterId.empty() ? "(none)" : request.adapterId.c_str());
    SetDlgItemTextA(window, IDC_DESCRIPTION,
                    request.description.empty() ? "(not known to TavroApi.DLL)" : request.description.c_str());
    const SystemSettings settings = SystemSettingsFor(request.page, GetVersion());
    SetDlgItemTextA(window, IDC_SYSTEM_SETTINGS, (std::string(settings.title) + " (" + settings.command + ")").c_str());
}

// The button that opens the system's own settings for the page.
void OpenSystemSettings(const AppletRequest& request) {
    const SystemSettings settings = SystemSettingsFor(request.page, GetVersion());
    LogLine(std::string("system settings ") + settings.command);
    WinExec(settings.command, SW_SHOWNORMAL);
}

INT_PTR CALLBACK AppletProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        ShowRequest(window, *reinterpret_cast<const AppletRequest*>(lParam));
        SetForegroundWindow(window);
        return TRUE;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDC_OPEN_SYSTEM_SETTINGS) {
        OpenSystemSettings(*reinterpret_cast<const AppletRequest*>(GetWindowLongPtrA(window, DWLP_USER)));
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(window, LOWORD(wParam));
        return TRUE;
    }
    if (popupMessage && message == popupMessage) {
        LogLine("popup");
        if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
        SetForegroundWindow(window);
        SetWindowLongPtrA(window, DWLP_MSGRESULT, 0);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) appletModule = module;
    return TRUE;
}

// Configure(count, entries, reserved): entries are the match text, the adapter
// identifier and the page keyword, of which the first `count` are given.
extern "C" __declspec(dllexport) long WINAPI Configure(int count, const char** entries, unsigned long* reserved) {
    AppletRequest request = ReadRequest(count, entries, reserved);
    request.description = DescribeAdapter(request.adapterId);
    LogLine("Configure count=" + std::to_string(count) + " match=" + Quoted(request.matchText) +
            " adapter=" + Quoted(request.adapterId) + " page=" + Quoted(request.page) +
            " reserved=" + std::to_string(request.reserved));
    popupMessage = RegisterWindowMessageA("TAVROCFG.CPL POPUP");
    DialogBoxParamA(appletModule, MAKEINTRESOURCEA(IDD_APPLET), nullptr, AppletProc,
                    reinterpret_cast<LPARAM>(&request));
    LogLine("closed");
    return 0;
}
