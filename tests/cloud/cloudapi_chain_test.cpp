#include "cloudchain.h"

#include "dbsetting.h"

namespace vnq::test {
namespace {

class CloudApiChain : public CloudChainTest {
protected:
    // The stored update time of a data kind, or -1.
    static qint64 storedUpdateTime(int kind)
    {
        int count = 0;
        qint64 time = -1;
        DBSetting::getDataUpdate(kind, &count, &time);
        return time;
    }
};

TEST_F(CloudApiChain, EachModeRunsItsOperationsInOrderAndEndsWithItsSignal)
{
    const QStringList stamps201 = {QStringLiteral("PutStampRaw"), QStringLiteral("PutStampRaw")};
    const struct {
        int mode;
        int stamps;
        QStringList order;
        QString end;
    } cases[] = {
        {1, 0, {"GetVantroDataUpdateTime", "PutVantroInfo"}, "allUpdateFinish 1 success"},
        {1, 201, QStringList{"GetVantroDataUpdateTime"} + stamps201 + QStringList{"PutVantroInfo"}, "allUpdateFinish 1 success"},
        {3, 0, {"GetVantroDataUpdateTime", "PutVantroInfo"}, "allUpdateFinish 3 success"},
        {3, 200, {"PutStampRaw", "GetVantroDataUpdateTime", "PutVantroInfo"}, "allUpdateFinish 3 success"},
        {3, 201, stamps201 + QStringList{"GetVantroDataUpdateTime", "PutVantroInfo"}, "allUpdateFinish 3 success"},
        {4, 0, {"GetVantroDataUpdateTime", "PutVantroInfo"}, "finishedDakokuSending 0 0"},
        {4, 201, stamps201 + QStringList{"GetVantroDataUpdateTime", "PutVantroInfo"}, "finishedDakokuSending 0 201"},
        {5, 201, stamps201 + QStringList{"GetVantroDataUpdateTime", "PutVantroInfo"}, "finishedDakokuSending 0 201"},
    };
    int user = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode * 1000 + c.stamps);
        ASSERT_TRUE(DBDakoku::execQuery(QStringLiteral("DELETE FROM dakoku"), nullptr, nullptr, nullptr, nullptr));
        addStamps(c.stamps, user);
        user += c.stamps;
        const int before = cloud->service->calls().size();
        EXPECT_EQ(chain(c.mode), c.end);
        EXPECT_EQ(operationsSince(before), c.order);
        EXPECT_EQ(beingSent(), 0);
        EXPECT_EQ(sent(), c.mode == 5 ? 0 : c.stamps);
    }
    EXPECT_EQ(cloud->service->stamps().size(), 4 * 201 + 200);
}

TEST_F(CloudApiChain, UpdateTimesAreCommittedBeforeTheStampsInModeOneAndAfterThemOtherwise)
{
    cloud->service->setUpdateTimes({{2, QStringLiteral("2024-03-01 12:00:00"), 7},
                                    {12, QStringLiteral("2024-03-01 12:00:00"), 1},
                                    {3, QStringLiteral("2024-03-01 25:00"), 1}});
    const int received = int(QDateTime(QDate(2024, 3, 1), QTime(12, 0, 0)).toSecsSinceEpoch());
    for (const int mode : {1, 3}) {
        SCOPED_TRACE(mode);
        ASSERT_TRUE(DBSetting::setDataUpdate(2, 0, 0));
        addStamps(1, mode * 100);
        int atUpload = -2;
        const auto watch = QObject::connect(cloud->server.get(), &MockHttpServer::requestReceived,
                                            [&](const MockRequest& r) {
                                                if (r.header("SOAPAction").contains("PutStampRaw"))
                                                    atUpload = storedUpdateTime(2);
                                            });
        EXPECT_EQ(chain(mode), QStringLiteral("allUpdateFinish %1 success").arg(mode));
        QObject::disconnect(watch);
        EXPECT_EQ(atUpload, mode == 1 ? received : 0);
        EXPECT_EQ(storedUpdateTime(2), received);
        int count = 0;
        qint64 time = 0;
        ASSERT_TRUE(DBSetting::getDataUpdate(2, &count, &time));
        EXPECT_EQ(count, 7);
        // A malformed time is not recorded.
        EXPECT_NE(storedUpdateTime(3), received);
    }
}

