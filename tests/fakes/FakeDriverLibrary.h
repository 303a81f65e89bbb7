// An in-process stand-in for the driver-interface library, for host tests.
// Tests describe the installed adapters and read back every call the program
// made, in order.
#ifndef FAKES_FAKEDRIVERLIBRARY_H
#define FAKES_FAKEDRIVERLIBRARY_H

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace fake {

// One item of the adapter collection, as its driver answers.
struct FakeAdapter {
    std::string description = "Wireless LAN Adapter";
    std::string id = "{00000000-0000-0000-0000-000000000000}";
    bool attachOk = true;
    unsigned long radio = 3;  // bit 0: radio on, bit 1: switch on
    unsigned long networkType = 1;
    unsigned long adapterState = 1;
    unsigned long linkQuality = 15;
    unsigned long rate = 22;
    unsigned long wepPacketRxOk = 100;
    unsigned long networkTypeInUse = 1;
    unsigned long driverVersion = 0x0501;
    std::set<std::string, std::less<>> failingQueries;  // these Get... calls fail and write nothing
};

class DriverLibrary {
public:
    static DriverLibrary& Get() { return instance; }
    void Reset();

    // The collection, by item index. An item that cannot be attached stands
    // for a device of another kind.
    std::vector<FakeAdapter> items;
    FakeAdapter& Add(const std::string& description);
    void AddUnusable(int count);

    // "Item(2)", "Attach(2)", "GetLinkQuality(2)", "CWrapNetAdapter::SetRadioState(2,0)", ...
    std::vector<std::string> calls;
    // The next `times` calls of `method` ("Item", "GetLinkQuality",
    // "CWrapDriverInterface::SetRadioState", ...) fail on any item: they
    // return 1 and write nothing.
    void FailCall(const std::string& method, int times = 1);
    std::map<std::string, int, std::less<>> failing;
    // Since the last Reset, not cleared with `calls`: the methods called, and those a failure reached.
    std::set<std::string> methodsCalled;
    std::set<std::string> methodsFailed;
    int CountCalls(const std::string& prefix) const;
    // false: `calls` and `methodsCalled` take nothing from now on, until
    // Reset; failures still apply. For a benchmark.
    bool keepRecords = true;
    // Runs inside every call, after it is recorded (for example to run a
    // nested message loop the way a real driver call might).
    std::function<void(const std::string& call)> onCall;

private:
    DriverLibrary() = default;
    static DriverLibrary instance;
};

}  // namespace fake

#endif
