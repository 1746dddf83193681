#include "db.h"
#include "dbtestfixture.h"
#include "heartbeat.h"
#include "messagecapture.h"
#include "recordingrunner.h"

#include <QFileInfo>

#include <atomic>
#include <thread>

namespace {

using vnq::test::DbTest;

class DbCore : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        ASSERT_TRUE(board.writeFile(QStringLiteral("/VnQo/app/DB/core.db"), {}));
        ASSERT_TRUE(raw(QStringLiteral("core.db"),
                        {QStringLiteral("CREATE TABLE t (id INTEGER, name TEXT, v INTEGER)"),
                         QStringLiteral("INSERT INTO t VALUES (1, 'one', 10), (2, 'two', 20)")}));
    }
    DB* db() { return DB::getInstance(); }
    const QString core = QStringLiteral("../DB/core.db");
};

struct FailureCase {
    const char* name;
    const char* path;
    const char* sql;
};

void PrintTo(const FailureCase& c, std::ostream* os)
{
    *os << c.name;
}

class DbCoreFailures : public DbCore, public ::testing::WithParamInterface<FailureCase> {};

// Every operation reports the failure as false and leaves what the caller holds as it was.
TEST_P(DbCoreFailures, ReturnFalseAndLeaveTheCallersValues)
{
    const FailureCase& c = GetParam();
    const QString path = QString::fromUtf8(c.path);
    const QString sql = QString::fromUtf8(c.sql);

    QVariantList row{QStringLiteral("keep")};
    EXPECT_FALSE(db()->execQueryBase(path, sql, &row));
    EXPECT_EQ(row, QVariantList{QStringLiteral("keep")});

    int a = 7, b = 8, c3 = 9;
    EXPECT_FALSE(db()->execQuery(path, sql, &a, &b, &c3));
    EXPECT_EQ(a, 7);
    EXPECT_EQ(b, 8);
    EXPECT_EQ(c3, 9);

    QString t1 = QStringLiteral("k1"), t2 = QStringLiteral("k2"), t3, t4 = QStringLiteral("k4");
    EXPECT_FALSE(db()->execQuery(path, sql, &t1, &t2, &t3, &t4));
    EXPECT_EQ(t1, QStringLiteral("k1"));
    EXPECT_EQ(t4, QStringLiteral("k4"));

    QList<QStringList> rows{{QStringLiteral("old")}};
    EXPECT_FALSE(db()->selectQueryBase(path, sql, &rows));
    EXPECT_EQ(rows, (QList<QStringList>{{QStringLiteral("old")}}));

    EXPECT_FALSE(selfcheckpass.load());
    EXPECT_FALSE(QFileInfo::exists(board.path(QStringLiteral("/VnQo/app/DB/missing.db"))));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DbCoreFailures,
    ::testing::Values(FailureCase{"MissingFile", "../DB/missing.db", "SELECT 1"},
                      FailureCase{"BadStatement", "../DB/core.db", "SELEC id FROM t"},
                      FailureCase{"UnknownTable", "../DB/core.db", "SELECT id FROM nowhere"},
                      FailureCase{"SelectWithNoRow", "../DB/core.db", "SELECT id, name FROM t WHERE id = 99"}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

TEST_F(DbCore, FailedStatementsAndOpensAreLogged)
{
    vnq::test::MessageCapture capture;
    EXPECT_FALSE(db()->execQueryBase(core, QStringLiteral("SELEC 1"), nullptr));
    ASSERT_EQ(capture.matching(QStringLiteral("<DBG>")).size(), 2);
    EXPECT_TRUE(capture.messages().at(1).contains(QStringLiteral("\"SELEC 1\"")));

    capture.clear();
    QList<QStringList> rows;
    EXPECT_FALSE(db()->selectQueryBase(QStringLiteral("../DB/missing.db"), QStringLiteral("SELECT 1"), &rows));
    EXPECT_EQ(capture.matching(QStringLiteral("DB: open NG")).size(), 1);

    capture.clear();
    EXPECT_FALSE(db()->selectQueryBase(core, QStringLiteral("UPDATE t SET v = 11 WHERE id = 1"), &rows));
    EXPECT_EQ(capture.matching(QStringLiteral("DB: not select")).size(), 1);
    EXPECT_EQ(value(QStringLiteral("core.db"), QStringLiteral("SELECT v FROM t WHERE id = 1")), QStringLiteral("11"))
        << "the statement still ran";
}

TEST_F(DbCore, ResultsFollowTheRowRules)
{
    // Several rows: the single-row forms hand out the last one.
    QString name;
    int id = 0, v = 0, untouched = 5;
    EXPECT_TRUE(db()->execQuery(core, QStringLiteral("SELECT name FROM t ORDER BY id"), &name, nullptr, nullptr, nullptr));
    EXPECT_EQ(name, QStringLiteral("two"));
    EXPECT_TRUE(db()->execQuery(core, QStringLiteral("SELECT id, v FROM t ORDER BY id"), &id, &v, &untouched));
    EXPECT_EQ(id, 2);
    EXPECT_EQ(v, 20);
    EXPECT_EQ(untouched, 5) << "no third column";

    // Aggregates always give a row; MIN of nothing is NULL and reads as 0.
    int count = -1, min = -1;
    EXPECT_TRUE(db()->execQuery(core, QStringLiteral("SELECT COUNT(*), MIN(v) FROM t WHERE id > 5"), &count, &min, nullptr));
    EXPECT_EQ(count, 0);
    EXPECT_EQ(min, 0);

    // An UPDATE succeeds whether or not it matched a row.
    EXPECT_TRUE(db()->execQuery(core, QStringLiteral("UPDATE t SET v = 1 WHERE id = 99"), &count, nullptr, nullptr));

    // The all-rows form appends behind what the caller holds.
    QList<QStringList> rows{{QStringLiteral("old")}};
    EXPECT_TRUE(db()->selectQueryBase(core, QStringLiteral("SELECT id, name FROM t ORDER BY id"), &rows));
    EXPECT_EQ(rows, (QList<QStringList>{{QStringLiteral("old")},
                                        {QStringLiteral("1"), QStringLiteral("one")},
                                        {QStringLiteral("2"), QStringLiteral("two")}}));
}

TEST_F(DbCore, BoundValuesNeverChangeTheStatement)
{
    const QString tricky = QStringLiteral("O'Brien %1 %2'); DROP TABLE t; --");
    EXPECT_TRUE(db()->execQuery(core, QStringLiteral("INSERT INTO t VALUES (?, ?, 0)"), static_cast<int*>(nullptr),
                                nullptr, nullptr, {3, tricky}));
    QString stored;
    EXPECT_TRUE(db()->execQuery(core, QStringLiteral("SELECT name FROM t WHERE id = ?"), &stored, nullptr, nullptr,
                                nullptr, {3}));
    EXPECT_EQ(stored, tricky);
    EXPECT_EQ(value(QStringLiteral("core.db"), QStringLiteral("SELECT COUNT(*) FROM t")), QStringLiteral("3"));
}

TEST_F(DbCore, TransactionIsAllOrNothing)
{
    const QList<DB::Statement> failing{
        {QStringLiteral("UPDATE t SET v = 0"), {}},
        {QStringLiteral("INSERT INTO nowhere VALUES (1)"), {}},
    };
    EXPECT_FALSE(db()->execTransaction(core, failing));
    EXPECT_EQ(value(QStringLiteral("core.db"), QStringLiteral("SELECT SUM(v) FROM t")), QStringLiteral("30"));

    EXPECT_TRUE(db()->execTransaction(core, {{QStringLiteral("UPDATE t SET v = ?"), {1}},
                                             {QStringLiteral("INSERT INTO t VALUES (3, 'three', ?)"), {1}}}));
    EXPECT_EQ(value(QStringLiteral("core.db"), QStringLiteral("SELECT SUM(v) FROM t")), QStringLiteral("3"));
    EXPECT_FALSE(db()->execTransaction(QStringLiteral("../DB/missing.db"), {}));
}

// Each thread has its own connection on the same file; the one mutex serialises them.
TEST_F(DbCore, TwoThreadsRun500StatementsEachWithoutAnError)
{
    std::atomic<int> failures{0};
    auto work = [&](int id) {
        for (int i = 0; i < 500; ++i) {
            bool ok;
            if (i % 10 == 0) {
                int* none = nullptr;
                ok = db()->execQuery(core, QStringLiteral("UPDATE t SET v = v + 1 WHERE id = ?"), none, none, none, {id});
            } else {
                int v = 0;
                ok = db()->execQuery(core, QStringLiteral("SELECT v FROM t WHERE id = ?"), &v, nullptr, nullptr, {id});
            }
            if (!ok)
                ++failures;
        }
    };
    std::thread first(work, 1);
    std::thread second(work, 2);
    first.join();
    second.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(value(QStringLiteral("core.db"), QStringLiteral("SELECT v FROM t WHERE id = 1")), QStringLiteral("60"));
    EXPECT_EQ(value(QStringLiteral("core.db"), QStringLiteral("SELECT v FROM t WHERE id = 2")), QStringLiteral("70"));
}

TEST_F(DbCore, RelativePathsResolveFromTheApplicationDirectory)
{
    EXPECT_EQ(DB::filePath(QStringLiteral("../DB/setting.db")), board.path(QStringLiteral("/VnQo/app/DB/setting.db")));
    qunsetenv("VNQ_ROOT");
    EXPECT_EQ(DB::filePath(QStringLiteral("../DB/setting.db")), QStringLiteral("/VnQo/app/DB/setting.db"));
}

TEST(DbSync, RunsSyncThroughTheCommandRunner)
{
    vnq::test::RecordingRunner runner;
    DB::sync();
    EXPECT_EQ(runner.commands(), QStringList{QStringLiteral("sync")});
}

// Long work holds a pause around statements that each hold their own: the flag stays set
// until the outermost guard ends, also when the statements run on another thread.
TEST_F(DbCore, WatchdogPausesNestAroundStatements)
{
    int value = 0;
    {
        vnq::WatchdogPause outer;
        EXPECT_TRUE(db()->execQuery(core, QStringLiteral("SELECT v FROM t WHERE id = 1"), &value, nullptr, nullptr));
        EXPECT_TRUE(selfcheckpass.load());
        {
            vnq::WatchdogPause inner;
            std::thread worker([&] {
                int other = 0;
                db()->execQuery(core, QStringLiteral("SELECT v FROM t WHERE id = 2"), &other, nullptr, nullptr);
            });
            worker.join();
            EXPECT_TRUE(selfcheckpass.load());
        }
        EXPECT_TRUE(db()->execQuery(core, QStringLiteral("SELECT v FROM t WHERE id = 2"), &value, nullptr, nullptr));
        EXPECT_TRUE(selfcheckpass.load());
        EXPECT_EQ(vnq::WatchdogPause::depth(), 1);
    }
    EXPECT_FALSE(selfcheckpass.load());
    EXPECT_EQ(value, 20);
}

}  // namespace
