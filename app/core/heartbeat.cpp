#include "heartbeat.h"

#include <mutex>

std::atomic<int> selftick{0};
std::atomic<bool> selfcheckpass{false};

namespace {

// The count and the flag change together under the mutex, so a guard ending on one thread
// cannot clear the flag just after another thread's guard has set it.
std::mutex pauseMutex;
std::atomic<int> pauseDepth{0};

}  // namespace

namespace vnq {

WatchdogPause::WatchdogPause()
{
    std::lock_guard<std::mutex> lock(pauseMutex);
    if (pauseDepth.fetch_add(1) == 0)
        selfcheckpass = true;
}

WatchdogPause::~WatchdogPause()
{
    std::lock_guard<std::mutex> lock(pauseMutex);
    if (pauseDepth.fetch_sub(1) == 1)
        selfcheckpass = false;
}

int WatchdogPause::depth()
{
    return pauseDepth;
}

}  // namespace vnq
