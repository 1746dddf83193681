#include "dbwifi.h"
#include "networkmanager.h"
#include "networktestboard.h"

#include <QDir>
#include <QFile>

#include <utility>
#include <vector>

namespace {

using vnq::test::NetworkBoard;
using vnq::test::RecordingRunner;

const int kMissing = -1000;
const QString untouched = QStringLiteral("untouched\n");

void setWifi(const QString& ssid, const QString& key, const QString& security)
{
    const QString profile = QStringLiteral("無線LAN設定");
    ASSERT_TRUE(DBWifi::setWifiSsid(profile, ssid));
    ASSERT_TRUE(DBWifi::setWifiPassword(profile, key));
    ASSERT_TRUE(DBWifi::setWifiSecurity(profile, security));
}

class NetworkConfig : public NetworkBoard {
protected:
    void SetUp() override
    {
        NetworkBoard::SetUp();
        for (const char* file : {"eth0/amode.sh", "wlan0/amode.sh", "eth0/static.sh", "wlan0/static.sh", "wlan0/wifi.sh"})
            ASSERT_TRUE(board.writeFile(QStringLiteral("/VnQo/etc/network/config/") + QLatin1String(file), untouched.toUtf8()));
    }

    QList<RecordingRunner::Call> expectedRestart() const
    {
        return {{RecordingRunner::Form::Run, QStringLiteral("killall vnq_netif_watch")},
                {RecordingRunner::Form::Run, boardScript(QStringLiteral("/VnQo/etc/network/net_down.sh"))},
                {RecordingRunner::Form::Detached, boardScript(QStringLiteral("/VnQo/bin/vnq_netif_watch_starter"))}};
    }
    void expectCalls(const QList<RecordingRunner::Call>& expected) const
    {
        ASSERT_EQ(runner.calls().size(), expected.size()) << qPrintable(runner.commands().join(QLatin1Char('\n')));
        for (int i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(runner.calls().at(i).form, expected.at(i).form) << i;
            EXPECT_EQ(runner.calls().at(i).command, expected.at(i).command) << i;
        }
    }
};

// --- The mode table: interface and address mode from "無線LAN", "DHCPの設定" and the edition ---

struct ModeCase {
    const char* name;
    int edition;
    int wireless;  // kMissing: the item cannot be read
    int dhcp;
    const char* iface;
    const char* amode;
    const char* errorLine;  // nullptr: no forced-mode line
};

void PrintTo(const ModeCase& c, std::ostream* os)
{
    *os << c.name;
}

class ModeTable : public NetworkConfig, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(ModeTable, WritesTheInterfaceAndModeAndRestartsTheWatch)
{
    const ModeCase& c = GetParam();
    ZSystem::setMode(ZSystem::_zmode(c.edition));
    setWifi(QStringLiteral("office"), QStringLiteral("secret"), QStringLiteral("WPA2"));
    if (c.wireless == kMissing)
        drop(QStringLiteral("無線LAN"));
    else
        set(QStringLiteral("無線LAN"), c.wireless);
    if (c.dhcp == kMissing)
        drop(QStringLiteral("DHCPの設定"));
    else
        set(QStringLiteral("DHCPの設定"), c.dhcp);

    EXPECT_TRUE(NetworkManager::setNetwork());

    const QString iface = QLatin1String(c.iface);
    const QString other = iface == QLatin1String("eth0") ? QStringLiteral("wlan0") : QStringLiteral("eth0");
    EXPECT_EQ(config(QStringLiteral("interface.sh")), QStringLiteral("IFACE='%1'\n").arg(iface));
    EXPECT_EQ(config(iface + "/amode.sh"), QStringLiteral("AMODE='%1'\n").arg(QLatin1String(c.amode)));
    EXPECT_NE(config(iface + "/static.sh"), untouched);
    EXPECT_EQ(config(other + "/amode.sh"), untouched);
    EXPECT_EQ(config(other + "/static.sh"), untouched);
    if (iface == QLatin1String("wlan0")) {
        EXPECT_EQ(config(QStringLiteral("wlan0/wifi.sh")),
                  QStringLiteral("WLAN_SMODE='WPA2'\nWLAN_PASS='secret'\nWLAN_ESSID='office'\n"));
    } else {
        EXPECT_EQ(config(QStringLiteral("wlan0/wifi.sh")), untouched);
    }
    expectCalls(expectedRestart());

