// The tray window's life: construction, initialisation, the poll tick, the
// messages of other processes and the shell, and shutdown.
#include "tray/StatusTrayDlg.h"

#include "common/Mbcs.h"
#include "framework/AppBase.h"
#include "resource.h"
#include "tray/MessageFilter.h"

#include <cstring>

namespace {

const UINT kStateImageIds[IMAGE_COUNT][2] = {
    {IDI_LINKED, IDI_LINKED_DOWN},
    {IDI_POOR, IDI_POOR_DOWN},
    {IDI_NOT_LINKED, IDI_NOT_LINKED_DOWN},
    {IDI_RADIO_OFF, IDI_RADIO_OFF_DOWN},
    {IDI_FRAME_ERRORS, IDI_FRAME_ERRORS_DOWN},
};
// The status images' size where the system cannot tell the shell's: 16 x 16,
// the small-icon size at 96 DPI.
const int kStateImageSize = 16;
const char kTitlePrefix[] = "Quorvane";

HINSTANCE Instance() { return CAppBase::Current()->instance; }

// The size the shell draws notification-area icons at: the small-icon size,
// 16 at 96 DPI, 20 at 120, 24 at 144, 32 at 192. Each status icon holds an
// image of each of those sizes, so the shell never stretches one.
int SmallIconMetric(int index) {
    const int size = GetSystemMetrics(index);
    return size > 0 ? size : kStateImageSize;
}

BOOL IsNt5OrLater() {
    DWORD version = GetVersion();
    if (version & 0x80000000) return FALSE;  // Windows 95, 98 and Me
    return (version & 0xFF) > 4 ? TRUE : FALSE;
}

// Appends `text` to the zero-filled buffer without passing its last byte and
// without splitting a double-byte character.
void AppendTitle(char* buffer, size_t size, const char* text) {
    const size_t length = std::strlen(buffer);
    std::memcpy(buffer + length, text, WholeCharacterBytes(text, size - 1 - length));
}

}  // namespace

BEGIN_MESSAGE_MAP(CStatusTrayDlg, CDialogBase)
    ON_MESSAGE(WM_TRAYICON, OnTrayIcon)
    ON_WM_TIMER(OnTimer)
    ON_COMMAND(ID_EXIT, Shutdown)
    ON_COMMAND(ID_COMPUTER_TO_COMPUTER, OnComputerToComputer)
    ON_COMMAND(ID_OTHER_NETWORK, OnOtherNetwork)
    ON_COMMAND(ID_REMOVE_STATUS_ICON, OnRemoveStatusIcon)
    ON_COMMAND(ID_ADVANCED_CONFIGURATION, OnAdvancedConfiguration)
    ON_COMMAND(ID_NETWORK_STATUS, OnNetworkStatus)
    ON_COMMAND(ID_VERSION_INFORMATION, OnVersionInformation)
    ON_COMMAND(ID_WEP_ENCRYPTION, OnWepEncryption)
    ON_COMMAND(ID_ADD_PROFILE, OnAddProfile)
    ON_COMMAND(ID_DELETE_PROFILE, OnDeleteProfile)
    ON_COMMAND(ID_RENAME_PROFILE, OnRenameProfile)
    ON_COMMAND(ID_RADIO_ON, OnRadioOn)
    ON_COMMAND(ID_RADIO_OFF, OnRadioOff)
    ON_COMMAND(ID_SITE_SURVEY, OnSiteSurvey)
    ON_COMMAND(ID_SECURITY, OnSecurity)
    ON_MESSAGE(WM_ACTIVATE, OnActivate)
    ON_REGISTERED_MESSAGE(messages.stop, OnStopMessage)
    ON_REGISTERED_MESSAGE(messages.start, OnStartMessage)
    ON_REGISTERED_MESSAGE(messages.taskbarCreated, OnTaskbarCreated)
END_MESSAGE_MAP()

CStatusTrayDlg::CStatusTrayDlg(std::string& commandLine, const RegisteredMessages& messages)
    : CDialogBase(IDD_STATUS_TRAY),
      messages(messages),
      nt5OrLater(IsNt5OrLater()),
      launcher(commandLine),
      mouse(*this) {}

CStatusTrayDlg::~CStatusTrayDlg() {
    for (auto& pair : stateIcons)
        for (HICON icon : pair)
            if (icon) DestroyIcon(icon);
}

void CStatusTrayDlg::HideWindow() {
    EnableWindow(Handle(), FALSE);
    ShowWindow(Handle(), SW_HIDE);
}

// ---------------------------------------------------------------- initialisation

BOOL CStatusTrayDlg::OnInitDialog() {
    CDialogBase::OnInitDialog();
    HideWindow();
    LetUserMessagesThrough(Handle(), messages);
    ownConfigAllowed = adapterSlots.CheckOwnConfigAllowed();

    appIcon = LoadIconA(Instance(), MAKEINTRESOURCEA(IDI_APPLICATION_ICON));
    for (int slot = 0; slot < SLOT_COUNT; ++slot) adapterSlots.Slot(slot).icon = appIcon;

    trayMenu.Attach(LoadMenuA(Instance(), MAKEINTRESOURCEA(IDR_TRAY_MENU)));
    if (!ownConfigAllowed) {
        HMENU popup = trayMenu.SubMenu(menuVariant);
        EnableMenuItem(popup, ID_ADVANCED_CONFIGURATION, MF_BYCOMMAND | MF_GRAYED);
        EnableMenuItem(popup, ID_WEP_ENCRYPTION, MF_BYCOMMAND | MF_GRAYED);
    }
    menuVariant = -1;

    if (LoadImages() && appIcon && trayMenu.Handle()) {
        SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(appIcon));
        SendMessageA(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(appIcon));
        SetTitle();
        StartPollTimer();
    } else {
        // Without its images or menu the window stays inert: no title, no ticks.
        MessageBeep(MB_ICONEXCLAMATION);
    }
    return TRUE;
}

