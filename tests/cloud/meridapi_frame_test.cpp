#include "meridchain.h"

#include "meridbody.h"

namespace vnq::test {
namespace {

TEST(MeridApiKey, SerialNumbersGiveTheirKeys)
{
    const struct {
        const char* serial;
        const char* key;
    } cases[] = {
        {"12345678", "QOM1025678"},
        {"00130005", "QOM1010005"},
        {"SIM0000001", "QOM1000000"},
        {"未設定", "QA9VKSAMP3"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MeridAPI::deriveClientKey(QString::fromUtf8(c.serial)), QString::fromLatin1(c.key)) << c.serial;
}

TEST(MeridApiConfig, MeridParamLinesOrTheirDefaults)
{
    TempBoardRoot board;
    ASSERT_TRUE(board.writeFile(QStringLiteral("/mnt/spi_user/termid"), "00130005\n"));
    const QString url = QStringLiteral("https://127.0.0.1:9/api/communication/");
    const QString fallback = QString::fromLatin1(MeridAPI::defaultServiceUrl);
    const struct {
        const char* name;
        QByteArray file;  // empty: no file
        QString url, key;
    } cases[] = {
        {"full", (url + "\nKEY1\n").toUtf8(), url, QStringLiteral("KEY1")},
        {"short", (url + "\n").toUtf8(), url, QStringLiteral("QOM1010005")},
        {"missing", QByteArray(), fallback, QStringLiteral("QOM1010005")},
        {"empty lines", "\n\n", fallback, QStringLiteral("QOM1010005")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(board.path(QStringLiteral("/VnQo/var/merid.param")));
        if (!c.file.isEmpty()) {
            ASSERT_TRUE(board.writeFile(QStringLiteral("/VnQo/var/merid.param"), c.file));
        }
        MeridAPI api;
        EXPECT_EQ(api.baseUrl(), c.url);
        EXPECT_EQ(api.clientKey(), c.key);
    }
    EXPECT_EQ(fallback, QStringLiteral("https://merid.vantroqo.invalid/api/communication/"));
}

TEST(MeridBody, MembersInCallOrderWithoutWhiteSpaceAndEscaped)
{
    EXPECT_EQ(MeridBody().member(QStringLiteral("client_key"), QStringLiteral("K\"1\\")).member(QStringLiteral("n"), 5).text(),
              QStringLiteral("{\"client_key\":\"K\\\"1\\\\\",\"n\":5}"));
    EXPECT_EQ(MeridBody().raw(QStringLiteral("a"), QStringLiteral("[]")).text(), QStringLiteral("{\"a\":[]}"));
}

TEST(MeridApiAnswer, OnlyAnObjectWithAnIntegerResultCounts)
{
    const struct {
        QByteArray answer;
        bool usable;
        int result;
    } cases[] = {
        {"{\"result\":0}", true, 0},
        {"{\"result\":-1101,\"x\":1}", true, -1101},
        {"{\"result\":\"-1002\"}", true, -1002},
        {"{}", false, 0},
        {"{\"result\":\"abc\"}", false, 0},
        {"{\"result\":1.5}", false, 0},
        {"{\"result\":null}", false, 0},
        {"{\"result\":99999999999}", false, 0},
        {"[]", false, 0},
        {"\"0\"", false, 0},
        {"{\"result\":0", false, 0},
        {"", false, 0},
    };
    for (const auto& c : cases) {
        int result = 12345;
        EXPECT_EQ(MeridAPI::answerResult(c.answer, &result), c.usable) << c.answer.constData();
        if (c.usable) {
            EXPECT_EQ(result, c.result) << c.answer.constData();
        }
    }
}

class MeridApiExchange : public MeridChainTest {};

TEST_F(MeridApiExchange, TokenAndStampRequestsAreExactlyTheServiceFormat)
{
    ASSERT_TRUE(DBDakoku::setDakoku(1001, 4, QDateTime(QDate(2024, 1, 1), QTime(9, 5, 7))));
    ASSERT_TRUE(DBDakoku::setDakoku(1002, 1, QDateTime(QDate(2024, 1, 1), QTime(10, 30, 5))));
    ASSERT_TRUE(DBDakoku::execQuery(QStringLiteral("UPDATE dakoku SET flag = 'D' WHERE user_id = '1001'"), nullptr,
                                    nullptr, nullptr, nullptr));
    clock.advanceMs(3600 * 1000);
    EXPECT_EQ(chain(2), QStringLiteral("allUpdateFinish 2"));

    const auto& requests = cloud->server->requests();
    ASSERT_GE(requests.size(), 3) << requests.value(0).body.constData() << " -> " << requests.value(0).answer.constData();
    EXPECT_EQ(requests[0].path, "/api/communication/getToken");
    EXPECT_EQ(requests[0].header("Content-Type"), "application/json; charset=utf-8");
    EXPECT_EQ(requests[0].body, "{\"client_key\":\"QOM1025678\"}");
    const QString token = service().issuedTokens().value(0);
    EXPECT_EQ(requests[1].path, "/api/communication//putStamp");
    EXPECT_EQ(QString::fromUtf8(requests[1].body),
              QStringLiteral("{\"client_key\":\"QOM1025678\",\"token\":\"%1\",\"stamps\":["
                             "{\"ymd\":20240101,\"hms\":90507,\"id_code\":1001,\"kubun\":4,\"flag\":3},"
                             "{\"ymd\":20240101,\"hms\":103005,\"id_code\":1002,\"kubun\":1,\"flag\":0}]}")
                  .arg(token));
    EXPECT_EQ(service().stamps().size(), 2);
    EXPECT_EQ(pathsSince(2).last(), QStringLiteral("/api/communication//releaseToken"));
    EXPECT_EQ(service().openTokens(), 0);
    EXPECT_EQ(idleAtEnd.load(), 0);
    // The upload ended with nothing left: the trim, then the page cache dropped on the board.
    EXPECT_EQ(runner.commands().mid(runner.commands().size() - 2),
              (QStringList{QStringLiteral("sync"), QStringLiteral("echo 3 > ") + vnq::shellWord(board.path(
                                                       QStringLiteral("/proc/sys/vm/drop_caches")))}));
}

TEST_F(MeridApiExchange, AClientKeyWithAQuoteIsEscapedInEveryBody)
{
    cloud = std::make_unique<MockCloud>(board, QStringLiteral("K\"Q"));
    cloud->json->addClient(QStringLiteral("K\"Q"));
    cloud->json->setNow([this] { return clock.now().toSecsSinceEpoch(); });
    EXPECT_EQ(chain(2), QStringLiteral("allUpdateFinish 2"));
    EXPECT_EQ(cloud->server->requests().value(0).body, "{\"client_key\":\"K\\\"Q\"}");
    EXPECT_EQ(service().callCount(QStringLiteral("releaseToken")), 1) << "the token was accepted for that key";
}

TEST_F(MeridApiExchange, BusyRefusesOtherModesOnceAndIgnoresTheRunningOne)
{
    // The first token answer is held, so the chain of mode 3 stays running.
    cloud->server->addFault(MockJsonService::pathOf(QStringLiteral("getToken")), MockFault::delay(1500), 1);
    MeridWarker& w = worker();
    QSignalSpy updates(&w, &CloudLink::allUpdateFinish);
    QSignalSpy stamps(&w, qOverload<int, int>(&CloudLink::finishedDakokuSending));
    QSignalSpy idm(&w, qOverload<int>(&CloudLink::finishedPutUserIDm));
    QSignalSpy service(&w, qOverload<int>(&CloudLink::finishedGetServiceName));
    QSignalSpy version(&w, qOverload<int, QString, int, QString>(&CloudLink::finishedFirmwareVersion));
    QSignalSpy firmware(&w, qOverload<int>(&CloudLink::finishedGetFirmware));
    EXPECT_TRUE(w.startDataRequest(3));
    EXPECT_TRUE(w.busy());

    const struct {
        int mode;
        QSignalSpy* spy;
        QVariantList args;  // empty: no signal at all
    } cases[] = {
        {1, &updates, {1, QStringLiteral("failed")}},
        {2, &updates, {2, QStringLiteral("failed")}},
        {3, &updates, {}},
        {4, &stamps, {-9999, 0}},
        {5, &stamps, {-9999, 0}},
        {6, &idm, {-9999}},
        {7, &service, {-8888}},
        {8, &version, {-9999, QString(), -1, QString()}},
        {9, &firmware, {-9999}},
    };
    QList<QSignalSpy*> spies = {&updates, &stamps, &idm, &service, &version, &firmware};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        for (QSignalSpy* spy : spies)
            spy->clear();
        if (c.mode == 6)
            w.putUserIDm(7, QStringLiteral("0123"), QStringLiteral("20240101090000"));
        else if (c.mode == 7)
            w.getServiceName();
        else if (c.mode == 8)
            w.getFirmwareVersion();
        else if (c.mode == 9)
            w.getFirmwareFile();
        else
            w.startDataRequest(c.mode);
        int total = 0;
        for (QSignalSpy* spy : spies)
            total += spy->count();
        // Refusals come at once, on the caller's thread.
        ASSERT_EQ(total, c.args.isEmpty() ? 0 : 1);
        if (!c.args.isEmpty()) {
            EXPECT_EQ(c.spy->at(0), c.args);
        }
    }
    for (QSignalSpy* spy : spies)
        spy->clear();
    ASSERT_TRUE(waitUntil([&] { return updates.count() == 1 && !w.busy(); }, 20000));
    EXPECT_EQ(updates.at(0), (QVariantList{3, QStringLiteral("success")}));
    EXPECT_EQ(idleAtEnd.load(), 0);
}

TEST_F(MeridApiExchange, UnknownModesEndAtOnceAndLeaveTheClientIdle)
{
    MeridWarker& w = worker();
    QSignalSpy updates(&w, &CloudLink::allUpdateFinish);
    for (int mode : {0, 10, 12}) {
        SCOPED_TRACE(mode);
        updates.clear();
        EXPECT_FALSE(w.startDataRequest(mode));
        ASSERT_EQ(updates.count(), 1);
        EXPECT_EQ(updates.at(0), (QVariantList{mode, QStringLiteral("failed")}));
        EXPECT_FALSE(w.busy());
    }
    EXPECT_TRUE(cloud->server->requests().isEmpty());
}

}  // namespace
}  // namespace vnq::test
