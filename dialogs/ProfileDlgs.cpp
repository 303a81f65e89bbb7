#include "dialogs/ProfileDlgs.h"

#include "framework/DataExchange.h"
#include "resource.h"

namespace {
const int kProfileNameLimit = 32;
}

BEGIN_MESSAGE_MAP(CProfileNameDlg, CDialogBase)
    ON_MESSAGE(WM_SHOWWINDOW, OnShowWindow)
END_MESSAGE_MAP()

void CProfileNameDlg::DoDataExchange(CDataExchange& exchange) {
    exchange.Text(nameControl_, profileName, kProfileNameLimit);
}

LRESULT CProfileNameDlg::OnShowWindow(WPARAM shown, LPARAM) {
    if (shown) SetFocus(GetDlgItem(Handle(), nameControl_));
    return 0;
}

CAddProfileDlg::CAddProfileDlg() : CProfileNameDlg(IDD_ADD_PROFILE, IDC_PROFILE_NAME) {}
CRenameProfileDlg::CRenameProfileDlg() : CProfileNameDlg(IDD_RENAME_PROFILE, IDC_PROFILE_NAME) {}
CDeleteProfileDlg::CDeleteProfileDlg() : CProfileNameDlg(IDD_DELETE_PROFILE, IDC_PROFILE_LIST) {}
