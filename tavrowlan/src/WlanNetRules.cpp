// The pure rules of the applet-facing interface over the Native Wifi API:
// the adapter identifier back to its GUID, channels from frequencies, the
// service's PHY, authentication and cipher in TavroNet.h's terms, and a
// saved network's security read from its profile text.
#include "WlanNet.h"

#include <string.h>

namespace tavrowlan {

namespace {

int HexDigit(int c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// `digits` hex digits of `text` into `value`; false on any other character.
bool ReadHex(const char* text, int digits, unsigned long* value) {
    *value = 0;
    for (int i = 0; i < digits; ++i) {
        const int digit = HexDigit(static_cast<unsigned char>(text[i]));
        if (digit < 0) return false;
        *value = *value << 4 | static_cast<unsigned long>(digit);
    }
    return true;
}

// ---- profile text ----

struct Word {
    const char* text;
    unsigned long value;
};
// The words of the profile schema: <authentication> and <encryption>.
const Word kAuthWords[] = {
    {"open", TAVRONET_AUTH_OPEN},        {"shared", TAVRONET_AUTH_SHARED},   {"WPA", TAVRONET_AUTH_WPA},
    {"WPAPSK", TAVRONET_AUTH_WPA_PSK},   {"WPA2", TAVRONET_AUTH_WPA2},       {"WPA2PSK", TAVRONET_AUTH_WPA2_PSK},
    {"WPA3", TAVRONET_AUTH_WPA3},        {"WPA3ENT192", TAVRONET_AUTH_WPA3}, {"WPA3ENT", TAVRONET_AUTH_WPA3},
    {"WPA3SAE", TAVRONET_AUTH_WPA3_SAE}, {"OWE", TAVRONET_AUTH_OWE}};
const Word kCipherWords[] = {{"none", TAVRONET_CIPHER_NONE}, {"WEP", TAVRONET_CIPHER_WEP},
                             {"TKIP", TAVRONET_CIPHER_TKIP}, {"AES", TAVRONET_CIPHER_CCMP},
                             {"GCMP", TAVRONET_CIPHER_GCMP}, {"GCMP256", TAVRONET_CIPHER_GCMP}};

int Lower(int c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; }

// Whether the text from `text` to `end`, spaces around it aside, is `word` in any case.
bool TextIs(const WCHAR* text, const WCHAR* end, const char* word) {
    while (text < end && (*text == ' ' || *text == '\t' || *text == '\r' || *text == '\n')) ++text;
    while (end > text && (end[-1] == ' ' || end[-1] == '\t' || end[-1] == '\r' || end[-1] == '\n')) --end;
    for (; *word; ++word, ++text)
        if (text == end || Lower(*text) != Lower(*word)) return false;
    return text == end;
}

template <size_t N>
unsigned long Lookup(const Word (&words)[N], const WCHAR* text, const WCHAR* end) {
    for (const Word& word : words)
        if (TextIs(text, end, word.text)) return word.value;
    return 0;
}

unsigned long Number(const WCHAR* text, const WCHAR* end) {
    unsigned long value = 0;
    for (; text < end && *text >= '0' && *text <= '9'; ++text)
        value = value * 10 + static_cast<unsigned long>(*text - '0');
    return value;
}

bool NameEnds(WCHAR c) { return c == 0 || c == ' ' || c == '>' || c == '/' || c == '\t' || c == '\r' || c == '\n'; }

// The text of the first element with the local name `name` (any namespace
// prefix) at or after `from`, up to `*end`; null when there is none.
const WCHAR* FindElement(const WCHAR* from, const char* name, const WCHAR** end) {
    if (!from) return nullptr;
    for (const WCHAR* at = from; *at; ++at) {
        if (*at != '<') continue;
        const WCHAR* local = at + 1;
        const WCHAR* past = local;
        for (; !NameEnds(*past); ++past)
            if (*past == ':') local = past + 1;
        if (!TextIs(local, past, name) || past == local) continue;
        while (*past && *past != '>') ++past;
        if (!*past || past[-1] == '/') continue;  // an empty element
        const WCHAR* text = past + 1;
        const WCHAR* stop = text;
        while (*stop && *stop != '<') ++stop;
        *end = stop;
        return text;
    }
    return nullptr;
}

// The network name: its bytes in hex, as Windows writes every profile, or its name.
unsigned long SsidBytes(const WCHAR* ssid, unsigned char* out) {
    const WCHAR* end;
    unsigned long length = 0;
    if (const WCHAR* hex = FindElement(ssid, "hex", &end)) {
        for (; hex + 1 < end && length < TAVRONET_SSID_BYTES; hex += 2) {
            const int high = HexDigit(hex[0] < 0x80 ? hex[0] : 0), low = HexDigit(hex[1] < 0x80 ? hex[1] : 0);
            if (high < 0 || low < 0) break;
            out[length++] = static_cast<unsigned char>(high << 4 | low);
        }
    } else if (const WCHAR* name = FindElement(ssid, "name", &end)) {
        for (; name < end && length < TAVRONET_SSID_BYTES; ++name) out[length++] = static_cast<unsigned char>(*name);
    }
    return length;
}

// The WEP key length in bits from a key kept unprotected: 5 or 13 characters,
// or 10 or 26 hex digits; 0 when it is protected or of another length.
unsigned long WepKeyBits(const WCHAR* xml) {
    const WCHAR *end, *text = FindElement(xml, "protected", &end);
    if (text && !TextIs(text, end, "false")) return 0;
    if (!(text = FindElement(xml, "keyMaterial", &end))) return 0;
    const long length = static_cast<long>(end - text);
    if (length == 5 || length == 10) return 40;
    if (length == 13 || length == 26) return 104;
    return 0;
}

}  // namespace

bool ParseInterfaceId(const char* text, GUID* guid) {
    // {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}
    if (!text || text[0] != '{' || text[9] != '-' || text[14] != '-' || text[19] != '-' || text[24] != '-' ||
        text[37] != '}' || text[38] != 0)
        return false;
    unsigned long data1, data2, data3, byte;
    if (!ReadHex(text + 1, 8, &data1) || !ReadHex(text + 10, 4, &data2) || !ReadHex(text + 15, 4, &data3)) return false;
    guid->Data1 = data1;
    guid->Data2 = static_cast<unsigned short>(data2);
    guid->Data3 = static_cast<unsigned short>(data3);
    for (int i = 0; i < 8; ++i) {
        if (!ReadHex(text + (i < 2 ? 20 + 2 * i : 25 + 2 * (i - 2)), 2, &byte)) return false;
        guid->Data4[i] = static_cast<unsigned char>(byte);
    }
    return true;
}

unsigned long ChannelFromKhz(ULONG kHz) {
    const ULONG mhz = kHz / 1000;
    if (mhz == 2484) return 14;
    if (mhz >= 2412 && mhz <= 2472) return (mhz - 2407) / 5;
    if (mhz >= 5150 && mhz <= 5895) return (mhz - 5000) / 5;
    // 6 GHz: channel 2 below the others, then 1 to 233 from 5955 MHz.
    if (mhz == 5935) return 2;
    if (mhz >= 5955 && mhz <= 7115) return (mhz - 5950) / 5;
    return 0;
}

unsigned long PhyFromDot11(DOT11_PHY_TYPE phy) {
    switch (static_cast<int>(phy)) {
    case dot11_phy_type_fhss:
    case dot11_phy_type_dsss:
    case dot11_phy_type_hrdsss: return TAVRONET_PHY_B;
    case dot11_phy_type_ofdm: return TAVRONET_PHY_A;
    case dot11_phy_type_erp: return TAVRONET_PHY_G;
    case dot11_phy_type_ht: return TAVRONET_PHY_N;
    case 8:  // dot11_phy_type_vht, which the XP-era headers lack
        return TAVRONET_PHY_AC;
    case 10:  // dot11_phy_type_he
        return TAVRONET_PHY_AX;
    case 11:  // dot11_phy_type_eht
        return TAVRONET_PHY_BE;
    default: return TAVRONET_PHY_UNKNOWN;
    }
}

unsigned long AuthFromDot11(DOT11_AUTH_ALGORITHM auth) {
    switch (static_cast<int>(auth)) {
    case 1: return TAVRONET_AUTH_OPEN;      // DOT11_AUTH_ALGO_80211_OPEN
    case 2: return TAVRONET_AUTH_SHARED;    // 80211_SHARED_KEY
    case 3: return TAVRONET_AUTH_WPA;       // WPA
    case 4:                                 // WPA_PSK
    case 5: return TAVRONET_AUTH_WPA_PSK;   // WPA_NONE: WPA-PSK between ad hoc peers
    case 6: return TAVRONET_AUTH_WPA2;      // RSNA
    case 7: return TAVRONET_AUTH_WPA2_PSK;  // RSNA_PSK
    case 8:                                 // WPA3 (the 192-bit enterprise suite)
    case 11: return TAVRONET_AUTH_WPA3;     // WPA3_ENT
    case 9: return TAVRONET_AUTH_WPA3_SAE;  // WPA3_SAE
    case 10: return TAVRONET_AUTH_OWE;      // OWE
    default: return TAVRONET_AUTH_UNKNOWN;
    }
}

unsigned long CipherFromDot11(DOT11_CIPHER_ALGORITHM cipher) {
    switch (static_cast<int>(cipher)) {
    case 0x00: return TAVRONET_CIPHER_NONE;
    case 0x01:  // WEP40
    case 0x05:  // WEP104
    case 0x101: return TAVRONET_CIPHER_WEP;
    case 0x02: return TAVRONET_CIPHER_TKIP;
    case 0x04:                               // CCMP
    case 0x0A: return TAVRONET_CIPHER_CCMP;  // CCMP_256
    case 0x08:                               // GCMP
    case 0x09: return TAVRONET_CIPHER_GCMP;  // GCMP_256
    default: return TAVRONET_CIPHER_UNKNOWN;
    }
}

bool SameNetwork(const WLAN_AVAILABLE_NETWORK& a, const WLAN_AVAILABLE_NETWORK& b) {
    return a.dot11Ssid.uSSIDLength == b.dot11Ssid.uSSIDLength &&
           memcmp(a.dot11Ssid.ucSSID, b.dot11Ssid.ucSSID, a.dot11Ssid.uSSIDLength) == 0 &&
           a.dot11BssType == b.dot11BssType && !a.bSecurityEnabled == !b.bSecurityEnabled &&
           a.dot11DefaultAuthAlgorithm == b.dot11DefaultAuthAlgorithm &&
           a.dot11DefaultCipherAlgorithm == b.dot11DefaultCipherAlgorithm;
}

unsigned long NetworkCipher(const WLAN_AVAILABLE_NETWORK& network) {
    const unsigned long cipher = CipherFromDot11(network.dot11DefaultCipherAlgorithm);
    return network.bSecurityEnabled && cipher == TAVRONET_CIPHER_NONE ? TAVRONET_CIPHER_UNKNOWN : cipher;
}

void ReadProfileText(const WCHAR* xml, TAVRONET_PROFILE* profile) {
    const WCHAR* end;
    const WCHAR* text;
    profile->ssidLength = SsidBytes(FindElement(xml, "SSID", &end), profile->ssid);
    text = FindElement(xml, "connectionType", &end);
    profile->bssType = text && TextIs(text, end, "IBSS") ? TAVRONET_BSS_ADHOC : TAVRONET_BSS_INFRASTRUCTURE;
    // Without <connectionMode> the schema's default: automatic.
    text = FindElement(xml, "connectionMode", &end);
    if (!text || !TextIs(text, end, "manual")) profile->flags |= TAVRONET_PROFILE_AUTO_CONNECT;
    text = FindElement(xml, "authentication", &end);
    profile->authentication = text ? Lookup(kAuthWords, text, end) : TAVRONET_AUTH_UNKNOWN;
    text = FindElement(xml, "encryption", &end);
    profile->cipher = text ? Lookup(kCipherWords, text, end) : TAVRONET_CIPHER_UNKNOWN;
    text = FindElement(xml, "useOneX", &end);
    const unsigned long auth = profile->authentication;
    profile->oneX = (text && TextIs(text, end, "true")) || auth == TAVRONET_AUTH_WPA || auth == TAVRONET_AUTH_WPA2 ||
                    auth == TAVRONET_AUTH_WPA3;
    if (profile->cipher == TAVRONET_CIPHER_WEP) {
        text = FindElement(xml, "keyIndex", &end);  // 0..3; the first key when not given
        profile->wepKeyIndex = (text ? Number(text, end) : 0) + 1;
        profile->wepKeyBits = WepKeyBits(xml);
    }
    text = profile->oneX ? FindElement(FindElement(xml, "EapMethod", &end), "Type", &end) : nullptr;
    profile->eapType = text ? Number(text, end) : 0;
}

}  // namespace tavrowlan
