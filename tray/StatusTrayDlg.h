// The hidden tray window: owns the notification-area icons, the pop-up menu,
// the poll and click timers, the adapter slots and the adapter collection, and
// handles every command of the program.
#ifndef TRAY_STATUSTRAYDLG_H
#define TRAY_STATUSTRAYDLG_H

#include "adapter/AdapterSlot.h"
#include "adapter/NetCardRegistry.h"
#include "framework/DialogBase.h"
#include "framework/MenuHandle.h"

#include "TavroApi.h"

#include <string>

struct TrayProcessState;

// The status images, in pairs of {normal, pressed}.
enum StateImage { IMAGE_LINKED, IMAGE_POOR, IMAGE_NOT_LINKED, IMAGE_RADIO_OFF, IMAGE_FRAME_ERRORS, IMAGE_COUNT };

class CStatusTrayDlg : public CDialogBase {
    DECLARE_DIALOG_CLASS(CStatusTrayDlg)

public:
    CStatusTrayDlg();
    ~CStatusTrayDlg() override;

    // Stops the timers, deletes all four icons, destroys the menu and ends the dialog.
    void Shutdown();

    // Tray icons of one slot (the slot index is the icon id).
    BOOL AddTrayIcon(int slot);
    void RefreshTrayIcon(int slot);
    BOOL DeleteTrayIcon(int slot);
    void SyncRadioItems(int slot);

    // Adapter discovery and polling.
    bool FindAdapterForSlot(int slot, int firstItem);
    void FindAdapters();
    void PollSlot(int slot);

    HICON appIcon = nullptr;
    int launcherDepth = 0;
    HICON stateIcons[IMAGE_COUNT][2] = {};
    CMenuHandle trayMenu;
    UINT_PTR pollTimerId = 0;
    UINT_PTR clickTimerId = 0;
    int holdTicks = 0;
    BOOL pageConfigure = FALSE;
    BOOL pageStatus = FALSE;
    BOOL pageAbout = FALSE;
    BOOL pageWep = FALSE;
    BOOL doubleClickSeen = FALSE;
    BOOL rightButtonClick = FALSE;
    BOOL menuOpen = FALSE;
    BOOL ownConfigAllowed = TRUE;
    BOOL pageTest = FALSE;
    BOOL pageSecurity = FALSE;
    int menuVariant = 0;  // the pop-up of menu 129 in use; -1 until the first press on an icon
    int menuToShow = 0;
    POINT pressPoint = {0, 0};
    int menuSlot = 0;   // the slot whose menu was shown last
    int eventSlot = 0;  // the slot of the last tray event
    NetCardRegistry netCardRegistry;
    int refreshTicks = 0;
    BOOL nt5OrLater = FALSE;
    CWrapNetAdapters adapters;
    AdapterSlot slots[SLOT_COUNT];
    BOOL shutDown = FALSE;  // Shutdown ran; the dialog ends once the loops above it return

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

private:
    DECLARE_MESSAGE_MAP()

    // Messages
    LRESULT OnTrayIcon(WPARAM slot, LPARAM event);
    LRESULT OnTimer(WPARAM timerId, LPARAM);
    LRESULT OnActivate(WPARAM, LPARAM);
    LRESULT OnStopMessage(WPARAM, LPARAM);
    LRESULT OnStartMessage(WPARAM, LPARAM);
    LRESULT OnTaskbarCreated(WPARAM, LPARAM);

    // Commands
    void OnAdvancedConfiguration();
    void OnNetworkStatus();
    void OnVersionInformation();
    void OnWepEncryption();
    void OnSiteSurvey();
    void OnSecurity();
    void OnComputerToComputer();
    void OnOtherNetwork();
    void OnRemoveStatusIcon();
    void OnAddProfile();
    void OnDeleteProfile();
    void OnRenameProfile();
    void OnRadioOn();
    void OnRadioOff();

    // Initialisation steps
    bool LoadImages();
    void SetTitle();
    void StartPollTimer();
    void StopTimer(UINT_PTR& timerId);

    // The poll tick
    void OnPollTick();
    void RunStartupCommandLine();
    void RefreshAdapterCollection();

    // Mouse handling and the menu
    void OnButtonDown(int slot, bool rightButton);
    void OnButtonUp(int slot);
    void OnDoubleClick(int slot);
    void OnMenuRequest(int slot, int popupIndex);
    void OnClickTimer();
    void CheckHold();
    bool NearPressPoint() const;
    void ShowMenu(int slot);

    // The program's own dialogs, one at a time
    bool BringOwnDialogForward();
    template <class Dialog>
    void RunAndDrop();

    // Radio control
    void SwitchRadio(BOOL on);

    // The configuration applet
    void RequestPage(BOOL& pageFlag);
    void LaunchConfigApplet();
    const char* TakePageKeyword(const std::string& commandLine);
    void BringAppletForward();
    BOOL CheckOwnConfigAllowed();

    void HideWindow();
    static TrayProcessState& Process();
};

#endif
