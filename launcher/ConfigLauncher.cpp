// The page commands: each records its page request and opens the configuration
// applet.
#include "tray/StatusTrayDlg.h"

void CStatusTrayDlg::RequestPage(BOOL& pageFlag) {
    pageFlag = TRUE;
    LaunchConfigApplet();
}

void CStatusTrayDlg::OnAdvancedConfiguration() { RequestPage(pageConfigure); }
void CStatusTrayDlg::OnNetworkStatus() { RequestPage(pageStatus); }
void CStatusTrayDlg::OnVersionInformation() { RequestPage(pageAbout); }
void CStatusTrayDlg::OnWepEncryption() { RequestPage(pageWep); }
void CStatusTrayDlg::OnSiteSurvey() { RequestPage(pageTest); }
void CStatusTrayDlg::OnSecurity() { RequestPage(pageSecurity); }

// Loading the configuration applet is not built yet: the requests stay pending.
void CStatusTrayDlg::LaunchConfigApplet() {}