    const QStringList forced = log.matching(QStringLiteral("強制的"));
    if (c.errorLine) {
        ASSERT_EQ(forced.size(), 1);
        EXPECT_TRUE(forced.first().contains(QStringLiteral("<ERR>")));
        EXPECT_TRUE(forced.first().contains(QString::fromUtf8(c.errorLine))) << qPrintable(forced.first());
    } else {
        EXPECT_TRUE(forced.isEmpty()) << qPrintable(forced.join(QLatin1Char('\n')));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Settings, ModeTable,
    ::testing::Values(
        ModeCase{"UnreadableWirelessBasic", 0, kMissing, 0, "eth0", "dhcp", "強制的に有線LAN・DHCP(無線LAN 参照失敗)"},
        ModeCase{"UnreadableWirelessCloud", 1, kMissing, 0, "eth0", "dhcp", "強制的に有線LAN・DHCP(無線LAN 参照失敗)"},
        ModeCase{"WiredStaticBasic", 0, 0, 0, "eth0", "static", nullptr},
        ModeCase{"WiredStaticCloud", 1, 0, 0, "eth0", "static", nullptr},
        ModeCase{"WiredDhcpIgnoredByBasic", 0, 0, 1, "eth0", "static", nullptr},
        ModeCase{"WiredDhcpCloud", 1, 0, 1, "eth0", "dhcp", nullptr},
        ModeCase{"WiredUnreadableDhcpBasic", 0, 0, kMissing, "eth0", "static", "強制的に有線LAN・固定IP(参照失敗)"},
        ModeCase{"WiredUnreadableDhcpMerid", 2, 0, kMissing, "eth0", "dhcp", "強制的に有線LAN・DHCP(参照失敗)"},
        ModeCase{"WirelessStaticMerid", 2, 1, 0, "wlan0", "static", nullptr},
        ModeCase{"WirelessDhcpIgnoredByBasic", 0, 1, 1, "wlan0", "static", nullptr},
        ModeCase{"WirelessDhcpCloud", 1, 1, 1, "wlan0", "dhcp", nullptr},
        ModeCase{"WirelessUnreadableDhcpBasic", 0, 1, kMissing, "wlan0", "static", "強制的にWiFi・固定IP(参照失敗)"},
        ModeCase{"WirelessUnreadableDhcpCloud", 1, 1, kMissing, "wlan0", "dhcp", "強制的にWiFi・DHCP(参照失敗)"},
        ModeCase{"OtherValueBasic", 0, 2, 0, "eth0", "dhcp", nullptr},
        ModeCase{"OtherValueMerid", 2, 2, 0, "eth0", "dhcp", nullptr}),
    [](const ::testing::TestParamInfo<ModeCase>& info) { return std::string(info.param.name); });

// --- static.sh: addresses, broadcast, name server and the result ---

struct StaticCase {
    const char* name;
    int edition;
    int mode;
    std::vector<std::pair<const char*, const char*>> addresses;  // item, dotted address
    std::vector<std::pair<const char*, int>> settings;
    std::vector<const char*> dropped;
    const char* file;
    const char* content;
    bool result;
    const char* logLine;  // nullptr: none expected
};

void PrintTo(const StaticCase& c, std::ostream* os)
{
    *os << c.name;
}

class StaticFile : public NetworkConfig, public ::testing::WithParamInterface<StaticCase> {};

TEST_P(StaticFile, HoldsTheStoredAddresses)
{
    const StaticCase& c = GetParam();
    ZSystem::setMode(ZSystem::_zmode(c.edition));
    for (const auto& a : c.addresses)
        setAddress(QString::fromUtf8(a.first), QLatin1String(a.second));
    for (const auto& s : c.settings)
        set(QString::fromUtf8(s.first), s.second);
    for (const char* d : c.dropped)
        drop(QString::fromUtf8(d));

    EXPECT_EQ(NetworkManager::setStaticDhcp(NetworkManager::NetworkMode(QFlag(c.mode))), c.result);
    EXPECT_EQ(config(QLatin1String(c.file)), QString::fromUtf8(c.content));
    if (c.logLine) {
        EXPECT_EQ(log.matching(QString::fromUtf8(c.logLine)).size(), 1);
    }
    EXPECT_TRUE(runner.calls().isEmpty());
}

const std::vector<std::pair<const char*, const char*>> wiredAddresses{
    {"IPアドレス", "192.168.10.20"}, {"サブネットマスク", "255.255.0.0"}, {"ゲートウェイ", "192.168.10.1"}, {"DNS", "8.8.8.8"}};
const std::vector<std::pair<const char*, const char*>> wirelessAddresses{
    {"IPアドレス(無線)", "10.1.2.3"}, {"サブネットマスク(無線)", "255.0.0.0"}, {"ゲートウェイ(無線)", "10.1.2.254"},
    {"DNS(無線)", "10.0.0.53"}};

INSTANTIATE_TEST_SUITE_P(
    Settings, StaticFile,
    ::testing::Values(
        StaticCase{"CloudManualDns", 1, 0x11, wiredAddresses, {{"DNSの設定", 0}}, {}, "eth0/static.sh",
                   "IPADDR='192.168.10.20'\nNETMASK='255.255.0.0'\nBROADCAST='192.168.10.255'\n"
                   "GATEWAY='192.168.10.1'\nNAMESERVER='8.8.8.8'\n",
                   true, nullptr},
        StaticCase{"BasicUsesTheGateway", 0, 0x11, wiredAddresses, {{"DNSの設定", 1}}, {}, "eth0/static.sh",
                   "IPADDR='192.168.10.20'\nNETMASK='255.255.0.0'\nBROADCAST='192.168.10.255'\n"
                   "GATEWAY='192.168.10.1'\nNAMESERVER='192.168.10.1'\n",
                   true, nullptr},
        StaticCase{"MeridWirelessDhcpWithAutomaticDns", 2, 0x22, wirelessAddresses, {{"DNSの設定", 1}, {"DNS(無線)0", -1}},
                   {}, "wlan0/static.sh",
                   "IPADDR='10.1.2.3'\nNETMASK='255.0.0.0'\nBROADCAST='10.1.2.255'\n"
                   "GATEWAY='10.1.2.254'\nNAMESERVER=''\n",
                   true, "DHCP＋DNS自動のため、DHCPから設定されたものを使う"},
        StaticCase{"CloudStaticWithoutDnsIsIncomplete", 1, 0x11, wiredAddresses, {{"DNSの設定", 1}, {"DNS2", -1}}, {},
                   "eth0/static.sh",
                   "IPADDR='192.168.10.20'\nNETMASK='255.255.0.0'\nBROADCAST='192.168.10.255'\n"
                   "GATEWAY='192.168.10.1'\nNAMESERVER=''\n",
                   false, "手動設定でアドレスがないためNGとする"},
        StaticCase{"CloudDnsDecidesOverAnUnsetOctet", 1, 0x11, wiredAddresses, {{"DNSの設定", 0}, {"IPアドレス3", -1}}, {},
                   "eth0/static.sh",
                   "IPADDR='192.168.10.0'\nNETMASK='255.255.0.0'\nBROADCAST='192.168.10.255'\n"
                   "GATEWAY='192.168.10.1'\nNAMESERVER='8.8.8.8'\n",
                   true, nullptr},
        StaticCase{"BasicUnsetOctetFails", 0, 0x11, wiredAddresses, {{"ゲートウェイ0", -1}}, {}, "eth0/static.sh",
                   "IPADDR='192.168.10.20'\nNETMASK='255.255.0.0'\nBROADCAST='192.168.10.255'\n"
                   "GATEWAY='0.168.10.1'\nNAMESERVER='0.168.10.1'\n",
                   false, nullptr},
        StaticCase{"BasicMissingItemCountsAsZero", 0, 0x11, wiredAddresses, {}, {"サブネットマスク1"}, "eth0/static.sh",
                   "IPADDR='192.168.10.20'\nNETMASK='255.0.0.0'\nBROADCAST='192.168.10.255'\n"
                   "GATEWAY='192.168.10.1'\nNAMESERVER='192.168.10.1'\n",
                   true, "Failed get setting:  \"サブネットマスク1\""},
        StaticCase{"CloudMissingDnsItemCountsAsZero", 1, 0x11, wiredAddresses, {{"DNSの設定", 0}}, {"DNS3"},
                   "eth0/static.sh",
                   "IPADDR='192.168.10.20'\nNETMASK='255.255.0.0'\nBROADCAST='192.168.10.255'\n"
                   "GATEWAY='192.168.10.1'\nNAMESERVER='8.8.8.0'\n",
                   true, "Failed get setting:  \"DNS3\""}),
    [](const ::testing::TestParamInfo<StaticCase>& info) { return std::string(info.param.name); });

// --- wifi.sh ---

TEST_F(NetworkConfig, OpenProfileWritesOpenAsTheKey)
{
    setWifi(QStringLiteral("guest"), QString(), QStringLiteral("OPEN"));
    EXPECT_TRUE(NetworkManager::setAccessPoint());
    EXPECT_EQ(config(QStringLiteral("wlan0/wifi.sh")),
              QStringLiteral("WLAN_SMODE='OPEN'\nWLAN_PASS='OPEN'\nWLAN_ESSID='guest'\n"));
}

TEST_F(NetworkConfig, EmptySsidStopsBeforeTheNetworkIsTouched)
{
    set(QStringLiteral("無線LAN"), 1);
    setWifi(QString(), QStringLiteral("secret"), QStringLiteral("WPA2"));

    EXPECT_FALSE(NetworkManager::setNetwork());

    EXPECT_EQ(config(QStringLiteral("interface.sh")), QStringLiteral("IFACE='wlan0'\n"));
    EXPECT_NE(config(QStringLiteral("wlan0/amode.sh")), untouched);
    EXPECT_NE(config(QStringLiteral("wlan0/static.sh")), untouched);
    EXPECT_EQ(config(QStringLiteral("wlan0/wifi.sh")), QString());
    EXPECT_EQ(log.matching(QStringLiteral("Failed getWifi:")).size(), 1);
    EXPECT_TRUE(runner.calls().isEmpty()) << qPrintable(runner.commands().join(QLatin1Char('\n')));
}

// Whatever the keyboard allowed into the profile reaches the network scripts as typed.
TEST_F(NetworkConfig, SourcedWifiFileGivesBackTheProfileAndRunsNothing)
{
    const QString ssid = QStringLiteral("my net 'quoted' $(reboot) `reboot`; reboot %3 \"dq\" \\ 事務所");
    const QString key = QStringLiteral("k%1'$HOME'%2");
    const QString security = QStringLiteral("WPA2");
    setWifi(ssid, key, security);

    ASSERT_TRUE(NetworkManager::setAccessPoint());

    const QString file = board.path(QStringLiteral("/VnQo/etc/network/config/wlan0/wifi.sh"));
    const QByteArray out = runShell(QStringLiteral(". '%1'; printf '%s|%s|%s' \"$WLAN_ESSID\" \"$WLAN_PASS\" \"$WLAN_SMODE\"")
                                        .arg(file));
    EXPECT_EQ(QString::fromUtf8(out), ssid + "|" + key + "|" + security);
    EXPECT_FALSE(somethingRan());
}

TEST_F(NetworkConfig, UnopenableFileFailsWithoutTouchingTheNetwork)
{
    set(QStringLiteral("無線LAN"), 0);
    ASSERT_TRUE(QDir(board.path(QStringLiteral("/VnQo/etc/network/config/eth0"))).removeRecursively());

    EXPECT_FALSE(NetworkManager::setNetwork());

    const QStringList lines = log.matching(QStringLiteral("Can't open "));
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines.first().contains(board.path(QStringLiteral("/VnQo/etc/network/config/eth0/amode.sh"))));
    EXPECT_TRUE(runner.calls().isEmpty());
}

TEST_F(NetworkConfig, DownNetworkStopsTheWatchThenRunsTheDownScript)
{
    EXPECT_TRUE(NetworkManager::downNetwork());
    QList<RecordingRunner::Call> expected = expectedRestart();
    expected.removeLast();
    expectCalls(expected);
}

TEST_F(NetworkConfig, NowSettingNicIsTrueOnlyForTheWiredLan)
{
    const std::vector<std::pair<int, bool>> cases{{0, true}, {1, false}, {2, false}};
    for (const auto& c : cases) {
        set(QStringLiteral("無線LAN"), c.first);
        EXPECT_EQ(NetworkManager::nowSettingNic(), c.second) << c.first;
    }
    drop(QStringLiteral("無線LAN"));
    EXPECT_FALSE(NetworkManager::nowSettingNic());
}

}  // namespace
