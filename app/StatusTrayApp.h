// The application object: decides whether this process becomes the running
// instance, sets up help, and runs the tray window for the instance's life.
#ifndef APP_STATUSTRAYAPP_H
#define APP_STATUSTRAYAPP_H

#include "framework/AppBase.h"

#include <string>

// The window messages registered at start, in this order.
struct RegisteredMessages {
    UINT stop = 0;            // "ZEVARIDA.EXE STOP": a later start asks the instance to end
    UINT start = 0;           // "ZEVARIDA.EXE START": a later start asks for the configuration applet
    UINT taskbarCreated = 0;  // "TaskbarCreated": the shell's notification area was created anew
};

// Values that exist once per process, outside any window record.
struct TrayProcessState {
    bool firstActivation = true;  // the first activation hides the tray window
    bool startupPending = true;   // the first poll tick acts on the command line
    bool timerBusy = false;       // a poll tick is being processed
    int lastTipTextId = 0;        // text id of the last tooltip sent to the shell
    char titleBuffer[128] = {};   // the tray window's title is assembled here
};

class CStatusTrayApp : public CAppBase {
public:
    CStatusTrayApp();
    ~CStatusTrayApp() override;

    static CStatusTrayApp& Get();
    static UINT StopMessage();
    static UINT StartMessage();
    static UINT TaskbarCreatedMessage();

    // Whether this process goes on to RunInstance. A process that does not
    // passes its request on to the running instance and ends.
    bool DecideInstance();
    // The whole life of the running instance; no message loop follows it.
    void RunInstance();

    // Names the help file and hands it to the context-help library.
    void SetHelpFile(const char* name);
    // Opens the help viewer at the context's topic (its low 16 bits), while
    // the context-help library is loaded.
    void ShowHelp(DWORD context, UINT command);
    bool OnCommand(UINT id) override;

    std::string commandLine;  // the argument text of the process command line
    std::string helpFile;
    HANDLE instanceMutex = nullptr;
    HMODULE helpLibrary = nullptr;
    RegisteredMessages messages;
    TrayProcessState tray;
    // The one punctuation character a hexadecimal key may hold; every key
    // field's setup sets it (the dialogs of the program set none).
    char keySeparator = '-';

private:
    HMODULE LoadHelpLibrary(const char* file, int flag);
    void OnHelp();
};

// The process from entry to exit; returns the exit code.
int RunProcess(CStatusTrayApp& app, const char* fullCommandLine);

#endif