// Loads the ten status images; true when all of them loaded.
bool CStatusTrayDlg::LoadImages() {
    const int width = SmallIconMetric(SM_CXSMICON), height = SmallIconMetric(SM_CYSMICON);
    bool all = true;
    for (int image = 0; image < IMAGE_COUNT; ++image)
        for (int pressed = 0; pressed < 2; ++pressed) {
            stateIcons[image][pressed] =
                static_cast<HICON>(LoadImageA(Instance(), MAKEINTRESOURCEA(kStateImageIds[image][pressed]), IMAGE_ICON,
                                              width, height, LR_DEFAULTCOLOR));
            all = all && stateIcons[image][pressed];
        }
    return all;
}

void CStatusTrayDlg::SetTitle() {
    const UINT textId =
        GetSystemMetrics(SM_CYSCREEN) > GetSystemMetrics(SM_CXSCREEN) ? IDS_TITLE_PORTRAIT : IDS_TITLE_LANDSCAPE;
    char text[256] = {};
    LoadStringA(Instance(), textId, text, sizeof text);
    std::memset(titleBuffer, 0, sizeof titleBuffer);
    if (text[0] == 0 || text[0] == ' ') AppendTitle(titleBuffer, sizeof titleBuffer, kTitlePrefix);
    AppendTitle(titleBuffer, sizeof titleBuffer, text);
    SetWindowTextA(Handle(), titleBuffer);
}

void CStatusTrayDlg::StartPollTimer() { pollTimerId = SetTimer(Handle(), POLL_TIMER, POLL_PERIOD_MS, nullptr); }

// The modal loop shows the window once, when it first runs idle: hide it again.
LRESULT CStatusTrayDlg::OnActivate(WPARAM, LPARAM) {
    if (firstActivation) {
        firstActivation = false;
        HideWindow();
    }
    return 0;
}

// Enter and Escape must not end the program.
void CStatusTrayDlg::OnOK() { MessageBeep(MB_ICONASTERISK); }
void CStatusTrayDlg::OnCancel() { MessageBeep(MB_ICONASTERISK); }

// ---------------------------------------------------------------- the poll tick

void CStatusTrayDlg::OnTimer(UINT_PTR timerId) {
    if (timerId == POLL_TIMER)
        OnPollTick();
    else if (timerId == CLICK_TIMER)
        OnClickTimer();
}

void CStatusTrayDlg::OnPollTick() {
    if (timerBusy) return;
    timerBusy = true;

    RunStartupCommandLine();
    adapterSlots.RefreshAdapterCollection();
    FindAdapters();
    for (int slot = 0; slot < SLOT_COUNT; ++slot) PollSlot(slot);
    CheckHold();

    timerBusy = false;
}

// Once per process, the first tick opens the configuration applet when the
// command line asks for it.
void CStatusTrayDlg::RunStartupCommandLine() {
    if (!startupPending) return;
    const bool asked = launcher.AskedAtStartup();
    startupPending = false;
    HideWindow();
    if (asked) PostMessageA(Handle(), WM_COMMAND, ID_ADVANCED_CONFIGURATION, 0);
}

void CStatusTrayDlg::FindAdapters() { adapterSlots.FindAdapters(); }

void CStatusTrayDlg::PollSlot(int slot) {
    switch (adapterSlots.PollSlot(slot)) {
    case ICON_ADD: AddTrayIcon(slot); break;
    case ICON_REFRESH: RefreshTrayIcon(slot); break;
    case ICON_DELETE: DeleteTrayIcon(slot); break;
    case ICON_NONE: break;
    }
}

// ---------------------------------------------------------------- ending

void CStatusTrayDlg::Shutdown() {
    shutDown = TRUE;
    StopTimer(Handle(), pollTimerId);
    mouse.StopClickTimer();
    for (int slot = 0; slot < SLOT_COUNT; ++slot) DeleteTrayIcon(slot);
    trayMenu.Destroy();
    EndDialog(IDOK);
}

// ---------------------------------------------------------------- other processes and the shell

LRESULT CStatusTrayDlg::OnStopMessage(WPARAM, LPARAM) {
    Shutdown();
    return 0;
}

LRESULT CStatusTrayDlg::OnStartMessage(WPARAM, LPARAM) {
    PostMessageA(Handle(), WM_COMMAND, ID_ADVANCED_CONFIGURATION, 0);
    return 0;
}

// The notification area was created anew (the shell restarted): it holds none
// of our icons any more. Every shown icon is marked as not shown, so that the
// next poll adds it again, and the poll timer is restarted.
LRESULT CStatusTrayDlg::OnTaskbarCreated(WPARAM, LPARAM) {
    if (shutDown) return 0;
    StopTimer(Handle(), pollTimerId);
    StartPollTimer();
    for (int slot = 0; slot < SLOT_COUNT; ++slot) adapterSlots.Slot(slot).iconShown = FALSE;
    return 0;
}
