// WEP Encryption and Security: how the connected network and a chosen saved
// network are secured (authentication, cipher, the WEP key's index and
// length, 802.1X and its EAP method), read from the saved networks' settings.
// No key is ever read or shown.
#include "Pages.h"
#include "Rules.h"
#include "resource.h"

#include <vector>

namespace {

struct Fields {
    int auth, cipher, wep, oneX, eap;
};
const Fields kLinkFields = {IDC_LINK_AUTH, IDC_LINK_CIPHER, IDC_LINK_WEP, IDC_LINK_ONEX, IDC_LINK_EAP};
const Fields kProfileFields = {IDC_PROFILE_AUTH, IDC_PROFILE_CIPHER, IDC_PROFILE_WEP, IDC_PROFILE_ONEX, IDC_PROFILE_EAP};

// The saved networks the page lists; one applet window at a time.
std::vector<TAVRONET_PROFILE> savedNetworks;

std::vector<TAVRONET_PROFILE>& Profiles() { return savedNetworks; }

const TAVRONET_PROFILE* FindProfile(const char* name) {
    for (const TAVRONET_PROFILE& profile : Profiles())
        if (*name && lstrcmpA(profile.name, name) == 0) return &profile;
    return nullptr;
}

void ShowKeyAndOneX(HWND page, const Fields& fields, const TAVRONET_PROFILE* profile) {
    char text[64] = "";
    if (!profile) {
        SetText(page, fields.wep, kNotAvailable);
        SetText(page, fields.oneX, kNotAvailable);
        SetText(page, fields.eap, kNotAvailable);
        return;
    }
    if (profile->cipher != TAVRONET_CIPHER_WEP) lstrcpyA(text, "WEP not used");
    else if (profile->wepKeyBits) wsprintfA(text, "Key %lu, %lu bits", profile->wepKeyIndex, profile->wepKeyBits);
    else wsprintfA(text, "Key %lu, length not known", profile->wepKeyIndex);
    SetText(page, fields.wep, text);
    SetText(page, fields.oneX, profile->oneX ? "Used" : "Not used");
    EapMethodName(text, sizeof text, profile->eapType);
    SetText(page, fields.eap, profile->oneX && *text ? text : profile->oneX ? kNotAvailable : "");
}

void ShowWords(HWND page, const Fields& fields, unsigned long authentication, unsigned long cipher, bool known) {
    SetText(page, fields.auth, known && *AuthenticationName(authentication) ? AuthenticationName(authentication) : kNotAvailable);
    SetText(page, fields.cipher, known && *CipherName(cipher) ? CipherName(cipher) : kNotAvailable);
}

void ShowLink(HWND page, const AppletContext& context) {
    TAVRONET_LINK link;
    const unsigned long code = context.data->GetLink(&link);
    const bool linked = code == 0 && link.state == TAVRONET_STATE_CONNECTED;
    char name[64];
    NetworkName(name, sizeof name, link.ssid, link.ssidLength);
    SetText(page, IDC_LINK_NETWORK, code ? kNotAvailable : linked ? name : "Not connected");
    if (!linked) {
        for (int id : {kLinkFields.auth, kLinkFields.cipher, kLinkFields.wep, kLinkFields.oneX, kLinkFields.eap})
            SetText(page, id, "");
        return;
    }
    ShowWords(page, kLinkFields, link.authentication, link.cipher, (link.known & TAVRONET_KNOWN_SECURITY) != 0);
    ShowKeyAndOneX(page, kLinkFields, FindProfile(link.profileName));
}

void ShowChosenProfile(HWND page) {
    HWND combo = GetDlgItem(page, IDC_PROFILE_COMBO);
    const LRESULT chosen = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    const std::vector<TAVRONET_PROFILE>& profiles = Profiles();
    const TAVRONET_PROFILE* profile =
        chosen >= 0 && chosen < static_cast<LRESULT>(profiles.size()) ? &profiles[chosen] : nullptr;
    ShowWords(page, kProfileFields, profile ? profile->authentication : 0, profile ? profile->cipher : 0, profile != nullptr);
    ShowKeyAndOneX(page, kProfileFields, profile);
}

// Lists the saved networks and chooses the one in use, else the first.
void ReadProfiles(HWND page, const AppletContext& context) {
    const unsigned long code = context.data->GetProfiles(&Profiles());
    HWND combo = GetDlgItem(page, IDC_PROFILE_COMBO);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    TAVRONET_LINK link;
    const bool linked = context.data->GetLink(&link) == 0 && link.state == TAVRONET_STATE_CONNECTED;
    int chosen = Profiles().empty() ? -1 : 0;
    for (size_t i = 0; i < Profiles().size(); ++i) {
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Profiles()[i].name));
        if (linked && lstrcmpA(Profiles()[i].name, link.profileName) == 0) chosen = static_cast<int>(i);
    }
    if (code) SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("(saved networks not available)"));
    else if (Profiles().empty()) SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("(no saved networks)"));
    SendMessageA(combo, CB_SETCURSEL, chosen < 0 ? 0 : chosen, 0);
    EnableWindow(combo, !Profiles().empty());
    ShowChosenProfile(page);
}

INT_PTR CALLBACK SecurityPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    AppletContext* context = PageContext(page, message, lParam);
    if (!context) return FALSE;  // messages before WM_INITDIALOG
    switch (message) {
    case WM_INITDIALOG:
        // The link is read when the page is shown, which follows at once.
        ReadProfiles(page, *context);
        return TRUE;
    case WM_SHOWWINDOW:
        if (wParam) ShowLink(page, *context);
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_PROFILE_COMBO && HIWORD(wParam) == CBN_SELCHANGE) ShowChosenProfile(page);
        return TRUE;
    case WM_DESTROY:
        Profiles().clear();
        return FALSE;
    }
    return FALSE;
}

}  // namespace

const PageInfo kSecurityPage = {IDD_SECURITY, "Security", SecurityPageProc};
