// tavroctl.cpp - console tool that drives TavroApi.DLL the way the tray program
// does and prints what it sees.
//
//   tavroctl [--scenario FILE] [show]            items 0..7, once
//   tavroctl [--scenario FILE] watch SECS [MS]   items 0..7 every MS (1000) for SECS
//   tavroctl [--scenario FILE] radio ITEM 0|1 [adapter|driver|both]
//   tavroctl [--scenario FILE] refresh
//   tavroctl [--scenario FILE] session           commands from stdin, one a line:
//                                                show, watch, radio, refresh, networks,
//                                                connect, sleep MS, quit
//   tavroctl [--scenario FILE] networks ITEM     the applet's view: link, networks, profiles
//   tavroctl [--scenario FILE] connect ITEM SSID|-   connects to a network of the list, or disconnects
//   tavroctl check FILE                          parse a scenario file, report problems
//
// --scenario sets TAVROAPI_SCENARIO for this process before the library is used.
#include "TavroApi.h"
#include "TavroApiLimits.h"
#include "TavroNet.h"

#include "../src/FilePaths.h"
#include "../src/ScenarioFile.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: tavroctl [--scenario FILE] [show]\n"
                 "       tavroctl [--scenario FILE] watch SECONDS [INTERVAL_MS]\n"
                 "       tavroctl [--scenario FILE] radio ITEM 0|1 [adapter|driver|both]\n"
                 "       tavroctl [--scenario FILE] refresh\n"
                 "       tavroctl [--scenario FILE] networks ITEM\n"
                 "       tavroctl [--scenario FILE] connect ITEM SSID|-\n"
                 "       tavroctl [--scenario FILE] session   (commands from stdin; also sleep MS, quit)\n"
                 "       tavroctl check FILE\n");
    return 2;
}

void PrintValue(const char* name, long result, unsigned long value, bool hex = false) {
    if (result != 0)
        std::printf(" %s=error(%ld)", name, result);
    else if (hex)
        std::printf(" %s=0x%04lX", name, value);
    else
        std::printf(" %s=%lu", name, value);
}

// What the program reads of an attached adapter, in the order it reads it.
struct Reading {
    const char* name;
    long (CWrapDriverInterface::*get)(unsigned long*);
    bool hex;
};
const Reading kReadings[] = {
    {"radio", &CWrapDriverInterface::GetRadioState, false},
    {"network_type", &CWrapDriverInterface::GetNetworkType, false},
    {"adapter_state", &CWrapDriverInterface::GetAdapterState, false},
    {"quality", &CWrapDriverInterface::GetLinkQuality, false},
    {"rate", &CWrapDriverInterface::GetDot11Rate, false},
    {"wep_rx_ok", &CWrapDriverInterface::GetWEPPacketRxOK, false},
    {"network_type_in_use", &CWrapDriverInterface::GetDot11NetworkTypeInUse, false},
    {"driver_version", &CWrapDriverInterface::GetGenDriverVersion, true},
};

// One line per item, as the program would query it.
void ShowItems() {
    CWrapNetAdapters adapters;
    CWrapNetAdapter adapter;
    CWrapDriverInterface driver;
    for (int i = 0; i < 8; ++i) {
        long item = adapters.Item(i, &adapter);
        std::printf("item %d: Item=%ld", i, item);
        if (item == 0) {
            char description[TAVROAPI_DESCRIPTION_BYTES] = "";
            char id[TAVROAPI_ADAPTER_ID_BYTES] = "";
            long rd = adapter.GetVendorDescription(description);
            long ri = adapter.GetAdapterID(id);
            long attach = driver.Attach(&adapter);
            std::printf(" Attach=%ld", attach);
            if (rd == 0)
                std::printf(" description=\"%s\"", description);
            else
                std::printf(" description=error(%ld)", rd);
            if (ri == 0)
                std::printf(" id=%s", id);
            else
                std::printf(" id=error(%ld)", ri);
            for (size_t r = 0; attach == 0 && r < sizeof kReadings / sizeof kReadings[0]; ++r) {
                unsigned long value = 0;
                const long result = (driver.*kReadings[r].get)(&value);
                PrintValue(kReadings[r].name, result, value, kReadings[r].hex);
            }
        }
        std::printf("\n");
    }
    std::fflush(stdout);
}

