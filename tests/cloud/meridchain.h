#pragma once

#include "commandquote.h"
#include "dbsetting.h"
#include "fakeclock.h"
#include "httpclient.h"
#include "httptestbase.h"
#include "meridapi.h"
#include "meridwarker.h"
#include "mockcloud.h"
#include "secretlog.h"
#include "recordingrunner.h"
#include "stamprows.h"
#include "zsystem.h"

#include <QSignalSpy>

#include <atomic>
#include <functional>

namespace vnq::test {

// A Merid-edition board with the shipped databases, the mock JSON service over TLS and a JSON
// worker on its own thread, with the worker's result signals recorded.
class MeridChainTest : public ::testing::Test {
protected:
    static constexpr const char* clientKey = "QOM1025678";

    void SetUp() override
    {
        ASSERT_TRUE(board.isValid());
        ASSERT_TRUE(installShippedDatabases(board));
        // The serial number is read with "cat" through the command runner.
        runner.script(QStringLiteral("cat "), 0, "12345678\n");
        ZSystem::setMode(ZSystem::Merid);
        cloud = std::make_unique<MockCloud>(board);
        cloud->json->addClient(QString::fromLatin1(clientKey));
        cloud->json->setNow([this] { return clock.now().toSecsSinceEpoch(); });
        int password = boardAdminPassword;
        qint64 unchanged = 0;
        ASSERT_TRUE(DBSetting::setParam(QStringLiteral("admin_password"), &password, &unchanged));
    }

    // No secret of the run reached the log: the board's password, every token of the service
    // and what the test served besides.
    void TearDown() override
    {
        warker.reset();
        QStringList all = secrets;
        all << QString::number(boardAdminPassword) << cloud->json->issuedTokens();
        expectNoSecretInLog(log, all);
    }

    MockJsonService& service() { return *cloud->json; }

    // The worker, made on first use; its client's idle time-out is held far off.
    MeridWarker& worker()
    {
        if (!warker) {
            api = new MeridAPI;
            api->httpClient()->setInactivityInterval(heldIdleTimeOutMs);
            warker = std::make_unique<MeridWarker>(api);
            QObject::connect(warker.get(), &CloudLink::allUpdateFinish, [this](int mode, const QString& option) {
                ends << QStringLiteral("allUpdateFinish %1 %2").arg(mode).arg(option).trimmed();
            });
            QObject::connect(warker.get(), qOverload<int, int>(&CloudLink::finishedDakokuSending),
                             [this](int code, int count) {
                                 ends << QStringLiteral("finishedDakokuSending %1 %2").arg(code).arg(count);
                             });
            // Seen on the worker's thread as the end is emitted: the client is still busy
            // until the token release is answered.
            auto atEnd = [api = api, this] {
                if (!api->busy())
                    ++idleAtEnd;
            };
            QObject::connect(api, &MeridAPI::allUpdateFinish, api, atEnd, Qt::DirectConnection);
            QObject::connect(api, &MeridAPI::finishedDakokuSending, api, atEnd, Qt::DirectConnection);
            QObject::connect(warker.get(), qOverload<int>(&CloudLink::finishedPutUserIDm),
                             [this](int code) { ends << QStringLiteral("finishedPutUserIDm %1").arg(code); });
            QObject::connect(warker.get(), qOverload<int>(&CloudLink::finishedGetServiceName),
                             [this](int code) { ends << QStringLiteral("finishedGetServiceName %1").arg(code); });
            QObject::connect(warker.get(), qOverload<int, QString, int, QString>(&CloudLink::finishedFirmwareVersion),
                             [this](int code, const QString& version, int size, const QString& hash) {
                                 ends << QStringLiteral("finishedFirmwareVersion %1 %2 %3 %4")
                                             .arg(code)
                                             .arg(version)
                                             .arg(size)
                                             .arg(hash)
                                             .trimmed();
                             });
            QObject::connect(warker.get(), qOverload<int>(&CloudLink::finishedGetFirmware),
                             [this](int code) { ends << QStringLiteral("finishedGetFirmware %1").arg(code); });
            QObject::connect(warker.get(), &CloudLink::apiInfo, [this](int, const QString& info) { infos << info; });
        }
        return *warker;
    }

    // Runs a chain to its end signal and the client's idle state; the end signal's text, or ""
    // when none came. A chain with an answer stalled on purpose ends by the idle time-out once
    // stalled() holds.
    QString chain(int mode, const std::function<bool()>& stalled = {})
    {
        return request([mode](MeridWarker& w) { w.startDataRequest(mode); }, stalled);
    }
    // The same for any request the worker offers.
    QString request(const std::function<void(MeridWarker&)>& start, const std::function<bool()>& stalled = {})
    {
        const int before = ends.size();
        start(worker());
        if (!waitForExchangeEnd(api->httpClient(), stalled, [&] { return ends.size() > before; }))
            return QString();
        EXPECT_TRUE(waitUntil([&] { return !warker->busy(); }, 10000)) << "the client stays busy";
        EXPECT_EQ(ends.size(), before + 1) << "one end signal per chain";
        return ends.value(before);
    }

    // n unsent stamps of kind 1 with a blank flag, of users firstUser onwards, inserted now;
    // the clock then moves past the double-stamp window unless told otherwise.
    void addStamps(int n, int firstUser = 1, bool pastWindow = true)
    {
        ASSERT_TRUE(insertUnsentStamps(n, firstUser, clock.now().toSecsSinceEpoch()));
        if (pastWindow)
            clock.advanceMs(3600 * 1000);
    }

    static int countWhere(const QString& where) { return stampCountWhere(where); }
    static int unsent() { return countWhere(QStringLiteral("WHERE send = '0'")); }
    static int sent() { return countWhere(QStringLiteral("WHERE send > 1")); }

    // The requests' raw paths from the nth on.
    QStringList pathsSince(int request) const
    {
        QStringList paths;
        const auto& requests = cloud->server->requests();
        for (int i = request; i < requests.size(); ++i)
            paths << QString::fromUtf8(requests[i].path);
        return paths;
    }
    // The service's operations from the nth on.
    QStringList operationsSince(int call) const { return cloud->json->operations().mid(call); }
    // The number of stamps in each putStamp body from the nth request on.
    QList<int> batchesSince(int request) const
    {
        QList<int> sizes;
        const auto& requests = cloud->server->requests();
        for (int i = request; i < requests.size(); ++i) {
            if (requests[i].path.endsWith("/putStamp"))
                sizes << requests[i].body.count("\"ymd\"");
        }
        return sizes;
    }

    TempBoardRoot board;
    FakeClock clock;
    MessageCapture log;
    RecordingRunner runner;
    std::unique_ptr<MockCloud> cloud;
    std::unique_ptr<MeridWarker> warker;
    MeridAPI* api = nullptr;  // the worker's, there as long as the worker is
    QStringList ends;
    std::atomic<int> idleAtEnd{0};
    QStringList infos;
    // Further secret values the test handed to the client, checked against the log.
    QStringList secrets;
};

}  // namespace vnq::test
