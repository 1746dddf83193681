#pragma once

#include "dbsetting.h"
#include "fakeclock.h"
#include "messagecapture.h"
#include "mytimer.h"
#include "platform/processexit.h"
#include "recordingrunner.h"
#include "shippeddatabases.h"
#include "tempboardroot.h"
#include "zsystem.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QStringList>

#include <memory>
#include <ostream>

// Readable failure messages for Qt strings.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace vnq::test {

// A scheduler on a board with the shipped settings, a fake clock standing at 2024-01-01
// 09:00 and a recording runner that plays the backlight script on the backlight state line,
// as the board does. The daily reboot's exit is recorded, not taken. Arrange the settings,
// then make() the scheduler and drive it with tick().
class MyTimerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(board.isValid());
        ASSERT_TRUE(installShippedDatabases(board));
        ASSERT_TRUE(board.makeDir(QStringLiteral("/var/log")));
        ZSystem::setMode(ZSystem::Basic);
        setLight(true);
        runner.onCommand = [this](const QString& command) {
            events << command;
            if (command == script("vnq_backlight") + " on")
                setLight(true);
            else if (command == script("vnq_backlight") + " off")
                setLight(false);
        };
        vnq::setExitHook([this](int status) {
            exitStatus = status;
            events << QStringLiteral("exit %1").arg(status);
        });
    }

    void TearDown() override { vnq::setExitHook({}); }

    void setting(const char* jname, int value)
    {
        ASSERT_TRUE(DBSetting::setSetting(QString::fromUtf8(jname), value)) << jname;
    }

    MyTimer& make()
    {
        timer = std::make_unique<MyTimer>();
        timer->setRandomSource([](int) { return 42; });
        return *timer;
    }

    // One tick after moving the clock forward.
    void tick(qint64 advanceMs = 300)
    {
        clock.advanceMs(advanceMs);
        timer->tickerTask();
    }

    // Puts the clock at a time as a settings load would leave it: the scheduler takes it as
    // its reference, so the next tick is a normal one.
    void jumpQuietlyTo(const QDateTime& when)
    {
        clock.setNow(when);
        timer->unlockTimer();
    }

    QString script(const char* name) const { return board.path(QStringLiteral("/VnQo/bin/") + QLatin1String(name)); }
    QString tikwarden() const { return script("Tikwarden") + " -D 180"; }
    bool lit() const { return board.readFile(QStringLiteral("/sys/class/gpio/gpio0/value")).trimmed() == "1"; }
    void setLight(bool on) { board.writeFile(QStringLiteral("/sys/class/gpio/gpio0/value"), on ? "1\n" : "0\n"); }

    static QDateTime at(int day, int hour, int minute, int second = 0, int ms = 0)
    {
        return QDateTime(QDate(2024, 1, day), QTime(hour, minute, second, ms));
    }

    TempBoardRoot board;
    RecordingRunner runner;
    FakeClock clock{at(1, 9, 0)};
    MessageCapture log;
    std::unique_ptr<MyTimer> timer;
    // Commands, signals the test records and the exit, in the order they happened.
    QStringList events;
    int exitStatus = -1;
};

}  // namespace vnq::test
