// A card touch on the clock screen, end to end inside the terminal: from a card message
// written to the card socket, as cardpoll writes it, to the stamp committed and the name
// alert's update (with its fade-in) received by the display server. Basic edition, 200 users
// with cards, 出勤 selected, a different user each time; no outside command runs. Reports the
// median and the 99th percentile of the latency.
#include "cardsocketclient.h"
#include "dbmaster.h"
#include "fakedisplayserver.h"
#include "form1clock.h"
#include "iccardmodule.h"
#include "mylabel.h"
#include "recordingrunner.h"
#include "shippeddatabases.h"
#include "tempboardroot.h"
#include "zsystem.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <algorithm>
#include <memory>
#include <chrono>
#include <vector>

#include <unistd.h>

namespace {

constexpr int users = 200;

QString cardIdOf(int user)
{
    return QStringLiteral("0123%1").arg(user, 12, 16, QLatin1Char('0')).toUpper();
}

int greetings(const vnq::test::FakeDisplayServer& peer)
{
    int count = 0;
    for (const QString& update : peer.updates())
        count += update.contains(QLatin1String("<action>FadeIn</action>")) ? 1 : 0;
    return count;
}

// The terminal of the benchmark, made once per process and kept for every repetition: its
// singletons (the screen client, the card module) stay with the sockets of the board root
// they were made in. Deleted as the application ends.
class Terminal {
public:
    Terminal()
    {
        if (!vnq::test::installShippedDatabases(board)) {
            error = "shipped databases missing: build the db target first";
            return;
        }
        for (const char* dir : {"/mnt/spi_user/DB", "/mnt/spi_user/Log", "/var/log", "/tmp"})
            board.makeDir(QString::fromLatin1(dir));
        board.writeFile(QStringLiteral("/dev/sda"), "");
        // The screen is lit, so every card is handled rather than only waking it.
        board.writeFile(QStringLiteral("/sys/class/gpio/gpio0/value"), "1\n");
        for (int u = 1; u <= users; ++u) {
            DBMaster::setUser(u, QStringLiteral("社員%1").arg(u), 1);
            DBMaster::setCard(cardIdOf(u), QStringLiteral("FeliCa"), 8, u);
        }
        ZSystem::setMode(ZSystem::Basic);
        MyLabel::getInstance();
        ICCardModule::getInstance();
        clock = std::make_unique<Form1Clock>();
        vnq::test::FakeDisplayServer::waitFor([&] { return !peer.updates().isEmpty(); }, 5000);
        vnq::test::FakeDisplayServer::waitFor([] { return false; }, 300);
        if (!peer.touch(QStringLiteral("_BG_1"))) {
            error = "the clock screen was not shown";
            return;
        }
        vnq::test::FakeDisplayServer::waitFor([] { return false; }, 100);
    }

    vnq::test::TempBoardRoot board;
    vnq::test::RecordingRunner runner;
    vnq::test::FakeDisplayServer peer;
    std::unique_ptr<Form1Clock> clock;
    const char* error = nullptr;
    int cardsShown = 0;  // the users take turns across repetitions too
};

Terminal* theTerminal = nullptr;

Terminal& terminal()
{
    if (!theTerminal) {
        theTerminal = new Terminal;
        qAddPostRoutine([] {
            delete theTerminal;
            theTerminal = nullptr;
        });
    }
    return *theTerminal;
}

void BM_CardToGreeting(benchmark::State& state)
{
    Terminal& t = terminal();
    if (t.error) {
        state.SkipWithError(t.error);
        return;
    }
    vnq::test::FakeDisplayServer& peer = t.peer;
    const vnq::test::TempBoardRoot& board = t.board;
    peer.clearUpdates();

    const QString socketFile = board.path(QStringLiteral("/tmp/iccard.uds"));
    using Clock = std::chrono::steady_clock;
    std::vector<double> latencyUs;
    for (auto _ : state) {
        const QByteArray message = "<iccard><ictype>61</ictype><fwver>0120</fwver><type>FeliCa</type><len>8</len><id>"
                                   + cardIdOf(1 + t.cardsShown++ % users).toLatin1() + "</id></iccard>";
        const int before = greetings(peer);
        const auto start = Clock::now();
        const int fd = connectTo(socketFile);
        if (fd < 0 || ::write(fd, message.constData(), size_t(message.size())) != message.size()) {
            state.SkipWithError("cannot write to the card socket");
            break;
        }
        // The alert is drawn after the commit, so its update arriving means both are done.
        if (!vnq::test::FakeDisplayServer::waitFor([&] { return greetings(peer) > before; }, 5000)) {
            state.SkipWithError("no greeting for a card");
            ::close(fd);
            break;
        }
        latencyUs.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        ::close(fd);
        peer.clearUpdates();
    }
    if (latencyUs.empty())
        return;
    std::sort(latencyUs.begin(), latencyUs.end());
    state.counters["median_us"] = latencyUs[latencyUs.size() / 2];
    state.counters["p99_us"] = latencyUs[std::min(latencyUs.size() - 1, latencyUs.size() * 99 / 100)];
}
BENCHMARK(BM_CardToGreeting)->Iterations(500)->Unit(benchmark::kMicrosecond);

}  // namespace
