#include "meridchain.h"

#include "dbsetting.h"

namespace vnq::test {
namespace {

const QString tokenPath = QStringLiteral("/api/communication/getToken");
QString opPath(const char* operation)
{
    return QStringLiteral("/api/communication//") + QLatin1String(operation);
}

class MeridApiChain : public MeridChainTest {
protected:
    static qint64 storedUpdateTime(int kind)
    {
        int count = 0;
        qint64 time = -1;
        DBSetting::getDataUpdate(kind, &count, &time);
        return time;
    }
    static int storedCount(int kind)
    {
        int count = -1;
        qint64 time = 0;
        DBSetting::getDataUpdate(kind, &count, &time);
        return count;
    }
};

TEST_F(MeridApiChain, EachModeRunsItsRequestsInOrderAndReleasesItsToken)
{
    const QString times = opPath("getVantroDataUpdateTime"), stamp = opPath("putStamp"),
                  info = opPath("putVantroInfo"), release = opPath("releaseToken");
    const struct {
        int mode;
        int stamps;
        QStringList paths;
        QString end;
    } cases[] = {
        {1, 0, {tokenPath, times, info, release}, "allUpdateFinish 1"},
        {1, 3, {tokenPath, times, stamp, info, release}, "allUpdateFinish 1"},
        {2, 0, {tokenPath, release}, "allUpdateFinish 2"},
        {2, 3, {tokenPath, stamp, release}, "allUpdateFinish 2"},
        {3, 3, {tokenPath, times, info, release}, "allUpdateFinish 3 success"},
        {4, 0, {tokenPath, times, info, release}, "finishedDakokuSending 0 0"},
        {4, 3, {tokenPath, stamp, times, info, release}, "finishedDakokuSending 0 3"},
        {5, 3, {tokenPath, stamp, times, info, release}, "finishedDakokuSending 0 3"},
    };
    // The mock sees the release on this thread before it answers: the client must still be busy.
    int busyAtRelease = 0, idleAtRelease = 0;
    QObject::connect(cloud->server.get(), &MockHttpServer::requestReceived, [&](const MockRequest& request) {
        if (request.path.endsWith("/releaseToken"))
            ++(worker().busy() ? busyAtRelease : idleAtRelease);
    });
    int user = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode * 1000 + c.stamps);
        ASSERT_TRUE(DBDakoku::execQuery(QStringLiteral("DELETE FROM dakoku"), nullptr, nullptr, nullptr, nullptr));
        addStamps(c.stamps, user);
        user += c.stamps;
        const int before = cloud->server->requests().size();
        idleAtEnd = 0;
        busyAtRelease = idleAtRelease = 0;
        EXPECT_EQ(chain(c.mode), c.end);
        EXPECT_EQ(pathsSince(before), c.paths);
        EXPECT_EQ(sent(), c.mode == 5 || c.mode == 3 ? 0 : c.stamps);
        EXPECT_EQ(idleAtEnd.load(), 0) << "busy as the end signal is emitted";
        EXPECT_EQ(busyAtRelease, 1) << "busy while the release is unanswered";
        EXPECT_EQ(idleAtRelease, 0);
        EXPECT_EQ(service().openTokens(), 0);
    }
}

