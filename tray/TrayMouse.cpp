// Mouse events on the tray icons: a click opens the pop-up menu half a second
// after the press, a held button opens it too, a double click asks for the
// status page. Ctrl+Shift at the first press selects the second menu variant.
#include "tray/StatusTrayDlg.h"

#include "resource.h"
#include "tray/TrayMessages.h"

#include <cstdlib>

namespace {

const LONG kPointerTolerance = 16;
const int kFirstHoldTick = 2;  // the hold check answers from the second tick after the press
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
    case WM_RBUTTONDOWN:
        OnButtonDown(slot, event == WM_RBUTTONDOWN);
        break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        OnButtonUp(slot);
        break;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
        OnDoubleClick(slot);
        break;
    case TRAY_CLICKED:
        OnMenuRequest(slot, rightButtonClick && menuVariant == 1 ? kPopupProfileMenu : menuVariant);
        break;
    case TRAY_HELD:
        OnMenuRequest(slot, menuVariant == 1 ? kPopupProfileMenu : menuVariant);
        break;
    default:
        break;
    }
    return 1;
}

void CStatusTrayDlg::OnButtonDown(int slot, bool rightButton) {
    if (menuVariant < 0) {
        // Fixed for the rest of the process at the first press.
        menuVariant = (GetAsyncKeyState(VK_CONTROL) & GetAsyncKeyState(VK_SHIFT)) ? 1 : 0;
    }
    doubleClickSeen = FALSE;
    rightButtonClick = rightButton;
    StopTimer(clickTimerId);
    if (!menuOpen) {
        GetCursorPos(&pressPoint);
        clickTimerId = SetTimer(Handle(), CLICK_TIMER, CLICK_DELAY_MS, nullptr);
    }
    slots[slot].buttonDown = TRUE;
    holdTicks = 1;
    RefreshTrayIcon(slot);
}

void CStatusTrayDlg::OnButtonUp(int slot) {
    slots[slot].buttonDown = FALSE;
    holdTicks = 0;
    RefreshTrayIcon(slot);
}

void CStatusTrayDlg::OnDoubleClick(int slot) {
    rightButtonClick = FALSE;
    doubleClickSeen = TRUE;
    StopTimer(clickTimerId);
    slots[slot].buttonDown = FALSE;
    RefreshTrayIcon(slot);
    if (!menuOpen) PostMessageA(Handle(), WM_COMMAND, ID_NETWORK_STATUS, 0);
}

void CStatusTrayDlg::OnMenuRequest(int slot, int popupIndex) {
    menuOpen = TRUE;
    slots[slot].buttonDown = FALSE;
    RefreshTrayIcon(slot);
    menuToShow = popupIndex;
    ShowMenu(slot);
    menuOpen = FALSE;
}

// Fires once, 500 ms after a press: a single click when the pointer is still
// near the press point and no double click came.
void CStatusTrayDlg::OnClickTimer() {
    if (!clickTimerId) return;
    StopTimer(clickTimerId);
    if (NearPressPoint() && !doubleClickSeen && !menuOpen)
        PostMessageA(Handle(), WM_TRAYICON, eventSlot, TRAY_CLICKED);
}

// Once per poll tick: a button held since before the last tick opens the menu.
void CStatusTrayDlg::CheckHold() {
    if (holdTicks == 0) return;
    if (++holdTicks <= kFirstHoldTick) return;
    if (NearPressPoint() && !doubleClickSeen && !menuOpen)
        PostMessageA(Handle(), WM_TRAYICON, eventSlot, TRAY_HELD);
}

bool CStatusTrayDlg::NearPressPoint() const {
    POINT cursor;
    if (!GetCursorPos(&cursor)) return false;
    return std::labs(cursor.x - pressPoint.x) < kPointerTolerance &&
           std::labs(cursor.y - pressPoint.y) < kPointerTolerance;
}

void CStatusTrayDlg::ShowMenu(int slot) {
    ownConfigAllowed = CheckOwnConfigAllowed();
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
