#include "clockfixture.h"

#include "iccardmodule.h"

#include <QDir>
#include <QSignalSpy>

namespace {

const QString lockFile = QStringLiteral("/tmp/vantroq.lock");
const QString unlockFile = QStringLiteral("/tmp/vantroq.unlock");

class ClockLockFile : public ClockFixture {
protected:
    void SetUp() override
    {
        ClockFixture::SetUp();
        startActiveClock();
        lockedAt = fakeClock.now();
    }

    void writeLock(const QByteArray& content) { ASSERT_TRUE(board.writeFile(lockFile, content)); }
    QByteArray lockHolding(const QDateTime& time) const { return QByteArray::number(time.toSecsSinceEpoch()) + "\n"; }

    // One pass of the check; true when it reloaded the clock.
    bool check()
    {
        log.clear();
        clock->timeoutHandlerVnqLock();
        return !log.matching(QStringLiteral("TransVNQ後、更新")).isEmpty();
    }

    QDateTime lockedAt;
};

TEST_F(ClockLockFile, AStaleLockIsRemovedOnlyWithoutAnOpenConnection)
{
    const struct {
        const char* content;
        qint64 age;
        bool connected;
        bool removed;
    } cases[] = {
        {"T", 300, false, false}, {"T", 301, false, true},  {"T", 3600, true, false},
        {"abc", 3600, false, false}, {"0", 3600, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.content << " " << c.age << " " << c.connected);
        fakeClock.setNow(lockedAt);
        writeLock(QByteArray(c.content) == "T" ? lockHolding(lockedAt) : QByteArray(c.content));
        runner.script(QStringLiteral("sh -c \"netstat"), 0,
                      c.connected ? "tcp 0 0 192.168.0.10:80 192.168.0.2:50000 ESTABLISHED\n" : "");
        fakeClock.setNow(lockedAt.addSecs(c.age));

        EXPECT_EQ(check(), c.removed);
        EXPECT_EQ(board.exists(lockFile), !c.removed);
        EXPECT_EQ(probe->lockBusy(), !c.removed);
        EXPECT_EQ(!log.matching(QStringLiteral("vantroq.lock 削除(異常あり)")).isEmpty(), c.removed);
        EXPECT_EQ(!log.matching(QStringLiteral("通信中")).isEmpty(), c.connected);
        QFile::remove(board.path(lockFile));
        probe->lockBusy() = false;
    }
}

TEST_F(ClockLockFile, TheEndOfATransferReloads)
{
    writeLock(lockHolding(lockedAt));
    EXPECT_FALSE(check());
    EXPECT_TRUE(probe->lockBusy());

    QFile::remove(board.path(lockFile));
    EXPECT_TRUE(check()) << "lock gone without an unlock file";
    EXPECT_EQ(log.matching(QStringLiteral("<ERR>")).filter(QStringLiteral("vantroq.unlock なし")).size(), 1);
    EXPECT_FALSE(probe->lockBusy());

    ASSERT_TRUE(board.writeFile(unlockFile, ""));
    EXPECT_TRUE(check()) << "an unlock file alone";
    EXPECT_FALSE(board.exists(unlockFile));
    EXPECT_FALSE(check()) << "nothing left to do";

    probe->lockBusy() = true;  // a refused Menu touch, no file
    EXPECT_TRUE(check());
}

TEST_F(ClockLockFile, AnUnreadableLockIsTriedAgainAndEveryPassRearms)
{
    ASSERT_TRUE(QDir().mkpath(board.path(lockFile)));
    QSignalSpy checks(MyTimer::getInstance(), &MyTimer::timeoutVnqLock);
    const auto tickAfter = [this](qint64 ms) {
        fakeClock.advanceMs(ms);
        MyTimer::getInstance()->unlockTimer();
        MyTimer::getInstance()->tickerTask();
    };
    EXPECT_FALSE(check());
    // Each pass (the first by hand, the next ones on the deadline) arms the next at + 5 s.
    for (int pass = 1; pass <= 3; ++pass) {
        tickAfter(4999);
        EXPECT_EQ(checks.count(), pass - 1);
        tickAfter(1);
        EXPECT_EQ(checks.count(), pass);
        EXPECT_TRUE(probe->lockBusy());
    }
}

TEST_F(ClockLockFile, AReloadClosesAnOpenPageOrAlert)
{
    addStubRow(PageTable::MovePage, 1);
    for (const bool alert : {false, true}) {
        SCOPED_TRACE(alert);
        QPointer<QObject> open;
        if (alert) {
            clock->showPopAlert(Form3PopAlart::NameAlert, QStringLiteral("山田"), QString(), QString());
            open = probe->popAlert();
        } else {
            clock->movePage(1, nullptr);
            open = probe->currentPage();
        }
        ASSERT_FALSE(open.isNull());
        int seen = 0;
        if (!alert) {
            QObject::connect(ICCardModule::getInstance(), &ICCardModule::cardTouch, open.data(), [&seen] { ++seen; });
        }
        ASSERT_TRUE(board.writeFile(unlockFile, ""));
        EXPECT_TRUE(check());
        EXPECT_TRUE(open.isNull());
        emit ICCardModule::getInstance()->cardTouch(true, QStringLiteral("0123456789ABCDEF"), 0, 7, QStringLiteral("鈴木"));
        touch(QStringLiteral("Exit"));
        EXPECT_EQ(seen, 0);
        EXPECT_EQ(probe->formActive(), 1);
    }
}

}  // namespace