TEST_F(MeridApiChain, AnExchangeErrorInAnyStepEndsTheChainOnce)
{
    const struct {
        int mode;
        const char* failing;  // operation whose first request is closed unanswered
        QString end;
        bool released;
    } cases[] = {
        {1, "getToken", "allUpdateFinish 1", false},
        {1, "getVantroDataUpdateTime", "allUpdateFinish 1", true},
        {1, "putStamp", "allUpdateFinish 1", true},
        {1, "putVantroInfo", "allUpdateFinish 1", true},
        {2, "getToken", "allUpdateFinish 2", false},
        {2, "putStamp", "allUpdateFinish 2", true},
        {3, "getVantroDataUpdateTime", "allUpdateFinish 3", true},
        {3, "putVantroInfo", "allUpdateFinish 3", true},
        {4, "putStamp", "finishedDakokuSending -9999 0", true},
        {5, "getVantroDataUpdateTime", "finishedDakokuSending -9999 2", true},
    };
    int user = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 %2").arg(c.mode).arg(QLatin1String(c.failing)).toStdString());
        ASSERT_TRUE(DBDakoku::execQuery(QStringLiteral("DELETE FROM dakoku"), nullptr, nullptr, nullptr, nullptr));
        addStamps(2, user);
        user += 2;
        cloud = std::make_unique<MockCloud>(board);
        cloud->json->addClient(QString::fromLatin1(clientKey));
        cloud->json->setNow([this] { return clock.now().toSecsSinceEpoch(); });
        cloud->server->addFault(MockJsonService::pathOf(QString::fromLatin1(c.failing)), MockFault::answer(500, "no"));
        warker.reset();
        EXPECT_EQ(chain(c.mode), c.end);
        EXPECT_EQ(service().callCount(QStringLiteral("releaseToken")), c.released ? 1 : 0);
        if (c.released) {
            EXPECT_EQ(service().openTokens(), 0);
        }
    }
}

TEST_F(MeridApiChain, StampsGoInBatchesBehindTheDoubleStampWindow)
{
    addStamps(450);
    addStamps(5, 1000, false);  // inside the window: they wait
    EXPECT_EQ(chain(2), QStringLiteral("allUpdateFinish 2"));
    EXPECT_EQ(batchesSince(0), (QList<int>{200, 200, 50}));
    EXPECT_EQ(sent(), 450);
    EXPECT_EQ(unsent(), 5);
    EXPECT_EQ(service().stamps().size(), 450);
    EXPECT_EQ(runner.count(QStringLiteral("sync")), 1);

    // Mode 5 pages through every stored stamp and marks nothing.
    clock.advanceMs(3600 * 1000);
    const int before = cloud->server->requests().size();
    EXPECT_EQ(chain(5), QStringLiteral("finishedDakokuSending 0 455"));
    EXPECT_EQ(batchesSince(before), (QList<int>{200, 200, 55}));
    EXPECT_EQ(unsent(), 5);
    EXPECT_EQ(service().stamps().size(), 455);
}

TEST_F(MeridApiChain, AnExpiredTokenIsRenewedAndTheBatchSentAgain)
{
    addStamps(450);
    service().scriptResult(QStringLiteral("putStamp"), -1101, 2);
    EXPECT_EQ(chain(4), QStringLiteral("finishedDakokuSending 0 450"));
    EXPECT_EQ(batchesSince(0), (QList<int>{200, 200, 200, 50}));
    EXPECT_EQ(service().callCount(QStringLiteral("getToken")), 2);
    EXPECT_TRUE(infos.contains(QStringLiteral("打刻データ 送信中 200件")));
    EXPECT_FALSE(log.matching(QStringLiteral("打刻データ 送信再開")).isEmpty());
    EXPECT_EQ(sent(), 450);
    EXPECT_EQ(service().stamps().size(), 450);
}

TEST_F(MeridApiChain, TokenRenewalsStopAfterThreeInARow)
{
    addStamps(10);
    service().scriptResult(QStringLiteral("putStamp"), -1101);
    EXPECT_EQ(chain(4), QStringLiteral("finishedDakokuSending 0 0"));
    EXPECT_EQ(service().callCount(QStringLiteral("getToken")), 1 + MeridAPI::MaxTokenRenewals);
    EXPECT_EQ(service().callCount(QStringLiteral("putStamp")), 1 + MeridAPI::MaxTokenRenewals);
    EXPECT_EQ(service().callCount(QStringLiteral("putVantroInfo")), 1) << "the chain goes on after the failed batch";
    EXPECT_EQ(unsent(), 10);

    // Mode 2 renews as well and ends.
    const int tokens = service().callCount(QStringLiteral("getToken"));
    EXPECT_EQ(chain(2), QStringLiteral("allUpdateFinish 2"));
    EXPECT_EQ(service().callCount(QStringLiteral("getToken")) - tokens, 1 + MeridAPI::MaxTokenRenewals)
        << service().operations().join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(service().callCount(QStringLiteral("releaseToken")), 2);
}

