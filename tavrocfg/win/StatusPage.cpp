// Network Status: the adapter's link refreshed every second while the page
// is shown, its addresses, and the signal of the last ten minutes drawn from
// the library's history of the program's one-second readings, with its
// summary as the graph's text alternative.
#include "Pages.h"
#include "StatusWords.h"
#include "resource.h"

namespace {

const UINT_PTR kRefreshTimer = 1;
const UINT kRefreshMs = 1000;
// The graph's span: the history's ten minutes.
const unsigned long kSpanMs = TAVRONET_HISTORY_SAMPLES * 1000ul;

// The last reading of the signal history, for the graph. It is large: it
// lives beside the window, not on the stack.
struct SignalHistory {
    TAVRONET_HISTORY history;
    unsigned long code = 0;
};

void ShowLink(HWND page, const TAVRONET_LINK& link, unsigned long code) {
    const StatusTexts t = StatusTextsOf(link, code, FromAnsi(ErrorText(code).c_str()));
    SetText(page, IDC_STATE, t.state);
    SetText(page, IDC_NETWORK, t.network);
    SetText(page, IDC_ACCESS_POINT, t.accessPoint);
    SetText(page, IDC_CHANNEL, t.channel);
    SetText(page, IDC_SIGNAL, t.signal);
    SetText(page, IDC_TX_RATE, t.txRate);
    SetText(page, IDC_RX_RATE, t.rxRate);
    SetText(page, IDC_PHY, t.standard);
    SetText(page, IDC_SECURITY, t.security);
    SetText(page, IDC_MAC, t.mac);
}

void ShowAddresses(HWND page, const AppletContext& context, const TAVRONET_LINK& link) {
    IpSettings ip;
    const bool found = context.data->GetIpSettings((link.known & TAVRONET_KNOWN_MAC) ? link.macAddress : nullptr, &ip);
    SetText(page, IDC_IP_ADDRESS, found && !ip.address.empty() ? ip.address.c_str() : kNotAvailable);
    SetText(page, IDC_IP_MASK, found && !ip.mask.empty() ? ip.mask.c_str() : kNotAvailable);
    SetText(page, IDC_GATEWAY, found && !ip.gateway.empty() ? ip.gateway.c_str() : kNotAvailable);
}

void Refresh(HWND page, const AppletContext& context, SignalHistory& signal) {
    TAVRONET_LINK link;
    const unsigned long code = context.data->GetLink(&link);
    ShowLink(page, link, code);
    ShowAddresses(page, context, link);
    signal.code = context.data->GetHistory(&signal.history);
    const Text summary = SignalSummary(signal.history, signal.code);
    SetText(page, IDC_SIGNAL_SUMMARY, summary);
    SetText(page, IDC_SIGNAL_GRAPH, summary);  // what a screen reader reads for the graph
    InvalidateRect(GetDlgItem(page, IDC_SIGNAL_GRAPH), nullptr, FALSE);
}

// The signal graph: the readings of the last ten minutes as a line over a
// grid of quarters, "now" at the right edge; readings without a link break
// the line. Drawn in one routine so that it reads and screenshots as a whole.
void PaintSignalGraph(HDC dc, const RECT& rect, const FontSize& font, const SignalHistory& signal) {
    const TAVRONET_HISTORY& history = signal.history;
    const Box area = {rect.left, rect.top, rect.right, rect.bottom};
    const GraphParts g = LayoutGraph(area, font);
    FillRect(dc, &rect, GetSysColorBrush(COLOR_WINDOW));
    FrameRect(dc, &rect, GetSysColorBrush(COLOR_BTNSHADOW));
    HPEN grid = CreatePen(PS_DOT, 1, GetSysColor(COLOR_BTNSHADOW));
    HPEN line = CreatePen(PS_SOLID, g.lineWidth, RGB(0, 128, 0));
    HGDIOBJ oldPen = SelectObject(dc, grid);
    SetBkMode(dc, TRANSPARENT);
    const int width = g.plot.right - g.plot.left, height = g.plot.bottom - g.plot.top;
    for (int quarter = 0; quarter <= 4; ++quarter) {
        const int y = g.plot.top + (height - 1) * quarter / 4;
        MoveToEx(dc, g.plot.left, y, nullptr);
        LineTo(dc, g.plot.right, y);
    }
    for (int minute = 0; minute <= 10; ++minute) {
        const int x = g.plot.left + (width - 1) * minute / 10;
        MoveToEx(dc, x, g.plot.top, nullptr);
        LineTo(dc, x, g.plot.bottom);
    }
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    SetTextAlign(dc, TA_RIGHT | TA_TOP);
    TextOutA(dc, g.topPercent.x, g.topPercent.y, "100 %", 5);
    TextOutA(dc, g.bottomPercent.x, g.bottomPercent.y, "0 %", 3);
    TextOutA(dc, g.now.x, g.now.y, "now", 3);
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    TextOutA(dc, g.start.x, g.start.y, "10 minutes ago", 14);
    if (signal.code != 0 || history.count == 0) {
        const char* text = signal.code ? "Signal history not available" : "No readings yet";
        SetTextAlign(dc, TA_CENTER | TA_TOP);
        TextOutA(dc, g.message.x, g.message.y, text, lstrlenA(text));
    }
    SelectObject(dc, line);
    bool drawing = false;
    for (unsigned long i = 0; signal.code == 0 && i < history.count; ++i) {
        const TAVRONET_SAMPLE& sample = history.samples[i];
        const unsigned long age = history.now - sample.tick;
        if (!sample.linked || age > kSpanMs) {
            drawing = false;
            continue;
        }
        const Spot p = GraphPoint(g.plot, age, kSpanMs, sample.signalPercent);
        if (drawing) {
            LineTo(dc, p.x, p.y);
        } else {
            MoveToEx(dc, p.x, p.y, nullptr);
            SetPixel(dc, p.x, p.y, RGB(0, 128, 0));  // a reading alone shows too
        }
        drawing = true;
    }
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    SelectObject(dc, oldPen);
    DeleteObject(grid);
    DeleteObject(line);
}

void DrawGraph(HWND page, const DRAWITEMSTRUCT& item, const SignalHistory& signal) {
    HGDIOBJ oldFont = SelectObject(item.hDC, reinterpret_cast<HGDIOBJ>(SendMessageA(page, WM_GETFONT, 0, 0)));
    PaintSignalGraph(item.hDC, item.rcItem, DialogFont(page), signal);
    SelectObject(item.hDC, oldFont);
}

INT_PTR CALLBACK StatusPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    AppletContext* context = PageContext(page, message, lParam);
    SignalHistory* signal = PageState<SignalHistory>(page, message);
    if (!context || !signal) return FALSE;  // messages before WM_INITDIALOG and after WM_NCDESTROY
    switch (message) {
    case WM_INITDIALOG:
        // The link is read when the page is shown, which follows at once.
        return TRUE;
    case WM_SHOWWINDOW:
        // Refreshed only while shown.
        if (wParam) {
            Refresh(page, *context, *signal);
            SetTimer(page, kRefreshTimer, kRefreshMs, nullptr);
        } else {
            KillTimer(page, kRefreshTimer);
        }
        return FALSE;
    case WM_TIMER:
        if (wParam == kRefreshTimer) Refresh(page, *context, *signal);
        return TRUE;
    case WM_DRAWITEM:
        if (wParam == IDC_SIGNAL_GRAPH) DrawGraph(page, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam), *signal);
        return TRUE;
    case WM_DESTROY: KillTimer(page, kRefreshTimer); return FALSE;
    }
    return FALSE;
}

}  // namespace

const PageInfo kStatusPage = {IDD_STATUS, "Status", StatusPageProc};
