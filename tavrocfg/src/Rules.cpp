// The applet's pure rules: formatting of signals, rates and security words,
// channels and bands from frequencies, the site survey's order and the
// channel overview (see Rules.h).
#include "Rules.h"

#include <cstring>
#include <utility>

namespace {

struct Band {
    unsigned long first, last;  // MHz of its first and last channel
    unsigned long base;         // the frequency of channel 0
    unsigned long ghz;          // 24 stands for 2.4
};
const Band kBands[] = {{2412, 2472, 2407, 24}, {5000, 5885, 5000, 5}, {5955, 7115, 5950, 6}};
// The channels outside the bands' steps: 2.4 GHz's 14 and 6 GHz's 2.
const struct { unsigned long mhz, channel, ghz; } kOddChannels[] = {{2484, 14, 24}, {5935, 2, 6}};

unsigned long BandOf(unsigned long mhz) {
    for (const auto& odd : kOddChannels)
        if (mhz == odd.mhz) return odd.ghz;
    for (const Band& band : kBands)
        if (mhz >= band.first && mhz <= band.last) return band.ghz;
    return 0;
}

// The order of the bands in lists: 2.4, 5, 6 GHz, then the unknown.
unsigned long BandOrder(unsigned long band) { return band ? band % 24 : 7; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

int CompareText(const char* a, const char* b) {
    for (; *a && Lower(*a) == Lower(*b); ++a, ++b) {
    }
    return static_cast<unsigned char>(Lower(*a)) - static_cast<unsigned char>(Lower(*b));
}

// Text written into a fixed buffer, cut at its end and always terminated;
// the applet has no printf, which would bring a formatting library with it.
class Writer {
public:
    Writer(char* text, std::size_t size) : text_(text), size_(size), used_(0) {
        if (size_) text_[0] = 0;
    }
    Writer& operator<<(const char* piece) {
        for (; *piece; ++piece) Put(*piece);
        return *this;
    }
    Writer& operator<<(unsigned long number) {
        char digits[12];
        int count = 0;
        do digits[count++] = static_cast<char>('0' + number % 10);
        while ((number /= 10) != 0);
        while (count) Put(digits[--count]);
        return *this;
    }
    Writer& operator<<(long number) {
        if (number >= 0) return *this << static_cast<unsigned long>(number);
        Put('-');
        return *this << (0ul - static_cast<unsigned long>(number));
    }
    void Hex(unsigned char byte) {
        static const char kDigits[] = "0123456789ABCDEF";
        Put(kDigits[byte >> 4]);
        Put(kDigits[byte & 15]);
    }
    void Put(char c) {
        if (used_ + 1 >= size_) return;
        text_[used_++] = c;
        text_[used_] = 0;
    }

private:
    char* text_;
    std::size_t size_, used_;
};

int CompareNumbers(unsigned long a, unsigned long b) { return a < b ? -1 : a > b ? 1 : 0; }

bool IsHidden(const TAVRONET_NETWORK& network) {
    for (unsigned long i = 0; i < network.ssidLength && i < TAVRONET_SSID_BYTES; ++i)
        if (network.ssid[i]) return false;
    return true;
}

// Names alphabetically, hidden networks after the named ones.
int CompareNames(const TAVRONET_NETWORK& a, const TAVRONET_NETWORK& b) {
    const bool hiddenA = IsHidden(a), hiddenB = IsHidden(b);
    if (hiddenA || hiddenB) return hiddenA - hiddenB;
    char nameA[64], nameB[64];
    NetworkName(nameA, sizeof nameA, a.ssid, a.ssidLength);
    NetworkName(nameB, sizeof nameB, b.ssid, b.ssidLength);
    return CompareText(nameA, nameB);
}

int CompareColumn(const TAVRONET_NETWORK& a, const TAVRONET_NETWORK& b, SurveyColumn column) {
    switch (column) {
    case kColumnName: return CompareNames(a, b);
    case kColumnSignal: return CompareNumbers(a.signalPercent, b.signalPercent);
    case kColumnRssi: return a.rssiDbm < b.rssiDbm ? -1 : a.rssiDbm > b.rssiDbm ? 1 : 0;
    case kColumnChannel: return CompareNumbers(a.channel, b.channel);
    case kColumnBand: return CompareNumbers(BandOrder(BandOf(a.frequencyMHz)), BandOrder(BandOf(b.frequencyMHz)));
    case kColumnSecurity: return CompareNumbers(a.authentication, b.authentication);
    case kColumnAccessPoints: return CompareNumbers(a.accessPoints, b.accessPoints);
    case kColumnConnected:
        return CompareNumbers(a.flags & TAVRONET_NETWORK_CONNECTED, b.flags & TAVRONET_NETWORK_CONNECTED);
    case kColumnProfile:
        return CompareNumbers(a.flags & TAVRONET_NETWORK_HAS_PROFILE, b.flags & TAVRONET_NETWORK_HAS_PROFILE);
    default: return 0;
    }
}

}  // namespace

void FormatRate(char* text, std::size_t size, unsigned long kbps) {
    const unsigned long tenths = (kbps + 50) / 100;
    Writer(text, size) << tenths / 10 << "." << tenths % 10 << " Mbps";
}

void FormatRssi(char* text, std::size_t size, long dbm) { Writer(text, size) << dbm << " dBm"; }

void FormatPercent(char* text, std::size_t size, unsigned long percent) { Writer(text, size) << percent << " %"; }

void FormatNumber(char* text, std::size_t size, unsigned long number) { Writer(text, size) << number; }

void FormatMac(char* text, std::size_t size, const unsigned char* address) {
    Writer writer(text, size);
    for (int i = 0; i < 6; ++i) {
        if (i) writer.Put(':');
        writer.Hex(address[i]);
    }
}

void NetworkName(char* text, std::size_t size, const unsigned char* ssid, unsigned long length) {
    if (size == 0) return;
    if (length > TAVRONET_SSID_BYTES) length = TAVRONET_SSID_BYTES;
    bool hidden = true;
    for (unsigned long i = 0; i < length; ++i) hidden = hidden && ssid[i] == 0;
    if (hidden) {
        Writer(text, size) << "(hidden network)";
        return;
    }
    std::size_t out = 0;
    for (unsigned long i = 0; i < length && out + 1 < size; ++i)
        text[out++] = ssid[i] < 0x20 || ssid[i] == 0x7F ? '?' : static_cast<char>(ssid[i]);
    text[out] = 0;
}

unsigned long ChannelFromFrequency(unsigned long mhz) {
    for (const auto& odd : kOddChannels)
        if (mhz == odd.mhz) return odd.channel;
    for (const Band& band : kBands)
        if (mhz >= band.first && mhz <= band.last && (mhz - band.base) % 5 == 0) return (mhz - band.base) / 5;
    return 0;
}

const char* BandName(unsigned long mhz) {
    switch (BandOf(mhz)) {
    case 24: return "2.4 GHz";
    case 5: return "5 GHz";
    case 6: return "6 GHz";
    default: return "";
    }
}

long RssiFromPercent(unsigned long percent) {
    if (percent > 100) percent = 100;
    return static_cast<long>(percent / 2) - 100;
}

const char* PhyName(unsigned long phy) {
    static const char* const kNames[] = {"",        "802.11b",  "802.11a",  "802.11g",
                                         "802.11n", "802.11ac", "802.11ax", "802.11be"};
    return phy < sizeof kNames / sizeof kNames[0] ? kNames[phy] : "";
}

const char* AuthenticationName(unsigned long authentication) {
    static const char* const kNames[] = {"",
                                         "Open",
                                         "Shared key",
                                         "WPA-Enterprise",
                                         "WPA-Personal",
                                         "WPA2-Enterprise",
                                         "WPA2-Personal",
                                         "WPA3-Enterprise",
                                         "WPA3-Personal",
                                         "Enhanced Open (OWE)"};
    return authentication < sizeof kNames / sizeof kNames[0] ? kNames[authentication] : "";
}

const char* CipherName(unsigned long cipher) {
    static const char* const kNames[] = {"", "None", "WEP", "TKIP", "AES (CCMP)", "GCMP"};
    return cipher < sizeof kNames / sizeof kNames[0] ? kNames[cipher] : "";
}

void EapMethodName(char* text, std::size_t size, unsigned long eapType) {
    struct Method {
        unsigned long type;
        const char* name;
    };
    static const Method kMethods[] = {
        {0, ""},          {4, "EAP-MD5"},  {13, "EAP-TLS"}, {17, "LEAP"},         {18, "EAP-SIM"},
        {21, "EAP-TTLS"}, {23, "EAP-AKA"}, {25, "PEAP"},    {26, "EAP-MSCHAPv2"}, {43, "EAP-FAST"}};
    for (const Method& method : kMethods)
        if (method.type == eapType) {
            Writer(text, size) << method.name;
            return;
        }
    Writer(text, size) << "EAP type " << eapType;
}

const char* LinkStateName(unsigned long state) {
    static const char* const kNames[] = {"Not connected", "Connected", "Radio off", "Radio off (hardware switch)"};
    return state < sizeof kNames / sizeof kNames[0] ? kNames[state] : "";
}

bool UsesWep(unsigned long authentication, unsigned long cipher) {
    return cipher == TAVRONET_CIPHER_WEP || authentication == TAVRONET_AUTH_SHARED;
}

void SecurityText(char* text, std::size_t size, unsigned long authentication, unsigned long cipher) {
    // WEP is named as such whatever the authentication: "Open" would promise
    // a network that needs no key.
    if (UsesWep(authentication, cipher)) {
        Writer(text, size) << (authentication == TAVRONET_AUTH_SHARED ? "WEP (shared key)" : "WEP (open system)");
        return;
    }
    const char* auth = AuthenticationName(authentication);
    const char* ciph = cipher == TAVRONET_CIPHER_NONE ? "" : CipherName(cipher);
    Writer(text, size) << auth << (*auth && *ciph ? ", " : "") << ciph;
}

const char* SecurityWord(unsigned long authentication, unsigned long cipher) {
    return UsesWep(authentication, cipher) ? "WEP" : AuthenticationName(authentication);
}

int CompareNetworks(const TAVRONET_NETWORK& a, const TAVRONET_NETWORK& b, SurveyColumn column, bool descending) {
    const int byColumn = CompareColumn(a, b, column);
    if (byColumn) return descending ? -byColumn : byColumn;
    const int bySignal = CompareNumbers(b.signalPercent, a.signalPercent);
    return bySignal ? bySignal : CompareNames(a, b);
}

bool DescendingFirst(SurveyColumn column) {
    return column != kColumnName && column != kColumnBand && column != kColumnChannel;
}

std::size_t ChannelOverview(const TAVRONET_NETWORK* networks, std::size_t count, ChannelLoad* loads,
                            std::size_t capacity) {
    std::size_t used = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const TAVRONET_NETWORK& network = networks[i];
        const unsigned long channel = network.channel ? network.channel : ChannelFromFrequency(network.frequencyMHz);
        if (channel == 0) continue;
        const unsigned long band = BandOf(network.frequencyMHz);
        std::size_t at = 0;
        // The list stays ordered by band (2.4, 5, 6 GHz, unknown) and channel.
        const std::pair<unsigned long, unsigned long> key(BandOrder(band), channel);
        while (at < used && std::make_pair(BandOrder(loads[at].band), loads[at].channel) < key) ++at;
        if (at == used || loads[at].channel != channel || loads[at].band != band) {
            if (used == capacity) continue;
            std::memmove(loads + at + 1, loads + at, (used - at) * sizeof *loads);
            loads[at] = ChannelLoad{channel, band, 0, 0};
            ++used;
        }
        ++loads[at].networks;
        if (network.signalPercent > loads[at].strongestPercent) loads[at].strongestPercent = network.signalPercent;
    }
    return used;
}
