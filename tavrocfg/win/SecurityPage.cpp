// WEP Encryption and Security: how the connected network and a chosen saved
// network are secured (authentication, cipher, the WEP key's index and
// length, 802.1X and its EAP method), read from the saved networks' settings.
// No key is ever read or shown.
#include "Pages.h"
#include "SecurityWords.h"
#include "StatusWords.h"
#include "resource.h"

#include <vector>

namespace {

struct Fields {
    int auth, cipher, wep, oneX, eap;
};
const Fields kLinkFields = {IDC_LINK_AUTH, IDC_LINK_CIPHER, IDC_LINK_WEP, IDC_LINK_ONEX, IDC_LINK_EAP};
const Fields kProfileFields = {IDC_PROFILE_AUTH, IDC_PROFILE_CIPHER, IDC_PROFILE_WEP, IDC_PROFILE_ONEX,
                               IDC_PROFILE_EAP};

// The saved network of a name in full; null for none.
const TAVRONET_PROFILE* FindProfile(const SavedNetworks& savedNetworks, const Text& name) {
    for (const TAVRONET_PROFILE& profile : savedNetworks)
        if (!name.empty() && FieldText(profile.nameW, TAVRONET_NAME_CHARS) == name) return &profile;
    return nullptr;
}

void ShowProtection(HWND page, const Fields& fields, const ProtectionTexts& t) {
    SetText(page, fields.auth, t.authentication);
    SetText(page, fields.cipher, t.cipher);
    SetText(page, fields.wep, t.wepKey);
    SetText(page, fields.oneX, t.oneX);
    SetText(page, fields.eap, t.eap);
}

void ShowLink(HWND page, const AppletContext& context, const SavedNetworks& savedNetworks) {
    TAVRONET_LINK link;
    const unsigned long code = context.data->GetLink(&link);
    const bool linked = code == 0 && link.state == TAVRONET_STATE_CONNECTED;
    const Text name = NetworkName(link.ssidW, link.ssid, link.ssidLength);
    SetText(page, IDC_LINK_NETWORK,
            code                                 ? Widen(kNotAvailable)
            : !linked                            ? Widen("Not connected")
            : (link.known & TAVRONET_KNOWN_SSID) ? name
                                                 : Widen("Not shown without location access"));
    if (!linked) {
        ShowProtection(page, kLinkFields, ProtectionTexts());
        return;
    }
    ShowProtection(page, kLinkFields,
                   ProtectionOf(link.authentication, link.cipher, (link.known & TAVRONET_KNOWN_SECURITY) != 0,
                                FindProfile(savedNetworks, FieldText(link.profileNameW, TAVRONET_NAME_CHARS))));
}

void ShowChosenProfile(HWND page, const SavedNetworks& savedNetworks) {
    const LRESULT chosen = SendDlgItemMessageA(page, IDC_PROFILE_COMBO, CB_GETCURSEL, 0, 0);
    const TAVRONET_PROFILE* profile =
        chosen >= 0 && chosen < static_cast<LRESULT>(savedNetworks.size()) ? &savedNetworks[chosen] : nullptr;
    ShowProtection(page, kProfileFields,
                   ProtectionOf(profile ? profile->authentication : 0, profile ? profile->cipher : 0,
                                profile != nullptr, profile));
}

// Lists the saved networks and chooses the one in use, else the first.
void ReadProfiles(HWND page, const AppletContext& context, SavedNetworks& savedNetworks) {
    const unsigned long code = context.data->GetProfiles(&savedNetworks);
    HWND combo = GetDlgItem(page, IDC_PROFILE_COMBO);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    TAVRONET_LINK link;
    const bool linked = context.data->GetLink(&link) == 0 && link.state == TAVRONET_STATE_CONNECTED;
    const Text inUse = linked ? FieldText(link.profileNameW, TAVRONET_NAME_CHARS) : Text();
    int chosen = savedNetworks.empty() ? -1 : 0;
    for (size_t i = 0; i < savedNetworks.size(); ++i) {
        const Text name = FieldText(savedNetworks[i].nameW, TAVRONET_NAME_CHARS);
        AddComboEntry(combo, name);
        if (!inUse.empty() && name == inUse) chosen = static_cast<int>(i);
    }
    if (code)
        AddComboEntry(combo, Widen("(saved networks not available)"));
    else if (savedNetworks.empty())
        AddComboEntry(combo, Widen("(no saved networks)"));
    SendMessageA(combo, CB_SETCURSEL, chosen < 0 ? 0 : chosen, 0);
    EnableWindow(combo, !savedNetworks.empty());
    ShowChosenProfile(page, savedNetworks);
}

INT_PTR CALLBACK SecurityPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    AppletContext* context = PageContext(page, message, lParam);
    SavedNetworks* saved = PageState<SavedNetworks>(page, message);
    if (!context || !saved) return FALSE;  // messages before WM_INITDIALOG and after WM_NCDESTROY
    switch (message) {
    case WM_INITDIALOG:
        // The link is read when the page is shown, which follows at once.
        ReadProfiles(page, *context, *saved);
        return TRUE;
    case WM_SHOWWINDOW:
        if (wParam) ShowLink(page, *context, *saved);
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_PROFILE_COMBO && HIWORD(wParam) == CBN_SELCHANGE) ShowChosenProfile(page, *saved);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

const PageInfo kSecurityPage = {IDD_SECURITY, "Security", SecurityPageProc};
