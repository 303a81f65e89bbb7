// What a caller of Configure asks for: a page and an adapter, read from the
// call record, with what the driver-interface library knows of the adapter.
#ifndef TAVROCFG_APPLETREQUEST_H
#define TAVROCFG_APPLETREQUEST_H

#include <string>

struct AppletRequest {
    std::string matchText;    // entry 0
    std::string adapterId;    // entry 1; empty when the caller named none
    std::string page;         // entry 2, the page keyword; empty with a count below 3
    unsigned long reserved = 0;
};

// Reads the first `count` entries of the record; null entries read as empty.
AppletRequest ReadRequest(int count, const char* const* entries, const unsigned long* reserved);

// The system's own settings that serve a page best on the Windows version
// GetVersion reports (its value as returned): what a user of that version
// would open for it.
struct SystemSettings {
    const char* title;    // "Network Connections"
    const char* command;  // "control.exe ncpa.cpl"
};
SystemSettings SystemSettingsFor(const std::string& keyword, unsigned long version);

// The adapter the applet shows, looked up through TavroApi.DLL: the one with
// the asked identifier, else the first adapter (`firstInstead`); an empty
// identifier when the library knows none.
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
