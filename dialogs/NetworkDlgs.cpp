#include "dialogs/NetworkDlgs.h"

#include "framework/DataExchange.h"
#include "resource.h"

#include <algorithm>

namespace {
const int kNetworkKeyBytes = 13;
const int kNetworkNameLimit = 32;
}  // namespace

CPasswordDlg::CPasswordDlg() : CDialogBase(IDD_PASSWORD) {}

BOOL CPasswordDlg::OnInitDialog() {
    // No separator while these dialogs are open.
    keyField.Setup(FALSE, IDC_ENCRYPTION_KEY, Handle(), 0, 0);
    return CDialogBase::OnInitDialog();
}

void CPasswordDlg::DoDataExchange(CDataExchange& exchange) {
    const int requiredLength = 2 * keyBytes;
    exchange.Text(IDC_ENCRYPTION_KEY, encryptionKey);
    ValidateKeyLength(exchange, IDC_ENCRYPTION_KEY, encryptionKey, requiredLength);
    ValidateHexDigits(exchange, IDC_ENCRYPTION_KEY, encryptionKey,
                      std::min(requiredLength, static_cast<int>(encryptionKey.size())));
}

CNetworkDlg::CNetworkDlg(UINT templateId) : CPasswordDlg(templateId) { keyBytes = kNetworkKeyBytes; }

void CNetworkDlg::DoDataExchange(CDataExchange& exchange) {
    exchange.Text(IDC_NETWORK_NAME, networkName, kNetworkNameLimit);
    CPasswordDlg::DoDataExchange(exchange);
}

BEGIN_MESSAGE_MAP(CAdhocNetworkDlg, CNetworkDlg)
    ON_MESSAGE(WM_SHOWWINDOW, OnShowWindow)
END_MESSAGE_MAP()

CAdhocNetworkDlg::CAdhocNetworkDlg() : CNetworkDlg(IDD_ADHOC_NETWORK) {}

LRESULT CAdhocNetworkDlg::OnShowWindow(WPARAM shown, LPARAM) {
    if (shown) SetFocus(GetDlgItem(Handle(), IDC_NETWORK_NAME));
    return 0;
}

COtherNetworkDlg::COtherNetworkDlg() : CNetworkDlg(IDD_OTHER_NETWORK) {}
