// How the Version Information page names Windows (see VersionWords.h).
#include "VersionWords.h"

#include "Rules.h"

namespace {

struct Named {
    unsigned long platform, major, minor, firstBuild;
    bool server;
    const char* name;
};
// Later rows of the same numbers are later builds; Windows 11 and the
// servers after 2012 R2 keep version 10.0 and differ by their build.
const Named kNames[] = {
    {1, 4, 0, 0, false, "Windows 95"},
    {1, 4, 10, 0, false, "Windows 98"},
    {1, 4, 90, 0, false, "Windows Me"},
    {2, 4, 0, 0, false, "Windows NT 4.0"},
    {2, 5, 0, 0, false, "Windows 2000"},
    {2, 5, 1, 0, false, "Windows XP"},
    {2, 5, 2, 0, false, "Windows XP Professional x64 Edition"},
    {2, 5, 2, 0, true, "Windows Server 2003"},
    {2, 6, 0, 0, false, "Windows Vista"},
    {2, 6, 0, 0, true, "Windows Server 2008"},
    {2, 6, 1, 0, false, "Windows 7"},
    {2, 6, 1, 0, true, "Windows Server 2008 R2"},
    {2, 6, 2, 0, false, "Windows 8"},
    {2, 6, 2, 0, true, "Windows Server 2012"},
    {2, 6, 3, 0, false, "Windows 8.1"},
    {2, 6, 3, 0, true, "Windows Server 2012 R2"},
    {2, 10, 0, 0, false, "Windows 10"},
    {2, 10, 0, 22000, false, "Windows 11"},
    {2, 10, 0, 0, true, "Windows Server 2016"},
    {2, 10, 0, 17763, true, "Windows Server 2019"},
    {2, 10, 0, 20348, true, "Windows Server 2022"},
    {2, 10, 0, 26100, true, "Windows Server 2025"},
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
        if (each.platform == v.platform && each.major == v.major && each.minor == v.minor && each.server == server &&
            v.build >= each.firstBuild)
            name = each.name;
    std::string text = name ? name : v.platform == 1 ? "Windows" : "Windows NT";
    text += ", version " + Number(v.major) + "." + (v.minor < 10 && v.platform == 1 ? "0" : "") + Number(v.minor) +
            " (build " + Number(v.build) + ")";
    if (!v.servicePack.empty()) text += ", " + v.servicePack;
    return text;
}
