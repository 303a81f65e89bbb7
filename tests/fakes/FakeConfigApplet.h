// An in-process stand-in for the configuration applet libraries, for host
// tests. Its Configure export records each call and then stays open the way
// the applet's pages do: a message loop on the caller's thread, until the test
// closes it.
#ifndef FAKES_FAKECONFIGAPPLET_H
#define FAKES_FAKECONFIGAPPLET_H

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

namespace fake {

struct ConfigureCall {
    std::string library;  // the file whose export was called
    int count = 0;
    std::vector<std::string> entries;  // the first `count` entries of the call record
    DWORD reserved = 0;                // what the reserved value held

    bool operator==(const ConfigureCall& other) const {
        return library == other.library && count == other.count && entries == other.entries &&
               reserved == other.reserved;
    }
};
std::ostream& operator<<(std::ostream& out, const ConfigureCall& call);

class ConfigApplet {
public:
    static ConfigApplet& Get();
    void Reset();

    // Makes a library of that name loadable, with or without its Configure export.
    void Install(const std::string& fileName = "TAVROCFG.CPL", bool withExport = true);
    // The user closes the open applet: its Configure call returns.
    void Close();
    bool IsOpen() const { return open > 0; }

    std::vector<ConfigureCall> calls;
    int open = 0;  // Configure calls that have not returned

private:
    ConfigApplet() = default;
};

}  // namespace fake

#endif
