// The notification-area icon of each slot: its image and tooltip, chosen from
// the slot's last polled state, and the radio items of the menu kept in step.
#include "tray/StatusTrayDlg.h"

#include "app/StatusTrayApp.h"
#include "resource.h"
#include "tray/TrayMessages.h"

#include <shellapi.h>

#include <algorithm>
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

// The quality line: the status text with the link quality in percent. While
// no quality has been read yet there is no percentage to show.
void QualityText(int textId, DWORD quality, char* text, size_t size) {
    char format[256] = {};
    text[0] = 0;
    if (!LoadStringA(CAppBase::Current()->instance, textId, format, sizeof format)) return;
    if (quality == QUALITY_UNKNOWN && std::strstr(format, "%d")) return;
    const DWORD percent = quality * 100 / 15;
    std::snprintf(text, size, format, static_cast<int>(percent));
}

void SpeedLine(const AdapterSlot& slot, char* text, size_t size) {
    if (slot.linkQuality == 0) std::snprintf(text, size, "\n");
    else std::snprintf(text, size, "\nSpeed: %1.1f Mbps\n", slot.dot11Rate * 0.5);
}

// Description, speed line and quality line; the description is what gets cut
// to fit the tip field. Before NT 5 the shell shows the description alone.
void TipText(const AdapterSlot& slot, bool nt5, const char* speed, const char* quality, char* tip, size_t size) {
    const size_t fixed = nt5 ? std::strlen(speed) + std::strlen(quality) : 0;
    const size_t room = fixed < size - 1 ? size - 1 - fixed : 0;
    const size_t kept = std::min(slot.vendorDescription.size(), room);
    std::memcpy(tip, slot.vendorDescription.data(), kept);
    tip[kept] = 0;
    if (nt5) std::snprintf(tip + kept, size - kept, "%s%s", speed, quality);
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
    AdapterSlot& s = slots[slot];
    NOTIFYICONDATAA record;
    FillIconRecord(record, NOTIFYICONDATAA_V1_SIZE, Handle(), slot, s.icon);
    std::snprintf(record.szTip, TipCapacity(record), "%s", CStatusTrayApp::Get().ApplicationName().c_str());
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
    AdapterSlot& s = slots[slot];
    // The menu is shared by all icons: while it is open it shows the radio of
    // the icon it was opened for, not of the last icon the poll refreshed.
    if (!menuOpen || slot == menuSlot) SyncRadioItems(slot);
    if (holdTicks == 0) s.buttonDown = FALSE;

    const Status status = ChooseStatus(s);
    HICON image = stateIcons[status.image][s.buttonDown ? 1 : 0];
    int& lastTipTextId = Process().lastTipTextId;
    if (image == s.icon && s.linkQuality == QUALITY_UNKNOWN && status.textId == lastTipTextId) return;
    lastTipTextId = status.textId;
    s.icon = image;

    char quality[256];
    QualityText(status.textId, s.linkQuality, quality, sizeof quality);
    char speed[64];
    SpeedLine(s, speed, sizeof speed);
    NOTIFYICONDATAA record;
    FillIconRecord(record, nt5OrLater ? NOTIFYICONDATAA_V2_SIZE : NOTIFYICONDATAA_V1_SIZE, Handle(), slot, image);
    TipText(s, nt5OrLater != FALSE, speed, quality, record.szTip, TipCapacity(record));
    Shell_NotifyIconA(NIM_MODIFY, &record);
}

// The radio items of the menu: offered while the slot's radio switch is on,
// the check mark on the slot's radio state. Nothing before the first press.
void CStatusTrayDlg::SyncRadioItems(int slot) {
    HMENU popup = trayMenu.SubMenu(menuVariant);
    if (!popup) return;
    const AdapterSlot& s = slots[slot];
    const UINT state = MF_BYCOMMAND | (s.radioSwitchOn ? MF_ENABLED : MF_GRAYED);
    EnableMenuItem(popup, ID_RADIO_ON, state);
    EnableMenuItem(popup, ID_RADIO_OFF, state);
    CheckMenuRadioItem(popup, ID_RADIO_ON, ID_RADIO_OFF, s.radioOn ? ID_RADIO_ON : ID_RADIO_OFF, MF_BYCOMMAND);
}

BOOL CStatusTrayDlg::DeleteTrayIcon(int slot) {
    AdapterSlot& s = slots[slot];
    s.iconShown = FALSE;
    s.linkQuality = QUALITY_UNKNOWN;
    NOTIFYICONDATAA record;
    FillRecord(record, NOTIFYICONDATAA_V1_SIZE, Handle(), slot);
    return Shell_NotifyIconA(NIM_DELETE, &record);
}
