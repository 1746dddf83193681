#include "clockfixture.h"

#include "dbproxy.h"
#include "fakecloudlink.h"
#include "heartbeat.h"
#include "networkmanager.h"

#include <QProcess>
#include <QSignalSpy>
#include <QVector>

namespace {

using vnq::test::FakeCloudLink;
using vnq::test::RecordingRunner;

const QString netUp = QStringLiteral("/VnQo/etc/network/net_up.sh");
const QString download = QStringLiteral("/VnQo/var/opt/zImageDownload.sh");

class ClockCloudStart : public ClockFixture {
protected:
    // The level file's content for an antenna level.
    static QByteArray levelReading(int level)
    {
        static const char* const dbm[] = {"0", "-80", "-70", "-50", "-30"};
        return QByteArray(dbm[level]) + "\n";
    }

    // Builds the clock of the cloud edition; each wait second the next reading is on the
    // level file.
    void startCloudClock(const QList<int>& readings = {})
    {
        ZSystem::setMode(ZSystem::Cloud);
        link = FakeCloudLink::install(ZSystem::Cloud);
        link->setAnswerAtOnce(false);
        link->setAllUpdateOption(QStringLiteral("failed"));
        int second = 0;
        fakeClock.onSleep = [this, readings, &second](qint64) {
            if (second < readings.size())
                board.writeFile(QStringLiteral("/sys/class/net/wlan0/wireless/level"), levelReading(readings.at(second)));
            ++second;
        };
        const qint64 startMs = fakeClock.monotonicMs();
        const int ticks = selftick;
        clock = new Form1Clock();
        probe = std::make_unique<Form1ClockProbe>(clock);
        fakeClock.onSleep = nullptr;
        sleptSeconds = (fakeClock.monotonicMs() - startMs) / 1000;
        heartbeats = selftick - ticks;
    }

    QStringList openingTexts() const
    {
        QStringList texts;
        for (const QString& update : peer.updates())
            texts << vnq::test::transcriptOf(update).section(QStringLiteral("<text>"), 1, 1).section(QLatin1Char('<'), 0, 0);
        return texts;
    }

