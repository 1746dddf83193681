#include "platform/clock.h"

#include <QElapsedTimer>
#include <QThread>

#include <time.h>

namespace vnq {

namespace {
Clock* installedClock = nullptr;
}

Clock& clock()
{
    static SystemClock systemClock;
    return installedClock ? *installedClock : systemClock;
}

void setClock(Clock* c)
{
    installedClock = c;
}

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime();
}

qint64 SystemClock::monotonicMs() const
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

void SystemClock::sleepMs(qint64 ms)
{
    if (ms > 0)
        QThread::msleep(static_cast<unsigned long>(ms));
}

}  // namespace vnq
