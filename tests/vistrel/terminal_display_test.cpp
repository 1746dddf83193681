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

#include <QSignalSpy>

using namespace vnq::test;

TEST(TerminalAndDisplay, UpdatesAreAnsweredReadyOneForOne)
{
    TempBoardRoot root;
    ASSERT_TRUE(root.writeFile(QStringLiteral("/sys/class/gpio/gpio0/value"), "1\n"));
    RecordingRunner runner;
    FakeClock clock;
    VistrelProcess display(root);
    ASSERT_TRUE(display.start()) << qPrintable(display.output());

    MyTimer::getInstance();
    MyLabel* label = MyLabel::getInstance();
    QSignalSpy ready(label, &MyLabel::ready);
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
