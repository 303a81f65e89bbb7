// What probe.exe and probehook.dll agree on: the hook procedure the probe
// installs, the registered messages it sends a hooked thread (each names what
// to read there; wParam is the probe's window for the answer) and the tag of
// the WM_COPYDATA that carries the answer back. probehook.cpp describes the
// answers' records.
#ifndef TESTS_E2E_PROBEHOOK_H
#define TESTS_E2E_PROBEHOOK_H

#include <windows.h>

const char kHookDll[] = "probehook.dll";
const char kHookProc[] = "ProbeCallWndProc";

const char kReadMenuMessage[] = "ZEVARIDA E2E READ MENU";          // the pop-up menu open on the thread
const char kReadTooltipsMessage[] = "ZEVARIDA E2E READ TOOLTIPS";  // every tool of the thread's tooltips
const char kReadListMessage[] = "ZEVARIDA E2E READ LIST";          // a list view, lParam the row to select
const char kClippedMessage[] = "ZEVARIDA E2E CLIPPED";             // the texts a window's controls cut off

const ULONG_PTR kCopyDataAnswer = 0x4D454E55;  // dwData of the answer

#endif
