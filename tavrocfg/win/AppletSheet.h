// The applet's window: the adapter it shows, the pages as tabs, the system's
// own settings for the page shown, and the popup request that brings it to
// the front.
#ifndef TAVROCFG_APPLETSHEET_H
#define TAVROCFG_APPLETSHEET_H

#include "Pages.h"

// Shows the window on the caller's thread until the user closes it.
void RunAppletSheet(AppletContext& context, const AppletRequest& request);

#endif
