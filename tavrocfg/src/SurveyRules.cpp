// The Site Survey page's rules (see SurveyRules.h).
#include "SurveyRules.h"

std::vector<Text> SurveyRow(const TAVRONET_NETWORK& n) {
    char percent[16] = "", rssi[16] = "", channel[16] = "", points[16] = "";
    if (n.known & TAVRONET_KNOWN_SIGNAL) FormatPercent(percent, sizeof percent, n.signalPercent);
    if (n.known & TAVRONET_KNOWN_RSSI) FormatRssi(rssi, sizeof rssi, n.rssiDbm);
    if (n.known & TAVRONET_KNOWN_CHANNEL) FormatNumber(channel, sizeof channel, n.channel);
    if (n.accessPoints) FormatNumber(points, sizeof points, n.accessPoints);
    std::vector<Text> row(kSurveyColumns);
    row[kColumnName] = NetworkName(n.ssidW, n.ssid, n.ssidLength);
    row[kColumnSignal] = Widen(percent);
    row[kColumnRssi] = Widen(rssi);
    row[kColumnChannel] = Widen(channel);
    row[kColumnBand] = Widen(BandName(n.frequencyMHz));
    row[kColumnSecurity] = Widen((n.known & TAVRONET_KNOWN_SECURITY) ? SecurityWord(n.authentication, n.cipher) : "");
    row[kColumnAccessPoints] = Widen(points);
    row[kColumnConnected] = Widen((n.flags & TAVRONET_NETWORK_CONNECTED) ? "Connected" : "");
    row[kColumnProfile] = Widen((n.flags & TAVRONET_NETWORK_HAS_PROFILE) ? "Saved" : "");
    return row;
}

namespace {

bool OpenWithoutKey(const TAVRONET_NETWORK& n) {
    return n.authentication == TAVRONET_AUTH_OPEN && n.cipher == TAVRONET_CIPHER_NONE;
}

}  // namespace

bool CanConnect(const TAVRONET_NETWORK& n) {
    if (n.flags & (TAVRONET_NETWORK_CONNECTED | TAVRONET_NETWORK_NOT_CONNECTABLE)) return false;
    return (n.flags & TAVRONET_NETWORK_HAS_PROFILE) || OpenWithoutKey(n);
}

Text WhyNotConnect(const TAVRONET_NETWORK& n, const Text& reason) {
    if (n.flags & TAVRONET_NETWORK_CONNECTED) return Text();
    if (n.flags & TAVRONET_NETWORK_NOT_CONNECTABLE)
        return u"Windows cannot join this network." + (reason.empty() ? Text() : u" " + reason);
    if (CanConnect(n)) return Text();
    return Widen("A secured network is joined with its saved network; Windows has none for it.");
}

Text ChannelSummary(const std::vector<TAVRONET_NETWORK>& networks) {
    ChannelLoad loads[64];
    const size_t count = ChannelOverview(networks.empty() ? nullptr : &networks[0], networks.size(), loads, 64);
    Text text = Widen(count ? "Channels in use:" : "No channels in use.");
    for (size_t i = 0; i < count; ++i) {
        char channel[16], number[16];
        FormatNumber(channel, sizeof channel, loads[i].channel);
        FormatNumber(number, sizeof number, loads[i].networks);
        text += (i ? u", " : u" ") + Widen(channel) + u" (" + Widen(number) + u")";
    }
    return text;
}

bool AnyConnected(const std::vector<TAVRONET_NETWORK>& networks) {
    for (const TAVRONET_NETWORK& n : networks)
        if (n.flags & TAVRONET_NETWORK_CONNECTED) return true;
    return false;
}

ConnectStage StageOf(unsigned long code, const TAVRONET_CONNECT_STATUS& status, unsigned long sequence, int polls) {
    // A library without the status, or a status of another request (a newer
    // one, or none since the scenario was read again), has no outcome to wait for.
    if (code != 0 || status.sequence != sequence) return kStageEnded;
    const bool underWay = status.state == TAVRONET_CONNECT_CONNECTING || status.state == TAVRONET_CONNECT_DISCONNECTING;
    if (!underWay) return kStageEnded;
    return polls < kMostConnectPolls ? kStageWaiting : kStageLate;
}

Text ConnectLine(const TAVRONET_CONNECT_STATUS& status, ConnectStage stage, const Text& name, const Text& reason) {
    const Text network = Quoted(name);
    if (stage == kStageLate) return u"Windows has not told yet how the request for " + network + u" ended.";
    switch (status.state) {
    case TAVRONET_CONNECT_CONNECTING: return u"Connecting to " + network + u"...";
    case TAVRONET_CONNECT_CONNECTED: return u"Connected to " + network + u".";
    case TAVRONET_CONNECT_FAILED:
        return u"Could not connect to " + network + u"." +
               (reason.empty() ? Widen(" Windows gave no reason.") : u" " + reason);
    case TAVRONET_CONNECT_DISCONNECTING: return u"Disconnecting from " + network + u"...";
    case TAVRONET_CONNECT_DISCONNECTED: return u"Disconnected from " + network + u".";
    default: return Text();
    }
}

bool IsReasonCode(unsigned long code) { return code >= 0x10000; }

Text ScanFailureLine(const Text& reason) {
    return u"Windows could not scan for networks." +
           (reason.empty() ? Widen(" Windows gave no reason.") : u" " + reason);
}
