#include "cloudchain.h"

#include <QCryptographicHash>
#include <QRegularExpression>

namespace vnq::test {
namespace {

// The card, service and firmware operations outside the chains.
class CloudApiSingle : public CloudChainTest {
protected:
    void SetUp() override
    {
        CloudChainTest::SetUp();
        CloudWarker& w = worker();
        QObject::connect(&w, qOverload<QString>(&CloudLink::finishedPutUserIDm),
                         [this](const QString& code) { ends << QStringLiteral("PutUserIDm ") + code; });
        QObject::connect(&w, qOverload<QString>(&CloudLink::finishedGetServiceName),
                         [this](const QString& code) { ends << QStringLiteral("GetServiceName ") + code; });
        QObject::connect(&w, qOverload<QString, QString, int, QString>(&CloudLink::finishedFirmwareVersion),
                         [this](const QString& code, const QString& version, int size, const QString& hash) {
                             ends << QStringLiteral("FirmwareVersion %1 %2 %3 %4").arg(code, version).arg(size).arg(hash);
                         });
        QObject::connect(&w, qOverload<QString>(&CloudLink::finishedGetFirmware),
                         [this](const QString& code) { ends << QStringLiteral("GetFirmware ") + code; });
        QObject::connect(&w, &CloudLink::downProgress, [this](int received, int) { downloaded = received; });
    }

    // Runs one single operation to its finished signal. An operation with an answer stalled on
    // purpose ends by the idle time-out once stalled() holds.
    QString single(const std::function<bool(CloudWarker&)>& start, const std::function<bool()>& stalled = {})
    {
        const int before = ends.size();
        start(*warker);
        if (!waitForEnd(before, stalled))
            return QString();
        waitUntil([&] { return !warker->busy(); }, 10000);
        return ends.last();
    }

    static QString now(int offsetSeconds = 0)
    {
        return QDateTime(QDate(2024, 1, 1), QTime(9, 0, 0)).addSecs(offsetSeconds).toString(QStringLiteral("yyyyMMddhhmmss"));
    }

    int downloaded = 0;  // the body bytes of the download in progress, as last reported
};

TEST_F(CloudApiSingle, EachOperationReportsWhatTheServiceAnswered)
{
    const QByteArray image = QByteArray("firmware \x01\x02\xff", 12).repeated(5000);
    cloud->service->setFirmware(QStringLiteral("QO02-9Z01"), image);
    const QString hash = QString::fromLatin1(QCryptographicHash::hash(image, QCryptographicHash::Md5).toHex());

    EXPECT_EQ(single([](CloudWarker& w) { return w.getServiceName(); }), QStringLiteral("GetServiceName 0"));
    EXPECT_EQ(single([](CloudWarker& w) { return w.getFirmwareVersion(); }),
              QStringLiteral("FirmwareVersion 0 QO02-9Z01 %1 %2").arg(image.size()).arg(hash));

    EXPECT_EQ(single([](CloudWarker& w) { return w.getFirmwareFile(); }), QStringLiteral("GetFirmware 0"));
    const QString file = QString::fromUtf8(board.readFile(QString::fromLatin1(HttpClient::tempFilePath)));
    const QRegularExpression data(QStringLiteral("<result>0</result><firmware_data>([^<]*)</firmware_data>"));
    const auto match = data.match(file);
    ASSERT_TRUE(match.hasMatch());
    EXPECT_EQ(QByteArray::fromBase64(match.captured(1).toLatin1()), image);

    EXPECT_EQ(single([](CloudWarker& w) { return w.putUserIDm(1234, QStringLiteral("0123<&>"), now()); }),
              QStringLiteral("PutUserIDm 0"));
    EXPECT_EQ(cloud->service->idms().value(QStringLiteral("0123<&>")), QStringLiteral("1234"));
    EXPECT_TRUE(cloud->server->requests().last().body.contains("<id_code>000001234</id_code><idm>0123&lt;&amp;&gt;</idm>"));
    EXPECT_EQ(single([](CloudWarker& w) { return w.putUserIDm(99, QStringLiteral("0123<&>"), now()); }),
              QStringLiteral("PutUserIDm -60"));
    EXPECT_EQ(single([](CloudWarker& w) { return w.putUserIDm(99, QStringLiteral("0A0B"), now(301)); }),
              QStringLiteral("PutUserIDm -61"));
}

TEST_F(CloudApiSingle, FailuresAndRefusals)
{
    cloud->service->scriptFault(QStringLiteral("GetFirmwareVersion"),
                                MockFault::answer(200, "<a><result>0</result><version>V</version><size>abc</size></a>"), 1);
    EXPECT_EQ(single([](CloudWarker& w) { return w.getFirmwareVersion(); }), QStringLiteral("FirmwareVersion 0 V 0 "));

    cloud->service->scriptFault(QStringLiteral("GetServiceName"), MockFault::close());
    EXPECT_EQ(single([](CloudWarker& w) { return w.getServiceName(); }), QStringLiteral("GetServiceName -9999"));

    // A refused token ends the firmware download with its own signal, not a chain's.
    cloud->service->scriptResult(QStringLiteral("GetTokenSeed"), QStringLiteral("-20"),
                                 cloud->service->callCount(QStringLiteral("GetTokenSeed")) + 1);
    EXPECT_EQ(single([](CloudWarker& w) { return w.getFirmwareFile(); }), QStringLiteral("GetFirmware -20"));
    EXPECT_FALSE(ends.join(QLatin1Char('\n')).contains(QStringLiteral("allUpdateFinish")));

    // A download that stops part way ends when the connection has been idle too long: the
    // time-out is cut short once the part has come.
    cloud->service->scriptFault(QStringLiteral("GetFirmwareFile"), MockFault::stall(4096),
                                cloud->service->callCount(QStringLiteral("GetFirmwareFile")) + 1);
    downloaded = 0;
    EXPECT_EQ(single([](CloudWarker& w) { return w.getFirmwareFile(); }, [this] { return downloaded >= 4096; }),
              QStringLiteral("GetFirmware -9999"));
    EXPECT_EQ(downloaded, 4096);

    // While one operation runs, every other request is refused at once.
    cloud->service->scriptFault(QStringLiteral("GetFirmwareVersion"), MockFault::delay(500));
    ASSERT_TRUE(worker().getFirmwareVersion());
    EXPECT_TRUE(worker().busy());
    const int before = ends.size();
    EXPECT_FALSE(worker().getServiceName());
    EXPECT_FALSE(worker().getFirmwareFile());
    EXPECT_FALSE(worker().putUserIDm(1, QStringLiteral("01"), now()));
    EXPECT_FALSE(worker().startDataRequest(4));
    EXPECT_EQ(ends.mid(before), (QStringList{QStringLiteral("GetServiceName -8888"), QStringLiteral("GetFirmware -9999"),
                                             QStringLiteral("PutUserIDm -9999"),
                                             QStringLiteral("finishedDakokuSending -9999 0")}));
    ASSERT_TRUE(waitUntil([&] { return ends.size() == before + 5; }, 120000));
    EXPECT_TRUE(ends.last().startsWith(QStringLiteral("FirmwareVersion 0 ")));
}

}  // namespace
}  // namespace vnq::test
