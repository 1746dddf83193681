// The wireless LAN screen: its views, the access-point list and its paging, the keyboard on
// the SSID and the key, storing exactly what was typed, the connection check and what the
// screen applies when it goes.

#include "dbsetting.h"
#include "dbwifi.h"
#include "form4netsetwifi.h"
#include "heartbeat.h"
#include "keyboardtyping.h"
#include "mytimer.h"
#include "settingsfixture.h"
#include "shellprobe.h"

#include <QPointer>

#include <vector>

namespace {

const QString profile = QStringLiteral("無線LAN設定");
const QString validMark = QStringLiteral("../Parts/05無線LAN設定/有効.png");

struct Profile {
    QString ssid;
    QString key;
    QString security;
};

class NetSetWifi : public SettingsFixture {
protected:
    void SetUp() override
    {
        SettingsFixture::SetUp();
        for (const char* dir : {"eth0", "wlan0"})
            ASSERT_TRUE(board.makeDir(QStringLiteral("/VnQo/etc/network/config/") + QLatin1String(dir)));
        setProfile({QStringLiteral("office"), QStringLiteral("secret"), QStringLiteral("WPA2")});
        setAntenna(0);
    }

    static void setProfile(const Profile& p)
    {
        ASSERT_TRUE(DBWifi::setWifiSsid(profile, p.ssid));
        ASSERT_TRUE(DBWifi::setWifiPassword(profile, p.key));
        ASSERT_TRUE(DBWifi::setWifiSecurity(profile, p.security));
    }
    static Profile stored()
    {
        Profile p;
        EXPECT_TRUE(DBWifi::getWifi(profile, &p.ssid, &p.key, &p.security));
        return p;
    }

    // The signal as the driver's level file and the interface watch report it.
    void setAntenna(int level)
    {
        const char* const dbmOfLevel[] = {"0", "-80", "-70", "-50", "-30"};
        const QByteArray dbm = dbmOfLevel[qBound(0, level, 4)];
        ASSERT_TRUE(board.writeFile(QStringLiteral("/sys/class/net/wlan0/wireless/level"), dbm + "\n"));
        ASSERT_TRUE(board.writeFile(QStringLiteral("/var/tmp/network.status"), "\n\n\n\n\n\n\n\n" + dbm + "\n\n"));
    }

    void typeText(const QString& text)
    {
        for (const QChar c : text)
            click(keyFor(c));
    }

