#pragma once

#include <atomic>

// Heartbeat shared with the watchdog thread. Main-thread code advances selftick in its ticks
// and long loops; code that blocks for long holds a vnq::WatchdogPause for the duration, which
// keeps selfcheckpass set. The watchdog only asks whether selftick moved within its period,
// so relaxed atomics are enough.
extern std::atomic<int> selftick;
extern std::atomic<bool> selfcheckpass;

namespace vnq {

// Announces long work to the watchdog for its own life. Guards nest and may live on several
// threads at once (database statements run on the cloud workers too): selfcheckpass stays set
// while at least one guard lives and is cleared when the last one ends.
class WatchdogPause {
public:
    WatchdogPause();
    ~WatchdogPause();
    WatchdogPause(const WatchdogPause&) = delete;
    WatchdogPause& operator=(const WatchdogPause&) = delete;

    // How many guards live now.
    static int depth();
};

}  // namespace vnq
