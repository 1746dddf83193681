#include "dbdakoku.h"
#include "dbsetting.h"
#include "dbtestfixture.h"
#include "fakeclock.h"
#include "messagecapture.h"

#include <QDateTime>

namespace {

using vnq::test::DbTest;
using vnq::test::ScopedTimeZone;

// Zones on both sides of UTC, so a stamp dated in UTC instead of local time lands on the
// wrong day somewhere.
const char* const zones[] = {"UTC0", "JST-9", "<-03>3"};

QDateTime local(int y, int mo, int d, int h, int mi, int s)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::LocalTime);
}

uint midnightOf(const QDate& day)
{
    return uint(QDateTime(day, QTime(0, 0), Qt::LocalTime).toSecsSinceEpoch());
}

class DakokuBase : public DbTest {
protected:
    void startIn(const char* tz)
    {
        zone = std::make_unique<ScopedTimeZone>(tz);
        DbTest::SetUp();
    }
    void TearDown() override { zone.reset(); }

    QList<QStringList> stamps()
    {
        return rows(QStringLiteral("dakoku.db"),
                    QStringLiteral("SELECT user_id, kubun, flag, send, date, stamptime FROM dakoku ORDER BY rowid"));
    }

    std::unique_ptr<ScopedTimeZone> zone;
};

// Date-dependent behaviour, run in every zone.
class DakokuTest : public DakokuBase, public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override { startIn(GetParam()); }
};

// Behaviour that does not depend on the zone, run once away from UTC.
class DakokuJst : public DakokuBase {
protected:
    void SetUp() override { startIn("JST-9"); }
};

struct WorkingDayCase {
    int kubun;
    QTime at;           // time of the stamp on 2024-01-01
    ZSystem::_zmode edition;
    int dayOffset;      // working day relative to 2024-01-01
};

// Day-change minutes: clock-in 05:00, clock-out 06:00, go-out/return 07:00 (different per group,
// so a kind dated by the wrong group's setting shows).
const WorkingDayCase workingDays[] = {
    {1, QTime(5, 0, 0), ZSystem::Basic, 0},     {1, QTime(4, 59, 59), ZSystem::Basic, -1},
    {822, QTime(5, 0, 0), ZSystem::Basic, 0},   {822, QTime(4, 59, 59), ZSystem::Basic, -1},
    {102, QTime(6, 0, 0), ZSystem::Basic, 0},   {102, QTime(5, 59, 59), ZSystem::Basic, -1},
    {923, QTime(6, 0, 0), ZSystem::Cloud, 0},   {923, QTime(5, 59, 59), ZSystem::Cloud, -1},
    {103, QTime(7, 0, 0), ZSystem::Basic, 0},   {103, QTime(6, 59, 59), ZSystem::Basic, -1},
    {4, QTime(7, 0, 0), ZSystem::Cloud, 0},     {4, QTime(6, 59, 59), ZSystem::Cloud, -1},
    {825, QTime(6, 59, 59), ZSystem::Basic, -1}, {924, QTime(7, 0, 0), ZSystem::Basic, 0},
    {114, QTime(10, 0, 0), ZSystem::Basic, -1}, {114, QTime(23, 59, 59), ZSystem::Cloud, -1},
    {935, QTime(10, 0, 0), ZSystem::Basic, -1}, {821, QTime(0, 0, 1), ZSystem::Basic, 0},
    {1, QTime(4, 59, 59), ZSystem::Merid, 0},   {114, QTime(10, 0, 0), ZSystem::Merid, 0},
    {102, QTime(0, 0, 0), ZSystem::Merid, 0},
};

TEST_P(DakokuTest, WorkingDayFollowsKindDayChangeAndEdition)
{
    ASSERT_TRUE(raw(QStringLiteral("setting.db"),
                    {QStringLiteral("UPDATE setting SET value = 300 WHERE jname = '出勤日替時刻'"),
                     QStringLiteral("UPDATE setting SET value = 360 WHERE jname = '退勤日替時刻'"),
                     QStringLiteral("UPDATE setting SET value = 420 WHERE jname = '外出再入日替時刻'")}));
    for (const WorkingDayCase& c : workingDays) {
        ZSystem::setMode(c.edition);
        const QDateTime stamp(QDate(2024, 1, 1), c.at, Qt::LocalTime);
        EXPECT_EQ(DBDakoku::toDakokuDate(stamp, c.kubun), midnightOf(QDate(2024, 1, 1).addDays(c.dayOffset)))
            << "kubun " << c.kubun << " at " << c.at.toString().toStdString() << " edition " << c.edition;
        // The same instant handed over in UTC is still dated by the local clock.
        EXPECT_EQ(DBDakoku::toDakokuDate(stamp.toUTC(), c.kubun), DBDakoku::toDakokuDate(stamp, c.kubun));
    }
}

