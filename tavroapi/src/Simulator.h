// Simulator.h - the simulated adapters: the loaded scenario, the clock its lists
// step by, and the radio switches set through the library.
#ifndef TAVRO_SIMULATOR_H
#define TAVRO_SIMULATOR_H

#include "ScenarioFile.h"

#include <map>
#include <string>

#include <windows.h>

namespace tavro {

// Results of the library's calls; 0 is success.
enum Result : long {
    Ok = 0,
    ErrNoItem = 1,         // no adapter at that collection index
    ErrNotBound = 2,       // the object does not stand for an adapter
    ErrGone = 3,           // its adapter is no longer in the scenario, or not present
    ErrAttachRefused = 4,  // the adapter's driver cannot be attached
    ErrBadArgument = 5,    // a null pointer, an index out of range, an "on" other than 0 or 1
    ErrInternal = 6,       // out of memory and the like
};

// What an adapter looks like at this moment.
struct AdapterView {
    std::string description;
    std::string id;
    unsigned long values[FieldCount] = {};
};

class Simulator {
public:
    Simulator();
    static Simulator& instance();

    // The identifier of the present adapter at collection index `index`.
    long itemId(int index, std::string& id);
    // The present adapter with this identifier, as it is now.
    long view(const std::string& id, AdapterView& out);
    // Whether a driver interface may be bound to this adapter now.
    long attach(const std::string& id);
    // Sets (on = 1) or clears (on = 0) bit 0 of the adapter's radio state.
    long setRadio(const std::string& id, bool bound, long long on, const char* via);
    // Looks at the scenario file at once.
    long refresh();

private:
    struct RadioOverride {
        unsigned long radioOn;  // 0 or 1
        TimedValue fileRadio;   // the file's radio value when it was set
    };

    void checkFile(bool now);
    void load();
    void log(const std::string& line);
    const AdapterSection* presentAdapter(const std::string& id, unsigned long elapsed) const;

    CRITICAL_SECTION lock_;
    bool started_ = false;
    std::string scenarioPath_;
    std::string logPath_;

    bool checked_ = false;
    DWORD lastCheck_ = 0;
    bool fileFound_ = false;
    FILETIME lastWrite_ = {};
    unsigned long long size_ = 0;

    Scenario scenario_;
    DWORD loadedAt_ = 0;
    std::map<std::string, RadioOverride> radio_;

    friend class Locked;
};

}  // namespace tavro

#endif
