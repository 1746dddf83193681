#include "srvsocketserver.h"

#include "messagecapture.h"
#include "stalesocket.h"
#include "tempboardroot.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSignalSpy>

#include <functional>
#include <memory>

using namespace vistrel;
using vnq::test::MessageCapture;
using vnq::test::TempBoardRoot;

namespace {

const QString kSocket = QStringLiteral("/tmp/vistrel.uds");

// Runs the event loop until the condition holds (socket traffic needs the real loop).
bool waitFor(const std::function<bool()>& condition, int ms = 5000)
{
    QDeadlineTimer deadline(ms);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

class SocketServer : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(root.makeDir(QStringLiteral("/tmp"))); }

    std::unique_ptr<LocalSocketIpcServer> listen()
    {
        auto server = std::make_unique<LocalSocketIpcServer>(kSocket, nullptr);
        EXPECT_TRUE(server->isListening());
        return server;
    }

    // A connected client that the server has taken as its newest connection.
    std::unique_ptr<QLocalSocket> connectClient(LocalSocketIpcServer& server)
    {
        auto client = std::make_unique<QLocalSocket>();
        client->connectToServer(root.path(kSocket));
        EXPECT_TRUE(client->waitForConnected(10000));
        QLocalSocket* before = server.currentConnection();
        EXPECT_TRUE(waitFor([&] { return server.currentConnection() && server.currentConnection() != before; }));
        return client;
    }

    static QByteArray readReply(QLocalSocket& client)
    {
        waitFor([&] { return client.bytesAvailable() > 0; });
        return client.readAll();
    }

    TempBoardRoot root;
};

// Every write of the send loop fails.
class FailingWrites : public LocalSocketIpcServer {
public:
    using LocalSocketIpcServer::LocalSocketIpcServer;
    int writes = 0;

protected:
    qint64 writeChunk(QLocalSocket*, const char*, qint64) override
    {
        ++writes;
        return -1;
    }
};

}  // namespace

TEST_F(SocketServer, OneWriteIsOneMessageWithTheWholeTextUpToANul)
{
    auto server = listen();
    QSignalSpy received(server.get(), &LocalSocketIpcServer::messageReceived);
    auto client = connectClient(*server);
    const QByteArray message = "<items><item><id>Back</id><text>戻る</text></item></items>";
    client->write(message);
    client->flush();
    ASSERT_TRUE(waitFor([&] { return received.count() > 0; }));
    EXPECT_EQ(received.count(), 1);
    EXPECT_EQ(received.at(0).at(0).toString(), QString::fromUtf8(message));

    client->write(QByteArray("<items>\0garbage", 15));
    client->flush();
    ASSERT_TRUE(waitFor([&] { return received.count() > 1; }));
    EXPECT_EQ(received.at(1).at(0).toString(), QStringLiteral("<items>"));
}

TEST_F(SocketServer, SilentClientIsCurrentAtOnceAndBlocksNothing)
{
    auto server = listen();
    EXPECT_EQ(server->socket_send(QStringLiteral("<gui><status>ready</status></gui>")), -1);
    auto silent = connectClient(*server);
    // Replies reach it at once, before it has sent anything.
    const QString reply = QStringLiteral("<gui><status>ready</status></gui>");
    EXPECT_EQ(server->socket_send(reply), reply.size());
    EXPECT_EQ(readReply(*silent), reply.toUtf8());
    QSignalSpy received(server.get(), &LocalSocketIpcServer::messageReceived);
    silent->write("<items></items>");
    ASSERT_TRUE(waitFor([&] { return received.count() == 1; }));
}

TEST_F(SocketServer, RepliesGoToTheNewestOpenClientAndAnOldClientsMessagesStillArrive)
{
    auto server = listen();
    QSignalSpy received(server.get(), &LocalSocketIpcServer::messageReceived);
    auto first = connectClient(*server);
    auto second = connectClient(*server);
    EXPECT_GT(server->socket_send(QStringLiteral("to second")), 0);
    EXPECT_EQ(readReply(*second), QByteArray("to second"));

    first->write("from first");
    ASSERT_TRUE(waitFor([&] { return received.count() == 1; }));
    EXPECT_EQ(received.at(0).at(0).toString(), QStringLiteral("from first"));

    QLocalSocket* secondOnServer = server->currentConnection();
    second->disconnectFromServer();
    ASSERT_TRUE(waitFor([&] { return server->currentConnection() != secondOnServer; }));
    ASSERT_NE(server->currentConnection(), nullptr);
    EXPECT_GT(server->socket_send(QStringLiteral("to first")), 0);
    EXPECT_EQ(readReply(*first), QByteArray("to first"));

    first->disconnectFromServer();
    ASSERT_TRUE(waitFor([&] { return server->currentConnection() == nullptr; }));
    EXPECT_EQ(server->socket_send(QStringLiteral("nobody")), -1);
}

TEST_F(SocketServer, WriteThatKeepsFailingGivesUpAndOversizeRepliesAreRefused)
{
    MessageCapture log;
    {
        FailingWrites server(kSocket, nullptr);
        auto client = connectClient(server);
        EXPECT_EQ(server.socket_send(QStringLiteral("<gui/>")), -1);
        EXPECT_EQ(server.writes, LocalSocketIpcServer::MaxWriteFailures);
        EXPECT_EQ(log.matching(QStringLiteral("write fail !!")).size(), LocalSocketIpcServer::MaxWriteFailures);
        EXPECT_TRUE(log.messages().first().startsWith(QStringLiteral(" <SRV ERR> ")));
    }

    auto real = listen();
    auto reader = connectClient(*real);
    log.clear();
    EXPECT_EQ(real->socket_send(QString(LocalSocketIpcServer::SendBufferSize + 1, QLatin1Char('x'))), -1);
    EXPECT_EQ(log.messages().size(), 1);
    const QString full(LocalSocketIpcServer::SendBufferSize, QLatin1Char('x'));
    EXPECT_EQ(real->socket_send(full), full.size());
}

TEST_F(SocketServer, StaleSocketFileIsReplacedAndALiveServerIsLeftAlone)
{
    // A socket file whose server has gone, as a killed run leaves it.
    ASSERT_TRUE(makeStaleSocketFile(root.path(kSocket).toUtf8()));
    ASSERT_TRUE(root.exists(kSocket));
    {
        auto server = listen();
        auto client = connectClient(*server);
        EXPECT_GT(server->socket_send(QStringLiteral("ok")), 0);

        MessageCapture log;
        LocalSocketIpcServer second(kSocket, nullptr);
        EXPECT_FALSE(second.isListening());
        EXPECT_EQ(log.matching(QStringLiteral("Not able to start the Server")).size(), 1);
        // The first server still answers on its file.
        QLocalSocket another;
        another.connectToServer(root.path(kSocket));
        EXPECT_TRUE(another.waitForConnected(10000));
    }
}
