// How the Version Information page names Windows (see VersionWords.h).
#include "VersionWords.h"

#include "Rules.h"

namespace {

struct Named {
    unsigned long platform, major, minor;
    bool server;
    const char* name;
};
const Named kNames[] = {
    {1, 4, 0, false, "Windows 95"},
    {1, 4, 10, false, "Windows 98"},
    {1, 4, 90, false, "Windows Me"},
    {2, 4, 0, false, "Windows NT 4.0"},
    {2, 4, 0, true, "Windows NT 4.0 Server"},
    {2, 5, 0, false, "Windows 2000"},
    {2, 5, 0, true, "Windows 2000 Server"},
    {2, 5, 1, false, "Windows XP"},
    {2, 5, 2, false, "Windows XP Professional x64 Edition"},
    {2, 5, 2, true, "Windows Server 2003"},
    {2, 6, 0, false, "Windows Vista"},
    {2, 6, 0, true, "Windows Server 2008"},
    {2, 6, 1, false, "Windows 7"},
    {2, 6, 1, true, "Windows Server 2008 R2"},
    {2, 6, 2, false, "Windows 8"},
    {2, 6, 2, true, "Windows Server 2012"},
    {2, 6, 3, false, "Windows 8.1"},
    {2, 6, 3, true, "Windows Server 2012 R2"},
    {2, 10, 0, false, "Windows 10"},
    {2, 10, 0, true, "Windows Server 2016"},
};
// Windows 11 and the servers after 2016 keep version 10.0 and differ by
// their build: the last row that the build reaches names it.
struct NamedBuild {
    bool server;
    unsigned long firstBuild;
    const char* name;
};
const NamedBuild kBuilds[] = {
    {false, 22000, "Windows 11"},
    {true, 17763, "Windows Server 2019"},
    {true, 20348, "Windows Server 2022"},
    {true, 26100, "Windows Server 2025"},
};

std::string Number(unsigned long n) {
    char text[16];
    FormatNumber(text, sizeof text, n);
    return text;
}

}  // namespace

WindowsVersion TrueVersion(const WindowsVersion& reported, const WindowsVersion* fromNtdll) {
    return fromNtdll && fromNtdll->major ? *fromNtdll : reported;
}

std::string WindowsName(const WindowsVersion& v) {
    const char* name = nullptr;
    const bool server = v.platform == 2 && v.productType != 1;
    for (const Named& each : kNames)
        if (each.platform == v.platform && each.major == v.major && each.minor == v.minor && each.server == server)
            name = each.name;
    const bool ten = v.platform == 2 && v.major == 10 && v.minor == 0;
    for (const NamedBuild& each : kBuilds)
        if (ten && each.server == server && v.build >= each.firstBuild) name = each.name;
    std::string text = name ? name : v.platform == 1 ? "Windows" : "Windows NT";
    text += ", version " + Number(v.major) + "." + (v.minor < 10 && v.platform == 1 ? "0" : "") + Number(v.minor) +
            " (build " + Number(v.build) + ")";
    if (!v.servicePack.empty()) text += ", " + v.servicePack;
    return text;
}
