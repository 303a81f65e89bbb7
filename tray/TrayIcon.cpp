// The notification-area icon of each slot: its image and tooltip, chosen from
// the slot's last polled state, and the radio items of the menu kept in step.
#include "tray/StatusTrayDlg.h"

#include "framework/AppBase.h"
#include "resource.h"
#include "tray/TipText.h"
#include "tray/TrayMessages.h"

#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

static_assert(NOTIFYICONDATAA_V1_SIZE == 88, "the original notify-icon record");
static_assert(NOTIFYICONDATAA_V2_SIZE == 488, "the notify-icon record with the 128-byte tip");

const UINT kTrayFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;

struct Status {
    int textId;
    StateImage image;
};

// The first row that matches decides the text and the image.
Status ChooseStatus(const AdapterSlot& slot) {
    const DWORD q = slot.linkQuality;
    if (!slot.radioOn) return {slot.radioSwitchOn ? IDS_RADIO_OFF : IDS_RADIO_SWITCH_OFF, IMAGE_RADIO_OFF};
    if (slot.wepPacketRxOk == 0 && slot.adapterState == 1) return {IDS_FRAME_ERRORS, IMAGE_FRAME_ERRORS};
    if (q >= 12) return {IDS_EXCELLENT_LINK, IMAGE_LINKED};
    if (q >= 9) return {IDS_GOOD_LINK, IMAGE_LINKED};
    if (q >= 5) return {IDS_FAIR_LINK, IMAGE_LINKED};
    if (q >= 1) return {IDS_POOR_LINK, IMAGE_POOR};
    return {IDS_NOT_LINKED, IMAGE_NOT_LINKED};
}

void FillRecord(NOTIFYICONDATAA& record, DWORD size, HWND window, int slot) {
    std::memset(&record, 0, sizeof record);
    record.cbSize = size;
    record.hWnd = window;
    record.uID = static_cast<UINT>(slot);
}

// The record of an add or a refresh: callback message, image and tip.
void FillIconRecord(NOTIFYICONDATAA& record, DWORD size, HWND window, int slot, HICON image) {
    FillRecord(record, size, window, slot);
    record.uFlags = kTrayFlags;
    record.uCallbackMessage = WM_TRAYICON;
    record.hIcon = image;
}

size_t TipCapacity(const NOTIFYICONDATAA& record) { return record.cbSize == NOTIFYICONDATAA_V1_SIZE ? 64 : 128; }

}  // namespace

BOOL CStatusTrayDlg::AddTrayIcon(int slot) {
    AdapterSlot& s = adapterSlots.Slot(slot);
    NOTIFYICONDATAA record;
    FillIconRecord(record, NOTIFYICONDATAA_V1_SIZE, Handle(), slot, s.icon);
    std::snprintf(record.szTip, TipCapacity(record), "%s", CAppBase::Current()->ApplicationName().c_str());
    BOOL added = Shell_NotifyIconA(NIM_ADD, &record);
    if (!added) {
        // A shell that still holds this icon refuses to add it again (after
        // "TaskbarCreated" from a shell that kept its icons): it is shown.
        FillRecord(record, NOTIFYICONDATAA_V1_SIZE, Handle(), slot);
        if (!Shell_NotifyIconA(NIM_MODIFY, &record)) return FALSE;
    }
    s.iconShown = TRUE;
    RefreshTrayIcon(slot);
    return added;
}

void CStatusTrayDlg::RefreshTrayIcon(int slot) {
    AdapterSlot& s = adapterSlots.Slot(slot);
    // The menu is shared by all icons: while it is open it shows the radio of
    // the icon it was opened for, not of the last icon the poll refreshed.
    if (!menuOpen || slot == menuSlot) SyncRadioItems(slot);
    if (!mouse.ButtonHeld()) s.buttonDown = FALSE;

    const Status status = ChooseStatus(s);
    HICON image = stateIcons[status.image][s.buttonDown ? 1 : 0];
    if (image == s.icon && s.linkQuality == QUALITY_UNKNOWN && status.textId == lastTipTextId) return;
    lastTipTextId = status.textId;
    s.icon = image;

    char format[256] = {};
    LoadStringA(CAppBase::Current()->instance, status.textId, format, sizeof format);
    NOTIFYICONDATAA record;
    FillIconRecord(record, nt5OrLater ? NOTIFYICONDATAA_V2_SIZE : NOTIFYICONDATAA_V1_SIZE, Handle(), slot, image);
    ComposeTip(s.vendorDescription, nt5OrLater != FALSE, s.linkQuality, s.dot11Rate, format, record.szTip,
               TipCapacity(record));
    Shell_NotifyIconA(NIM_MODIFY, &record);
}

// The radio items of the menu: offered while the slot's radio switch is on,
// the check mark on the slot's radio state. Nothing before the first press.
void CStatusTrayDlg::SyncRadioItems(int slot) {
    HMENU popup = trayMenu.SubMenu(menuVariant);
    if (!popup) return;
    const AdapterSlot& s = adapterSlots.Slot(slot);
    const UINT state = MF_BYCOMMAND | (s.radioSwitchOn ? MF_ENABLED : MF_GRAYED);
    EnableMenuItem(popup, ID_RADIO_ON, state);
    EnableMenuItem(popup, ID_RADIO_OFF, state);
    CheckMenuRadioItem(popup, ID_RADIO_ON, ID_RADIO_OFF, s.radioOn ? ID_RADIO_ON : ID_RADIO_OFF, MF_BYCOMMAND);
}

BOOL CStatusTrayDlg::DeleteTrayIcon(int slot) {
    AdapterSlot& s = adapterSlots.Slot(slot);
    s.iconShown = FALSE;
    s.linkQuality = QUALITY_UNKNOWN;
    NOTIFYICONDATAA record;
    FillRecord(record, NOTIFYICONDATAA_V1_SIZE, Handle(), slot);
    return Shell_NotifyIconA(NIM_DELETE, &record);
}
