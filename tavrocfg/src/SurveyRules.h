// The Site Survey page's rules: the words of a network's row, which networks
// Connect can join and why not, and how a connect or disconnect under way
// stands and reads. Plain C++, tested on the host.
#ifndef TAVROCFG_SURVEYRULES_H
#define TAVROCFG_SURVEYRULES_H

#include "Rules.h"
#include "Text.h"

#include <vector>

// The texts of a network's row, in the order of SurveyColumn.
std::vector<Text> SurveyRow(const TAVRONET_NETWORK& network);

// Whether Connect can join the network: one not connected that Windows can
// join, by its saved network, or an open one that needs no key.
bool CanConnect(const TAVRONET_NETWORK& network);
// Why Connect is not offered for the network, shown beside the button; ""
// when it is, or when the network is the connected one. `reason` is
// Windows' words for notConnectableReason ("" when it has none).
Text WhyNotConnect(const TAVRONET_NETWORK& network, const Text& reason);
// The channel chart's text alternative: "Channels in use: 1 (3), 6 (2), 36 (1)".
Text ChannelSummary(const std::vector<TAVRONET_NETWORK>& networks);
// Whether Disconnect has a network to leave.
bool AnyConnected(const std::vector<TAVRONET_NETWORK>& networks);

// How a connect or disconnect asked with `sequence` stands, from the
// library's status read with result `code` after `polls` looks.
enum ConnectStage {
    kStageWaiting,  // Windows has not told the outcome yet: look again
    kStageEnded,    // the outcome is known, or the library cannot tell it: read the list
    kStageLate,     // no outcome after the longest wait: read the list and say so
};
const int kMostConnectPolls = 60;
ConnectStage StageOf(unsigned long code, const TAVRONET_CONNECT_STATUS& status, unsigned long sequence, int polls);
// The line under the list for a status: "Connecting to "Home"...",
// "Could not connect to "Home". The profile key does not match the network key."
Text ConnectLine(const TAVRONET_CONNECT_STATUS& status, ConnectStage stage, const Text& name, const Text& reason);

// Whether what a scan answered is Windows' reason for its failure (a WLAN
// reason code, 0x10000 and more) rather than an error code (all below).
bool IsReasonCode(unsigned long code);
// The line under the list after a scan that failed, in place of the count:
// "Windows could not scan for networks. The network is not available."
Text ScanFailureLine(const Text& reason);

// What the survey's refresh waits for, between reads of the list while shown.
const unsigned kSurveyRefreshMs = 3000;
const unsigned kConnectPollMs = 500;

#endif
