// The network setting detail: its keypads, where it returns, and the network brought up
// again after a save.

#include "dbsetting.h"
#include "form4netsetshosai.h"
#include "heartbeat.h"
#include "settingsfixture.h"

#include <QPointer>

namespace {

class NetSetShosai : public SettingsFixture {
protected:
    void SetUp() override
    {
        SettingsFixture::SetUp();
        useEdition(ZSystem::Cloud);
    }

    static int setting(const QString& name)
    {
        int value = -99;
        DBSetting::getSetting(name, &value);
        return value;
    }

    // Host calls and network commands in the order they came, each command with whether the
    // watchdog was held off and whether the wired configuration had been written by then.
    void recordEvents()
    {
        events.clear();
        host.onCall = [this](const QString& call) { events << QStringLiteral("host ") + call; };
        runner.onCommand = [this](const QString& command) {
            if (command.contains(QStringLiteral("aplay")))
                return;
            QString event = QString(command).replace(board.root(), QString());
            if (board.exists(QStringLiteral("/VnQo/etc/network/config/eth0/static.sh")))
                event += QStringLiteral(" (configured)");
            if (!selfcheckpass.load())
                event += QStringLiteral(" (watchdog armed)");
            events << event;
        };
    }

    QStringList events;
};

TEST_F(NetSetShosai, DrawsTheKeypadOfTheItem)
{
    const struct {
        const char* id;
        const char* golden;
    } cases[] = {{"00", "netsetshosai_address"}, {"05", "netsetshosai_dns"}, {"21", "netsetshosai_dhcp"}};
    for (const auto& c : cases) {
        const int before = mark();
        Form4NetSetShosai detail(&host, QString::fromLatin1(c.id));
        expectScreen(QString::fromLatin1(c.golden), updatesSince(before));
    }
}

TEST_F(NetSetShosai, BackReturnsToThePageThatListsTheItemWithoutTouchingTheNetwork)
{
    const struct {
        ZSystem::_zmode edition;
        const char* id;
        const char* key;
        int menu;
    } cases[] = {
        {ZSystem::Cloud, "00", "Back", 16},   {ZSystem::Cloud, "05", "Cancel", 16}, {ZSystem::Cloud, "10", "Back", 17},
        {ZSystem::Cloud, "14", "Back", 17},   {ZSystem::Cloud, "15", "Back", 17},   {ZSystem::Cloud, "90", "Back", 18},
        {ZSystem::Cloud, "91", "Cancel", 18}, {ZSystem::Cloud, "13", "Back", 15},   {ZSystem::Cloud, "22", "Back", 15},
        {ZSystem::Cloud, "x", "Back", 15},    {ZSystem::Merid, "02", "Back", 16},   {ZSystem::Merid, "24", "Back", 15},
        {ZSystem::Basic, "03", "Back", 15},   {ZSystem::Basic, "10", "Cancel", 16}, {ZSystem::Basic, "14", "Back", 16},
        {ZSystem::Basic, "x", "Back", 15},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.id) + " " + c.key);
        useEdition(c.edition);
        host.clearCalls();
        runner.clear();
        QPointer<Form4NetSetShosai> detail = new Form4NetSetShosai(&host, QString::fromLatin1(c.id));
        click(QString::fromLatin1(c.key));
        EXPECT_EQ(host.calls(), QStringList{QStringLiteral("moveToMenu %1").arg(c.menu)});
        EXPECT_TRUE(detail.isNull());
        EXPECT_TRUE(runner.commands().isEmpty());
    }
}

