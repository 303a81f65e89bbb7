// What a caller of Configure asks for (the entries of its call) and the
// adapter the applet shows for it; also the system's own settings for a
// page and the call log.
#include "AppletRequest.h"

#include "common/LogFile.h"

#include "TavroApi.h"

#include <windows.h>

namespace {

const int kLastItem = 31;

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

SystemSettings SystemSettingsFor(const std::string& keyword, unsigned long version) {
    // Windows 95, 98 and Me: the Network applet.
    if (version & 0x80000000ul) return {"Network", "control.exe netcpl.cpl"};
    // Vista and later: the status of the networks in range and of the
    // connection is the Network and Sharing Center's.
    const unsigned long major = version & 0xFF;
    if (major >= 6 && (keyword == "STATUS" || keyword == "TEST"))
        return {"Network and Sharing Center", "control.exe /name Microsoft.NetworkAndSharingCenter"};
    // NT 4, 2000 and XP for every page, and the adapter's own settings on
    // later versions: the wireless connection's properties (on XP its
    // "Wireless Networks" tab) and the driver's pages are found there.
    return {"Network Connections", "control.exe ncpa.cpl"};
}

ChosenAdapter ChooseAdapter(const std::string& askedId) {
    ChosenAdapter chosen;
    chosen.askedId = askedId;
    chosen.firstInstead = true;
    CWrapNetAdapters adapters;
    CWrapNetAdapter adapter;
    for (int item = 0; item <= kLastItem && adapters.Item(item, &adapter) == 0; ++item) {
        char id[260] = "";
        adapter.GetAdapterID(id);
        id[sizeof id - 1] = 0;
        const bool asked = !askedId.empty() && lstrcmpiA(id, askedId.c_str()) == 0;
        if (item > 0 && !asked) continue;
        char description[128] = "";
        adapter.GetVendorDescription(description);
        description[sizeof description - 1] = 0;
        chosen.adapterId = id;
        chosen.description = description;
        chosen.firstInstead = !asked;
        if (asked) break;
    }
    return chosen;
}

void LogLine(const std::string& line) {
    const std::string text = line + "\n";
    AppendToLogNamedBy("TAVROCFG_LOG", text.data(), static_cast<DWORD>(text.size()));
}
