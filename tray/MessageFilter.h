// Opening the tray window to the messages of its own user while the program
// runs elevated.
#ifndef TRAY_MESSAGEFILTER_H
#define TRAY_MESSAGEFILTER_H

#include <windows.h>

struct RegisteredMessages;

// From Vista on, Windows keeps messages above WM_USER that a process of lower
// integrity sends away from an elevated one: the user's later "ZEVARIDA.EXE
// STOP" and START, and the shell's "TaskbarCreated" after Explorer restarts.
// When the program runs elevated, lets these three through to `window`
// (ChangeWindowMessageFilterEx, Windows 7 on) or to the whole process
// (ChangeWindowMessageFilter, Vista). Every call is looked up at run time, so
// the program still starts on Windows 98 and NT 4; there, on XP, and whenever
// the program is not elevated, nothing changes.
void LetUserMessagesThrough(HWND window, const RegisteredMessages& messages);

#endif
