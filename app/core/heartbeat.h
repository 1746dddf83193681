#pragma once

#include <atomic>

// Heartbeat shared with the watchdog thread. Main-thread code advances selftick in its ticks
// and long loops; code that blocks for long sets selfcheckpass for the duration. The watchdog
// only asks whether selftick moved within its period, so relaxed atomics are enough.
extern std::atomic<int> selftick;
extern std::atomic<bool> selfcheckpass;
