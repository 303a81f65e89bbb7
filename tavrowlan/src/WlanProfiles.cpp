// The saved networks (profiles) of an interface for the applet: their list
// with each one's settings, and the changes of their order and their
// removal, which reach exactly the saved network the caller names: by its
// name in full, or by ANSI text only where that text stands for it alone.
#include "WlanNet.h"

#include <string.h>

#include <vector>

namespace tavrowlan {

namespace {

const DWORD kProfileGroupPolicy = 0x1;  // WLAN_PROFILE_GROUP_POLICY
const DWORD kProfileUser = 0x2;         // WLAN_PROFILE_USER

// The service's profile list, handed to `use` and freed after it.
template <typename Use>
DWORD WithProfileList(WlanSession& session, const GUID& guid, Use use) {
    const WlanEntryPoints& api = session.Api();
    if (!api.WlanGetProfileList) return ERROR_NOT_SUPPORTED;
    PWLAN_PROFILE_INFO_LIST list = nullptr;
    const DWORD result =
        WithClient(session, [&](HANDLE client) { return api.WlanGetProfileList(client, &guid, nullptr, &list); });
    if (result != ERROR_SUCCESS) return result;
    if (!list) return ERROR_INVALID_DATA;
    const DWORD used = use(*list);
    api.WlanFreeMemory(list);
    return used;
}

// Whether the saved network `profile` is the one `name` names; `lossy` is
// set when it is named by an ANSI text that lost some of its name.
bool Names(const WlanEntryPoints& api, const WCHAR* profile, const ProfileName& name, bool* lossy) {
    if (name.wide) return SameWideName(profile, name.wide);
    char ansi[TAVRONET_NAME_BYTES];
    const bool whole = AnsiName(api, profile, ansi, sizeof ansi);
    if (strcmp(ansi, name.ansi) != 0) return false;
    *lossy = *lossy || !whole;
    return true;
}

// One saved network: its name and flags from the list, the rest from its profile text.
TAVRONET_PROFILE ProfileOf(WlanSession& session, const GUID& guid, const WLAN_PROFILE_INFO& info) {
    const WlanEntryPoints& api = session.Api();
    TAVRONET_PROFILE profile = {};
    profile.size = sizeof profile;
    AnsiName(api, info.strProfileName, profile.name, sizeof profile.name);
    CopyWideName(info.strProfileName, profile.nameW);
    if (info.dwFlags & kProfileGroupPolicy) profile.flags |= TAVRONET_PROFILE_GROUP_POLICY;
    if (info.dwFlags & kProfileUser) profile.flags |= TAVRONET_PROFILE_PER_USER;
    LPWSTR xml = nullptr;
    if (api.WlanGetProfile &&
        WithClient(session,
                   [&](HANDLE client) {
                       return api.WlanGetProfile(client, &guid, info.strProfileName, nullptr, &xml, nullptr, nullptr);
                   }) == ERROR_SUCCESS &&
        xml) {
        ReadProfileText(xml, &profile);
        api.WlanFreeMemory(xml);
    }
    DecodeSsid(api, profile.ssid, profile.ssidLength, profile.ssidW, TAVRONET_SSID_CHARS);
    return profile;
}

// The saved network a change names, with the interface it is saved for and
// the number of saved networks there.
struct ProfileTarget {
    GUID guid;
    WCHAR name[kNameUnits];
    DWORD count = 0;
};

// Finds the adapter and its saved network `name` for a change by `call`;
// ERROR_NOT_SUPPORTED where the system lacks that call.
template <typename Call>
DWORD FindProfileTarget(WlanSession& session, const char* adapterId, const ProfileName& name,
                        Call WlanEntryPoints::*call, ProfileTarget* target) {
    if (!name.ansi && !name.wide) return ERROR_INVALID_PARAMETER;
    if (const DWORD error = FindInterface(session, adapterId, &target->guid)) return error;
    if (!(session.Api().*call)) return ERROR_NOT_SUPPORTED;
    return FindProfile(session, target->guid, name, target->name, &target->count);
}

DWORD MoveProfile(WlanSession& session, const char* adapterId, const ProfileName& name, unsigned long position) {
    ProfileTarget target;
    if (const DWORD error =
            FindProfileTarget(session, adapterId, name, &WlanEntryPoints::WlanSetProfilePosition, &target))
        return error;
    if (position >= target.count) return ERROR_INVALID_PARAMETER;
    const WlanEntryPoints& api = session.Api();
    return WithClient(session, [&](HANDLE client) {
        return api.WlanSetProfilePosition(client, &target.guid, target.name, position, nullptr);
    });
}

DWORD DeleteProfile(WlanSession& session, const char* adapterId, const ProfileName& name) {
    ProfileTarget target;
    if (const DWORD error = FindProfileTarget(session, adapterId, name, &WlanEntryPoints::WlanDeleteProfile, &target))
        return error;
    const WlanEntryPoints& api = session.Api();
    return WithClient(session,
                      [&](HANDLE client) { return api.WlanDeleteProfile(client, &target.guid, target.name, nullptr); });
}

}  // namespace

DWORD FindProfile(WlanSession& session, const GUID& guid, const ProfileName& name, WCHAR* found, DWORD* count) {
    return WithProfileList(session, guid, [&](const WLAN_PROFILE_INFO_LIST& list) -> DWORD {
        *count = list.dwNumberOfItems;
        int matches = 0;
        bool lossy = false;
        for (DWORD i = 0; i < list.dwNumberOfItems; ++i) {
            if (!Names(session.Api(), list.ProfileInfo[i].strProfileName, name, &lossy)) continue;
            if (++matches == 1) memcpy(found, list.ProfileInfo[i].strProfileName, kNameUnits * sizeof(WCHAR));
        }
        found[kNameUnits - 1] = 0;
        if (matches == 0) return ERROR_NOT_FOUND;
        return matches > 1 || lossy ? ERROR_NO_UNICODE_TRANSLATION : ERROR_SUCCESS;
    });
}

unsigned long NetGetProfiles(WlanSession& session, const char* adapterId, TAVRONET_PROFILE* profiles,
                             unsigned long capacity, unsigned long* count) {
    GUID guid;
    if (const DWORD error = FindInterface(session, adapterId, &guid)) return error;
    std::vector<TAVRONET_PROFILE> list;
    const DWORD result = WithProfileList(session, guid, [&](const WLAN_PROFILE_INFO_LIST& infos) -> DWORD {
        for (DWORD i = 0; i < infos.dwNumberOfItems; ++i)
            list.push_back(ProfileOf(session, guid, infos.ProfileInfo[i]));
        return ERROR_SUCCESS;
    });
    return result == ERROR_SUCCESS ? FillArray(list, profiles, capacity, count) : result;
}

unsigned long NetMoveProfile(WlanSession& session, const char* adapterId, const char* name, unsigned long position) {
    return MoveProfile(session, adapterId, {name, nullptr}, position);
}

unsigned long NetMoveProfileW(WlanSession& session, const char* adapterId, const TAVRONET_WCHAR* name,
                              unsigned long position) {
    return MoveProfile(session, adapterId, {nullptr, name}, position);
}

unsigned long NetDeleteProfile(WlanSession& session, const char* adapterId, const char* name) {
    return DeleteProfile(session, adapterId, {name, nullptr});
}

unsigned long NetDeleteProfileW(WlanSession& session, const char* adapterId, const TAVRONET_WCHAR* name) {
    return DeleteProfile(session, adapterId, {nullptr, name});
}

}  // namespace tavrowlan
