// The maintenance detail: system information, factory reset, stamp deletion and the
// touch-panel calibration.

#include "fakecloudlink.h"
#include "form4menteshosai.h"
#include "dbsetting.h"
#include "heartbeat.h"
#include "mytimer.h"
#include "settingsfixture.h"

#include <QDir>
#include <QFile>
#include <QPointer>

namespace {

class MenteShosai : public SettingsFixture {
protected:
    QString path(const char* boardPath) const { return board.path(QString::fromLatin1(boardPath)); }
    QString quoted(const char* boardPath) const { return QLatin1Char('\'') + path(boardPath) + QLatin1Char('\''); }

    // Each command as "run", "shell" or "detached" and its text, with the board root as "@".
    QStringList calls() const
    {
        static const char* const forms[] = {"shell", "run", "detached"};
        QStringList list;
        for (const auto& call : runner.calls())
            list << QString::fromLatin1(forms[int(call.form)]) + QLatin1Char(' ')
                        + QString(call.command).replace(board.path(QStringLiteral("/")), QStringLiteral("@/"));
        return list;
    }

    // A calibration run up to its done screen, the backup of the old calibration in place.
    QPointer<Form4MenteShosai> calibrated()
    {
        EXPECT_TRUE(board.writeFile(QStringLiteral("/etc/pointercal"), "2 0 0 0 2 0 1\n"));
        EXPECT_TRUE(board.writeFile(QStringLiteral("/etc/pointercal.bak"), "1 0 0 0 1 0 1\n"));
        QPointer<Form4MenteShosai> detail = new Form4MenteShosai(&host, QStringLiteral("03"));
        click(QStringLiteral("Start"));
        runner.clear();
        host.clearCalls();
        return detail;
    }

    QStringList restoreCommands() const
    {
        return {QStringLiteral("mv ") + quoted("/etc/pointercal.bak") + QLatin1Char(' ') + quoted("/etc/pointercal"),
                QStringLiteral("sync")};
    }
};

TEST_F(MenteShosai, SystemInformationOfEachEdition)
{
    ASSERT_TRUE(board.writeFile(QStringLiteral("/sys/class/net/eth0/address"), "02:00:00:0a:0b:0c\n"));
    const struct {
        ZSystem::_zmode edition;
        const char* golden;
    } cases[] = {{ZSystem::Basic, "menteshosai_info_basic"},
                 {ZSystem::Cloud, "menteshosai_info_cloud"},
                 {ZSystem::Merid, "menteshosai_info_merid"}};
    for (const auto& c : cases) {
        useEdition(c.edition);
        if (c.edition != ZSystem::Basic)
            vnq::test::FakeCloudLink::install(c.edition)->setClientKey(QStringLiteral("QOC01KEY"));
        const int before = mark();
        Form4MenteShosai detail(&host, QStringLiteral("00"));
        expectScreen(QString::fromLatin1(c.golden), updatesSince(before));
    }
}

TEST_F(MenteShosai, AnUnknownItemSendsNothingButStillGoesBack)
{
    for (const char* id : {"Back", "Pop_No", "Pop_back"}) {
        host.clearCalls();
        const int before = mark();
        QPointer<Form4MenteShosai> detail = new Form4MenteShosai(&host, QStringLiteral("07"));
        EXPECT_TRUE(updatesSince(before).isEmpty());
        click(QString::fromLatin1(id));
        EXPECT_EQ(host.calls(), QStringList{QStringLiteral("moveToMenu 27")}) << id;
        EXPECT_TRUE(detail.isNull());
    }
}

TEST_F(MenteShosai, FactoryResetRunsItsStepsAndTellsTheOutcome)
{
    const struct {
        const char* name;
        std::function<void(vnq::test::RecordingRunner&, const QString&)> script;
        const char* shown;
    } cases[] = {
        {"exit 0", [](vnq::test::RecordingRunner& r, const QString& s) { r.script(s, 0); }, "完了しました"},
        {"exit 1", [](vnq::test::RecordingRunner& r, const QString& s) { r.script(s, 1); }, "初期化に失敗しました"},
        {"killed", [](vnq::test::RecordingRunner& r, const QString& s) { r.script(s, -1); }, "初期化に失敗しました"},
        {"timed out", [](vnq::test::RecordingRunner& r, const QString& s) { r.scriptTimedOut(s); }, "初期化に失敗しました"},
    };
    const QString script = path("/VnQo/bin/vnq_restore");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        vnq::test::RecordingRunner runner;
        c.script(runner, script);
        int pausedCommands = 0;
        runner.onCommand = [&](const QString&) { pausedCommands += selfcheckpass.load() ? 1 : 0; };
        new Form4MenteShosai(&host, QStringLiteral("01"));
        const int before = mark();
        click(QStringLiteral("Pop_Yes"));
        const QStringList commands = runner.commands();
        ASSERT_FALSE(commands.isEmpty());
        EXPECT_EQ(commands.first(), script);
        EXPECT_FALSE(commands.filter(QStringLiteral("vnq_lighttpd_reboot")).isEmpty());
        EXPECT_FALSE(commands.filter(QStringLiteral("net_down.sh")).isEmpty());
        EXPECT_EQ(pausedCommands, commands.size());
        EXPECT_FALSE(selfcheckpass.load());
        EXPECT_TRUE(updatesSince(before).join(QString()).contains(expect::enc(QString::fromUtf8(c.shown))));
        EXPECT_EQ(log.matching(QStringLiteral("vnq_restore\" exit:")).isEmpty(), QByteArray(c.name) == "exit 0");
        log.clear();
        click(QStringLiteral("Pop_back"));
    }
}

