#ifndef BENCH_POLLTICKBENCH_H
#define BENCH_POLLTICKBENCH_H

#include <functional>

// Runs the measured ticks; called from inside the tray window's dialog loop.
void RunPollTicks(const std::function<void()>& tick);

#endif
