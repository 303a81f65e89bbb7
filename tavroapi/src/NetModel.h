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

// The tray program's quality 0..15 as a percentage.
unsigned long signalFromQuality(unsigned long quality);
// A percentage as the tray program's quality 0..15.
unsigned long qualityFromSignal(unsigned long percent);
// The centre frequency in MHz of a 2.4 GHz or 5 GHz channel; 0 for another number.
unsigned long frequencyOfChannel(unsigned long channel);

// The connection that TavroNetConnect or TavroNetDisconnect made; it stands over
// the scenario's own until the scenario is loaded again.
struct Connection {
    bool set = false;
    bool connected = false;
    std::string ssid;
};

// One adapter at one moment: what the rules read.
struct AdapterNow {
    const AdapterSection* adapter = nullptr;
    unsigned long values[FieldCount] = {};  // as the tray program reads them now
    unsigned long elapsed = 0;              // ms since the scenario was loaded
    const std::vector<NetworkSection>* networks = nullptr;
    const std::vector<ProfileSection>* profiles = nullptr;  // this adapter's, in order
    Connection connection;
};

// The name of the network the adapter is connected to, or would be when linked.
std::string connectedSsid(const AdapterNow& now);
// The [network] this adapter sees with that name, or null.
const NetworkSection* visibleNetwork(const AdapterNow& now, const std::string& ssid);
// Sets the adapter state (and, for a network other than the scenario's own, the
// quality) that Connect or Disconnect stand for.
void applyConnection(AdapterNow& now);

TAVRONET_LINK makeLink(const AdapterNow& now);
// The networks the adapter sees, in the scenario's order, with the connected one
// added when no [network] names it; none while the radio is off.
std::vector<TAVRONET_NETWORK> makeNetworks(const AdapterNow& now);
TAVRONET_PROFILE makeProfile(const ProfileSection& profile);
// The saved networks the adapter at collection index `index` has, in order.
std::vector<ProfileSection> profilesOf(const Scenario& scenario, int index);

// The network name a TavroNetConnect to `network` reaches, or the error.
unsigned long connectTarget(const AdapterNow& now, const TAVRONET_NETWORK& network, std::string& ssid);
// Moves or removes a saved network; `denied` when the scenario refuses every change.
unsigned long moveProfile(std::vector<ProfileSection>& profiles, const std::string& name,
                          unsigned long position, bool denied);
unsigned long deleteProfile(std::vector<ProfileSection>& profiles, const std::string& name, bool denied);

// TAVRONET_SCAN_PENDING while a scan started at `startTick` runs at `nowTick`.
unsigned long scanState(const LinkSection& link, bool started, unsigned long startTick, unsigned long nowTick);

// A reading of the link, as the history keeps it.
TAVRONET_SAMPLE sampleOf(const TAVRONET_LINK& link, unsigned long tick);

}  // namespace tavro

#endif
