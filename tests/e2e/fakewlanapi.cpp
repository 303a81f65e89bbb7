// wlanapi.dll for the end-to-end tests: a WLAN service with one connected
// interface, installed in the prefix's system folder (the one place the
// real-adapter TavroApi.DLL loads it from) and loaded instead of Wine's own
// (WINEDLLOVERRIDES=wlanapi=n), so that the library's exports are seen
// working on real Win32 calls. The interface's software radio follows
// WlanSetInterface within the process.
#include <windows.h>
#include <wlanapi.h>

#include <string.h>

namespace {

const GUID kInterface = {0x7A5E0D11, 0x1234, 0x4000, {0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0E, 0x2E}};
const wchar_t kDescription[] = L"E2E Wireless LAN Card";
const HANDLE kClient = reinterpret_cast<HANDLE>(0x5A17);
DOT11_RADIO_STATE softwareRadio = dot11_radio_state_on;

template <typename Record>
DWORD Hand(const Record& record, PDWORD size, PVOID* data) {
    void* block = HeapAlloc(GetProcessHeap(), 0, sizeof(Record));
    if (!block) return ERROR_NOT_ENOUGH_MEMORY;
    memcpy(block, &record, sizeof(Record));
    *size = sizeof(Record);
    *data = block;
    return ERROR_SUCCESS;
}

bool Ours(HANDLE client, const GUID* guid) {
    return client == kClient && guid && memcmp(guid, &kInterface, sizeof kInterface) == 0;
}

}  // namespace

extern "C" {

__declspec(dllexport) DWORD WINAPI WlanOpenHandle(DWORD version, PVOID, PDWORD negotiated, PHANDLE client) {
    if (!negotiated || !client) return ERROR_INVALID_PARAMETER;
    if (version != 1 && version != 2) return ERROR_NOT_SUPPORTED;
    *negotiated = version;
    *client = kClient;
    return ERROR_SUCCESS;
}

__declspec(dllexport) DWORD WINAPI WlanCloseHandle(HANDLE client, PVOID) {
    return client == kClient ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

__declspec(dllexport) VOID WINAPI WlanFreeMemory(PVOID memory) { HeapFree(GetProcessHeap(), 0, memory); }

__declspec(dllexport) DWORD WINAPI WlanEnumInterfaces(HANDLE client, PVOID, PWLAN_INTERFACE_INFO_LIST* list) {
    if (client != kClient || !list) return ERROR_INVALID_PARAMETER;
    const DWORD size = sizeof(WLAN_INTERFACE_INFO_LIST) + sizeof(WLAN_INTERFACE_INFO);
    auto* result = static_cast<WLAN_INTERFACE_INFO_LIST*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size));
    if (!result) return ERROR_NOT_ENOUGH_MEMORY;
    result->dwNumberOfItems = 1;
    result->InterfaceInfo[0].InterfaceGuid = kInterface;
    memcpy(result->InterfaceInfo[0].strInterfaceDescription, kDescription, sizeof kDescription);
    result->InterfaceInfo[0].isState = wlan_interface_state_connected;
    *list = result;
    return ERROR_SUCCESS;
}

__declspec(dllexport) DWORD WINAPI WlanQueryInterface(HANDLE client, const GUID* guid, WLAN_INTF_OPCODE opCode, PVOID,
                                                      PDWORD size, PVOID* data, PWLAN_OPCODE_VALUE_TYPE) {
    if (!Ours(client, guid) || !size || !data) return ERROR_INVALID_PARAMETER;
    switch (opCode) {
    case wlan_intf_opcode_interface_state: {
        const WLAN_INTERFACE_STATE state = wlan_interface_state_connected;
        return Hand(state, size, data);
    }
    case wlan_intf_opcode_current_connection: {
        WLAN_CONNECTION_ATTRIBUTES connection = {};
        connection.isState = wlan_interface_state_connected;
        connection.wlanAssociationAttributes.dot11BssType = dot11_BSS_type_infrastructure;
        connection.wlanAssociationAttributes.dot11PhyType = dot11_phy_type_erp;
        connection.wlanAssociationAttributes.wlanSignalQuality = 100;
        connection.wlanAssociationAttributes.ulTxRate = 54000;
        connection.wlanAssociationAttributes.ulRxRate = 54000;
        return Hand(connection, size, data);
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
    default:
        return ERROR_NOT_SUPPORTED;
    }
}

__declspec(dllexport) DWORD WINAPI WlanSetInterface(HANDLE client, const GUID* guid, WLAN_INTF_OPCODE opCode,
                                                    DWORD size, const PVOID data, PVOID) {
    if (!Ours(client, guid) || !data) return ERROR_INVALID_PARAMETER;
    if (opCode != wlan_intf_opcode_radio_state || size != sizeof(WLAN_PHY_RADIO_STATE)) return ERROR_NOT_SUPPORTED;
    const auto* phy = static_cast<const WLAN_PHY_RADIO_STATE*>(data);
    if (phy->dwPhyIndex != 0) return ERROR_INVALID_PARAMETER;
    softwareRadio = phy->dot11SoftwareRadioState;
    return ERROR_SUCCESS;
}

}  // extern "C"
