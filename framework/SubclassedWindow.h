// A control of a dialog whose messages this object sees before the control's
// own procedure does. Attached to an existing control; detached when the
// control is destroyed or the object goes.
#ifndef FRAMEWORK_SUBCLASSEDWINDOW_H
#define FRAMEWORK_SUBCLASSEDWINDOW_H

#include <windows.h>

class CSubclassedWindow {
public:
    CSubclassedWindow() = default;
    virtual ~CSubclassedWindow() { Detach(); }
    CSubclassedWindow(const CSubclassedWindow&) = delete;
    CSubclassedWindow& operator=(const CSubclassedWindow&) = delete;

    // Takes over the messages of the control; false when there is none.
    bool Attach(HWND control);
    void Detach();
    HWND Handle() const { return window_; }

protected:
    // Every message of the control; the default hands it to the control's own procedure.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
        return DefaultProc(message, wParam, lParam);
    }
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
        return CallWindowProcA(previous_, window_, message, wParam, lParam);
    }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    WNDPROC previous_ = nullptr;
};

#endif
