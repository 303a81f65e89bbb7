// Mouse events on the tray icons and the pop-up menu: a click opens the menu
// half a second after the press, a held button opens it too, a double click
// asks for the status page. Ctrl+Shift at the first press selects the second
// menu variant. Telling the three apart is CTrayMouse's.
#include "tray/StatusTrayDlg.h"

#include "resource.h"

namespace {

const int kPopupProfileMenu = 2;
const UINT kTrackFlags = TPM_BOTTOMALIGN | TPM_LEFTALIGN | TPM_LEFTBUTTON;

}  // namespace

LRESULT CStatusTrayDlg::OnTrayIcon(WPARAM slotIndex, LPARAM event) {
    // Any process can post this message: an index outside the four slots
    // reaches nothing.
    if (slotIndex >= static_cast<WPARAM>(SLOT_COUNT)) return 1;
    const int slot = static_cast<int>(slotIndex);
    eventSlot = slot;
    switch (event) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: OnButtonDown(slot, event == WM_RBUTTONDOWN); break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        mouse.Release();
        SetButtonDown(slot, FALSE);
        break;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK: OnDoubleClick(slot); break;
    case TRAY_CLICKED:
        OnMenuRequest(slot, mouse.RightButtonClick() && menuVariant == 1 ? kPopupProfileMenu : menuVariant);
        break;
    case TRAY_HELD: OnMenuRequest(slot, menuVariant == 1 ? kPopupProfileMenu : menuVariant); break;
    default: break;
    }
    return 1;
}

void CStatusTrayDlg::OnButtonDown(int slot, bool rightButton) {
    if (menuVariant < 0) {
        // Fixed for the rest of the process at the first press.
        menuVariant = (GetAsyncKeyState(VK_CONTROL) & GetAsyncKeyState(VK_SHIFT)) ? 1 : 0;
    }
    mouse.Press(rightButton, menuOpen);
    SetButtonDown(slot, TRUE);
}

void CStatusTrayDlg::OnDoubleClick(int slot) {
    mouse.DoubleClick();
    SetButtonDown(slot, FALSE);
    if (!menuOpen) PostMessageA(Handle(), WM_COMMAND, ID_NETWORK_STATUS, 0);
}

// The slot's icon shows the pressed image while a button is held on it.
void CStatusTrayDlg::SetButtonDown(int slot, BOOL down) {
    adapterSlots.Slot(slot).buttonDown = down;
    RefreshTrayIcon(slot);
}

void CStatusTrayDlg::OnMenuRequest(int slot, int popupIndex) {
    menuOpen = TRUE;
    SetButtonDown(slot, FALSE);
    menuToShow = popupIndex;
    ShowMenu(slot);
    menuOpen = FALSE;
}

void CStatusTrayDlg::OnClickTimer() {
    if (mouse.ClickConfirmed(menuOpen)) PostMessageA(Handle(), WM_TRAYICON, eventSlot, TRAY_CLICKED);
}

// Once per poll tick: a button held since before the last tick opens the menu.
void CStatusTrayDlg::CheckHold() {
    if (mouse.HoldConfirmed(menuOpen)) PostMessageA(Handle(), WM_TRAYICON, eventSlot, TRAY_HELD);
}

void CStatusTrayDlg::ShowMenu(int slot) {
    ownConfigAllowed = adapterSlots.CheckOwnConfigAllowed();
    HMENU popup = trayMenu.SubMenu(menuToShow);
    const UINT configState = MF_BYCOMMAND | (ownConfigAllowed ? MF_ENABLED : MF_GRAYED);
    EnableMenuItem(popup, ID_ADVANCED_CONFIGURATION, configState);
    EnableMenuItem(popup, ID_WEP_ENCRYPTION, configState);
    // In the foreground, so that the menu closes when the user clicks elsewhere.
    SetForegroundWindow(Handle());
    POINT cursor;
    if (popup && GetCursorPos(&cursor)) {
        menuSlot = slot;
        SyncRadioItems(slot);
        if (TrackPopupMenu(popup, kTrackFlags, cursor.x, cursor.y, 0, Handle(), nullptr))
            PostMessageA(Handle(), WM_MENU_TRACKED, 0, 0);
    }
    HideWindow();
}
