// NetExports.cpp - the applet-facing functions of TavroNet.h, exported
// undecorated with the __stdcall convention: each hands its arguments to
// WlanNet.cpp with the DLL's one WLAN session.
#include "TavroNet.h"

#include "WlanNet.h"

using namespace tavrowlan;

extern "C" {

TAVRONET_API unsigned long TAVRONET_CALL TavroNetGetLink(const char* adapterId, TAVRONET_LINK* link) {
    return NetGetLink(ProcessSession(), adapterId, link);
}

TAVRONET_API unsigned long TAVRONET_CALL TavroNetGetNetworks(const char* adapterId, TAVRONET_NETWORK* networks,
                                                             unsigned long capacity, unsigned long* count) {
    return NetGetNetworks(ProcessSession(), adapterId, networks, capacity, count);
}

TAVRONET_API unsigned long TAVRONET_CALL TavroNetScan(const char* adapterId) {
    return NetScan(ProcessSession(), adapterId);
}

TAVRONET_API unsigned long TAVRONET_CALL TavroNetGetScanState(const char* adapterId, unsigned long* state) {
    return NetGetScanState(ProcessSession(), adapterId, state);
}

TAVRONET_API unsigned long TAVRONET_CALL TavroNetConnect(const char* adapterId, const TAVRONET_NETWORK* network) {
    return NetConnect(ProcessSession(), adapterId, network);
}

TAVRONET_API unsigned long TAVRONET_CALL TavroNetDisconnect(const char* adapterId) {
    return NetDisconnect(ProcessSession(), adapterId);
}

TAVRONET_API unsigned long TAVRONET_CALL TavroNetGetProfiles(const char* adapterId, TAVRONET_PROFILE* profiles,
                                                             unsigned long capacity, unsigned long* count) {
    return NetGetProfiles(ProcessSession(), adapterId, profiles, capacity, count);
}

TAVRONET_API unsigned long TAVRONET_CALL TavroNetMoveProfile(const char* adapterId, const char* name,
                                                             unsigned long position) {
    return NetMoveProfile(ProcessSession(), adapterId, name, position);
}

TAVRONET_API unsigned long TAVRONET_CALL TavroNetDeleteProfile(const char* adapterId, const char* name) {
    return NetDeleteProfile(ProcessSession(), adapterId, name);
}

TAVRONET_API unsigned long TAVRONET_CALL TavroNetGetHistory(const char* adapterId, TAVRONET_HISTORY* history) {
    return NetGetHistory(ProcessSession(), adapterId, history);
}

TAVRONET_API unsigned long TAVRONET_CALL TavroNetGetLibrary(const char* adapterId, TAVRONET_LIBRARY* library) {
    return NetGetLibrary(ProcessSession(), adapterId, library);
}

TAVRONET_API unsigned long TAVRONET_CALL TavroNetMoveProfileW(const char* adapterId, const TAVRONET_WCHAR* name,
                                                              unsigned long position) {
    return NetMoveProfileW(ProcessSession(), adapterId, name, position);
}

TAVRONET_API unsigned long TAVRONET_CALL TavroNetDeleteProfileW(const char* adapterId, const TAVRONET_WCHAR* name) {
    return NetDeleteProfileW(ProcessSession(), adapterId, name);
}

TAVRONET_API unsigned long TAVRONET_CALL TavroNetGetConnectStatus(const char* adapterId,
                                                                  TAVRONET_CONNECT_STATUS* status) {
    return NetGetConnectStatus(ProcessSession(), adapterId, status);
}

TAVRONET_API unsigned long TAVRONET_CALL TavroNetGetReasonText(unsigned long reason, TAVRONET_WCHAR* text,
                                                               unsigned long capacity) {
    return NetGetReasonText(ProcessSession(), reason, text, capacity);
}

}  // extern "C"
