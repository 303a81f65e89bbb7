// NetModel.cpp - the simulator's answers to the applet-facing interface,
// worked out from the scenario and the changes made through the library.
#include "NetModel.h"

#include <cstring>

namespace tavro {

namespace {

long AsDbm(unsigned long element) { return static_cast<long>(element); }

void SetSsid(const std::string& ssid, unsigned long& length, unsigned char (&bytes)[TAVRONET_SSID_BYTES]) {
    length = ssid.size() < TAVRONET_SSID_BYTES ? ssid.size() : TAVRONET_SSID_BYTES;
    std::memcpy(bytes, ssid.data(), length);
}

void SetText(char* dest, const std::string& text, size_t capacity) {
    size_t n = text.size() < capacity - 1 ? text.size() : capacity - 1;
    std::memcpy(dest, text.data(), n);
    dest[n] = '\0';
}

// One character of valid UTF-8 at `at`: its code point and length; 0 length when invalid.
size_t Utf8Character(const std::string& bytes, size_t at, unsigned long& code) {
    const unsigned char lead = static_cast<unsigned char>(bytes[at]);
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || at + length > bytes.size()) return 0;
    code = lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        const unsigned char next = static_cast<unsigned char>(bytes[at + i]);
        if ((next & 0xC0) != 0x80) return 0;
        code = (code << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
    const unsigned long least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < least[length] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return 0;
    return length;
}

// The name of a saved network as its ANSI form, and whether that lost a character.
std::string AnsiName(const ProfileSection& p, const AnsiCodec& codec, bool& lossy) {
    lossy = false;
    return codec.toAnsi(DecodeName(p.name, codec), lossy);
}

void SetProfileNames(const ProfileSection& p, const AnsiCodec& codec, char* ansi, size_t ansiCapacity,
                     TAVRONET_WCHAR* wide, size_t wideCapacity) {
    bool lossy;
    SetText(ansi, AnsiName(p, codec, lossy), ansiCapacity);
    SetWide(wide, wideCapacity, DecodeName(p.name, codec));
}

const ProfileSection* ProfileFor(const AdapterNow& now, const std::string& ssid) {
    for (const ProfileSection& p : *now.profiles)
        if (p.ssid == ssid) return &p;
    return nullptr;
}

// The signal and RSSI of a [network] now; false when it gives neither.
bool NetworkSignal(const NetworkSection& net, unsigned long elapsed, unsigned long& percent, long& dbm) {
    dbm = net.hasRssi ? AsDbm(net.rssi.At(elapsed)) : 0;
    percent = net.hasSignal ? net.signal : PercentFromRssi(dbm);
    return net.hasSignal || net.hasRssi;
}

TAVRONET_NETWORK NetworkEntry(const AdapterNow& now, const NetworkSection& net) {
    TAVRONET_NETWORK n = {};
    n.size = sizeof n;
    n.known = TAVRONET_KNOWN_SSID | TAVRONET_KNOWN_SECURITY;
    if (!net.hidden) {
        SetSsid(net.ssid, n.ssidLength, n.ssid);
        SetWide(n.ssidW, TAVRONET_SSID_CHARS, DecodeName(net.ssid, *now.codec));
    }
    if (NetworkSignal(net, now.elapsed, n.signalPercent, n.rssiDbm)) n.known |= TAVRONET_KNOWN_SIGNAL;
    if (net.hasRssi) n.known |= TAVRONET_KNOWN_RSSI;
    n.channel = net.channel;
    n.frequencyMHz = FrequencyOfChannel(net.channel);
    if (net.channel) n.known |= TAVRONET_KNOWN_CHANNEL;
    n.phy = net.phy;
    if (net.phy) n.known |= TAVRONET_KNOWN_PHY;
    n.authentication = net.security.authentication;
    n.cipher = net.security.cipher;
    n.bssType = net.bssType;
    n.accessPoints = net.accessPoints;
    const ProfileSection* p = net.hidden ? nullptr : ProfileFor(now, net.ssid);
    if (p) {
        n.flags |= TAVRONET_NETWORK_HAS_PROFILE;
        SetProfileNames(*p, *now.codec, n.profileName, sizeof n.profileName, n.profileNameW, TAVRONET_NAME_CHARS);
    }
    if (net.notConnectable) {
        n.flags |= TAVRONET_NETWORK_NOT_CONNECTABLE;
        n.notConnectableReason = net.notConnectable;
    }
    return n;
}

// The network entry the link itself gives, for a connection no [network] names.
TAVRONET_NETWORK LinkEntry(const TAVRONET_LINK& link) {
    TAVRONET_NETWORK n = {};
    n.size = sizeof n;
    n.known =
        link.known & ~(TAVRONET_KNOWN_BSSID | TAVRONET_KNOWN_TX_RATE | TAVRONET_KNOWN_RX_RATE | TAVRONET_KNOWN_MAC);
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
    std::memcpy(n.ssidW, link.ssidW, sizeof n.ssidW);
    std::memcpy(n.profileNameW, link.profileNameW, sizeof n.profileNameW);
    return n;
}

// Fills the details of the connected network: first from its [network], then,
// when it is the scenario's own, from the [adapter]'s keys.
void AddConnectedDetails(const AdapterNow& now, const std::string& ssid, TAVRONET_LINK& l) {
    const LinkSection& own = now.adapter->link;
    bool scenarios = !now.connection.set || ssid == own.ssid;
    const NetworkSection* net = VisibleNetwork(now, ssid);
    long dbm = 0;
    bool hasRssi = scenarios && own.hasRssi;
    if (hasRssi) {
        dbm = AsDbm(own.rssi.At(now.elapsed));
    } else if (net && net->hasRssi) {
        dbm = AsDbm(net->rssi.At(now.elapsed));
        hasRssi = true;
    }
    l.rssiDbm = dbm;
    l.signalPercent = hasRssi ? PercentFromRssi(dbm) : SignalFromQuality(now.values[FieldQuality]);
    l.known |= TAVRONET_KNOWN_SIGNAL | TAVRONET_KNOWN_TX_RATE | (hasRssi ? TAVRONET_KNOWN_RSSI : 0);
    if (!ssid.empty()) l.known |= TAVRONET_KNOWN_SSID;  // a scenario may name no network

    l.channel = scenarios && own.channel ? own.channel : net ? net->channel : 0;
    l.phy = scenarios && own.phy ? own.phy : net ? net->phy : 0;
    Security security = scenarios && own.security.authentication ? own.security : net ? net->security : Security();
    l.authentication = security.authentication;
    l.cipher = security.cipher;
    l.bssType = net ? net->bssType : TAVRONET_BSS_INFRASTRUCTURE;
    l.frequencyMHz = FrequencyOfChannel(l.channel);
    if (l.channel) l.known |= TAVRONET_KNOWN_CHANNEL;
    if (l.phy) l.known |= TAVRONET_KNOWN_PHY;
    if (l.authentication) l.known |= TAVRONET_KNOWN_SECURITY;
    if (scenarios && own.hasBssid) {
        std::memcpy(l.bssid, own.bssid, sizeof l.bssid);
        l.known |= TAVRONET_KNOWN_BSSID;
    }
    l.txRateKbps = scenarios && own.hasTx ? own.txKbps.At(now.elapsed) : now.values[FieldRate] * 500;
    if (scenarios && own.hasRx) {
        l.rxRateKbps = own.rxKbps.At(now.elapsed);
        l.known |= TAVRONET_KNOWN_RX_RATE;
    }
    const ProfileSection* p = ProfileFor(now, ssid);
    if (p) SetProfileNames(*p, *now.codec, l.profileName, sizeof l.profileName, l.profileNameW, TAVRONET_NAME_CHARS);
}

bool IsOpen(const Security& s) { return s.authentication == TAVRONET_AUTH_OPEN && s.cipher == TAVRONET_CIPHER_NONE; }

}  // namespace

WideText DecodeName(const std::string& bytes, const AnsiCodec& codec) {
    WideText out;
    unsigned long code = 0;
    for (size_t at = 0; at < bytes.size();) {
        const size_t length = Utf8Character(bytes, at, code);
        if (length == 0) return codec.toWide(bytes);
        if (code >= 0x10000) {  // a surrogate pair
            out.push_back(static_cast<TAVRONET_WCHAR>(0xD800 + ((code - 0x10000) >> 10)));
            code = 0xDC00 + ((code - 0x10000) & 0x3FF);
        }
        out.push_back(static_cast<TAVRONET_WCHAR>(code));
        at += length;
    }
    return out;
}

void SetWide(TAVRONET_WCHAR* field, size_t capacity, const WideText& text) {
    size_t n = text.size() < capacity - 1 ? text.size() : capacity - 1;
    // A surrogate pair is kept whole or not at all.
    if (n > 0 && n < text.size() && text[n - 1] >= 0xD800 && text[n - 1] <= 0xDBFF) --n;
    for (size_t i = 0; i < n; ++i) field[i] = text[i];
    field[n] = 0;
}

WideText WideOf(const TAVRONET_WCHAR* field, size_t capacity) {
    WideText out;
    for (size_t i = 0; i < capacity && field[i]; ++i) out.push_back(field[i]);
    return out;
}

const char* ReasonText(unsigned long reason) {
    // The meanings Windows gives the WLAN reason codes the simulator uses.
    struct Reason {
        unsigned long code;
        const char* text;
    };
    static const Reason kReasons[] = {
        {0x00000, "The operation succeeded."},
        {0x10001, "The reason for the failure is unknown."},
        {0x20001, "The wireless network is incompatible."},
        {0x20002, "The wireless network profile is incompatible."},
        {0x28002, "The wireless network is not visible."},
        {0x28003, "The wireless network is blocked by group policy."},
        {0x28004, "The wireless network is blocked by the user."},
        {0x28005, "The basic service set (BSS) type is not allowed on this wireless adapter."},
        {0x2800B, "The specified network is not available."},
        {0x2800C, "The profile was changed or deleted before the connection was established."},
        {0x2800D, "The profile key does not match the network key."},
    };
    for (const Reason& each : kReasons)
        if (each.code == reason) return each.text;
    return nullptr;
}

Connection ConnectionAt(const ConnectAttempt& attempt, unsigned long nowTick) {
    if (attempt.sequence == 0) return Connection();
    const bool ended = nowTick - attempt.askedAt >= attempt.takesMs;
    if (!attempt.connect) return ended ? Connection{true, false, attempt.ssid} : attempt.before;
    return Connection{true, ended && attempt.reason == 0, attempt.ssid};
}

TAVRONET_CONNECT_STATUS ConnectStatusAt(const ConnectAttempt& attempt, unsigned long nowTick, const AnsiCodec& codec) {
    TAVRONET_CONNECT_STATUS s = {};
    s.size = sizeof s;
    s.sequence = attempt.sequence;
    if (attempt.sequence == 0) return s;
    const bool ended = nowTick - attempt.askedAt >= attempt.takesMs;
    if (!attempt.connect)
        s.state = ended ? TAVRONET_CONNECT_DISCONNECTED : TAVRONET_CONNECT_DISCONNECTING;
    else if (!ended)
        s.state = TAVRONET_CONNECT_CONNECTING;
    else
        s.state = attempt.reason ? TAVRONET_CONNECT_FAILED : TAVRONET_CONNECT_CONNECTED;
    if (s.state == TAVRONET_CONNECT_FAILED) s.reason = attempt.reason;
    SetSsid(attempt.ssid, s.ssidLength, s.ssid);
    SetWide(s.ssidW, TAVRONET_SSID_CHARS, DecodeName(attempt.ssid, codec));
    SetWide(s.profileNameW, TAVRONET_NAME_CHARS, attempt.profileNameW);
    return s;
}

unsigned long SignalFromQuality(unsigned long quality) { return quality >= 15 ? 100 : quality * 100 / 15; }

unsigned long QualityFromSignal(unsigned long percent) { return percent >= 100 ? 15 : (percent * 15 + 50) / 100; }

unsigned long FrequencyOfChannel(unsigned long channel) {
    if (channel == 14) return 2484;
    if (channel >= 1 && channel <= 13) return 2407 + 5 * channel;
    if (channel >= 32 && channel <= 177) return 5000 + 5 * channel;
    return 0;
}

std::string ConnectedSsid(const AdapterNow& now) {
    return now.connection.set ? now.connection.ssid : now.adapter->link.ssid;
}

const NetworkSection* VisibleNetwork(const AdapterNow& now, const std::string& ssid) {
    for (const NetworkSection& n : *now.networks)
        if (n.ssid == ssid && SeenBy(n.adapters, now.adapter->index)) return &n;
    return nullptr;
}

void ApplyConnection(AdapterNow& now) {
    if (!now.connection.set) return;
    now.values[FieldAdapterState] = now.connection.connected ? 1 : 0;
    const NetworkSection* net = VisibleNetwork(now, now.connection.ssid);
    unsigned long percent;
    long dbm;
    if (now.connection.connected && now.connection.ssid != now.adapter->link.ssid && net &&
        NetworkSignal(*net, now.elapsed, percent, dbm))
        now.values[FieldQuality] = QualityFromSignal(percent);
}

TAVRONET_LINK MakeLink(const AdapterNow& now) {
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
    std::string ssid = ConnectedSsid(now);
    AddConnectedDetails(now, ssid, l);
    if (own.locationDenied) {
        // Windows withholds what tells where the adapter is: the network's
        // name and the access point.
        l.locationDenied = 1;
        l.known &= ~(TAVRONET_KNOWN_SSID | TAVRONET_KNOWN_BSSID);
        std::memset(l.bssid, 0, sizeof l.bssid);
        return l;
    }
    SetSsid(ssid, l.ssidLength, l.ssid);
    SetWide(l.ssidW, TAVRONET_SSID_CHARS, DecodeName(ssid, *now.codec));
    return l;
}

std::vector<TAVRONET_NETWORK> MakeNetworks(const AdapterNow& now) {
    std::vector<TAVRONET_NETWORK> out;
    TAVRONET_LINK link = MakeLink(now);
    if (link.state == TAVRONET_STATE_RADIO_OFF || link.state == TAVRONET_STATE_SWITCH_OFF) return out;
    bool connected = link.state == TAVRONET_STATE_CONNECTED;
    bool listed = false;
    for (const NetworkSection& net : *now.networks) {
        if (!SeenBy(net.adapters, now.adapter->index)) continue;
        TAVRONET_NETWORK n = NetworkEntry(now, net);
        if (connected && !listed && !net.hidden && net.ssid == ConnectedSsid(now)) {
            listed = true;
            n.flags |= TAVRONET_NETWORK_CONNECTED;
            n.signalPercent = link.signalPercent;  // the adapter's own reading
            n.rssiDbm = link.rssiDbm;
            n.known = (n.known & ~TAVRONET_KNOWN_RSSI) | (link.known & (TAVRONET_KNOWN_SIGNAL | TAVRONET_KNOWN_RSSI));
        }
        out.push_back(n);
    }
    if (connected && !listed && link.ssidLength > 0) out.push_back(LinkEntry(link));
    return out;
}

TAVRONET_PROFILE MakeProfile(const ProfileSection& p, const AnsiCodec& codec) {
    TAVRONET_PROFILE out = {};
    out.size = sizeof out;
    SetProfileNames(p, codec, out.name, sizeof out.name, out.nameW, TAVRONET_NAME_CHARS);
    SetSsid(p.ssid, out.ssidLength, out.ssid);
    SetWide(out.ssidW, TAVRONET_SSID_CHARS, DecodeName(p.ssid, codec));
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

std::vector<ProfileSection> ProfilesOf(const Scenario& scenario, int index) {
    std::vector<ProfileSection> out;
    for (const ProfileSection& p : scenario.profiles)
        if (SeenBy(p.adapters, index)) out.push_back(p);
    return out;
}

unsigned long FindConnectTarget(const AdapterNow& now, const TAVRONET_NETWORK& network, ConnectTarget& target) {
    unsigned long state = LinkStateOf(now.values[FieldRadio], now.values[FieldAdapterState] == 1);
    if (state == TAVRONET_STATE_RADIO_OFF || state == TAVRONET_STATE_SWITCH_OFF) return kErrorNotReady;
    std::string wanted(reinterpret_cast<const char*>(network.ssid),
                       network.ssidLength < TAVRONET_SSID_BYTES ? network.ssidLength : TAVRONET_SSID_BYTES);
    // The saved network by its name in full where the caller gives it, else by its ANSI form.
    ProfileKey key;
    key.full = WideOf(network.profileNameW, TAVRONET_NAME_CHARS);
    key.wide = !key.full.empty();
    key.ansi.assign(network.profileName, strnlen(network.profileName, sizeof network.profileName));
    unsigned long error = kErrorSuccess;
    const int p = key.wide || !key.ansi.empty() ? FindProfile(*now.profiles, key, *now.codec, error) : -1;
    if (error != kErrorSuccess) return error;
    if (p >= 0) wanted = (*now.profiles)[p].ssid;  // a hidden network is reached by its profile
    const NetworkSection* net = VisibleNetwork(now, wanted);
    if (!net || wanted.empty()) return kErrorNotFound;
    const ProfileSection* saved = p >= 0 ? &(*now.profiles)[p] : ProfileFor(now, wanted);
    if (!saved && !IsOpen(net->security)) return kErrorNotFound;
    target.ssid = wanted;
    target.profileNameW = saved ? DecodeName(saved->name, *now.codec) : WideText();
    // Windows takes the request and tells later why it could not join.
    target.failReason = net->notConnectable ? net->notConnectable : net->connectFails;
    return kErrorSuccess;
}

int FindProfile(const std::vector<ProfileSection>& profiles, const ProfileKey& key, const AnsiCodec& codec,
                unsigned long& error) {
    int found = -1;
    error = kErrorNotFound;
    for (size_t i = 0; i < profiles.size(); ++i) {
        bool lossy = false;
        const bool match = key.wide ? DecodeName(profiles[i].name, codec) == key.full
                                    : AnsiName(profiles[i], codec, lossy) == key.ansi;
        if (!match) continue;
        // An ANSI name reaches a saved network only when it is that name whole and no other's.
        if (lossy || found >= 0) {
            error = kErrorNoUnicodeTranslation;
            return -1;
        }
        found = static_cast<int>(i);
        error = kErrorSuccess;
    }
    return found;
}

unsigned long MoveProfile(std::vector<ProfileSection>& profiles, const ProfileKey& key, unsigned long position,
                          bool denied, const AnsiCodec& codec) {
    unsigned long error;
    int from = FindProfile(profiles, key, codec, error);
    if (from < 0) return error;
    if (position >= profiles.size()) return kErrorInvalidParameter;
    unsigned long policyCount = 0;
    for (const ProfileSection& p : profiles) policyCount += p.groupPolicy ? 1 : 0;
    if (denied || profiles[from].groupPolicy || position < policyCount) return kErrorAccessDenied;
    ProfileSection moving = profiles[from];
    profiles.erase(profiles.begin() + from);
    profiles.insert(profiles.begin() + position, moving);
    return kErrorSuccess;
}

unsigned long DeleteProfile(std::vector<ProfileSection>& profiles, const ProfileKey& key, bool denied,
                            const AnsiCodec& codec) {
    unsigned long error;
    int at = FindProfile(profiles, key, codec, error);
    if (at < 0) return error;
    if (denied || profiles[at].groupPolicy) return kErrorAccessDenied;
    profiles.erase(profiles.begin() + at);
    return kErrorSuccess;
}

unsigned long ScanState(const LinkSection& link, bool started, unsigned long startTick, unsigned long nowTick) {
    if (!started) return TAVRONET_SCAN_DONE;
    if (link.scanNever || nowTick - startTick < link.scanMs) return TAVRONET_SCAN_PENDING;
    return TAVRONET_SCAN_DONE;
}

unsigned long ScanResult(const LinkSection& link, bool started, unsigned long state) {
    return started && state == TAVRONET_SCAN_DONE ? link.scanFails : 0;
}

TAVRONET_SAMPLE SampleOf(const TAVRONET_LINK& link, unsigned long tick) {
    TAVRONET_SAMPLE s = {};
    s.tick = tick;
    s.linked = link.state == TAVRONET_STATE_CONNECTED ? 1 : 0;
    s.signalPercent = static_cast<unsigned char>(link.signalPercent);
    s.rssiDbm = static_cast<short>(link.known & TAVRONET_KNOWN_RSSI ? link.rssiDbm : 0);
    return s;
}

}  // namespace tavro
