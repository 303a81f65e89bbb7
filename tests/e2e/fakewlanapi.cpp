// wlanapi.dll for the end-to-end tests: a WLAN service with one connected
// interface, installed in the prefix's system folder (the one place the
// real-adapter TavroApi.DLL loads it from) and loaded instead of Wine's own
// (WINEDLLOVERRIDES=wlanapi=n), so that the library's exports are seen
// working on real Win32 calls. The interface is connected to one network
// (name, access point, channel 36 in the BSS list, WPA2-PSK), which is also
// its one saved network, and sees an open one without a saved network
// ("E2E-Cafe"); its software radio follows WlanSetInterface within the
// process. A scan answers at once and the service reports it complete a
// second later.
//
// A test steers the service through the file FAKEWLAN_CONTROL names, read
// at every call: "refuse" refuses the readings that need location consent
// (the connection, the network and BSS lists, a scan) with
// ERROR_ACCESS_DENIED while the signal strength (-55 dBm) and the interface
// state still answer; "stopped" fails every call over RPC and every open, as
// a stopped service does; anything else, or no file, is a service running
// normally. After a stop the service hands out a new client handle, so old
// ones are invalid. Words after the mode: "second" plugs in a second
// interface (and taking the word away pulls it out), which the service
// reports to its registered client (WlanRegisterNotification) from a
// thread of its own, as Windows does; "fail-connect=N" makes a connect,
// which answers at once, fail half a second later with the WLAN_REASON_CODE
// N (WlanReasonCodeToString has words for a few), where it otherwise
// completes; "fail-scan=N" makes a scan fail with the reason N.
#include <windows.h>
#include <wlanapi.h>

#include <stdlib.h>
#include <string.h>

namespace {

const GUID kInterface = {0x7A5E0D11, 0x1234, 0x4000, {0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0E, 0x2E}};
const GUID kSecond = {0x7A5E0D12, 0x1234, 0x4000, {0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0E, 0x2E}};
const wchar_t kDescription[] = L"E2E Wireless LAN Card";
const wchar_t kSecondDescription[] = L"E2E Second Card";
const char kSsid[] = "E2E-Home";
const char kOpenSsid[] = "E2E-Cafe";
const wchar_t kProfile[] = L"E2E-Home";
const wchar_t kProfileXml[] =
    L"<?xml version=\"1.0\"?><WLANProfile xmlns=\"http://www.microsoft.com/networking/WLAN/profile/v1\">"
    L"<name>E2E-Home</name><SSIDConfig><SSID><hex>4532452D486F6D65</hex><name>E2E-Home</name></SSID></SSIDConfig>"
    L"<connectionType>ESS</connectionType><connectionMode>auto</connectionMode><MSM><security><authEncryption>"
    L"<authentication>WPA2PSK</authentication><encryption>AES</encryption><useOneX>false</useOneX>"
    L"</authEncryption></security></MSM></WLANProfile>";
const DOT11_MAC_ADDRESS kAccessPoint = {0x02, 0xE2, 0xE0, 0x00, 0x00, 0x01};
const ULONG kChannel36Khz = 5180000;
const DWORD kRpcServerUnavailable = 1722;
DOT11_RADIO_STATE softwareRadio = dot11_radio_state_on;

enum class Mode { Normal, Refuse, Stopped };
int generation = 0;  // client handles of an earlier generation are invalid
bool wasStopped = false;

// What the control file says now.
struct Control {
    Mode mode = Mode::Normal;
    bool second = false;       // a second interface is plugged in
    DWORD connectFailure = 0;  // the reason a connect fails with; 0: it completes
    DWORD scanFailure = 0;     // the reason a scan fails with; 0: it completes
};

Control ReadControl() {
    Control control;
    char path[MAX_PATH], text[128] = "";
    if (!GetEnvironmentVariableA("FAKEWLAN_CONTROL", path, sizeof path)) return control;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return control;
    DWORD read = 0;
    ReadFile(file, text, sizeof text - 1, &read, nullptr);
    CloseHandle(file);
    text[read] = 0;
    control.mode = strncmp(text, "stopped", 7) == 0  ? Mode::Stopped
                   : strncmp(text, "refuse", 6) == 0 ? Mode::Refuse
                                                     : Mode::Normal;
    control.second = strstr(text, "second") != nullptr;
    if (const char* failure = strstr(text, "fail-connect=")) control.connectFailure = strtoul(failure + 13, nullptr, 0);
    if (const char* failure = strstr(text, "fail-scan=")) control.scanFailure = strtoul(failure + 10, nullptr, 0);
    return control;
}

// The mode now; a service that runs again after a stop gives handles of a new generation.
Mode Now() {
    const Mode mode = ReadControl().mode;
    if (mode == Mode::Stopped)
        wasStopped = true;
    else if (wasStopped)
        wasStopped = false, ++generation;
    return mode;
}

HANDLE Client() { return reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0x5A17 + 0x10 * generation)); }

