// The radio commands of the menu: switch the radio of the slot whose menu was
// shown, and show the result at once.
#include "tray/StatusTrayDlg.h"

void CStatusTrayDlg::OnRadioOn() { SwitchRadio(TRUE); }

void CStatusTrayDlg::OnRadioOff() { SwitchRadio(FALSE); }

void CStatusTrayDlg::SwitchRadio(BOOL on) {
    AdapterSlot& slot = slots[menuSlot];
    if (slot.radioOn != on) {
        slot.radioOn = on;
        if (slot.present) {
            slot.adapter.SetRadioState(on ? 1 : 0);
            slot.driver.SetRadioState(on ? 1 : 0);
        }
    }
    RefreshTrayIcon(menuSlot);
}
