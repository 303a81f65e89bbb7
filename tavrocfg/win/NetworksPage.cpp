// Advanced Configuration: the saved networks in their order of preference,
// moved up, down or removed through the library by their names in full; a
// change the system would refuse is greyed with the reason beside it, and a
// change Windows refuses shows its reason and changes nothing. Also the
// adapter's automatic configuration and radio states.
#include "Pages.h"
#include "SavedNetworkRules.h"
#include "StatusWords.h"
#include "resource.h"

#include <commctrl.h>

#include <vector>

namespace {

HWND List(HWND page) { return GetDlgItem(page, IDC_PROFILE_LIST); }

void UpdateButtons(HWND page, const SavedNetworks& savedNetworks) {
    const SavedNetworkButtons buttons = ButtonsFor(savedNetworks, SelectedRow(List(page)));
    EnableWindow(GetDlgItem(page, IDC_MOVE_UP), buttons.up);
    EnableWindow(GetDlgItem(page, IDC_MOVE_DOWN), buttons.down);
    EnableWindow(GetDlgItem(page, IDC_REMOVE), buttons.remove);
    SetText(page, IDC_PROFILE_WHY, buttons.why);
}

// Reads the saved networks again and selects the row `select` (-1: none).
void ShowProfiles(HWND page, const AppletContext& context, SavedNetworks& savedNetworks, int select) {
    const unsigned long code = context.data->GetProfiles(&savedNetworks);
    HWND list = List(page);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    for (size_t i = 0; i < savedNetworks.size(); ++i)
        AddRow(list, SavedNetworkRow(savedNetworks[i], static_cast<int>(i)), static_cast<LPARAM>(i));
    FitColumns(list);
    if (select >= static_cast<int>(savedNetworks.size())) select = static_cast<int>(savedNetworks.size()) - 1;
    if (select >= 0) SelectRow(list, select);
    if (code)
        SetText(page, IDC_PROFILES_STATUS, "The saved networks are not available (" + ErrorText(code) + ").");
    else if (savedNetworks.empty())
        SetText(page, IDC_PROFILES_STATUS, "No networks are saved for this adapter.");
    else
        SetText(page, IDC_PROFILES_STATUS, "Windows tries the saved networks in this order.");
    UpdateButtons(page, savedNetworks);
}

void ShowStates(HWND page, const AppletContext& context) {
    TAVRONET_LINK link;
    const unsigned long code = context.data->GetLink(&link);
    const char* autoConfig = code || link.autoConfig == TAVRONET_AUTOCONFIG_UNKNOWN ? kNotAvailable
                             : link.autoConfig == TAVRONET_AUTOCONFIG_ON ? "On: Windows configures this adapter"
                                                                         : "Off: Windows leaves this adapter alone";
    const char* radio = code                                      ? kNotAvailable
                        : link.state == TAVRONET_STATE_RADIO_OFF  ? "Off"
                        : link.state == TAVRONET_STATE_SWITCH_OFF ? "Off (hardware switch)"
                                                                  : "On";
    SetText(page, IDC_AUTO_CONFIG, autoConfig);
    SetText(page, IDC_RADIO, radio);
}

// Windows' reason for a refused change; a name the system's code page cannot
// hold is explained, as Windows' own words for it speak of code pages.
void ShowChangeRefused(HWND page, const char* what, unsigned long code) {
    Text text = Widen(what);
    if (code == ERROR_NO_UNICODE_TRANSLATION)
        text += Widen(
            " Its name has characters that this library can only pass on in the system's code page,"
            " which lacks them; change it in Windows' own settings.");
    ShowRefusal(page, text, code);
}

const TAVRONET_PROFILE* Selected(HWND page, const SavedNetworks& savedNetworks) {
    const int row = SelectedRow(List(page));
    return row >= 0 && row < static_cast<int>(savedNetworks.size()) ? &savedNetworks[row] : nullptr;
}

void Move(HWND page, const AppletContext& context, SavedNetworks& savedNetworks, int offset) {
    const int row = SelectedRow(List(page));
    const TAVRONET_PROFILE* profile = Selected(page, savedNetworks);
    if (!profile || row + offset < 0) return;
    const unsigned long code = context.data->MoveProfile(*profile, row + offset);
    if (code) ShowChangeRefused(page, "Windows did not change the order of the saved networks.", code);
    ShowProfiles(page, context, savedNetworks, code ? row : row + offset);
}

void Remove(HWND page, const AppletContext& context, SavedNetworks& savedNetworks) {
    const int row = SelectedRow(List(page));
    const TAVRONET_PROFILE* selected = Selected(page, savedNetworks);
    if (!selected) return;
    const TAVRONET_PROFILE profile = *selected;  // the list is read again under the question
    const Text name = FieldText(profile.nameW, TAVRONET_NAME_CHARS);
    if (AskOverPage(page, u"Remove the saved network " + Quoted(name) + u"?", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    const unsigned long code = context.data->DeleteProfile(profile);
    if (code) ShowChangeRefused(page, "Windows did not remove the saved network.", code);
    ShowProfiles(page, context, savedNetworks, row);
}

void InitList(HWND page) {
    static const char* const kNames[kSavedNetworkColumns] = {"Order", "Saved network", "Security", "Set by"};
    AddColumns(List(page), kNames, kSavedNetworkColumns);
}

INT_PTR CALLBACK NetworksPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    AppletContext* context = PageContext(page, message, lParam);
    SavedNetworks* saved = PageState<SavedNetworks>(page, message);
    if (!context || !saved) return FALSE;  // messages before WM_INITDIALOG and after WM_NCDESTROY
    switch (message) {
    case WM_INITDIALOG:
        // The states are read when the page is shown, which follows at once.
        InitList(page);
        ShowProfiles(page, *context, *saved, 0);
        return TRUE;
    case WM_SHOWWINDOW:
        if (wParam) ShowStates(page, *context);
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_MOVE_UP) Move(page, *context, *saved, -1);
        if (LOWORD(wParam) == IDC_MOVE_DOWN) Move(page, *context, *saved, 1);
        if (LOWORD(wParam) == IDC_REMOVE) Remove(page, *context, *saved);
        return TRUE;
    case WM_NOTIFY:
        if (reinterpret_cast<const NMHDR*>(lParam)->code == LVN_ITEMCHANGED) UpdateButtons(page, *saved);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

const PageInfo kNetworksPage = {IDD_NETWORKS, "Advanced Configuration", NetworksPageProc};
