// One of the four per-adapter records of the tray window. The slot index is
// also the id of the slot's tray icon.
#ifndef ADAPTER_ADAPTERSLOT_H
#define ADAPTER_ADAPTERSLOT_H

#include <windows.h>

#include "TavroApi.h"
#include "TavroApiLimits.h"

#include <string>

const int SLOT_COUNT = 4;
const int NO_ITEM = -1;                                    // itemIndex of a slot never attached
const DWORD QUALITY_UNKNOWN = 0xFFFFFFFF;                  // linkQuality before a value was read
const DWORD QUALITY_FULL = 15;                             // the best linkQuality, shown as 100%
const size_t ADAPTER_ID_SIZE = TAVROAPI_ADAPTER_ID_BYTES;  // buffer of an adapter identifier

struct AdapterSlot {
    DWORD wepPacketRxOk = 0;  // frames received correctly; only zero is tested
    DWORD adapterState = 0;   // 1: linked
    BOOL present = FALSE;     // an adapter is attached
    CWrapDriverInterface driver;
    CWrapNetAdapter adapter;
    DWORD linkQuality = QUALITY_UNKNOWN;  // 0..15
    HICON icon = nullptr;                 // the image last handed to the shell
    int itemIndex = NO_ITEM;              // index in the adapter collection
    BOOL iconShown = FALSE;               // the icon is in the notification area
    BOOL radioOn = TRUE;
    BOOL radioSwitchOn = TRUE;  // the radio switch is on: the radio commands are offered
    BOOL buttonDown = FALSE;    // a mouse button is held on the icon
    DWORD dot11Rate = 0;        // units of 500 kbit/s
    std::string vendorDescription;
};

// Reads the adapter's identifier into a buffer of ADAPTER_ID_SIZE bytes that
// starts empty. A library that fills the whole buffer is cut at its last byte.
inline void ReadAdapterId(CWrapNetAdapter& adapter, char* id) {
    id[0] = 0;
    adapter.GetAdapterID(id);
    id[ADAPTER_ID_SIZE - 1] = 0;
}

#endif
