// What one card touch costs the database: the user look-up by card ID and the stamp insert
// with its double-stamp check (nothing to cancel, and one earlier stamp cancelled), each
// opening and closing its file under the one mutex; and
// that stamp beside the same statements run through SQLite's C interface on one open
// connection, to show what the store's way of working costs.
#include "dbdakoku.h"
#include "dbmaster.h"
#include "dbsetting.h"
#include "fakeclock.h"
#include "shippeddatabases.h"
#include "tempboardroot.h"

#include <benchmark/benchmark.h>

#include <QDateTime>
#include <QFile>

#include <sqlite3.h>

#include <chrono>
#include <string>

namespace {

QString cardIdOf(int user)
{
    return QStringLiteral("0123%1").arg(user, 12, 16, QLatin1Char('0')).toUpper();
}

void fillMaster(int users)
{
    for (int u = 1; u <= users; ++u) {
        DBMaster::setUser(u, QStringLiteral("社員%1").arg(u), 1);
        DBMaster::setCard(cardIdOf(u), QStringLiteral("FeliCa"), 8, u);
    }
}

void BM_LookUpUserByCard(benchmark::State& state)
{
    vnq::test::TempBoardRoot board;
    if (!vnq::test::installShippedDatabases(board)) {
        state.SkipWithError("shipped databases missing: build the db target first");
        return;
    }
    const int users = int(state.range(0));
    fillMaster(users);
    int user = 0;
    for (auto _ : state) {
        int userId = 0, auth = 0;
        QString name, password;
        benchmark::DoNotOptimize(
            DBMaster::getUserByCardID(cardIdOf(1 + (user++ % users)), &userId, &name, &auth, &password));
    }
}
BENCHMARK(BM_LookUpUserByCard)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

// A dakoku.db opened through SQLite's C interface at the given synchronous level: "EXTRA" as
// the store commits (the journal's removal synced too), or SQLite's default "FULL".
class BareDakoku {
public:
    explicit BareDakoku(const QString& file, const char* synchronous = "EXTRA")
    {
        m_ok = sqlite3_open(QFile::encodeName(file).constData(), &m_db) == SQLITE_OK
            && exec((std::string("PRAGMA synchronous=") + synchronous).c_str());
    }
    ~BareDakoku() { sqlite3_close(m_db); }
    bool ok() const { return m_ok; }

    bool exec(const char* sql) { return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }

    // The first column of the first row of a query as a number; -1 on failure.
    qint64 number(const char* sql)
    {
        sqlite3_stmt* statement = nullptr;
        qint64 value = -1;
        if (sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr) == SQLITE_OK && sqlite3_step(statement) == SQLITE_ROW)
            value = sqlite3_column_int64(statement, 0);
        sqlite3_finalize(statement);
        return value;
    }

    // rows stamps of 200 users, one second apart, in one transaction.
    bool fill(int rows, qint64 start)
    {
        bool ok = exec("BEGIN");
        for (int i = 0; ok && i < rows; ++i)
            ok = insert(1 + i % 200, start + i, 1);
        return exec("COMMIT") && ok;
    }

    // The store's stamp with its double-stamp cancel: the same UPDATE and INSERT in one
    // transaction.
    bool stampWithCancel(int user, qint64 now, qint64 window)
    {
        if (!exec("BEGIN"))
            return false;
        sqlite3_stmt* cancel = nullptr;
        bool ok = sqlite3_prepare_v2(m_db,
                                     "UPDATE dakoku SET flag = 'D', send = '0' WHERE user_id = ? AND flag = ' ' "
                                     "AND kubun != '821' AND (insert_datetime >= ? AND insert_datetime < ?)",
                                     -1, &cancel, nullptr)
            == SQLITE_OK;
        if (ok) {
            sqlite3_bind_int(cancel, 1, user);
            sqlite3_bind_int64(cancel, 2, now - window);
            sqlite3_bind_int64(cancel, 3, now);
            ok = sqlite3_step(cancel) == SQLITE_DONE;
        }
        sqlite3_finalize(cancel);
        ok = ok && insert(user, now, 1);
        return exec(ok ? "COMMIT" : "ROLLBACK") && ok;
    }

private:
    bool insert(int user, qint64 at, int kubun)
    {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(m_db, "INSERT INTO dakoku VALUES (?, ?, ?, ?, ?, ' ', 0)", -1, &statement, nullptr)
            != SQLITE_OK)
            return false;
        sqlite3_bind_int(statement, 1, user);
        sqlite3_bind_int64(statement, 2, at);
        sqlite3_bind_int64(statement, 3, at - at % 86400);
        sqlite3_bind_int64(statement, 4, at);
        sqlite3_bind_int(statement, 5, kubun);
        const bool ok = sqlite3_step(statement) == SQLITE_DONE;
        sqlite3_finalize(statement);
        return ok;
    }

    sqlite3* m_db = nullptr;
    bool m_ok = false;
};

// The double-stamp window of the shipped settings, in seconds.
int doubleStampWindow()
{
    int seconds = 0;
    DBSetting::getSetting(QStringLiteral("二重打刻の有効秒数"), &seconds);
    return seconds;
}

// The board of the stamp benchmarks: the shipped databases, a fake clock, and dakoku.db holding
// rows stamps of 200 users one second apart, filled in one transaction, the newest one second
// before the double-stamp window of the clock's "now" (so a stamp measured after it finds none
// of them to cancel).
class StampBoard {
public:
    explicit StampBoard(benchmark::State& state)
    {
        if (!vnq::test::installShippedDatabases(board)) {
            state.SkipWithError("shipped databases missing: build the db target first");
            return;
        }
        const int rows = int(state.range(0));
        const qint64 now = clock.now().toSecsSinceEpoch();
        BareDakoku filler(dakokuFile());
        if (!filler.ok() || !filler.fill(rows, now - doubleStampWindow() - rows)) {
            state.SkipWithError("cannot fill dakoku.db");
            return;
        }
        ok = true;
    }