// The answer every call of a client starts with: the service gone, a stale handle, or none.
DWORD Check(HANDLE client, Mode mode) {
    if (mode == Mode::Stopped) return kRpcServerUnavailable;
    return client == Client() ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

template <typename Record>
DWORD Hand(const Record& record, PDWORD size, PVOID* data) {
    void* block = HeapAlloc(GetProcessHeap(), 0, sizeof(Record));
    if (!block) return ERROR_NOT_ENOUGH_MEMORY;
    memcpy(block, &record, sizeof(Record));
    *size = sizeof(Record);
    *data = block;
    return ERROR_SUCCESS;
}

template <typename List>
List* Allocate(DWORD size) {
    return static_cast<List*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size));
}

bool Same(const GUID* guid, const GUID& other) { return guid && memcmp(guid, &other, sizeof other) == 0; }
// An interface the service has now.
bool Ours(const GUID* guid) { return Same(guid, kInterface) || (Same(guid, kSecond) && ReadControl().second); }

// ---- the service's reports, from a thread of its own ----

WLAN_NOTIFICATION_CALLBACK callback = nullptr;
PVOID callbackContext = nullptr;
HANDLE watcher = nullptr;       // the thread that watches for interfaces plugged in or out
volatile LONG watching = 0;     // 1 while it should go on
volatile LONG outstanding = 0;  // connects and scans whose outcome is still to be reported
// One report at a time, as the service's thread makes them.
struct Reporting {
    CRITICAL_SECTION section;
    Reporting() { InitializeCriticalSection(&section); }
} reporting;

// `event` (of `size` bytes) is the event's data: a connection event's record, a scan failure's reason.
void Report(DWORD code, const GUID& guid, void* event = nullptr, DWORD size = 0) {
    EnterCriticalSection(&reporting.section);
    WLAN_NOTIFICATION_DATA data = {WLAN_NOTIFICATION_SOURCE_ACM, code, guid, size, event};
    if (callback) callback(&data, callbackContext);
    LeaveCriticalSection(&reporting.section);
}

// Reports the second interface as it comes and goes, until the handle closes.
DWORD WINAPI Watch(LPVOID) {
    bool second = ReadControl().second;
    while (InterlockedCompareExchange(&watching, 1, 1)) {
        Sleep(100);
        const bool now = ReadControl().second;
        if (now == second) continue;
        second = now;
        Report(now ? wlan_notification_acm_interface_arrival : wlan_notification_acm_interface_removal, kSecond);
    }
    return 0;
}

// No more reports: as WlanCloseHandle, it waits for those under way, and
// drops those still to come.
void StopWatching() {
    InterlockedExchange(&watching, 0);
    if (watcher) {
        WaitForSingleObject(watcher, INFINITE);
        CloseHandle(watcher);
        watcher = nullptr;
    }
    EnterCriticalSection(&reporting.section);
    callback = nullptr;
    LeaveCriticalSection(&reporting.section);
    while (InterlockedCompareExchange(&outstanding, 0, 0)) Sleep(10);
}

// A connect's outcome, reported after WlanConnect returned.
struct Outcome {
    GUID guid;
    DWORD failure;
    WLAN_CONNECTION_NOTIFICATION_DATA data;
};

