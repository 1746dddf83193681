#include "localsocketipcserver.h"
#include "messagecapture.h"
#include "socketpeers.h"
#include "fakeclock.h"
#include "tempboardroot.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLocalSocket>
#include <QSignalSpy>

#include <memory>
#include <vector>

#include <linux/sockios.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

namespace {

using vnq::test::ThreadPeer;
using vnq::test::waitUntil;

class LocalSocketServer : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(board.makeDir(QStringLiteral("/tmp")));
        server = std::make_unique<LocalSocketIpcServer>(QStringLiteral("/tmp/iccard.uds"), nullptr);
        ASSERT_TRUE(server->isListening());
        messages = std::make_unique<QSignalSpy>(server.get(), &LocalSocketIpcServer::messageReceived);
    }

    QString socketFile() const { return board.path(QStringLiteral("/tmp/iccard.uds")); }

    // Runs the event loop until the server has dropped its connections.
    bool settle(int count)
    {
        return waitUntil([&] { return log.matching(QStringLiteral("delete socket!!!")).size() >= count; }, 10000);
    }

    vnq::test::TempBoardRoot board;
    vnq::test::MessageCapture log;
    std::unique_ptr<LocalSocketIpcServer> server;
    std::unique_ptr<QSignalSpy> messages;
};

const QByteArray cardMessage =
    "<iccard><ictype>01</ictype><fwver>0100</fwver><type>FeliCa</type><len>8</len>"
    "<id>0123456789abcdef</id></iccard>";

TEST_F(LocalSocketServer, OneConnectionCarriesOneMessage)
{
    QLocalSocket peer;
    peer.connectToServer(socketFile());
    ASSERT_TRUE(peer.waitForConnected(5000));
    peer.write(cardMessage);
    ASSERT_TRUE(peer.waitForBytesWritten(5000));

    ASSERT_TRUE(messages->wait(10000));
    EXPECT_EQ(messages->at(0).at(0).toString(), QString::fromLatin1(cardMessage));

    // A second message on the same connection is never read.
    peer.write("<iccard><id>FFFFFFFFFFFFFFFF</id></iccard>");
    peer.flush();
    ASSERT_TRUE(settle(1));
    QCoreApplication::processEvents();
    EXPECT_EQ(messages->size(), 1);
}

TEST_F(LocalSocketServer, APeerThatPausesAfterTwoBytesIsDeliveredWhole)
{
    vnq::test::FakeClock clock;  // the pause cannot outlast the connection's wait
    ThreadPeer peer(socketFile(), {{0, cardMessage.left(2)}, {150, cardMessage.mid(2)}}, 100);
    ASSERT_TRUE(messages->wait(10000));
    EXPECT_EQ(messages->at(0).at(0).toString(), QString::fromLatin1(cardMessage));
}

TEST_F(LocalSocketServer, SilentOrShortPeersAreDroppedWithoutAMessage)
{
    // The waits are measured on a stepped clock, so only the test decides when one has run
    // out, however slowly the machine goes; the server's own timer does the dropping.
    vnq::test::FakeClock clock;
    server->setFirstBytesWaitMs(200);
    {
        // Connected and silent: released at the bound while still connected.
        QLocalSocket silent;
        silent.connectToServer(socketFile());
        ASSERT_TRUE(silent.waitForConnected(5000));
        ASSERT_TRUE(waitUntil([&] { return server->pendingConnections() == 1; }, 10000));
        clock.advanceMs(200);
        ASSERT_TRUE(settle(1));
    }
    {
        // Three bytes, then the peer closes: dropped as soon as it is gone, with no wait run
        // out (the clock stands still).
        server->setFirstBytesWaitMs(LocalSocketIpcServer::FirstBytesWaitMs);
        ThreadPeer shortPeer(socketFile(), {{0, "<ic"}});
        ASSERT_TRUE(settle(2));
    }
    EXPECT_EQ(messages->size(), 0);
    EXPECT_EQ(log.matching(QStringLiteral("no message, connection dropped:")).size(), 2);

    // The server goes on with the next connection.
    ThreadPeer card(socketFile(), {{0, cardMessage}});
    ASSERT_TRUE(messages->wait(10000));
    EXPECT_EQ(messages->at(0).at(0).toString(), QString::fromLatin1(cardMessage));
}

// A peer on the test's own thread: a plain socket whose bytes the test writes one by one while
// the server runs on the same event loop.
class RawPeer {
public:
    explicit RawPeer(const QString& socketFile)
        : m_fd(::socket(AF_UNIX, SOCK_STREAM, 0))
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, socketFile.toLocal8Bit().constData(), sizeof(address.sun_path) - 1);
        m_connected = m_fd >= 0 && ::connect(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    }
    ~RawPeer() { close(); }
    bool connected() const { return m_connected; }
    bool write(const QByteArray& bytes)
    {
        return ::send(m_fd, bytes.constData(), size_t(bytes.size()), MSG_NOSIGNAL) == bytes.size();
    }
    // Bytes written that the server has not read yet (-1 when that cannot be told).
    int unread() const
    {
        int queued = 0;
        return ::ioctl(m_fd, SIOCOUTQ, &queued) == 0 ? queued : -1;
    }
    void close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

private:
    int m_fd;
    bool m_connected = false;
};

QByteArray cardMessageFor(const char* id)
{
    return QByteArray("<iccard><type>FeliCa</type><len>8</len><id>") + id + "</id></iccard>";
}

