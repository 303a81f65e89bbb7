// SimulatorNet.cpp - the simulator's side of the applet-facing interface: each
// call takes the lock, looks at the scenario file, and answers by the rules of
// NetModel.cpp over the adapter as it is now. Changes are logged to the call log.
#include "Simulator.h"

#include <cstring>

namespace tavro {

namespace {

// The system's ANSI code page, for the names in full.
WideText AnsiToWide(const std::string& bytes) {
    WideText out(bytes.size() + 1);
    int n = bytes.empty() ? 0
                          : MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                                                reinterpret_cast<WCHAR*>(&out[0]), static_cast<int>(out.size()));
    out.resize(n > 0 ? n : 0);
    return out;
}

std::string WideToAnsi(const WideText& text, bool& lossy) {
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

const AnsiCodec kSystemCodec = {AnsiToWide, WideToAnsi};

std::string Narrow(const WideText& text) {
    bool lossy;
    return WideToAnsi(text, lossy);
}

}  // namespace

bool Simulator::FindAdapterNow(const std::string& id, AdapterNow& now) {
    unsigned long elapsed = GetTickCount() - loadedAt_;
    const AdapterSection* a = PresentAdapter(id, elapsed);
    if (!a) return false;
    NetState& state = net_[id];
    if (!state.profilesCopied) {
        state.profiles = ProfilesOf(scenario_, a->index);
        state.profilesCopied = true;
    }
    now.adapter = a;
    now.elapsed = elapsed;
    for (int f = 0; f < FieldCount; ++f) now.values[f] = a->values[f].At(elapsed);
    auto over = radio_.find(id);
    if (over != radio_.end()) now.values[FieldRadio] = (now.values[FieldRadio] & ~1ul) | over->second.radioOn;
    now.networks = &scenario_.networks;
    now.profiles = &state.profiles;
    now.connection = ConnectionAt(state.attempt, GetTickCount());
    now.codec = &kSystemCodec;
    ApplyConnection(now);
    return true;
}

void Simulator::LogResult(const std::string& call, const std::string& id, const std::string& details,
                          unsigned long result) {
    Log(call + " adapter=" + id + details + " result=" + std::to_string(result));
}

unsigned long Simulator::Link(const std::string& id, TAVRONET_LINK& out) {
    Locked hold(*this);
    CheckFile(false);
    AdapterNow now;
    if (!FindAdapterNow(id, now)) return kErrorNotFound;
    out = MakeLink(now);
    return kErrorSuccess;
}

unsigned long Simulator::Networks(const std::string& id, std::vector<TAVRONET_NETWORK>& out) {
    Locked hold(*this);
    CheckFile(false);
    AdapterNow now;
    if (!FindAdapterNow(id, now)) return kErrorNotFound;
    if (now.adapter->link.locationDenied) return kErrorAccessDenied;
    out = MakeNetworks(now);
    return kErrorSuccess;
}

unsigned long Simulator::Scan(const std::string& id) {
    Locked hold(*this);
    CheckFile(false);
    AdapterNow now;
    unsigned long result = kErrorNotFound;
    if (FindAdapterNow(id, now)) {
        unsigned long state = LinkStateOf(now.values[FieldRadio], now.values[FieldAdapterState] == 1);
        bool radioOn = state == TAVRONET_STATE_CONNECTED || state == TAVRONET_STATE_NOT_CONNECTED;
        result = !radioOn ? kErrorNotReady : now.adapter->link.locationDenied ? kErrorAccessDenied : kErrorSuccess;
    }
    if (result == kErrorSuccess) {
        net_[id].scanStarted = true;
        net_[id].scanStart = GetTickCount();
    }
    LogResult("TavroNetScan", id, "", result);
    return result;
}

unsigned long Simulator::ScanState(const std::string& id, unsigned long& state) {
    Locked hold(*this);
    CheckFile(false);
    AdapterNow now;
    if (!FindAdapterNow(id, now)) return kErrorNotFound;
    const NetState& n = net_[id];
    state = tavro::ScanState(now.adapter->link, n.scanStarted, n.scanStart, GetTickCount());
    return tavro::ScanResult(now.adapter->link, n.scanStarted, state);
}

void Simulator::Ask(const std::string& id, const AdapterNow& now, bool connect, const ConnectTarget& target) {
    NetState& state = net_[id];
    ConnectAttempt& a = state.attempt;
    a.before = now.connection;
    a.sequence = ++state.requests;
    a.connect = connect;
    a.ssid = connect ? target.ssid : ConnectedSsid(now);
    a.profileNameW = target.profileNameW;
    a.reason = target.failReason;
    a.askedAt = GetTickCount();
    a.takesMs = now.adapter->link.connectMs;
}

unsigned long Simulator::Connect(const std::string& id, const TAVRONET_NETWORK& network) {
    Locked hold(*this);
    CheckFile(false);
    AdapterNow now;
    ConnectTarget target;
    unsigned long result = FindAdapterNow(id, now) ? FindConnectTarget(now, network, target) : kErrorNotFound;
    if (result == kErrorSuccess) Ask(id, now, true, target);
    std::string asked(reinterpret_cast<const char*>(network.ssid),
                      network.ssidLength < TAVRONET_SSID_BYTES ? network.ssidLength : TAVRONET_SSID_BYTES);
    LogResult("TavroNetConnect", id, " ssid=" + (result == kErrorSuccess ? target.ssid : asked), result);
    return result;
}

unsigned long Simulator::Disconnect(const std::string& id) {
    Locked hold(*this);
    CheckFile(false);
    AdapterNow now;
    unsigned long result = FindAdapterNow(id, now) ? kErrorSuccess : kErrorNotFound;
    if (result == kErrorSuccess) Ask(id, now, false, ConnectTarget());
    LogResult("TavroNetDisconnect", id, "", result);
    return result;
}

unsigned long Simulator::ConnectStatus(const std::string& id, TAVRONET_CONNECT_STATUS& out) {
    Locked hold(*this);
    CheckFile(false);
    AdapterNow now;
    if (!FindAdapterNow(id, now)) return kErrorNotFound;
    out = ConnectStatusAt(net_[id].attempt, GetTickCount(), kSystemCodec);
    return kErrorSuccess;
}

unsigned long Simulator::Profiles(const std::string& id, std::vector<TAVRONET_PROFILE>& out) {
    Locked hold(*this);
    CheckFile(false);
    AdapterNow now;
    if (!FindAdapterNow(id, now)) return kErrorNotFound;
    out.clear();
    for (const ProfileSection& p : *now.profiles) out.push_back(MakeProfile(p, kSystemCodec));
    return kErrorSuccess;
}

unsigned long Simulator::MoveProfile(const std::string& id, const ProfileKey& key, unsigned long position) {
    Locked hold(*this);
    CheckFile(false);
    AdapterNow now;
    unsigned long result = kErrorNotFound;
    if (FindAdapterNow(id, now))
        result =
            tavro::MoveProfile(net_[id].profiles, key, position, now.adapter->link.profileChangesDenied, kSystemCodec);
    LogResult(key.wide ? "TavroNetMoveProfileW" : "TavroNetMoveProfile", id,
              " name=" + (key.wide ? Narrow(key.full) : key.ansi) + " position=" + std::to_string(position), result);
    return result;
}

unsigned long Simulator::DeleteProfile(const std::string& id, const ProfileKey& key) {
    Locked hold(*this);
    CheckFile(false);
    AdapterNow now;
    unsigned long result = kErrorNotFound;
    if (FindAdapterNow(id, now))
        result = tavro::DeleteProfile(net_[id].profiles, key, now.adapter->link.profileChangesDenied, kSystemCodec);
    LogResult(key.wide ? "TavroNetDeleteProfileW" : "TavroNetDeleteProfile", id,
              " name=" + (key.wide ? Narrow(key.full) : key.ansi), result);
    return result;
}

unsigned long Simulator::History(const std::string& id, TAVRONET_SAMPLE* out, unsigned long capacity,
                                 unsigned long& count) {
    Locked hold(*this);
    CheckFile(false);
    AdapterNow now;
    if (!FindAdapterNow(id, now)) return kErrorNotFound;
    count = net_[id].history.Copy(out, capacity);
    return kErrorSuccess;
}

void Simulator::Library(const std::string& id, TAVRONET_LIBRARY& out) {
    Locked hold(*this);
    CheckFile(false);
    AdapterNow now;
    if (!FindAdapterNow(id, now)) return;
    const LinkSection& link = now.adapter->link;
    std::memcpy(out.driverVersion, link.driver.data(),
                link.driver.size() < sizeof out.driverVersion ? link.driver.size() : sizeof out.driverVersion - 1);
    out.flags = link.disconnectStopsAuto ? TAVRONET_LIBRARY_DISCONNECT_STOPS_AUTO : 0;
}

}  // namespace tavro
