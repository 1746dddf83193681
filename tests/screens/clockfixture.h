#pragma once

#include "dbsetting.h"
#include "fakeclock.h"
#include "fakecloudlink.h"
#include "fakedisplayserver.h"
#include "form1clock.h"
#include "messagecapture.h"
#include "mylabel.h"
#include "mytimer.h"
#include "pagetable.h"
#include "recordingrunner.h"
#include "shippeddatabases.h"
#include "tempboardroot.h"
#include "transcript.h"
#include "zsystem.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <memory>

// The clock screen's private state, for tests.
class Form1ClockProbe {
public:
    explicit Form1ClockProbe(Form1Clock* clock)
        : clock(clock)
    {
    }
    int& formActive() { return clock->formActive; }
    bool& allowCardTouch() { return clock->allowCardTouch; }
    bool& lockBusy() { return clock->lockBusy; }
    bool& ntpSynced() { return clock->ntpSynced; }
    bool& higawaritaiMode() { return clock->higawaritaiMode; }
    bool& shukinMode() { return clock->shukinMode; }
    bool& taikinMode() { return clock->taikinMode; }
    bool touchYusen() const { return clock->touchYusen; }
    int operationMode() const { return clock->operationMode; }
    int clockDisplay() const { return clock->clockDisplay; }
    int& dakokuCapacityLevel() { return clock->dakokuCapacityLevel; }
    bool& usbMemoryMounted() { return clock->usbMemoryMounted; }
    bool& userFlashMounted() { return clock->userFlashMounted; }
    QList<int>& selected() { return clock->selectedKubunList; }
    QString& infoMessage() { return clock->infoMessage; }
    QObject* currentPage() const { return clock->currentPage.data(); }
    QObject* popAlert() const { return clock->popAlert.data(); }
    int& lastSecond() { return clock->lastSecond; }
    int& lastUserID() { return clock->lastUserID; }

private:
    Form1Clock* clock;
};

// A page that records the touches it is given.
class StubPage : public QObject {
public:
    StubPage(QObject* host, int number, QString id)
        : QObject(host)
        , number(number)
        , id(std::move(id))
    {
        connect(MyLabel::getInstance(), &MyLabel::clicked, this,
                [this](MyLabel*, QString touched) { clickMyLabel(touched); });
    }

    const int number;
    const QString id;
    QStringList touches;
    // Run inside the page's own touch slot (to leave through the host, say).
    std::function<void(StubPage*, const QString&)> onTouch;

private:
    // Nothing of the page is touched after onTouch: it may have left through the host.
    void clickMyLabel(const QString& touched)
    {
        touches << touched;
        if (onTouch)
            onTouch(this, touched);
    }
};

// The clock screen of the basic edition on a temporary board with the shipped databases,
// user flash and USB memory present, a fake display server, a fake clock at
// 2024-01-01 09:00:00 (a Monday) and recorded commands. Settings are changed before
// startClock().
class ClockFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(board.isValid());
        ASSERT_TRUE(vnq::test::installShippedDatabases(board));
        ASSERT_TRUE(board.makeDir(QStringLiteral("/mnt/spi_user/DB")));
        ASSERT_TRUE(board.makeDir(QStringLiteral("/mnt/spi_user/Log")));
        ASSERT_TRUE(board.writeFile(QStringLiteral("/dev/sda"), ""));
        ASSERT_TRUE(board.makeDir(QStringLiteral("/var/log")));
        ASSERT_TRUE(board.writeFile(QStringLiteral("/sys/class/gpio/gpio0/value"), "1\n"));
        ASSERT_TRUE(peer.isListening());
        ZSystem::setMode(ZSystem::Basic);
        PageTable::clear();
        label = MyLabel::getInstance();
        ASSERT_TRUE(peer.waitForClient());
        // The tests step the scheduler themselves: its own 300 ms tick would see the fake
        // clock's moves as clock jumps (and a daily reboot ends the process).
        for (QTimer* ticker : MyTimer::getInstance()->findChildren<QTimer*>())
            ticker->stop();
    }

    void TearDown() override
    {
        delete clock;
        PageTable::clear();
    }

    static void setSetting(const char* name, int value)
    {
        ASSERT_TRUE(DBSetting::setSetting(QString::fromUtf8(name), value)) << name;
    }

    // Builds the clock and waits for its first screen. The 100 ms redraw timer is stopped:
    // tests call dispClockParts themselves with the fake clock.
    void startClock()
    {
        const int before = peer.updates().size();
        clock = new Form1Clock();
        for (QTimer* timer : clock->findChildren<QTimer*>(QString(), Qt::FindDirectChildrenOnly))
            timer->stop();
        probe = std::make_unique<Form1ClockProbe>(clock);
        ASSERT_TRUE(peer.waitForUpdates(before + 1));
    }

    // The clock as the display server has answered its first screen.
    void startActiveClock()
    {
        startClock();
        ASSERT_TRUE(vnq::test::FakeDisplayServer::waitFor([this] { return probe->formActive() == 2; }));
    }

    // Runs fn and returns the updates the display server received meanwhile.
    QStringList updatesOf(const std::function<void()>& fn, int expected = 1)
    {
        const int before = peer.updates().size();
        fn();
        if (expected > 0)
            EXPECT_TRUE(peer.waitForUpdates(before + expected));
        else
            peer.settle();
        return peer.updates().mid(before);
    }

    // Installs a stub page for a row of the page table.
    static void addStubRow(PageTable::Move move, int number)
    {
        PageTable::add(move, number, [](QObject* host, int n, const QString& id) { return new StubPage(host, n, id); });
    }

    // Switches to a cloud edition with a fake worker whose answers wait for the test.
    vnq::test::FakeCloudLink* useCloudEdition(int edition)
    {
        ZSystem::setMode(ZSystem::_zmode(edition));
        vnq::test::FakeCloudLink* fake = vnq::test::FakeCloudLink::install(edition);
        EXPECT_NE(fake, nullptr);
        if (fake)
            fake->setAnswerAtOnce(false);
        return fake;
    }

    // Reports a touch on an item id to every screen, as the label does.
    void touch(const QString& id) { emit label->clicked(label, id); }

    vnq::test::TempBoardRoot board;
    vnq::test::FakeClock fakeClock;
    vnq::test::RecordingRunner runner;
    vnq::test::MessageCapture log;
    vnq::test::FakeDisplayServer peer;
    MyLabel* label = nullptr;
    Form1Clock* clock = nullptr;
    std::unique_ptr<Form1ClockProbe> probe;
};
