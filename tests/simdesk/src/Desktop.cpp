// The desktop object: reset, scheduling of the simulated processes, failure
// injection and the records that tests look at.
#include "State.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#ifndef ZEVARIDA_RC_PATH
#error "ZEVARIDA_RC_PATH names the program's resource script"
#endif

namespace sim {

namespace {

thread_local Process::Thread* tlsThread = nullptr;

const RcFile& ProgramResources() {
    static const RcFile file = ReadRcFile(ZEVARIDA_RC_PATH);
    return file;
}

bool HasWork(Process::Thread& t, DWORD now) {
    if (!t.started) return true;
    if (t.finished) return false;
    if (t.wake || !t.sends.empty() || (t.wakeAt && t.wakeAt <= now)) return true;
    if (t.waitingFor) return t.waitingFor->done;
    if (!t.posted.empty()) return true;
    for (auto& [handle, window] : S().windows) {
        if (window->thread != &t) continue;
        for (auto& [id, timer] : window->timers)
            if (timer.due <= now) return true;
    }
    return false;
}

// Runs a process thread until it waits again. Called on the test thread.
void Resume(Process::Thread& t) {
    auto& s = S();
    std::unique_lock<std::mutex> lock(s.lock);
    s.running = &t;
    s.changed.notify_all();
    s.changed.wait(lock, [&] { return s.running == nullptr; });
}

// The kernel closes what an ending process left open; a mutex it still owns
// is abandoned.
void ReleaseKernelHandles(Process::Thread& t) {
    for (auto it = S().mutexHandles.begin(); it != S().mutexHandles.end(); ++it)
        if (it->second->owner == &t) {
            it->second->owner = nullptr;
            it->second->ownCount = 0;
        }
    S().handlesLeftAtExit += static_cast<int>(t.kernelHandles.size());
    while (!t.kernelHandles.empty()) CloseMutexHandle(t.kernelHandles.back());
    CloseRegistryHandlesOf(t);
    CloseServiceHandlesOf(t);
}

void EndProcessWindows(Process::Thread& t) {
    std::vector<HWND> owned;
    for (HWND h : S().windowOrder)
        if (S().windows.at(h)->thread == &t) owned.push_back(h);
    for (HWND h : owned) {
        S().windows.erase(h);
        S().windowOrder.erase(std::find(S().windowOrder.begin(), S().windowOrder.end(), h));
        if (S().activeWindow == h) S().activeWindow = nullptr;
        if (S().focus == h) S().focus = nullptr;
    }
}

}  // namespace

Process::Thread* CurrentThread() { return tlsThread; }

Desktop::Desktop() : state_(new State) { currentState = state_.get(); }

// Made before main: every simulated function may reach it from then on.
Desktop::State* currentState = &Desktop::Get().state();

Desktop& Desktop::Get() {
    static Desktop desktop;
    return desktop;
}

Desktop::State& Desktop::state() { return *state_; }

void Desktop::Reset() {
    if (!state_->threads.empty()) {
        std::fprintf(stderr, "simulated desktop reset while %zu process(es) still exist\n", state_->threads.size());
        std::abort();
    }
    state_.reset(new State);
    currentState = state_.get();
}

const RcFile& Desktop::Resources() const { return ProgramResources(); }

// ---------------------------------------------------------------- scheduling

DWORD Desktop::Now() const { return state_->now; }

namespace {

// When the next timer of any window or the next timed wake-up of any thread
// is due, but no later than `target`.
DWORD NextEventTime(DWORD target) {
    auto& s = S();
    DWORD next = target;
    for (auto& [handle, window] : s.windows)
        for (auto& [id, timer] : window->timers)
            if (timer.due > s.now) next = std::min(next, timer.due);
    for (Process::Thread* t : s.threads)
        if (t->wakeAt > s.now) next = std::min(next, t->wakeAt);
    return next;
}

// While Advance waits for the one process that is still running, that
// process's idle wait moves the clock to its next event itself and goes on,
// as Advance would have had it do, without handing control to the test
// thread and back for each tick.
bool MoveClockAlone(Process::Thread& t) {
    auto& s = S();
    if (!s.advancing || s.now >= s.advanceTarget || HasWork(t, s.now)) return false;
    for (Process::Thread* other : s.threads)
        if (other != &t && !other->finished) return false;
    s.now = NextEventTime(s.advanceTarget);
    return true;
}

}  // namespace

void Desktop::Advance(DWORD ms) {
    auto& s = *state_;
    const DWORD target = s.now + ms;
    s.advancing = true;
    s.advanceTarget = target;
    for (;;) {
        Process::Thread* ready = nullptr;
        for (Process::Thread* t : s.threads)
            if (HasWork(*t, s.now)) {
                ready = t;
                break;
            }
        if (ready) {
            Resume(*ready);
            continue;
        }
        if (s.now >= target) break;
        s.now = NextEventTime(target);
    }
    s.advancing = false;
}

// The thread's timer that is due first, as a WM_TIMER message. A due timer
// produces WM_TIMER only when nothing else waits; ticks missed while the
// thread was busy are merged into one.
bool DueTimer(Process::Thread& t, MSG& message) {
    auto& s = S();
    Window* dueWindow = nullptr;
    UINT_PTR dueId = 0;
    DWORD dueAt = 0;
    for (HWND h : s.windowOrder) {
        Window& w = *s.windows.at(h);
        if (w.thread != &t) continue;
        for (auto& [id, timer] : w.timers)
            if (timer.due <= s.now && (!dueWindow || timer.due < dueAt)) {
                dueWindow = &w;
                dueId = id;
                dueAt = timer.due;
            }
    }
    if (!dueWindow) return false;
    Timer& timer = dueWindow->timers.at(dueId);
    while (timer.due <= s.now) timer.due += std::max<UINT>(timer.period, 1);
    message = MSG{dueWindow->handle, WM_TIMER, dueId, 0, s.now, s.cursor};
    return true;
}

bool NextMessage(MSG& message, const std::function<bool()>& done, const std::function<bool()>& onIdle) {
    Process::Thread& t = *CurrentThread();
    auto& s = S();
    for (;;) {
        t.wake = false;
        if (done && done()) return false;
        if (!t.sends.empty()) {
            SendRequest* request = t.sends.front();
            t.sends.pop_front();
            Window* w = FindWindowObject(request->window);
            request->result = w ? CallWindow(*w, request->message, request->wParam, request->lParam) : 0;
            request->done = true;
            continue;
        }
        // A thread waiting for its sent message to be handled takes sent
        // messages only; what is posted to it waits in its queue.
        if (!t.waitingFor) {
            if (!t.posted.empty()) {
                message = t.posted.front();
                t.posted.pop_front();
                return true;
            }
            if (DueTimer(t, message)) return true;
        }
        if (onIdle && onIdle()) continue;
        if (MoveClockAlone(t)) continue;

        std::unique_lock<std::mutex> lock(s.lock);
        s.running = nullptr;
        s.changed.notify_all();
        s.changed.wait(lock, [&] { return s.running == &t; });
        if (t.terminate) throw ProcessTerminated();
    }
}

void RunModalLoop(const std::function<bool()>& done, const std::function<bool()>& onIdle,
                  const std::function<bool(const MSG&)>& preTranslate) {
    while (!done()) {
        MSG message;
        if (!NextMessage(message, done, onIdle)) continue;
        if (preTranslate && preTranslate(message)) continue;
        DispatchToWindow(message);
    }
}

void Desktop::PumpMessagesUntil(const std::function<bool()>& done) { RunModalLoop(done); }

void Desktop::Wake() {
    for (Process::Thread* t : state_->threads) t->wake = true;
    Settle();
}

void Desktop::PumpMessagesFor(DWORD ms) {
    Process::Thread* t = CurrentThread();
    const DWORD until = state_->now + ms;
    const DWORD outer = t->wakeAt;
    t->wakeAt = until;
    RunModalLoop([this, until] { return state_->now >= until; });
    t->wakeAt = outer;
}

// ---------------------------------------------------------------- processes

Process::Process(std::function<int()> body) : thread_(new Thread) {
    Thread* t = thread_.get();
    t->body = std::move(body);
    S().threads.push_back(t);
    t->thread = std::thread([t] {
        auto& s = S();
        {
            std::unique_lock<std::mutex> lock(s.lock);
            s.changed.wait(lock, [&] { return s.running == t; });
        }
        tlsThread = t;
        t->started = true;
        try {
            if (!t->terminate) t->exitCode = t->body();
        } catch (const ProcessTerminated&) {
            t->exitCode = 1;
        }
        t->finished = true;
        ReleaseKernelHandles(*t);
        EndProcessWindows(*t);
        std::unique_lock<std::mutex> lock(s.lock);
        s.running = nullptr;
        s.changed.notify_all();
    });
    Desktop::Get().Settle();
}

Process::~Process() {
    Terminate();
    thread_->thread.join();
    auto& threads = S().threads;
    threads.erase(std::find(threads.begin(), threads.end(), thread_.get()));
}

void Process::Terminate() {
    if (thread_->finished) return;
    thread_->terminate = true;
    Resume(*thread_);
}

bool Process::Finished() const { return thread_->finished; }
int Process::ExitCode() const { return thread_->exitCode; }

// ---------------------------------------------------------------- failures and records

void Desktop::FailCall(const std::string& function, int times, int skip) {
    state_->failures[function] = FailureRule{skip, times};
}

bool Desktop::ShouldFail(const char* function) {
    if (state_->failures.empty()) return false;
    auto it = state_->failures.find(function);
    if (it == state_->failures.end()) return false;
    FailureRule& rule = it->second;
    if (rule.skip > 0) {
        --rule.skip;
        return false;
    }
    if (rule.times == 0) return false;
    if (rule.times > 0) --rule.times;
    state_->functionsFailed.insert(function);
    return true;
}

const std::set<std::string, std::less<>>& Desktop::FunctionsCalled() const { return state_->functionsCalled; }
const std::set<std::string, std::less<>>& Desktop::FunctionsFailed() const { return state_->functionsFailed; }

// Only calls from a process count; the test's own calls into the desktop do not.
void NoteCalled(const char* function) {
    auto& called = S().functionsCalled;
    if (CurrentThread() && called.find(function) == called.end()) called.insert(function);
}

bool CalledFails(const char* function) {
    Called(function);
    return CurrentThread() && Fails(function);
}

void TraceCall(const char* function, const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    Called(function);
    S().calls.push_back(std::string(function) + "(" + text + ")");
}

void SetError(DWORD error) {
    if (Process::Thread* t = CurrentThread())
        t->lastError = error;
    else
        S().driverLastError = error;
}

const std::vector<std::string>& Desktop::Calls() const { return state_->calls; }

int Desktop::CountCalls(const std::string& function) const {
    const std::string prefix = function + "(";
    return static_cast<int>(std::count_if(state_->calls.begin(), state_->calls.end(),
                                          [&](const std::string& c) { return c.rfind(prefix, 0) == 0; }));
}

void Desktop::ClearCalls() {
    state_->calls.clear();
    state_->broadcasts.clear();
}

void Desktop::KeepRecords(bool keep) { state_->keepRecords = keep; }

void Desktop::ClearRecords() {
    ClearCalls();
    state_->trayCalls.clear();
    state_->beeps.clear();
    state_->messageBoxes.clear();
    state_->helpCalls.clear();
    state_->messageFilterCalls.clear();
}
const std::vector<UINT>& Desktop::Beeps() const { return state_->beeps; }
const std::vector<MessageBoxRecord>& Desktop::MessageBoxes() const { return state_->messageBoxes; }
const std::vector<std::string>& Desktop::RegisteredMessages() const { return state_->registrations; }

UINT Desktop::RegisteredMessage(const std::string& name) const {
    std::string key = name;
    std::transform(key.begin(), key.end(), key.begin(), ::tolower);
    auto it = state_->registered.find(key);
    return it == state_->registered.end() ? 0 : it->second;
}

// ---------------------------------------------------------------- the machine

void Desktop::SetVersion(DWORD value) { state_->version = value; }
void Desktop::SetScreen(int width, int height) {
    state_->screenWidth = width;
    state_->screenHeight = height;
}
void Desktop::SetDpi(int dpi) { state_->dpi = dpi; }
void Desktop::SetCursor(int x, int y) { state_->cursor = POINT{x, y}; }
POINT Desktop::Cursor() const { return state_->cursor; }
void Desktop::SetKey(int key, bool down) {
    if (down)
        state_->keysDown.insert(key);
    else
        state_->keysDown.erase(key);
}
void Desktop::SetModulePath(const std::string& path) { state_->modulePath = path; }
void Desktop::SetLeadBytes(std::set<BYTE> leadBytes) {
    for (int byte = 0; byte < 256; ++byte) state_->leadBytes[byte] = leadBytes.count(static_cast<BYTE>(byte)) != 0;
}
void Desktop::SetCodePage(UINT codePage) { state_->codePage = codePage; }
void Desktop::HideResource(ResourceKind kind, int id) { state_->hidden.insert({kind, id}); }
void Desktop::OverrideString(int id, const std::string& text) { state_->stringOverrides[id] = text; }

}  // namespace sim
