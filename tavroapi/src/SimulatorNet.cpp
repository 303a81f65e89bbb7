// SimulatorNet.cpp - the simulator's side of the applet-facing interface: each
// call takes the lock, looks at the scenario file, and answers by the rules of
// NetModel.cpp over the adapter as it is now. Changes are logged to the call log.
#include "Simulator.h"

#include <cstring>

namespace tavro {

namespace {

// The system's ANSI code page, for the names in full.
WideText ansiToWide(const std::string& bytes) {
    WideText out(bytes.size() + 1);
    int n = bytes.empty() ? 0
                          : MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                                                reinterpret_cast<WCHAR*>(&out[0]), static_cast<int>(out.size()));
    out.resize(n > 0 ? n : 0);
    return out;
}

std::string wideToAnsi(const WideText& text, bool& lossy) {
    BOOL usedDefault = FALSE;
    std::string out(text.size() * 2 + 1, '\0');
    int n = text.empty() ? 0
                         : WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const WCHAR*>(&text[0]),
                                               static_cast<int>(text.size()), &out[0], static_cast<int>(out.size()),
                                               "?", &usedDefault);
    out.resize(n > 0 ? n : 0);
    lossy = usedDefault != FALSE;
    return out;
}

const AnsiCodec kSystemCodec = {ansiToWide, wideToAnsi};

std::string narrow(const WideText& text) {
    bool lossy;
    return wideToAnsi(text, lossy);
}

}  // namespace

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
    now.connection = connectionAt(state.attempt, GetTickCount());
    now.codec = &kSystemCodec;
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
    if (now.adapter->link.locationDenied) return kErrorAccessDenied;
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
        result = !radioOn ? kErrorNotReady : now.adapter->link.locationDenied ? kErrorAccessDenied : kErrorSuccess;
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
    return tavro::scanResult(now.adapter->link, n.scanStarted, state);
}

void Simulator::ask(const std::string& id, const AdapterNow& now, bool connect, const ConnectTarget& target) {
    NetState& state = net_[id];
    ConnectAttempt& a = state.attempt;
    a.before = now.connection;
    a.sequence = ++state.requests;
    a.connect = connect;
    a.ssid = connect ? target.ssid : connectedSsid(now);
    a.profileNameW = target.profileNameW;
    a.reason = target.failReason;
    a.askedAt = GetTickCount();
    a.takesMs = now.adapter->link.connectMs;
}

unsigned long Simulator::connect(const std::string& id, const TAVRONET_NETWORK& network) {
    Locked hold(*this);
    checkFile(false);
    AdapterNow now;
    ConnectTarget target;
    unsigned long result = adapterNow(id, now) ? connectTarget(now, network, target) : kErrorNotFound;
    if (result == kErrorSuccess) ask(id, now, true, target);
    std::string asked(reinterpret_cast<const char*>(network.ssid),
                      network.ssidLength < TAVRONET_SSID_BYTES ? network.ssidLength : TAVRONET_SSID_BYTES);
    logResult("TavroNetConnect", id, " ssid=" + (result == kErrorSuccess ? target.ssid : asked), result);
    return result;
}

unsigned long Simulator::disconnect(const std::string& id) {
    Locked hold(*this);
    checkFile(false);
    AdapterNow now;
    unsigned long result = adapterNow(id, now) ? kErrorSuccess : kErrorNotFound;
    if (result == kErrorSuccess) ask(id, now, false, ConnectTarget());
    logResult("TavroNetDisconnect", id, "", result);
    return result;
}

unsigned long Simulator::connectStatus(const std::string& id, TAVRONET_CONNECT_STATUS& out) {
    Locked hold(*this);
    checkFile(false);
    AdapterNow now;
    if (!adapterNow(id, now)) return kErrorNotFound;
    out = connectStatusAt(net_[id].attempt, GetTickCount(), kSystemCodec);
    return kErrorSuccess;
}

unsigned long Simulator::profiles(const std::string& id, std::vector<TAVRONET_PROFILE>& out) {
    Locked hold(*this);
    checkFile(false);
    AdapterNow now;
    if (!adapterNow(id, now)) return kErrorNotFound;
    out.clear();
    for (const ProfileSection& p : *now.profiles) out.push_back(makeProfile(p, kSystemCodec));
    return kErrorSuccess;
}

unsigned long Simulator::moveProfile(const std::string& id, const ProfileKey& key, unsigned long position) {
    Locked hold(*this);
    checkFile(false);
    AdapterNow now;
    unsigned long result = kErrorNotFound;
    if (adapterNow(id, now))
        result = tavro::moveProfile(net_[id].profiles, key, position, now.adapter->link.profileChangesDenied,
                                    kSystemCodec);
    logResult(key.wide ? "TavroNetMoveProfileW" : "TavroNetMoveProfile", id,
              " name=" + (key.wide ? narrow(key.full) : key.ansi) + " position=" + std::to_string(position), result);
    return result;
}

unsigned long Simulator::deleteProfile(const std::string& id, const ProfileKey& key) {
    Locked hold(*this);
    checkFile(false);
    AdapterNow now;
    unsigned long result = kErrorNotFound;
    if (adapterNow(id, now))
        result = tavro::deleteProfile(net_[id].profiles, key, now.adapter->link.profileChangesDenied, kSystemCodec);
    logResult(key.wide ? "TavroNetDeleteProfileW" : "TavroNetDeleteProfile", id,
              " name=" + (key.wide ? narrow(key.full) : key.ansi), result);
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

void Simulator::library(const std::string& id, TAVRONET_LIBRARY& out) {
    Locked hold(*this);
    checkFile(false);
    AdapterNow now;
    if (!adapterNow(id, now)) return;
    const LinkSection& link = now.adapter->link;
    std::memcpy(out.driverVersion, link.driver.data(),
                link.driver.size() < sizeof out.driverVersion ? link.driver.size() : sizeof out.driverVersion - 1);
    out.flags = link.disconnectStopsAuto ? TAVRONET_LIBRARY_DISCONNECT_STOPS_AUTO : 0;
}

}  // namespace tavro