DWORD WINAPI ReportConnect(LPVOID parameter) {
    Outcome* outcome = static_cast<Outcome*>(parameter);
    const DWORD size = sizeof outcome->data;
    Sleep(100);
    Report(wlan_notification_acm_connection_start, outcome->guid, &outcome->data, size);
    Sleep(400);
    outcome->data.wlanReasonCode = outcome->failure;
    if (outcome->failure) Report(wlan_notification_acm_connection_attempt_fail, outcome->guid, &outcome->data, size);
    Report(wlan_notification_acm_connection_complete, outcome->guid, &outcome->data, size);
    HeapFree(GetProcessHeap(), 0, outcome);
    InterlockedDecrement(&outstanding);
    return 0;
}

// A scan's end, reported a second after WlanScan returned: complete, or
// failed with the reason the thread is given.
DWORD WINAPI ReportScan(LPVOID parameter) {
    WLAN_REASON_CODE reason = static_cast<WLAN_REASON_CODE>(reinterpret_cast<ULONG_PTR>(parameter));
    Sleep(1000);
    if (reason)
        Report(wlan_notification_acm_scan_fail, kInterface, &reason, sizeof reason);
    else
        Report(wlan_notification_acm_scan_complete, kInterface);
    InterlockedDecrement(&outstanding);
    return 0;
}

// Runs `report` on a thread of its own, counted in `outstanding`.
bool ReportLater(LPTHREAD_START_ROUTINE report, LPVOID parameter) {
    InterlockedIncrement(&outstanding);
    HANDLE thread = CreateThread(nullptr, 0, report, parameter, 0, nullptr);
    if (!thread) {
        InterlockedDecrement(&outstanding);
        return false;
    }
    CloseHandle(thread);
    return true;
}

// The answer a list reading that needs location consent (the network and BSS
// lists) starts with: the service's state, the arguments, then the consent.
DWORD CheckListReading(HANDLE client, const GUID* guid, const void* list) {
    const Mode mode = Now();
    if (const DWORD error = Check(client, mode)) return error;
    if (!Ours(guid) || !list) return ERROR_INVALID_PARAMETER;
    return mode == Mode::Refuse ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
}

void SetSsid(DOT11_SSID* ssid, const char* name = kSsid) {
    ssid->uSSIDLength = static_cast<ULONG>(strlen(name));
    memcpy(ssid->ucSSID, name, ssid->uSSIDLength);
}

// A network in range on one 802.11g access point, which can be joined.
void InRange(WLAN_AVAILABLE_NETWORK* network, const char* ssid, ULONG signal, DOT11_AUTH_ALGORITHM authentication,
             DOT11_CIPHER_ALGORITHM cipher) {
    SetSsid(&network->dot11Ssid, ssid);
    network->dot11BssType = dot11_BSS_type_infrastructure;
    network->uNumberOfBssids = 1;
    network->bNetworkConnectable = TRUE;
    network->uNumberOfPhyTypes = 1;
    network->dot11PhyTypes[0] = dot11_phy_type_erp;
    network->wlanSignalQuality = signal;
    network->dot11DefaultAuthAlgorithm = authentication;
    network->dot11DefaultCipherAlgorithm = cipher;
}

WLAN_CONNECTION_ATTRIBUTES Connection() {
    WLAN_CONNECTION_ATTRIBUTES connection = {};
    connection.isState = wlan_interface_state_connected;
    connection.wlanConnectionMode = wlan_connection_mode_profile;
    memcpy(connection.strProfileName, kProfile, sizeof kProfile);
    WLAN_ASSOCIATION_ATTRIBUTES& a = connection.wlanAssociationAttributes;
    SetSsid(&a.dot11Ssid);
    a.dot11BssType = dot11_BSS_type_infrastructure;
    memcpy(a.dot11Bssid, kAccessPoint, sizeof kAccessPoint);
    a.dot11PhyType = dot11_phy_type_erp;
    a.wlanSignalQuality = 100;
    a.ulTxRate = 54000;
    a.ulRxRate = 54000;
    connection.wlanSecurityAttributes.bSecurityEnabled = TRUE;
    connection.wlanSecurityAttributes.dot11AuthAlgorithm = DOT11_AUTH_ALGO_RSNA_PSK;
    connection.wlanSecurityAttributes.dot11CipherAlgorithm = DOT11_CIPHER_ALGO_CCMP;
    return connection;
}

}  // namespace

