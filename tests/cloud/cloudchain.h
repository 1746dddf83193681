#pragma once

#include "cloudapi.h"
#include "cloudwarker.h"
#include "dbsetting.h"
#include "fakeclock.h"
#include "filecommandrunner.h"
#include "httpclient.h"
#include "httptestbase.h"
#include "mockcloud.h"
#include "secretlog.h"
#include "stamprows.h"
#include "zsystem.h"

#include <QSignalSpy>

namespace vnq::test {

// A cloud-edition board with the shipped databases, the mock SOAP service over TLS and a SOAP
// worker on its own thread, with the worker's result signals recorded.
class CloudChainTest : public ::testing::Test {
protected:
    static constexpr const char* clientKey = "QOC0125678";

    void SetUp() override
    {
        ASSERT_TRUE(board.isValid());
        ASSERT_TRUE(installShippedDatabases(board));
        ASSERT_TRUE(board.makeDir(QStringLiteral("/VnQo/var/fwup")));
        // The serial number is read with "cat" through the runner.
        runner.script(QStringLiteral("cat "), 0, "12345678\n");
        ZSystem::setMode(ZSystem::Cloud);
        cloud = std::make_unique<MockCloud>(board);
        cloud->service->addClient(QString::fromLatin1(clientKey));
        cloud->service->setNow([this] { return clock.now().toSecsSinceEpoch(); });
        int password = boardAdminPassword;
        ASSERT_TRUE(DBSetting::setParam(QStringLiteral("admin_password"), &password));
    }

    // No secret of the run reached the log: the board's password, the cloud key, every seed
    // and token of the service, and what the test served besides.
    void TearDown() override
    {
        warker.reset();
        QStringList all = secrets;
        all << QString::number(boardAdminPassword) << QString::fromLatin1(CloudAPI::defaultCloudKey)
            << cloud->service->issuedSeeds() << cloud->service->acceptedTokens();
        expectNoSecretInLog(log, all);
    }

    // The worker, made on first use so a test can script the service first; its client's idle
    // time-out is held far off.
    CloudWarker& worker()
    {
        if (!warker) {
            api = new CloudAPI;
            api->httpClient()->setInactivityInterval(heldIdleTimeOutMs);
            warker = std::make_unique<CloudWarker>(api);
            QObject::connect(warker.get(), &CloudLink::allUpdateFinish, [this](int mode, const QString& option) {
                ends << QStringLiteral("allUpdateFinish %1 %2").arg(mode).arg(option);
            });
            QObject::connect(warker.get(), qOverload<QString, int>(&CloudLink::finishedDakokuSending),
                             [this](const QString& code, int count) {
                                 ends << QStringLiteral("finishedDakokuSending %1 %2").arg(code).arg(count);
                             });
            QObject::connect(warker.get(), &CloudLink::apiInfo,
                             [this](int, const QString& info) { infos << info; });
        }
        return *warker;
    }

    // Runs a chain to its end signal; the signal's text, or "" when none came. A chain with an
    // answer stalled on purpose ends by the idle time-out once stalled() holds.
    QString chain(int mode, const std::function<bool()>& stalled = {})
    {
        const int before = ends.size();
        if (!worker().startDataRequest(mode) && ends.size() == before)
            return QString();
        if (!waitForEnd(before, stalled))
            return QString();
        // The worker is idle again once the end has been relayed.
        waitUntil([&] { return !warker->busy(); }, 10000);
        return ends.last();
    }

    // Waits for an end signal after the first `before`; an exchange stalled on purpose is ended
    // by the idle time-out once stalled() holds. Whether one came.
    bool waitForEnd(int before, const std::function<bool()>& stalled)
    {
        return waitForExchangeEnd(api->httpClient(), stalled, [&] { return ends.size() > before; });
    }

    // n unsent stamps of kind 1 with a blank flag, of users firstUser onwards, in one statement.
    void addStamps(int n, int firstUser = 1)
    {
        ASSERT_TRUE(insertUnsentStamps(n, firstUser, clock.now().toSecsSinceEpoch()));
    }

    static int countWhere(const QString& where) { return stampCountWhere(where); }
    static int unsent() { return countWhere(QStringLiteral("WHERE send = '0'")); }
    static int beingSent() { return countWhere(QStringLiteral("WHERE send = '1'")); }
    static int sent() { return countWhere(QStringLiteral("WHERE send > 1")); }

    // The user ids of the rows marked sent.
    static QSet<QString> sentUsers()
    {
        QList<QStringList> rows;
        DBDakoku::selectQuery(QStringLiteral("SELECT user_id FROM dakoku WHERE send > 1"), &rows);
        QSet<QString> users;
        for (const QStringList& row : rows)
            users.insert(row.value(0));
        return users;
    }
    QSet<QString> storedUsers() const
    {
        QSet<QString> users;
        for (const auto& s : cloud->service->stamps())
            users.insert(s.idCode);
        return users;
    }
    // The service's operations after their token step, from the nth call on.
    QStringList operationsSince(int call) const
    {
        QStringList ops = cloud->service->operations().mid(call);
        ops.removeAll(QStringLiteral("GetTokenSeed"));
        return ops;
    }
    QStringList operations() const { return operationsSince(0); }

    TempBoardRoot board;
    FakeClock clock;
    FileCommandRunner runner;
    MessageCapture log;
    std::unique_ptr<MockCloud> cloud;
    std::unique_ptr<CloudWarker> warker;
    CloudAPI* api = nullptr;  // the worker's, there as long as the worker is
    QStringList ends;
    QStringList infos;
    // Further secret values the test handed to the client, checked against the log.
    QStringList secrets;
};

}  // namespace vnq::test
