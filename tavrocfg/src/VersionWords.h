// How the Version Information page names Windows: from the version the
// system reports and, where it has one, the true version of ntdll's
// RtlGetVersion, which a program without a manifest is not shown on Windows
// 8.1 and later (GetVersionExA answers 6.2 there). Plain C++, tested on the host.
#ifndef TAVROCFG_VERSIONWORDS_H
#define TAVROCFG_VERSIONWORDS_H

#include <string>

struct WindowsVersion {
    unsigned long platform = 0;  // VER_PLATFORM_WIN32_WINDOWS 1, VER_PLATFORM_WIN32_NT 2
    unsigned long major = 0, minor = 0, build = 0;
    unsigned long productType = 1;  // VER_NT_WORKSTATION 1, else a server
    std::string servicePack;        // "Service Pack 3", "A", ""
};

// The version to name: the true one where the system gave it, else the reported one.
WindowsVersion TrueVersion(const WindowsVersion& reported, const WindowsVersion* fromNtdll);
// "Windows 11, version 10.0 (build 22631)"; "Windows XP, version 5.1 (build
// 2600), Service Pack 3"; an unknown one by its numbers.
std::string WindowsName(const WindowsVersion& version);

#endif
