// The dialogs that ask for a wireless network's name and its hexadecimal
// encryption key. They only collect input: whoever opens one drops it.
#ifndef DIALOGS_NETWORKDLGS_H
#define DIALOGS_NETWORKDLGS_H

#include "dialogs/KeyEdit.h"
#include "framework/DialogBase.h"

#include <string>

// "Enter Wireless Encryption Key": the key alone. Its opener sets keyBytes.
class CPasswordDlg : public CDialogBase {
    DECLARE_DIALOG_CLASS(CPasswordDlg)

public:
    CPasswordDlg();

    std::string encryptionKey;
    CKeyEdit keyField;
    int keyBytes = 0;  // the key is twice as many hexadecimal digits

protected:
    explicit CPasswordDlg(UINT templateId) : CDialogBase(templateId) {}
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange& exchange) override;
};

// A network name of at most 32 characters and a key of 13 bytes.
class CNetworkDlg : public CPasswordDlg {
public:
    std::string networkName;

protected:
    explicit CNetworkDlg(UINT templateId);
    void DoDataExchange(CDataExchange& exchange) override;
};

// "Setup Adhoc Wireless Network": the name field has the focus when it shows.
class CAdhocNetworkDlg : public CNetworkDlg {
    DECLARE_DIALOG_CLASS(CAdhocNetworkDlg)

public:
    CAdhocNetworkDlg();

private:
    DECLARE_MESSAGE_MAP()
    LRESULT OnShowWindow(WPARAM shown, LPARAM);
};

// "Select Wireless Network", for a network that is not listed.
class COtherNetworkDlg : public CNetworkDlg {
    DECLARE_DIALOG_CLASS(COtherNetworkDlg)

public:
    COtherNetworkDlg();
};

#endif