    // The network commands run so far, in order.
    QStringList networkCommands() const
    {
        QStringList commands;
        for (const QString& command : runner.commands()) {
            if (command.contains(QStringLiteral("netif_watch")) || command.contains(QStringLiteral("net_down")))
                commands << command;
        }
        return commands;
    }
};

TEST_F(NetSetWifi, MainViewShowsTheValidMarkOnlyWithASignal)
{
    const struct {
        int level;
        const char* golden;
    } cases[] = {{3, "wifi_main_level3"}, {0, "wifi_main_level0"}};
    for (const auto& c : cases) {
        setAntenna(c.level);
        const int before = mark();
        auto* screen = new Form4NetSetWifi(&host, QStringLiteral("14"));
        expectScreen(QString::fromLatin1(c.golden), updatesSince(before));
        delete screen;
    }
}

TEST_F(NetSetWifi, AccessPointListPagesWithItsSounds)
{
    QByteArray scan;
    for (int i = 1; i <= 12; ++i)
        scan += QStringLiteral("Cell %1\n  ESSID:\"ap%2\"\n").arg(i).arg(i, 2, 10, QLatin1Char('0')).toUtf8();
    runner.script(QStringLiteral("iwlist wlan0 scanning"), 0, scan);
    setProfile({QStringLiteral("ap07"), QStringLiteral("secret"), QStringLiteral("WPA2")});
    QPointer<Form4NetSetWifi> screen = new Form4NetSetWifi(&host, QStringLiteral("14"));

    const int before = mark();
    click(QStringLiteral("Mode_ID_SRCH"));
    click(QStringLiteral("Ssid_D_BG_"));
    click(QStringLiteral("Ssid_D_BG_"));
    expectScreen(QStringLiteral("wifi_list"), updatesSince(before));
    EXPECT_EQ(sounds(), QStringList({QStringLiteral("BUTTON.wav"), QStringLiteral("BUTTON.wav")}));

    const int afterPaging = mark();
    for (const char* refused : {"Ssid_D_BG_", "Ssid_4"})
        click(QString::fromLatin1(refused));
    EXPECT_TRUE(updatesSince(afterPaging).isEmpty());
    for (const char* back : {"Ssid_U_BG_", "Ssid_U_BG_", "Ssid_U_BG_"})
        click(QString::fromLatin1(back));
    EXPECT_EQ(sounds(), QStringList({QStringLiteral("BUTTON.wav"), QStringLiteral("BUTTON.wav"), QStringLiteral("ERROR.wav"),
                                     QStringLiteral("ERROR.wav"), QStringLiteral("BUTTON.wav"), QStringLiteral("BUTTON.wav"),
                                     QStringLiteral("ERROR.wav")}));

    // The marked entry becomes the SSID; the key stays.
    click(QStringLiteral("Ssid_2"));
    click(QStringLiteral("Ssid_E"));
    EXPECT_EQ(stored().ssid, QStringLiteral("ap02"));
    EXPECT_EQ(stored().key, QStringLiteral("secret"));
    delete screen;
}

TEST_F(NetSetWifi, SsidKeyboardHasItsTitle)
{
    QPointer<Form4NetSetWifi> screen = new Form4NetSetWifi(&host, QStringLiteral("14"));
    const int before = mark();
    click(QStringLiteral("Mode_ID_INP"));
    expectScreen(QStringLiteral("wifi_ssid_keyboard"), updatesSince(before));
    delete screen;
}

TEST_F(NetSetWifi, TypedSsidAndKeyAreStoredShownAndWrittenExactly)
{
    const QString ssid = QStringLiteral("a'b $(reboot)");
    const QString keyWord = QStringLiteral("Qx7Kp9");
    QString key = QStringLiteral("k\"e\\y'%1`x`") + keyWord;
    key += QString(64 - key.size(), QLatin1Char('z'));
    ASSERT_TRUE(DBSetting::setSetting(QStringLiteral("無線LAN"), 1));
    setProfile({QString(), QString(), QStringLiteral("WPA2")});
    QPointer<Form4NetSetWifi> screen = new Form4NetSetWifi(&host, QStringLiteral("14"));

    click(QStringLiteral("Mode_ID_INP"));
    typeText(ssid);
    click(QStringLiteral("Full_Enter"));
    click(QStringLiteral("Mode_PW_INP"));
    typeText(key + QStringLiteral("over"));
    const int before = mark();
    click(QStringLiteral("Full_Enter"));

    EXPECT_EQ(stored().ssid, ssid);
    EXPECT_EQ(stored().key, key);
    const QString drawn = updatesSince(before).join(QString());
    EXPECT_TRUE(drawn.contains(expect::text(ssid, 132, 106, 20, 0, 0, 0, 0)));
    EXPECT_TRUE(drawn.contains(expect::text(key.left(16) + QStringLiteral(".."), 132, 144, 20, 0, 0, 0, 0)));
    EXPECT_TRUE(sounds().isEmpty());

    // Leaving without a confirmed connection writes the profile for the network scripts.
    click(QStringLiteral("Exit"));
    ASSERT_TRUE(screen.isNull());
    const QString file = board.path(QStringLiteral("/VnQo/etc/network/config/wlan0/wifi.sh"));
    const QByteArray out = vnq::test::runShellProbe(
        board, QStringLiteral(". '%1'; printf '%s|%s' \"$WLAN_ESSID\" \"$WLAN_PASS\"").arg(file));
    EXPECT_EQ(QString::fromUtf8(out), ssid + QStringLiteral("|") + key);
    EXPECT_FALSE(vnq::test::shellProbeRanSomething(board));
    EXPECT_TRUE(log.matching(keyWord).isEmpty()) << qPrintable(log.matching(keyWord).join(QLatin1Char('\n')));
}

struct CheckCase {
    const char* name;
    std::vector<int> levels;  // repeated when the check reads more
    int readings;
    bool confirmed;
};

TEST_F(NetSetWifi, ConnectionCheckWaitsForFourGoodReadingsInARow)
{
    const CheckCase cases[] = {
        {"confirmed on the seventh", {2, 3, 0, 1, 2, 2, 4}, 7, true},
        {"never four in a row", {3, 3, 3, 0}, 30, false},
    };
    MyTimer* timer = MyTimer::getInstance();
    for (const CheckCase& c : cases) {
        SCOPED_TRACE(c.name);
        QPointer<Form4NetSetWifi> screen = new Form4NetSetWifi(&host, QStringLiteral("14"));
        click(QStringLiteral("Sec_WPA"));
        timer->setClockModori();
        ASSERT_TRUE(timer->clockModoriArmed());
        host.clearCalls();
        runner.clear();

        QStringList order;
        host.onCall = [&](const QString& call) { order << call; };
        QString securityAtFirstCommand;
        runner.onCommand = [&](const QString& command) {
            if (securityAtFirstCommand.isEmpty())
                securityAtFirstCommand = stored().security;
            if (command.contains(QStringLiteral("net")))
                order << command;
        };
        int readings = 0;
        bool deadlineOff = true;
        bool watchdogPaused = true;
        fakeClock.onSleep = [&](qint64) {
            setAntenna(c.levels.at(readings % c.levels.size()));
            ++readings;
            deadlineOff = deadlineOff && !timer->clockModoriArmed();
            watchdogPaused = watchdogPaused && selfcheckpass;
        };
        const qint64 startMs = fakeClock.monotonicMs();
        const int before = mark();
        click(QStringLiteral("Check_AP"));
        fakeClock.onSleep = nullptr;
        host.onCall = nullptr;
        runner.onCommand = nullptr;

        EXPECT_EQ(readings, c.readings);
        EXPECT_EQ(fakeClock.monotonicMs() - startMs, c.readings * 1000);
        EXPECT_TRUE(deadlineOff);
        EXPECT_TRUE(watchdogPaused);
        EXPECT_TRUE(timer->clockModoriArmed());
        EXPECT_EQ(securityAtFirstCommand, QStringLiteral("WPA"));
        const QString downScript = board.path(QStringLiteral("/VnQo/etc/network/net_down.sh"));
        EXPECT_EQ(order, QStringList({QStringLiteral("changeSettings"), QStringLiteral("killall vnq_netif_watch"), downScript,
                                      QStringLiteral("killall vnq_netif_watch"), downScript,
                                      board.path(QStringLiteral("/VnQo/bin/vnq_netif_watch_starter"))}));

        const QStringList updates = updatesSince(before);
        ASSERT_FALSE(updates.isEmpty());
        const QString antenna = QStringLiteral("../Parts/05無線LAN設定/アンテナ");
        EXPECT_EQ(updates.last().contains(expect::image(validMark, 135, 65)), c.confirmed);
        EXPECT_EQ(updates.last().contains(expect::image(antenna + QStringLiteral("4.png"), 260, 65)), c.confirmed);
        EXPECT_EQ(updates.last().contains(expect::enc(antenna)), c.confirmed);

        runner.clear();
        delete screen;
        EXPECT_EQ(networkCommands().isEmpty(), c.confirmed);
    }
}

TEST_F(NetSetWifi, LeavingAppliesTheSecurityOnlyWithoutAConfirmedConnection)
{
    const struct {
        const char* name;
        int level;
        bool byExit;
    } cases[] = {
        {"confirmed, Exit", 3, true},
        {"confirmed, returnPage", 3, false},
        {"not confirmed, Exit", 0, true},
        {"not confirmed, returnPage", 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        setAntenna(c.level);
        setProfile({QStringLiteral("office"), QStringLiteral("secret"), QStringLiteral("WPA2")});
        QPointer<Form4NetSetWifi> screen = new Form4NetSetWifi(&host, QStringLiteral("14"));
        // Changed behind the screen: only a store of the screen's own choice puts WPA2 back.
        ASSERT_TRUE(DBWifi::setWifiSecurity(profile, QStringLiteral("OPEN")));
        host.clearCalls();
        runner.clear();
        bool pausedWhileApplying = true;
        runner.onCommand = [&](const QString&) { pausedWhileApplying = pausedWhileApplying && selfcheckpass; };

        if (c.byExit)
            click(QStringLiteral("Exit"));
        else
            host.returnPage(screen, false);
        runner.onCommand = nullptr;

        const bool confirmed = c.level > 0;
        EXPECT_TRUE(screen.isNull());
        EXPECT_EQ(stored().security, confirmed ? QStringLiteral("OPEN") : QStringLiteral("WPA2"));
        EXPECT_EQ(networkCommands().isEmpty(), confirmed);
        EXPECT_EQ(host.calls().contains(QStringLiteral("changeSettings")), !confirmed);
        EXPECT_TRUE(pausedWhileApplying);
        EXPECT_FALSE(selfcheckpass);
    }
}

TEST_F(NetSetWifi, BackClosesTheListOrKeyboardAndLeavesFromTheMainView)
{
    const struct {
        ZSystem::_zmode edition;
        const char* menu;
    } cases[] = {{ZSystem::Basic, "moveToMenu 16"}, {ZSystem::Cloud, "moveToMenu 17"}, {ZSystem::Merid, "moveToMenu 17"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.menu);
        useEdition(c.edition);
        host.clearCalls();
        QPointer<Form4NetSetWifi> screen = new Form4NetSetWifi(&host, QStringLiteral("14"));
        for (const char* open : {"Mode_ID_SRCH", "Mode_PW_INP"}) {
            click(QString::fromLatin1(open));
            click(QStringLiteral("Full_x"));
            click(QStringLiteral("Back"));
            EXPECT_FALSE(screen.isNull());
        }
        EXPECT_EQ(stored().ssid, QStringLiteral("office"));
        EXPECT_EQ(stored().key, QStringLiteral("secret"));
        click(QStringLiteral("Back"));
        EXPECT_TRUE(screen.isNull());
        // Left unconfirmed: the destructor applies the settings after the move.
        EXPECT_EQ(host.calls(), QStringList({QString::fromLatin1(c.menu), QStringLiteral("changeSettings")}));
    }
}

TEST_F(NetSetWifi, FailedStoresKeepTheErrorWindowAndAreLogged)
{
    QPointer<Form4NetSetWifi> screen = new Form4NetSetWifi(&host, QStringLiteral("14"));
    removeRow(QStringLiteral("wifi"), profile);
    click(QStringLiteral("Mode_ID_INP"));
    typeText(QStringLiteral("x"));

    int before = mark();
    click(QStringLiteral("Full_Enter"));
    EXPECT_EQ(sounds(), QStringList{QStringLiteral("ERROR.wav")});
    QStringList updates = updatesSince(before);
    ASSERT_FALSE(updates.isEmpty());
    EXPECT_TRUE(updates.last().contains(expect::enc(QStringLiteral("保存できませんでした。"))));

    before = mark();
    click(QStringLiteral("Mode_PW_INP"));
    EXPECT_TRUE(updatesSince(before).isEmpty());
    click(QStringLiteral("Pop_Err"));
    updates = updatesSince(before);
    ASSERT_EQ(updates.size(), 2);
    EXPECT_TRUE(updates.first().contains(expect::text(QStringLiteral("office"), 132, 106, 20, 0, 0, 0, 0)));

    delete screen;
    const QStringList lines = log.matching(QStringLiteral("セキュリティ保存失敗"));
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines.first().contains(QStringLiteral("<ERR>")));
}

}  // namespace
