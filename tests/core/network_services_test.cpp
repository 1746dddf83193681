#include "dbproxy.h"
#include "networkmanager.h"
#include "networktestboard.h"

#include <QProcess>

#include <tuple>
#include <vector>

namespace {

using vnq::test::RecordingRunner;

class NetServices : public vnq::test::NetworkBoard {
protected:
    void setProxy(int use, int auth, const QString& address, int port, const QString& id = QString(),
                  const QString& password = QString())
    {
        set(QStringLiteral("プロキシ設定"), use);
        set(QStringLiteral("プロキシ認証"), auth);
        setAddress(QStringLiteral("プロキシアドレス"), address);
        set(QStringLiteral("プロキシポート番号"), port);
        ASSERT_TRUE(DBProxy::setId(QStringLiteral("プロキシ認証"), id));
        ASSERT_TRUE(DBProxy::setPass(QStringLiteral("プロキシ認証"), password));
    }
};

const QString netstatLine = QStringLiteral("sh -c \"netstat -nt | grep ESTABLISHED\"");

// --- The connection check on the web-service port ---

TEST_F(NetServices, PortCheckMatchesTheLocalPortExactly)
{
    const std::vector<std::tuple<int, const char*, bool>> cases{
        {80, "tcp        0      0 192.168.0.100:8080      192.168.0.9:51000       ESTABLISHED\n", false},
        {80, "tcp        0      0 192.168.0.100:80        192.168.0.9:51000       ESTABLISHED\n", true},
        {80, "tcp        0      0 192.168.0.100:38012     192.168.0.80:80         ESTABLISHED\n", false},
        {80, "tcp        0      0 192.168.0.80:51000      192.168.0.9:443         ESTABLISHED\n", false},
        {80, "tcp        0      0 192.168.0.100:443       192.168.0.9:51000       ESTABLISHED\n"
             "tcp6       0      0 ::ffff:192.168.0.100:80 ::ffff:192.168.0.9:51001 ESTABLISHED\n", true},
        {8080, "tcp        0      0 192.168.0.100:8080      192.168.0.9:51000       ESTABLISHED\n", true},
        {80, "", false},
    };
    for (const auto& c : cases) {
        set(QStringLiteral("ポート番号"), std::get<0>(c));
        runner.clear();
        runner.script(netstatLine, 0, std::get<1>(c));
        EXPECT_EQ(NetworkManager::apiPortStatus(), std::get<2>(c)) << std::get<0>(c) << " " << std::get<1>(c);
        ASSERT_EQ(runner.calls().size(), 1);
        EXPECT_EQ(runner.calls().first().form, RecordingRunner::Form::Run);
        EXPECT_EQ(QProcess::splitCommand(runner.calls().first().command),
                  (QStringList{QStringLiteral("sh"), QStringLiteral("-c"), QStringLiteral("netstat -nt | grep ESTABLISHED")}));
    }
}

TEST_F(NetServices, WebServerRestartsOnTheConfiguredPort)
{
    set(QStringLiteral("ポート番号"), 8080);
    EXPECT_TRUE(NetworkManager::webServerRestart());
    ASSERT_EQ(runner.calls().size(), 1);
    EXPECT_EQ(runner.calls().first().form, RecordingRunner::Form::Shell);
    EXPECT_EQ(runner.calls().first().command, boardScript(QStringLiteral("/VnQo/bin/vnq_lighttpd_reboot")) + " 8080");

    runner.clear();
    drop(QStringLiteral("ポート番号"));
    EXPECT_FALSE(NetworkManager::webServerRestart());
    EXPECT_TRUE(runner.calls().isEmpty());
}

// --- curl proxy options ---

TEST_F(NetServices, ProxyOptionsFollowTheSettings)
{
    setProxy(0, 1, QStringLiteral("10.0.0.1"), 8080, QStringLiteral("user"), QStringLiteral("pw"));
    EXPECT_EQ(NetworkManager::curlProxyOpt(), QString());
    EXPECT_EQ(log.matching(QStringLiteral("<IFO>")).filter(QStringLiteral("プロキシ未使用")).size(), 1);

    setProxy(1, 0, QStringLiteral("10.0.0.1"), 3128, QStringLiteral("user"), QStringLiteral("pw"));
    EXPECT_EQ(NetworkManager::curlProxyOpt(), QStringLiteral("--proxy 10.0.0.1:3128 "));

    setProxy(1, 1, QStringLiteral("10.0.0.1"), 3128, QStringLiteral("user"), QStringLiteral("pw"));
    EXPECT_EQ(NetworkManager::curlProxyOpt(), QStringLiteral("--proxy-anyauth -U 'user':'pw' --proxy 10.0.0.1:3128 "));

    set(QStringLiteral("プロキシアドレス2"), -1);
    log.clear();
    EXPECT_EQ(NetworkManager::curlProxyOpt(), QString());
    EXPECT_EQ(log.matching(QStringLiteral("プロキシ未使用")).size(), 1);
}

// The options go into shell lines: the shell must hand curl the id and password exactly as
// typed, run nothing, and the log must not show the password.
TEST_F(NetServices, ProxyCredentialsReachTheShellAsTypedAndStayOutOfTheLog)
{
    const QString id = QStringLiteral("o'neil %2 $(reboot)");
    const QString password = QStringLiteral("p'w`reboot`;reboot %1 secret");
    setProxy(1, 1, QStringLiteral("192.168.5.6"), 8080, id, password);

    const QString options = NetworkManager::curlProxyOpt();

    EXPECT_EQ(options, QStringLiteral("--proxy-anyauth -U 'o'\"'\"'neil %2 $(reboot)':'p'\"'\"'w`reboot`;reboot %1 secret' "
                                      "--proxy 192.168.5.6:8080 "));
    const QByteArray words = runShell(QStringLiteral("printf '[%s]' ") + options);
    EXPECT_EQ(QString::fromUtf8(words), "[--proxy-anyauth][-U][" + id + ":" + password + "][--proxy][192.168.5.6:8080]");
    EXPECT_FALSE(somethingRan());

    const QStringList used = log.matching(QStringLiteral("プロキシ使用:"));
    ASSERT_EQ(used.size(), 1);
    EXPECT_TRUE(used.first().contains(QStringLiteral("<IFO>")));
    EXPECT_TRUE(used.first().contains(QStringLiteral("':'****' --proxy 192.168.5.6:8080 ")));
    EXPECT_TRUE(log.matching(QStringLiteral("secret")).isEmpty());
}

// --- Clock synchronisation ---

struct SyncCase {
    const char* name;
    int edition;
    int useNtp;
    const char* server;  // dotted, "-1" octets allowed
    const char* script;  // nullptr: nothing started
    const char* argument;
    const char* logLine;
};

void PrintTo(const SyncCase& c, std::ostream* os)
{
    *os << c.name;
}

class ClockSync : public NetServices, public ::testing::WithParamInterface<std::tuple<SyncCase, bool>> {};

TEST_P(ClockSync, StartsTheScriptTheSettingsCallFor)
{
    const SyncCase& c = std::get<0>(GetParam());
    const bool forced = std::get<1>(GetParam());
    ZSystem::setMode(ZSystem::_zmode(c.edition));
    set(QStringLiteral("NTPサーバーを使用"), c.useNtp);
    setAddress(QStringLiteral("NTPサーバー"), QLatin1String(c.server));
    setProxy(1, 0, QStringLiteral("10.0.0.1"), 3128);

    const bool started = forced ? NetworkManager::syncNtpServerDouki() : NetworkManager::syncNtpServer();

    EXPECT_EQ(started, c.script != nullptr);
    if (c.script) {
        const QString script = QLatin1String(c.script) + QLatin1String(forced ? "_douki" : "");
        ASSERT_EQ(runner.calls().size(), 1);
        EXPECT_EQ(runner.calls().first().form, RecordingRunner::Form::Shell);
        EXPECT_EQ(runner.calls().first().command,
                  boardScript(script) + " " + QLatin1String(c.argument) + " &");
    } else {
        EXPECT_TRUE(runner.calls().isEmpty());
    }
    // The text is a literal part of the line, right after the source line, not a quoted value.
    const QString line = QStringLiteral("]: ") + QString::fromUtf8(forced ? "[強制]" : "") + QString::fromUtf8(c.logLine);
    const QStringList lines = log.matching(QStringLiteral("<IFO>")).filter(line);
    EXPECT_EQ(lines.size(), 1) << qPrintable(log.messages().join(QLatin1Char('\n')));
    if (!forced) {
        EXPECT_TRUE(log.matching(QStringLiteral("[強制]")).isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Settings, ClockSync,
    ::testing::Combine(
        ::testing::Values(
            SyncCase{"NtpServer", 0, 1, "192.168.0.10", "/VnQo/bin/vnq_sync_ntp", "192.168.0.10", "NTP同期:"},
            SyncCase{"NtpServerCloud", 1, 1, "10.0.0.123", "/VnQo/bin/vnq_sync_ntp", "10.0.0.123", "NTP同期:"},
            SyncCase{"UnsetServer", 1, 1, "192.168.-1.10", nullptr, "", "NTP同期 不可（-1）"},
            SyncCase{"AllZeroServer", 2, 1, "0.0.0.0", nullptr, "", "NTP同期 不可（ALL 0）"},
            SyncCase{"NoNtpBasic", 0, 0, "192.168.0.10", nullptr, "", "NTPサーバを使用しない"},
            SyncCase{"HttpTimeCloud", 1, 0, "192.168.0.10", "/VnQo/bin/vnq_sync_ntp_http", "--proxy 10.0.0.1:3128 ",
                     "HTTP時計同期:"},
            SyncCase{"HttpTimeMerid", 2, 0, "0.0.0.0", "/VnQo/bin/vnq_sync_ntp_http", "--proxy 10.0.0.1:3128 ",
                     "HTTP時計同期:"}),
        ::testing::Bool()),
    [](const ::testing::TestParamInfo<std::tuple<SyncCase, bool>>& info) {
        return std::string(std::get<0>(info.param).name) + (std::get<1>(info.param) ? "Forced" : "");
    });

TEST_F(NetServices, HttpSyncLogMasksTheProxyPassword)
{
    ZSystem::setMode(ZSystem::Cloud);
    set(QStringLiteral("NTPサーバーを使用"), 0);
    setProxy(1, 1, QStringLiteral("10.0.0.1"), 3128, QStringLiteral("user"), QStringLiteral("secret"));

    EXPECT_TRUE(NetworkManager::syncNtpServer());

    ASSERT_EQ(runner.calls().size(), 1);
    EXPECT_TRUE(runner.calls().first().command.contains(QStringLiteral("-U 'user':'secret' ")));
    EXPECT_EQ(log.matching(QStringLiteral("HTTP時計同期:")).size(), 1);
    EXPECT_TRUE(log.matching(QStringLiteral("secret")).isEmpty());
}

}  // namespace
