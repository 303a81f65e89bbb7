// What the Network Status page says of a link and of the signal of the last
// ten minutes. Plain C++, tested on the host.
#ifndef TAVROCFG_STATUSWORDS_H
#define TAVROCFG_STATUSWORDS_H

#include "Text.h"

// Shown where a value cannot be read.
extern const char kNotAvailable[];

// The values of the page, each as its line reads.
struct StatusTexts {
    Text state, network, accessPoint, channel, signal, txRate, rxRate, standard, security, mac;
};
// The link as read with result `code` (0: read); `reason` is Windows' words for a code that is not 0.
StatusTexts StatusTextsOf(const TAVRONET_LINK& link, unsigned long code, const Text& reason);

// The graph's text alternative: "Signal now 72 %, lowest 40 %, highest 80 %
// in the last ten minutes."
Text SignalSummary(const TAVRONET_HISTORY& history, unsigned long code);

#endif
