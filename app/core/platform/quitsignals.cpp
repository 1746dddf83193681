#include "platform/quitsignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace vnq {

namespace {

int signalPipe[2] = {-1, -1};

void onQuitSignal(int)
{
    const char byte = 1;
    ssize_t ignored = ::write(signalPipe[1], &byte, 1);
    (void)ignored;
}

}  // namespace

void quitEventLoopOnSignals(QCoreApplication& app)
{
    if (signalPipe[0] >= 0)
        return;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [&app]() {
        char byte;
        ssize_t ignored = ::read(signalPipe[0], &byte, 1);
        (void)ignored;
        app.quit();
    });

    struct sigaction action {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

}  // namespace vnq
