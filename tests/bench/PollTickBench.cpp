// Benchmark: one poll tick of the tray window with four linked adapters, on a
// desktop and a driver library that do nothing. Reports time and heap
// allocations per tick. Not a test: it asserts nothing.
#include "PollTickBench.h"

#include "app/StatusTrayApp.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace {
unsigned long long allocations = 0;
const int kWarmUpTicks = 1000;
const int kMeasuredTicks = 200000;
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
    for (int i = 0; i < kMeasuredTicks; ++i) tick();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    const double ns = std::chrono::duration<double, std::nano>(elapsed).count() / kMeasuredTicks;
    std::printf("poll tick, 4 adapters: %.0f ns per tick, %.2f allocations per tick (%d ticks)\n", ns,
                static_cast<double>(allocations - allocationsBefore) / kMeasuredTicks, kMeasuredTicks);
}

int main() {
    CStatusTrayApp app;
    app.commandLine.clear();
    if (!app.DecideInstance()) return 1;
    app.RunInstance();
    return 0;
}
