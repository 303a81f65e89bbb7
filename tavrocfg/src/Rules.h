// The applet's pure rules: how a signal, a rate, a channel or a security
// setting reads on its pages, the order of the site survey and the channel
// overview. Free functions without a window, tested by tables on the host.
#ifndef TAVROCFG_RULES_H
#define TAVROCFG_RULES_H

#include "TavroNet.h"
#include "common/Signal.h"

#include <cstddef>

// "54.0 Mbps" from kilobits per second.
void FormatRate(char* text, std::size_t size, unsigned long kbps);
// "-55 dBm".
void FormatRssi(char* text, std::size_t size, long dbm);
// "72 %".
void FormatPercent(char* text, std::size_t size, unsigned long percent);
// "36".
void FormatNumber(char* text, std::size_t size, unsigned long number);
// "00:1A:2B:3C:4D:5E".
void FormatMac(char* text, std::size_t size, const unsigned char* address);
// The network name as a user reads it: "(hidden network)" when it is empty
// or all zero bytes; bytes below a space read as '?'.
void NetworkName(char* text, std::size_t size, const unsigned char* ssid, unsigned long length);

// The channel of a frequency: 2412 -> 1 ... 2472 -> 13, 2484 -> 14,
// 5180 -> 36, 5935 -> 2 and 5955 -> 1 (6 GHz); 0 when the frequency is none of these.
unsigned long ChannelFromFrequency(unsigned long mhz);
// "2.4 GHz", "5 GHz" or "6 GHz" from the frequency; "" without one: a
// channel's number alone does not tell its band (6 GHz numbers its channels
// 1 to 233, over both others' numbers).
const char* BandName(unsigned long mhz);

// A received signal strength from signal quality in percent, the reverse of
// PercentFromRssi (common/Signal.h).
long RssiFromPercent(unsigned long percent);

// The words of the interface's values: "802.11g", "WPA2-Personal", "AES (CCMP)",
// "PEAP", "Connected". Unknown values read as "" (an EAP method as its number).
const char* PhyName(unsigned long phy);
const char* AuthenticationName(unsigned long authentication);
const char* CipherName(unsigned long cipher);
void EapMethodName(char* text, std::size_t size, unsigned long eapType);
const char* LinkStateName(unsigned long state);
// Whether a network of this authentication and cipher is secured by WEP
// (WEP keys with open or shared-key authentication).
bool UsesWep(unsigned long authentication, unsigned long cipher);
// "WPA2-Personal, AES (CCMP)"; "WEP (open system)" or "WEP (shared key)";
// "Open" alone when nothing is encrypted.
void SecurityText(char* text, std::size_t size, unsigned long authentication, unsigned long cipher);
// The short word of a list: "WPA2-Personal", "WEP", "Open".
const char* SecurityWord(unsigned long authentication, unsigned long cipher);

// The columns of the site survey, in their order on the page.
enum SurveyColumn {
    kColumnName,
    kColumnSignal,
    kColumnRssi,
    kColumnChannel,
    kColumnBand,
    kColumnSecurity,
    kColumnAccessPoints,
    kColumnConnected,
    kColumnProfile,
    kSurveyColumns
};
// Order of two networks of the survey by one column, the strongest signal
// first: a negative result puts `a` first. Equal in that column, the
// stronger signal and then the name decide; `descending` reverses the column's
// own order only.
int CompareNetworks(const TAVRONET_NETWORK& a, const TAVRONET_NETWORK& b, SurveyColumn column, bool descending);
// The order a click on a column starts with: numbers and marks strongest or
// set first, words alphabetically.
bool DescendingFirst(SurveyColumn column);

// How crowded one channel is: the networks on it and the strongest signal.
struct ChannelLoad {
    unsigned long channel;
    unsigned long band;  // 24, 5 or 6 (GHz), 0 when not known (after the others)
    unsigned long networks;
    unsigned long strongestPercent;
};
// The channels of a network list in order of band and channel; networks
// without a known channel are left out. Returns how many were written.
std::size_t ChannelOverview(const TAVRONET_NETWORK* networks, std::size_t count, ChannelLoad* loads,
                            std::size_t capacity);

#endif
