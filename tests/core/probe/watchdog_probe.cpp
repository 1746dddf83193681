// watchdog_probe <steps>
// Runs the real watchdog thread against a main thread that plays one step of the script
// per watchdog period, in lock step with the watchdog's sleeps (so nothing waits for real):
//   t  advance the heartbeat            -  do nothing (a stalled main thread)
//   h  set selfcheckpass, no heartbeat  c  clear selfcheckpass and advance the heartbeat
//   C  clear selfcheckpass only         i  do nothing and cut the sleep short, as a signal does
//   m  set the heartbeat to its largest value (the next increment wraps)
// Every command the watchdog runs is printed as "RUN <command>", its pause before the reboot
// as "PAUSE <ms>". When the watchdog asks for a period past the last step the probe has
// survived: it prints "SURVIVED" and exits 0.
// Otherwise the watchdog ends the process itself.
#include "heartbeat.h"
#include "platform/commandrunner.h"
#include "watchdog.h"

#include <QTextCodec>

#include <condition_variable>
#include <limits>
#include <mutex>
#include <string>

#include <unistd.h>

namespace {

const int periodMs = 10000;
const int rebootPauseMs = 1000;

std::mutex turnMutex;
std::condition_variable turnChanged;
std::string steps;
size_t periodsStarted = 0;
size_t stepsPlayed = 0;

void writeLine(const std::string& text)
{
    const std::string line = text + "\n";
    ssize_t ignored = ::write(STDOUT_FILENO, line.data(), line.size());
    (void)ignored;
}

// Prints if the process ends through exit(): the watchdog must leave with _exit(), running no
// static destructor under threads that may hold locks.
struct ReportsStaticDestruction {
    ~ReportsStaticDestruction() { writeLine("STATIC DESTRUCTOR"); }
} reportsStaticDestruction;

class PrintingRunner : public vnq::CommandRunner {
public:
    int shell(const QString& line) override
    {
        writeLine("RUN " + line.toStdString());
        return 0;
    }
    vnq::CommandResult run(const QString& command, int) override
    {
        writeLine("RUN " + command.toStdString());
        return {};
    }
    bool startDetached(const QString& command) override
    {
        writeLine("RUN " + command.toStdString());
        return false;
    }
};

// The watchdog's sleep: one period is one step of the main thread.
bool scriptedSleep(int ms)
{
    if (ms != periodMs) {
        writeLine("PAUSE " + std::to_string(ms));  // the pause before the reboot
        return true;
    }
    std::unique_lock<std::mutex> lock(turnMutex);
    const size_t step = periodsStarted++;
    if (step >= steps.size()) {
        writeLine("SURVIVED");
        _exit(0);
    }
    turnChanged.notify_all();
    turnChanged.wait(lock, [step] { return stepsPlayed > step; });
    return steps[step] != 'i';
}

void play(char step)
{
    switch (step) {
    case 't':
        ++selftick;
        break;
    case 'h':
        selfcheckpass = true;
        break;
    case 'c':
        selfcheckpass = false;
        ++selftick;
        break;
    case 'C':
        selfcheckpass = false;
        break;
    case 'm':
        selftick = std::numeric_limits<int>::max();
        break;
    default:
        break;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    steps = argv[1];
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));

    static PrintingRunner runner;
    vnq::setCommandRunner(&runner);
    vnq::WatchdogTiming timing;
    timing.periodMs = periodMs;
    timing.rebootPauseMs = rebootPauseMs;
    timing.sleep = scriptedSleep;
    vnq::setWatchdogTiming(timing);
    if (!vnq::startWatchdog())
        return 3;

    for (size_t i = 0; i < steps.size(); ++i) {
        {
            std::unique_lock<std::mutex> lock(turnMutex);
            turnChanged.wait(lock, [i] { return periodsStarted > i; });
        }
        play(steps[i]);
        {
            std::lock_guard<std::mutex> lock(turnMutex);
            stepsPlayed = i + 1;
        }
        turnChanged.notify_all();
    }
    // The watchdog now either ends the process or reports survival.
    for (;;)
        pause();
}
