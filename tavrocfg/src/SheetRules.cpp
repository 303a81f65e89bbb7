// The applet window's rules (see SheetRules.h).
#include "SheetRules.h"

namespace {

const int kVkTab = 0x09, kVkPageUp = 0x21, kVkPageDown = 0x22;

std::string Entry(int count, const char* const* entries, int index) {
    return index < count && entries && entries[index] ? entries[index] : "";
}

}  // namespace

AppletRequest ReadRequest(int count, const char* const* entries, const unsigned long* reserved) {
    AppletRequest request;
    request.matchText = Entry(count, entries, 0);
    request.adapterId = Entry(count, entries, 1);
    request.page = Entry(count, entries, 2);
    request.reserved = reserved ? *reserved : 0;
    return request;
}

const TabKeywords kTabKeywords[kTabCount] = {
    {"STATUS", nullptr}, {"TEST", nullptr},  {"CONFIGURE", nullptr},
    {"SECURITY", "WEP"}, {"ABOUT", nullptr}, {"INSTALL", nullptr},
};

int FirstTab(const std::string& keyword) {
    for (int i = 0; i < kTabCount; ++i)
        if (keyword == kTabKeywords[i].keyword || (kTabKeywords[i].alias && keyword == kTabKeywords[i].alias)) return i;
    return 0;
}

const char* TabKeyword(int tab, const std::string& asked) {
    const TabKeywords& each = kTabKeywords[tab];
    return each.alias && asked == each.alias ? each.alias : each.keyword;
}

int TabAfterKey(int shown, int virtualKey, bool control, bool shift) {
    if (!control) return -1;
    const bool forward = (virtualKey == kVkTab && !shift) || virtualKey == kVkPageDown;
    const bool back = (virtualKey == kVkTab && shift) || virtualKey == kVkPageUp;
    if (forward) return (shown + 1) % kTabCount;
    if (back) return (shown + kTabCount - 1) % kTabCount;
    return -1;
}

SystemSettings SystemSettingsFor(const std::string& keyword, unsigned long version) {
    // Windows 95, 98 and Me: the Network applet.
    if (version & 0x80000000ul)
        return {"&Open Network Settings", "The adapter, its driver and the network protocols, in Control Panel.",
                "control.exe netcpl.cpl"};
    // Vista and later: the connection and the networks in range as Windows
    // shows them are the Network and Sharing Center's.
    const unsigned long major = version & 0xFF;
    if (major >= 6 && (keyword == "STATUS" || keyword == "TEST"))
        return {"&Open Network and Sharing Center", "The connection and the networks in range as Windows shows them.",
                "control.exe /name Microsoft.NetworkAndSharingCenter"};
    // NT 4, 2000 and XP for every page, and the adapter's own settings on
    // later versions: the wireless connection's properties (on XP with its
    // wireless networks) and the driver's pages are found there.
    return {"&Open Network Connections", "The adapter's properties and Windows' own wireless settings.",
            "control.exe ncpa.cpl"};
}
