#include "watchdog.h"

#include "heartbeat.h"
#include "mydebug.h"
#include "platform/commandrunner.h"
#include "platform/processexit.h"

#include <pthread.h>
#include <time.h>

namespace {

pthread_t SelfWatcher;
vnq::WatchdogTiming configuredTiming;

bool sleepUninterrupted(int ms)
{
    timespec duration{};
    duration.tv_sec = ms / 1000;
    duration.tv_nsec = long(ms % 1000) * 1000000L;
    return nanosleep(&duration, nullptr) == 0;
}

}  // namespace

namespace vnq {

void setWatchdogTiming(const WatchdogTiming& timing)
{
    configuredTiming = timing;
}

bool startWatchdog()
{
    return pthread_create(&SelfWatcher, nullptr, self_watcher, nullptr) == 0;
}

}  // namespace vnq

void* self_watcher(void*)
{
    // A copy: the thread outlives everything else, including the configured value.
    const vnq::WatchdogTiming timing = configuredTiming;
    const auto sleepFor = [&timing](int ms) { return timing.sleep ? timing.sleep(ms) : sleepUninterrupted(ms); };

    int _selftick = 0;
    selftick = 0;
    selfcheckpass = false;

    for (;;) {
        while (!sleepFor(timing.periodMs)) {
        }

        // A long operation is announced: feed the heartbeat until it ends.
        bool interrupted = false;
        while (selfcheckpass) {
            // The atomic increment wraps without overflow; fetch_add(1) + 1 would not.
            _selftick = ++selftick;
            if (!sleepFor(timing.periodMs)) {
                interrupted = true;
                break;
            }
        }
        if (interrupted)
            continue;

        const int tick = selftick;
        if (tick != _selftick) {
            _selftick = tick;
            continue;
        }

        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "アプリフリーズ？:" << tick << _selftick;
        vnq::commandRunner().shell(QStringLiteral("sync"));
        sleepFor(timing.rebootPauseMs);
        vnq::commandRunner().shell(QStringLiteral("reboot &"));
        vnq::exitProcess(1);
        return nullptr;
    }
}
