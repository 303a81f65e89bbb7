// Benchmark: one poll tick of the tray window with four linked adapters, on a
// desktop and a driver library that do nothing. Reports time and heap
// allocations per tick. Not a test: it asserts nothing.
//
// Usage: poll_tick_bench [TICKS]  (200000 measured ticks unless given). Under
// an instruction counter, two runs with different tick counts give the cost of
// one tick as their difference, without the start-up.
#include "PollTickBench.h"

#include "app/StatusTrayApp.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace {
unsigned long long allocations = 0;
const int kWarmUpTicks = 1000;
const int kDefaultMeasuredTicks = 200000;
int measuredTicks = kDefaultMeasuredTicks;
}  // namespace

void* operator new(std::size_t size) {
    ++allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

void RunPollTicks(const std::function<void()>& tick) {
    for (int i = 0; i < kWarmUpTicks; ++i) tick();
    const unsigned long long allocationsBefore = allocations;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < measuredTicks; ++i) tick();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    const double ns = std::chrono::duration<double, std::nano>(elapsed).count() / measuredTicks;
    std::printf("poll tick, 4 adapters: %.0f ns per tick, %.2f allocations per tick (%d ticks)\n", ns,
                static_cast<double>(allocations - allocationsBefore) / measuredTicks, measuredTicks);
}

int main(int argc, char** argv) {
    if (argc == 2) measuredTicks = std::atoi(argv[1]);
    if (argc > 2 || measuredTicks < 1) {
        std::fprintf(stderr, "usage: poll_tick_bench [TICKS]\n");
        return 2;
    }
    CStatusTrayApp app;
    app.commandLine.clear();
    if (!app.DecideInstance()) return 1;
    app.RunInstance();
    return 0;
}
