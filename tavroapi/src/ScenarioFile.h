// ScenarioFile.h - the scenario that drives the simulated adapters, and its parser.
//
// Plain C++ with no Windows calls, so it can be built and tested on any host.
#ifndef TAVRO_SCENARIOFILE_H
#define TAVRO_SCENARIOFILE_H

#include "TavroApiLimits.h"

#include <string>
#include <vector>

namespace tavro {

// A number that may step through a list of elements, one element per period,
// starting again at the first element after the last.
struct TimedValue {
    std::vector<unsigned long> elements;  // never empty once parsed
    unsigned long periodMs = 1000;

    // The element current `elapsedMs` milliseconds after the scenario was loaded.
    unsigned long At(unsigned long elapsedMs) const;

    bool operator==(const TimedValue& other) const { return elements == other.elements && periodMs == other.periodMs; }
    bool operator!=(const TimedValue& other) const { return !(*this == other); }
};

// The numeric properties of an adapter, in the order of kFieldKeys.
enum Field {
    FieldPresent,
    FieldAttach,
    FieldRadio,
    FieldNetworkType,
    FieldAdapterState,
    FieldQuality,
    FieldRate,
    FieldWepRxOk,
    FieldTypeInUse,
    FieldDriverVersion,
    FieldCount
};

// The key that sets each field in a scenario file.
extern const char* const kFieldKeys[FieldCount];

const int kMaxAdapters = 8;
const int kMaxItemIndex = TAVROAPI_LAST_ITEM;
const size_t kMaxDescription = 127;  // bytes, without the terminating zero
const size_t kMaxId = 255;           // the longest registry key name

const size_t kMaxSsid = 32;          // bytes of a network name
const size_t kMaxProfileName = 255;  // bytes of a saved network's name
const size_t kMaxDriverText = 63;    // bytes of the driver version text
const int kMaxNetworks = 1000;
const int kMaxProfiles = 100;

// The security words of an [adapter], a [network] or a [profile]: TAVRONET_AUTH_*
// and TAVRONET_CIPHER_* numbers, 0 where not given.
struct Security {
    unsigned long authentication = 0;
    unsigned long cipher = 0;
    bool cipherGiven = false;  // named by the scenario rather than following the authentication
};

// The link details of an [adapter]: what the applet-facing interface reports of
// the network it is connected to. Numbers are TavroNet.h's, 0 where not given.
struct LinkSection {
    std::string ssid;  // the network's name, raw bytes
    bool hasSsid = false;
    unsigned char bssid[6] = {};  // the access point's address
    bool hasBssid = false;
    unsigned char mac[6] = {};  // the adapter's own address
    bool hasMac = false;
    unsigned long channel = 0;
    TimedValue rssi;  // dBm, each element a two's complement
    bool hasRssi = false;
    TimedValue txKbps, rxKbps;
    bool hasTx = false, hasRx = false;
    unsigned long phy = 0;
    Security security;
    unsigned long autoConfig = 0;       // TAVRONET_AUTOCONFIG_*
    std::string driver;                 // the driver's version text, "" when not known
    bool scanNever = false;             // a scan that never ends
    unsigned long scanMs = 1500;        // how long a scan takes
    unsigned long scanFails = 0;        // a scan fails with this WLAN reason code once done, 0 when it completes
    bool profileChangesDenied = false;  // moves and removals are refused
    unsigned long connectMs = 2000;     // how long a connect or disconnect takes to end
    bool disconnectStopsAuto = false;   // a disconnect stops the saved network's own connects (XP)
    bool locationDenied = false;        // Windows withholds names, networks and scans until location access
};

// A network in range, for the site survey: a [network] section.
struct NetworkSection {
    int line = 0;
    std::string ssid;
    bool hidden = false;  // its name is not broadcast
    unsigned long channel = 0;
    TimedValue rssi;  // dBm as in LinkSection
    bool hasRssi = false;
    unsigned long signal = 0;  // percent, when given instead of or beside rssi
    bool hasSignal = false;
    Security security;
    unsigned long accessPoints = 1;
    unsigned long phy = 0;
    unsigned long bssType = 1;         // infrastructure
    std::vector<int> adapters;         // the collection indices that see it; empty: every adapter
    unsigned long notConnectable = 0;  // why Windows cannot join it (a WLAN reason code), 0 when it can
    unsigned long connectFails = 0;    // a connect to it fails with this WLAN reason code, 0 when it succeeds
};

// A saved network: a [profile] section. The sections' order is the order of preference.
struct ProfileSection {
    int line = 0;
    std::string name;  // the ssid when not given; UTF-8 where its bytes are valid UTF-8
    std::string ssid;
    Security security;
    unsigned long bssType = 1;
    unsigned long wepKeyIndex = 0;
    unsigned long wepKeyBits = 0;
    bool oneX = false;
    unsigned long eapType = 0;
    bool autoConnect = true;
    bool groupPolicy = false;
    bool perUser = false;
    std::vector<int> adapters;  // as in NetworkSection
};

struct AdapterSection {
    int line = 0;  // line of the [adapter] header
    int index = 0;
    std::string description;
    std::string id;
    TimedValue values[FieldCount];
    LinkSection link;
};

struct Scenario {
    std::vector<AdapterSection> adapters;
    std::vector<NetworkSection> networks;
    std::vector<ProfileSection> profiles;

    const AdapterSection* FindById(const std::string& id) const;
    const AdapterSection* FindByIndex(int index) const;
};

// Whether a [network] or [profile] that names `adapters` is seen by the adapter
// at collection index `index`.
bool SeenBy(const std::vector<int>& adapters, int index);

// Reads one key of the link details of an [adapter], of a [network] or of a
// [profile]. Returns 1 when read, 0 when the key is not one of that section's,
// and -1 with `why` when the value is wrong.
int ParseLinkKey(const std::string& key, const std::string& value, LinkSection& link, std::string& why);
int ParseNetworkKey(const std::string& key, const std::string& value, NetworkSection& net, std::string& why);
int ParseProfileKey(const std::string& key, const std::string& value, ProfileSection& profile, std::string& why);
// Checks a finished [network] or [profile]; false with `why` when it lacks something.
bool CompleteNetwork(NetworkSection& net, std::string& why);
bool CompleteProfile(ProfileSection& profile, std::string& why);

// Parses the text of a scenario file. On failure returns false, leaves `out`
// empty and describes the first problem in `error` ("line 12: ...").
bool ParseScenario(const std::string& text, Scenario& out, std::string& error);

}  // namespace tavro

#endif
