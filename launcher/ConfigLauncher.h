// The configuration applet launcher: the page requests of the menu's commands,
// the page keyword of the command line, and the launch of the configuration
// applet, a library of the product family that runs its pages on the caller's
// thread until the user closes them. A request while it is open brings the
// open applet to the front.
#ifndef LAUNCHER_CONFIGLAUNCHER_H
#define LAUNCHER_CONFIGLAUNCHER_H

#include "adapter/NetCardRegistry.h"

#include <windows.h>

#include "TavroApi.h"

#include <string>

class CConfigLauncher {
public:
    // The pages a command can ask for, in the order a launch serves them.
    enum Page { CONFIGURE, STATUS, ABOUT, WEP, TEST, SECURITY };

    // `commandLine` is the application's argument text: the launch that
    // passes "INSTALL" cuts the word off it for the rest of the process.
    explicit CConfigLauncher(std::string& commandLine) : commandLine_(commandLine) {}

    // Whether the command line asks for the applet at start-up.
    bool AskedAtStartup() const;

    // A command's request for its page, served by the next launch. A request
    // that no launch served (the applet was open already, could not be
    // loaded, or "INSTALL" went first) is dropped when its command is done,
    // so that every command opens the page it asked for and no stale request
    // outranks a newer one.
    void RequestPage(Page page);
    void DropPage(Page page);

    // Opens the applet for `adapter` (null: none) on behalf of `window`, or,
    // while Configure runs further up this thread, asks the open applet forward.
    void LaunchConfigApplet(HWND window, CWrapNetAdapter* adapter);
    bool Launching() const { return launcherDepth != 0; }

private:
    struct PageRequest;
    static const PageRequest kPageRequests[];

    const char* TakePageKeyword(const std::string& commandLine);
    void BringAppletForward(HWND window);

    std::string& commandLine_;
    NetCardRegistry netCardRegistry;
    int launcherDepth = 0;  // LaunchConfigApplet calls in progress on this thread
    BOOL pageConfigure = FALSE;
    BOOL pageStatus = FALSE;
    BOOL pageAbout = FALSE;
    BOOL pageWep = FALSE;
    BOOL pageTest = FALSE;
    BOOL pageSecurity = FALSE;
};

#endif
