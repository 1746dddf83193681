#include "localsocketipcclient.h"
#include "messagecapture.h"
#include "socketpeers.h"
#include "tempboardroot.h"

#include <gtest/gtest.h>

#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QSignalSpy>

#include <memory>

namespace {

using vnq::test::waitUntil;

// Stands in for the display server: listens on the board's /tmp/vistrel.uds and collects
// what its one client writes.
class DisplayPeer {
public:
    explicit DisplayPeer(const vnq::test::TempBoardRoot& board)
    {
        listening = server.listen(board.path(QStringLiteral("/tmp/vistrel.uds")));
        QObject::connect(&server, &QLocalServer::newConnection, [this] {
            connection = server.nextPendingConnection();
            QObject::connect(connection, &QLocalSocket::readyRead, [this] { received += connection->readAll(); });
        });
    }

    bool listening = false;
    QLocalServer server;
    QPointer<QLocalSocket> connection;
    QByteArray received;
};

class LocalSocketClient : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(board.makeDir(QStringLiteral("/tmp"))); }

    // A client connected to a display peer.
    void connectPeer()
    {
        peer = std::make_unique<DisplayPeer>(board);
        ASSERT_TRUE(peer->listening);
        client = std::make_unique<LocalSocketIpcClient>(QStringLiteral("/tmp/vistrel.uds"), nullptr);
        ASSERT_TRUE(waitUntil([this] { return client->connectionState() == 0 && peer->connection; }));
    }

    vnq::test::TempBoardRoot board;
    vnq::test::MessageCapture log;
    std::unique_ptr<DisplayPeer> peer;
    std::unique_ptr<LocalSocketIpcClient> client;
};

TEST_F(LocalSocketClient, TheSendThatFindsNoConnectionIsLostAndTheNextIsDelivered)
{
    client = std::make_unique<LocalSocketIpcClient>(QStringLiteral("/tmp/vistrel.uds"), nullptr);
    EXPECT_EQ(client->connectionState(), -1);
    EXPECT_EQ(log.matching(QStringLiteral("socket_error")).size(), 1);

    // The display server starts after the client: the first update only reconnects.
    peer = std::make_unique<DisplayPeer>(board);
    ASSERT_TRUE(peer->listening);
    client->send_MessageToServer(QStringLiteral("<items>first</items>"));
    EXPECT_EQ(log.matching(QStringLiteral("connect:")).size(), 1);
    EXPECT_FALSE(log.matching(QStringLiteral("\"/tmp/vistrel.uds\"")).isEmpty());
    ASSERT_TRUE(waitUntil([this] { return client->connectionState() == 0 && peer->connection; }));
    client->send_MessageToServer(QStringLiteral("<items>second 二</items>"));
    ASSERT_TRUE(waitUntil([this] { return peer->received.size() >= 25; }));
    EXPECT_EQ(QString::fromUtf8(peer->received), QStringLiteral("<items>second 二</items>"));

    // The display server restarts: exactly one update is lost again.
    peer.reset();
    ASSERT_TRUE(waitUntil([this] { return client->connectionState() == -1; }));
    peer = std::make_unique<DisplayPeer>(board);
    ASSERT_TRUE(peer->listening);
    client->send_MessageToServer(QStringLiteral("<items>lost</items>"));
    ASSERT_TRUE(waitUntil([this] { return client->connectionState() == 0 && peer->connection; }));
    client->send_MessageToServer(QStringLiteral("<items>again</items>"));
    ASSERT_TRUE(waitUntil([this] { return peer->received.size() >= 20; }));
    EXPECT_EQ(peer->received, QByteArray("<items>again</items>"));
}

TEST_F(LocalSocketClient, OneReadIsOneMessageCutAtTheFirstNulByte)
{
    connectPeer();
    QSignalSpy replies(client.get(), &LocalSocketIpcClient::messageReceived);

    // Two replies that arrive together are one text.
    peer->connection->write("<gui><status>ready</status></gui><gui><id>3Back</id><event>0</event></gui>");
    peer->connection->flush();
    ASSERT_TRUE(replies.wait(5000));
    ASSERT_EQ(replies.size(), 1);
    EXPECT_EQ(replies.at(0).at(0).toString(),
              QStringLiteral("<gui><status>ready</status></gui><gui><id>3Back</id><event>0</event></gui>"));

    peer->connection->write(QByteArray("<gui>完了</gui>\0tail", 22));
    peer->connection->flush();
    ASSERT_TRUE(replies.wait(5000));
    EXPECT_EQ(replies.at(1).at(0).toString(), QStringLiteral("<gui>完了</gui>"));
}

TEST_F(LocalSocketClient, MessageSizeIsBoundedByTheSendBuffer)
{
    connectPeer();

    // An empty message writes nothing: its one write of no bytes is a failed write.
    client->send_MessageToServer(QString());
    EXPECT_EQ(log.matching(QStringLiteral("write fail !!")).size(), 1);

    // One byte over the buffer is refused; a full buffer is written whole.
    const QString tooLong(LocalSocketIpcClient::SendBufferSize + 1, QLatin1Char('x'));
    client->send_MessageToServer(tooLong);
    EXPECT_EQ(log.matching(QStringLiteral("message too long: 131073")).size(), 1);
    const QString full(LocalSocketIpcClient::SendBufferSize, QLatin1Char('y'));
    client->send_MessageToServer(full);
    ASSERT_TRUE(waitUntil([this] { return peer->received.size() >= LocalSocketIpcClient::SendBufferSize; }));
    EXPECT_EQ(peer->received, full.toUtf8());
}

TEST_F(LocalSocketClient, FailingWritesAreRetriedABoundedNumberOfTimes)
{
    connectPeer();
    // A connection that is gone while the client has not been told yet.
    auto* socket = client->findChild<QLocalSocket*>();
    ASSERT_NE(socket, nullptr);
    socket->blockSignals(true);
    socket->abort();
    ASSERT_EQ(client->connectionState(), 0);

    client->send_MessageToServer(QStringLiteral("<items></items>"));
    EXPECT_EQ(log.matching(QStringLiteral("write fail !!")).size(), LocalSocketIpcClient::MaxWriteFailures);
    EXPECT_EQ(log.matching(QStringLiteral("message given up: 0 15")).size(), 1);
}

}  // namespace
