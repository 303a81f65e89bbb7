// Site Survey: the networks in range in a list sorted by signal (a click on a
// column sorts by it), first from a scan when the page is first shown, then
// read again every few seconds while it is; a scan on request; Connect and
// Disconnect followed until Windows tells how they ended; and under the list
// an overview of how crowded each channel is.
#include "Pages.h"
#include "SurveyRules.h"
#include "resource.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <vector>

namespace {

const UINT_PTR kScanTimer = 1, kRefreshTimer = 2, kConnectTimer = 3;
const UINT kScanPollMs = 250;
// A scan is given about four seconds; the list is read again after it either way.
const int kScanPolls = 16;

struct SurveyState {
    std::vector<TAVRONET_NETWORK> networks;
    SurveyColumn column = kColumnSignal;
    bool descending = true;
    int scanPolls = 0;
    bool scanning = false;
    bool scanned = false;  // the page's first scan was asked
    // Why the last scan failed; in place of the count until the next request or scan.
    Text scanFailure;
    // The connect or disconnect under way, and the network it is for.
    bool requestUnderWay = false;
    unsigned long sequence = 0;
    int connectPolls = 0;
    Text requestName;
    // How the last connect or disconnect ended; it stays under the list, after
    // the count of networks, until the next request or scan.
    Text outcome;
};

HWND List(HWND page) { return GetDlgItem(page, IDC_SURVEY_LIST); }

const TAVRONET_NETWORK* SelectedNetwork(HWND page, const SurveyState& survey) {
    const int row = SelectedRow(List(page));
    return row >= 0 && row < static_cast<int>(survey.networks.size()) ? &survey.networks[row] : nullptr;
}

void UpdateButtons(HWND page, const AppletContext& context, SurveyState& survey) {
    // Connect joins the selected network by its saved network or as an open
    // one; Disconnect leaves the connected network, whichever is selected.
    const TAVRONET_NETWORK* network = SelectedNetwork(page, survey);
    const bool idle = !survey.requestUnderWay && !survey.scanning;
    EnableWindow(GetDlgItem(page, IDC_CONNECT), idle && network && CanConnect(*network));
    EnableWindow(GetDlgItem(page, IDC_DISCONNECT), idle && AnyConnected(survey.networks));
    EnableWindow(GetDlgItem(page, IDC_REFRESH), idle);
    const Text reason =
        network && network->notConnectableReason ? context.data->ReasonText(network->notConnectableReason) : Text();
    SetText(page, IDC_SURVEY_WHY, network ? WhyNotConnect(*network, reason) : Text());
}

// A copy of the selected network, taken before the list changes under it;
// false when none is selected.
bool CopySelected(HWND page, const SurveyState& survey, TAVRONET_NETWORK* copy) {
    const TAVRONET_NETWORK* selected = SelectedNetwork(page, survey);
    if (selected) *copy = *selected;
    return selected != nullptr;
}

bool SameNetwork(const TAVRONET_NETWORK& a, const TAVRONET_NETWORK& b) {
    return a.ssidLength == b.ssidLength && std::equal(a.ssid, a.ssid + a.ssidLength, b.ssid) &&
           a.bssType == b.bssType && a.authentication == b.authentication;
}

// Fills the list in the chosen order, selecting `keep` (a copy, not a
// network of the list) again where it is still listed.
void ShowNetworks(HWND page, const AppletContext& context, SurveyState& survey, const TAVRONET_NETWORK* keep) {
    std::sort(survey.networks.begin(), survey.networks.end(),
              [&survey](const TAVRONET_NETWORK& a, const TAVRONET_NETWORK& b) {
                  return CompareNetworks(a, b, survey.column, survey.descending) < 0;
              });
    HWND list = List(page);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    for (size_t i = 0; i < survey.networks.size(); ++i) {
        AddRow(list, SurveyRow(survey.networks[i]), static_cast<LPARAM>(i));
        if (keep && SameNetwork(*keep, survey.networks[i])) SelectRow(list, static_cast<int>(i));
    }
    FitColumns(list, survey.column);
    ShowSortArrow(list, survey.column, survey.descending);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    SetText(page, IDC_CHANNEL_CHART, ChannelSummary(survey.networks));
    InvalidateRect(GetDlgItem(page, IDC_CHANNEL_CHART), nullptr, FALSE);
    UpdateButtons(page, context, survey);
}

// Whether Windows refused a call (`code`) because the applet may not use the
// location: the library then says so in the link.
bool RefusedForLocation(const AppletContext& context, unsigned long code) {
    TAVRONET_LINK link;
    return code == ERROR_ACCESS_DENIED && context.data->GetLink(&link) == 0 && link.locationDenied;
}

void ReadNetworks(HWND page, const AppletContext& context, SurveyState& survey) {
    TAVRONET_NETWORK kept;
    const bool keep = CopySelected(page, survey, &kept);
    const unsigned long code = context.data->GetNetworks(&survey.networks);
    const bool withoutLocation = RefusedForLocation(context, code);
    char count[16];
    FormatNumber(count, sizeof count, static_cast<unsigned long>(survey.networks.size()));
    if (withoutLocation)
        SetText(page, IDC_SURVEY_STATUS,
                "Windows shows the networks in range only to programs allowed to use your location.");
    else if (code)
        SetText(page, IDC_SURVEY_STATUS, "The networks in range are not available (" + ErrorText(code) + ").");
    else if (!survey.scanFailure.empty())
        SetText(page, IDC_SURVEY_STATUS, survey.scanFailure);
    else
        SetText(page, IDC_SURVEY_STATUS,
                Widen(std::string(count) + (survey.networks.size() == 1 ? " network" : " networks") + " in range.") +
                    (survey.outcome.empty() ? Text() : u" " + survey.outcome));
    ShowNetworks(page, context, survey, keep ? &kept : nullptr);
}

// Windows 11 lets a program scan only with location access: the user is
// offered its settings page.
void OfferLocationSettings(HWND page) {
    if (AskOverPage(page,
                    Widen("Windows scans for networks only for programs allowed to use your location.\n\n"
                          "Open Windows' location settings?"),
                    MB_YESNO | MB_ICONINFORMATION) != IDYES)
        return;
    typedef HINSTANCE(WINAPI * ShellExecuteFunction)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
    HMODULE shell = LoadSystemLibrary("shell32.dll");
    if (auto execute = FindFunction<ShellExecuteFunction>(shell, "ShellExecuteA"))
        execute(GetParent(page), "open", "ms-settings:privacy-location", nullptr, nullptr, SW_SHOWNORMAL);
    if (shell) FreeLibrary(shell);
}

// A scan, then the list when it is done. `asked`: the user asked for it with
// Refresh, and a refusal says why; the page's first scan refused shows the
// list Windows keeps.
void StartScan(HWND page, const AppletContext& context, SurveyState& survey, bool asked) {
    const unsigned long code = context.data->Scan();
    if (code) {
        ReadNetworks(page, context, survey);
        if (!asked) return;
        if (RefusedForLocation(context, code))
            OfferLocationSettings(page);
        else
            SetText(page, IDC_SURVEY_STATUS, "The adapter cannot scan now (" + ErrorText(code) + ").");
        return;
    }
    survey.scanPolls = 0;
    survey.scanning = true;
    survey.outcome.clear();
    survey.scanFailure.clear();
    UpdateButtons(page, context, survey);
    SetText(page, IDC_SURVEY_STATUS, "Scanning...");
    SetTimer(page, kScanTimer, kScanPollMs, nullptr);
}

void PollScan(HWND page, const AppletContext& context, SurveyState& survey) {
    unsigned long state = TAVRONET_SCAN_DONE;
    const unsigned long code = context.data->GetScanState(&state);
    if (code == 0 && state == TAVRONET_SCAN_PENDING && ++survey.scanPolls < kScanPolls) return;
    KillTimer(page, kScanTimer);
    survey.scanning = false;
    // A scan Windows took and then failed answers its reason.
    if (code) {
        const Text why = IsReasonCode(code) ? context.data->ReasonText(code) : Widen(ErrorText(code));
        survey.scanFailure = ScanFailureLine(why);
    }
    ReadNetworks(page, context, survey);
}

// After a connect or disconnect Windows took: the list is read again when
// Windows tells the outcome, and the line under it says how it went.
void FollowRequest(HWND page, const AppletContext& context, SurveyState& survey, const Text& name) {
    TAVRONET_CONNECT_STATUS status;
    const unsigned long code = context.data->GetConnectStatus(&status);
    if (code) {  // a library that cannot tell: the list as it is now
        ReadNetworks(page, context, survey);
        return;
    }
    survey.requestUnderWay = true;
    survey.outcome.clear();
    survey.scanFailure.clear();
    survey.sequence = status.sequence;
    survey.connectPolls = 0;
    survey.requestName = name;
    UpdateButtons(page, context, survey);
    SetText(page, IDC_SURVEY_STATUS, ConnectLine(status, kStageWaiting, name, Text()));
    SetTimer(page, kConnectTimer, kConnectPollMs, nullptr);
}

void PollRequest(HWND page, const AppletContext& context, SurveyState& survey) {
    TAVRONET_CONNECT_STATUS status;
    const unsigned long code = context.data->GetConnectStatus(&status);
    const ConnectStage stage = StageOf(code, status, survey.sequence, ++survey.connectPolls);
    if (stage == kStageWaiting) return;
    KillTimer(page, kConnectTimer);
    survey.requestUnderWay = false;
    const bool ours = code == 0 && status.sequence == survey.sequence;
    if (ours || stage == kStageLate)
        survey.outcome = ConnectLine(status, stage, survey.requestName, context.data->ReasonText(status.reason));
    ReadNetworks(page, context, survey);
}

void Connect(HWND page, const AppletContext& context, SurveyState& survey) {
    TAVRONET_NETWORK network;
    if (!CopySelected(page, survey, &network) || !CanConnect(network) || survey.requestUnderWay) return;
    const Text name = NetworkName(network.ssidW, network.ssid, network.ssidLength);
    const unsigned long code = context.data->Connect(network);
    if (code) {
        ShowRefusal(page, u"Windows did not connect to " + Quoted(name) + u".", code);
        ReadNetworks(page, context, survey);
        return;
    }
    FollowRequest(page, context, survey, name);
}

void Disconnect(HWND page, const AppletContext& context, SurveyState& survey) {
    Text name;
    for (const TAVRONET_NETWORK& each : survey.networks)
        if (each.flags & TAVRONET_NETWORK_CONNECTED) name = NetworkName(each.ssidW, each.ssid, each.ssidLength);
    if (name.empty() || survey.requestUnderWay) return;
    TAVRONET_LIBRARY library;
    if (context.data->GetLibrary(&library) == 0 && (library.flags & TAVRONET_LIBRARY_DISCONNECT_STOPS_AUTO) &&
        AskOverPage(page,
                    u"On this Windows a disconnect keeps " + Quoted(name) +
                        u" from connecting on its own again: you then connect to it yourself.\n\nDisconnect?",
                    MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    const unsigned long code = context.data->Disconnect();
    if (code) {
        ShowRefusal(page, u"Windows did not disconnect from " + Quoted(name) + u".", code);
        ReadNetworks(page, context, survey);
        return;
    }
    FollowRequest(page, context, survey, name);
}

void SortBy(HWND page, const AppletContext& context, SurveyState& survey, int column) {
    if (column < 0 || column >= kSurveyColumns) return;
    const SurveyColumn chosen = static_cast<SurveyColumn>(column);
    survey.descending = chosen == survey.column ? !survey.descending : DescendingFirst(chosen);
    survey.column = chosen;
    TAVRONET_NETWORK kept;
    const bool keep = CopySelected(page, survey, &kept);
    ShowNetworks(page, context, survey, keep ? &kept : nullptr);
}

// The channel overview: one bar per channel in use, its height the number
// of networks on it, its colour the strongest of their signals, the channel
// under it and the count above it.
void PaintChannelOverview(HDC dc, const RECT& rect, const FontSize& font,
                          const std::vector<TAVRONET_NETWORK>& networks) {
    ChannelLoad loads[64];
    const size_t count = ChannelOverview(networks.empty() ? nullptr : &networks[0], networks.size(), loads, 64);
    FillRect(dc, &rect, GetSysColorBrush(COLOR_WINDOW));
    FrameRect(dc, &rect, GetSysColorBrush(COLOR_BTNSHADOW));
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_CENTER | TA_TOP);
    std::vector<unsigned long> counts;
    for (size_t i = 0; i < count; ++i) counts.push_back(loads[i].networks);
    const Box area = {rect.left, rect.top, rect.right, rect.bottom};
    const std::vector<ChartBar> bars = LayoutChart(area, font, counts);
    if (bars.empty())
        TextOutA(dc, (rect.left + rect.right) / 2, (rect.top + rect.bottom - font.lineHeight) / 2, "No channels in use",
                 18);
    for (size_t i = 0; i < bars.size(); ++i) {
        const ChartBar& b = bars[i];
        const int strength = static_cast<int>(loads[i].strongestPercent);
        RECT bar = {b.bar.left, b.bar.top, b.bar.right, b.bar.bottom};
        HBRUSH brush = CreateSolidBrush(RGB(200 - strength * 2, 100 + strength, 60));
        FillRect(dc, &bar, brush);
        DeleteObject(brush);
        char text[16];
        FormatNumber(text, sizeof text, loads[i].channel);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        TextOutA(dc, b.channel.x, b.channel.y, text, lstrlenA(text));
        // The bar takes half its slot.
        const std::string label =
            ChartLabel(loads[i].networks, loads[i].strongestPercent, 2 * (b.bar.right - b.bar.left), font);
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        TextOutA(dc, b.count.x, b.count.y, label.c_str(), static_cast<int>(label.size()));
    }
    SetTextAlign(dc, TA_LEFT | TA_TOP);
}

void DrawChart(HWND page, const DRAWITEMSTRUCT& item, const std::vector<TAVRONET_NETWORK>& networks) {
    HGDIOBJ oldFont = SelectObject(item.hDC, reinterpret_cast<HGDIOBJ>(SendMessageA(page, WM_GETFONT, 0, 0)));
    PaintChannelOverview(item.hDC, item.rcItem, DialogFont(page), networks);
    SelectObject(item.hDC, oldFont);
}

void InitList(HWND page) {
    static const char* const kNames[kSurveyColumns] = {"Network",  "Signal",        "Signal (dBm)", "Channel", "Band",
                                                       "Security", "Access points", "Connected",    "Saved"};
    AddColumns(List(page), kNames, kSurveyColumns);
}

BOOL OnNotify(HWND page, const AppletContext& context, SurveyState& survey, const NMHDR& header) {
    if (header.idFrom != IDC_SURVEY_LIST) return FALSE;
    if (header.code == LVN_COLUMNCLICK)
        SortBy(page, context, survey, reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
    if (header.code == LVN_ITEMCHANGED) UpdateButtons(page, context, survey);
    // A double click on a row, or Enter on it (the window passes it on), connects.
    if ((header.code == static_cast<UINT>(NM_DBLCLK) || header.code == static_cast<UINT>(NM_RETURN)) &&
        IsWindowEnabled(GetDlgItem(page, IDC_CONNECT)))
        Connect(page, context, survey);
    return TRUE;
}

void OnShow(HWND page, const AppletContext& context, SurveyState& survey, bool shown) {
    // The first list comes from a scan; later ones, when shown and every few
    // seconds while shown, from the list Windows keeps (no scan).
    if (!shown) {
        KillTimer(page, kRefreshTimer);
        return;
    }
    if (!survey.scanned) {
        survey.scanned = true;
        StartScan(page, context, survey, false);
    } else if (!survey.requestUnderWay && !survey.scanning) {
        ReadNetworks(page, context, survey);
    }
    SetTimer(page, kRefreshTimer, kSurveyRefreshMs, nullptr);
}

void OnTimer(HWND page, const AppletContext& context, SurveyState& survey, UINT_PTR id) {
    if (id == kScanTimer) PollScan(page, context, survey);
    if (id == kConnectTimer) PollRequest(page, context, survey);
    if (id == kRefreshTimer && !survey.requestUnderWay && !survey.scanning) ReadNetworks(page, context, survey);
}

INT_PTR CALLBACK SurveyPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    AppletContext* context = PageContext(page, message, lParam);
    SurveyState* state = PageState<SurveyState>(page, message);
    if (!context || !state) return FALSE;  // messages before WM_INITDIALOG and after WM_NCDESTROY
    SurveyState& survey = *state;
    switch (message) {
    case WM_INITDIALOG:
        // The list is read when the page is shown, which follows at once.
        InitList(page);
        return TRUE;
    case WM_SHOWWINDOW: OnShow(page, *context, survey, wParam != 0); return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_REFRESH) StartScan(page, *context, survey, true);
        if (LOWORD(wParam) == IDC_CONNECT) Connect(page, *context, survey);
        if (LOWORD(wParam) == IDC_DISCONNECT) Disconnect(page, *context, survey);
        return TRUE;
    case WM_TIMER: OnTimer(page, *context, survey, wParam); return TRUE;
    case WM_NOTIFY: return OnNotify(page, *context, survey, *reinterpret_cast<const NMHDR*>(lParam));
    case WM_DRAWITEM:
        if (wParam == IDC_CHANNEL_CHART)
            DrawChart(page, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam), survey.networks);
        return TRUE;
    case WM_DESTROY:
        KillTimer(page, kScanTimer);
        KillTimer(page, kRefreshTimer);
        KillTimer(page, kConnectTimer);
        return FALSE;
    }
    return FALSE;
}

}  // namespace

const PageInfo kSurveyPage = {IDD_SURVEY, "Site Survey", SurveyPageProc};
