// The page commands: each records its page request and opens the configuration
// applet.
#include "tray/StatusTrayDlg.h"

void CStatusTrayDlg::OnAdvancedConfiguration() {
    pageConfigure = TRUE;
    LaunchConfigApplet();
}

void CStatusTrayDlg::OnNetworkStatus() {
    pageStatus = TRUE;
    LaunchConfigApplet();
}

void CStatusTrayDlg::OnVersionInformation() {
    pageAbout = TRUE;
    LaunchConfigApplet();
}

void CStatusTrayDlg::OnWepEncryption() {
    pageWep = TRUE;
    LaunchConfigApplet();
}

void CStatusTrayDlg::OnSiteSurvey() {
    pageTest = TRUE;
    LaunchConfigApplet();
}

void CStatusTrayDlg::OnSecurity() {
    pageSecurity = TRUE;
    LaunchConfigApplet();
}

// Loading the configuration applet is not built yet: the requests stay pending.
void CStatusTrayDlg::LaunchConfigApplet() {}