TEST_P(DakokuTest, StoresTheDoorUnlockVariantsAs821DatedByTheirOwnGroup)
{
    ASSERT_TRUE(raw(QStringLiteral("setting.db"),
                    {QStringLiteral("UPDATE setting SET value = 300 WHERE jname = '出勤日替時刻'")}));
    vnq::test::FakeClock clock(local(2024, 1, 2, 4, 0, 0));
    const QDateTime stamp = local(2024, 1, 2, 4, 0, 0);
    EXPECT_TRUE(DBDakoku::setDakoku(12, 822.0f, stamp));
    EXPECT_TRUE(DBDakoku::setDakoku(12, 1.0f, stamp));
    const QList<QStringList> stored = stamps();
    ASSERT_EQ(stored.size(), 2);
    EXPECT_EQ(stored.at(0).mid(0, 4), (QStringList{"12", "821", " ", "0"}));
    EXPECT_EQ(stored.at(0).at(4), QString::number(midnightOf(QDate(2024, 1, 1))));
    EXPECT_EQ(stored.at(0).at(5), QString::number(stamp.toSecsSinceEpoch()));
    EXPECT_EQ(stored.at(1).at(1), QStringLiteral("1"));
    EXPECT_EQ(value(QStringLiteral("dakoku.db"), QStringLiteral("SELECT insert_datetime FROM dakoku LIMIT 1")),
              QString::number(clock.now().toSecsSinceEpoch()));
}

TEST_P(DakokuTest, UnreadableDayChangeCountsAsMidnightAndIsLogged)
{
    ASSERT_TRUE(raw(QStringLiteral("setting.db"), {QStringLiteral("DELETE FROM setting WHERE jname = '退勤日替時刻'")}));
    vnq::test::MessageCapture capture;
    EXPECT_EQ(DBDakoku::toDakokuDate(local(2024, 1, 1, 0, 0, 1), 102), midnightOf(QDate(2024, 1, 1)));
    EXPECT_EQ(capture.matching(QStringLiteral("日替わり設定時刻が取得できませんでした")).size(), 1);
    EXPECT_EQ(DBDakoku::toDakokuDate(local(2024, 1, 1, 0, 0, 1), 821), midnightOf(QDate(2024, 1, 1)));
    EXPECT_EQ(capture.matching(QStringLiteral("日替わりなし kubun: 821")).size(), 1);
}

// Every stamp goes through the clock screen's transactional store: cancel, then insert.
TEST_F(DakokuJst, DoubleStampsInsideTheWindowAreCancelled)
{
    vnq::test::FakeClock clock(local(2024, 1, 1, 9, 0, 0));
    ASSERT_TRUE(DBDakoku::setDakoku(8, 1.0f, clock.now()));    // someone else
    ASSERT_TRUE(DBDakoku::setDakoku(7, 821.0f, clock.now()));  // a door unlock is never cancelled
    clock.advanceMs(1000);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(DBDakoku::setDakokuWithCancel(7, {1.0f}, clock.now()));
        clock.advanceMs(20000);
    }
    QStringList flags;
    for (const QStringList& s : stamps())
        flags << s.at(0) + QLatin1Char(':') + s.at(1) + QLatin1Char(':') + s.at(2);
    EXPECT_EQ(flags, (QStringList{"8:1: ", "7:821: ", "7:1:D", "7:1:D", "7:1: "}));

    // A store that fails leaves the earlier stamps exactly as they were.
    const QList<QStringList> before = stamps();
    ASSERT_TRUE(raw(QStringLiteral("dakoku.db"),
                    {QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON dakoku WHEN NEW.user_id = 7 "
                                    "BEGIN SELECT RAISE(ABORT, 'forced'); END")}));
    EXPECT_FALSE(DBDakoku::setDakokuWithCancel(7, {1.0f, 821.0f}, clock.now()));
    EXPECT_EQ(stamps(), before);
}

