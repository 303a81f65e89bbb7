// The adapter the applet shows for a caller's request and the call log
// (see AppletRequest.h).
#include "AppletRequest.h"

#include "common/LogFile.h"

#include "TavroApi.h"
#include "TavroApiLimits.h"

#include <windows.h>

namespace {

const int kLastItem = TAVROAPI_LAST_ITEM;

}  // namespace

ChosenAdapter ChooseAdapter(const std::string& askedId) {
    ChosenAdapter chosen;
    chosen.askedId = askedId;
    chosen.firstInstead = true;
    CWrapNetAdapters adapters;
    CWrapNetAdapter adapter;
    for (int item = 0; item <= kLastItem && adapters.Item(item, &adapter) == 0; ++item) {
        char id[TAVROAPI_ADAPTER_ID_BYTES] = "";
        adapter.GetAdapterID(id);
        id[sizeof id - 1] = 0;
        const bool asked = !askedId.empty() && lstrcmpiA(id, askedId.c_str()) == 0;
        if (item > 0 && !asked) continue;
        char description[TAVROAPI_DESCRIPTION_BYTES] = "";
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