TEST_F(MeridApiChain, AnUntrustedAnswerLeavesTheBatchUnsent)
{
    const struct {
        const char* name;
        MockFault fault;
    } cases[] = {
        {"empty object", MockFault::answer(200, "{}")},
        {"text result", MockFault::answer(200, "{\"result\":\"abc\"}")},
        {"array", MockFault::answer(200, "[]")},
        {"string", MockFault::answer(200, "\"0\"")},
        {"cut", MockFault::answer(200, "{\"result\":0")},
        {"HTTP 500", MockFault::answer(500, "{\"result\":0}")},
        {"stall", MockFault::stall()},
    };
    addStamps(3);
    const QByteArray stampPath = MockJsonService::pathOf(QStringLiteral("putStamp"));
    const auto stampRequests = [&] {
        int n = 0;
        for (const MockRequest& request : cloud->server->requests())
            n += request.path == stampPath;
        return n;
    };
    int nth = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        cloud->server->addFault(stampPath, c.fault, nth++);
        const int seen = stampRequests();
        std::function<bool()> stalled;
        if (c.fault.kind == MockFault::Stall)
            stalled = [&] { return stampRequests() > seen; };
        EXPECT_EQ(chain(2, stalled), QStringLiteral("allUpdateFinish 2"));
        EXPECT_EQ(unsent(), 3);
        EXPECT_EQ(sent(), 0);
    }
    EXPECT_EQ(chain(2), QStringLiteral("allUpdateFinish 2"));
    EXPECT_EQ(sent(), 3);
    EXPECT_EQ(service().stamps().size(), 3) << "every stamp stored once";
}

TEST_F(MeridApiChain, NewerUpdateTimesAreListedAndRecordedAfterTheWalk)
{
    const int stored = int(QDateTime(QDate(2024, 3, 1), QTime(12, 0, 0)).toSecsSinceEpoch());
    ASSERT_TRUE(DBSetting::setDataUpdate(2, 7, 0));
    ASSERT_TRUE(DBSetting::setDataUpdate(3, 4, stored));
    ASSERT_TRUE(DBSetting::setDataUpdate(4, 5, 0));
    service().setUpdateTimes({{2, QStringLiteral("20240301120000")},
                              {3, QStringLiteral("20240301120000")},
                              {4, QStringLiteral("2024030112")},
                              {999, QStringLiteral("20240301120000")}});
    EXPECT_EQ(chain(3), QStringLiteral("allUpdateFinish 3 success"));
    EXPECT_TRUE(infos.contains(QStringLiteral("データ更新日時 受信成功")));
    EXPECT_EQ(storedUpdateTime(2), stored) << "newer, without a download: recorded";
    EXPECT_EQ(storedCount(2), 7) << "the stored count stays";
    EXPECT_EQ(storedUpdateTime(3), stored);
    EXPECT_EQ(storedUpdateTime(4), 0) << "a malformed time is skipped";

    // A negative result lists nothing; the chain goes on to the status.
    ASSERT_TRUE(DBSetting::setDataUpdate(2, 7, 0));
    service().scriptResult(QStringLiteral("getVantroDataUpdateTime"), -5);
    const int before = service().operations().size();
    log.clear();
    EXPECT_EQ(chain(3), QStringLiteral("allUpdateFinish 3 success"));
    EXPECT_EQ(storedUpdateTime(2), 0);
    EXPECT_FALSE(log.matching(QStringLiteral("データ更新日時 受信失敗")).filter(QStringLiteral("recieveCB")).isEmpty())
        << "the step after a negative result\n" << log.messages().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(operationsSince(before),
              (QStringList{QStringLiteral("getToken"), QStringLiteral("getVantroDataUpdateTime"),
                           QStringLiteral("putVantroInfo"), QStringLiteral("releaseToken")}));
}

