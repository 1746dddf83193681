#include "clockfixture.h"

#include "db.h"
#include "iccardmodule.h"

#include <QSignalSpy>

namespace {

class ClockPageHost : public ClockFixture {
protected:
    void SetUp() override
    {
        ClockFixture::SetUp();
        for (PageTable::Move move : {PageTable::MovePage, PageTable::MoveToMenu, PageTable::MoveToShosai})
            for (int number = 1; number <= 28; ++number)
                addStubRow(move, number);
    }

    StubPage* page() const { return dynamic_cast<StubPage*>(probe->currentPage()); }

    StubPage* openPage(int number = 3)
    {
        clock->movePage(number, nullptr);
        return page();
    }

    // One scheduler step after the fake clock moved on (a normal tick, not a clock jump).
    void tickAfter(qint64 ms)
    {
        fakeClock.advanceMs(ms);
        MyTimer::getInstance()->unlockTimer();
        MyTimer::getInstance()->tickerTask();
    }
};

TEST_F(ClockPageHost, EveryMoveCreatesItsRowWithNumberAndId)
{
    startActiveClock();
    const struct {
        PageTable::Move move;
        int number;
        const char* id;
    } cases[] = {
        {PageTable::MovePage, 9, ""},      {PageTable::MoveToMenu, 9, ""},     {PageTable::MoveToMenu, 18, ""},
        {PageTable::MoveToShosai, 18, "23"}, {PageTable::MovePage, 1, ""},  {PageTable::MoveToShosai, 28, "03"},
    };
    QPointer<QObject> caller = openPage();
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << PageTable::moveName(c.move).toStdString() << " " << c.number);
        QString seen;
        PageTable::add(c.move, c.number, [&seen, move = c.move](QObject* host, int n, const QString& id) {
            seen = QStringLiteral("%1 %2 [%3]").arg(PageTable::moveName(move)).arg(n).arg(id);
            return new StubPage(host, n, id);
        });
        QFile::remove(board.path(QStringLiteral("/tmp/webservice.lock")));
        MyTimer::getInstance()->stopClockModori();
        QSignalSpy returns(MyTimer::getInstance(), &MyTimer::timeoutClockModori);

        if (c.move == PageTable::MovePage)
            clock->movePage(c.number, caller);
        else if (c.move == PageTable::MoveToMenu)
            clock->moveToMenu(c.number, caller);
        else
            clock->moveToShosai(c.number, caller, QString::fromUtf8(c.id));

        EXPECT_EQ(seen, QStringLiteral("%1 %2 [%3]").arg(PageTable::moveName(c.move)).arg(c.number).arg(QString::fromUtf8(c.id)));
        EXPECT_TRUE(caller.isNull()) << "the caller is gone";
        ASSERT_NE(page(), nullptr);
        EXPECT_EQ(page()->parent(), clock);
        EXPECT_TRUE(board.exists(QStringLiteral("/tmp/webservice.lock")));
        EXPECT_EQ(probe->formActive(), 0);
        tickAfter(3 * 60 * 1000);
        EXPECT_EQ(returns.count(), 1) << "the return-to-clock deadline is armed";
        caller = page();
    }
}

TEST_F(ClockPageHost, NumberZeroOnlyCoversTheClock)
{
    startActiveClock();
    StubPage* opened = openPage();
    QPointer<QObject> caller = opened;
    clock->movePage(0, opened);
    EXPECT_FALSE(caller.isNull());
    EXPECT_EQ(page(), opened);
    EXPECT_EQ(probe->formActive(), 0);
}

TEST_F(ClockPageHost, UnlistedNumberReturnsToTheClock)
{
    startActiveClock();
    QPointer<QObject> caller = openPage();
    PageTable::remove(PageTable::MoveToMenu, 14);
    const QStringList updates = updatesOf([&] { clock->moveToMenu(14, caller); });
    EXPECT_TRUE(caller.isNull());
    EXPECT_EQ(probe->currentPage(), nullptr);
    EXPECT_EQ(probe->formActive(), 1);
    EXPECT_FALSE(board.exists(QStringLiteral("/tmp/webservice.lock")));
    EXPECT_TRUE(vnq::test::transcriptOf(updates.value(0)).contains(QStringLiteral("時計画面_背景.png")));
    EXPECT_EQ(log.matching(QStringLiteral("<ERR>")).filter(QStringLiteral("14")).filter(QStringLiteral("moveToMenu")).size(), 1);

    PageTable::add(PageTable::MovePage, 5, [](QObject*, int, const QString&) { return nullptr; });
    clock->movePage(5, nullptr);
    EXPECT_EQ(probe->formActive(), 1) << "a creator that makes nothing takes the same way";
}

