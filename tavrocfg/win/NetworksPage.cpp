// Advanced Configuration: the saved networks in their order of preference,
// moved up, down or removed through the library; a change Windows refuses
// shows its reason and changes nothing. Also the adapter's automatic
// configuration and radio states.
#include "Pages.h"
#include "Rules.h"
#include "resource.h"

#include <commctrl.h>

#include <vector>

namespace {

const int kColumns = 4;

HWND List(HWND page) { return GetDlgItem(page, IDC_PROFILE_LIST); }

void AddProfile(HWND list, const TAVRONET_PROFILE& profile, int index) {
    char position[16], security[64];
    wsprintfA(position, "%d", index + 1);
    SecurityText(security, sizeof security, profile.authentication, profile.cipher);
    const char* kind = (profile.flags & TAVRONET_PROFILE_GROUP_POLICY) ? "Group policy"
                       : (profile.flags & TAVRONET_PROFILE_PER_USER) ? "This user"
                                                                     : "All users";
    const char* texts[kColumns] = {position, profile.name, security, kind};
    AddRow(list, texts, kColumns, index);
}

void UpdateButtons(HWND page) {
    const int row = SelectedRow(List(page));
    const int count = static_cast<int>(SendMessageA(List(page), LVM_GETITEMCOUNT, 0, 0));
    EnableWindow(GetDlgItem(page, IDC_MOVE_UP), row > 0);
    EnableWindow(GetDlgItem(page, IDC_MOVE_DOWN), row >= 0 && row + 1 < count);
    EnableWindow(GetDlgItem(page, IDC_REMOVE), row >= 0);
}

// Reads the saved networks again and selects the row `select` (-1: none).
void ShowProfiles(HWND page, const AppletContext& context, int select) {
    std::vector<TAVRONET_PROFILE> profiles;
    const unsigned long code = context.data->GetProfiles(&profiles);
    HWND list = List(page);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    for (size_t i = 0; i < profiles.size(); ++i) AddProfile(list, profiles[i], static_cast<int>(i));
    FitColumns(list);
    if (select >= static_cast<int>(profiles.size())) select = static_cast<int>(profiles.size()) - 1;
    if (select >= 0) SelectRow(list, select);
    if (code) SetText(page, IDC_PROFILES_STATUS, std::string("Saved networks: ") + kNotAvailable + " (" + ErrorText(code) + ")");
    else if (profiles.empty()) SetText(page, IDC_PROFILES_STATUS, "No networks are saved for this adapter.");
    else SetText(page, IDC_PROFILES_STATUS, "Windows tries the saved networks in this order.");
    UpdateButtons(page);
}

void ShowStates(HWND page, const AppletContext& context) {
    TAVRONET_LINK link;
    const unsigned long code = context.data->GetLink(&link);
    const char* autoConfig = code || link.autoConfig == TAVRONET_AUTOCONFIG_UNKNOWN ? kNotAvailable
                             : link.autoConfig == TAVRONET_AUTOCONFIG_ON ? "On: Windows configures this adapter"
                                                                         : "Off: Windows leaves this adapter alone";
    const char* radio = code ? kNotAvailable
                        : link.state == TAVRONET_STATE_RADIO_OFF ? "Off"
                        : link.state == TAVRONET_STATE_SWITCH_OFF ? "Off (hardware switch)"
                                                                  : "On";
    SetText(page, IDC_AUTO_CONFIG, autoConfig);
    SetText(page, IDC_RADIO, radio);
}

std::string SelectedName(HWND page) {
    char name[TAVRONET_NAME_BYTES] = "";
    LVITEMA item = {};
    item.iSubItem = 1;
    item.pszText = name;
    item.cchTextMax = sizeof name;
    const int row = SelectedRow(List(page));
    if (row >= 0) SendMessageA(List(page), LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return name;
}

void Move(HWND page, const AppletContext& context, int offset) {
    const int row = SelectedRow(List(page));
    if (row < 0 || row + offset < 0) return;
    const unsigned long code = context.data->MoveProfile(SelectedName(page).c_str(), row + offset);
    if (code) ShowRefusal(page, "Windows did not change the order of the saved networks.", code);
    ShowProfiles(page, context, code ? row : row + offset);
}

void Remove(HWND page, const AppletContext& context) {
    const int row = SelectedRow(List(page));
    const std::string name = SelectedName(page);
    if (row < 0) return;
    const std::string question = "Remove the saved network \"" + name + "\"?";
    if (MessageBoxA(GetParent(page), question.c_str(), "Wireless LAN Configuration", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    const unsigned long code = context.data->DeleteProfile(name.c_str());
    if (code) ShowRefusal(page, "Windows did not remove the saved network.", code);
    ShowProfiles(page, context, row);
}

void InitList(HWND page) {
    static const char* const kNames[kColumns] = {"#", "Saved network", "Security", "Set by"};
    AddColumns(List(page), kNames, kColumns);
}

INT_PTR CALLBACK NetworksPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    AppletContext* context = PageContext(page, message, lParam);
    if (!context) return FALSE;  // messages before WM_INITDIALOG
    switch (message) {
    case WM_INITDIALOG:
        // The states are read when the page is shown, which follows at once.
        InitList(page);
        ShowProfiles(page, *context, 0);
        return TRUE;
    case WM_SHOWWINDOW:
        if (wParam) ShowStates(page, *context);
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_MOVE_UP) Move(page, *context, -1);
        if (LOWORD(wParam) == IDC_MOVE_DOWN) Move(page, *context, 1);
        if (LOWORD(wParam) == IDC_REMOVE) Remove(page, *context);
        return TRUE;
    case WM_NOTIFY:
        if (reinterpret_cast<const NMHDR*>(lParam)->code == LVN_ITEMCHANGED) UpdateButtons(page);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

const PageInfo kNetworksPage = {IDD_NETWORKS, "Advanced Configuration", NetworksPageProc};
