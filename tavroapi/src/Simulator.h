// Simulator.h - the simulated adapters: the loaded scenario, the clock its lists
// step by, and the radio switches set through the library.
#ifndef TAVRO_SIMULATOR_H
#define TAVRO_SIMULATOR_H

#include "NetModel.h"
#include "ScenarioFile.h"

#include <map>
#include <string>
#include <vector>

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
    static Simulator& Instance();

    // The identifier of the present adapter at collection index `index`.
    long ItemId(int index, std::string& id);
    // The present adapter with this identifier, as it is now.
    long View(const std::string& id, AdapterView& out);
    // Whether a driver interface may be bound to this adapter now.
    long Attach(const std::string& id);
    // Sets (on = 1) or clears (on = 0) bit 0 of the adapter's radio state.
    long SetRadio(const std::string& id, bool bound, long long on, const char* via);
    // Looks at the scenario file at once.
    long Refresh();

    // The applet-facing interface (TavroNet.h), by adapter identifier; each
    // returns a Windows error code. SimulatorNet.cpp holds them.
    unsigned long Link(const std::string& id, TAVRONET_LINK& out);
    unsigned long Networks(const std::string& id, std::vector<TAVRONET_NETWORK>& out);
    unsigned long Scan(const std::string& id);
    unsigned long ScanState(const std::string& id, unsigned long& state);
    unsigned long Connect(const std::string& id, const TAVRONET_NETWORK& network);
    unsigned long Disconnect(const std::string& id);
    unsigned long Profiles(const std::string& id, std::vector<TAVRONET_PROFILE>& out);
    unsigned long MoveProfile(const std::string& id, const ProfileKey& key, unsigned long position);
    unsigned long DeleteProfile(const std::string& id, const ProfileKey& key);
    unsigned long ConnectStatus(const std::string& id, TAVRONET_CONNECT_STATUS& out);
    // Copies the newest readings that fit in `capacity`, oldest first, and counts them.
    unsigned long History(const std::string& id, TAVRONET_SAMPLE* out, unsigned long capacity, unsigned long& count);
    // What the library tells of itself for an adapter: its driver version
    // text and flags; "" and none for an unknown adapter.
    void Library(const std::string& id, TAVRONET_LIBRARY& out);

private:
    struct RadioOverride {
        unsigned long radioOn;  // 0 or 1
        TimedValue fileRadio;   // the file's radio value when it was set
    };

    // What the library has changed of an adapter's networks since the scenario
    // was loaded, and the readings of its signal, which outlive a reload.
    struct NetState {
        bool profilesCopied = false;
        std::vector<ProfileSection> profiles;
        ConnectAttempt attempt;
        unsigned long requests = 0;  // connects and disconnects asked, across reloads
        bool scanStarted = false;
        DWORD scanStart = 0;
        SignalHistory history;
    };

    // The present adapter with this identifier now, with the library's changes;
    // false when there is none. The lock is held and the file checked.
    bool FindAdapterNow(const std::string& id, AdapterNow& now);
    void LogResult(const std::string& call, const std::string& id, const std::string& details, unsigned long result);
    // Starts a connect (`connect`) or disconnect of the adapter `now` stands for.
    void Ask(const std::string& id, const AdapterNow& now, bool connect, const ConnectTarget& target);

    void CheckFile(bool now);
    void Load();
    void Log(const std::string& line);
    const AdapterSection* PresentAdapter(const std::string& id, unsigned long elapsed) const;

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
    std::map<std::string, NetState> net_;

    friend class Locked;
};

// Holds the simulator's lock for the life of the object.
class Locked {
public:
    explicit Locked(Simulator& s) : s_(s) { EnterCriticalSection(&s_.lock_); }
    ~Locked() { LeaveCriticalSection(&s_.lock_); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

private:
    Simulator& s_;
};

}  // namespace tavro

#endif
