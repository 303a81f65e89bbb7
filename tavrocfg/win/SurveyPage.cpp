// Site Survey: the networks in range in a list sorted by signal (a click on a
// column sorts by it), a scan on request, Connect and Disconnect, and under
// the list an overview of how crowded each channel is.
#include "Pages.h"
#include "Rules.h"
#include "resource.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace {

const UINT_PTR kScanTimer = 1;
const UINT kScanPollMs = 250;
// A scan is given about four seconds; the list is read again after it either way.
const int kScanPolls = 16;

struct SurveyState {
    std::vector<TAVRONET_NETWORK> networks;
    SurveyColumn column = kColumnSignal;
    bool descending = true;
    int polls = 0;
};

// One applet window at a time, on one thread.
SurveyState survey;

SurveyState& State(HWND) { return survey; }

HWND List(HWND page) { return GetDlgItem(page, IDC_SURVEY_LIST); }

void AddNetwork(HWND list, const TAVRONET_NETWORK& network, int index) {
    char name[64], percent[16] = "", rssi[16] = "", channel[16] = "", points[16] = "";
    NetworkName(name, sizeof name, network.ssid, network.ssidLength);
    if (network.known & TAVRONET_KNOWN_SIGNAL) FormatPercent(percent, sizeof percent, network.signalPercent);
    if (network.known & TAVRONET_KNOWN_RSSI) FormatRssi(rssi, sizeof rssi, network.rssiDbm);
    if (network.known & TAVRONET_KNOWN_CHANNEL) wsprintfA(channel, "%lu", network.channel);
    if (network.accessPoints) wsprintfA(points, "%lu", network.accessPoints);
    const char* texts[kSurveyColumns] = {name, percent, rssi, channel, BandName(network.frequencyMHz, network.channel),
                                         AuthenticationName(network.authentication), points,
                                         (network.flags & TAVRONET_NETWORK_CONNECTED) ? "Connected" : "",
                                         (network.flags & TAVRONET_NETWORK_HAS_PROFILE) ? "Saved" : ""};
    AddRow(list, texts, kSurveyColumns, index);
}

const TAVRONET_NETWORK* SelectedNetwork(HWND page) {
    const SurveyState& state = State(page);
    const int row = SelectedRow(List(page));
    return row >= 0 && row < static_cast<int>(state.networks.size()) ? &state.networks[row] : nullptr;
}

void UpdateButtons(HWND page) {
    // Connect joins the selected network by its saved network or as an open
    // one; Disconnect leaves the connected network, whichever is selected.
    const TAVRONET_NETWORK* network = SelectedNetwork(page);
    const bool canJoin = network && !(network->flags & TAVRONET_NETWORK_CONNECTED) &&
                         ((network->flags & TAVRONET_NETWORK_HAS_PROFILE) || network->authentication == TAVRONET_AUTH_OPEN);
    bool connected = false;
    for (const TAVRONET_NETWORK& each : State(page).networks) connected = connected || (each.flags & TAVRONET_NETWORK_CONNECTED);
    EnableWindow(GetDlgItem(page, IDC_CONNECT), canJoin);
    EnableWindow(GetDlgItem(page, IDC_DISCONNECT), connected);
}

// A copy of the selected network, taken before the list changes under it;
// false when none is selected.
bool CopySelected(HWND page, TAVRONET_NETWORK* copy) {
    const TAVRONET_NETWORK* selected = SelectedNetwork(page);
    if (selected) *copy = *selected;
    return selected != nullptr;
}

bool SameNetwork(const TAVRONET_NETWORK& a, const TAVRONET_NETWORK& b) {
    return a.ssidLength == b.ssidLength && std::equal(a.ssid, a.ssid + a.ssidLength, b.ssid) && a.bssType == b.bssType;
}

// Fills the list in the chosen order, selecting `keep` (a copy, not a
// network of the list) again where it is still listed.
void ShowNetworks(HWND page, const TAVRONET_NETWORK* keep) {
    SurveyState& state = State(page);
    std::sort(state.networks.begin(), state.networks.end(),
                     [&state](const TAVRONET_NETWORK& a, const TAVRONET_NETWORK& b) {
                         return CompareNetworks(a, b, state.column, state.descending) < 0;
                     });
    HWND list = List(page);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    for (size_t i = 0; i < state.networks.size(); ++i) {
        AddNetwork(list, state.networks[i], static_cast<int>(i));
        if (keep && SameNetwork(*keep, state.networks[i])) SelectRow(list, static_cast<int>(i));
    }
    FitColumns(list);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(GetDlgItem(page, IDC_CHANNEL_CHART), nullptr, FALSE);
    UpdateButtons(page);
}

void ReadNetworks(HWND page, const AppletContext& context) {
    SurveyState& state = State(page);
    TAVRONET_NETWORK kept;
    const bool keep = CopySelected(page, &kept);
    const unsigned long code = context.data->GetNetworks(&state.networks);
    char text[256];
    if (code) lstrcpynA(text, (std::string("Networks in range: ") + kNotAvailable + " (" + ErrorText(code) + ")").c_str(), sizeof text);
    else wsprintfA(text, "%d network%s in range.", static_cast<int>(state.networks.size()), state.networks.size() == 1 ? "" : "s");
    SetText(page, IDC_SURVEY_STATUS, text);
    ShowNetworks(page, keep ? &kept : nullptr);
}

