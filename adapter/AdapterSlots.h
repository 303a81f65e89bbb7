// The four adapter slots of the tray window and the adapter collection they are
// attached from: discovery, status polling, radio control and the check of the
// system's wireless configuration service. A poll says what the slot's icon
// needs; the window adds, refreshes or deletes it.
#ifndef ADAPTER_ADAPTERSLOTS_H
#define ADAPTER_ADAPTERSLOTS_H

#include "adapter/AdapterSlot.h"

#include "TavroApi.h"

// What a poll asks of the slot's tray icon.
enum IconChange { ICON_NONE, ICON_ADD, ICON_REFRESH, ICON_DELETE };

class CAdapterSlots {
public:
    AdapterSlot& Slot(int slot) { return slots[slot]; }
    const AdapterSlot& Slot(int slot) const { return slots[slot]; }
    // The adapter object of a slot; null for an index outside the four.
    CWrapNetAdapter* AdapterOf(int slot);

    // Once per tick: re-reads the adapter collection about every two minutes.
    void RefreshAdapterCollection();
    // Attaches the first usable adapter at collection index `firstItem` or above.
    bool FindAdapterForSlot(int slot, int firstItem);
    // Fills the slots in order; a slot that finds nothing ends the pass, and
    // the slots after it keep their state.
    void FindAdapters();
    // Reads the driver's status into the slot.
    IconChange PollSlot(int slot);

    // Records the radio state the user chose and tells the driver of an
    // attached adapter; a state the slot has already is not sent again.
    void SwitchRadio(int slot, BOOL on);

    // Whether the program's own configuration commands may be offered: not
    // while the system's wireless configuration service manages the adapter
    // of slot 0, which this may attach first.
    BOOL CheckOwnConfigAllowed();

private:
    int refreshTicks = 0;
    CWrapNetAdapters adapters;  // constructed before the slots, destroyed after them
    AdapterSlot slots[SLOT_COUNT];
};

#endif
