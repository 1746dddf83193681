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

bool FakeDisplayServer::waitForClient(int timeoutMs)
{
    return waitFor([this] { return hasClient(); }, timeoutMs);
}

bool FakeDisplayServer::waitForUpdates(int count, int timeoutMs)
{
    return waitFor([this, count] { return updates().size() >= count; }, timeoutMs);
}

}  // namespace vnq::test
