// What one card touch costs the database: the user look-up by card ID and the stamp insert
// with its double-stamp cancel, each opening and closing its file under the one mutex.
#include "dbdakoku.h"
#include "dbmaster.h"
#include "shippeddatabases.h"
#include "tempboardroot.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDateTime>

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

void BM_StampWithCancel(benchmark::State& state)
{
    vnq::test::TempBoardRoot board;
    if (!vnq::test::installShippedDatabases(board)) {
        state.SkipWithError("shipped databases missing: build the db target first");
        return;
    }
    QDateTime stamp(QDate(2024, 1, 1), QTime(8, 0));
    for (int i = 0; i < state.range(0); ++i)
        DBDakoku::setDakoku(1 + i % 200, 1, stamp.addSecs(i));
    int user = 0;
    for (auto _ : state) {
        stamp = stamp.addSecs(1);
        benchmark::DoNotOptimize(DBDakoku::setDakokuWithCancel(1 + (user++ % 200), {1}, stamp));
    }
}
BENCHMARK(BM_StampWithCancel)->Arg(1000)->Arg(30000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("VNQ_BUILD_DIR"))
        qputenv("VNQ_BUILD_DIR", VNQ_BUILD_DIR_DEFAULT);
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
