// The applet window's rules: what a caller of Configure asks for, the tab a
// page keyword opens, the keys that switch tabs, and the part of Windows'
// own settings that serves a page. Plain C++, tested on the host.
#ifndef TAVROCFG_SHEETRULES_H
#define TAVROCFG_SHEETRULES_H

#include <string>

// What a caller of Configure asks for: a page and an adapter.
struct AppletRequest {
    std::string matchText;  // entry 0
    std::string adapterId;  // entry 1; empty when the caller named none
    std::string page;       // entry 2, the page keyword; empty with a count below 3
    unsigned long reserved = 0;
};
// Reads the first `count` entries of the record; null entries read as empty.
AppletRequest ReadRequest(int count, const char* const* entries, const unsigned long* reserved);

// The tabs in their order: the keyword each stands for, and another keyword
// that opens it (and which it then stands for), or null.
struct TabKeywords {
    const char* keyword;
    const char* alias;
};
const int kTabCount = 6;
extern const TabKeywords kTabKeywords[kTabCount];
// The tab a page keyword opens (none or unknown: the first, Network Status).
int FirstTab(const std::string& keyword);
// The keyword a tab stands for when the window was opened with `asked`.
const char* TabKeyword(int tab, const std::string& asked);
// The tab that a key pressed with the tab `shown` switches to, as in the
// system's property sheets: Ctrl+Tab and Ctrl+Page Down the next,
// Ctrl+Shift+Tab and Ctrl+Page Up the one before; -1 for another key.
int TabAfterKey(int shown, int virtualKey, bool control, bool shift);

// The part of Windows' own settings that serves a page best on the Windows
// version GetVersion reports (its value as returned).
struct SystemSettings {
    const char* button;   // what the button says it opens
    const char* line;     // what is found there, beside the button
    const char* command;  // "control.exe ncpa.cpl", started from the system's folder
};
SystemSettings SystemSettingsFor(const std::string& keyword, unsigned long version);

#endif