extern "C" {

__declspec(dllexport) DWORD WINAPI WlanOpenHandle(DWORD version, PVOID, PDWORD negotiated, PHANDLE client) {
    if (!negotiated || !client) return ERROR_INVALID_PARAMETER;
    if (Now() == Mode::Stopped) return ERROR_SERVICE_NOT_ACTIVE;
    if (version != 1 && version != 2) return ERROR_NOT_SUPPORTED;
    *negotiated = version;
    *client = Client();
    return ERROR_SUCCESS;
}

__declspec(dllexport) DWORD WINAPI WlanCloseHandle(HANDLE client, PVOID) {
    const DWORD result = Check(client, Now());
    if (result == ERROR_SUCCESS) StopWatching();
    return result;
}

// The ACM's events to one callback, reported from a thread of the service's own.
__declspec(dllexport) DWORD WINAPI
    WlanRegisterNotification(HANDLE client, DWORD sources, WINBOOL, WLAN_NOTIFICATION_CALLBACK function, PVOID context,
                             PVOID, PDWORD) {
    if (const DWORD error = Check(client, Now())) return error;
    StopWatching();
    if (!(sources & WLAN_NOTIFICATION_SOURCE_ACM) || !function) return ERROR_SUCCESS;
    callback = function;
    callbackContext = context;
    InterlockedExchange(&watching, 1);
    watcher = CreateThread(nullptr, 0, Watch, nullptr, 0, nullptr);
    return ERROR_SUCCESS;
}

// Answers at once; the outcome comes later (fail-connect=N: a failure with reason N).
__declspec(dllexport) DWORD WINAPI
    WlanConnect(HANDLE client, const GUID* guid, const PWLAN_CONNECTION_PARAMETERS parameters, PVOID) {
    if (const DWORD error = Check(client, Now())) return error;
    if (!Ours(guid) || !parameters) return ERROR_INVALID_PARAMETER;
    auto* outcome = static_cast<Outcome*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(Outcome)));
    if (!outcome) return ERROR_NOT_ENOUGH_MEMORY;
    outcome->guid = *guid;
    outcome->failure = ReadControl().connectFailure;
    outcome->data.wlanConnectionMode = parameters->wlanConnectionMode;
    if (parameters->strProfile) lstrcpynW(outcome->data.strProfileName, parameters->strProfile, WLAN_MAX_NAME_LENGTH);
    if (parameters->pDot11Ssid)
        outcome->data.dot11Ssid = *parameters->pDot11Ssid;
    else
        SetSsid(&outcome->data.dot11Ssid);  // the one saved network is E2E-Home's
    outcome->data.dot11BssType = parameters->dot11BssType;
    if (ReportLater(ReportConnect, outcome)) return ERROR_SUCCESS;
    HeapFree(GetProcessHeap(), 0, outcome);
    return ERROR_NOT_ENOUGH_MEMORY;
}

// Answers at once; the scan's end comes later (fail-scan=N: a failure with reason N).
// Refused without location consent, as the network lists are.
__declspec(dllexport) DWORD WINAPI
    WlanScan(HANDLE client, const GUID* guid, const PDOT11_SSID, const PWLAN_RAW_DATA, PVOID) {
    const Mode mode = Now();
    if (const DWORD error = Check(client, mode)) return error;
    if (!Same(guid, kInterface)) return ERROR_INVALID_PARAMETER;
    if (mode == Mode::Refuse) return ERROR_ACCESS_DENIED;
    const ULONG_PTR failure = ReadControl().scanFailure;
    return ReportLater(ReportScan, reinterpret_cast<LPVOID>(failure)) ? ERROR_SUCCESS : ERROR_NOT_ENOUGH_MEMORY;
}

// Words for the reasons the tests use; success answers a pointer to them, as documented.
__declspec(dllexport) DWORD WINAPI WlanReasonCodeToString(DWORD reason, DWORD capacity, PWCHAR text, PVOID reserved) {
    if (!text || capacity == 0 || reserved) return ERROR_INVALID_PARAMETER;
    const wchar_t* words = reason == 0x0002800D   ? L"The key does not match the network's."
                           : reason == 0x0002800B ? L"The network is not available."
                           : reason == 0x00010001 ? L"The reason is not known."  // WLAN_REASON_CODE_UNKNOWN
                                                  : L"";
    lstrcpynW(text, words, static_cast<int>(capacity));
    return static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(text));
}

