// What the Network Status page says of a link and of its signal (see StatusWords.h).
#include "StatusWords.h"

#include "Rules.h"

#include <algorithm>

const char kNotAvailable[] = "Not available";

namespace {

const char kWithoutLocation[] = "Not shown without location access";
const unsigned long kSpanMs = TAVRONET_HISTORY_SAMPLES * 1000ul;

Text Known(const TAVRONET_LINK& link, unsigned long what, const char* text) {
    return Widen((link.known & what) && *text ? text : kNotAvailable);
}

Text Number(unsigned long value) {
    char text[16];
    FormatPercent(text, sizeof text, value);
    return Widen(text);
}

}  // namespace

StatusTexts StatusTextsOf(const TAVRONET_LINK& link, unsigned long code, const Text& reason) {
    StatusTexts t;
    t.state = code ? Widen(kNotAvailable) + u" (" + reason + u")" : Widen(LinkStateName(link.state));
    char text[128];
    FormatMac(text, sizeof text, link.macAddress);
    t.mac = code ? Widen(kNotAvailable) : Known(link, TAVRONET_KNOWN_MAC, text);
    if (code != 0 || link.state != TAVRONET_STATE_CONNECTED) return t;
    const Text name = NetworkName(link.ssidW, link.ssid, link.ssidLength);
    t.network = (link.known & TAVRONET_KNOWN_SSID) && link.ssidLength ? name
                : link.locationDenied                                 ? Widen(kWithoutLocation)
                                                                      : Widen(kNotAvailable);
    FormatMac(text, sizeof text, link.bssid);
    t.accessPoint = link.locationDenied ? Widen(kWithoutLocation) : Known(link, TAVRONET_KNOWN_BSSID, text);
    FormatNumber(text, sizeof text, link.channel);
    const char* band = BandName(link.frequencyMHz);
    Text where = Widen(text);
    if (*band) where += u" (" + Widen(band) + u")";
    t.channel = (link.known & TAVRONET_KNOWN_CHANNEL) ? where : Widen(kNotAvailable);
    Text signal;
    if (link.known & TAVRONET_KNOWN_SIGNAL) signal = Number(link.signalPercent);
    if (link.known & TAVRONET_KNOWN_RSSI) {
        FormatRssi(text, sizeof text, link.rssiDbm);
        signal += (signal.empty() ? u"" : u", ") + Widen(text);
    }
    t.signal = signal.empty() ? Widen(kNotAvailable) : signal;
    FormatRate(text, sizeof text, link.txRateKbps);
    t.txRate = Known(link, TAVRONET_KNOWN_TX_RATE, text);
    FormatRate(text, sizeof text, link.rxRateKbps);
    t.rxRate = Known(link, TAVRONET_KNOWN_RX_RATE, text);
    t.standard = Known(link, TAVRONET_KNOWN_PHY, PhyName(link.phy));
    SecurityText(text, sizeof text, link.authentication, link.cipher);
    t.security = Known(link, TAVRONET_KNOWN_SECURITY, text);
    return t;
}

Text SignalSummary(const TAVRONET_HISTORY& history, unsigned long code) {
    if (code) return Widen("The signal history is not available.");
    unsigned long lowest = 101, highest = 0;
    for (unsigned long i = 0; i < history.count && i < TAVRONET_HISTORY_SAMPLES; ++i) {
        const TAVRONET_SAMPLE& s = history.samples[i];
        if (!s.linked || history.now - s.tick > kSpanMs) continue;
        lowest = std::min<unsigned long>(lowest, s.signalPercent);
        highest = std::max<unsigned long>(highest, s.signalPercent);
    }
    if (lowest > 100) return Widen("No signal in the last ten minutes.");
    const unsigned long newest = history.count ? history.count - 1 : 0;
    const bool linkedNow = history.count && history.samples[newest].linked;
    const Text range = u"lowest " + Number(lowest) + u", highest " + Number(highest) + u" in the last ten minutes.";
    return linkedNow ? u"Signal now " + Number(history.samples[newest].signalPercent) + u", " + range
                     : u"Not connected now; " + range;
}
