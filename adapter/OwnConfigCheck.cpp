// Whether the program's own configuration commands may be offered: not while
// the system's wireless configuration service manages the adapter of slot 0.
#include "adapter/AdapterSlots.h"

#include "adapter/Registry.h"

#include <string>

namespace {

const char kWirelessService[] = "WZCSVC";
const char kInterfacesKey[] = "SOFTWARE\\Microsoft\\WZCSVC\\Parameters\\Interfaces\\";
const char kControlFlags[] = "ControlFlags";
const DWORD kServiceManagesInterface = 0x8000;  // bit of "ControlFlags"
const unsigned long kNdis51 = 0x0501;           // the only driver generation the service takes over
const unsigned long kServicedNetworkType = 1;   // the network type in use the service takes over

// Every step must succeed for the service to count as running; both handles
// are released whatever the query answered.
bool ServiceRunning(const char* name) {
    bool running = false;
    if (SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT)) {
        if (SC_HANDLE service = OpenServiceA(manager, name, SERVICE_QUERY_STATUS)) {
            SERVICE_STATUS status = {};
            running = QueryServiceStatus(service, &status) && status.dwCurrentState == SERVICE_RUNNING;
            CloseServiceHandle(service);
        }
        CloseServiceHandle(manager);
    }
    return running;
}

}  // namespace

BOOL CAdapterSlots::CheckOwnConfigAllowed() {
    const bool serviceRunning = ServiceRunning(kWirelessService);
    if (!slots[0].present && !FindAdapterForSlot(0, 0)) return TRUE;

    AdapterSlot& slot = slots[0];
    unsigned long networkType = 0;
    unsigned long driverVersion = 0;
    slot.driver.GetDot11NetworkTypeInUse(&networkType);
    slot.driver.GetGenDriverVersion(&driverVersion);
    char adapterId[ADAPTER_ID_SIZE];
    ReadAdapterId(slot.adapter, adapterId);

    // A missing key or value means the service manages the interface.
    DWORD controlFlags = 0;
    const std::string key = std::string(kInterfacesKey) + adapterId;
    const bool flagsRead = ReadRegistryDword(HKEY_LOCAL_MACHINE, key.c_str(), kControlFlags, &controlFlags);
    const bool serviceManages = !flagsRead || (controlFlags & kServiceManagesInterface);

    const bool managedBySystem =
        driverVersion == kNdis51 && networkType == kServicedNetworkType && serviceRunning && serviceManages;
    return managedBySystem ? FALSE : TRUE;
}
