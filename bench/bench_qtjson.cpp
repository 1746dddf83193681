// Reading and writing the JSON service's answers: QtJson against Qt's own JSON classes and
// nlohmann::json on the same documents, built here deterministically. The counter
// "vs_qt" is QtJson's time divided by Qt's (fromJson plus toVariant for reading,
// toJson(Compact) for writing), measured in the same run.
#include "qtjson.h"

#include <benchmark/benchmark.h>

#include <QDateTime>
#include <QJsonDocument>
#include <QStringList>

#include <chrono>
#include <functional>

#ifdef VNQ_HAVE_NLOHMANN_JSON
#include <nlohmann/json.hpp>
#endif

namespace {

enum class Doc { Users, UpdateTimes, Status };

QString timeText(int seconds)
{
    return QDateTime(QDate(2024, 1, 5), QTime(8, 0)).addSecs(seconds).toString("yyyyMMddhhmmss");
}

// The user master answer: 10,000 users with Japanese names, written as a pretty-printing
// service sends it (about 1.5 MB).
QByteArray usersAnswer()
{
    const QStringList family{"山田", "佐藤", "鈴木", "髙橋", "田中", "渡邊", "伊藤", "中村", "小林", "長谷川"};
    const QStringList given{"太郎", "花子", "一郎", "美咲", "健太", "さくら", "翔太", "陽菜", "大輔", "結衣", "𠮷男"};
    QString text = "{\n  \"result\": 0,\n  \"users\": [\n";
    for (int i = 0; i < 10000; ++i) {
        const bool hasCard = i % 7 != 0;
        text += QString("    {\n      \"id_code\": %1,\n      \"name\": \"%2 %3\",\n      \"group_no\": %4,\n"
                        "      \"idm_no\": \"%5\",\n      \"idm_update_time\": \"%6\"\n    }%7\n")
                    .arg(100000 + i)
                    .arg(family.at(i % family.size()), given.at((i / 3) % given.size()))
                    .arg(i % 25)
                    .arg(hasCard ? QString("012E%1").arg(quint64(i) * 2654435761u % 0xffffffffffffULL, 12, 16, QChar('0')).toUpper()
                                 : QString("0"))
                    .arg(hasCard ? timeText(i * 37) : QString())
                    .arg(i + 1 < 10000 ? "," : "");
    }
    return (text + "  ]\n}\n").toUtf8();
}

QByteArray updateTimesAnswer()
{
    QStringList entries;
    for (int i = 0; i < 14; ++i)
        entries << QString(R"({"data_kind":%1,"update_time":"%2"})").arg(30 + i).arg(timeText(i * 86400));
    return QString(R"({"result":0,"update_times":[%1]})").arg(entries.join(',')).toUtf8();
}

// The status body the terminal posts: the version and forty settings.
QByteArray statusBody()
{
    QStringList infos{QString(R"({"key":"version","value":"Qo02-6Z10","update_time":"%1" })").arg(timeText(0))};
    for (int i = 0; i < 40; ++i)
        infos << QString(R"({"key":"setting_item_%1","value":"%2","update_time":"%3" })").arg(i).arg(i * 3).arg(timeText(i));
    return QString(R"({"client_key":"a1b2c3d4e5f60718","token":"9f86d081884c7d659a2feaa0c55ad015","infos":[%1]})")
        .arg(infos.join(','))
        .toUtf8();
}

const QByteArray& document(Doc doc)
{
    static const QByteArray users = usersAnswer(), updateTimes = updateTimesAnswer(), status = statusBody();
    switch (doc) {
    case Doc::Users: return users;
    case Doc::UpdateTimes: return updateTimes;
    default: return status;
    }
}

// Mean seconds per call over enough calls to fill about 0.2 s.
double secondsPerCall(const std::function<void()>& call)
{
    using Clock = std::chrono::steady_clock;
    int calls = 0;
    const auto start = Clock::now();
    std::chrono::duration<double> elapsed{};
    do {
        call();
        ++calls;
        elapsed = Clock::now() - start;
    } while (elapsed.count() < 0.2);
    return elapsed.count() / calls;
}

void parseWithQt(const QByteArray& bytes)
{
    benchmark::DoNotOptimize(QJsonDocument::fromJson(bytes).toVariant());
}

// The answer arrives as bytes, so QtJson's figure includes turning them into a QString.
void BM_ParseQtJson(benchmark::State& state, Doc doc)
{
    const QByteArray& bytes = document(doc);
    const auto parse = [&] { benchmark::DoNotOptimize(QtJson::parse(QString::fromUtf8(bytes))); };
    for (auto _ : state)
        parse();
    state.SetBytesProcessed(state.iterations() * bytes.size());
    state.counters["vs_qt"] = secondsPerCall(parse) / secondsPerCall([&] { parseWithQt(bytes); });
}

void BM_ParseQJsonDocument(benchmark::State& state, Doc doc)
{
    const QByteArray& bytes = document(doc);
    for (auto _ : state)
        benchmark::DoNotOptimize(QJsonDocument::fromJson(bytes));
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void BM_ParseQJsonDocumentToVariant(benchmark::State& state, Doc doc)
{
    const QByteArray& bytes = document(doc);
    for (auto _ : state)
        parseWithQt(bytes);
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void BM_ParseNlohmann(benchmark::State& state, Doc doc)
{
#ifdef VNQ_HAVE_NLOHMANN_JSON
    const QByteArray& bytes = document(doc);
    for (auto _ : state)
        benchmark::DoNotOptimize(nlohmann::json::parse(bytes.constBegin(), bytes.constEnd()));
    state.SetBytesProcessed(state.iterations() * bytes.size());
#else
    (void)doc;
    state.SkipWithError("nlohmann-json not installed");
#endif
}

void BM_SerializeQtJson(benchmark::State& state, Doc doc)
{
    const QVariant value = QtJson::parse(QString::fromUtf8(document(doc)));
    const QJsonDocument qtDocument = QJsonDocument::fromVariant(value);
    qint64 bytes = 0;
    const auto write = [&] { bytes = QtJson::serialize(value).size(); };
    for (auto _ : state)
        write();
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["vs_qt"] =
        secondsPerCall(write) / secondsPerCall([&] { benchmark::DoNotOptimize(qtDocument.toJson(QJsonDocument::Compact)); });
}

void BM_SerializeQJsonDocument(benchmark::State& state, Doc doc)
{
    const QJsonDocument qtDocument = QJsonDocument::fromVariant(QtJson::parse(QString::fromUtf8(document(doc))));
    qint64 bytes = 0;
    for (auto _ : state)
        bytes = qtDocument.toJson(QJsonDocument::Compact).size();
    state.SetBytesProcessed(state.iterations() * bytes);
}

#define VNQ_JSON_BENCH(function)                                                             \
    BENCHMARK_CAPTURE(function, users, Doc::Users)->Unit(benchmark::kMillisecond);         \
    BENCHMARK_CAPTURE(function, update_times, Doc::UpdateTimes)->Unit(benchmark::kMicrosecond); \
    BENCHMARK_CAPTURE(function, status, Doc::Status)->Unit(benchmark::kMicrosecond)

VNQ_JSON_BENCH(BM_ParseQtJson);
VNQ_JSON_BENCH(BM_ParseQJsonDocument);
VNQ_JSON_BENCH(BM_ParseQJsonDocumentToVariant);
VNQ_JSON_BENCH(BM_ParseNlohmann);
VNQ_JSON_BENCH(BM_SerializeQtJson);
VNQ_JSON_BENCH(BM_SerializeQJsonDocument);

}  // namespace

BENCHMARK_MAIN();