TEST_F(NetSetShosai, ASaveBringsTheNetworkUpAgainBeforeReturning)
{
    ASSERT_TRUE(board.makeDir(QStringLiteral("/VnQo/etc/network/config/eth0")));
    ASSERT_TRUE(board.makeDir(QStringLiteral("/VnQo/etc/network/config/wlan0")));
    const struct {
        const char* name;
        ZSystem::_zmode edition;
        const char* id;
        const char* typed;
        QList<QPair<QString, int>> rows;
        const char* hostCall;
    } cases[] = {
        {"address",
         ZSystem::Cloud,
         "00",
         "192168000120",
         {{QStringLiteral("IPアドレス0"), 192},
          {QStringLiteral("IPアドレス1"), 168},
          {QStringLiteral("IPアドレス2"), 0},
          {QStringLiteral("IPアドレス3"), 120}},
         "moveToMenu 16"},
        {"port, basic edition", ZSystem::Basic, "03", "8080", {{QStringLiteral("ポート番号"), 8080}}, "moveToMenu 15"},
        {"proxy port", ZSystem::Cloud, "91", "3128", {{QStringLiteral("プロキシポート番号"), 3128}}, "moveToMenu 18"},
    };
    ASSERT_TRUE(DBSetting::setSetting(QStringLiteral("DHCPの設定"), 0));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        useEdition(c.edition);
        QFile::remove(board.path(QStringLiteral("/VnQo/etc/network/config/eth0/static.sh")));
        QPointer<Form4NetSetShosai> detail = new Form4NetSetShosai(&host, QString::fromLatin1(c.id));
        type(QString::fromLatin1(c.typed));
        recordEvents();
        click(QStringLiteral("_BG_Enter"));
        for (const auto& row : c.rows)
            EXPECT_EQ(setting(row.first), row.second) << row.first.toStdString();
        const QStringList expected{
            QStringLiteral("host changeSettings"),
            QStringLiteral("killall vnq_netif_watch"),
            QStringLiteral("/VnQo/etc/network/net_down.sh"),
            QStringLiteral("killall vnq_netif_watch (configured)"),
            QStringLiteral("/VnQo/etc/network/net_down.sh (configured)"),
            QStringLiteral("/VnQo/bin/vnq_netif_watch_starter (configured)"),
            QStringLiteral("host ") + QString::fromLatin1(c.hostCall),
        };
        EXPECT_EQ(events, expected);
        ASSERT_FALSE(runner.calls().isEmpty());
        EXPECT_EQ(runner.calls().last().form, vnq::test::RecordingRunner::Form::Detached);
        EXPECT_TRUE(detail.isNull());
        EXPECT_FALSE(selfcheckpass.load());
    }
}

TEST_F(NetSetShosai, AFailedNetworkStartIsLoggedAndTheScreenStillReturns)
{
    ASSERT_TRUE(board.writeFile(QStringLiteral("/VnQo/etc/network/config"), "not a directory\n"));
    QPointer<Form4NetSetShosai> detail = new Form4NetSetShosai(&host, QStringLiteral("00"));
    type(QStringLiteral("192168000120"));
    log.clear();
    click(QStringLiteral("_BG_Enter"));
    EXPECT_EQ(setting(QStringLiteral("IPアドレス3")), 120);
    EXPECT_EQ(log.matching(QStringLiteral("<ERR>")).filter(QStringLiteral("IPアドレス")).size(), 1);
    EXPECT_EQ(host.calls(), (QStringList{QStringLiteral("changeSettings"), QStringLiteral("moveToMenu 16")}));
    EXPECT_TRUE(detail.isNull());
}

TEST_F(NetSetShosai, PingChecksGatewaysAndNameServersOnly)
{
    const struct {
        const char* id;
        const char* command;  // null: nothing runs
        int times;
    } cases[] = {
        {"02", "ping -c 1 -W 2 192.168.0.1", 4},
        {"12", "ping -c 1 -W 2 192.168.0.1", 4},
        {"05", "nslookup example.com 192.168.0.1", 1},
        {"15", "nslookup example.com 192.168.0.1", 1},
        {"00", nullptr, 0},
        {"90", nullptr, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        runner.clear();
        Form4NetSetShosai detail(&host, QString::fromLatin1(c.id));
        click(QStringLiteral("Ping"));
        const QStringList ran = runner.commands();
        if (c.command)
            EXPECT_EQ(ran.filter(QString::fromLatin1(c.command)).size(), c.times);
        else
            EXPECT_TRUE(ran.isEmpty()) << ran.join(QLatin1Char('|')).toStdString();
    }
}

}  // namespace
