// The application object of the framework: one per process, reachable from
// every window of the program.
#ifndef FRAMEWORK_APPBASE_H
#define FRAMEWORK_APPBASE_H

#include <windows.h>

#include <string>
#include <vector>

class CDialogBase;

class CAppBase {
public:
    CAppBase();
    virtual ~CAppBase();
    CAppBase(const CAppBase&) = delete;
    CAppBase& operator=(const CAppBase&) = delete;

    // The application object of this process. The program runs on one thread.
    static CAppBase* Current();

    // The executable's file name without directory and extension.
    std::string ApplicationName() const;
    // The window that owns the program's messages: the open dialog in front,
    // else the main window.
    HWND FrontWindow() const;
    // A command no window's map handled; true when the application did.
    virtual bool OnCommand(UINT) { return false; }

    HINSTANCE instance;
    CDialogBase* mainWindow;
    std::vector<CDialogBase*> openDialogs;  // modal dialogs running, innermost last
};

// The one way the program shows a message: owned by the front window, captioned
// with the application name, an OK button, the exclamation icon unless the
// caller names another.
int AppMessageBox(const char* text, UINT type = 0);

#endif
