// Process entry of ZEVARIDA.EXE.
#include "app/StatusTrayApp.h"

#include <commctrl.h>

// Constructed before WinMain runs; registers the program's window messages.
static CStatusTrayApp theApp;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // The manifest asks for version 6 of the common controls, which on XP
    // draws the dialogs' buttons and edits only once COMCTL32.DLL is loaded:
    // without it no dialog of the program could be created there.
    InitCommonControls();
    return RunProcess(theApp, GetCommandLineA());
}