TEST_F(MenteShosai, StampDeletionRunsOnlyItsScript)
{
    runner.clear();
    new Form4MenteShosai(&host, QStringLiteral("02"));
    runner.script(path("/VnQo/bin/vnq_dakoku_reset"), 1);
    const int before = mark();
    click(QStringLiteral("Pop_Yes"));
    EXPECT_EQ(runner.commands(), QStringList{path("/VnQo/bin/vnq_dakoku_reset")});
    EXPECT_TRUE(updatesSince(before).join(QString()).contains(expect::enc(QStringLiteral("削除に失敗しました"))));
}

TEST_F(MenteShosai, TheScreensOfEachFunction)
{
    for (const char* id : {"01", "02", "03"}) {
        QPointer<Form4MenteShosai> detail = new Form4MenteShosai(&host, QString::fromLatin1(id));
        const int before = mark();
        click(QString::fromLatin1(QByteArray(id) == "03" ? "Start" : "Pop_Yes"));
        const QStringList shown = updatesSince(before);
        expectScreen(QStringLiteral("menteshosai_run_%1").arg(QString::fromLatin1(id)), shown);
        delete detail;
    }
}

TEST_F(MenteShosai, ConfirmedCalibrationDropsTheBackup)
{
    ASSERT_TRUE(board.writeFile(QStringLiteral("/etc/pointercal"), "1 0 0 0 1 0 1\n"));
    new Form4MenteShosai(&host, QStringLiteral("03"));
    runner.clear();
    bool pausedDuringCalibration = false;
    runner.onCommand = [&](const QString& command) {
        if (command == QStringLiteral("ts_calibrate"))
            pausedDuringCalibration = selfcheckpass.load();
    };
    const int before = mark();
    click(QStringLiteral("Start"));
    EXPECT_TRUE(pausedDuringCalibration);
    EXPECT_FALSE(selfcheckpass.load());
    EXPECT_TRUE(updatesSince(before).join(QString()).contains(QStringLiteral("<action>Reinit</action>")));
    const QStringList expected{
        QStringLiteral("rm ") + quoted("/etc/pointercal.bak"),
        QStringLiteral("cp ") + quoted("/etc/pointercal") + QLatin1Char(' ') + quoted("/etc/pointercal.bak"),
        QStringLiteral("ts_calibrate"),
    };
    EXPECT_EQ(runner.commands().mid(0, 3), expected);
    runner.clear();
    click(QStringLiteral("Pop_back"));
    EXPECT_EQ(runner.commands(), (QStringList{QStringLiteral("rm ") + quoted("/etc/pointercal.bak"), QStringLiteral("sync")}));
    EXPECT_EQ(host.calls(), QStringList{QStringLiteral("moveToMenu 27")});
}

