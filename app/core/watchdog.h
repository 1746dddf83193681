#pragma once

#include <functional>

namespace vnq {

// How the watchdog waits. On the board it checks every 10 s and pauses 1 s between "sync"
// and "reboot &"; a probe shortens the times or takes the sleeping over.
struct WatchdogTiming {
    int periodMs = 10000;
    int rebootPauseMs = 1000;
    // Blocks for the given time; false when a signal cut it short (the wait then starts
    // again). Empty: a real sleep.
    std::function<bool(int ms)> sleep;
};

// Takes effect for the watchdog started afterwards.
void setWatchdogTiming(const WatchdogTiming& timing);

// Starts self_watcher on its own thread, which is never joined. False when the thread
// cannot be created.
bool startWatchdog();

}  // namespace vnq

// The watchdog thread: when the heartbeat `selftick` stands still for a whole period while
// `selfcheckpass` is clear, it logs the freeze, runs "sync" and "reboot &" and ends the
// process with status 1. While `selfcheckpass` is set it advances the heartbeat itself.
// Returns only when an exit hook stands in for the real exit.
void* self_watcher(void*);