class LocalSocketServerStepped : public LocalSocketServer {
protected:
    // Opens silent connections one by one, each taken by the server before the next.
    bool openSilent(std::vector<std::unique_ptr<RawPeer>>& peers, int count)
    {
        for (int i = 0; i < count; ++i) {
            peers.push_back(std::make_unique<RawPeer>(socketFile()));
            if (!peers.back()->connected() || !waitUntil([&] { return server->pendingConnections() == i + 1; }))
                return false;
        }
        return true;
    }

    vnq::test::FakeClock clock;
};

TEST_F(LocalSocketServerStepped, SilentConnectionsHoldUpNoCardAndAreDroppedAfterTheirWait)
{
    std::vector<std::unique_ptr<RawPeer>> silent;
    ASSERT_TRUE(openSilent(silent, 50));

    QElapsedTimer elapsed;
    elapsed.start();
    RawPeer card(socketFile());
    ASSERT_TRUE(card.write(cardMessage));
    // The silent connections' wait runs on the stepped clock, which stands still: a card
    // held up behind them would not come at all.
    ASSERT_TRUE(waitUntil([&] { return messages->size() == 1; }, 10000)) << elapsed.elapsed();
    EXPECT_EQ(messages->at(0).at(0).toString(), QString::fromLatin1(cardMessage));
    EXPECT_EQ(server->pendingConnections(), 50);

    clock.advanceMs(LocalSocketIpcServer::FirstBytesWaitMs - 1);
    server->dropSilentConnections();
    EXPECT_EQ(server->pendingConnections(), 50);
    clock.advanceMs(1);
    server->dropSilentConnections();
    EXPECT_EQ(server->pendingConnections(), 0);
    EXPECT_EQ(log.matching(QStringLiteral("no message, connection dropped: 0")).size(), 50);
    EXPECT_EQ(messages->size(), 1);
}

TEST_F(LocalSocketServerStepped, AConnectionClosedWithoutDataIsDroppedAtOnceWithItsLine)
{
    std::vector<std::unique_ptr<RawPeer>> peers;
    ASSERT_TRUE(openSilent(peers, 1));
    log.clear();
    peers[0]->close();
    ASSERT_TRUE(waitUntil([&] { return server->pendingConnections() == 0; }));
    const QStringList errors = log.matching(QStringLiteral("<ERR>"));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QStringLiteral("no message, connection dropped: 0"))) << errors[0].toStdString();
    EXPECT_EQ(log.messages().size(), 2);  // that line and the connection's deletion
    EXPECT_EQ(messages->size(), 0);
}

TEST_F(LocalSocketServerStepped, AnUnfinishedMessageIsTakenAsItStandsWhenItsWaitRunsOut)
{
    std::vector<std::unique_ptr<RawPeer>> peers;
    ASSERT_TRUE(openSilent(peers, 2));
    ASSERT_TRUE(peers[0]->write("<iccard><id>01"));
    ASSERT_TRUE(peers[1]->write("<i"));
    // The server has both pieces once neither peer has anything left unread.
    ASSERT_TRUE(waitUntil([&] { return peers[0]->unread() == 0 && peers[1]->unread() == 0; }, 10000));
    QCoreApplication::processEvents();
    EXPECT_EQ(messages->size(), 0);

    clock.advanceMs(LocalSocketIpcServer::FirstBytesWaitMs);
    server->dropSilentConnections();
    ASSERT_EQ(messages->size(), 1);
    EXPECT_EQ(messages->at(0).at(0).toString(), QStringLiteral("<iccard><id>01"));
    EXPECT_EQ(log.matching(QStringLiteral("no message, connection dropped: 2")).size(), 1);
    EXPECT_EQ(server->pendingConnections(), 0);
}

TEST_F(LocalSocketServerStepped, MessagesInterleavedByteByByteArriveWhole)
{
    const QByteArray first = cardMessageFor("0123456789ABCDEF");
    const QByteArray second = "<iccard><ictype>01</ictype>" + cardMessageFor("FEDCBA9876543210") + "</iccard>";
    std::vector<std::unique_ptr<RawPeer>> peers;
    ASSERT_TRUE(openSilent(peers, 2));
    for (int i = 0; i < std::max(first.size(), second.size()); ++i) {
        if (i < first.size()) {
            ASSERT_TRUE(peers[0]->write(first.mid(i, 1)));
        }
        QCoreApplication::processEvents();
        if (i < second.size()) {
            ASSERT_TRUE(peers[1]->write(second.mid(i, 1)));
        }
        QCoreApplication::processEvents();
    }
    ASSERT_TRUE(waitUntil([&] { return messages->size() == 2; }));
    EXPECT_EQ(messages->at(0).at(0).toString(), QString::fromLatin1(first));
    EXPECT_EQ(messages->at(1).at(0).toString(), QString::fromLatin1(second));
}

TEST(LocalSocketServerStart, ALeftoverSocketFileStopsListening)
{
    vnq::test::TempBoardRoot board;
    vnq::test::MessageCapture log;
    ASSERT_TRUE(board.writeFile(QStringLiteral("/tmp/iccard.uds"), ""));
    LocalSocketIpcServer server(QStringLiteral("/tmp/iccard.uds"), nullptr);
    EXPECT_FALSE(server.isListening());
    EXPECT_EQ(log.matching(QStringLiteral("<ERR>")).filter(QStringLiteral("Not able to start the Server")).size(), 1);
}

}  // namespace
