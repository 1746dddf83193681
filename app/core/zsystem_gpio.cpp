#include "zsystem.h"

#include "commandquote.h"
#include "mydebug.h"
#include "platform/boardroot.h"
#include "platform/clock.h"
#include "platform/commandrunner.h"

#include <QFile>

#include <climits>
#include <cstdio>
#include <cstdlib>

bool ZSystem::initGPIO1_OUT = false;
bool ZSystem::initGPIO2_OUT = false;

namespace {

// A value file holds a few characters; more than this is never read.
const int valueReadLimit = 128;
// A line that does not read back the level it was driven to is driven again this many times
// in all, with a short pause between, so a dead line cannot hold the main thread.
const int writeAttempts = 3;
const int writeRetryPauseMs = 100;

QString boardScript(const char* name)
{
    return vnq::shellWord(vnq::boardPath(QStringLiteral("/VnQo/bin/") + QLatin1String(name)));
}

// The decimal integer at the start of a terminated text: leading white space and a sign
// allowed, reading stops at the first non-digit, no digits give 0.
int parseLevel(const char* text)
{
    const long value = std::strtol(text, nullptr, 10);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return int(value);
}

}  // namespace

void ZSystem::initGpip()
{
    vnq::commandRunner().shell(boardScript("vnq_gpio") + QStringLiteral(" 136 in"));
    vnq::commandRunner().shell(boardScript("vnq_gpio") + QStringLiteral(" 137 in"));
}

int ZSystem::gpio(ZSystem::GpioCh ch)
{
    const QString path = vnq::boardPath(QStringLiteral("/sys/class/gpio/gpio%1/value").arg(int(ch)));
    std::FILE* file = std::fopen(QFile::encodeName(path).constData(), "r");
    if (!file) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "GPIO" << int(ch) << "fopen failed" << path;
        return 0;
    }
    char text[valueReadLimit + 1];
    const size_t length = std::fread(text, 1, valueReadLimit, file);
    if (length == 0) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "GPIO" << int(ch) << "fread failed" << path;
        std::fclose(file);
        return 0;
    }
    text[length] = '\0';
    std::fclose(file);
    return parseLevel(text);
}

void ZSystem::gpio(ZSystem::GpioCh ch, int value)
{
    vnq::CommandRunner& runner = vnq::commandRunner();
    if (ch == GPIO138 && !initGPIO1_OUT) {
        runner.shell(boardScript("vnq_gpio") + QStringLiteral(" 138 out"));
        initGPIO1_OUT = true;
    }
    if (ch == GPIO139 && !initGPIO2_OUT) {
        runner.shell(boardScript("vnq_gpio") + QStringLiteral(" 139 out"));
        initGPIO2_OUT = true;
    }

    const int level = value != 0 ? 1 : 0;
    const QString command = boardScript("vnq_gpio_value") + QStringLiteral(" %1 %2").arg(int(ch)).arg(level);
    for (int attempt = 1; attempt <= writeAttempts; ++attempt) {
        runner.shell(command);
        if (gpio(ch) == level)
            return;
        if (attempt < writeAttempts)
            vnq::clock().sleepMs(writeRetryPauseMs);
    }
    MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "GPIO" << int(ch) << "出力確認失敗" << level;
}

void ZSystem::gpio(ZSystem::GpioCh ch, int value, int seconds)
{
    if (ch != GPIO138 && ch != GPIO139)
        return;
    const QDateTime start = vnq::clock().now();
    gpio(ch, value);
    const QDateTime end = start.addSecs(seconds);
    const int level = value != 0 ? 1 : 0;
    if (ch == GPIO138) {
        gpio1Deadline = end;
        gpio1PulseLevel = level;
    } else {
        gpio2Deadline = end;
        gpio2PulseLevel = level;
    }
}

bool ZSystem::isArmed(const QDateTime& deadline)
{
    return deadline.toSecsSinceEpoch() != 0;
}

void ZSystem::tickerTask()
{
    const QDateTime now = vnq::clock().now();

    // A pulse ends on the level opposite to the one it drove, whatever the line reads now:
    // a failed read must not leave the lock released with no deadline left.
    if (isArmed(gpio1Deadline) && now >= gpio1Deadline) {
        const int v = gpio(GPIO138);
        MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "GPIO1 タイムアウト！！" << v;
        gpio1Deadline = QDateTime::fromSecsSinceEpoch(0);
        gpio(GPIO138, gpio1PulseLevel == 0 ? 1 : 0);
    }
    if (isArmed(gpio2Deadline) && now >= gpio2Deadline) {
        const int v = gpio(GPIO139);
        MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "GPIO2 タイムアウト！！" << v;
        gpio2Deadline = QDateTime::fromSecsSinceEpoch(0);
        gpio(GPIO139, gpio2PulseLevel == 0 ? 1 : 0);
    }

    if (gpio(GPIO136) != lastTriggerLevel) {
        MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "GPIO イベント" << lastTriggerLevel;
        emit trigerEvent(lastTriggerLevel);
    }
    lastTriggerLevel = gpio(GPIO136);
}
