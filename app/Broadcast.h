// Telling every top-level window of the desktop something, as a later start
// tells the running instance to stop or to open the configuration applet.
#ifndef APP_BROADCAST_H
#define APP_BROADCAST_H

#include <windows.h>

// How long one window may keep a broadcast waiting.
const UINT BROADCAST_WAIT_MS = 3000;

// Sends the registered message `name` to every top-level window, wParam and
// lParam 0, and returns when each has handled it: a running instance that
// answers has acted on it by then. A window that has stopped reading its
// messages is passed over at once, and no window holds the broadcast longer
// than BROADCAST_WAIT_MS, so one hung program on the desktop cannot hold
// the sender for ever.
void BroadcastRegisteredMessage(const char* name);

#endif
