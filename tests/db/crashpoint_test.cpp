// Every write, sync, truncate, rename and unlink of a store operation is a point where the
// process may die, or the power fail (then what was not synced is lost). Each test sweeps
// every point of one operation kind in a forked child and checks the files on reopen.
#include "crashdisk.h"
#include "dbdakoku.h"
#include "dbmaster.h"
#include "dbtestfixture.h"
#include "fakeclock.h"

#include <QFile>

#include <algorithm>

namespace vnq::test {
namespace {

using crashdisk::Mode;
using crashdisk::Outcome;

QString cardOf(int user)
{
    return QStringLiteral("0123%1").arg(user, 12, 16, QLatin1Char('0')).toUpper();
}

// Loader rows of the users first .. first+count-1; every third has no card.
QList<QStringList> users(int first, int count)
{
    QList<QStringList> rows;
    for (int u = first; u < first + count; ++u)
        rows << QStringList{QString::number(u), QStringLiteral("社員%1").arg(u), QString::number(u % 4),
                            u % 3 == 0 ? QStringLiteral("CLEAR") : cardOf(u), QStringLiteral("20240101090000")};
    return rows;
}

bool reload(QList<QList<QStringList>> batches)
{
    if (!DBMaster::makeMasterReloadCopy())
        return false;
    for (QList<QStringList>& batch : batches) {
        if (!DBMaster::setUser2(&batch) || !DBMaster::setCard2(&batch))
            return false;
    }
    return DBMaster::replaceMasterByReloadCopy();
}

// The tables of a master as sorted lines "u|id|name|group" and "c|card|id".
std::string masterText(QStringList lines)
{
    lines.sort();
    return lines.join(QLatin1Char('\n')).toStdString();
}

std::string expectedMaster(const QList<QList<QStringList>>& batches)
{
    QStringList lines;
    for (const QList<QStringList>& batch : batches) {
        for (const QStringList& r : batch)
            lines << QStringList{QStringLiteral("u"), r.at(0), r.at(1), r.at(2)}.join(QLatin1Char('|'))
                  << QStringList{QStringLiteral("c"), r.at(3), r.at(0)}.join(QLatin1Char('|'));
    }
    return masterText(lines);
}

class CrashPointTest : public DbTest, public ::testing::WithParamInterface<Mode> {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        crashdisk::install();
    }

    QString dbDir() const { return board.path(QStringLiteral("/VnQo/app/DB")); }

    QDateTime at(int seconds) const { return QDateTime(QDate(2024, 1, 1), QTime(8, 0)).addSecs(seconds); }

    int stampCount(int user, int seconds)
    {
        return value(QStringLiteral("dakoku.db"), QStringLiteral("SELECT count(*) FROM dakoku WHERE user_id = ? AND stamptime = ?"),
                     {user, at(seconds).toSecsSinceEpoch()})
            .toInt();
    }