int SetRadio(int index, unsigned long on, const std::string& via) {
    CWrapNetAdapters adapters;
    CWrapNetAdapter adapter;
    CWrapDriverInterface driver;
    long item = adapters.Item(index, &adapter);
    std::printf("Item(%d)=%ld\n", index, item);
    bool failed = item != 0;
    if (via == "adapter" || via == "both") {
        long r = adapter.SetRadioState(static_cast<long>(on));
        std::printf("CWrapNetAdapter::SetRadioState(%lu)=%ld\n", on, r);
        failed = failed || r != 0;
    }
    if (via == "driver" || via == "both") {
        long a = driver.Attach(&adapter);
        long r = driver.SetRadioState(on);
        std::printf("Attach=%ld CWrapDriverInterface::SetRadioState(%lu)=%ld\n", a, on, r);
        failed = failed || r != 0;
    }
    unsigned long state = 0;
    if (driver.Attach(&adapter) == 0 && driver.GetRadioState(&state) == 0) std::printf("radio=%lu\n", state);
    return failed ? 1 : 0;
}

// The applet-facing functions, found by name as the applet finds them.
template <typename Function>
Function NetFunction(const char* name) {
    HMODULE library = GetModuleHandleA("TavroApi.DLL");
    return library ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name))) : nullptr;
}

std::string SsidText(const unsigned char* ssid, unsigned long length) {
    return length == 0 ? std::string("(hidden)") : std::string(reinterpret_cast<const char*>(ssid), length);
}

// The identifier of collection item `index`, or "" when there is none.
std::string ItemId(int index) {
    CWrapNetAdapters adapters;
    CWrapNetAdapter adapter;
    char id[TAVROAPI_ADAPTER_ID_BYTES] = "";
    if (adapters.Item(index, &adapter) != 0 || adapter.GetAdapterID(id) != 0) return std::string();
    return id;
}

int ShowNetworks(int index) {
    std::string id = ItemId(index);
    auto getLink = NetFunction<TAVRONET_GET_LINK>("TavroNetGetLink");
    auto getNetworks = NetFunction<TAVRONET_GET_NETWORKS>("TavroNetGetNetworks");
    auto getProfiles = NetFunction<TAVRONET_GET_PROFILES>("TavroNetGetProfiles");
    auto getLibrary = NetFunction<TAVRONET_GET_LIBRARY>("TavroNetGetLibrary");
    if (!getLink || !getNetworks || !getProfiles || !getLibrary) {
        std::printf("the library exports no TavroNet functions\n");
        return 1;
    }
    TAVRONET_LIBRARY library = {};
    library.size = sizeof library;
    unsigned long r = getLibrary(id.c_str(), &library);
    std::printf("library=%lu kind=%lu wlan_api=%lu driver=\"%s\"\n", r, library.kind, library.wlanApiVersion,
                library.driverVersion);
    TAVRONET_LINK link = {};
    link.size = sizeof link;
    r = getLink(id.c_str(), &link);
    std::printf(
        "link=%lu state=%lu ssid=\"%s\" channel=%lu signal=%lu%% rssi=%ld tx=%lu rx=%lu auth=%lu cipher=%lu "
        "known=0x%03lX profile=\"%s\"\n",
        r, link.state, SsidText(link.ssid, link.ssidLength).c_str(), link.channel, link.signalPercent, link.rssiDbm,
        link.txRateKbps, link.rxRateKbps, link.authentication, link.cipher, link.known, link.profileName);
    std::vector<TAVRONET_NETWORK> networks(200);
    networks[0].size = sizeof(TAVRONET_NETWORK);
    unsigned long count = 0;
    r = getNetworks(id.c_str(), networks.data(), static_cast<unsigned long>(networks.size()), &count);
    std::printf("networks=%lu count=%lu\n", r, count);
    for (unsigned long i = 0; r == 0 && i < count && i < networks.size(); ++i) {
        const TAVRONET_NETWORK& n = networks[i];
        std::printf("  \"%s\" channel=%lu signal=%lu%% rssi=%ld auth=%lu cipher=%lu aps=%lu flags=%lu profile=\"%s\"\n",
                    SsidText(n.ssid, n.ssidLength).c_str(), n.channel, n.signalPercent, n.rssiDbm, n.authentication,
                    n.cipher, n.accessPoints, n.flags, n.profileName);
    }
    std::vector<TAVRONET_PROFILE> profiles(100);
    profiles[0].size = sizeof(TAVRONET_PROFILE);
    r = getProfiles(id.c_str(), profiles.data(), static_cast<unsigned long>(profiles.size()), &count);
    std::printf("profiles=%lu count=%lu\n", r, count);
    for (unsigned long i = 0; r == 0 && i < count && i < profiles.size(); ++i)
        std::printf("  \"%s\" auth=%lu cipher=%lu flags=%lu\n", profiles[i].name, profiles[i].authentication,
                    profiles[i].cipher, profiles[i].flags);
    return 0;
}

