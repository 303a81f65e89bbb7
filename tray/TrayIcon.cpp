// The notification-area icon of each slot: its image and tooltip, chosen from
// the slot's last polled state, and the radio items of the menu kept in step.
#include "tray/StatusTrayDlg.h"

#include "app/StatusTrayApp.h"
#include "resource.h"
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

// The quality line: the status text with the link quality in percent. While
// no quality has been read yet there is no percentage to show.
std::string QualityText(int textId, DWORD quality) {
    char format[256] = {};
    if (!LoadStringA(CAppBase::Current()->instance, textId, format, sizeof format)) return std::string();
    if (quality == QUALITY_UNKNOWN && std::strstr(format, "%d")) return std::string();
    const DWORD percent = quality * 100 / 15;
    char text[300] = {};
    std::snprintf(text, sizeof text, format, static_cast<int>(percent));
    return text;
}

std::string SpeedLine(const AdapterSlot& slot) {
    if (slot.linkQuality == 0) return "\n";
    char text[64] = {};
    std::snprintf(text, sizeof text, "\nSpeed: %1.1f Mbps\n", slot.dot11Rate * 0.5);
    return text;
}

// Description, speed line and quality line in a tip of `capacity` bytes; the
// description is what gets cut. Before NT 5 the shell shows the description alone.
std::string TipText(const AdapterSlot& slot, bool nt5, const std::string& speed, const std::string& quality) {
    const std::string& description = slot.vendorDescription;
    if (!nt5) return description.substr(0, 64 - 1);
    const long room = 128 - 1 - static_cast<long>(speed.size()) - static_cast<long>(quality.size());
    std::string tip = room > 0 ? description.substr(0, static_cast<size_t>(room)) : std::string();
    tip += speed;
    tip += quality;
    return tip.substr(0, 128 - 1);
}

void FillRecord(NOTIFYICONDATAA& record, DWORD size, HWND window, int slot) {
    std::memset(&record, 0, sizeof record);
    record.cbSize = size;
    record.hWnd = window;
    record.uID = static_cast<UINT>(slot);
}

void SetTip(NOTIFYICONDATAA& record, const std::string& tip) {
    const size_t capacity = record.cbSize == NOTIFYICONDATAA_V1_SIZE ? 64 : 128;
    std::strncpy(record.szTip, tip.c_str(), capacity - 1);
}

}  // namespace

BOOL CStatusTrayDlg::AddTrayIcon(int slot) {
    AdapterSlot& s = slots[slot];
    NOTIFYICONDATAA record;
    FillRecord(record, NOTIFYICONDATAA_V1_SIZE, Handle(), slot);
    record.uFlags = kTrayFlags;
    record.uCallbackMessage = WM_TRAYICON;
    record.hIcon = s.icon;
    SetTip(record, CStatusTrayApp::Get().ApplicationName());
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
    if (HMENU popup = trayMenu.SubMenu(menuVariant)) {
        const UINT state = MF_BYCOMMAND | (s.radioSwitchOn ? MF_ENABLED : MF_GRAYED);
        EnableMenuItem(popup, ID_RADIO_ON, state);
        EnableMenuItem(popup, ID_RADIO_OFF, state);
        CheckMenuRadioItem(popup, ID_RADIO_ON, ID_RADIO_OFF, s.radioOn ? ID_RADIO_ON : ID_RADIO_OFF, MF_BYCOMMAND);
    }
    if (holdTicks == 0) s.buttonDown = FALSE;

    const Status status = ChooseStatus(s);
    HICON image = stateIcons[status.image][s.buttonDown ? 1 : 0];
    int& lastTipTextId = CStatusTrayApp::Get().tray.lastTipTextId;
    if (image == s.icon && s.linkQuality == QUALITY_UNKNOWN && status.textId == lastTipTextId) return;
    lastTipTextId = status.textId;
    s.icon = image;

    const std::string quality = QualityText(status.textId, s.linkQuality);
    const std::string speed = SpeedLine(s);
    NOTIFYICONDATAA record;
    FillRecord(record, nt5OrLater ? NOTIFYICONDATAA_V2_SIZE : NOTIFYICONDATAA_V1_SIZE, Handle(), slot);
    record.uFlags = kTrayFlags;
    record.uCallbackMessage = WM_TRAYICON;
    record.hIcon = image;
    SetTip(record, TipText(s, nt5OrLater != FALSE, speed, quality));
    Shell_NotifyIconA(NIM_MODIFY, &record);
}

BOOL CStatusTrayDlg::DeleteTrayIcon(int slot) {
    AdapterSlot& s = slots[slot];
    s.iconShown = FALSE;
    s.linkQuality = QUALITY_UNKNOWN;
    NOTIFYICONDATAA record;
    FillRecord(record, NOTIFYICONDATAA_V1_SIZE, Handle(), slot);
    return Shell_NotifyIconA(NIM_DELETE, &record);
}
