#include "cloudchain.h"

#include "recordingrunner.h"
#include "soapenvelope.h"

#include <QCryptographicHash>

namespace vnq::test {
namespace {

TEST(CloudApiKey, SerialNumbersGiveTheirKeys)
{
    const struct {
        const char* serial;
        const char* key;
    } cases[] = {
        {"12345678", "QOC0125678"},
        {"00130005", "QOC0110005"},
        {"SIM0000001", "QOC0100000"},
        {"未設定", "QA9VKSAMP3"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CloudAPI::deriveClientKey(QString::fromUtf8(c.serial)), QString::fromLatin1(c.key)) << c.serial;
}

TEST(CloudApiConfig, CloudParamLinesOrTheirDefaults)
{
    TempBoardRoot board;
    RecordingRunner runner;
    runner.script(QStringLiteral("cat "), 0, "00130005\n");
    const QString url = QStringLiteral("https://127.0.0.1:9/vqcloud/WebService");
    const struct {
        const char* name;
        QByteArray file;  // empty: no file
        QString url, key;
    } cases[] = {
        {"full", (url + "\nKEY1\nCLOUDKEY\n").toUtf8(), url, QStringLiteral("KEY1")},
        {"short", (url + "\n").toUtf8(), url, QStringLiteral("QOC0110005")},
        {"missing", QByteArray(), QString::fromLatin1(CloudAPI::defaultServiceUrl), QStringLiteral("QOC0110005")},
        {"empty lines", "\n\n\n", QString::fromLatin1(CloudAPI::defaultServiceUrl), QStringLiteral("QOC0110005")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(board.path(QStringLiteral("/VnQo/var/cloud.param")));
        if (!c.file.isEmpty()) {
            ASSERT_TRUE(board.writeFile(QStringLiteral("/VnQo/var/cloud.param"), c.file));
        }
        MessageCapture log;
        CloudAPI api;
        EXPECT_EQ(api.serviceUrl(), c.url);
        EXPECT_EQ(api.clientUniqueKey(), c.key);
        EXPECT_TRUE(log.matching(QStringLiteral("CLOUDKEY")).isEmpty());
        EXPECT_TRUE(log.matching(QString::fromLatin1(CloudAPI::defaultCloudKey)).isEmpty());
    }
}

TEST(SoapEnvelope, ValuesAreEscapedAndOrdinaryOnesUnchanged)
{
    EXPECT_EQ(soap::element(QStringLiteral("name"), QStringLiteral("山田 1001")), QStringLiteral("<name>山田 1001</name>"));
    EXPECT_EQ(soap::element(QStringLiteral("name"), QStringLiteral("<&\"'>")),
              QStringLiteral("<name>&lt;&amp;&quot;&apos;&gt;</name>"));
    EXPECT_TRUE(soap::envelope(QStringLiteral("https://h/a&b"), QStringLiteral("Op"), QString())
                    .contains(QStringLiteral("<Op xmlns=\"https://h/a&amp;b\"></Op>")));
}

class CloudApiExchange : public CloudChainTest {};

TEST_F(CloudApiExchange, TokenAndStampRequestsAreExactlyTheServiceFormat)
{
    ASSERT_TRUE(DBDakoku::setDakoku(1001, 4, QDateTime(QDate(2024, 1, 1), QTime(9, 0, 0))));
    ASSERT_TRUE(DBDakoku::setDakoku(1002, 1, QDateTime(QDate(2024, 1, 1), QTime(10, 30, 5))));
    ASSERT_TRUE(DBDakoku::execQuery(QStringLiteral("UPDATE dakoku SET flag = 'D' WHERE user_id = '1001'"), nullptr,
                                    nullptr, nullptr, nullptr));
    // A working day that began the day before: the hours run past 24.
    ASSERT_TRUE(DBDakoku::execQuery(QStringLiteral("UPDATE dakoku SET date = date - 86400 WHERE user_id = '1002'"),
                                    nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(chain(3), QStringLiteral("allUpdateFinish 3 success"));

    const auto& requests = cloud->server->requests();
    ASSERT_GE(requests.size(), 2);
    const QString url = cloud->service->serviceUrl();
    const QString head = QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?><soap:Envelope "
                                        "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
                                        "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" "
                                        "xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\">"
                                        "<soap:Header></soap:Header><soap:Body>");
    const QString tail = QStringLiteral("</soap:Body></soap:Envelope>");
    EXPECT_EQ(requests[0].header("Content-Type"), "text/xml; charset=utf-8");
    EXPECT_EQ(QString::fromUtf8(requests[0].header("SOAPAction")), QStringLiteral("\"%1/GetTokenSeed\"").arg(url));
    EXPECT_EQ(QString::fromUtf8(requests[0].body),
              head + QStringLiteral("<GetTokenSeed xmlns=\"%1\"><client_unique_key>QOC0125678</client_unique_key>"
                                    "</GetTokenSeed>").arg(url) + tail);

    const QString seed = cloud->service->issuedSeeds().value(0);
    const QString token = QString::fromLatin1(
        QCryptographicHash::hash((QStringLiteral("pzorbitHx4n7dRw") + seed).toUtf8(), QCryptographicHash::Md5).toHex());
    EXPECT_EQ(QString::fromUtf8(requests[1].header("SOAPAction")), QStringLiteral("\"%1/PutStampRaw\"").arg(url));
    EXPECT_EQ(QString::fromUtf8(requests[1].body),
              head + QStringLiteral("<PutStampRaw xmlns=\"%1\"><token>%2</token>"
                                    "<client_unique_key>QOC0125678</client_unique_key><stamps>"
                                    "<StampRaw><id_code>1001</id_code><kubun>004</kubun>"
                                    "<stamptime>20240101090000</stamptime><flag>3</flag></StampRaw>"
                                    "<StampRaw><id_code>1002</id_code><kubun>001</kubun>"
                                    "<stamptime>20231231343005</stamptime><flag>0</flag></StampRaw>"
                                    "</stamps></PutStampRaw>").arg(url, token) + tail);
    EXPECT_EQ(cloud->service->stamps().size(), 2);
}

TEST_F(CloudApiExchange, EveryTokenFailureEndsWithANonZeroCode)
{
    enum Client { Known, Unknown, Disabled };
    const struct {
        const char* name;
        QString result;  // scripted GetTokenSeed result, empty: none
        QByteArray raw;  // or a raw answer
        Client client;
        bool transport;
        QString code;
    } cases[] = {
        {"0 without seed", QStringLiteral("0"), {}, Known, false, QStringLiteral("-9999")},
        {"unknown key", {}, {}, Unknown, false, QStringLiteral("-10")},
        {"disabled", {}, {}, Disabled, false, QStringLiteral("-11")},
        {"-20", QStringLiteral("-20"), {}, Known, false, QStringLiteral("-20")},
        {"no result", {}, "<a><seed>1234</seed></a>", Known, false, QStringLiteral("-9999")},
        {"garbage", {}, "<a><result>0</result><seed>12", Known, false, QStringLiteral("-9999")},
        {"not a number", QStringLiteral("ok"), {}, Known, false, QStringLiteral("-9999")},
        // Last: every later token request is closed (the network layer tries a closed one again).
        {"transport", {}, {}, Known, true, QString::number(QNetworkReply::RemoteHostClosedError)},
    };
    addStamps(3);
    const QString key = QString::fromLatin1(clientKey);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const int n = cloud->service->callCount(QStringLiteral("GetTokenSeed")) + 1;
        if (!c.result.isEmpty())
            cloud->service->scriptResult(QStringLiteral("GetTokenSeed"), c.result, n);
        if (!c.raw.isEmpty())
            cloud->service->scriptFault(QStringLiteral("GetTokenSeed"), MockFault::answer(200, c.raw), n);
        if (c.transport) {
            cloud->service->scriptFault(QStringLiteral("GetTokenSeed"), MockFault::close(), 0);
        }
        if (c.client == Unknown)
            cloud->service->removeClient(key);
        cloud->service->setClientEnabled(key, c.client != Disabled);
        EXPECT_EQ(chain(4), QStringLiteral("finishedDakokuSending %1 -1").arg(c.code));
        cloud->service->addClient(key);
        EXPECT_EQ(unsent(), 3);
        EXPECT_EQ(beingSent(), 0);
    }
    EXPECT_TRUE(cloud->service->stamps().isEmpty());
    EXPECT_TRUE(operations().isEmpty());
}

}  // namespace
}  // namespace vnq::test
