// SimulatorNet.cpp - the simulator's side of the applet-facing interface: each
// call takes the lock, looks at the scenario file, and answers by the rules of
// NetModel.cpp over the adapter as it is now. Changes are logged to the call log.
#include "Simulator.h"

namespace tavro {

bool Simulator::adapterNow(const std::string& id, AdapterNow& now) {
    unsigned long elapsed = GetTickCount() - loadedAt_;
    const AdapterSection* a = presentAdapter(id, elapsed);
    if (!a) return false;
    NetState& state = net_[id];
    if (!state.profilesCopied) {
        state.profiles = profilesOf(scenario_, a->index);
        state.profilesCopied = true;
    }
    now.adapter = a;
    now.elapsed = elapsed;
    for (int f = 0; f < FieldCount; ++f) now.values[f] = a->values[f].at(elapsed);
    auto over = radio_.find(id);
    if (over != radio_.end())
        now.values[FieldRadio] = (now.values[FieldRadio] & ~1ul) | over->second.radioOn;
    now.networks = &scenario_.networks;
    now.profiles = &state.profiles;
    now.connection = state.connection;
    applyConnection(now);
    return true;
}

void Simulator::logResult(const std::string& call, const std::string& id, const std::string& details,
                          unsigned long result) {
    log(call + " adapter=" + id + details + " result=" + std::to_string(result));
}

unsigned long Simulator::link(const std::string& id, TAVRONET_LINK& out) {
    Locked hold(*this);
    checkFile(false);
    AdapterNow now;
    if (!adapterNow(id, now)) return kErrorNotFound;
    out = makeLink(now);
    return kErrorSuccess;
}

unsigned long Simulator::networks(const std::string& id, std::vector<TAVRONET_NETWORK>& out) {
    Locked hold(*this);
    checkFile(false);
    AdapterNow now;
    if (!adapterNow(id, now)) return kErrorNotFound;
    out = makeNetworks(now);
    return kErrorSuccess;
}

unsigned long Simulator::scan(const std::string& id) {
    Locked hold(*this);
    checkFile(false);
    AdapterNow now;
    unsigned long result = kErrorNotFound;
    if (adapterNow(id, now)) {
        unsigned long state = LinkStateOf(now.values[FieldRadio], now.values[FieldAdapterState] == 1);
        bool radioOn = state == TAVRONET_STATE_CONNECTED || state == TAVRONET_STATE_NOT_CONNECTED;
        result = radioOn ? kErrorSuccess : kErrorNotReady;
    }
    if (result == kErrorSuccess) {
        net_[id].scanStarted = true;
        net_[id].scanStart = GetTickCount();
    }
    logResult("TavroNetScan", id, "", result);
    return result;
}

unsigned long Simulator::scanState(const std::string& id, unsigned long& state) {
    Locked hold(*this);
    checkFile(false);
    AdapterNow now;
    if (!adapterNow(id, now)) return kErrorNotFound;
    const NetState& n = net_[id];
    state = tavro::scanState(now.adapter->link, n.scanStarted, n.scanStart, GetTickCount());
    return kErrorSuccess;
}

unsigned long Simulator::connect(const std::string& id, const TAVRONET_NETWORK& network) {
    Locked hold(*this);
    checkFile(false);
    AdapterNow now;
    std::string ssid;
    unsigned long result = adapterNow(id, now) ? connectTarget(now, network, ssid) : kErrorNotFound;
    if (result == kErrorSuccess) {
        Connection& c = net_[id].connection;
        c.set = true;
        c.connected = true;
        c.ssid = ssid;
    }
    std::string asked(reinterpret_cast<const char*>(network.ssid),
                      network.ssidLength < TAVRONET_SSID_BYTES ? network.ssidLength : TAVRONET_SSID_BYTES);
    logResult("TavroNetConnect", id, " ssid=" + (result == kErrorSuccess ? ssid : asked), result);
    return result;
}

unsigned long Simulator::disconnect(const std::string& id) {
    Locked hold(*this);
    checkFile(false);
    AdapterNow now;
    unsigned long result = adapterNow(id, now) ? kErrorSuccess : kErrorNotFound;
    if (result == kErrorSuccess) {
        Connection& c = net_[id].connection;
        c.set = true;
        c.connected = false;
        c.ssid = connectedSsid(now);
    }
    logResult("TavroNetDisconnect", id, "", result);
    return result;
}

unsigned long Simulator::profiles(const std::string& id, std::vector<TAVRONET_PROFILE>& out) {
    Locked hold(*this);
    checkFile(false);
    AdapterNow now;
    if (!adapterNow(id, now)) return kErrorNotFound;
    out.clear();
    for (const ProfileSection& p : *now.profiles) out.push_back(makeProfile(p));
    return kErrorSuccess;
}

unsigned long Simulator::moveProfile(const std::string& id, const std::string& name, unsigned long position) {
    Locked hold(*this);
    checkFile(false);
    AdapterNow now;
    unsigned long result = kErrorNotFound;
    if (adapterNow(id, now))
        result = tavro::moveProfile(net_[id].profiles, name, position, now.adapter->link.profileChangesDenied);
    logResult("TavroNetMoveProfile", id, " name=" + name + " position=" + std::to_string(position), result);
    return result;
}

unsigned long Simulator::deleteProfile(const std::string& id, const std::string& name) {
    Locked hold(*this);
    checkFile(false);
    AdapterNow now;
    unsigned long result = kErrorNotFound;
    if (adapterNow(id, now))
        result = tavro::deleteProfile(net_[id].profiles, name, now.adapter->link.profileChangesDenied);
    logResult("TavroNetDeleteProfile", id, " name=" + name, result);
    return result;
}

unsigned long Simulator::history(const std::string& id, TAVRONET_SAMPLE* out, unsigned long capacity,
                                 unsigned long& count) {
    Locked hold(*this);
    checkFile(false);
    AdapterNow now;
    if (!adapterNow(id, now)) return kErrorNotFound;
    count = net_[id].history.Copy(out, capacity);
    return kErrorSuccess;
}

std::string Simulator::driverText(const std::string& id) {
    Locked hold(*this);
    checkFile(false);
    AdapterNow now;
    return adapterNow(id, now) ? now.adapter->link.driver : std::string();
}

}  // namespace tavro
