// Loading the configuration applet, choosing its page and bringing it forward.
#include "launcher/ConfigLauncher.h"

#include "adapter/AdapterSlot.h"
#include "app/Broadcast.h"
#include "app/CommandLine.h"
#include "common/Library.h"

namespace {

// Tried in this order, each from the folders LoadFamilyLibrary allows; the
// first that loads is used.
const char* const kAppletLibraries[] = {"TAVROCFG.CPL", "TAVRONDI.DLL"};
const char kConfigureExport[] = "Configure";
const char kPopupMessage[] = "TAVROCFG.CPL POPUP";
const char kInstallKeyword[] = "INSTALL";

// Configure(count, entries, reserved): entries are the match text, the adapter
// identifier and, with count 3, the page keyword. The callee removes the arguments.
typedef long(WINAPI* ConfigureProc)(int count, const char** entries, DWORD* reserved);

HMODULE LoadAppletLibrary() {
    for (const char* name : kAppletLibraries)
        if (HMODULE library = LoadFamilyLibrary(name)) return library;
    return nullptr;
}

}  // namespace

// The page requests by Page, in the order a launch serves them.
struct CConfigLauncher::PageRequest {
    BOOL CConfigLauncher::*flag;
    const char* keyword;
};
const CConfigLauncher::PageRequest CConfigLauncher::kPageRequests[] = {
    {&CConfigLauncher::pageConfigure, "CONFIGURE"}, {&CConfigLauncher::pageStatus, "STATUS"},
    {&CConfigLauncher::pageAbout, "ABOUT"},         {&CConfigLauncher::pageWep, "WEP"},
    {&CConfigLauncher::pageTest, "TEST"},           {&CConfigLauncher::pageSecurity, "SECURITY"},
};

bool CConfigLauncher::AskedAtStartup() const {
    return HasKeyword(commandLine_, "CONFIGURE") || HasKeyword(commandLine_, kInstallKeyword);
}

void CConfigLauncher::RequestPage(Page page) { this->*kPageRequests[page].flag = TRUE; }
void CConfigLauncher::DropPage(Page page) { this->*kPageRequests[page].flag = FALSE; }

void CConfigLauncher::LaunchConfigApplet(HWND window, CWrapNetAdapter* adapter) {
    const std::string commandLine = commandLine_;
    if (++launcherDepth != 1) {
        // Configure runs further up this thread: ask the open applet forward.
        BringAppletForward(window);
        --launcherDepth;
        return;
    }

    const char* entries[3] = {netCardRegistry.MatchText(), "", nullptr};
    char adapterId[ADAPTER_ID_SIZE];
    if (adapter) {
        // Asked whether or not the slot has an adapter attached.
        ReadAdapterId(*adapter, adapterId);
        entries[1] = adapterId;
    }

    if (HMODULE library = LoadAppletLibrary()) {
        if (auto configure = FindFunction<ConfigureProc>(library, kConfigureExport)) {
            SetForegroundWindow(window);
            EnableWindow(window, TRUE);
            entries[2] = TakePageKeyword(commandLine);
            DWORD reserved = 0;
            // The applet's pages run here, dispatching the window's messages,
            // until the user closes them.
            configure(entries[2] ? 3 : 1, entries, &reserved);
            // The window lies off-screen: showing it for a moment is not seen.
            ShowWindow(window, SW_SHOW);
            EnableWindow(window, FALSE);
            ShowWindow(window, SW_HIDE);
        }
        FreeLibrary(library);
    }
    --launcherDepth;
}

// "INSTALL" in the command line goes first, and only once: the word is cut off
// the command line. Otherwise the first pending request is served and cleared.
// Null when nothing is asked for.
const char* CConfigLauncher::TakePageKeyword(const std::string& commandLine) {
    const std::string::size_type install = commandLine.find(kInstallKeyword);
    if (install != std::string::npos) {
        if (install < commandLine_.size()) commandLine_.resize(install);
        return kInstallKeyword;
    }
    for (const PageRequest& request : kPageRequests)
        if (this->*request.flag) {
            this->*request.flag = FALSE;
            return request.keyword;
        }
    return nullptr;
}

void CConfigLauncher::BringAppletForward(HWND window) {
    SetForegroundWindow(window);
    EnableWindow(window, TRUE);
    BroadcastRegisteredMessage(kPopupMessage);
}
