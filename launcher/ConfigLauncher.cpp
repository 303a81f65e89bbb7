// The page commands and the configuration applet launcher. Each command
// records its page request and opens the configuration applet, a library of
// the product family that runs its pages on this thread until the user closes
// them; a request while it is open brings the open applet to the front.
#include "tray/StatusTrayDlg.h"

#include "app/Broadcast.h"
#include "app/LibraryLoad.h"
#include "app/StatusTrayApp.h"

#include <string>

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

// The page requests in the order a launch serves them.
struct PageRequest {
    BOOL CStatusTrayDlg::*flag;
    const char* keyword;
};
const PageRequest kPageRequests[] = {
    {&CStatusTrayDlg::pageConfigure, "CONFIGURE"}, {&CStatusTrayDlg::pageStatus, "STATUS"},
    {&CStatusTrayDlg::pageAbout, "ABOUT"},         {&CStatusTrayDlg::pageWep, "WEP"},
    {&CStatusTrayDlg::pageTest, "TEST"},           {&CStatusTrayDlg::pageSecurity, "SECURITY"},
};

HMODULE LoadAppletLibrary() {
    for (const char* name : kAppletLibraries)
        if (HMODULE library = LoadFamilyLibrary(name)) return library;
    return nullptr;
}

}  // namespace

void CStatusTrayDlg::RequestPage(BOOL& pageFlag) {
    pageFlag = TRUE;
    LaunchConfigApplet();
    // A request that no launch served (the applet was open already, could not
    // be loaded, or "INSTALL" went first) is dropped, so that every command
    // opens the page it asked for and no stale request outranks a newer one.
    pageFlag = FALSE;
}

void CStatusTrayDlg::OnAdvancedConfiguration() { RequestPage(pageConfigure); }
void CStatusTrayDlg::OnNetworkStatus() { RequestPage(pageStatus); }
void CStatusTrayDlg::OnVersionInformation() { RequestPage(pageAbout); }
void CStatusTrayDlg::OnWepEncryption() { RequestPage(pageWep); }
void CStatusTrayDlg::OnSiteSurvey() { RequestPage(pageTest); }
void CStatusTrayDlg::OnSecurity() { RequestPage(pageSecurity); }

void CStatusTrayDlg::LaunchConfigApplet() {
    const std::string commandLine = CStatusTrayApp::Get().commandLine;
    if (++launcherDepth != 1) {
        // Configure runs further up this thread: ask the open applet forward.
        BringAppletForward();
        --launcherDepth;
        return;
    }

    const char* entries[3] = {netCardRegistry.MatchText(), "", nullptr};
    char adapterId[ADAPTER_ID_SIZE];
    if (static_cast<unsigned>(eventSlot) < static_cast<unsigned>(SLOT_COUNT)) {
        // Asked whether or not the slot has an adapter attached.
        ReadAdapterId(slots[eventSlot].adapter, adapterId);
        entries[1] = adapterId;
    }

    if (HMODULE library = LoadAppletLibrary()) {
        if (FARPROC address = GetProcAddress(library, kConfigureExport)) {
            SetForegroundWindow(Handle());
            EnableWindow(Handle(), TRUE);
            entries[2] = TakePageKeyword(commandLine);
            DWORD reserved = 0;
            // The applet's pages run here, dispatching this window's messages,
            // until the user closes them.
            reinterpret_cast<ConfigureProc>(reinterpret_cast<void (*)()>(address))(entries[2] ? 3 : 1, entries,
                                                                                   &reserved);
            // The window lies off-screen: showing it for a moment is not seen.
            ShowWindow(Handle(), SW_SHOW);
            HideWindow();
        }
        FreeLibrary(library);
    }
    --launcherDepth;
}

// "INSTALL" in the command line goes first, and only once: the word is cut off
// the command line. Otherwise the first pending request is served and cleared.
// Null when nothing is asked for.
const char* CStatusTrayDlg::TakePageKeyword(const std::string& commandLine) {
    const std::string::size_type install = commandLine.find(kInstallKeyword);
    if (install != std::string::npos) {
        std::string& line = CStatusTrayApp::Get().commandLine;
        if (install < line.size()) line.resize(install);
        return kInstallKeyword;
    }
    for (const PageRequest& request : kPageRequests)
        if (this->*request.flag) {
            this->*request.flag = FALSE;
            return request.keyword;
        }
    return nullptr;
}

void CStatusTrayDlg::BringAppletForward() {
    SetForegroundWindow(Handle());
    EnableWindow(Handle(), TRUE);
    BroadcastRegisteredMessage(kPopupMessage);
}