__declspec(dllexport) VOID WINAPI WlanFreeMemory(PVOID memory) { HeapFree(GetProcessHeap(), 0, memory); }

__declspec(dllexport) DWORD WINAPI WlanEnumInterfaces(HANDLE client, PVOID, PWLAN_INTERFACE_INFO_LIST* list) {
    if (const DWORD error = Check(client, Now())) return error;
    if (!list) return ERROR_INVALID_PARAMETER;
    auto* result =
        Allocate<WLAN_INTERFACE_INFO_LIST>(sizeof(WLAN_INTERFACE_INFO_LIST) + 2 * sizeof(WLAN_INTERFACE_INFO));
    if (!result) return ERROR_NOT_ENOUGH_MEMORY;
    result->dwNumberOfItems = ReadControl().second ? 2 : 1;
    result->InterfaceInfo[0].InterfaceGuid = kInterface;
    memcpy(result->InterfaceInfo[0].strInterfaceDescription, kDescription, sizeof kDescription);
    result->InterfaceInfo[0].isState = wlan_interface_state_connected;
    result->InterfaceInfo[1].InterfaceGuid = kSecond;
    memcpy(result->InterfaceInfo[1].strInterfaceDescription, kSecondDescription, sizeof kSecondDescription);
    result->InterfaceInfo[1].isState = wlan_interface_state_connected;
    *list = result;
    return ERROR_SUCCESS;
}

__declspec(dllexport) DWORD WINAPI WlanQueryInterface(HANDLE client, const GUID* guid, WLAN_INTF_OPCODE opCode, PVOID,
                                                      PDWORD size, PVOID* data, PWLAN_OPCODE_VALUE_TYPE) {
    const Mode mode = Now();
    if (const DWORD error = Check(client, mode)) return error;
    if (!Ours(guid) || !size || !data) return ERROR_INVALID_PARAMETER;
    switch (opCode) {
    case wlan_intf_opcode_interface_state: {
        const WLAN_INTERFACE_STATE state = wlan_interface_state_connected;
        return Hand(state, size, data);
    }
    case wlan_intf_opcode_current_connection:
        if (mode == Mode::Refuse) return ERROR_ACCESS_DENIED;
        return Hand(Connection(), size, data);
    case wlan_intf_opcode_rssi: {
        const LONG rssi = mode == Mode::Refuse ? -55 : -48;
        return Hand(rssi, size, data);
    }
    case wlan_intf_opcode_radio_state: {
        WLAN_RADIO_STATE radio = {};
        radio.dwNumberOfPhys = 1;
        radio.PhyRadioState[0].dot11SoftwareRadioState = softwareRadio;
        radio.PhyRadioState[0].dot11HardwareRadioState = dot11_radio_state_on;
        return Hand(radio, size, data);
    }
    case wlan_intf_opcode_statistics: {
        WLAN_STATISTICS statistics = {};
        statistics.MacUcastCounters.ullReceivedFrameCount = 1000;
        return Hand(statistics, size, data);
    }
    default: return ERROR_NOT_SUPPORTED;
    }
}

__declspec(dllexport) DWORD WINAPI
    WlanSetInterface(HANDLE client, const GUID* guid, WLAN_INTF_OPCODE opCode, DWORD size, const PVOID data, PVOID) {
    if (const DWORD error = Check(client, Now())) return error;
    if (!Ours(guid) || !data) return ERROR_INVALID_PARAMETER;
    if (opCode != wlan_intf_opcode_radio_state || size != sizeof(WLAN_PHY_RADIO_STATE)) return ERROR_NOT_SUPPORTED;
    const auto* phy = static_cast<const WLAN_PHY_RADIO_STATE*>(data);
    if (phy->dwPhyIndex != 0) return ERROR_INVALID_PARAMETER;
    softwareRadio = phy->dot11SoftwareRadioState;
    return ERROR_SUCCESS;
}

