// The menu commands that run a dialog and drop what it collected.
#include "tray/StatusTrayDlg.h"

#include "dialogs/NetworkDlgs.h"
#include "dialogs/ProfileDlgs.h"

namespace {
template <class Dialog>
void RunAndDrop() {
    Dialog dialog;
    dialog.DoModal();
}
}  // namespace

void CStatusTrayDlg::OnComputerToComputer() { RunAndDrop<CAdhocNetworkDlg>(); }
void CStatusTrayDlg::OnOtherNetwork() { RunAndDrop<COtherNetworkDlg>(); }
void CStatusTrayDlg::OnAddProfile() { RunAndDrop<CAddProfileDlg>(); }
void CStatusTrayDlg::OnDeleteProfile() { RunAndDrop<CDeleteProfileDlg>(); }
void CStatusTrayDlg::OnRenameProfile() { RunAndDrop<CRenameProfileDlg>(); }
