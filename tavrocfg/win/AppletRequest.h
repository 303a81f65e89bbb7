// The adapter the applet shows for a caller's request, looked up through
// TavroApi.DLL, and the applet's call log.
#ifndef TAVROCFG_APPLETREQUEST_H
#define TAVROCFG_APPLETREQUEST_H

#include "SheetRules.h"

#include <string>

// The adapter with the asked identifier, else the first adapter
// (`firstInstead`); an empty identifier when the library knows none.
struct ChosenAdapter {
    std::string askedId;        // the identifier the caller gave
    std::string adapterId;      // the adapter shown
    std::string description;    // its vendor description, "" when not known
    bool firstInstead = false;  // the asked identifier was empty or unknown
};
ChosenAdapter ChooseAdapter(const std::string& askedId);

// Appends one line to the file named by TAVROCFG_LOG, if that is set.
void LogLine(const std::string& line);

#endif