TEST_F(MenteShosai, LeavingWithoutConfirmationPutsTheOldCalibrationBack)
{
    ASSERT_TRUE(board.writeFile(QStringLiteral("/etc/pointercal.bak"), "1 0 0 0 1 0 1\n"));
    QPointer<Form4MenteShosai> detail = new Form4MenteShosai(&host, QStringLiteral("03"));
    runner.clear();
    host.returnPage(detail, false);
    EXPECT_EQ(runner.commands(), (QStringList{QStringLiteral("mv ") + quoted("/etc/pointercal.bak") + QLatin1Char(' ')
                                                  + quoted("/etc/pointercal"),
                                              QStringLiteral("sync")}));
    EXPECT_EQ(log.matching(QStringLiteral("キャリブレーション中断")).size(), 1);
}

TEST_F(MenteShosai, ACalibrationThatTimesOutIsUndone)
{
    ASSERT_TRUE(board.writeFile(QStringLiteral("/etc/pointercal.bak"), "1 0 0 0 1 0 1\n"));
    runner.scriptTimedOut(QStringLiteral("ts_calibrate"));
    new Form4MenteShosai(&host, QStringLiteral("03"));
    runner.clear();
    click(QStringLiteral("Start"));
    EXPECT_EQ(runner.commands().filter(QStringLiteral("mv ")).size(), 1);
}


TEST_F(MenteShosai, FactoryResetCommandsOfEachEdition)
{
    // With NTP off the basic edition starts no synchronisation and the cloud editions the
    // HTTP one; with NTP on every edition synchronises with the stored server.
    const QStringList down{QStringLiteral("run killall vnq_netif_watch"), QStringLiteral("run @/VnQo/etc/network/net_down.sh")};
    const QString script = QStringLiteral("run @/VnQo/bin/vnq_restore");
    const QString watch = QStringLiteral("detached @/VnQo/bin/vnq_netif_watch_starter");
    const QString lighttpd = QStringLiteral("shell @/VnQo/bin/vnq_lighttpd_reboot 80");
    const QString httpSync = QStringLiteral("shell @/VnQo/bin/vnq_sync_ntp_http  &");
    const QString ntpSync = QStringLiteral("shell @/VnQo/bin/vnq_sync_ntp 192.168.0.1 &");
    const struct {
        ZSystem::_zmode edition;
        bool ntpOn;
        bool networkFilesWritable;
        QStringList expected;
    } cases[] = {
        {ZSystem::Basic, false, true, QStringList{script, lighttpd} + down + QStringList{watch}},
        {ZSystem::Basic, true, true, QStringList{script, lighttpd, ntpSync} + down + QStringList{watch}},
        {ZSystem::Cloud, false, true, QStringList{script, httpSync} + down + QStringList{watch}},
        {ZSystem::Cloud, false, false, QStringList{script, httpSync} + down},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.edition) * 100 + int(c.ntpOn) * 10 + int(c.networkFilesWritable));
        useEdition(c.edition);
        ASSERT_TRUE(DBSetting::setSetting(QStringLiteral("NTPサーバーを使用"), c.ntpOn ? 1 : 0));
        const int octets[4] = {192, 168, 0, 1};
        for (int i = 0; i < 4; ++i)
            ASSERT_TRUE(DBSetting::setSetting(QStringLiteral("NTPサーバー%1").arg(i), octets[i]));
        ASSERT_TRUE(QDir(path("/VnQo/etc/network")).removeRecursively());
        if (c.networkFilesWritable) {
            ASSERT_TRUE(board.makeDir(QStringLiteral("/VnQo/etc/network/config/eth0")));
        }
        ASSERT_TRUE(DBSetting::setSetting(QStringLiteral("時計に戻る時間"), 1));
        MyTimer::getInstance()->stopClockModori();
        bool pausedThroughout = true;
        runner.onCommand = [&](const QString&) { pausedThroughout = pausedThroughout && selfcheckpass.load(); };
        new Form4MenteShosai(&host, QStringLiteral("01"));
        runner.clear();
        click(QStringLiteral("Pop_Yes"));
        EXPECT_EQ(calls(), c.expected);
        EXPECT_TRUE(pausedThroughout);
        EXPECT_FALSE(selfcheckpass.load());
        EXPECT_TRUE(MyTimer::getInstance()->clockModoriArmed());
        EXPECT_EQ(runner.calls().first().timeoutMs, Form4MenteShosai::ScriptTimeoutMs);
        click(QStringLiteral("Pop_back"));
    }
}

