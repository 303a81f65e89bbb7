// Adapter discovery and status polling: each tick attaches the installed
// adapters to the four slots and reads each slot's radio and link state.
#include "adapter/AdapterSlots.h"

namespace {

const int kLastItem = TAVROAPI_LAST_ITEM;
const int kRefreshAfterTicks = 120;
const unsigned long kNetworkTypeFullQuality = 3;
const unsigned long kNetworkTypeInfrastructure = 1;
const unsigned long kAdapterStateUnknown = 4;
const unsigned long kAdapterLinked = 1;
const unsigned long kRadioOn = TAVROAPI_RADIO_ON;
const unsigned long kRadioSwitchOn = TAVROAPI_RADIO_SWITCH_ON;
const size_t kDescriptionBuffer = TAVROAPI_DESCRIPTION_BYTES;

}  // namespace

CWrapNetAdapter* CAdapterSlots::AdapterOf(int slot) {
    return static_cast<unsigned>(slot) < static_cast<unsigned>(SLOT_COUNT) ? &slots[slot].adapter : nullptr;
}

void CAdapterSlots::RefreshAdapterCollection() {
    if (refreshTicks > kRefreshAfterTicks) {
        adapters.Refresh();
        refreshTicks = 0;
    }
    ++refreshTicks;
}

bool CAdapterSlots::FindAdapterForSlot(int slot, int firstItem) {
    AdapterSlot& s = slots[slot];
    s.present = FALSE;
    for (int item = firstItem; item <= kLastItem; ++item) {
        if (adapters.Item(item, &s.adapter) != 0) break;
        if (s.driver.Attach(&s.adapter) != 0) continue;
        s.present = TRUE;
        if (item != s.itemIndex) {
            char description[kDescriptionBuffer] = {};
            s.adapter.GetVendorDescription(description);
            description[kDescriptionBuffer - 1] = 0;
            s.vendorDescription = description;
        }
        s.itemIndex = item;
        break;
    }
    return s.present != FALSE;
}

void CAdapterSlots::FindAdapters() {
    int firstItem = 0;
    for (int slot = 0; slot < SLOT_COUNT; ++slot) {
        if (!FindAdapterForSlot(slot, firstItem)) return;
        firstItem = slots[slot].itemIndex + 1;
    }
}

// An empty slot asks for its icon to go; an attached one for its icon to be
// added, or refreshed once it is shown.
IconChange CAdapterSlots::PollSlot(int slot) {
    AdapterSlot& s = slots[slot];
    s.dot11Rate = 0;
    s.adapterState = 0;
    if (!s.present) return s.iconShown ? ICON_DELETE : ICON_NONE;

    // A query that fails leaves the radio reported off with its switch off.
    unsigned long radio = 0;
    s.driver.GetRadioState(&radio);
    s.radioOn = (radio & (kRadioOn | kRadioSwitchOn)) == (kRadioOn | kRadioSwitchOn);
    s.radioSwitchOn = (radio & kRadioSwitchOn) != 0;

    if (radio != 0) {
        unsigned long networkType = kNetworkTypeFullQuality;
        s.driver.GetNetworkType(&networkType);
        if (networkType == kNetworkTypeFullQuality) {
            s.linkQuality = QUALITY_FULL;
        } else {
            s.adapterState = kAdapterStateUnknown;
            s.driver.GetAdapterState(&s.adapterState);
            s.linkQuality = 0;
            if (s.adapterState == kAdapterLinked) {
                if (networkType == kNetworkTypeInfrastructure) {
                    s.driver.GetLinkQuality(&s.linkQuality);
                    s.driver.GetDot11Rate(&s.dot11Rate);
                } else {
                    s.linkQuality = QUALITY_FULL;
                }
            }
            s.driver.GetWEPPacketRxOK(&s.wepPacketRxOk);
        }
    }
    return s.iconShown ? ICON_REFRESH : ICON_ADD;
}
