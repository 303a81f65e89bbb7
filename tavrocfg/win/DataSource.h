// Where the pages' data comes from: the applet-facing interface of the
// already loaded TavroApi.DLL (TavroNet.h), found with GetProcAddress. A
// function the library lacks answers ERROR_PROC_NOT_FOUND, so every page
// shows what the others give.
#ifndef TAVROCFG_DATASOURCE_H
#define TAVROCFG_DATASOURCE_H

#include "TavroNet.h"
#include "Text.h"
#include "common/Library.h"

#include <windows.h>

#include <string>
#include <vector>

// The IP address, mask and gateway of an adapter.
struct IpSettings {
    std::string address, mask, gateway;
};

class DataSource {
public:
    explicit DataSource(const std::string& adapterId);
    ~DataSource();
    DataSource(const DataSource&) = delete;
    DataSource& operator=(const DataSource&) = delete;

    // Each returns the library's code, 0 on success; the structures come back
    // with their size set and zeroed where the library left them. A library
    // older than the names in full leaves them empty: they are then made
    // from the ANSI names.
    unsigned long GetLink(TAVRONET_LINK* link) const;
    unsigned long GetNetworks(std::vector<TAVRONET_NETWORK>* networks) const;
    unsigned long Scan() const;
    unsigned long GetScanState(unsigned long* state) const;
    unsigned long Connect(const TAVRONET_NETWORK& network) const;
    unsigned long Disconnect() const;
    unsigned long GetProfiles(std::vector<TAVRONET_PROFILE>* profiles) const;
    // A saved network is changed by its name in full where the library
    // takes it (the W forms), else by its ANSI form.
    unsigned long MoveProfile(const TAVRONET_PROFILE& profile, unsigned long position) const;
    unsigned long DeleteProfile(const TAVRONET_PROFILE& profile) const;
    unsigned long GetConnectStatus(TAVRONET_CONNECT_STATUS* status) const;
    // Windows' words for a WLAN reason code; "" when it has none.
    Text ReasonText(unsigned long reason) const;
    unsigned long GetHistory(TAVRONET_HISTORY* history) const;
    unsigned long GetLibrary(TAVRONET_LIBRARY* library) const;

    // The adapter's IP settings (on Windows 2000 and later its identifier is
    // the adapter's name; else it is found by its hardware address `mac`),
    // from iphlpapi.dll, which is loaded on the first call and kept until
    // the window closes; false when it has none or the system cannot tell.
    bool GetIpSettings(const unsigned char* mac, IpSettings* settings) const;

private:
    std::string adapterId_;
    HMODULE library_;
    mutable HMODULE iphlpapi_ = nullptr;
    mutable bool iphlpapiTried_ = false;
};

// Windows' own words for an error code ("Access is denied."), without the
// line break; "error N" when the system has none.
std::string ErrorText(unsigned long code);

#endif
