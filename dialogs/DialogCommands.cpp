// The menu commands that run a dialog and drop what it collected, and the
// rule that the program shows one dialog of its own at a time.
#include "tray/StatusTrayDlg.h"

#include "dialogs/NetworkDlgs.h"
#include "dialogs/ProfileDlgs.h"
#include "framework/AppBase.h"

#include <vector>

// While one of the program's dialogs is open, its modal loop still takes
// commands from the icon's menu and from other processes. A command that
// would open a second dialog brings the open one to the front instead, so
// dialogs never nest: a flood of commands cannot pile them up, and an inner
// dialog cannot undo what an outer one decides. The tray window itself runs
// as the outermost of the application's open dialogs.
bool CStatusTrayDlg::BringOwnDialogForward() {
    const std::vector<CDialogBase*>& open = CAppBase::Current()->openDialogs;
    if (open.empty() || open.back() == this) return false;
    SetForegroundWindow(open.back()->Handle());
    return true;
}

template <class Dialog>
void CStatusTrayDlg::RunAndDrop() {
    if (BringOwnDialogForward()) return;
    Dialog dialog;
    dialog.DoModal();
}

void CStatusTrayDlg::OnComputerToComputer() { RunAndDrop<CAdhocNetworkDlg>(); }
void CStatusTrayDlg::OnOtherNetwork() { RunAndDrop<COtherNetworkDlg>(); }
void CStatusTrayDlg::OnAddProfile() { RunAndDrop<CAddProfileDlg>(); }
void CStatusTrayDlg::OnDeleteProfile() { RunAndDrop<CDeleteProfileDlg>(); }
void CStatusTrayDlg::OnRenameProfile() { RunAndDrop<CRenameProfileDlg>(); }
