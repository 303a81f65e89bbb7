// NetModel.h - the rules by which the simulator answers the applet-facing
// interface (TavroNet.h): the link, the networks in range, a scan, a connection,
// the saved networks and the signal history, from a scenario and what the
// library's callers have changed since it was loaded.
//
// Plain C++ with no Windows calls, so it can be built and tested on any host.
#ifndef TAVRO_NETMODEL_H
#define TAVRO_NETMODEL_H

#include "ScenarioFile.h"

#include "TavroNet.h"
#include "common/LinkState.h"
#include "common/Signal.h"
#include "common/SignalHistory.h"
#include "common/SizedRecords.h"

#include <string>
#include <vector>

namespace tavro {

// The Windows error codes the interface returns (the numbers of winerror.h).
const unsigned long kErrorSuccess = 0;
const unsigned long kErrorAccessDenied = 5;
const unsigned long kErrorNotReady = 21;
const unsigned long kErrorInvalidParameter = 87;
const unsigned long kErrorNotFound = 1168;
const unsigned long kErrorNoUnicodeTranslation = 1113;

// Text in UTF-16, without a terminator.
typedef std::vector<TAVRONET_WCHAR> WideText;

// The system's ANSI code page, as the library's host gives it: MultiByteToWideChar
// and WideCharToMultiByte on Windows, a stand-in in the host tests.
struct AnsiCodec {
    WideText (*toWide)(const std::string& bytes);
    // `lossy` is set when a character has no form in the code page ('?' stands for it).
    std::string (*toAnsi)(const WideText& text, bool& lossy);
};

// A name decoded as Windows decodes a network name: as UTF-8 where its bytes
// are valid UTF-8, else in the ANSI code page.
WideText DecodeName(const std::string& bytes, const AnsiCodec& codec);
// Copies `text` into a terminated field of `capacity` characters, cut to fit.
void SetWide(TAVRONET_WCHAR* field, size_t capacity, const WideText& text);
// A terminated field as text.
WideText WideOf(const TAVRONET_WCHAR* field, size_t capacity);
// Windows' words for a WLAN reason code; null when it has none.
const char* ReasonText(unsigned long reason);

// The tray program's quality 0..15 as a percentage.
unsigned long SignalFromQuality(unsigned long quality);
// A percentage as the tray program's quality 0..15.
unsigned long QualityFromSignal(unsigned long percent);
// The centre frequency in MHz of a 2.4 GHz or 5 GHz channel; 0 for another number.
unsigned long FrequencyOfChannel(unsigned long channel);

// The connection that TavroNetConnect or TavroNetDisconnect made; it stands over
// the scenario's own until the scenario is loaded again.
struct Connection {
    bool set = false;
    bool connected = false;
    std::string ssid;
};

// The last connect or disconnect asked of an adapter. Windows takes the
// request at once and tells its outcome later (`takesMs` after `askedAt`, by
// GetTickCount); until then a connect leaves the adapter not connected and a
// disconnect leaves the connection as it was (`before`).
struct ConnectAttempt {
    unsigned long sequence = 0;  // 0: nothing asked
    bool connect = true;
    Connection before;
    std::string ssid;          // the network asked for, raw bytes
    WideText profileNameW;     // the saved network used; empty for an open network
    unsigned long reason = 0;  // a connect that fails, with this WLAN reason code
    unsigned long askedAt = 0;
    unsigned long takesMs = 0;
};
// The connection an attempt stands for at `nowTick`.
Connection ConnectionAt(const ConnectAttempt& attempt, unsigned long nowTick);
TAVRONET_CONNECT_STATUS ConnectStatusAt(const ConnectAttempt& attempt, unsigned long nowTick, const AnsiCodec& codec);

// One adapter at one moment: what the rules read.
struct AdapterNow {
    const AdapterSection* adapter = nullptr;
    unsigned long values[FieldCount] = {};  // as the tray program reads them now
    unsigned long elapsed = 0;              // ms since the scenario was loaded
    const std::vector<NetworkSection>* networks = nullptr;
    const std::vector<ProfileSection>* profiles = nullptr;  // this adapter's, in order
    Connection connection;
    const AnsiCodec* codec = nullptr;
};

// The name of the network the adapter is connected to, or would be when linked.
std::string ConnectedSsid(const AdapterNow& now);
// The [network] this adapter sees with that name, or null.
const NetworkSection* VisibleNetwork(const AdapterNow& now, const std::string& ssid);
// Sets the adapter state (and, for a network other than the scenario's own, the
// quality) that Connect or Disconnect stand for.
void ApplyConnection(AdapterNow& now);

TAVRONET_LINK MakeLink(const AdapterNow& now);
// The networks the adapter sees, in the scenario's order, with the connected one
// added when no [network] names it; none while the radio is off.
std::vector<TAVRONET_NETWORK> MakeNetworks(const AdapterNow& now);
TAVRONET_PROFILE MakeProfile(const ProfileSection& profile, const AnsiCodec& codec);
// The saved networks the adapter at collection index `index` has, in order.
std::vector<ProfileSection> ProfilesOf(const Scenario& scenario, int index);

// What a TavroNetConnect to `network` asks for: the network it reaches, the
// saved network it uses and the reason it will fail with (0 none); or the error.
struct ConnectTarget {
    std::string ssid;
    WideText profileNameW;
    unsigned long failReason = 0;
};
unsigned long FindConnectTarget(const AdapterNow& now, const TAVRONET_NETWORK& network, ConnectTarget& target);

// A saved network named as a caller names it: by its ANSI form or, for the
// W functions, by its name in full.
struct ProfileKey {
    bool wide = false;
    std::string ansi;
    WideText full;
};
// The position of the saved network a key names, or -1 with the error:
// ERROR_NOT_FOUND, or ERROR_NO_UNICODE_TRANSLATION for an ANSI name that
// stands for a name it cannot hold, or for two saved networks.
int FindProfile(const std::vector<ProfileSection>& profiles, const ProfileKey& key, const AnsiCodec& codec,
                unsigned long& error);
// Moves or removes a saved network; `denied` when the scenario refuses every change.
unsigned long MoveProfile(std::vector<ProfileSection>& profiles, const ProfileKey& key, unsigned long position,
                          bool denied, const AnsiCodec& codec);
unsigned long DeleteProfile(std::vector<ProfileSection>& profiles, const ProfileKey& key, bool denied,
                            const AnsiCodec& codec);

// TAVRONET_SCAN_PENDING while a scan started at `startTick` runs at `nowTick`.
unsigned long ScanState(const LinkSection& link, bool started, unsigned long startTick, unsigned long nowTick);
// What TavroNetGetScanState answers in `state`: a scan asked and done that
// the scenario fails answers its reason (a WLAN reason code), else 0.
unsigned long ScanResult(const LinkSection& link, bool started, unsigned long state);

// A reading of the link, as the history keeps it.
TAVRONET_SAMPLE SampleOf(const TAVRONET_LINK& link, unsigned long tick);

}  // namespace tavro

#endif
