// The display server as the terminal reaches it: the Vistrel program on the real drawing port
// in a temporary board root (simulated GPU and framebuffer), driven over its socket by a
// QLocalSocket client. Every figure is a round trip to that other process: the message written,
// parsed there, the cached pictures read and decompressed, drawn, swapped, the ready reply read.
// - round trip of the typical screen (typicalscreen.h: a cached full-screen picture, 12
//   pictures, 20 labels, "Flash") at vsync_hz 0: mean and 95th percentile over 50;
// - full-screen redraws per second: "New", the cached full-screen picture, "Flash"; and
//   "Past", "Flash";
// - a fade-in at vsync_hz 0 and 60;
// - the program's peak resident memory (VmHWM) after these scenes (goal 24 MB).
// The drawing alone, in process, beside cairo drawing the same screen: bench_vistrel_vs_cairo.
#include <benchmark/benchmark.h>

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "fb_info.h"
#include "packagedfont.h"
#include "tempboardroot.h"
#include "typicalscreen.h"

namespace {

using namespace typicalscreen;

// The Vistrel program in a board root of its own with the screen's vertical sync at hz.
class Server {
public:
    explicit Server(uint32_t hz)
        : vsyncHz(hz)
    {
        for (const char* dir : {"/tmp", "/var/log", "/var/tmp", "/VnQo/app/App/Font", "/VnQo/app/Parts", "/dev/input"})
            root.makeDir(QString::fromLatin1(dir));
        ::mkfifo(root.path(QStringLiteral("/dev/input/event0")).toUtf8().constData(), 0600);
        simfb::FbInfo info = simfb::boardScreen();
        info.vsyncHz = hz;
        simfb::writeFramebuffer(root.path(QStringLiteral("/dev/fb0")).toStdString(), info);
        QFile::link(QString::fromStdString(packagedFont()), root.path(QStringLiteral("/VnQo/app/App/Font/ipag.ttf")));
        root.writeFile(QStringLiteral("/VnQo/app/App/start.xml"),
                       "<items><action>Clear</action><action>Flash</action></items>");
        writePictures(root.path(QStringLiteral("/VnQo/app/Parts/")));

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("VNQ_ROOT"), root.root());
        environment.insert(QStringLiteral("VNQ_VISTREL_DRAW"), QStringLiteral("ovg"));
        program.setProcessEnvironment(environment);
        program.setWorkingDirectory(root.path(QStringLiteral("/VnQo/app/App")));
        program.setStandardOutputFile(root.path(QStringLiteral("/var/log/Vistrel.log")));
        program.setProcessChannelMode(QProcess::MergedChannels);
        program.start(QStringLiteral(VISTREL_PROGRAM), QStringList());
        const QString socketFile = root.path(QStringLiteral("/tmp/vistrel.uds"));
        QDeadlineTimer deadline(20000);
        while (!deadline.hasExpired() && !QFileInfo::exists(socketFile))
            program.waitForFinished(20);
        client.connectToServer(socketFile);
        ok = client.waitForConnected(5000);
    }
    ~Server()
    {
        client.abort();
        program.kill();
        program.waitForFinished(5000);
    }

    // Sends the message and waits for the ready reply; the seconds it took, or -1.
    double exchange(const QByteArray& message)
    {
        QElapsedTimer elapsed;
        elapsed.start();
        client.write(message);
        client.flush();
        while (!received.contains("<status>ready</status>")) {
            if (!client.waitForReadyRead(10000))
                return -1;
            received += client.readAll();
        }
        received.remove(0, received.indexOf("</gui>") + 6);
        return elapsed.nsecsElapsed() / 1e9;
    }

    // The program's peak resident memory in kB, -1 when unknown.
    long peakKb() const
    {
        QFile status(QStringLiteral("/proc/%1/status").arg(program.processId()));
        if (!status.open(QIODevice::ReadOnly))
            return -1;
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').front().toLong();
        return -1;
    }

    const uint32_t vsyncHz;
    bool ok = false;

private:
    vnq::test::TempBoardRoot root;
    QProcess program;
    QLocalSocket client;
    QByteArray received;
};

