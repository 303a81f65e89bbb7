// The Advanced Configuration page's rules: the words of a saved network's
// row, and which changes the system takes for the selected one and why not.
// Plain C++, tested on the host.
#ifndef TAVROCFG_SAVEDNETWORKRULES_H
#define TAVROCFG_SAVEDNETWORKRULES_H

#include "Text.h"

#include <vector>

// Order, name, security, set by.
const int kSavedNetworkColumns = 4;
std::vector<Text> SavedNetworkRow(const TAVRONET_PROFILE& profile, int index);

// The buttons for the selected row (-1: none) and the line beside them.
struct SavedNetworkButtons {
    bool up, down, remove;
    const char* why;  // "" when nothing is refused
};
SavedNetworkButtons ButtonsFor(const std::vector<TAVRONET_PROFILE>& profiles, int row);

#endif