TEST_F(CloudApiChain, ARequestWhileAChainRunsIsRefusedAtOnce)
{
    addStamps(5);
    cloud->service->scriptFault(QStringLiteral("PutStampRaw"), MockFault::delay(300), 1);
    ASSERT_TRUE(worker().startDataRequest(3));
    EXPECT_TRUE(worker().busy());
    EXPECT_FALSE(worker().startDataRequest(4));
    EXPECT_FALSE(worker().startDataRequest(1));
    EXPECT_FALSE(worker().startDataRequest(2));
    EXPECT_EQ(ends, (QStringList{QStringLiteral("finishedDakokuSending -9999 0"), QStringLiteral("allUpdateFinish 1 failed"),
                                 QStringLiteral("allUpdateFinish 2 failed")}));
    ASSERT_TRUE(waitUntil([&] { return ends.size() == 4; }, 120000));
    EXPECT_EQ(ends.last(), QStringLiteral("allUpdateFinish 3 success"));
    EXPECT_EQ(sent(), 5);
}

TEST_F(CloudApiChain, UploadsGoInBatchesOfTwoHundredAndModeFivePagesWithoutMarking)
{
    addStamps(450);
    EXPECT_EQ(chain(5), QStringLiteral("finishedDakokuSending 0 450"));
    EXPECT_EQ(operations().count(QStringLiteral("PutStampRaw")), 3);
    EXPECT_EQ(unsent(), 450);
    EXPECT_EQ(cloud->service->stamps().size(), 450);

    EXPECT_EQ(chain(3), QStringLiteral("allUpdateFinish 3 success"));
    EXPECT_EQ(operations().count(QStringLiteral("PutStampRaw")), 6);
    EXPECT_EQ(sent(), 450);
    EXPECT_EQ(cloud->service->stamps().size(), 450);
}

// One way a stamp batch can go unconfirmed.
struct UnconfirmedBatch {
    const char* name;
    QString result;  // scripted PutStampRaw result, or
    MockFault fault;  // an HTTP-level fault
    bool faulty;
};

class CloudApiUnconfirmed : public CloudApiChain, public ::testing::WithParamInterface<UnconfirmedBatch> {};