TEST_F(DakokuJst, CancelCoversOnlyTheWindowBeforeNow)
{
    vnq::test::FakeClock clock(local(2024, 1, 1, 9, 0, 0));
    ASSERT_TRUE(DBDakoku::setDakoku(7, 1.0f, clock.now()));
    EXPECT_TRUE(DBDakoku::deleteDakokuLast(7));  // same second: not yet in the window
    EXPECT_EQ(stamps().at(0).at(2), QStringLiteral(" "));

    // An uploaded stamp that is cancelled is uploaded again, as a cancellation.
    ASSERT_TRUE(DBDakoku::setDakokuCloudSendSuccess({1}));
    clock.advanceMs(60000);
    EXPECT_TRUE(DBDakoku::deleteDakokuLast(7));
    EXPECT_EQ(stamps().at(0).mid(2, 2), (QStringList{"D", "0"}));
    QList<QStringList> batch;
    EXPECT_TRUE(DBDakoku::getDakokuUnsend(&batch, 200));
    ASSERT_EQ(batch.size(), 1);
    EXPECT_EQ(batch.at(0).at(4), QStringLiteral("D"));

    // Beyond the window nothing is cancelled.
    ASSERT_TRUE(DBDakoku::setDakoku(9, 1.0f, clock.now()));
    clock.advanceMs(61000);
    EXPECT_TRUE(DBDakoku::deleteDakokuLast(9));
    EXPECT_EQ(stamps().at(1).at(2), QStringLiteral(" "));
}

TEST_P(DakokuTest, SendStatesBatchesAndCounts)
{
    vnq::test::FakeClock clock(local(2024, 1, 1, 9, 0, 0));
    for (int user = 1; user <= 5; ++user) {
        ASSERT_TRUE(DBDakoku::setDakoku(user, 1.0f, clock.now()));
        clock.advanceMs(30000);
    }
    uint count = 99;
    EXPECT_TRUE(DBDakoku::getDakokuUnsentCount(&count));
    EXPECT_EQ(count, 5u);

    QList<QStringList> batch;
    EXPECT_TRUE(DBDakoku::getDakokuUnsend(&batch, 3));
    ASSERT_EQ(batch.size(), 3);
    EXPECT_EQ(batch.at(0).at(0), QStringLiteral("1"));
    EXPECT_EQ(batch.at(2).at(5), QStringLiteral("3"));

    // Held back: the stamps inserted within the last 60 s (users 4 and 5).
    QList<QStringList> settled;
    EXPECT_TRUE(DBDakoku::getDakokuUnsend2(&settled, 200));
    EXPECT_EQ(settled.size(), 3);

    EXPECT_TRUE(DBDakoku::setDakokuCloudSending(QList<int>{}));
    EXPECT_TRUE(DBDakoku::setDakokuCloudSending({1, 2}));
    EXPECT_TRUE(DBDakoku::setDakokuCloudSending(QStringLiteral("3"), stamps().at(2).at(5).toInt(), QStringLiteral("1")));
    EXPECT_TRUE(DBDakoku::getDakokuUnsentCount(&count));
    EXPECT_EQ(count, 2u);
    EXPECT_TRUE(DBDakoku::resetDakokuCloudSendStatus());
    EXPECT_TRUE(DBDakoku::getDakokuUnsentCount(&count));
    EXPECT_EQ(count, 5u);

    EXPECT_TRUE(DBDakoku::setDakokuCloudSending({1, 2}));
    EXPECT_TRUE(DBDakoku::setDakokuCloudSendSuccess());
    const QString now = QString::number(clock.now().toSecsSinceEpoch());
    EXPECT_EQ(stamps().at(0).at(3), now);
    EXPECT_EQ(stamps().at(1).at(3), now);
    EXPECT_EQ(stamps().at(2).at(3), QStringLiteral("0"));

    QList<QStringList> page;
    EXPECT_TRUE(DBDakoku::getDakokuAll(&page, 2, 4));
    EXPECT_EQ(page.size(), 1);
    EXPECT_FALSE(DBDakoku::getDakokuAll(&page, 2, 5));
    // Paging that holds back the window: users 4 and 5 are not yet there.
    page.clear();
    EXPECT_TRUE(DBDakoku::getDakokuAll2(&page, 2, 2));
    ASSERT_EQ(page.size(), 1);
    EXPECT_EQ(page.at(0).at(0), QStringLiteral("3"));
    EXPECT_FALSE(DBDakoku::getDakokuAll2(&page, 2, 3));

    int total = -1;
    QDateTime oldest, newest;
    EXPECT_TRUE(DBDakoku::getDakokuCountMaxMin(&total, &oldest, &newest, QStringLiteral("WHERE send > 0")));
    EXPECT_EQ(total, 2);
    EXPECT_EQ(oldest.toSecsSinceEpoch(), qint64(midnightOf(QDate(2024, 1, 1))));
}