    // Rows the stamps cancelled, per measured stamp.
    double cancelledPerStamp(const benchmark::State& state)
    {
        BareDakoku reader(dakokuFile());
        return double(reader.number("SELECT count(*) FROM dakoku WHERE flag = 'D'")) / double(state.iterations());
    }

    vnq::test::TempBoardRoot board;
    vnq::test::FakeClock clock;
    bool ok = false;

private:
    QString dakokuFile() const { return board.path(QStringLiteral("/VnQo/app/DB/dakoku.db")); }
};

// A stamp with its double-stamp check on a table of range(0) stamps: 200 users in turn, one
// second apart, so no earlier stamp of the user is inside the window and nothing is cancelled.
void BM_StampWithCancel(benchmark::State& state)
{
    StampBoard stamps(state);
    if (!stamps.ok)
        return;
    int user = 0;
    for (auto _ : state) {
        stamps.clock.advanceMs(1000);
        benchmark::DoNotOptimize(DBDakoku::setDakokuWithCancel(1 + (user++ % 200), {1}, stamps.clock.now()));
    }
    state.counters["cancelled_per_stamp"] = stamps.cancelledPerStamp(state);
}
BENCHMARK(BM_StampWithCancel)->Arg(1000)->Arg(30000)->Unit(benchmark::kMicrosecond);

// A stamp that cancels one: the same user stamps every second, so each stamp cancels the one
// before it, inside the double-stamp window, on a table of range(0) stamps.
void BM_StampCancellingTheOneBefore(benchmark::State& state)
{
    StampBoard stamps(state);
    if (!stamps.ok)
        return;
    DBDakoku::setDakokuWithCancel(1, {1}, stamps.clock.now());
    for (auto _ : state) {
        stamps.clock.advanceMs(1000);
        benchmark::DoNotOptimize(DBDakoku::setDakokuWithCancel(1, {1}, stamps.clock.now()));
    }
    state.counters["cancelled_per_stamp"] = stamps.cancelledPerStamp(state);
}
BENCHMARK(BM_StampCancellingTheOneBefore)->Arg(1000)->Arg(30000)->Unit(benchmark::kMicrosecond);

// One stamp through the store and one through each bare connection in every iteration, on
// copies of the same dakoku.db holding range(0) stamps. The counters: store_us beside
// sqlite_us, the bare transaction at the store's level EXTRA, with their ratio; sqlite_full_us
// at SQLite's default FULL, and durable_cost, what the durable commit costs the bare
// transaction (EXTRA over FULL).
void BM_StampStoreAgainstBareSqlite(benchmark::State& state)
{
    vnq::test::TempBoardRoot board;
    if (!vnq::test::installShippedDatabases(board)) {
        state.SkipWithError("shipped databases missing: build the db target first");
        return;
    }
    const QString storeFile = board.path(QStringLiteral("/VnQo/app/DB/dakoku.db"));
    const QString bareFile = board.path(QStringLiteral("/bare-dakoku.db"));
    const QDateTime start(QDate(2024, 1, 1), QTime(8, 0));
    {
        BareDakoku filler(storeFile);
        if (!filler.ok() || !filler.fill(int(state.range(0)), start.toSecsSinceEpoch())) {
            state.SkipWithError("cannot fill dakoku.db");
            return;
        }
    }
    const QString bareFullFile = board.path(QStringLiteral("/bare-full-dakoku.db"));
    if (!QFile::copy(storeFile, bareFile) || !QFile::copy(storeFile, bareFullFile)) {
        state.SkipWithError("cannot copy dakoku.db");
        return;
    }
    BareDakoku bare(bareFile);
    BareDakoku bareFull(bareFullFile, "FULL");

    using Clock = std::chrono::steady_clock;
    Clock::duration storeTime{}, bareTime{}, bareFullTime{};
    QDateTime stamp = start.addSecs(state.range(0));
    int user = 0;
    for (auto _ : state) {
        stamp = stamp.addSecs(1);
        const int who = 1 + (user++ % 200);
        const auto t0 = Clock::now();
        benchmark::DoNotOptimize(DBDakoku::setDakokuWithCancel(who, {1}, stamp));
        const auto t1 = Clock::now();
        benchmark::DoNotOptimize(bare.stampWithCancel(who, stamp.toSecsSinceEpoch(), 60));
        const auto t2 = Clock::now();
        benchmark::DoNotOptimize(bareFull.stampWithCancel(who, stamp.toSecsSinceEpoch(), 60));
        bareFullTime += Clock::now() - t2;
        bareTime += t2 - t1;
        storeTime += t1 - t0;
    }
    const double storeUs = std::chrono::duration<double, std::micro>(storeTime).count() / double(state.iterations());
    const double bareUs = std::chrono::duration<double, std::micro>(bareTime).count() / double(state.iterations());
    state.counters["store_us"] = storeUs;
    state.counters["sqlite_us"] = bareUs;
    const double bareFullUs =
        std::chrono::duration<double, std::micro>(bareFullTime).count() / double(state.iterations());
    state.counters["ratio"] = bareUs > 0 ? storeUs / bareUs : 0;
    state.counters["sqlite_full_us"] = bareFullUs;
    state.counters["durable_cost"] = bareFullUs > 0 ? bareUs / bareFullUs : 0;
}
BENCHMARK(BM_StampStoreAgainstBareSqlite)->Arg(1000)->Arg(30000)->Unit(benchmark::kMicrosecond);

}  // namespace
