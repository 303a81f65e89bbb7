// The menu commands that run a dialog and drop what it collected, and the
// rule that the program shows one dialog of its own at a time.
#include "tray/StatusTrayDlg.h"

#include "dialogs/NetworkDlgs.h"
#include "dialogs/ProfileDlgs.h"

// While one of the program's dialogs is open, its modal loop still takes
// commands from the icon's menu and from other processes. A command that
// would open a second dialog brings the open one to the front instead, so
// dialogs never nest: a flood of commands cannot pile them up, and an inner
// dialog cannot undo what an outer one decides.
bool CStatusTrayDlg::BringOwnDialogForward() {
    if (!ownDialog) return false;
    SetForegroundWindow(ownDialog->Handle());
    return true;
}

INT_PTR CStatusTrayDlg::RunOwnDialog(CDialogBase& dialog) {
    ownDialog = &dialog;
    const INT_PTR result = dialog.DoModal();
    ownDialog = nullptr;
    return result;
}

template <class Dialog>
void CStatusTrayDlg::RunAndDrop() {
    if (BringOwnDialogForward()) return;
    Dialog dialog;
    RunOwnDialog(dialog);
}

void CStatusTrayDlg::OnComputerToComputer() { RunAndDrop<CAdhocNetworkDlg>(); }
void CStatusTrayDlg::OnOtherNetwork() { RunAndDrop<COtherNetworkDlg>(); }
void CStatusTrayDlg::OnAddProfile() { RunAndDrop<CAddProfileDlg>(); }
void CStatusTrayDlg::OnDeleteProfile() { RunAndDrop<CDeleteProfileDlg>(); }
void CStatusTrayDlg::OnRenameProfile() { RunAndDrop<CRenameProfileDlg>(); }