void StartScan(HWND page, const AppletContext& context) {
    const unsigned long code = context.data->Scan();
    if (code) {
        ReadNetworks(page, context);
        SetText(page, IDC_SURVEY_STATUS, "The adapter cannot scan now (" + ErrorText(code) + ").");
        return;
    }
    State(page).polls = 0;
    EnableWindow(GetDlgItem(page, IDC_REFRESH), FALSE);
    SetText(page, IDC_SURVEY_STATUS, "Scanning...");
    SetTimer(page, kScanTimer, kScanPollMs, nullptr);
}

void PollScan(HWND page, const AppletContext& context) {
    unsigned long state = TAVRONET_SCAN_DONE;
    const unsigned long code = context.data->GetScanState(&state);
    if (code == 0 && state == TAVRONET_SCAN_PENDING && ++State(page).polls < kScanPolls) return;
    KillTimer(page, kScanTimer);
    EnableWindow(GetDlgItem(page, IDC_REFRESH), TRUE);
    ReadNetworks(page, context);
}

void ConnectSelected(HWND page, const AppletContext& context, bool connect) {
    const TAVRONET_NETWORK* network = SelectedNetwork(page);
    if (connect && !network) return;
    const unsigned long code = connect ? context.data->Connect(*network) : context.data->Disconnect();
    if (code) ShowRefusal(page, connect ? "The network could not be connected." : "The network could not be disconnected.", code);
    ReadNetworks(page, context);
}

void SortBy(HWND page, int column) {
    SurveyState& state = State(page);
    if (column < 0 || column >= kSurveyColumns) return;
    const SurveyColumn chosen = static_cast<SurveyColumn>(column);
    state.descending = chosen == state.column ? !state.descending : DescendingFirst(chosen);
    state.column = chosen;
    TAVRONET_NETWORK kept;
    const bool keep = CopySelected(page, &kept);
    ShowNetworks(page, keep ? &kept : nullptr);
}

// The channel overview: one bar per channel in use, its height the number
// of networks on it, its colour the strongest of their signals, the channel
// under it and the count above it.
void PaintChannelOverview(HDC dc, RECT area, const std::vector<TAVRONET_NETWORK>& networks) {
    ChannelLoad loads[64];
    const size_t count = ChannelOverview(networks.empty() ? nullptr : &networks[0], networks.size(), loads, 64);
    FillRect(dc, &area, GetSysColorBrush(COLOR_WINDOW));
    FrameRect(dc, &area, GetSysColorBrush(COLOR_BTNSHADOW));
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_CENTER);
    if (count == 0) {
        TextOutA(dc, (area.left + area.right) / 2, (area.top + area.bottom) / 2 - 6, "No channels in use", 18);
        SetTextAlign(dc, TA_LEFT);
        return;
    }
    unsigned long most = 1;
    for (size_t i = 0; i < count; ++i) most = loads[i].networks > most ? loads[i].networks : most;
    const int slot = (area.right - area.left - 4) / static_cast<int>(count);
    const int top = area.top + 16, base = area.bottom - 16;
    for (size_t i = 0; i < count; ++i) {
        const int left = area.left + 2 + slot * static_cast<int>(i);
        const int barHeight = static_cast<int>((base - top) * loads[i].networks / most);
        const int strength = static_cast<int>(loads[i].strongestPercent);
        RECT bar = {left + slot / 4, base - barHeight, left + slot - slot / 4, base};
        HBRUSH brush = CreateSolidBrush(RGB(200 - strength * 2, 100 + strength, 60));
        FillRect(dc, &bar, brush);
        DeleteObject(brush);
        char text[16];
        wsprintfA(text, "%lu", loads[i].channel);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        TextOutA(dc, left + slot / 2, base + 1, text, lstrlenA(text));
        wsprintfA(text, "%lu: %lu%%", loads[i].networks, loads[i].strongestPercent);
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        TextOutA(dc, left + slot / 2, base - barHeight - 14, text, lstrlenA(text));
    }
    SetTextAlign(dc, TA_LEFT);
}

void InitList(HWND page) {
    static const char* const kNames[kSurveyColumns] = {"Network", "Signal", "RSSI", "Channel", "Band",
                                                        "Security", "APs", "Connected", "Profile"};
    AddColumns(List(page), kNames, kSurveyColumns);
}

BOOL OnNotify(HWND page, const NMHDR& header) {
    if (header.idFrom != IDC_SURVEY_LIST) return FALSE;
    if (header.code == LVN_COLUMNCLICK) SortBy(page, reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
    if (header.code == LVN_ITEMCHANGED) UpdateButtons(page);
    return TRUE;
}

INT_PTR CALLBACK SurveyPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    AppletContext* context = PageContext(page, message, lParam);
    if (!context) return FALSE;  // messages before WM_INITDIALOG
    switch (message) {
    case WM_INITDIALOG:
        State(page) = SurveyState();
        InitList(page);
        ReadNetworks(page, *context);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_REFRESH) StartScan(page, *context);
        if (LOWORD(wParam) == IDC_CONNECT) ConnectSelected(page, *context, true);
        if (LOWORD(wParam) == IDC_DISCONNECT) ConnectSelected(page, *context, false);
        return TRUE;
    case WM_TIMER:
        if (wParam == kScanTimer) PollScan(page, *context);
        return TRUE;
    case WM_NOTIFY:
        return OnNotify(page, *reinterpret_cast<const NMHDR*>(lParam));
    case WM_DRAWITEM:
        if (wParam == IDC_CHANNEL_CHART)
            PaintChannelOverview(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hDC,
                                 reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->rcItem, State(page).networks);
        return TRUE;
    case WM_DESTROY:
        KillTimer(page, kScanTimer);
        State(page).networks.clear();
        return FALSE;
    }
    return FALSE;
}

}  // namespace

const PageInfo kSurveyPage = {IDD_SURVEY, "Site Survey", SurveyPageProc};
