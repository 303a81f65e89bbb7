// NetExports.cpp - the exported functions of TavroNet.h, answered by the
// simulator: arguments checked, the caller's structures filled as far as their
// sizes allow.
#include "TavroNet.h"

#include "Simulator.h"
#include "common/SizedRecords.h"

#include <cstddef>
#include <cstring>
#include <vector>

using tavro::Simulator;

namespace {

tavro::ProfileKey AnsiKey(const char* name) {
    tavro::ProfileKey key;
    key.ansi = name;
    return key;
}

// A name in full, read up to its terminator (at most as long as a saved network's name).
tavro::ProfileKey WideKey(const TAVRONET_WCHAR* name) {
    tavro::ProfileKey key;
    key.wide = true;
    key.full = tavro::WideOf(name, TAVRONET_NAME_CHARS);
    return key;
}

}  // namespace

extern "C" {

TAVRONET_API unsigned long TAVRONET_CALL TavroNetGetLink(const char* adapterId, TAVRONET_LINK* link) {
    if (!adapterId || !SizeUsable(link)) return tavro::kErrorInvalidParameter;
    TAVRONET_LINK full;
    unsigned long r = Simulator::Instance().Link(adapterId, full);
    return r == tavro::kErrorSuccess ? CopySized(link, full) : r;
}

TAVRONET_API unsigned long TAVRONET_CALL TavroNetGetNetworks(const char* adapterId, TAVRONET_NETWORK* networks,
                                                             unsigned long capacity, unsigned long* count) {
    if (!adapterId) return tavro::kErrorInvalidParameter;
    std::vector<TAVRONET_NETWORK> all;
    unsigned long r = Simulator::Instance().Networks(adapterId, all);
    return r == tavro::kErrorSuccess ? FillArray(all, networks, capacity, count) : r;
}

TAVRONET_API unsigned long TAVRONET_CALL TavroNetScan(const char* adapterId) {
    if (!adapterId) return tavro::kErrorInvalidParameter;
    return Simulator::Instance().Scan(adapterId);
}

TAVRONET_API unsigned long TAVRONET_CALL TavroNetGetScanState(const char* adapterId, unsigned long* state) {
    if (!adapterId || !state) return tavro::kErrorInvalidParameter;
    return Simulator::Instance().ScanState(adapterId, *state);
}

TAVRONET_API unsigned long TAVRONET_CALL TavroNetConnect(const char* adapterId, const TAVRONET_NETWORK* network) {
    if (!adapterId || !network || network->size < offsetof(TAVRONET_NETWORK, signalPercent))
        return tavro::kErrorInvalidParameter;
    TAVRONET_NETWORK full = {};  // a shorter caller's record names no saved network
    std::memcpy(&full, network, network->size < sizeof full ? network->size : sizeof full);
    full.profileName[sizeof full.profileName - 1] = '\0';
    full.ssidW[TAVRONET_SSID_CHARS - 1] = 0;
    full.profileNameW[TAVRONET_NAME_CHARS - 1] = 0;
    return Simulator::Instance().Connect(adapterId, full);
}

TAVRONET_API unsigned long TAVRONET_CALL TavroNetDisconnect(const char* adapterId) {
    if (!adapterId) return tavro::kErrorInvalidParameter;
    return Simulator::Instance().Disconnect(adapterId);
}

TAVRONET_API unsigned long TAVRONET_CALL TavroNetGetProfiles(const char* adapterId, TAVRONET_PROFILE* profiles,
                                                             unsigned long capacity, unsigned long* count) {
    if (!adapterId) return tavro::kErrorInvalidParameter;
    std::vector<TAVRONET_PROFILE> all;
    unsigned long r = Simulator::Instance().Profiles(adapterId, all);
    return r == tavro::kErrorSuccess ? FillArray(all, profiles, capacity, count) : r;
}

TAVRONET_API unsigned long TAVRONET_CALL TavroNetMoveProfile(const char* adapterId, const char* name,
                                                             unsigned long position) {
    if (!adapterId || !name) return tavro::kErrorInvalidParameter;
    return Simulator::Instance().MoveProfile(adapterId, AnsiKey(name), position);
}

TAVRONET_API unsigned long TAVRONET_CALL TavroNetDeleteProfile(const char* adapterId, const char* name) {
    if (!adapterId || !name) return tavro::kErrorInvalidParameter;
    return Simulator::Instance().DeleteProfile(adapterId, AnsiKey(name));
}

TAVRONET_API unsigned long TAVRONET_CALL TavroNetMoveProfileW(const char* adapterId, const TAVRONET_WCHAR* name,
                                                              unsigned long position) {
    if (!adapterId || !name) return tavro::kErrorInvalidParameter;
    return Simulator::Instance().MoveProfile(adapterId, WideKey(name), position);
}

TAVRONET_API unsigned long TAVRONET_CALL TavroNetDeleteProfileW(const char* adapterId, const TAVRONET_WCHAR* name) {
    if (!adapterId || !name) return tavro::kErrorInvalidParameter;
    return Simulator::Instance().DeleteProfile(adapterId, WideKey(name));
}

TAVRONET_API unsigned long TAVRONET_CALL TavroNetGetConnectStatus(const char* adapterId,
                                                                  TAVRONET_CONNECT_STATUS* status) {
    if (!adapterId || !SizeUsable(status)) return tavro::kErrorInvalidParameter;
    TAVRONET_CONNECT_STATUS full;
    unsigned long r = Simulator::Instance().ConnectStatus(adapterId, full);
    return r == tavro::kErrorSuccess ? CopySized(status, full) : r;
}

TAVRONET_API unsigned long TAVRONET_CALL TavroNetGetReasonText(unsigned long reason, TAVRONET_WCHAR* text,
                                                               unsigned long capacity) {
    if (!text || capacity == 0) return tavro::kErrorInvalidParameter;
    const char* words = tavro::ReasonText(reason);
    if (!words) return tavro::kErrorNotFound;
    tavro::SetWide(text, capacity, tavro::WideText(words, words + std::strlen(words)));
    return tavro::kErrorSuccess;
}

TAVRONET_API unsigned long TAVRONET_CALL TavroNetGetHistory(const char* adapterId, TAVRONET_HISTORY* history) {
    unsigned long capacity = 0;
    if (!adapterId || !HistoryCapacity(history, &capacity)) return tavro::kErrorInvalidParameter;
    unsigned long count = 0;
    unsigned long r = Simulator::Instance().History(adapterId, history->samples, capacity, count);
    if (r != tavro::kErrorSuccess) return r;
    history->count = count;
    history->now = GetTickCount();
    return r;
}

TAVRONET_API unsigned long TAVRONET_CALL TavroNetGetLibrary(const char* adapterId, TAVRONET_LIBRARY* library) {
    if (!SizeUsable(library)) return tavro::kErrorInvalidParameter;
    TAVRONET_LIBRARY full = {};
    full.size = sizeof full;
    full.kind = TAVRONET_KIND_SIMULATOR;
    full.wlanApiVersion = 0;
    if (adapterId) Simulator::Instance().Library(adapterId, full);
    return CopySized(library, full);
}

}  // extern "C"