TEST_F(MeridApiChain, StatusStartsWithTheVersionThenTheSettings)
{
    ASSERT_TRUE(board.writeFile(QStringLiteral("/VnQo/app/App/VantroQo"), "program"));
    const QDateTime programTime(QDate(2024, 2, 3), QTime(4, 5, 6));
    QFile program(board.path(QStringLiteral("/VnQo/app/App/VantroQo")));
    ASSERT_TRUE(program.open(QIODevice::ReadWrite));
    ASSERT_TRUE(program.setFileTime(programTime, QFileDevice::FileModificationTime));
    program.close();
    EXPECT_EQ(chain(3), QStringLiteral("allUpdateFinish 3 success"));

    const QList<MockJsonService::Info> status = service().lastStatus(QString::fromLatin1(clientKey));
    ASSERT_FALSE(status.isEmpty());
    EXPECT_EQ(status[0].key, QStringLiteral("version"));
    EXPECT_EQ(status[0].value, ZSystem::applicationVersion());
    EXPECT_EQ(status[0].updateTime, QStringLiteral("20240203040506"));
    QString items[DBSetting::ParamListCapacity];
    int values[DBSetting::ParamListCapacity] = {};
    qint64 times[DBSetting::ParamListCapacity] = {};
    ASSERT_EQ(DBSetting::getParamAllForMerid(items, values, times), 0);
    int n = 0;
    while (n < DBSetting::ParamListCapacity && !items[n].isEmpty())
        ++n;
    ASSERT_EQ(status.size(), 1 + n);
    EXPECT_EQ(status[1].key, items[0]);
    EXPECT_EQ(status[1].value, QString::number(values[0]));

    // The exact text of the first infos object.
    QByteArray body;
    for (const MockRequest& r : cloud->server->requests()) {
        if (r.path.endsWith("/putVantroInfo"))
            body = r.body;
    }
    EXPECT_TRUE(body.contains(QStringLiteral("\"infos\":[{\"key\":\"version\",\"value\":\"%1\",\"update_time\":\"20240203040506\" },")
                                  .arg(ZSystem::applicationVersion())
                                  .toUtf8()))
        << body.left(300).constData();
}

TEST_F(MeridApiChain, NoTokenAndNoAdminPasswordReachTheLog)
{
    addStamps(3);
    EXPECT_EQ(chain(1), QStringLiteral("allUpdateFinish 1"));
    addStamps(3, 100);
    EXPECT_EQ(chain(4), QStringLiteral("finishedDakokuSending 0 3"));
    const QStringList lines = log.messages();
    ASSERT_GE(service().issuedTokens().size(), 2);
    for (const QString& token : service().issuedTokens())
        EXPECT_TRUE(log.matching(token).isEmpty()) << token.toStdString();
    QString items[DBSetting::ParamListCapacity];
    int values[DBSetting::ParamListCapacity] = {};
    qint64 times[DBSetting::ParamListCapacity] = {};
    DBSetting::getParamAllForMerid(items, values, times);
    for (const QString& line : lines) {
        EXPECT_FALSE(line.contains(QStringLiteral("QObject:"))) << line.toStdString();
        EXPECT_FALSE(line.contains(QStringLiteral("Cannot create children"))) << line.toStdString();
        if (line.contains(QStringLiteral("admin_password"))) {
            EXPECT_FALSE(line.contains(QStringLiteral("\"admin_password\",\"value\":\""))) << line.toStdString();
        }
    }
}

}  // namespace
}  // namespace vnq::test