    // Sweeps op over every point; check gets the outcome after the reopened files passed
    // the integrity check of file.
    void sweep(const QString& file, const std::function<bool()>& op, const std::function<void(Outcome)>& check)
    {
        crashdisk::Snapshot before(dbDir());
        crashdisk::sweep(dbDir(), GetParam(), [&] { before.restore(); }, op, [&](Outcome outcome, int point) {
            SCOPED_TRACE(::testing::Message() << "stopped at point " << point);
            ASSERT_TRUE(outcome == Outcome::Stopped || outcome == Outcome::Acknowledged);
            ASSERT_EQ(value(file, QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
            check(outcome);
        });
    }

    // The earlier stamps are each there once and a new stamp can be stored.
    void expectStampsIntact(const QList<std::pair<int, int>>& stamps)
    {
        for (const auto& [user, seconds] : stamps)
            EXPECT_EQ(stampCount(user, seconds), 1) << "user " << user;
        ASSERT_TRUE(DBDakoku::setDakoku(99, 1, at(5000)));
        EXPECT_EQ(stampCount(99, 5000), 1);
    }

    FakeClock clock{QDateTime(QDate(2024, 1, 1), QTime(9, 0))};
};

TEST_P(CrashPointTest, AnAcknowledgedStampIsStoredOnce)
{
    const QList<std::pair<int, int>> earlier{{1, 0}, {2, 10}, {3, 20}};
    for (const auto& [user, seconds] : earlier)
        ASSERT_TRUE(DBDakoku::setDakoku(user, 1, at(seconds)));

    sweep(QStringLiteral("dakoku.db"), [&] { return DBDakoku::setDakoku(7, 102, at(100)); }, [&](Outcome outcome) {
        const int stored = stampCount(7, 100);
        EXPECT_EQ(stored, outcome == Outcome::Acknowledged ? 1 : std::min(stored, 1));
        expectStampsIntact(earlier);
    });
}

TEST_P(CrashPointTest, ACancelWithItsInsertIsWhollyThereOrWhollyAbsent)
{
    ASSERT_TRUE(DBDakoku::setDakoku(5, 1, at(0)));
    ASSERT_TRUE(DBDakoku::setDakoku(6, 1, at(1)));
    clock.advanceMs(10000);  // the first stamps are inside the double-stamp window

    sweep(QStringLiteral("dakoku.db"), [&] { return DBDakoku::setDakokuWithCancel(5, {1}, at(10)); },
          [&](Outcome outcome) {
              const QString flag = value(QStringLiteral("dakoku.db"),
                                         QStringLiteral("SELECT flag FROM dakoku WHERE user_id = 5 AND stamptime = ?"),
                                         {at(0).toSecsSinceEpoch()});
              const int inserted = stampCount(5, 10);
              const bool applied = flag == QStringLiteral("D") && inserted == 1;
              const bool absent = flag == QStringLiteral(" ") && inserted == 0;
              EXPECT_TRUE(outcome == Outcome::Acknowledged ? applied : applied || absent)
                  << "flag '" << flag.toStdString() << "', new stamps " << inserted;
              expectStampsIntact({{5, 0}, {6, 1}});
          });
}

TEST_P(CrashPointTest, TheUploadMarkingMovesAllRowsTogether)
{
    for (int user = 1; user <= 3; ++user)
        ASSERT_TRUE(DBDakoku::setDakoku(user, 1, at(user)));
    const QList<int> rowids{1, 2, 3};
    const QString uploaded = QString::number(clock.now().toSecsSinceEpoch());

    sweep(QStringLiteral("dakoku.db"),
          [&] { return DBDakoku::setDakokuCloudSending(rowids) && DBDakoku::setDakokuCloudSendSuccess(); },
          [&](Outcome outcome) {
              QStringList states;
              for (const QStringList& row : rows(QStringLiteral("dakoku.db"), QStringLiteral("SELECT send FROM dakoku ORDER BY rowid")))
                  states << row.first();
              const QStringList all = [](const QString& s) { return QStringList{s, s, s}; }(states.value(0));
              EXPECT_EQ(states, all);
              if (outcome == Outcome::Acknowledged)
                  EXPECT_EQ(states.value(0), uploaded);
              else
                  EXPECT_TRUE(QStringList({QStringLiteral("0"), QStringLiteral("1"), uploaded}).contains(states.value(0)));
              expectStampsIntact({{1, 1}, {2, 2}, {3, 3}});
          });
}

TEST_P(CrashPointTest, AMasterReloadLeavesTheOldOrTheNewMaster)
{
    auto masterRows = [&] {
        QStringList lines;
        for (const QString& sql : {QStringLiteral("SELECT 'u', user_id, name, group_code FROM master"),
                                   QStringLiteral("SELECT 'c', card_id, user_id FROM card")}) {
            for (const QStringList& row : rows(QStringLiteral("master.db"), sql))
                lines << row.join(QLatin1Char('|'));
        }
        return masterText(lines);
    };
    const QList<QList<QStringList>> oldMaster{users(1, 3)};
    const QList<QList<QStringList>> newMaster{users(11, 3), users(14, 3)};
    const QList<QList<QStringList>> nextMaster{users(21, 2)};
    ASSERT_TRUE(reload(oldMaster));
    ASSERT_EQ(masterRows(), expectedMaster(oldMaster));

    // A card registration on the live master that died just before its commit removed the
    // journal: master.db holds the change and beside it a hot journal of the old pages.
    {
        const auto registerCard = [] { return DBMaster::setCard(cardOf(77), QStringLiteral("FeliCa"), 8, 1); };
        crashdisk::Snapshot clean(dbDir());
        int last = 1;
        while (crashdisk::runToCrashPoint(dbDir(), last + 1, Mode::Kill, registerCard) == Outcome::Stopped) {
            clean.restore();
            ++last;
        }
        clean.restore();
        ASSERT_EQ(crashdisk::runToCrashPoint(dbDir(), last, Mode::Kill, registerCard), Outcome::Stopped);
        ASSERT_TRUE(QFile::exists(dbFile(QStringLiteral("master.db-journal"))));
    }

    sweep(QStringLiteral("master.db"), [&] { return reload(newMaster); }, [&](Outcome outcome) {
        const std::string now = masterRows();
        if (outcome == Outcome::Acknowledged)
            EXPECT_EQ(now, expectedMaster(newMaster));
        else
            EXPECT_TRUE(now == expectedMaster(oldMaster) || now == expectedMaster(newMaster));
        // Whatever the interrupted reload left behind, the next one gives exactly its users.
        ASSERT_TRUE(reload(nextMaster));
        EXPECT_EQ(masterRows(), expectedMaster(nextMaster));
        EXPECT_EQ(value(QStringLiteral("master.db"), QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
    });
}

INSTANTIATE_TEST_SUITE_P(Crash, CrashPointTest, ::testing::Values(Mode::Kill, Mode::PowerLoss),
                         [](const ::testing::TestParamInfo<Mode>& info) {
                             return info.param == Mode::Kill ? std::string("Kill") : std::string("PowerLoss");
                         });

}  // namespace
}  // namespace vnq::test