// The access point of the network, on channel 36.
__declspec(dllexport) DWORD WINAPI WlanGetNetworkBssList(HANDLE client, const GUID* guid, const PDOT11_SSID,
                                                         DOT11_BSS_TYPE, WINBOOL, PVOID, PWLAN_BSS_LIST* list) {
    if (const DWORD error = CheckListReading(client, guid, list)) return error;
    auto* result = Allocate<WLAN_BSS_LIST>(sizeof(WLAN_BSS_LIST));
    if (!result) return ERROR_NOT_ENOUGH_MEMORY;
    result->dwTotalSize = sizeof(WLAN_BSS_LIST);
    result->dwNumberOfItems = 1;
    WLAN_BSS_ENTRY& bss = result->wlanBssEntries[0];
    SetSsid(&bss.dot11Ssid);
    memcpy(bss.dot11Bssid, kAccessPoint, sizeof kAccessPoint);
    bss.dot11BssType = dot11_BSS_type_infrastructure;
    bss.dot11BssPhyType = dot11_phy_type_erp;
    bss.lRssi = -48;
    bss.uLinkQuality = 100;
    bss.ulChCenterFrequency = kChannel36Khz;
    *list = result;
    return ERROR_SUCCESS;
}

__declspec(dllexport) DWORD WINAPI
    WlanGetAvailableNetworkList(HANDLE client, const GUID* guid, DWORD, PVOID, PWLAN_AVAILABLE_NETWORK_LIST* list) {
    if (const DWORD error = CheckListReading(client, guid, list)) return error;
    auto* result =
        Allocate<WLAN_AVAILABLE_NETWORK_LIST>(sizeof(WLAN_AVAILABLE_NETWORK_LIST) + sizeof(WLAN_AVAILABLE_NETWORK));
    if (!result) return ERROR_NOT_ENOUGH_MEMORY;
    result->dwNumberOfItems = 2;
    WLAN_AVAILABLE_NETWORK& home = result->Network[0];
    InRange(&home, kSsid, 100, DOT11_AUTH_ALGO_RSNA_PSK, DOT11_CIPHER_ALGO_CCMP);
    memcpy(home.strProfileName, kProfile, sizeof kProfile);
    home.bSecurityEnabled = TRUE;
    home.dwFlags = 0x3;  // connected, has a profile
    // Open, with no saved network.
    InRange(&result->Network[1], kOpenSsid, 60, DOT11_AUTH_ALGO_80211_OPEN, DOT11_CIPHER_ALGO_NONE);
    *list = result;
    return ERROR_SUCCESS;
}

__declspec(dllexport) DWORD WINAPI
    WlanGetProfileList(HANDLE client, const GUID* guid, PVOID, PWLAN_PROFILE_INFO_LIST* list) {
    if (const DWORD error = Check(client, Now())) return error;
    if (!Ours(guid) || !list) return ERROR_INVALID_PARAMETER;
    auto* result = Allocate<WLAN_PROFILE_INFO_LIST>(sizeof(WLAN_PROFILE_INFO_LIST));
    if (!result) return ERROR_NOT_ENOUGH_MEMORY;
    result->dwNumberOfItems = 1;
    memcpy(result->ProfileInfo[0].strProfileName, kProfile, sizeof kProfile);
    *list = result;
    return ERROR_SUCCESS;
}

__declspec(dllexport) DWORD WINAPI
    WlanGetProfile(HANDLE client, const GUID* guid, LPCWSTR name, PVOID, LPWSTR* xml, DWORD*, PDWORD) {
    if (const DWORD error = Check(client, Now())) return error;
    if (!Ours(guid) || !name || !xml) return ERROR_INVALID_PARAMETER;
    if (lstrcmpW(name, kProfile) != 0) return ERROR_NOT_FOUND;
    *xml = static_cast<LPWSTR>(HeapAlloc(GetProcessHeap(), 0, sizeof kProfileXml));
    if (!*xml) return ERROR_NOT_ENOUGH_MEMORY;
    memcpy(*xml, kProfileXml, sizeof kProfileXml);
    return ERROR_SUCCESS;
}

}  // extern "C"
