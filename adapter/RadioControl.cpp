// The radio commands of the menu: switch the radio of a slot on or off.
#include "adapter/AdapterSlots.h"

void CAdapterSlots::SwitchRadio(int slot, BOOL on) {
    AdapterSlot& s = slots[slot];
    if (s.radioOn == on) return;
    s.radioOn = on;
    if (s.present) {
        s.adapter.SetRadioState(on ? 1 : 0);
        s.driver.SetRadioState(on ? 1 : 0);
    }
}
