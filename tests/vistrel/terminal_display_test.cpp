// The terminal's own screen-protocol client against the Vistrel program.
#include "fakeclock.h"
#include "keypad.h"
#include "labelitemlist.h"
#include "mylabel.h"
#include "mytimer.h"
#include "recordingrunner.h"
#include "tempboardroot.h"
#include "vistrelprocess.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QSignalSpy>

#include <memory>

using namespace vnq::test;

namespace {

// The display server running on a lit board, and the terminal's screen client connected to it.
class TerminalAndDisplay : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root.writeFile(QStringLiteral("/sys/class/gpio/gpio0/value"), "1\n"));
        ASSERT_TRUE(display.start()) << qPrintable(display.output());
        MyTimer::getInstance();
        label = MyLabel::getInstance();
        ready = std::make_unique<QSignalSpy>(label, &MyLabel::ready);
    }

    TempBoardRoot root;
    RecordingRunner runner;
    FakeClock clock;
    VistrelProcess display{root};
    MyLabel* label = nullptr;
    std::unique_ptr<QSignalSpy> ready;
};

}  // namespace

TEST_F(TerminalAndDisplay, UpdatesAreAnsweredReadyOneForOne)
{
    QSignalSpy& ready = *this->ready;
    label->setNew();
    LabelItemList item;
    item.id = QStringLiteral("Back");
    item.x = 10;
    item.y = 20;
    item.w = 80;
    item.h = 34;
    item.label.text = QStringLiteral("戻る");
    item.label.px = 20;
    label->setItem(&item);
    label->setFlash();
    EXPECT_TRUE(label->busy);
    ASSERT_TRUE(ready.wait(10000)) << qPrintable(display.output());
    EXPECT_FALSE(label->busy);

    ready.clear();
    for (int i = 0; i < 30; ++i) {
        label->setNew();
        label->setItem(&item);
        label->setFlash();
    }
    for (int tries = 0; ready.count() < 30 && tries < 100; ++tries)
        ready.wait(100);
    EXPECT_EQ(ready.count(), 30) << qPrintable(display.output());

    // A keypad screen as the keypad itself sends it.
    QObject owner;
    Keypad keypad(&owner, 0, 0, QStringLiteral("時刻"), {570}, true, QStringLiteral("リブート時刻"));
    ready.clear();
    label->setNew();
    keypad.setBackground();
    keypad.setForeground();
    label->setFlash();
    EXPECT_TRUE(ready.wait(10000)) << qPrintable(display.output());
    EXPECT_TRUE(display.isRunning());
}

namespace {

// A tap through the simulated touch feed.
int tap(const TempBoardRoot& root, int x, int y)
{
    QProcess touch;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("VNQ_ROOT"), root.root());
    touch.setProcessEnvironment(environment);
    touch.start(QStringLiteral(SIM_TOUCH_PROGRAM), {QString::number(x), QString::number(y), QStringLiteral("30")});
    touch.waitForFinished(10000);
    return touch.exitCode();
}

}  // namespace

TEST_F(TerminalAndDisplay, TapsOnAnItemAreItsClicksAlsoAfterReinit)
{
    QSignalSpy& ready = *this->ready;
    QSignalSpy clicked(label, &MyLabel::clicked);

    ASSERT_EQ(tap(root, 10, 10), 0);  // before any update: nothing to hit
    LabelItemList item;
    item.id = QStringLiteral("Back");
    item.x = 400;
    item.y = 220;
    item.w = 70;
    item.h = 40;
    auto clicksOfBack = [&] {
        int n = 0;
        for (const QList<QVariant>& args : clicked)
            n += args.at(1).toString() == QLatin1String("Back");
        return n;
    };
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        if (round == 1) {  // touch input restarted by the client
            label->reinitTouchscreen();
            QDeadlineTimer settle(300);
            while (!settle.hasExpired())
                QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        ready.clear();
        label->setNew();
        label->setItem(&item);
        label->setFlash();
        ASSERT_TRUE(ready.wait(10000)) << qPrintable(display.output());
        clicked.clear();
        ASSERT_EQ(tap(root, 100, 100), 0);  // beside the item
        ASSERT_EQ(tap(root, 435, 240), 0);
        for (QDeadlineTimer until(5000); clicksOfBack() == 0 && !until.hasExpired();)
            clicked.wait(50);
        EXPECT_EQ(clicksOfBack(), 1) << qPrintable(display.output());
    }
}
