// "Remove Wireless Status Icon": asks whether to take the icon out of the
// notification area, and whether it is to come back at the next logon.
#ifndef DIALOGS_REMOVEICONDLG_H
#define DIALOGS_REMOVEICONDLG_H

#include "framework/DialogBase.h"

class CRemoveIconDlg : public CDialogBase {
    DECLARE_DIALOG_CLASS(CRemoveIconDlg)

public:
    CRemoveIconDlg();

    BOOL removePermanently = FALSE;  // the check box; set before the dialog opens, read back when it closes

protected:
    void DoDataExchange(CDataExchange& exchange) override;
    // "&Yes" ends with IDOK; "&No", Esc and the close box with IDCANCEL.
    // Both read the check box back first.
    void OnOK() override;
    void OnCancel() override;
};

#endif
