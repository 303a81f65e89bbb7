// The application object: decides whether this process becomes the running
// instance, sets up help, and runs the tray window for the instance's life.
#ifndef APP_STATUSTRAYAPP_H
#define APP_STATUSTRAYAPP_H

#include "framework/AppBase.h"
#include "tray/TrayMessages.h"

#include <string>

class CStatusTrayApp : public CAppBase {
public:
    CStatusTrayApp();
    ~CStatusTrayApp() override;

    static CStatusTrayApp& Get();

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
