// Private messages, events and timers of the tray window, and the window
// messages the application registers for it.
#ifndef TRAY_TRAYMESSAGES_H
#define TRAY_TRAYMESSAGES_H

#include <windows.h>

// Callback message of every tray icon: wParam the slot index, lParam the event.
const UINT WM_TRAYICON = WM_USER + 100;  // 1124
// Events the window posts to itself with WM_TRAYICON.
const LPARAM TRAY_CLICKED = 1125;  // the click timer confirmed a single click
const LPARAM TRAY_HELD = 1126;     // the poll tick found a button held
// Posted after a pop-up menu was tracked; nothing handles it.
const UINT WM_MENU_TRACKED = WM_USER + 999;  // 2023

const UINT_PTR POLL_TIMER = 0xBABEFACE;
const UINT POLL_PERIOD_MS = 1000;
const UINT_PTR CLICK_TIMER = 0xFACEBABE;
const UINT CLICK_DELAY_MS = 500;

// The window messages registered at start, in this order; 0 where the
// registration failed.
struct RegisteredMessages {
    UINT stop = 0;            // "ZEVARIDA.EXE STOP": a later start asks the instance to end
    UINT start = 0;           // "ZEVARIDA.EXE START": a later start asks for the configuration applet
    UINT taskbarCreated = 0;  // "TaskbarCreated": the shell's notification area was created anew
};

// Kills a running timer of the window and marks it as not running.
inline void StopTimer(HWND window, UINT_PTR& timerId) {
    if (!timerId) return;
    KillTimer(window, timerId);
    timerId = 0;
}

#endif
