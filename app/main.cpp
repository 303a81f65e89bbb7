// Process entry of ZEVARIDA.EXE.
#include "app/StatusTrayApp.h"

// Constructed before WinMain runs; registers the program's window messages.
static CStatusTrayApp theApp;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return RunProcess(theApp, GetCommandLineA()); }
