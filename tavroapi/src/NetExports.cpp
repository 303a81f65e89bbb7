// NetExports.cpp - the exported functions of TavroNet.h, answered by the
// simulator: arguments checked, the caller's structures filled as far as their
// sizes allow.
#include "TavroNet.h"

#include "Simulator.h"

#include <cstddef>
#include <cstring>
#include <vector>

using tavro::Simulator;

namespace {

const unsigned long kHistoryHeader = offsetof(TAVRONET_HISTORY, samples);

// Fills an array the caller sized by its first element, `capacity` elements long.
template <typename Record>
unsigned long fillArray(const std::vector<Record>& records, Record* out, unsigned long capacity,
                        unsigned long* count) {
    if (!count || (capacity > 0 && !out)) return tavro::kErrorInvalidParameter;
    unsigned long stride = 0;
    if (capacity > 0) std::memcpy(&stride, out, sizeof stride);
    if (capacity > 0 && stride < sizeof stride) return tavro::kErrorInvalidParameter;
    unsigned char* at = reinterpret_cast<unsigned char*>(out);
    for (unsigned long i = 0; i < capacity && i < records.size(); ++i, at += stride) {
        std::memcpy(at, &stride, sizeof stride);
        tavro::copySized(at, &records[i], sizeof(Record));
    }
    *count = static_cast<unsigned long>(records.size());
    return tavro::kErrorSuccess;
}

bool sizeUsable(const void* record) {
    if (!record) return false;
    unsigned long size;
    std::memcpy(&size, record, sizeof size);
    return size >= sizeof size;
}

}  // namespace

extern "C" {

TAVRONET_API unsigned long TAVRONET_CALL TavroNetGetLink(const char* adapterId, TAVRONET_LINK* link) {
    if (!adapterId || !sizeUsable(link)) return tavro::kErrorInvalidParameter;
    TAVRONET_LINK full;
    unsigned long r = Simulator::instance().link(adapterId, full);
    return r == tavro::kErrorSuccess ? tavro::copySized(link, &full, sizeof full) : r;
}

TAVRONET_API unsigned long TAVRONET_CALL TavroNetGetNetworks(const char* adapterId, TAVRONET_NETWORK* networks,
                                                             unsigned long capacity, unsigned long* count) {
    if (!adapterId) return tavro::kErrorInvalidParameter;
    std::vector<TAVRONET_NETWORK> all;
    unsigned long r = Simulator::instance().networks(adapterId, all);
    return r == tavro::kErrorSuccess ? fillArray(all, networks, capacity, count) : r;
}

TAVRONET_API unsigned long TAVRONET_CALL TavroNetScan(const char* adapterId) {
    if (!adapterId) return tavro::kErrorInvalidParameter;
    return Simulator::instance().scan(adapterId);
}

TAVRONET_API unsigned long TAVRONET_CALL TavroNetGetScanState(const char* adapterId, unsigned long* state) {
    if (!adapterId || !state) return tavro::kErrorInvalidParameter;
    return Simulator::instance().scanState(adapterId, *state);
}

TAVRONET_API unsigned long TAVRONET_CALL TavroNetConnect(const char* adapterId, const TAVRONET_NETWORK* network) {
    if (!adapterId || !network || network->size < offsetof(TAVRONET_NETWORK, signalPercent))
        return tavro::kErrorInvalidParameter;
    TAVRONET_NETWORK full = {};  // a shorter caller's record names no saved network
    std::memcpy(&full, network, network->size < sizeof full ? network->size : sizeof full);
    full.profileName[sizeof full.profileName - 1] = '\0';
    return Simulator::instance().connect(adapterId, full);
}

TAVRONET_API unsigned long TAVRONET_CALL TavroNetDisconnect(const char* adapterId) {
    if (!adapterId) return tavro::kErrorInvalidParameter;
    return Simulator::instance().disconnect(adapterId);
}

TAVRONET_API unsigned long TAVRONET_CALL TavroNetGetProfiles(const char* adapterId, TAVRONET_PROFILE* profiles,
                                                             unsigned long capacity, unsigned long* count) {
    if (!adapterId) return tavro::kErrorInvalidParameter;
    std::vector<TAVRONET_PROFILE> all;
    unsigned long r = Simulator::instance().profiles(adapterId, all);
    return r == tavro::kErrorSuccess ? fillArray(all, profiles, capacity, count) : r;
}

TAVRONET_API unsigned long TAVRONET_CALL TavroNetMoveProfile(const char* adapterId, const char* name,
                                                             unsigned long position) {
    if (!adapterId || !name) return tavro::kErrorInvalidParameter;
    return Simulator::instance().moveProfile(adapterId, name, position);
}

TAVRONET_API unsigned long TAVRONET_CALL TavroNetDeleteProfile(const char* adapterId, const char* name) {
    if (!adapterId || !name) return tavro::kErrorInvalidParameter;
    return Simulator::instance().deleteProfile(adapterId, name);
}

TAVRONET_API unsigned long TAVRONET_CALL TavroNetGetHistory(const char* adapterId, TAVRONET_HISTORY* history) {
    if (!adapterId || !history || history->size < kHistoryHeader) return tavro::kErrorInvalidParameter;
    unsigned long capacity = (history->size - kHistoryHeader) / sizeof(TAVRONET_SAMPLE);
    if (capacity > TAVRONET_HISTORY_SAMPLES) capacity = TAVRONET_HISTORY_SAMPLES;
    unsigned long count = 0;
    unsigned long r = Simulator::instance().history(adapterId, history->samples, capacity, count);
    if (r != tavro::kErrorSuccess) return r;
    history->count = count;
    history->now = GetTickCount();
    return r;
}

TAVRONET_API unsigned long TAVRONET_CALL TavroNetGetLibrary(const char* adapterId, TAVRONET_LIBRARY* library) {
    if (!sizeUsable(library)) return tavro::kErrorInvalidParameter;
    TAVRONET_LIBRARY full = {};
    full.size = sizeof full;
    full.kind = TAVRONET_KIND_SIMULATOR;
    full.wlanApiVersion = 0;
    std::string driver = adapterId ? Simulator::instance().driverText(adapterId) : std::string();
    std::memcpy(full.driverVersion, driver.data(), driver.size() < sizeof full.driverVersion ? driver.size()
                                                                                    : sizeof full.driverVersion - 1);
    return tavro::copySized(library, &full, sizeof full);
}

}  // extern "C"