int ConnectTo(int index, const std::string& ssid) {
    std::string id = ItemId(index);
    auto connect = NetFunction<TAVRONET_CONNECT>("TavroNetConnect");
    auto disconnect = NetFunction<TAVRONET_DISCONNECT>("TavroNetDisconnect");
    if (!connect || !disconnect) return 1;
    TAVRONET_NETWORK network = {};
    network.size = sizeof network;
    network.ssidLength = static_cast<unsigned long>(ssid.size() < 32 ? ssid.size() : 32);
    std::memcpy(network.ssid, ssid.data(), network.ssidLength);
    unsigned long r = ssid == "-" ? disconnect(id.c_str()) : connect(id.c_str(), &network);
    std::printf("%s=%lu\n", ssid == "-" ? "TavroNetDisconnect" : "TavroNetConnect", r);
    return r == 0 ? 0 : 1;
}

int CheckFile(const char* path) {
    std::string text, error;
    if (!tavro::ReadWholeFile(tavro::ResolvePath(path), text)) {
        std::printf("error: %s cannot be read\n", path);
        return 1;
    }
    tavro::Scenario scenario;
    if (!tavro::ParseScenario(text, scenario, error)) {
        std::printf("error: %s\n", error.c_str());
        return 1;
    }
    std::printf("ok: %u adapter(s), %u network(s), %u profile(s)\n", static_cast<unsigned>(scenario.adapters.size()),
                static_cast<unsigned>(scenario.networks.size()), static_cast<unsigned>(scenario.profiles.size()));
    for (const tavro::AdapterSection& a : scenario.adapters)
        std::printf("  index %d id=%s description=\"%s\"\n", a.index, a.id.c_str(), a.description.c_str());
    return 0;
}

// Runs one command; `args` holds the command word and its arguments.
int RunCommand(const std::vector<std::string>& args) {
    const std::string& command = args[0];
    size_t rest = args.size() - 1;
    if (command == "show" && rest == 0) {
        ShowItems();
        return 0;
    }
    if (command == "watch" && (rest == 1 || rest == 2)) {
        DWORD seconds = std::strtoul(args[1].c_str(), nullptr, 10);
        DWORD interval = rest == 2 ? std::strtoul(args[2].c_str(), nullptr, 10) : 1000;
        if (interval == 0) interval = 1000;
        DWORD start = GetTickCount();
        for (;;) {
            std::printf("t=%lu\n", static_cast<unsigned long>(GetTickCount() - start));
            ShowItems();
            if (GetTickCount() - start + interval > seconds * 1000) break;
            Sleep(interval);
        }
        return 0;
    }
    if (command == "radio" && (rest == 2 || rest == 3)) {
        std::string via = rest == 3 ? args[3] : "both";
        if (via != "adapter" && via != "driver" && via != "both") return Usage();
        return SetRadio(std::atoi(args[1].c_str()), std::strtoul(args[2].c_str(), nullptr, 10), via);
    }
    if (command == "refresh" && rest == 0) {
        CWrapNetAdapters adapters;
        long r = adapters.Refresh();
        std::printf("Refresh=%ld\n", r);
        std::fflush(stdout);
        return r == 0 ? 0 : 1;
    }
    if (command == "sleep" && rest == 1) {
        Sleep(std::strtoul(args[1].c_str(), nullptr, 10));
        return 0;
    }
    if (command == "networks" && rest == 1) return ShowNetworks(std::atoi(args[1].c_str()));
    if (command == "connect" && rest == 2) return ConnectTo(std::atoi(args[1].c_str()), args[2]);
    if (command == "check" && rest == 1) return CheckFile(args[1].c_str());
    return Usage();
}

// Reads commands from standard input, one a line, in this one process, so the
// library's memory (radio switches) lasts from one command to the next.
int Session() {
    int status = 0;
    char line[1024];
    while (std::fgets(line, sizeof line, stdin)) {
        std::vector<std::string> args;
        for (char* word = std::strtok(line, " \t\r\n"); word; word = std::strtok(nullptr, " \t\r\n"))
            args.push_back(word);
        if (args.empty() || args[0][0] == '#') continue;
        if (args[0] == "quit") break;
        std::printf("> %s\n", args[0].c_str());
        if (RunCommand(args) != 0) status = 1;
        std::fflush(stdout);
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    int i = 1;
    if (i + 1 < argc && std::strcmp(argv[i], "--scenario") == 0) {
        SetEnvironmentVariableA("TAVROAPI_SCENARIO", argv[i + 1]);
        i += 2;
    }
    std::vector<std::string> args(argv + i, argv + argc);
    if (args.empty()) args.push_back("show");
    if (args[0] == "session" && args.size() == 1) return Session();
    return RunCommand(args);
}
