#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>

#include <functional>

namespace vnq::test {

// Runs the event loop until done() holds or the bound has passed; returns done().
inline bool waitUntil(const std::function<bool()>& done, int timeoutMs = 3000)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (!done() && elapsed.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

}  // namespace vnq::test
