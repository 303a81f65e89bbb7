// The Configure export of the stand-in applet libraries.
#include "FakeConfigApplet.h"

#include "sim/Desktop.h"

namespace fake {

namespace {

const char* const kLibraries[] = {"TAVROCFG.CPL", "TAVRONDI.DLL"};
bool closing = false;

template <int Library>
long WINAPI Configure(int count, const char** entries, DWORD* reserved) {
    ConfigApplet& applet = ConfigApplet::Get();
    ConfigureCall call;
    call.library = kLibraries[Library];
    call.count = count;
    for (int i = 0; i < count; ++i) call.entries.push_back(entries[i] ? entries[i] : "<null>");
    call.reserved = reserved ? *reserved : 0xFFFFFFFF;
    applet.calls.push_back(call);

    ++applet.open;
    closing = false;
    sim::Desktop::Get().PumpMessagesUntil([] { return closing; });
    closing = false;
    --applet.open;
    return 0;
}

FARPROC ExportOf(int library) {
    auto function = library == 0 ? &Configure<0> : &Configure<1>;
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const ConfigureCall& call) {
    out << call.library << " Configure(" << call.count << ", {";
    for (size_t i = 0; i < call.entries.size(); ++i) out << (i ? ", " : "") << '"' << call.entries[i] << '"';
    return out << "}, reserved " << call.reserved << ")";
}

ConfigApplet& ConfigApplet::Get() {
    static ConfigApplet applet;
    return applet;
}

void ConfigApplet::Reset() {
    calls.clear();
    open = 0;
    closing = false;
}

void ConfigApplet::Install(const std::string& fileName, bool withExport) {
    const int library = fileName == kLibraries[0] ? 0 : 1;
    std::map<std::string, FARPROC> exports;
    if (withExport) exports["Configure"] = ExportOf(library);
    sim::Desktop::Get().RegisterModule(fileName, exports);
}

void ConfigApplet::Close() {
    closing = true;
    sim::Desktop::Get().Wake();
}

}  // namespace fake