TEST_F(DakokuJst, CountOfAnEmptyTableAndAFailedCount)
{
    int total = -1;
    QDateTime oldest = local(2020, 1, 1, 0, 0, 0), newest;
    EXPECT_TRUE(DBDakoku::getDakokuCountMaxMin(&total, &oldest, &newest, QString()));
    EXPECT_EQ(total, 0);
    EXPECT_EQ(oldest.toSecsSinceEpoch(), 0);

    vnq::test::MessageCapture capture;
    total = 42;
    EXPECT_FALSE(DBDakoku::getDakokuCountMaxMin(&total, &oldest, &newest, QStringLiteral("WHERE nonsense > 0")));
    EXPECT_EQ(total, 42);
    EXPECT_EQ(capture.matching(QStringLiteral("打刻件数取得失敗：")).size(), 1);
}

TEST_F(DakokuJst, TrimmingKeepsTheNewestUnsentAndSameSecondRows)
{
    // 30001 stamps, one second apart, all sent.
    ASSERT_TRUE(raw(QStringLiteral("dakoku.db"),
                    {QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 30000) "
                                    "INSERT INTO dakoku SELECT 1, 1000000 + i, 0, 0, 1, ' ', 1700000000 FROM n")}));
    const QString count = QStringLiteral("SELECT COUNT(*) FROM dakoku");
    const QString oldest = QStringLiteral("UPDATE dakoku SET %1 WHERE rowid = 1");

    ASSERT_TRUE(raw(QStringLiteral("dakoku.db"), {oldest.arg(QStringLiteral("send = 0"))}));
    EXPECT_TRUE(DBDakoku::trimDakokuSent(30000));
    EXPECT_EQ(value(QStringLiteral("dakoku.db"), count), QStringLiteral("30001")) << "the oldest is unsent";

    ASSERT_TRUE(raw(QStringLiteral("dakoku.db"), {oldest.arg(QStringLiteral("send = 1700000000, insert_datetime = 1000001"))}));
    EXPECT_TRUE(DBDakoku::trimDakokuSent(30000));
    EXPECT_EQ(value(QStringLiteral("dakoku.db"), count), QStringLiteral("30001")) << "the oldest shares its second";

    ASSERT_TRUE(raw(QStringLiteral("dakoku.db"), {oldest.arg(QStringLiteral("insert_datetime = 1000000"))}));
    EXPECT_TRUE(DBDakoku::trimDakokuSent(30000));
    EXPECT_EQ(value(QStringLiteral("dakoku.db"), count), QStringLiteral("30000"));
    EXPECT_EQ(value(QStringLiteral("dakoku.db"), QStringLiteral("SELECT MIN(rowid) FROM dakoku")), QStringLiteral("2"));
}

TEST_P(DakokuTest, UploadTextCountsHoursFromTheWorkingDay)
{
    ZSystem::setMode(ZSystem::Basic);
    ASSERT_TRUE(raw(QStringLiteral("setting.db"),
                    {QStringLiteral("UPDATE setting SET value = 300 WHERE jname = '出勤日替時刻'")}));
    const QDateTime stamp = local(2024, 1, 2, 1, 30, 5);
    const uint day = DBDakoku::toDakokuDate(stamp, 1);
    EXPECT_EQ(day, midnightOf(QDate(2024, 1, 1)));
    EXPECT_EQ(DBDakoku::toDakokuSendStamptime(QString::number(day), QString::number(stamp.toSecsSinceEpoch())),
              QStringLiteral("20240101253005"));
    EXPECT_EQ(DBDakoku::toDakokuSendStamptime(QString::number(day), QString::number(day + 12)),
              QStringLiteral("20240101000012"));
}

INSTANTIATE_TEST_SUITE_P(Zones, DakokuTest, ::testing::ValuesIn(zones),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.index == 0 ? "UTC" : info.index == 1 ? "Tokyo" : "UtcMinus3");
                         });

}  // namespace
