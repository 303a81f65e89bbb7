// ScenarioFile.h - the scenario that drives the simulated adapters, and its parser.
//
// Plain C++ with no Windows calls, so it can be built and tested on any host.
#ifndef TAVRO_SCENARIOFILE_H
#define TAVRO_SCENARIOFILE_H

#include <string>
#include <vector>

namespace tavro {

// A number that may step through a list of elements, one element per period,
// starting again at the first element after the last.
struct TimedValue {
    std::vector<unsigned long> elements;  // never empty once parsed
    unsigned long periodMs = 1000;

    // The element current `elapsedMs` milliseconds after the scenario was loaded.
    unsigned long at(unsigned long elapsedMs) const;

    bool operator==(const TimedValue& other) const {
        return elements == other.elements && periodMs == other.periodMs;
    }
    bool operator!=(const TimedValue& other) const { return !(*this == other); }
};

// The numeric properties of an adapter, in the order of kFieldKeys.
enum Field {
    FieldPresent,
    FieldAttach,
    FieldRadio,
    FieldNetworkType,
    FieldAdapterState,
    FieldQuality,
    FieldRate,
    FieldWepRxOk,
    FieldTypeInUse,
    FieldDriverVersion,
    FieldCount
};

// The key that sets each field in a scenario file.
extern const char* const kFieldKeys[FieldCount];

const int kMaxAdapters = 8;
const int kMaxItemIndex = 31;
const size_t kMaxDescription = 127;  // bytes, without the terminating zero
const size_t kMaxId = 255;           // the longest registry key name

struct AdapterSection {
    int line = 0;  // line of the [adapter] header
    int index = 0;
    std::string description;
    std::string id;
    TimedValue values[FieldCount];
};

struct Scenario {
    std::vector<AdapterSection> adapters;

    const AdapterSection* findById(const std::string& id) const;
    const AdapterSection* findByIndex(int index) const;
};

// Parses the text of a scenario file. On failure returns false, leaves `out`
// empty and describes the first problem in `error` ("line 12: ...").
bool parseScenario(const std::string& text, Scenario& out, std::string& error);

}  // namespace tavro

#endif
