// The state of an adapter's link as the applet shows it (TAVRONET_STATE_*),
// from the radio state the tray program reads (bit 0 the radio, bit 1 its
// switch) and whether the adapter is connected. Shared by both driver libraries.
#ifndef COMMON_LINKSTATE_H
#define COMMON_LINKSTATE_H

#include "TavroNet.h"

inline unsigned long LinkStateOf(unsigned long radio, bool connected) {
    if (!(radio & 2)) return TAVRONET_STATE_SWITCH_OFF;
    if (!(radio & 1)) return TAVRONET_STATE_RADIO_OFF;
    return connected ? TAVRONET_STATE_CONNECTED : TAVRONET_STATE_NOT_CONNECTED;
}

#endif
