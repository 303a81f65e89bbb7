// ScenarioNet.cpp - the keys of a scenario that describe networks: the link
// details of an [adapter], the [network] sections of the site survey and the
// [profile] sections of the saved networks.
//
//   [adapter]
//   ssid = HomeNet
//   channel = 36
//   authentication = wpa2-psk
//   rssi = -52 -58 -66 every 3s
//   [network]
//   ssid = CoffeeShop
//   channel = 6
//   rssi = -71
//   [profile]
//   ssid = HomeNet
//   authentication = wpa2-psk
//
// Plain C++ with no Windows calls; the numbers are TavroNet.h's.
#include "ScenarioFile.h"

#include "ScenarioText.h"

#include "TavroNet.h"

#include <cctype>

namespace tavro {

namespace {

struct Word {
    const char* text;
    unsigned long value;
};

const Word kAuthentications[] = {
    {"open", TAVRONET_AUTH_OPEN},         {"wep", TAVRONET_AUTH_OPEN},        {"shared", TAVRONET_AUTH_SHARED},
    {"wpa", TAVRONET_AUTH_WPA},           {"wpa-psk", TAVRONET_AUTH_WPA_PSK}, {"wpa2", TAVRONET_AUTH_WPA2},
    {"wpa2-psk", TAVRONET_AUTH_WPA2_PSK}, {"wpa3", TAVRONET_AUTH_WPA3},       {"wpa3-sae", TAVRONET_AUTH_WPA3_SAE},
    {"owe", TAVRONET_AUTH_OWE},
};
const Word kCiphers[] = {
    {"none", TAVRONET_CIPHER_NONE}, {"wep", TAVRONET_CIPHER_WEP},  {"tkip", TAVRONET_CIPHER_TKIP},
    {"ccmp", TAVRONET_CIPHER_CCMP}, {"aes", TAVRONET_CIPHER_CCMP}, {"gcmp", TAVRONET_CIPHER_GCMP},
};
const Word kPhys[] = {
    {"b", TAVRONET_PHY_B},   {"a", TAVRONET_PHY_A},   {"g", TAVRONET_PHY_G},   {"n", TAVRONET_PHY_N},
    {"ac", TAVRONET_PHY_AC}, {"ax", TAVRONET_PHY_AX}, {"be", TAVRONET_PHY_BE},
};
const Word kBssTypes[] = {
    {"infrastructure", TAVRONET_BSS_INFRASTRUCTURE},
    {"adhoc", TAVRONET_BSS_ADHOC},
    {"ad-hoc", TAVRONET_BSS_ADHOC},
};
const Word kEapTypes[] = {
    {"tls", 13}, {"leap", 17}, {"sim", 18}, {"ttls", 21}, {"aka", 23}, {"peap", 25}, {"fast", 43},
};

template <size_t N>
bool LookUp(const Word (&table)[N], const std::string& text, unsigned long& value) {
    std::string w = Lower(Trim(WithoutComment(text)));
    if (w.compare(0, 6, "802.11") == 0) w.erase(0, 6);  // "802.11ac" is "ac"
    for (const Word& entry : table)
        if (w == entry.text) {
            value = entry.value;
            return true;
        }
    return false;
}

template <size_t N>
std::string Choices(const Word (&table)[N]) {
    std::string out;
    for (const Word& entry : table) out += (out.empty() ? "" : ", ") + std::string(entry.text);
    return out;
}

// The cipher a network of this authentication uses when the scenario names none.
unsigned long UsualCipher(const std::string& word, unsigned long authentication) {
    if (Lower(Trim(WithoutComment(word))) == "wep") return TAVRONET_CIPHER_WEP;
    switch (authentication) {
    case TAVRONET_AUTH_OPEN: return TAVRONET_CIPHER_NONE;
    case TAVRONET_AUTH_SHARED: return TAVRONET_CIPHER_WEP;
    case TAVRONET_AUTH_WPA:
    case TAVRONET_AUTH_WPA_PSK: return TAVRONET_CIPHER_TKIP;
    default: return TAVRONET_CIPHER_CCMP;
    }
}

bool OneNumber(const std::string& value, unsigned long& n) {
    std::vector<std::string> w = Words(WithoutComment(value));
    return w.size() == 1 && ParseElement(w[0], n);
}

// A network name: the rest of the line ('#' included), or the text between quotes.
bool ParseSsid(const std::string& value, std::string& ssid, std::string& why) {
    std::string v = value;
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
    if (v.size() > kMaxSsid) {
        why = "a network name has at most 32 bytes";
        return false;
    }
    ssid = v;
    return true;
}

// "00:1A:2B:3C:4D:5E" or with '-' between the bytes.
bool ParseAddress(const std::string& value, unsigned char (&address)[6]) {
    std::string v = Lower(Trim(WithoutComment(value)));
    if (v.size() != 17) return false;
    for (int i = 0; i < 6; ++i) {
        unsigned value8 = 0;
        for (int j = 0; j < 2; ++j) {
            char c = v[i * 3 + j];
            if (c >= '0' && c <= '9')
                value8 = value8 * 16 + (c - '0');
            else if (c >= 'a' && c <= 'f')
                value8 = value8 * 16 + (c - 'a' + 10);
            else
                return false;
        }
        if (i < 5 && v[i * 3 + 2] != ':' && v[i * 3 + 2] != '-') return false;
        address[i] = static_cast<unsigned char>(value8);
    }
    return true;
}

// 1..14 at 2.4 GHz, 32..177 at 5 GHz.
bool ParseChannel(const std::string& value, unsigned long& channel) {
    unsigned long n;
    if (!OneNumber(value, n) || !((n >= 1 && n <= 14) || (n >= 32 && n <= 177))) return false;
    channel = n;
    return true;
}

// "0 2 5": collection indices.
bool ParseAdapterList(const std::string& value, std::vector<int>& adapters) {
    std::vector<int> out;
    for (const std::string& w : Words(WithoutComment(value))) {
        unsigned long n;
        if (!ParseElement(w, n) || n > static_cast<unsigned long>(kMaxItemIndex)) return false;
        out.push_back(static_cast<int>(n));
    }
    if (out.empty()) return false;
    adapters = out;
    return true;
}

// "never", or how long a scan takes: 0, "3s", "500ms".
bool ParseScanTime(const std::string& value, LinkSection& link) {
    std::string v = Lower(Trim(WithoutComment(value)));
    if (v == "never") {
        link.scanNever = true;
        return true;
    }
    if (v == "0") {
        link.scanMs = 0;
        return true;
    }
    return ParsePeriod(v, link.scanMs);
}

// A WLAN reason code of a failure, decimal or 0x hex: 0x10000 or more, where
// no error code is.
int ParseReason(const std::string& key, const std::string& value, unsigned long& reason, std::string& why) {
    bool ok = OneNumber(value, reason) && reason >= 0x10000;
    if (!ok) why = key + " must be a WLAN reason code such as 0x2800B";
    return ok ? 1 : -1;
}

bool ParseFlag(const std::string& value, bool& flag) {
    unsigned long n;
    if (!OneNumber(value, n) || n > 1) return false;
    flag = n == 1;
    return true;
}

// The keys every kind of section shares: its network's name, channel, PHY and security.
int ParseCommonKey(const std::string& key, const std::string& value, std::string& ssid, unsigned long& channel,
                   unsigned long& phy, Security& security, std::string& why) {
    if (key == "ssid") return ParseSsid(value, ssid, why) ? 1 : -1;
    if (key == "channel") {
        if (ParseChannel(value, channel)) return 1;
        why = "channel must be 1..14 (2.4 GHz) or 32..177 (5 GHz)";
        return -1;
    }
    if (key == "phy") {
        if (LookUp(kPhys, value, phy)) return 1;
        why = "phy must be one of " + Choices(kPhys);
        return -1;
    }
    if (key == "authentication") {
        if (!LookUp(kAuthentications, value, security.authentication)) {
            why = "authentication must be one of " + Choices(kAuthentications);
            return -1;
        }
        if (!security.cipherGiven) security.cipher = UsualCipher(value, security.authentication);
        return 1;
    }
    if (key == "cipher") {
        security.cipherGiven = true;
        if (LookUp(kCiphers, value, security.cipher)) return 1;
        why = "cipher must be one of " + Choices(kCiphers);
        return -1;
    }
    return 0;
}

int Checked(bool ok, const char* problem, std::string& why) {
    if (!ok) why = problem;
    return ok ? 1 : -1;
}

// "allowed" or "denied", the latter setting `denied`.
int AllowedOrDenied(const std::string& key, const std::string& value, bool& denied, std::string& why) {
    std::string v = Lower(Trim(WithoutComment(value)));
    denied = v == "denied";
    if (v != "denied" && v != "allowed") why = key + " must be allowed or denied";
    return why.empty() ? 1 : -1;
}

// A stepping list of dBm or Mbit/s; a problem is told with the key, as for the
// numeric keys of an [adapter].
int ParseList(const std::string& key, const std::string& value, TimedValue& list, bool& given, ElementKind kind,
              std::string& why) {
    given = ParseTimedValue(value, list, why, kind);
    if (!given) why = key + ": " + why;
    return given ? 1 : -1;
}

// A network or saved network whose authentication is not given is an open one.
void OpenWhenNotGiven(Security& security) {
    if (security.authentication != 0) return;
    security.authentication = TAVRONET_AUTH_OPEN;
    if (!security.cipherGiven) security.cipher = TAVRONET_CIPHER_NONE;
}

}  // namespace

bool SeenBy(const std::vector<int>& adapters, int index) {
    if (adapters.empty()) return true;
    for (int a : adapters)
        if (a == index) return true;
    return false;
}

int ParseLinkKey(const std::string& key, const std::string& value, LinkSection& link, std::string& why) {
    int common = ParseCommonKey(key, value, link.ssid, link.channel, link.phy, link.security, why);
    if (key == "ssid") link.hasSsid = common == 1;
    if (common != 0) return common;
    if (key == "bssid") {
        link.hasBssid = ParseAddress(value, link.bssid);
        return Checked(link.hasBssid, "bssid looks like 00:1A:2B:3C:4D:5E", why);
    }
    if (key == "mac") {
        link.hasMac = ParseAddress(value, link.mac);
        return Checked(link.hasMac, "mac looks like 00:1A:2B:3C:4D:5E", why);
    }
    if (key == "rssi") return ParseList(key, value, link.rssi, link.hasRssi, DbmElements, why);
    if (key == "tx_rate") return ParseList(key, value, link.txKbps, link.hasTx, MbpsElements, why);
    if (key == "rx_rate") return ParseList(key, value, link.rxKbps, link.hasRx, MbpsElements, why);
    if (key == "autoconfig") {
        bool on = false;
        bool ok = ParseFlag(value, on);
        link.autoConfig = on ? TAVRONET_AUTOCONFIG_ON : TAVRONET_AUTOCONFIG_OFF;
        return Checked(ok, "autoconfig must be on or off", why);
    }
    if (key == "driver") {
        std::string v = Trim(WithoutComment(value));
        if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
        link.driver = v;
        return Checked(v.size() <= kMaxDriverText, "driver is longer than 63 characters", why);
    }
    if (key == "scan") return Checked(ParseScanTime(value, link), "scan must be never, 0 or a time such as 3s", why);
    if (key == "scan_fails") return ParseReason(key, value, link.scanFails, why);
    if (key == "profile_changes") return AllowedOrDenied(key, value, link.profileChangesDenied, why);
    if (key == "location") return AllowedOrDenied(key, value, link.locationDenied, why);
    if (key == "connect_time") {
        std::string v = Lower(Trim(WithoutComment(value)));
        bool ok = v == "0" ? (link.connectMs = 0, true) : ParsePeriod(v, link.connectMs);
        return Checked(ok, "connect_time must be 0 or a time such as 2s", why);
    }
    if (key == "disconnect_stops_auto")
        return Checked(ParseFlag(value, link.disconnectStopsAuto), "disconnect_stops_auto must be yes or no", why);
    return 0;
}

int ParseNetworkKey(const std::string& key, const std::string& value, NetworkSection& net, std::string& why) {
    int common = ParseCommonKey(key, value, net.ssid, net.channel, net.phy, net.security, why);
    if (common != 0) return common;
    if (key == "hidden") return Checked(ParseFlag(value, net.hidden), "hidden must be yes or no", why);
    if (key == "rssi") return ParseList(key, value, net.rssi, net.hasRssi, DbmElements, why);
    if (key == "signal") {
        net.hasSignal = OneNumber(value, net.signal) && net.signal <= 100;
        return Checked(net.hasSignal, "signal must be a percentage, 0..100", why);
    }
    if (key == "access_points") {
        bool ok = OneNumber(value, net.accessPoints) && net.accessPoints <= 1000;
        return Checked(ok, "access_points must be a number, 0..1000", why);
    }
    if (key == "bss_type") {
        if (LookUp(kBssTypes, value, net.bssType)) return 1;
        why = "bss_type must be one of " + Choices(kBssTypes);
        return -1;
    }
    if (key == "adapters")
        return Checked(ParseAdapterList(value, net.adapters), "adapters must list indices 0..31", why);
    if (key == "not_connectable") return ParseReason(key, value, net.notConnectable, why);
    if (key == "connect_fails") return ParseReason(key, value, net.connectFails, why);
    return 0;
}

int ParseProfileKey(const std::string& key, const std::string& value, ProfileSection& profile, std::string& why) {
    unsigned long unusedChannel = 0, unusedPhy = 0;
    int common = ParseCommonKey(key, value, profile.ssid, unusedChannel, unusedPhy, profile.security, why);
    if (key == "channel" || key == "phy") return 0;  // not a saved network's
    if (common != 0) return common;
    if (key == "name") {
        profile.name = value;
        return Checked(!value.empty() && value.size() <= kMaxProfileName, "name must be 1..255 bytes", why);
    }
    if (key == "wep_key_index") {
        bool ok = OneNumber(value, profile.wepKeyIndex) && profile.wepKeyIndex >= 1 && profile.wepKeyIndex <= 4;
        return Checked(ok, "wep_key_index must be 1..4", why);
    }
    if (key == "wep_key_bits") {
        bool ok = OneNumber(value, profile.wepKeyBits) && (profile.wepKeyBits == 40 || profile.wepKeyBits == 104);
        return Checked(ok, "wep_key_bits must be 40 or 104", why);
    }
    if (key == "dot1x") return Checked(ParseFlag(value, profile.oneX), "dot1x must be yes or no", why);
    if (key == "eap") {
        bool ok =
            LookUp(kEapTypes, value, profile.eapType) || (OneNumber(value, profile.eapType) && profile.eapType <= 255);
        profile.oneX = profile.oneX || ok;
        return Checked(ok, "eap must be a type number or one of tls, leap, sim, ttls, aka, peap, fast", why);
    }
    if (key == "auto_connect")
        return Checked(ParseFlag(value, profile.autoConnect), "auto_connect must be yes or no", why);
    if (key == "group_policy")
        return Checked(ParseFlag(value, profile.groupPolicy), "group_policy must be yes or no", why);
    if (key == "per_user") return Checked(ParseFlag(value, profile.perUser), "per_user must be yes or no", why);
    if (key == "bss_type") {
        if (LookUp(kBssTypes, value, profile.bssType)) return 1;
        why = "bss_type must be one of " + Choices(kBssTypes);
        return -1;
    }
    if (key == "adapters")
        return Checked(ParseAdapterList(value, profile.adapters), "adapters must list indices 0..31", why);
    return 0;
}

bool CompleteNetwork(NetworkSection& net, std::string& why) {
    OpenWhenNotGiven(net.security);
    if (net.ssid.empty() && !net.hidden) why = "a [network] needs an ssid, or hidden = yes";
    return why.empty();
}

bool CompleteProfile(ProfileSection& profile, std::string& why) {
    OpenWhenNotGiven(profile.security);
    if (profile.ssid.empty()) why = "a [profile] needs an ssid";
    if (profile.name.empty()) profile.name = profile.ssid;
    return why.empty();
}

}  // namespace tavro
