#pragma once

#include <QDateTime>
#include <QtGlobal>

namespace vnq {

// The one source of "now" and of blocking waits, so tests can step time instead of waiting.
class Clock {
public:
    virtual ~Clock() = default;

    // Local wall-clock time: stamps, deadlines, the clock face.
    virtual QDateTime now() const = 0;

    // Milliseconds of a monotonic clock: elapsed times and time-outs.
    virtual qint64 monotonicMs() const = 0;

    // Blocks the calling thread (a fake clock advances instead).
    virtual void sleepMs(qint64 ms) = 0;
};

Clock& clock();

// Installs a clock (not owned); nullptr restores the system clock.
void setClock(Clock* clock);

class SystemClock : public Clock {
public:
    QDateTime now() const override;
    qint64 monotonicMs() const override;
    void sleepMs(qint64 ms) override;
};

}  // namespace vnq
