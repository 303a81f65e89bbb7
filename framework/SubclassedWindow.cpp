#include "framework/SubclassedWindow.h"

bool CSubclassedWindow::Attach(HWND control) {
    Detach();
    if (!control) return false;
    window_ = control;
    SetWindowLongPtrA(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    previous_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CSubclassedWindow::Procedure)));
    return true;
}

void CSubclassedWindow::Detach() {
    if (!window_) return;
    SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
    SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    window_ = nullptr;
    previous_ = nullptr;
}

LRESULT CALLBACK CSubclassedWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CSubclassedWindow* self = reinterpret_cast<CSubclassedWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message != WM_NCDESTROY) return self->WindowProc(message, wParam, lParam);
    // The last message of the control: its own procedure sees it, then the
    // object lets the control go.
    const LRESULT result = self->DefaultProc(message, wParam, lParam);
    self->Detach();
    return result;
}
