#include "fakedisplayserver.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

namespace vnq::test {

bool FakeDisplayServer::waitFor(const std::function<bool()>& condition, int timeoutMs)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (!condition() && elapsed.elapsed() < timeoutMs) {
        // Wakes at the next event, and at the latest when this short timer fires.
        QTimer::singleShot(5, [] {});
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return condition();
}

bool FakeDisplayServer::settle(int timeoutMs)
{
    QElapsedTimer elapsed;
    elapsed.start();
    for (;;) {
        // The client writes each update whole before its call returns; posted work may write more.
        QCoreApplication::processEvents();
        if (unreadBytes() == 0) {
            QCoreApplication::processEvents();
            if (unreadBytes() == 0)
                return true;
        }
        if (elapsed.elapsed() >= timeoutMs)
            return false;
    }
}

bool FakeDisplayServer::waitForClient(int timeoutMs)
{
    return waitFor([this] { return hasClient(); }, timeoutMs);
}

bool FakeDisplayServer::waitForUpdates(int count, int timeoutMs)
{
    return waitFor([this, count] { return updates().size() >= count; }, timeoutMs);
}

}  // namespace vnq::test