// The largest peak resident memory of the programs that have ended.
long endedPeakKb = -1;

// One server at a time, kept while the benchmarks ask for the same vertical sync.
Server* server(uint32_t hz)
{
    static std::unique_ptr<Server> current;
    if (!current || current->vsyncHz != hz) {
        if (current)
            endedPeakKb = std::max(endedPeakKb, current->peakKb());
        current.reset();
        current = std::make_unique<Server>(hz);
        // The first draw of each picture writes its cache; later draws read it.
        if (current->ok)
            current->exchange(typicalScreen());
    }
    return current->ok ? current.get() : nullptr;
}

void BM_RoundTripToVistrelProgram(benchmark::State& state)
{
    Server* s = server(0);
    if (!s) {
        state.SkipWithError("the Vistrel program did not start");
        return;
    }
    const QByteArray screen = typicalScreen();
    std::vector<double> times;
    for (auto _ : state) {
        const double t = s->exchange(screen);
        if (t < 0) {
            state.SkipWithError("no ready reply");
            return;
        }
        state.SetIterationTime(t);
        times.push_back(t);
    }
    std::sort(times.begin(), times.end());
    state.counters["mean_ms"] = std::accumulate(times.begin(), times.end(), 0.0) / double(times.size()) * 1e3;
    state.counters["p95_ms"] = times[std::min(times.size() - 1, size_t(std::ceil(0.95 * double(times.size())) - 1))] * 1e3;
}
BENCHMARK(BM_RoundTripToVistrelProgram)->Iterations(50)->UseManualTime()->Unit(benchmark::kMillisecond);

// Redraws per second: 0 the cached full-screen picture after "New", 1 "Past" of the saved screen.
void BM_FullScreenRedraw(benchmark::State& state)
{
    Server* s = server(0);
    if (!s) {
        state.SkipWithError("the Vistrel program did not start");
        return;
    }
    const QByteArray message = state.range(0) == 0
        ? (QStringLiteral("<items><action>New</action>") + pictureItem(QStringLiteral("full.png"), 0, 0)
           + QStringLiteral("<action>Flash</action></items>")).toUtf8()
        : QByteArray("<items><action>Past</action><action>Flash</action></items>");
    s->exchange("<items><action>Copy</action></items>");
    for (auto _ : state)
        if (s->exchange(message) < 0) {
            state.SkipWithError("no ready reply");
            return;
        }
    state.counters["frames_per_s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FullScreenRedraw)->Arg(0)->Arg(1)->ArgNames({"past"})->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_FadeIn(benchmark::State& state)
{
    Server* s = server(uint32_t(state.range(0)));
    if (!s) {
        state.SkipWithError("the Vistrel program did not start");
        return;
    }
    s->exchange(typicalScreen());
    s->exchange("<items><action>Copy</action></items>");
    QString m = QStringLiteral("<items><action>New</action><action>Clear</action>");
    for (int i = 0; i < 4; ++i)
        m += pictureItem(QStringLiteral("p%1.png").arg(i), pictureX(i), pictureY(i));
    const QByteArray fade = (m + labelItem(kLabels[16]) + QStringLiteral("<action>FadeIn</action></items>")).toUtf8();
    for (auto _ : state)
        if (s->exchange(fade) < 0) {
            state.SkipWithError("no ready reply");
            return;
        }
}
BENCHMARK(BM_FadeIn)->Arg(0)->Arg(60)->ArgNames({"vsync_hz"})->Iterations(10)->UseRealTime()->Unit(benchmark::kMillisecond);

// After the scenes above (run in this order): the largest peak resident memory of the programs
// that drew them.
void BM_PeakMemory(benchmark::State& state)
{
    Server* s = server(60);
    const long kb = std::max(endedPeakKb, s ? s->peakKb() : -1);
    for (auto _ : state)
        benchmark::DoNotOptimize(kb);
    if (kb < 0) {
        state.SkipWithError("no VmHWM of the program");
        return;
    }
    state.counters["VmHWM_MB"] = double(kb) / 1024.0;
    state.counters["goal_MB"] = 24;
}
BENCHMARK(BM_PeakMemory)->Iterations(1);

}  // namespace
