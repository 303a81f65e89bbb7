// Network Status: the adapter's link refreshed every second while the page
// is shown, its addresses, and the signal of the last ten minutes drawn from
// the library's history of the program's one-second readings.
#include "Pages.h"
#include "Rules.h"
#include "resource.h"

namespace {

const UINT_PTR kRefreshTimer = 1;
const UINT kRefreshMs = 1000;
// The graph's span: the history's ten minutes.
const unsigned long kSpanMs = TAVRONET_HISTORY_SAMPLES * 1000ul;

std::string Known(const TAVRONET_LINK& link, unsigned long what, const char* text) {
    return (link.known & what) && *text ? text : kNotAvailable;
}

void ShowLink(HWND page, const TAVRONET_LINK& link, unsigned long code) {
    char text[128];
    SetText(page, IDC_STATE, code ? std::string(kNotAvailable) + " (" + ErrorText(code) + ")" : LinkStateName(link.state));
    const bool linked = code == 0 && link.state == TAVRONET_STATE_CONNECTED;
    NetworkName(text, sizeof text, link.ssid, link.ssidLength);
    SetText(page, IDC_NETWORK, linked ? Known(link, TAVRONET_KNOWN_SSID, text) : "");
    FormatMac(text, sizeof text, link.bssid);
    SetText(page, IDC_ACCESS_POINT, !linked ? std::string()
                                     : link.locationDenied ? "not shown without location access"
                                                           : Known(link, TAVRONET_KNOWN_BSSID, text));
    const char* band = BandName(link.frequencyMHz, link.channel);
    wsprintfA(text, *band ? "%lu (%s)" : "%lu", link.channel, band);
    SetText(page, IDC_CHANNEL, linked ? Known(link, TAVRONET_KNOWN_CHANNEL, text) : "");
    char percent[16] = "", rssi[16] = "";
    if (link.known & TAVRONET_KNOWN_SIGNAL) FormatPercent(percent, sizeof percent, link.signalPercent);
    if (link.known & TAVRONET_KNOWN_RSSI) FormatRssi(rssi, sizeof rssi, link.rssiDbm);
    wsprintfA(text, "%s%s%s", percent, *percent && *rssi ? ", " : "", rssi);
    SetText(page, IDC_SIGNAL, linked ? (*text ? text : kNotAvailable) : "");
    FormatRate(text, sizeof text, link.txRateKbps);
    SetText(page, IDC_TX_RATE, linked ? Known(link, TAVRONET_KNOWN_TX_RATE, text) : "");
    FormatRate(text, sizeof text, link.rxRateKbps);
    SetText(page, IDC_RX_RATE, linked ? Known(link, TAVRONET_KNOWN_RX_RATE, text) : "");
    SetText(page, IDC_PHY, linked ? Known(link, TAVRONET_KNOWN_PHY, PhyName(link.phy)) : "");
    SecurityText(text, sizeof text, link.authentication, link.cipher);
    SetText(page, IDC_SECURITY, linked ? Known(link, TAVRONET_KNOWN_SECURITY, text) : "");
    FormatMac(text, sizeof text, link.macAddress);
    SetText(page, IDC_MAC, Known(link, TAVRONET_KNOWN_MAC, text));
}

void ShowAddresses(HWND page, const AppletContext& context, const TAVRONET_LINK& link) {
    IpSettings ip;
    const bool found = context.data->GetIpSettings((link.known & TAVRONET_KNOWN_MAC) ? link.macAddress : nullptr, &ip);
    SetText(page, IDC_IP_ADDRESS, found && !ip.address.empty() ? ip.address : kNotAvailable);
    SetText(page, IDC_IP_MASK, found && !ip.mask.empty() ? ip.mask : kNotAvailable);
    SetText(page, IDC_GATEWAY, found && !ip.gateway.empty() ? ip.gateway : kNotAvailable);
}

void Refresh(HWND page, const AppletContext& context) {
    TAVRONET_LINK link;
    const unsigned long code = context.data->GetLink(&link);
    ShowLink(page, link, code);
    ShowAddresses(page, context, link);
    InvalidateRect(GetDlgItem(page, IDC_SIGNAL_GRAPH), nullptr, FALSE);
}

// The signal graph: the readings of the last ten minutes as a line over a
// grid of quarters, "now" at the right edge; readings without a link break
// the line. Drawn in one routine so that it reads and screenshots as a whole.
void PaintSignalGraph(HDC dc, RECT area, const TAVRONET_HISTORY& history, unsigned long code) {
    FillRect(dc, &area, GetSysColorBrush(COLOR_WINDOW));
    FrameRect(dc, &area, GetSysColorBrush(COLOR_BTNSHADOW));
    InflateRect(&area, -1, -1);
    const int width = area.right - area.left, height = area.bottom - area.top;
    HPEN grid = CreatePen(PS_DOT, 1, GetSysColor(COLOR_BTNSHADOW));
    HPEN line = CreatePen(PS_SOLID, 2, RGB(0, 128, 0));
    HGDIOBJ oldPen = SelectObject(dc, grid);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    for (int quarter = 1; quarter < 4; ++quarter) {
        const int y = area.top + height * quarter / 4;
        MoveToEx(dc, area.left, y, nullptr);
        LineTo(dc, area.right, y);
    }
    for (int minute = 1; minute < 10; ++minute) {
        const int x = area.left + width * minute / 10;
        MoveToEx(dc, x, area.top, nullptr);
        LineTo(dc, x, area.bottom);
    }
    TextOutA(dc, area.left + 2, area.top + 1, "100 %", 5);
    TextOutA(dc, area.left + 2, area.bottom - 14, "10 minutes ago", 14);
    SetTextAlign(dc, TA_RIGHT);
    TextOutA(dc, area.right - 2, area.bottom - 14, "now", 3);
    SetTextAlign(dc, TA_LEFT);
    if (code != 0 || history.count == 0) {
        const char* text = code ? "Signal history not available" : "No readings yet";
        TextOutA(dc, area.left + width / 2 - 60, area.top + height / 2 - 6, text, lstrlenA(text));
    }
    SelectObject(dc, line);
    bool drawing = false;
    for (unsigned long i = 0; code == 0 && i < history.count; ++i) {
        const TAVRONET_SAMPLE& sample = history.samples[i];
        const unsigned long age = history.now - sample.tick;
        if (!sample.linked || age > kSpanMs) {
            drawing = false;
            continue;
        }
        const int x = area.right - 1 - static_cast<int>(static_cast<unsigned long long>(age) * (width - 1) / kSpanMs);
        const int y = area.bottom - 1 - (height - 2) * (sample.signalPercent > 100 ? 100 : sample.signalPercent) / 100;
        if (drawing) LineTo(dc, x, y);
        else MoveToEx(dc, x, y, nullptr);
        if (!drawing) SetPixel(dc, x, y, RGB(0, 128, 0));
        drawing = true;
    }
    SelectObject(dc, oldPen);
    DeleteObject(grid);
    DeleteObject(line);
}

void DrawGraph(const AppletContext& context, const DRAWITEMSTRUCT& item) {
    // The history is large; it lives in static storage, not on the stack of the paint.
    static TAVRONET_HISTORY history;
    const unsigned long code = context.data->GetHistory(&history);
    PaintSignalGraph(item.hDC, item.rcItem, history, code);
}

void ShowAdapter(HWND page, const ChosenAdapter& adapter) {
    SetText(page, IDC_STATUS_DESCRIPTION, adapter.description.empty() ? kNotAvailable : adapter.description.c_str());
    SetText(page, IDC_STATUS_ID, adapter.adapterId.empty() ? kNotAvailable : adapter.adapterId.c_str());
}

INT_PTR CALLBACK StatusPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    AppletContext* context = PageContext(page, message, lParam);
    if (!context) return FALSE;  // messages before WM_INITDIALOG
    switch (message) {
    case WM_INITDIALOG:
        // The link is read when the page is shown.
        ShowAdapter(page, context->adapter);
        return TRUE;
    case WM_SHOWWINDOW:
        // Refreshed only while shown.
        if (wParam) {
            Refresh(page, *context);
            SetTimer(page, kRefreshTimer, kRefreshMs, nullptr);
        } else {
            KillTimer(page, kRefreshTimer);
        }
        return FALSE;
    case WM_TIMER:
        if (wParam == kRefreshTimer) Refresh(page, *context);
        return TRUE;
    case WM_DRAWITEM:
        if (wParam == IDC_SIGNAL_GRAPH) DrawGraph(*context, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_DESTROY:
        KillTimer(page, kRefreshTimer);
        return FALSE;
    }
    return FALSE;
}

}  // namespace

const PageInfo kStatusPage = {IDD_STATUS, "Status", StatusPageProc};
