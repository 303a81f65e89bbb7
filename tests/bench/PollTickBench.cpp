// Benchmark: the poll tick of the tray window with four linked adapters, on
// the simulated desktop and the fake driver library with their records off.
// The ticks come from the window's poll timer on the desktop's clock, through
// its dialog loop. Reports time and heap allocations per tick. Not a test: it
// asserts nothing.
//
// Usage: poll_tick_bench [TICKS]  (200000 measured ticks unless given, at most
// four million). Under an instruction counter, two runs with different tick
// counts give the cost of one tick as their difference, without the start-up.
#include "FakeDriverLibrary.h"
#include "app/StatusTrayApp.h"
#include "sim/Desktop.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace {
unsigned long long allocations = 0;
const int kAdapters = 4;
const unsigned long kLinkQuality = 11;
const int kWarmUpTicks = 1000;
const int kDefaultMeasuredTicks = 200000;
const int kMostTicks = 4000000;  // the desktop's clock counts milliseconds in 32 bits
const DWORD kTickMs = 1000;
}  // namespace

void* operator new(std::size_t size) {
    ++allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

int main(int argc, char** argv) {
    const int measuredTicks = argc == 2 ? std::atoi(argv[1]) : kDefaultMeasuredTicks;
    if (argc > 2 || measuredTicks < 1 || measuredTicks > kMostTicks) {
        std::fprintf(stderr, "usage: poll_tick_bench [TICKS]\n");
        return 2;
    }
    sim::Desktop& desk = sim::Desktop::Get();
    fake::DriverLibrary& library = fake::DriverLibrary::Get();
    for (int i = 0; i < kAdapters; ++i) library.Add("Wireless LAN PC Card").linkQuality = kLinkQuality;
    desk.KeepRecords(false);
    library.keepRecords = false;

    sim::Process program([] {
        CStatusTrayApp app;
        return RunProcess(app, "ZEVARIDA.EXE");
    });
    desk.Advance(kWarmUpTicks * kTickMs);
    const unsigned long long allocationsBefore = allocations;
    const auto start = std::chrono::steady_clock::now();
    desk.Advance(measuredTicks * kTickMs);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    const double ns = std::chrono::duration<double, std::nano>(elapsed).count() / measuredTicks;
    std::printf("poll tick, 4 adapters: %.0f ns per tick, %.2f allocations per tick (%d ticks)\n", ns,
                static_cast<double>(allocations - allocationsBefore) / measuredTicks, measuredTicks);
    return program.Finished() ? 1 : 0;
}
