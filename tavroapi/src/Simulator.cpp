// Simulator.cpp - keeps the scenario current and answers for the simulated adapters.
#include "Simulator.h"

#include "FilePaths.h"

namespace tavro {

namespace {

const DWORD kCheckInterval = 200;  // ms between looks at the scenario file

Simulator simulator;

bool SameTime(const FILETIME& a, const FILETIME& b) {
    return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

}  // namespace

Simulator::Simulator() { InitializeCriticalSection(&lock_); }

Simulator& Simulator::Instance() { return simulator; }

// Looks at the file's last-write time and size, no more often than every
// kCheckInterval unless `now`, and reloads it when either has changed.
void Simulator::CheckFile(bool now) {
    if (!started_) {
        started_ = true;
        std::string fromEnv = EnvironmentValue("TAVROAPI_SCENARIO");
        scenarioPath_ = fromEnv.empty() ? BesideThisModule("TavroApi.scn") : ResolvePath(fromEnv);
        std::string logEnv = EnvironmentValue("TAVROAPI_LOG");
        if (!logEnv.empty()) logPath_ = ResolvePath(logEnv);
    }
    DWORD tick = GetTickCount();
    if (checked_ && !now && tick - lastCheck_ < kCheckInterval) return;
    lastCheck_ = tick;

    WIN32_FILE_ATTRIBUTE_DATA data;
    bool found = GetFileAttributesExA(scenarioPath_.c_str(), GetFileExInfoStandard, &data) &&
                 !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    unsigned long long size =
        found ? (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow : 0;
    FILETIME written = found ? data.ftLastWriteTime : FILETIME{};
    if (checked_ && found == fileFound_ && size == size_ && SameTime(written, lastWrite_)) return;

    checked_ = true;
    fileFound_ = found;
    size_ = size;
    lastWrite_ = written;
    Load();
}

void Simulator::Load() {
    Scenario fresh;
    std::string text, error;
    if (!fileFound_ || !ReadWholeFile(scenarioPath_, text)) {
        error = fileFound_ ? "cannot be read" : "not found";
    } else if (!ParseScenario(text, fresh, error)) {
        fresh.adapters.clear();
    }
    if (!error.empty()) {  // for a debugger; the library never shows anything itself
        std::string note = "TavroApi: " + scenarioPath_ + ": " + error + "; no adapters\n";
        OutputDebugStringA(note.c_str());
    }

    // A radio switched through the library stays so until the file gives that
    // adapter a different radio value.
    for (auto it = radio_.begin(); it != radio_.end();) {
        const AdapterSection* a = fresh.FindById(it->first);
        if (a && a->values[FieldRadio] != it->second.fileRadio)
            it = radio_.erase(it);
        else
            ++it;
    }
    // What Connect, Disconnect, a scan and the profile calls changed lasts until
    // the file is loaded again; the signal readings stay.
    for (auto& entry : net_) {
        NetState& n = entry.second;
        n.profilesCopied = false;
        n.profiles.clear();
        n.attempt = ConnectAttempt();
        n.scanStarted = false;
    }
    scenario_ = fresh;
    loadedAt_ = GetTickCount();
}

void Simulator::Log(const std::string& line) {
    if (!logPath_.empty()) AppendLine(logPath_, line);
}

const AdapterSection* Simulator::PresentAdapter(const std::string& id, unsigned long elapsed) const {
    const AdapterSection* a = scenario_.FindById(id);
    return a && a->values[FieldPresent].At(elapsed) ? a : nullptr;
}

long Simulator::ItemId(int index, std::string& id) {
    Locked hold(*this);
    CheckFile(true);
    if (index < 0 || index > kMaxItemIndex) return ErrBadArgument;
    const AdapterSection* a = scenario_.FindByIndex(index);
    if (!a || !a->values[FieldPresent].At(GetTickCount() - loadedAt_)) return ErrNoItem;
    id = a->id;
    return Ok;
}

// Each reading of an adapter also goes into its signal history; the spacing of
// SignalHistory keeps one reading of each one-second poll of the tray program.
long Simulator::View(const std::string& id, AdapterView& out) {
    Locked hold(*this);
    CheckFile(false);
    AdapterNow now;
    if (!FindAdapterNow(id, now)) return ErrGone;
    out.description = now.adapter->description;
    out.id = now.adapter->id;
    for (int f = 0; f < FieldCount; ++f) out.values[f] = now.values[f];
    DWORD tick = GetTickCount();
    SignalHistory& history = net_[id].history;
    if (history.Due(tick)) history.Record(SampleOf(MakeLink(now), tick));
    return Ok;
}

long Simulator::Attach(const std::string& id) {
    Locked hold(*this);
    CheckFile(false);
    unsigned long elapsed = GetTickCount() - loadedAt_;
    const AdapterSection* a = PresentAdapter(id, elapsed);
    if (!a) return ErrGone;
    return a->values[FieldAttach].At(elapsed) ? Ok : ErrAttachRefused;
}

long Simulator::SetRadio(const std::string& id, bool bound, long long on, const char* via) {
    Locked hold(*this);
    CheckFile(false);
    long result = Ok;
    const AdapterSection* a = bound ? PresentAdapter(id, GetTickCount() - loadedAt_) : nullptr;
    if (!bound)
        result = ErrNotBound;
    else if (!a)
        result = ErrGone;
    else if (on != 0 && on != 1)
        result = ErrBadArgument;
    else
        radio_[id] = RadioOverride{static_cast<unsigned long>(on), a->values[FieldRadio]};

    Log("SetRadioState adapter=" + (bound ? id : std::string("-")) + " on=" + std::to_string(on) + " via=" + via +
        " result=" + std::to_string(result));
    return result;
}

long Simulator::Refresh() {
    Locked hold(*this);
    CheckFile(true);
    Log("Refresh result=0");
    return Ok;
}

}  // namespace tavro
