// tavroctl.cpp - console tool that drives TavroApi.DLL the way the tray program
// does and prints what it sees.
//
//   tavroctl [--scenario FILE] [show]            items 0..7, once
//   tavroctl [--scenario FILE] watch SECS [MS]   items 0..7 every MS (1000) for SECS
//   tavroctl [--scenario FILE] radio ITEM 0|1 [adapter|driver|both]
//   tavroctl [--scenario FILE] refresh
//   tavroctl [--scenario FILE] session           commands from stdin, one a line:
//                                                show, watch, radio, refresh, sleep MS, quit
//   tavroctl check FILE                          parse a scenario file, report problems
//
// --scenario sets TAVROAPI_SCENARIO for this process before the library is used.
#include "TavroApi.h"

#include "../src/FilePaths.h"
#include "../src/ScenarioFile.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: tavroctl [--scenario FILE] [show]\n"
                 "       tavroctl [--scenario FILE] watch SECONDS [INTERVAL_MS]\n"
                 "       tavroctl [--scenario FILE] radio ITEM 0|1 [adapter|driver|both]\n"
                 "       tavroctl [--scenario FILE] refresh\n"
                 "       tavroctl [--scenario FILE] session   (commands from stdin; also sleep MS, quit)\n"
                 "       tavroctl check FILE\n");
    return 2;
}

void printValue(const char* name, long result, unsigned long value, bool hex = false) {
    if (result != 0) std::printf(" %s=error(%ld)", name, result);
    else if (hex) std::printf(" %s=0x%04lX", name, value);
    else std::printf(" %s=%lu", name, value);
}

// One line per item, as the program would query it.
void showItems() {
    CWrapNetAdapters adapters;
    CWrapNetAdapter adapter;
    CWrapDriverInterface driver;
    for (int i = 0; i < 8; ++i) {
        long item = adapters.Item(i, &adapter);
        std::printf("item %d: Item=%ld", i, item);
        if (item == 0) {
            char description[128] = "";
            char id[260] = "";
            long rd = adapter.GetVendorDescription(description);
            long ri = adapter.GetAdapterID(id);
            long attach = driver.Attach(&adapter);
            std::printf(" Attach=%ld", attach);
            if (rd == 0) std::printf(" description=\"%s\"", description);
            else std::printf(" description=error(%ld)", rd);
            if (ri == 0) std::printf(" id=%s", id);
            else std::printf(" id=error(%ld)", ri);
            if (attach == 0) {
                unsigned long v = 0;
                long r;
                r = driver.GetRadioState(&v);            printValue("radio", r, v);
                r = driver.GetNetworkType(&v);           printValue("network_type", r, v);
                r = driver.GetAdapterState(&v);          printValue("adapter_state", r, v);
                r = driver.GetLinkQuality(&v);           printValue("quality", r, v);
                r = driver.GetDot11Rate(&v);             printValue("rate", r, v);
                r = driver.GetWEPPacketRxOK(&v);         printValue("wep_rx_ok", r, v);
                r = driver.GetDot11NetworkTypeInUse(&v); printValue("network_type_in_use", r, v);
                r = driver.GetGenDriverVersion(&v);      printValue("driver_version", r, v, true);
            }
        }
        std::printf("\n");
    }
    std::fflush(stdout);
}

int setRadio(int index, unsigned long on, const std::string& via) {
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
    if (driver.Attach(&adapter) == 0 && driver.GetRadioState(&state) == 0)
        std::printf("radio=%lu\n", state);
    return failed ? 1 : 0;
}

int checkFile(const char* path) {
    std::string text, error;
    if (!tavro::readWholeFile(tavro::resolvePath(path), text)) {
        std::printf("error: %s cannot be read\n", path);
        return 1;
    }
    tavro::Scenario scenario;
    if (!tavro::parseScenario(text, scenario, error)) {
        std::printf("error: %s\n", error.c_str());
        return 1;
    }
    std::printf("ok: %u adapter(s)\n", static_cast<unsigned>(scenario.adapters.size()));
    for (const tavro::AdapterSection& a : scenario.adapters)
        std::printf("  index %d id=%s description=\"%s\"\n", a.index, a.id.c_str(),
                    a.description.c_str());
    return 0;
}

// Runs one command; `args` holds the command word and its arguments.
int runCommand(const std::vector<std::string>& args) {
    const std::string& command = args[0];
    size_t rest = args.size() - 1;
    if (command == "show" && rest == 0) {
        showItems();
        return 0;
    }
    if (command == "watch" && (rest == 1 || rest == 2)) {
        DWORD seconds = std::strtoul(args[1].c_str(), nullptr, 10);
        DWORD interval = rest == 2 ? std::strtoul(args[2].c_str(), nullptr, 10) : 1000;
        if (interval == 0) interval = 1000;
        DWORD start = GetTickCount();
        for (;;) {
            std::printf("t=%lu\n", static_cast<unsigned long>(GetTickCount() - start));
            showItems();
            if (GetTickCount() - start + interval > seconds * 1000) break;
            Sleep(interval);
        }
        return 0;
    }
    if (command == "radio" && (rest == 2 || rest == 3)) {
        std::string via = rest == 3 ? args[3] : "both";
        if (via != "adapter" && via != "driver" && via != "both") return usage();
        return setRadio(std::atoi(args[1].c_str()), std::strtoul(args[2].c_str(), nullptr, 10), via);
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
    if (command == "check" && rest == 1) return checkFile(args[1].c_str());
    return usage();
}

// Reads commands from standard input, one a line, in this one process, so the
// library's memory (radio switches) lasts from one command to the next.
int session() {
    int status = 0;
    char line[1024];
    while (std::fgets(line, sizeof line, stdin)) {
        std::vector<std::string> args;
        for (char* word = std::strtok(line, " \t\r\n"); word; word = std::strtok(nullptr, " \t\r\n"))
            args.push_back(word);
        if (args.empty() || args[0][0] == '#') continue;
        if (args[0] == "quit") break;
        std::printf("> %s\n", args[0].c_str());
        if (runCommand(args) != 0) status = 1;
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
    if (args[0] == "session" && args.size() == 1) return session();
    return runCommand(args);
}