TEST_P(CloudApiUnconfirmed, OnlyConfirmedBatchesAreMarkedSent)
{
    const UnconfirmedBatch& k = GetParam();
    addStamps(450);
    for (int batch = 1; batch <= 3; ++batch) {
        SCOPED_TRACE(batch);
        cloud->service->clearScripts();
        const int n = cloud->service->callCount(QStringLiteral("PutStampRaw")) + batch;
        if (k.faulty) {
            // Also a repeat of the request by the network layer misbehaves.
            cloud->service->scriptFault(QStringLiteral("PutStampRaw"), k.fault, n);
            cloud->service->scriptFault(QStringLiteral("PutStampRaw"), k.fault, n + 1);
        } else {
            cloud->service->scriptResult(QStringLiteral("PutStampRaw"), k.result, n);
        }
        ASSERT_TRUE(DBDakoku::execQuery(QStringLiteral("UPDATE dakoku SET send = '0'"), nullptr, nullptr, nullptr,
                                        nullptr));
        std::function<bool()> stalled;
        if (k.faulty && k.fault.kind == MockFault::Stall)
            stalled = [&] { return cloud->service->callCount(QStringLiteral("PutStampRaw")) >= n; };
        EXPECT_EQ(chain(3, stalled), QStringLiteral("allUpdateFinish 3 failed"));
        EXPECT_EQ(beingSent(), 0);
        const QSet<QString> marked = sentUsers();
        EXPECT_TRUE(storedUsers().contains(marked));
        EXPECT_EQ(marked.size(), (batch - 1) * 200);
    }
    cloud->service->clearScripts();
    ASSERT_TRUE(DBDakoku::execQuery(QStringLiteral("UPDATE dakoku SET send = '0'"), nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(chain(3), QStringLiteral("allUpdateFinish 3 success"));
    EXPECT_EQ(sent(), 450);
    EXPECT_EQ(cloud->service->stamps().size(), 450);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, CloudApiUnconfirmed,
    ::testing::Values(UnconfirmedBatch{"ResultMinusOne", QStringLiteral("-1"), {}, false},
                      UnconfirmedBatch{"NoResult", {}, MockFault::answer(200, "<a/>"), true},
                      UnconfirmedBatch{"XmlError", {}, MockFault::answer(200, "<a><result>0</result>"), true},
                      UnconfirmedBatch{"Stall", {}, MockFault::stall(), true},
                      UnconfirmedBatch{"Close", {}, MockFault::close(), true},
                      UnconfirmedBatch{"Http500", {}, MockFault::answer(500, "<a><result>0</result></a>"), true}),
    [](const ::testing::TestParamInfo<UnconfirmedBatch>& info) { return std::string(info.param.name); });

TEST_F(CloudApiChain, RowsLeftBeingSentAreUploadedAndMarkedOnlyAfterConfirmation)
{
    addStamps(3);
    ASSERT_TRUE(DBDakoku::execQuery(QStringLiteral("UPDATE dakoku SET send = '1'"), nullptr, nullptr, nullptr, nullptr));
    cloud->service->scriptResult(QStringLiteral("PutStampRaw"), QStringLiteral("-1"), 1);
    EXPECT_EQ(chain(3), QStringLiteral("allUpdateFinish 3 failed"));
    EXPECT_EQ(unsent(), 3);
    EXPECT_EQ(chain(3), QStringLiteral("allUpdateFinish 3 success"));
    EXPECT_EQ(sent(), 3);
    EXPECT_EQ(cloud->service->stamps().size(), 3);
}

TEST_F(CloudApiChain, TheStatusReportCarriesSettingsAndStampStatistics)
{
    const auto status = [&] {
        QHash<QString, QString> values;
        for (const auto& pair : cloud->service->lastStatus(QString::fromLatin1(clientKey)))
            values.insert(pair.first, pair.second);
        return values;
    };
    EXPECT_EQ(chain(1), QStringLiteral("allUpdateFinish 1 success"));
    QHash<QString, QString> empty = status();
    EXPECT_EQ(empty.value(QStringLiteral("stamp_count")), QStringLiteral("0"));
    EXPECT_EQ(empty.value(QStringLiteral("unsent_stamp_count")), QStringLiteral("0"));
    EXPECT_EQ(empty.value(QStringLiteral("sent_stamp_count")), QStringLiteral("0"));
    EXPECT_FALSE(empty.contains(QStringLiteral("oldest_stamp_date")));
    EXPECT_TRUE(empty.contains(QStringLiteral("admin_password")));
    EXPECT_EQ(cloud->service->lastVersion(QString::fromLatin1(clientKey)), ZSystem::applicationVersion());

    // A row left "being sent" by an interrupted run is unsent again once the next chain
    // starts; mode 5 marks nothing.
    addStamps(2);
    ASSERT_TRUE(DBDakoku::execQuery(QStringLiteral("UPDATE dakoku SET send = '1' WHERE user_id = '1'"), nullptr, nullptr,
                                    nullptr, nullptr));
    EXPECT_EQ(chain(5), QStringLiteral("finishedDakokuSending 0 2"));
    const QHash<QString, QString> some = status();
    EXPECT_EQ(some.value(QStringLiteral("stamp_count")), QStringLiteral("2"));
    EXPECT_EQ(some.value(QStringLiteral("unsent_stamp_count")), QStringLiteral("2"));
    EXPECT_EQ(some.value(QStringLiteral("sent_stamp_count")), QStringLiteral("0"));
    EXPECT_EQ(some.value(QStringLiteral("oldest_stamp_date")), QStringLiteral("20240101"));
    EXPECT_EQ(some.value(QStringLiteral("unsent_newest_stamp_date")), QStringLiteral("20240101"));
    EXPECT_FALSE(some.contains(QStringLiteral("sent_oldest_stamp_date")));
}

TEST_F(CloudApiChain, NoSecretReachesTheLog)
{
    ASSERT_TRUE(DBSetting::setSetting(QStringLiteral("管理者パスワード"), 918273));
    addStamps(3);
    EXPECT_EQ(chain(1), QStringLiteral("allUpdateFinish 1 success"));
    addStamps(2, 10);
    EXPECT_EQ(chain(4), QStringLiteral("finishedDakokuSending 0 2"));
    const QString all = log.messages().join(QLatin1Char('\n'));
    EXPECT_FALSE(all.contains(QString::fromLatin1(CloudAPI::defaultCloudKey)));
    EXPECT_FALSE(all.contains(QStringLiteral("918273")));
    ASSERT_FALSE(cloud->service->acceptedTokens().isEmpty());
    for (const QString& token : cloud->service->acceptedTokens())
        EXPECT_FALSE(all.contains(token)) << token.toStdString();
    for (const QString& seed : cloud->service->issuedSeeds())
        EXPECT_FALSE(all.contains(seed)) << seed.toStdString();
    EXPECT_TRUE(log.matching(QStringLiteral("thread")).isEmpty());
    // Every operation had its own seed.
    const QStringList& tokens = cloud->service->acceptedTokens();
    EXPECT_EQ(QSet<QString>(tokens.begin(), tokens.end()).size(), tokens.size());
}

}  // namespace
}  // namespace vnq::test