    FakeCloudLink* link = nullptr;
    qint64 sleptSeconds = 0;
    int heartbeats = 0;
};

TEST_F(ClockCloudStart, WaitsTextsAndTheFirstRequest)
{
    const struct {
        const char* name;
        bool wireless;
        QList<int> readings;
        int dhcp;
        bool kernelImage;
        qint64 seconds;
        int renewals;
    } cases[] = {
        {"wired", false, {}, 1, true, 8, 0},
        {"wireless, three good in a row at the fifth", true, {2, 0, 3, 3, 4}, 1, false, 16, 1},
        {"wireless, static address", true, {1, 1, 1}, 0, true, 14, 0},
        {"wireless, never a signal", true, QVector<int>(20, 0).toList(), 1, true, 28, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        delete clock;
        clock = nullptr;
        peer.clearUpdates();
        runner.clear();
        setSetting("無線LAN", c.wireless ? 1 : 0);
        setSetting("DHCPの設定", c.dhcp);
        if (c.kernelImage) {
            ASSERT_TRUE(board.writeFile(QStringLiteral("/root/zImage.20171127"), "image"));
        } else {
            QFile::remove(board.path(QStringLiteral("/root/zImage.20171127")));
        }

        startCloudClock(c.readings);
        QStringList texts{QStringLiteral("ネットワーク初期化中")};
        if (!c.kernelImage)
            texts << QStringLiteral("更新ファイルダウンロード中");
        ASSERT_TRUE(peer.waitForUpdates(texts.size()));
        EXPECT_EQ(openingTexts(), texts);
        EXPECT_EQ(sleptSeconds, c.seconds);
        EXPECT_EQ(heartbeats, c.seconds + texts.size()) << "one a second, one a progress text";
        EXPECT_EQ(runner.commands().filter(netUp).size(), c.renewals);
        EXPECT_EQ(runner.commands().filter(download).size(), c.kernelImage ? 0 : 1);
        EXPECT_EQ(link->operations(), QStringList{"startDataRequest"});
        EXPECT_EQ(link->calls().value(0).args, QVariantList{1});
        EXPECT_EQ(probe->formActive(), 0);

        // The clock comes up when the first request ends, failed or not.
        QSignalSpy deadlines(MyTimer::getInstance(), &MyTimer::timeoutDataRequest);
        const int before = peer.updates().size();
        link->answerPending();
        ASSERT_TRUE(peer.waitForUpdates(before + 1));
        EXPECT_TRUE(vnq::test::transcriptOf(peer.updates().at(before)).contains(QStringLiteral("時計画面_背景.png")));
        EXPECT_NE(probe->formActive(), 0) << "the clock is shown";
        fakeClock.advanceMs(3600 * 1000);
        MyTimer::getInstance()->unlockTimer();
        MyTimer::getInstance()->tickerTask();
        EXPECT_EQ(deadlines.count(), 1) << "the next data request is armed";
        link->clearCalls();
    }
}

TEST_F(ClockCloudStart, TheDownloadGetsTheProxyOptionsAsOneArgumentWithoutAShell)
{
    setSetting("プロキシ設定", 1);
    setSetting("プロキシ認証", 1);
    for (const char* octet : {"プロキシアドレス0", "プロキシアドレス1", "プロキシアドレス2", "プロキシアドレス3"})
        setSetting(octet, 10);
    setSetting("プロキシポート番号", 8080);
    ASSERT_TRUE(DBProxy::setId(QStringLiteral("プロキシ認証"), QStringLiteral("a'b")));
    ASSERT_TRUE(DBProxy::setPass(QStringLiteral("プロキシ認証"), QStringLiteral("x\"$(reboot)")));
    const QString options = NetworkManager::curlProxyOpt();
    ASSERT_TRUE(options.contains(QStringLiteral("x\"$(reboot)")));
    runner.scriptTimedOut(board.path(download));
    log.clear();

    startCloudClock();

    QList<RecordingRunner::Call> downloads;
    for (const RecordingRunner::Call& call : runner.calls())
        if (call.command.contains(download))
            downloads << call;
    ASSERT_EQ(downloads.size(), 1);
    EXPECT_EQ(downloads[0].form, RecordingRunner::Form::Run);
    EXPECT_EQ(downloads[0].timeoutMs, 600 * 1000);
    EXPECT_EQ(QProcess::splitCommand(downloads[0].command), (QStringList{board.path(download), options}));
    EXPECT_TRUE(log.matching(QStringLiteral("$(reboot)")).isEmpty()) << "the password stays out of the log";
    EXPECT_FALSE(log.matching(download).filter(QStringLiteral("****")).isEmpty());
    EXPECT_FALSE(log.matching(QStringLiteral("<ERR>")).filter(QStringLiteral("ダウンロード時間切れ")).isEmpty());
    EXPECT_FALSE(selfcheckpass) << "cleared after the call that outlasted its bound";
}

TEST_F(ClockCloudStart, WithoutAWorkerTheClockComesUpAllTheSame)
{
    ZSystem::setMode(ZSystem::Cloud);
    QSignalSpy deadlines(MyTimer::getInstance(), &MyTimer::timeoutDataRequest);
    clock = new Form1Clock();
    probe = std::make_unique<Form1ClockProbe>(clock);
    EXPECT_EQ(log.matching(QStringLiteral("<ERR>")).filter(QStringLiteral("クラウド接続なし")).size(), 1);
    EXPECT_EQ(probe->formActive(), 1);
    ASSERT_TRUE(peer.waitForUpdates(2));
    EXPECT_TRUE(vnq::test::transcriptOf(peer.lastUpdate()).contains(QStringLiteral("時計画面_背景.png")));
    fakeClock.advanceMs(3600 * 1000);
    MyTimer::getInstance()->unlockTimer();
    MyTimer::getInstance()->tickerTask();
    EXPECT_EQ(deadlines.count(), 1);
}

}  // namespace
