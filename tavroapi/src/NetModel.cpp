// NetModel.cpp - the simulator's answers to the applet-facing interface,
// worked out from the scenario and the changes made through the library.
#include "NetModel.h"

#include <cstring>

namespace tavro {

namespace {

long asDbm(unsigned long element) { return static_cast<long>(element); }

void setSsid(const std::string& ssid, unsigned long& length, unsigned char (&bytes)[TAVRONET_SSID_BYTES]) {
    length = ssid.size() < TAVRONET_SSID_BYTES ? ssid.size() : TAVRONET_SSID_BYTES;
    std::memcpy(bytes, ssid.data(), length);
}

void setText(char* dest, const std::string& text, size_t capacity) {
    size_t n = text.size() < capacity - 1 ? text.size() : capacity - 1;
    std::memcpy(dest, text.data(), n);
    dest[n] = '\0';
}

const ProfileSection* profileFor(const AdapterNow& now, const std::string& ssid) {
    for (const ProfileSection& p : *now.profiles)
        if (p.ssid == ssid) return &p;
    return nullptr;
}

// The signal and RSSI of a [network] now; false when it gives neither.
bool networkSignal(const NetworkSection& net, unsigned long elapsed, unsigned long& percent, long& dbm) {
    dbm = net.hasRssi ? asDbm(net.rssi.at(elapsed)) : 0;
    percent = net.hasSignal ? net.signal : PercentFromRssi(dbm);
    return net.hasSignal || net.hasRssi;
}

TAVRONET_NETWORK networkEntry(const AdapterNow& now, const NetworkSection& net) {
    TAVRONET_NETWORK n = {};
    n.size = sizeof n;
    n.known = TAVRONET_KNOWN_SSID | TAVRONET_KNOWN_SECURITY;
    if (!net.hidden) setSsid(net.ssid, n.ssidLength, n.ssid);
    if (networkSignal(net, now.elapsed, n.signalPercent, n.rssiDbm)) n.known |= TAVRONET_KNOWN_SIGNAL;
    if (net.hasRssi) n.known |= TAVRONET_KNOWN_RSSI;
    n.channel = net.channel;
    n.frequencyMHz = frequencyOfChannel(net.channel);
    if (net.channel) n.known |= TAVRONET_KNOWN_CHANNEL;
    n.phy = net.phy;
    if (net.phy) n.known |= TAVRONET_KNOWN_PHY;
    n.authentication = net.security.authentication;
    n.cipher = net.security.cipher;
    n.bssType = net.bssType;
    n.accessPoints = net.accessPoints;
    const ProfileSection* p = net.hidden ? nullptr : profileFor(now, net.ssid);
    if (p) {
        n.flags |= TAVRONET_NETWORK_HAS_PROFILE;
        setText(n.profileName, p->name, sizeof n.profileName);
    }
    return n;
}

// The network entry the link itself gives, for a connection no [network] names.
TAVRONET_NETWORK linkEntry(const TAVRONET_LINK& link) {
    TAVRONET_NETWORK n = {};
    n.size = sizeof n;
    n.known = link.known & ~(TAVRONET_KNOWN_BSSID | TAVRONET_KNOWN_TX_RATE | TAVRONET_KNOWN_RX_RATE |
                             TAVRONET_KNOWN_MAC);
    n.ssidLength = link.ssidLength;
    std::memcpy(n.ssid, link.ssid, sizeof n.ssid);
    n.signalPercent = link.signalPercent;
    n.rssiDbm = link.rssiDbm;
    n.channel = link.channel;
    n.frequencyMHz = link.frequencyMHz;
    n.phy = link.phy;
    n.authentication = link.authentication;
    n.cipher = link.cipher;
    n.bssType = link.bssType;
    n.accessPoints = 1;
    n.flags = TAVRONET_NETWORK_CONNECTED | (link.profileName[0] ? TAVRONET_NETWORK_HAS_PROFILE : 0);
    std::memcpy(n.profileName, link.profileName, sizeof n.profileName);
    return n;
}

// Fills the details of the connected network: first from its [network], then,
// when it is the scenario's own, from the [adapter]'s keys.
void addConnectedDetails(const AdapterNow& now, const std::string& ssid, TAVRONET_LINK& l) {
    const LinkSection& own = now.adapter->link;
    bool scenarios = !now.connection.set || ssid == own.ssid;
    const NetworkSection* net = visibleNetwork(now, ssid);
    long dbm = 0;
    bool hasRssi = scenarios && own.hasRssi;
    if (hasRssi) {
        dbm = asDbm(own.rssi.at(now.elapsed));
    } else if (net && net->hasRssi) {
        dbm = asDbm(net->rssi.at(now.elapsed));
        hasRssi = true;
    }
    l.rssiDbm = dbm;
    l.signalPercent = hasRssi ? PercentFromRssi(dbm) : signalFromQuality(now.values[FieldQuality]);
    l.known |= TAVRONET_KNOWN_SIGNAL | TAVRONET_KNOWN_TX_RATE | (hasRssi ? TAVRONET_KNOWN_RSSI : 0);
    if (!ssid.empty()) l.known |= TAVRONET_KNOWN_SSID;  // a scenario may name no network

    l.channel = scenarios && own.channel ? own.channel : net ? net->channel : 0;
    l.phy = scenarios && own.phy ? own.phy : net ? net->phy : 0;
    Security security = scenarios && own.security.authentication ? own.security
                        : net                                    ? net->security
                                                                 : Security();
    l.authentication = security.authentication;
    l.cipher = security.cipher;
    l.bssType = net ? net->bssType : TAVRONET_BSS_INFRASTRUCTURE;
    l.frequencyMHz = frequencyOfChannel(l.channel);
    if (l.channel) l.known |= TAVRONET_KNOWN_CHANNEL;
    if (l.phy) l.known |= TAVRONET_KNOWN_PHY;
    if (l.authentication) l.known |= TAVRONET_KNOWN_SECURITY;
    if (scenarios && own.hasBssid) {
        std::memcpy(l.bssid, own.bssid, sizeof l.bssid);
        l.known |= TAVRONET_KNOWN_BSSID;
    }
    l.txRateKbps = scenarios && own.hasTx ? own.txKbps.at(now.elapsed) : now.values[FieldRate] * 500;
    if (scenarios && own.hasRx) {
        l.rxRateKbps = own.rxKbps.at(now.elapsed);
        l.known |= TAVRONET_KNOWN_RX_RATE;
    }
    const ProfileSection* p = profileFor(now, ssid);
    if (p) setText(l.profileName, p->name, sizeof l.profileName);
}

bool isOpen(const Security& s) {
    return s.authentication == TAVRONET_AUTH_OPEN && s.cipher == TAVRONET_CIPHER_NONE;
}

int profileIndex(const std::vector<ProfileSection>& profiles, const std::string& name) {
    for (size_t i = 0; i < profiles.size(); ++i)
        if (profiles[i].name == name) return static_cast<int>(i);
    return -1;
}

}  // namespace

unsigned long signalFromQuality(unsigned long quality) {
    return quality >= 15 ? 100 : quality * 100 / 15;
}

unsigned long qualityFromSignal(unsigned long percent) {
    return percent >= 100 ? 15 : (percent * 15 + 50) / 100;
}

unsigned long frequencyOfChannel(unsigned long channel) {
    if (channel == 14) return 2484;
    if (channel >= 1 && channel <= 13) return 2407 + 5 * channel;
    if (channel >= 32 && channel <= 177) return 5000 + 5 * channel;
    return 0;
}

std::string connectedSsid(const AdapterNow& now) {
    return now.connection.set ? now.connection.ssid : now.adapter->link.ssid;
}

const NetworkSection* visibleNetwork(const AdapterNow& now, const std::string& ssid) {
    for (const NetworkSection& n : *now.networks)
        if (n.ssid == ssid && seenBy(n.adapters, now.adapter->index)) return &n;
    return nullptr;
}

void applyConnection(AdapterNow& now) {
    if (!now.connection.set) return;
    now.values[FieldAdapterState] = now.connection.connected ? 1 : 0;
    const NetworkSection* net = visibleNetwork(now, now.connection.ssid);
    unsigned long percent;
    long dbm;
    if (now.connection.connected && now.connection.ssid != now.adapter->link.ssid && net &&
        networkSignal(*net, now.elapsed, percent, dbm))
        now.values[FieldQuality] = qualityFromSignal(percent);
}

TAVRONET_LINK makeLink(const AdapterNow& now) {
    TAVRONET_LINK l = {};
    l.size = sizeof l;
    const LinkSection& own = now.adapter->link;
    l.state = LinkStateOf(now.values[FieldRadio], now.values[FieldAdapterState] == 1);
    l.autoConfig = own.autoConfig;
    if (own.hasMac) {
        std::memcpy(l.macAddress, own.mac, sizeof l.macAddress);
        l.known |= TAVRONET_KNOWN_MAC;
    }
    if (l.state != TAVRONET_STATE_CONNECTED) return l;
    std::string ssid = connectedSsid(now);
    setSsid(ssid, l.ssidLength, l.ssid);
    addConnectedDetails(now, ssid, l);
    return l;
}

std::vector<TAVRONET_NETWORK> makeNetworks(const AdapterNow& now) {
    std::vector<TAVRONET_NETWORK> out;
    TAVRONET_LINK link = makeLink(now);
    if (link.state == TAVRONET_STATE_RADIO_OFF || link.state == TAVRONET_STATE_SWITCH_OFF) return out;
    bool connected = link.state == TAVRONET_STATE_CONNECTED;
    bool listed = false;
    for (const NetworkSection& net : *now.networks) {
        if (!seenBy(net.adapters, now.adapter->index)) continue;
        TAVRONET_NETWORK n = networkEntry(now, net);
        if (connected && !listed && !net.hidden && net.ssid == connectedSsid(now)) {
            listed = true;
            n.flags |= TAVRONET_NETWORK_CONNECTED;
            n.signalPercent = link.signalPercent;  // the adapter's own reading
            n.rssiDbm = link.rssiDbm;
            n.known = (n.known & ~TAVRONET_KNOWN_RSSI) | (link.known & (TAVRONET_KNOWN_SIGNAL | TAVRONET_KNOWN_RSSI));
        }
        out.push_back(n);
    }
    if (connected && !listed && link.ssidLength > 0) out.push_back(linkEntry(link));
    return out;
}

TAVRONET_PROFILE makeProfile(const ProfileSection& p) {
    TAVRONET_PROFILE out = {};
    out.size = sizeof out;
    setText(out.name, p.name, sizeof out.name);
    setSsid(p.ssid, out.ssidLength, out.ssid);
    out.flags = (p.groupPolicy ? TAVRONET_PROFILE_GROUP_POLICY : 0) | (p.perUser ? TAVRONET_PROFILE_PER_USER : 0) |
                (p.autoConnect ? TAVRONET_PROFILE_AUTO_CONNECT : 0);
    out.bssType = p.bssType;
    out.authentication = p.security.authentication;
    out.cipher = p.security.cipher;
    out.wepKeyIndex = p.wepKeyIndex;
    out.wepKeyBits = p.wepKeyBits;
    out.oneX = p.oneX ? 1 : 0;
    out.eapType = p.eapType;
    return out;
}

std::vector<ProfileSection> profilesOf(const Scenario& scenario, int index) {
    std::vector<ProfileSection> out;
    for (const ProfileSection& p : scenario.profiles)
        if (seenBy(p.adapters, index)) out.push_back(p);
    return out;
}

unsigned long connectTarget(const AdapterNow& now, const TAVRONET_NETWORK& network, std::string& ssid) {
    unsigned long state = LinkStateOf(now.values[FieldRadio], now.values[FieldAdapterState] == 1);
    if (state == TAVRONET_STATE_RADIO_OFF || state == TAVRONET_STATE_SWITCH_OFF) return kErrorNotReady;
    std::string wanted(reinterpret_cast<const char*>(network.ssid),
                       network.ssidLength < TAVRONET_SSID_BYTES ? network.ssidLength : TAVRONET_SSID_BYTES);
    std::string profileName(network.profileName, strnlen(network.profileName, sizeof network.profileName));
    int p = profileName.empty() ? -1 : profileIndex(*now.profiles, profileName);
    if (!profileName.empty() && p < 0) return kErrorNotFound;
    if (p >= 0) wanted = (*now.profiles)[p].ssid;  // a hidden network is reached by its profile
    const NetworkSection* net = visibleNetwork(now, wanted);
    if (!net || wanted.empty()) return kErrorNotFound;
    if (p < 0 && !profileFor(now, wanted) && !isOpen(net->security)) return kErrorNotFound;
    ssid = wanted;
    return kErrorSuccess;
}

unsigned long moveProfile(std::vector<ProfileSection>& profiles, const std::string& name,
                          unsigned long position, bool denied) {
    int from = profileIndex(profiles, name);
    if (from < 0) return kErrorNotFound;
    if (position >= profiles.size()) return kErrorInvalidParameter;
    unsigned long policyCount = 0;
    for (const ProfileSection& p : profiles) policyCount += p.groupPolicy ? 1 : 0;
    if (denied || profiles[from].groupPolicy || position < policyCount) return kErrorAccessDenied;
    ProfileSection moving = profiles[from];
    profiles.erase(profiles.begin() + from);
    profiles.insert(profiles.begin() + position, moving);
    return kErrorSuccess;
}

unsigned long deleteProfile(std::vector<ProfileSection>& profiles, const std::string& name, bool denied) {
    int at = profileIndex(profiles, name);
    if (at < 0) return kErrorNotFound;
    if (denied || profiles[at].groupPolicy) return kErrorAccessDenied;
    profiles.erase(profiles.begin() + at);
    return kErrorSuccess;
}

unsigned long scanState(const LinkSection& link, bool started, unsigned long startTick, unsigned long nowTick) {
    if (!started) return TAVRONET_SCAN_DONE;
    if (link.scanNever || nowTick - startTick < link.scanMs) return TAVRONET_SCAN_PENDING;
    return TAVRONET_SCAN_DONE;
}

TAVRONET_SAMPLE sampleOf(const TAVRONET_LINK& link, unsigned long tick) {
    TAVRONET_SAMPLE s = {};
    s.tick = tick;
    s.linked = link.state == TAVRONET_STATE_CONNECTED ? 1 : 0;
    s.signalPercent = static_cast<unsigned char>(link.signalPercent);
    s.rssiDbm = static_cast<short>(link.known & TAVRONET_KNOWN_RSSI ? link.rssiDbm : 0);
    return s;
}

}  // namespace tavro
