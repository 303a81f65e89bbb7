// The hidden tray window: owns the notification-area icons, the pop-up menu,
// the poll timer and the parts that keep state of their own (the adapter
// slots, the click tracking and the configuration applet launcher), and
// handles every command of the program.
#ifndef TRAY_STATUSTRAYDLG_H
#define TRAY_STATUSTRAYDLG_H

#include "adapter/AdapterSlots.h"
#include "framework/DialogBase.h"
#include "framework/MenuHandle.h"
#include "launcher/ConfigLauncher.h"
#include "tray/TrayMessages.h"
#include "tray/TrayMouse.h"

#include <string>

// The status images, in pairs of {normal, pressed}.
enum StateImage { IMAGE_LINKED, IMAGE_POOR, IMAGE_NOT_LINKED, IMAGE_RADIO_OFF, IMAGE_FRAME_ERRORS, IMAGE_COUNT };

class CStatusTrayDlg : public CDialogBase {
    DECLARE_DIALOG_CLASS(CStatusTrayDlg)

public:
    // `commandLine` is the application's argument text, which the launcher
    // shortens; `messages` are the ids the application registered at start.
    CStatusTrayDlg(std::string& commandLine, const RegisteredMessages& messages);
    ~CStatusTrayDlg() override;

    // Stops the timers, deletes all four icons, destroys the menu and ends the dialog.
    void Shutdown();

    // Tray icons of one slot (the slot index is the icon id).
    BOOL AddTrayIcon(int slot);
    void RefreshTrayIcon(int slot);
    BOOL DeleteTrayIcon(int slot);

    // Adapter discovery and polling, by the adapter slots.
    void FindAdapters();
    void PollSlot(int slot);
    // The configuration applet for the adapter of the last tray event, by the launcher.
    void LaunchConfigApplet();

    // No guard below is raised: what the window shows whenever none of its
    // handlers is inside a nested loop.
    bool AtRest() const { return !timerBusy && !menuOpen && !launcher.Launching(); }
    const CAdapterSlots& AdapterSlots() const { return adapterSlots; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

private:
    DECLARE_MESSAGE_MAP()

    // Messages
    LRESULT OnTrayIcon(WPARAM slot, LPARAM event);
    void OnTimer(UINT_PTR timerId);
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

    // The poll tick
    void OnPollTick();
    void RunStartupCommandLine();

    // Mouse handling and the menu
    void OnButtonDown(int slot, bool rightButton);
    void OnDoubleClick(int slot);
    void SetButtonDown(int slot, BOOL down);
    void OnMenuRequest(int slot, int popupIndex);
    void OnClickTimer();
    void CheckHold();
    void ShowMenu(int slot);
    void SyncRadioItems(int slot);

    // The program's own dialogs, one at a time
    bool BringOwnDialogForward();
    template <class Dialog>
    void RunAndDrop();

    void SwitchRadio(BOOL on);
    void RequestPage(CConfigLauncher::Page page);
    void HideWindow();

    // ---------------------------------------------------------------- re-entry guards
    // Everything runs on the one thread. Re-entry comes only from the nested
    // message loops that keep dispatching this window's ticks, tray events,
    // commands and the messages of other processes while the handler that
    // started them still runs: a driver call that waits, the pop-up menu's
    // tracking (TrackPopupMenu in ShowMenu), the program's modal dialogs
    // (DoModal in the dialog commands) and the configuration applet
    // (Configure in the launcher). Plain flags keep them apart; a new command
    // that opens a window nests inside, and is nested by, all of these:
    //  - timerBusy: a poll tick that arrives while a tick is still being
    //    processed (a driver call running a loop) is dropped whole.
    //  - menuOpen: while a menu request runs ShowMenu and the menu's loop, no
    //    click or held press posts a second request, a press starts no click
    //    timer, a double click opens no status page, and a refresh sets the
    //    radio items of the slot the menu shows only.
    //  - launcherDepth (CConfigLauncher::Launching): a launch while Configure
    //    runs further up brings the open applet forward instead of loading it
    //    again; the outer launch hides the window when Configure returns.
    //  - shutDown: Shutdown may run inside any of these loops (the stop
    //    message, command 32769, "&Yes" of the Remove Status Icon dialog); the
    //    dialog ends only once they return, and a "TaskbarCreated" in that
    //    time starts no poll timer again.
    //  - one dialog at a time (BringOwnDialogForward): a command that would
    //    open a dialog while one of the program's dialogs runs its loop brings
    //    that one to the front instead, so dialogs never nest.
    bool timerBusy = false;
    BOOL menuOpen = FALSE;
    BOOL shutDown = FALSE;

    const RegisteredMessages messages;  // the ids this process registered

    // The window exists once per process: these are the process's values.
    bool firstActivation = true;  // the first activation hides the window
    bool startupPending = true;   // the first poll tick acts on the command line
    int lastTipTextId = 0;        // text id of the last tooltip sent to the shell, shared by all slots
    char titleBuffer[128] = {};   // the window title is assembled here

    HICON appIcon = nullptr;
    HICON stateIcons[IMAGE_COUNT][2] = {};
    CMenuHandle trayMenu;
    UINT_PTR pollTimerId = 0;
    BOOL ownConfigAllowed = TRUE;  // greys the configuration commands of the menu when FALSE
    int menuVariant = 0;           // the pop-up of menu 129 in use; -1 until the first press on an icon
    int menuToShow = 0;
    int menuSlot = 0;   // the slot whose menu was shown last
    int eventSlot = 0;  // the slot of the last tray event
    BOOL nt5OrLater = FALSE;

    // The parts, constructed after the menu and destroyed before it.
    CConfigLauncher launcher;
    CAdapterSlots adapterSlots;
    CTrayMouse mouse;
};

#endif
