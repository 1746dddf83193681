#include "clockfixture.h"

#include "dbdakoku.h"
#include "fakecloudlink.h"

#include <QSignalSpy>

namespace {

using vnq::test::FakeCloudLink;

// What a data-request deadline starts, by edition, screen, unsent count and shot flag.
TEST_F(ClockFixture, ScheduledDataRequest)
{
    const struct {
        const char* name;
        int edition;
        bool clockShown;
        int unsent;  // -1: the count cannot be read
        bool shot;
        int requestMode;  // 0: none
        bool nextDeadline;
        const char* logged;
    } cases[] = {
        {"basic edition", 0, true, 5, false, 0, false, nullptr},
        {"page open", 1, false, 5, false, 0, true, "時計画面以外のためパス"},
        {"cloud, nothing unsent", 1, true, 0, false, 0, true, "定時送信しない"},
        {"cloud, shot", 1, true, 5, true, 0, true, "定時送信しない"},
        {"cloud, 5 unsent", 1, true, 5, false, 3, false, nullptr},
        {"Merid, scheduled with nothing unsent", 2, true, 0, false, 3, false, "定時送信"},
        {"Merid, shot with nothing unsent", 2, true, 0, true, 0, true, nullptr},
        {"Merid, shot with 5 unsent", 2, true, 5, true, 2, false, nullptr},
        {"unreadable count", 2, true, -1, false, 0, true, "未送信打刻件数 取得失敗"},
    };
    setSetting("NTPサーバーを使用", 1);
    for (const char* octet : {"NTPサーバー0", "NTPサーバー1", "NTPサーバー2", "NTPサーバー3"})
        setSetting(octet, 10);
    startActiveClock();
    FakeCloudLink* link = nullptr;
    for (int edition : {1, 2}) {
        ZSystem::setMode(ZSystem::_zmode(edition));
        link = FakeCloudLink::install(edition);
    }
    ASSERT_NE(link, nullptr);
    link->setAnswerAtOnce(false);
    MyTimer* timer = MyTimer::getInstance();
    QObject::disconnect(timer, &MyTimer::timeoutDataRequest, clock, nullptr);
    QSignalSpy deadlines(timer, &MyTimer::timeoutDataRequest);

    int stored = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ZSystem::setMode(ZSystem::_zmode(c.edition));
        probe->formActive() = c.clockShown ? 2 : 0;
        for (; stored < c.unsent; ++stored) {
            ASSERT_TRUE(DBDakoku::setDakoku(7, 1, fakeClock.now()));
        }
        if (c.unsent == 0) {
            ASSERT_TRUE(DBDakoku::deleteAllDakoku());
            stored = 0;
        }
        if (c.unsent < 0) {
            ASSERT_TRUE(QFile::remove(board.path(QStringLiteral("/VnQo/app/DB/dakoku.db"))));
        }
        timer->stopDataRequest();
        link->clearCalls();
        runner.clear();
        log.clear();
        deadlines.clear();

        clock->timeoutDataRequest(c.shot);

        QStringList expectedCalls;
        if (c.requestMode)
            expectedCalls << QStringLiteral("startDataRequest");
        EXPECT_EQ(link->operations(), expectedCalls);
        if (c.requestMode) {
            EXPECT_EQ(link->calls().value(0).args, QVariantList{c.requestMode});
        }
        const bool ntp = !runner.commands().filter(QStringLiteral("vnq_sync_ntp")).isEmpty();
        EXPECT_EQ(ntp, c.edition != 0 && c.clockShown && !c.shot);
        if (c.logged) {
            EXPECT_EQ(log.matching(QString::fromUtf8(c.logged)).size(), 1);
        }
        fakeClock.advanceMs(3600 * 1000);
        timer->unlockTimer();
        timer->tickerTask();
        EXPECT_EQ(deadlines.count(), c.nextDeadline ? 1 : 0);
    }
}

}  // namespace
