// A desktop that does nothing: every Win32 call the program makes succeeds at
// once. Its dialog loop is the benchmark: it delivers poll ticks to the tray
// window as fast as they are handled.
#include "PollTickBench.h"

#include <shellapi.h>
#include <windows.h>

#include <cstdint>
#include <cstring>

namespace {
LONG windowLongs[3];
HWND const kWindow = reinterpret_cast<HWND>(0x100);
template <class T>
T FakeHandle(uintptr_t value) {
    return reinterpret_cast<T>(value);
}
}  // namespace

extern "C" {
HANDLE WINAPI CreateMutexA(LPSECURITY_ATTRIBUTES, BOOL, LPCSTR) { return FakeHandle<HANDLE>(0x200); }
BOOL WINAPI ReleaseMutex(HANDLE) { return TRUE; }
BOOL WINAPI CloseHandle(HANDLE) { return TRUE; }
DWORD WINAPI GetLastError(void) { return 0; }
void WINAPI SetLastError(DWORD) {}
DWORD WINAPI GetVersion(void) { return 0x0A280105; }
DWORD WINAPI GetTickCount(void) { return 0; }
HANDLE WINAPI GetCurrentProcess(void) { return reinterpret_cast<HANDLE>(-1); }
HMODULE WINAPI GetModuleHandleA(LPCSTR) { return FakeHandle<HMODULE>(0x400000); }
DWORD WINAPI GetModuleFileNameA(HMODULE, LPSTR name, DWORD size) {
    const char path[] = "C:\\ZEVARIDA.EXE";
    if (size < sizeof path) return 0;
    std::memcpy(name, path, sizeof path);
    return sizeof path - 1;
}
HMODULE WINAPI LoadLibraryA(LPCSTR) { return nullptr; }
UINT WINAPI GetSystemDirectoryA(LPSTR, UINT) { return 0; }
UINT WINAPI GetWindowsDirectoryA(LPSTR, UINT) { return 0; }
FARPROC WINAPI GetProcAddress(HMODULE, LPCSTR) { return nullptr; }
BOOL WINAPI FreeLibrary(HMODULE) { return TRUE; }
BOOL WINAPI IsDBCSLeadByte(BYTE) { return FALSE; }
UINT WINAPI GetACP(void) { return 1252; }
UINT WINAPI RegisterWindowMessageA(LPCSTR) { return 0xC000; }
LRESULT WINAPI SendMessageA(HWND, UINT, WPARAM, LPARAM) { return 0; }
LRESULT WINAPI SendMessageTimeoutA(HWND, UINT, WPARAM, LPARAM, UINT, UINT, PDWORD_PTR) { return 0; }
BOOL WINAPI PostMessageA(HWND, UINT, WPARAM, LPARAM) { return TRUE; }
INT_PTR WINAPI DialogBoxParamA(HINSTANCE, LPCSTR, HWND, DLGPROC proc, LPARAM param) {
    proc(kWindow, WM_INITDIALOG, 0, param);
    RunPollTicks([proc] { proc(kWindow, WM_TIMER, 0xBABEFACE, 0); });
    return IDOK;
}
BOOL WINAPI EndDialog(HWND, INT_PTR) { return TRUE; }
LONG WINAPI GetWindowLongA(HWND, int index) { return windowLongs[index / 4]; }
LONG WINAPI SetWindowLongA(HWND, int index, LONG value) {
    LONG previous = windowLongs[index / 4];
    windowLongs[index / 4] = value;
    return previous;
}
BOOL WINAPI EnableWindow(HWND, BOOL) { return FALSE; }
BOOL WINAPI ShowWindow(HWND, int) { return FALSE; }
BOOL WINAPI IsWindow(HWND) { return TRUE; }
BOOL WINAPI SetWindowTextA(HWND, LPCSTR) { return TRUE; }
BOOL WINAPI SetForegroundWindow(HWND) { return TRUE; }
UINT_PTR WINAPI SetTimer(HWND, UINT_PTR id, UINT, TIMERPROC) { return id; }
BOOL WINAPI KillTimer(HWND, UINT_PTR) { return TRUE; }
BOOL WINAPI GetCursorPos(LPPOINT point) {
    point->x = point->y = 0;
    return TRUE;
}
SHORT WINAPI GetAsyncKeyState(int) { return 0; }
int WINAPI GetSystemMetrics(int) { return 768; }
BOOL WINAPI MessageBeep(UINT) { return TRUE; }
int WINAPI MessageBoxA(HWND, LPCSTR, LPCSTR, UINT) { return IDOK; }
// An empty registry and no service control manager: nothing the tick needs.
LONG WINAPI RegOpenKeyExA(HKEY, LPCSTR, DWORD, REGSAM, HKEY*) { return ERROR_FILE_NOT_FOUND; }
LONG WINAPI RegCreateKeyExA(HKEY, LPCSTR, DWORD, LPSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES, HKEY*, LPDWORD) {
    return ERROR_ACCESS_DENIED;
}
LONG WINAPI RegQueryValueExA(HKEY, LPCSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD) { return ERROR_FILE_NOT_FOUND; }
LONG WINAPI RegSetValueExA(HKEY, LPCSTR, DWORD, DWORD, const BYTE*, DWORD) { return ERROR_ACCESS_DENIED; }
LONG WINAPI RegDeleteValueA(HKEY, LPCSTR) { return ERROR_FILE_NOT_FOUND; }
LONG WINAPI RegCloseKey(HKEY) { return ERROR_SUCCESS; }
SC_HANDLE WINAPI OpenSCManagerA(LPCSTR, LPCSTR, DWORD) { return nullptr; }
SC_HANDLE WINAPI OpenServiceA(SC_HANDLE, LPCSTR, DWORD) { return nullptr; }
BOOL WINAPI QueryServiceStatus(SC_HANDLE, LPSERVICE_STATUS) { return FALSE; }
BOOL WINAPI CloseServiceHandle(SC_HANDLE) { return TRUE; }
int WINAPI LoadStringA(HINSTANCE, UINT, LPSTR buffer, int size) {
    const char text[] = "Excellent Link Quality %d%%";
    if (size < static_cast<int>(sizeof text)) return 0;
    std::memcpy(buffer, text, sizeof text);
    return sizeof text - 1;
}
HICON WINAPI LoadIconA(HINSTANCE, LPCSTR name) { return FakeHandle<HICON>(reinterpret_cast<uintptr_t>(name)); }
HANDLE WINAPI LoadImageA(HINSTANCE, LPCSTR name, UINT, int, int, UINT) {
    return FakeHandle<HANDLE>(reinterpret_cast<uintptr_t>(name));
}
BOOL WINAPI DestroyIcon(HICON) { return TRUE; }
HMENU WINAPI LoadMenuA(HINSTANCE, LPCSTR) { return FakeHandle<HMENU>(0x300); }
HMENU WINAPI GetSubMenu(HMENU, int) { return FakeHandle<HMENU>(0x301); }
BOOL WINAPI DestroyMenu(HMENU) { return TRUE; }
UINT WINAPI EnableMenuItem(HMENU, UINT, UINT) { return 0; }
BOOL WINAPI CheckMenuRadioItem(HMENU, UINT, UINT, UINT, UINT) { return TRUE; }
BOOL WINAPI TrackPopupMenu(HMENU, UINT, int, int, int, HWND, const RECT*) { return TRUE; }
BOOL WINAPI Shell_NotifyIconA(DWORD, PNOTIFYICONDATAA) { return TRUE; }
// Dialogs and help, which the tick never reaches.
SHORT WINAPI GetKeyState(int) { return 0; }
BOOL WINAPI IsCharAlphaA(CHAR) { return FALSE; }
BOOL WINAPI IsCharAlphaNumericA(CHAR) { return FALSE; }
BOOL WINAPI WinHelpA(HWND, LPCSTR, UINT, ULONG_PTR) { return FALSE; }
HWND WINAPI GetDlgItem(HWND, int) { return nullptr; }
BOOL WINAPI SetDlgItemTextA(HWND, int, LPCSTR) { return FALSE; }
UINT WINAPI GetDlgItemTextA(HWND, int, LPSTR, int) { return 0; }
LRESULT WINAPI SendDlgItemMessageA(HWND, int, UINT, WPARAM, LPARAM) { return 0; }
BOOL WINAPI CheckDlgButton(HWND, int, UINT) { return FALSE; }
UINT WINAPI IsDlgButtonChecked(HWND, int) { return 0; }
int WINAPI GetWindowTextA(HWND, LPSTR, int) { return 0; }
int WINAPI GetWindowTextLengthA(HWND) { return 0; }
HWND WINAPI SetFocus(HWND) { return nullptr; }
HWND WINAPI GetFocus(void) { return nullptr; }
HWND WINAPI GetCapture(void) { return nullptr; }
HWND WINAPI GetParent(HWND) { return nullptr; }
HWND WINAPI GetWindow(HWND, UINT) { return nullptr; }
HWND WINAPI GetLastActivePopup(HWND window) { return window; }
BOOL WINAPI EnumChildWindows(HWND, WNDENUMPROC, LPARAM) { return TRUE; }
LRESULT WINAPI CallWindowProcA(WNDPROC, HWND, UINT, WPARAM, LPARAM) { return 0; }
LRESULT WINAPI DefWindowProcA(HWND, UINT, WPARAM, LPARAM) { return 0; }
}
