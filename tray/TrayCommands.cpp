// The menu commands the window hands to its parts: the page commands to the
// configuration applet launcher, the radio commands to the adapter slots.
#include "tray/StatusTrayDlg.h"

void CStatusTrayDlg::OnAdvancedConfiguration() { RequestPage(CConfigLauncher::CONFIGURE); }
void CStatusTrayDlg::OnNetworkStatus() { RequestPage(CConfigLauncher::STATUS); }
void CStatusTrayDlg::OnVersionInformation() { RequestPage(CConfigLauncher::ABOUT); }
void CStatusTrayDlg::OnWepEncryption() { RequestPage(CConfigLauncher::WEP); }
void CStatusTrayDlg::OnSiteSurvey() { RequestPage(CConfigLauncher::TEST); }
void CStatusTrayDlg::OnSecurity() { RequestPage(CConfigLauncher::SECURITY); }

void CStatusTrayDlg::RequestPage(CConfigLauncher::Page page) {
    launcher.RequestPage(page);
    LaunchConfigApplet();
    launcher.DropPage(page);
}

void CStatusTrayDlg::LaunchConfigApplet() { launcher.LaunchConfigApplet(Handle(), adapterSlots.AdapterOf(eventSlot)); }

// The radio of the slot whose menu was shown, and the result shown at once.
void CStatusTrayDlg::OnRadioOn() { SwitchRadio(TRUE); }
void CStatusTrayDlg::OnRadioOff() { SwitchRadio(FALSE); }

void CStatusTrayDlg::SwitchRadio(BOOL on) {
    adapterSlots.SwitchRadio(menuSlot, on);
    RefreshTrayIcon(menuSlot);
}
