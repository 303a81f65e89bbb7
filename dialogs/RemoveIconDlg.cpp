#include "dialogs/RemoveIconDlg.h"

#include "framework/DataExchange.h"
#include "resource.h"

CRemoveIconDlg::CRemoveIconDlg() : CDialogBase(IDD_REMOVE_ICON) {}

void CRemoveIconDlg::DoDataExchange(CDataExchange& exchange) {
    exchange.Check(IDC_REMOVE_PERMANENTLY, removePermanently);
}

void CRemoveIconDlg::OnOK() {
    UpdateData(true);
    EndDialog(IDOK);
}

void CRemoveIconDlg::OnCancel() {
    UpdateData(true);
    EndDialog(IDCANCEL);
}
