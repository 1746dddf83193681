#pragma once

#include "platform/clock.h"

#include <QDateTime>

#include <functional>

namespace vnq::test {

// A clock that stands still until the test moves it. sleepMs() advances it instead of
// blocking. Installed on construction, removed on destruction.
class FakeClock : public Clock {
public:
    explicit FakeClock(const QDateTime& start = QDateTime(QDate(2024, 1, 1), QTime(9, 0, 0)));
    ~FakeClock() override;

    QDateTime now() const override;
    qint64 monotonicMs() const override { return m_monotonicMs; }
    void sleepMs(qint64 ms) override
    {
        advanceMs(ms);
        if (onSleep)
            onSleep(ms);
    }

    // Runs after every sleep (to change the world while the code under test waits).
    std::function<void(qint64 ms)> onSleep;

    // Moves both clocks forward.
    void advanceMs(qint64 ms);
    // Sets the wall clock only, as "date -s" does; the monotonic clock is unaffected.
    void setNow(const QDateTime& now);

private:
    QDateTime m_start;
    qint64 m_wallOffsetMs = 0;
    qint64 m_monotonicMs = 1000000;
};

}  // namespace vnq::test
