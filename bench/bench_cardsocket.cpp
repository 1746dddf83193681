// The card message path: from a message written to the terminal's card socket to cardTouch
// emitted, with no other connection and with 50 silent connections open at the socket.
// Reports the median and the 99th percentile of the latency.
#include "cardsocketclient.h"
#include "iccardmodule.h"
#include "localsocketipcserver.h"
#include "recordingrunner.h"
#include "shippeddatabases.h"
#include "tempboardroot.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <vector>

#include <unistd.h>

namespace {

// One terminal for the whole run: its card module is a process-wide singleton.
struct Terminal {
    vnq::test::TempBoardRoot board;
    vnq::test::RecordingRunner runner;
    ICCardModule* module = nullptr;
    int touches = 0;
    bool ok = false;

    Terminal()
    {
        if (!vnq::test::installShippedDatabases(board) || !board.makeDir(QStringLiteral("/tmp")))
            return;
        // The screen is lit, so every card is handled rather than only waking it.
        board.writeFile(QStringLiteral("/sys/class/gpio/gpio0/value"), "1\n");
        module = ICCardModule::getInstance();
        QObject::connect(module, &ICCardModule::cardTouch, [this] { ++touches; });
        ok = ICCardModule::serverSocket && ICCardModule::serverSocket->isListening();
        // The silent connections must stay open for the whole measurement.
        if (ok)
            ICCardModule::serverSocket->setFirstBytesWaitMs(3600 * 1000);
    }
};

Terminal& terminal()
{
    static Terminal instance;
    return instance;
}

void BM_CardMessageToCardTouch(benchmark::State& state)
{
    Terminal& t = terminal();
    if (!t.ok) {
        state.SkipWithError("no card socket (are the shipped databases built?)");
        return;
    }
    const QString socketFile = t.board.path(QStringLiteral("/tmp/iccard.uds"));
    const QByteArray message =
        "<iccard><ictype>61</ictype><fwver>0120</fwver><type>FeliCa</type><len>8</len>"
        "<id>0123456789abcdef</id></iccard>";

    std::vector<int> silent;
    for (int i = 0; i < state.range(0); ++i) {
        silent.push_back(connectTo(socketFile));
        while (ICCardModule::serverSocket->pendingConnections() < i + 1)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }

    using Clock = std::chrono::steady_clock;
    std::vector<double> latencyUs;
    for (auto _ : state) {
        const int before = t.touches;
        const auto start = Clock::now();
        const int fd = connectTo(socketFile);
        if (fd < 0 || ::write(fd, message.constData(), size_t(message.size())) != message.size()) {
            state.SkipWithError("cannot write to the card socket");
            break;
        }
        while (t.touches == before)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        latencyUs.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        ::close(fd);
    }
    for (int fd : silent)
        ::close(fd);
    while (ICCardModule::serverSocket->pendingConnections() > 0)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);

    if (latencyUs.empty())
        return;
    std::sort(latencyUs.begin(), latencyUs.end());
    state.counters["median_us"] = latencyUs[latencyUs.size() / 2];
    state.counters["p99_us"] = latencyUs[std::min(latencyUs.size() - 1, latencyUs.size() * 99 / 100)];
}
BENCHMARK(BM_CardMessageToCardTouch)->Arg(0)->Arg(50)->Iterations(500)->Unit(benchmark::kMicrosecond);

}  // namespace
