// The dialogs that ask for a wireless network profile's name. They only
// collect input: no profile is saved, renamed or deleted.
#ifndef DIALOGS_PROFILEDLGS_H
#define DIALOGS_PROFILEDLGS_H

#include "framework/DialogBase.h"

#include <string>

// A name of at most 32 characters in one control, which has the focus when
// the dialog shows. Any other name is accepted, the empty one too.
class CProfileNameDlg : public CDialogBase {
public:
    std::string profileName;

protected:
    CProfileNameDlg(UINT templateId, int nameControl) : CDialogBase(templateId), nameControl_(nameControl) {}
    void DoDataExchange(CDataExchange& exchange) override;

private:
    DECLARE_MESSAGE_MAP()
    LRESULT OnShowWindow(WPARAM shown, LPARAM);

    int nameControl_;
};

// "Add Wireless Profile"
class CAddProfileDlg : public CProfileNameDlg {
    DECLARE_DIALOG_CLASS(CAddProfileDlg)

public:
    CAddProfileDlg();
};

// "Save Wireless Profile", for a new name
class CRenameProfileDlg : public CProfileNameDlg {
    DECLARE_DIALOG_CLASS(CRenameProfileDlg)

public:
    CRenameProfileDlg();
};

// "Delete Wireless Profile": the name is the drop-down list's, where a user
// picks the profile.
class CDeleteProfileDlg : public CProfileNameDlg {
    DECLARE_DIALOG_CLASS(CDeleteProfileDlg)

public:
    CDeleteProfileDlg();
};

#endif