TEST_F(ClockPageHost, APageLeavingInItsOwnTouchIsNotTouchedAgain)
{
    startActiveClock();
    StubPage* first = openPage(1);
    first->onTouch = [this](StubPage* self, const QString&) { clock->movePage(2, self); };
    touch(QStringLiteral("Next"));
    StubPage* second = page();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->number, 2);
    EXPECT_TRUE(second->touches.isEmpty()) << "the touch that opened it is not delivered to it";

    second->onTouch = [this](StubPage* self, const QString&) { clock->returnPage(self, false); };
    touch(QStringLiteral("Back"));
    EXPECT_EQ(probe->currentPage(), nullptr);
    EXPECT_EQ(probe->formActive(), 1);
}

TEST_F(ClockPageHost, AReturnDeletesWhateverIsOpen)
{
    startActiveClock();
    QPointer<StubPage> opened = openPage(6);
    clock->showPopAlert(Form3PopAlart::NameAlert, QStringLiteral("山田"), QString(), QString());
    QPointer<QObject> alert = probe->popAlert();
    ASSERT_FALSE(alert.isNull());
    ASSERT_FALSE(opened.isNull()) << "the alert opens over the page";
    int cardsSeen = 0;
    QObject::connect(ICCardModule::getInstance(), &ICCardModule::cardTouch, opened.data(), [&cardsSeen] { ++cardsSeen; });

    clock->returnPage(nullptr, false);
    EXPECT_TRUE(opened.isNull());
    EXPECT_TRUE(alert.isNull());
    EXPECT_EQ(probe->currentPage(), nullptr);
    EXPECT_EQ(probe->popAlert(), nullptr);
    emit ICCardModule::getInstance()->cardTouch(true, QStringLiteral("0123456789ABCDEF"), 0, 7, QStringLiteral("鈴木"));
    touch(QStringLiteral("Back"));
    EXPECT_EQ(cardsSeen, 0);
}

TEST_F(ClockPageHost, ASuspendedDeadlineDoesNotOutliveItsPage)
{
    startActiveClock();
    openPage(4);
    MyTimer::getInstance()->lockClockModori();
    clock->returnPage(nullptr, false);

    QSignalSpy returns(MyTimer::getInstance(), &MyTimer::timeoutClockModori);
    openPage(3);
    tickAfter(3 * 60 * 1000);
    EXPECT_EQ(returns.count(), 1);
}

TEST_F(ClockPageHost, ReturnToClockAfterTheQuietTime)
{
    const struct {
        int minutes;  // -1: no such setting
        bool closes;
    } cases[] = {{0, false}, {1, true}, {-1, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.minutes);
        if (c.minutes >= 0) {
            setSetting("時計に戻る時間", c.minutes);
        } else {
            ASSERT_TRUE(DB::getInstance()->execQueryBase(
                QStringLiteral("../DB/setting.db"), QStringLiteral("DELETE FROM setting WHERE jname = '時計に戻る時間'"),
                nullptr));
        }
        delete clock;
        startActiveClock();
        QPointer<StubPage> opened = openPage();
        tickAfter(50 * 1000);
        touch(QStringLiteral("Sel3x4_1"));
        tickAfter(50 * 1000);
        EXPECT_FALSE(opened.isNull()) << "a touch at 50 s pushes the deadline back";
        tickAfter(15 * 1000);
        EXPECT_EQ(opened.isNull(), c.closes);
        EXPECT_EQ(probe->currentPage() == nullptr, c.closes);
    }
}

TEST_F(ClockPageHost, AlertReturnKeepsOrClearsTheSelection)
{
    for (const bool touchPriority : {false, true}) {
        SCOPED_TRACE(touchPriority);
        setSetting("タッチ選択優先", touchPriority ? 1 : 0);
        delete clock;
        startActiveClock();
        clock->selectPanel(102);
        clock->showPopAlert(Form3PopAlart::NameAlert, QStringLiteral("山田"), QString(), QString());
        QPointer<QObject> alert = probe->popAlert();
        log.clear();
        QSignalSpy touchPriorityOver(MyTimer::getInstance(), &MyTimer::timeoutTouchYusen);

        clock->returnPage(alert, true);
        EXPECT_TRUE(alert.isNull());
        EXPECT_TRUE(log.matching(QStringLiteral("enter:")).isEmpty()) << "nothing reloaded";
        EXPECT_EQ(probe->selected(), touchPriority ? QList<int>{} : QList<int>{102});
        tickAfter(2000);
        EXPECT_EQ(touchPriorityOver.count(), touchPriority ? 0 : 1) << "held 2 s";
    }
}

}  // namespace
