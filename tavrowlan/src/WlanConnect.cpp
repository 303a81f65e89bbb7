// Connecting and disconnecting for the applet. WlanConnect and
// WlanDisconnect return as soon as the service has taken the request; how
// it went comes later as the service's events (WlanEvents.cpp), and
// TavroNetGetConnectStatus reports it, with Windows' words for the reason.
#include "WlanNet.h"

#include <stddef.h>
#include <string.h>

namespace tavrowlan {

namespace {

// What a request names: the network's name, and its saved network in full.
TAVRONET_CONNECT_STATUS Asked(const WlanEntryPoints& api, unsigned long state, const DOT11_SSID& ssid,
                              const WCHAR* profile) {
    TAVRONET_CONNECT_STATUS asked = {};
    asked.size = sizeof asked;
    asked.state = state;
    asked.ssidLength = ssid.uSSIDLength < TAVRONET_SSID_BYTES ? ssid.uSSIDLength : TAVRONET_SSID_BYTES;
    memcpy(asked.ssid, ssid.ucSSID, asked.ssidLength);
    DecodeSsid(api, asked.ssid, asked.ssidLength, asked.ssidW, TAVRONET_SSID_CHARS);
    if (profile) CopyWideName(profile, asked.profileNameW);
    return asked;
}

// Makes `asked` the interface's status, then the request by `call`; when
// Windows refuses it, the status is what it was before.
template <typename Call>
DWORD Request(WlanSession& session, const GUID& guid, const TAVRONET_CONNECT_STATUS& asked, Call call) {
    TAVRONET_CONNECT_STATUS previous;
    // Recorded first: the service may report on its own thread before the call returns.
    const bool recorded = session.Reported().Ask(guid, asked, &previous);
    const DWORD result = WithClient(session, call);
    if (result != ERROR_SUCCESS && recorded) session.Reported().Withdraw(guid, previous);
    return result;
}

// The caller's record names its saved network in full when its size reaches
// profileNameW and that is not empty.
bool NamesProfileInFull(const TAVRONET_NETWORK& caller, const TAVRONET_NETWORK& asked) {
    return caller.size >= offsetof(TAVRONET_NETWORK, profileNameW) + sizeof caller.profileNameW &&
           asked.profileNameW[0] != 0;
}

}  // namespace

unsigned long NetConnect(WlanSession& session, const char* adapterId, const TAVRONET_NETWORK* network) {
    GUID guid;
    if (!network || network->size < offsetof(TAVRONET_NETWORK, signalPercent)) return ERROR_INVALID_PARAMETER;
    if (const DWORD error = FindInterface(session, adapterId, &guid)) return error;
    const WlanEntryPoints& api = session.Api();
    if (!api.WlanConnect) return ERROR_NOT_SUPPORTED;
    TAVRONET_NETWORK asked = {};  // a shorter caller's record names no saved network
    memcpy(&asked, network, network->size < sizeof asked ? network->size : sizeof asked);
    asked.profileName[sizeof asked.profileName - 1] = 0;
    asked.profileNameW[TAVRONET_NAME_CHARS - 1] = 0;
    WLAN_CONNECTION_PARAMETERS parameters = {};
    parameters.dot11BssType =
        asked.bssType == TAVRONET_BSS_ADHOC ? dot11_BSS_type_independent : dot11_BSS_type_infrastructure;
    WCHAR profile[kNameUnits];
    DOT11_SSID ssid = {};
    ssid.uSSIDLength = asked.ssidLength < TAVRONET_SSID_BYTES ? asked.ssidLength : TAVRONET_SSID_BYTES;
    memcpy(ssid.ucSSID, asked.ssid, ssid.uSSIDLength);
    DWORD count = 0;
    const bool inFull = NamesProfileInFull(*network, asked);
    if (inFull || asked.profileName[0]) {
        const ProfileName name = {inFull ? nullptr : asked.profileName, inFull ? asked.profileNameW : nullptr};
        if (const DWORD error = FindProfile(session, guid, name, profile, &count)) return error;
        parameters.wlanConnectionMode = wlan_connection_mode_profile;
        parameters.strProfile = profile;
    } else {
        // An open network without a saved one: Vista and later reach it by its name; XP only by a profile.
        const bool open = asked.authentication == TAVRONET_AUTH_OPEN && asked.cipher == TAVRONET_CIPHER_NONE;
        if (!open || asked.ssidLength == 0 || asked.ssidLength > TAVRONET_SSID_BYTES) return ERROR_NOT_FOUND;
        if (session.Client() && session.Version() == 1) return ERROR_NOT_SUPPORTED;
        parameters.wlanConnectionMode = wlan_connection_mode_discovery_unsecure;
        parameters.pDot11Ssid = &ssid;
    }
    const TAVRONET_CONNECT_STATUS status = Asked(api, TAVRONET_CONNECT_CONNECTING, ssid, parameters.strProfile);
    return Request(session, guid, status,
                   [&](HANDLE client) { return api.WlanConnect(client, &guid, &parameters, nullptr); });
}

// An interface with no connection to end is disconnected at once: the
// service then reports nothing.
unsigned long NetDisconnect(WlanSession& session, const char* adapterId) {
    GUID guid;
    if (const DWORD error = FindInterface(session, adapterId, &guid)) return error;
    const WlanEntryPoints& api = session.Api();
    if (!api.WlanDisconnect) return ERROR_NOT_SUPPORTED;
    WLAN_INTERFACE_STATE state = wlan_interface_state_connected;
    Query(session, guid, wlan_intf_opcode_interface_state, &state);
    const ConnectionReading& reading = session.Memory(guid).connection;
    const WLAN_CONNECTION_ATTRIBUTES* connection = reading.held ? &reading.attributes : nullptr;
    const TAVRONET_CONNECT_STATUS status = Asked(
        api,
        state == wlan_interface_state_disconnected ? TAVRONET_CONNECT_DISCONNECTED : TAVRONET_CONNECT_DISCONNECTING,
        connection ? connection->wlanAssociationAttributes.dot11Ssid : DOT11_SSID(),
        connection ? connection->strProfileName : nullptr);
    return Request(session, guid, status, [&](HANDLE client) { return api.WlanDisconnect(client, &guid, nullptr); });
}

unsigned long NetGetConnectStatus(WlanSession& session, const char* adapterId, TAVRONET_CONNECT_STATUS* out) {
    GUID guid;
    if (!SizeUsable(out)) return ERROR_INVALID_PARAMETER;
    if (const DWORD error = FindInterface(session, adapterId, &guid)) return error;
    return CopySized(out, session.Reported().Status(guid));
}

// WlanReasonCodeToString answers a pointer to its text on success, not 0,
// so the text it wrote tells whether it had words for the reason.
unsigned long NetGetReasonText(WlanSession& session, unsigned long reason, TAVRONET_WCHAR* text,
                               unsigned long capacity) {
    if (!text || capacity == 0) return ERROR_INVALID_PARAMETER;
    text[0] = 0;
    session.Client();  // loads wlanapi.dll where the system has it
    const WlanEntryPoints& api = session.Api();
    if (!api.WlanReasonCodeToString) return ERROR_NOT_SUPPORTED;
    WCHAR words[TAVRONET_REASON_CHARS] = {};
    api.WlanReasonCodeToString(reason, TAVRONET_REASON_CHARS, words, nullptr);
    words[TAVRONET_REASON_CHARS - 1] = 0;
    if (!words[0]) return ERROR_NOT_FOUND;
    unsigned long units = 0;
    for (; units + 1 < capacity && words[units]; ++units) text[units] = static_cast<TAVRONET_WCHAR>(words[units]);
    // A cut never leaves half of a surrogate pair.
    if (units > 0 && words[units] && text[units - 1] >= 0xD800 && text[units - 1] <= 0xDBFF) --units;
    text[units] = 0;
    return ERROR_SUCCESS;
}

}  // namespace tavrowlan