TEST_F(MenteShosai, TheQuestionAndStartScreens)
{
    for (const char* id : {"01", "02", "03"}) {
        const int before = mark();
        QPointer<Form4MenteShosai> detail = new Form4MenteShosai(&host, QString::fromLatin1(id));
        expectScreen(QStringLiteral("menteshosai_first_%1").arg(QString::fromLatin1(id)), updatesSince(before));
        delete detail;
    }
}

TEST_F(MenteShosai, AFailedScriptShowsTheFailureWindow)
{
    runner.scriptNotStarted(path("/VnQo/bin/vnq_dakoku_reset"));
    new Form4MenteShosai(&host, QStringLiteral("02"));
    const int before = mark();
    click(QStringLiteral("Pop_Yes"));
    expectScreen(QStringLiteral("menteshosai_failed_02"), updatesSince(before));
    EXPECT_EQ(log.matching(QStringLiteral("<ERR>")).size(), 1);
}

TEST_F(MenteShosai, LeavingTheCalibrationUnconfirmedRestoresTheOldOne)
{
    const struct {
        const char* name;
        std::function<void(QPointer<Form4MenteShosai>&)> leave;
    } cases[] = {
        {"page change on the done screen",
         [this](QPointer<Form4MenteShosai>& d) {
             d = calibrated();
             host.returnPage(d, false);
         }},
        {"Back on the start screen with a stale backup",
         [this](QPointer<Form4MenteShosai>& d) {
             ASSERT_TRUE(board.writeFile(QStringLiteral("/etc/pointercal.bak"), "1 0 0 0 1 0 1\n"));
             d = new Form4MenteShosai(&host, QStringLiteral("03"));
             runner.clear();
             click(QStringLiteral("Back"));
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QPointer<Form4MenteShosai> detail;
        const int before = mark();
        c.leave(detail);
        EXPECT_TRUE(detail.isNull());
        EXPECT_EQ(runner.commands(), restoreCommands());
        EXPECT_TRUE(updatesSince(before).join(QString()).contains(QStringLiteral("<action>Reinit</action>")));
        EXPECT_FALSE(selfcheckpass.load());
        QFile::remove(path("/etc/pointercal.bak"));
    }
}

TEST_F(MenteShosai, WithoutACalibrationFileNothingIsBackedUpOrRestored)
{
    runner.scriptTimedOut(QStringLiteral("ts_calibrate"));
    QPointer<Form4MenteShosai> detail = new Form4MenteShosai(&host, QStringLiteral("03"));
    click(QStringLiteral("Start"));
    host.returnPage(detail, false);
    EXPECT_TRUE(runner.commands().filter(QStringLiteral("mv ")).isEmpty());
}

TEST_F(MenteShosai, WithoutAReturnToClockAnUnconfirmedCalibrationIsUndoneAfterAMinute)
{
    ASSERT_TRUE(DBSetting::setSetting(QStringLiteral("時計に戻る時間"), 0));
    QPointer<Form4MenteShosai> detail = calibrated();
    fakeClock.advanceMs(59000);
    detail->checkConfirmationDeadline();
    EXPECT_TRUE(runner.commands().isEmpty());
    EXPECT_TRUE(host.calls().isEmpty());
    fakeClock.advanceMs(1000);
    detail->checkConfirmationDeadline();
    EXPECT_TRUE(detail.isNull());
    EXPECT_EQ(runner.commands(), restoreCommands());
    EXPECT_EQ(host.calls(), QStringList{QStringLiteral("moveToMenu 27")});
}

}  // namespace
