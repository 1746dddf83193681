#include "fakeclock.h"

namespace vnq::test {

FakeClock::FakeClock(const QDateTime& start)
    : m_start(start)
{
    setClock(this);
}

FakeClock::~FakeClock()
{
    setClock(nullptr);
}

QDateTime FakeClock::now() const
{
    return m_start.addMSecs(m_wallOffsetMs);
}

void FakeClock::advanceMs(qint64 ms)
{
    m_wallOffsetMs += ms;
    m_monotonicMs += ms;
}

void FakeClock::setNow(const QDateTime& now)
{
    m_start = now;
    m_wallOffsetMs = 0;
}

}  // namespace vnq::test
