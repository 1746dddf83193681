#include "networkmanager.h"
#include "networktestboard.h"

#include <QFile>
#include <QMap>

#include <functional>
#include <tuple>
#include <vector>

namespace {

class NetStatus : public vnq::test::NetworkBoard {
protected:
    void writeStatus(const QMap<int, const char*>& lines, int count = 10)
    {
        QByteArray text;
        for (int i = 0; i < count; ++i)
            text += QByteArray(lines.value(i, "")) + '\n';
        ASSERT_TRUE(board.writeFile(QStringLiteral("/var/tmp/network.status"), text));
    }
};

const QString initialising = QStringLiteral("初期化中...");

const QMap<int, const char*> wiredUp{{0, "up"}, {1, "eth0"}, {2, "192.168.0.100"}, {3, "255.255.255.0"},
                                     {4, "ok"}, {9, "192.168.0.1"}};
const QMap<int, const char*> wirelessUp{{0, "up"}, {1, "wlan0"}, {5, "10.0.0.2"}, {6, "255.0.0.0"},
                                        {8, "-50"}, {9, "10.0.0.1"}};

QMap<int, const char*> with(QMap<int, const char*> lines, int line, const char* text)
{
    lines[line] = text;
    return lines;
}

struct StatusCase {
    const char* name;
    QMap<int, const char*> lines;
    int lineCount;
    std::function<QString()> read;
    QString expected;
};

TEST_F(NetStatus, LinesOfAnActiveInterfaceWaitUntilItIsComplete)
{
    const std::vector<StatusCase> cases{
        {"wired complete", wiredUp, 10, NetworkManager::getEthIpaddr, QStringLiteral("192.168.0.100")},
        {"wired netmask", wiredUp, 10, NetworkManager::getEthNetmask, QStringLiteral("255.255.255.0")},
        {"wired gateway", wiredUp, 10, NetworkManager::getEthGateway, QStringLiteral("192.168.0.1")},
        {"wired without netmask", with(wiredUp, 3, ""), 10, NetworkManager::getEthIpaddr, initialising},
        {"wired without line 4", with(wiredUp, 4, ""), 10, NetworkManager::getEthIpaddr, initialising},
        {"wired without gateway", with(wiredUp, 9, ""), 10, NetworkManager::getEthNetmask, initialising},
        {"wired cut short", wiredUp, 5, NetworkManager::getEthIpaddr, initialising},
        {"wired line 4 as it stands", with(wiredUp, 3, ""), 10, [] { return NetworkManager::getNetStatus("eth0", 4); },
         QStringLiteral("ok")},
        {"wired read while wireless is up", with(wirelessUp, 2, "192.168.0.100"), 10, NetworkManager::getEthIpaddr,
         QStringLiteral("192.168.0.100")},
        {"wireless complete", wirelessUp, 10, NetworkManager::getWlanIpaddr, QStringLiteral("10.0.0.2")},
        {"wireless netmask", wirelessUp, 10, NetworkManager::getWlanNetmask, QStringLiteral("255.0.0.0")},
        {"wireless gateway", wirelessUp, 10, NetworkManager::getWlanGateway, QStringLiteral("10.0.0.1")},
        {"wireless without gateway", with(wirelessUp, 9, ""), 10, NetworkManager::getWlanIpaddr, initialising},
        {"wireless line 7 as it stands", with(with(wirelessUp, 5, ""), 7, "x"), 10,
         [] { return NetworkManager::getNetStatus("wlan0", 7); }, QStringLiteral("x")},
        {"both up", with(with(wiredUp, 1, "eth0 wlan0"), 5, "10.0.0.2"), 10, NetworkManager::getWlanIpaddr,
         initialising},
        {"line out of range", wiredUp, 10, [] { return NetworkManager::getNetStatus("eth0", 10); }, QString()},
    };
    for (const StatusCase& c : cases) {
        writeStatus(c.lines, c.lineCount);
        EXPECT_EQ(c.read(), c.expected) << c.name;
    }
}

TEST_F(NetStatus, ActiveInterfacesComeFromLineOne)
{
    const std::vector<std::tuple<const char*, bool, bool>> cases{
        {"eth0", true, false}, {"wlan0", false, true}, {"eth0 wlan0", true, true}, {"", false, false}};
    for (const auto& c : cases) {
        writeStatus({{1, std::get<0>(c)}});
        EXPECT_EQ(NetworkManager::getEthActive(), std::get<1>(c)) << std::get<0>(c);
        EXPECT_EQ(NetworkManager::getWlanActive(), std::get<2>(c)) << std::get<0>(c);
    }
}

TEST_F(NetStatus, MissingStatusFileReadsAsInitialising)
{
    EXPECT_EQ(NetworkManager::getEthIpaddr(), initialising);
    EXPECT_EQ(NetworkManager::getWlanGateway(), initialising);
    EXPECT_FALSE(NetworkManager::getEthActive());
    EXPECT_FALSE(NetworkManager::getWlanActive());
}

TEST_F(NetStatus, DhcpNameServerComesFromTheInterfacesResolvConfLine)
{
    const std::vector<std::tuple<const char*, const char*, QString>> cases{
        {"nameserver 192.168.1.1 # eth0\n", "eth0", QStringLiteral("192.168.1.1")},
        {"nameserver 8.8.8.8\nnameserver 192.168.1.1 # eth0\n", "eth0", QStringLiteral("192.168.1.1")},
        {"nameserver 8.8.8.8\n", "eth0", initialising},
        {"nameserver 10.0.0.53 # wlan0\n", "eth0", initialising},
        {"# eth0 only\nnameserver 10.0.0.53 # wlan0\nnameserver 192.168.1.1 # eth0\n", "wlan0",
         QStringLiteral("10.0.0.53")},
        {"nameserver 10.0.0.53 eth0\n", "eth0", QStringLiteral("10.0.0.53 eth0")},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(board.writeFile(QStringLiteral("/etc/resolv.conf"), std::get<0>(c)));
        EXPECT_EQ(NetworkManager::getDnsAddrDhcp(QLatin1String(std::get<1>(c))), std::get<2>(c)) << std::get<0>(c);
    }
    QFile::remove(board.path(QStringLiteral("/etc/resolv.conf")));
    EXPECT_EQ(NetworkManager::getDnsAddrDhcp(QStringLiteral("eth0")), initialising);
    const QStringList failed = log.matching(QStringLiteral("Open failed /etc/resolv.conf"));
    ASSERT_EQ(failed.size(), 1);
    EXPECT_TRUE(failed.first().contains(QStringLiteral("<ERR>")));
}

TEST_F(NetStatus, MacAddressIsUpperCaseOrNotFound)
{
    ASSERT_TRUE(board.writeFile(QStringLiteral("/sys/class/net/eth0/address"), "00:1a:2b:3c:4d:ef\n"));
    EXPECT_EQ(NetworkManager::getEthMacaddr(), QStringLiteral("00:1A:2B:3C:4D:EF"));
    EXPECT_EQ(NetworkManager::getWlanMacaddr(), QStringLiteral("未検出"));
}

TEST_F(NetStatus, StoredDnsAddress)
{
    setAddress(QStringLiteral("DNS"), QStringLiteral("8.8.4.4"));
    setAddress(QStringLiteral("DNS(無線)"), QStringLiteral("10.0.0.53"));
    EXPECT_EQ(NetworkManager::getDnsAddr(QStringLiteral("eth0")), QStringLiteral("8.8.4.4"));
    EXPECT_EQ(NetworkManager::getDnsAddr(QStringLiteral("wlan0")), QStringLiteral("10.0.0.53"));
    EXPECT_EQ(NetworkManager::getDnsAddr(QStringLiteral("any")), QStringLiteral("10.0.0.53"));

    set(QStringLiteral("DNS(無線)3"), -1);
    EXPECT_EQ(NetworkManager::getDnsAddr(QStringLiteral("wlan0")), QStringLiteral("---.---.---.---"));

    drop(QStringLiteral("DNS1"));
    EXPECT_EQ(NetworkManager::getDnsAddr(QStringLiteral("eth0")), QStringLiteral("8.0.4.4"));
    EXPECT_EQ(log.matching(QStringLiteral("Failed get setting:  \"DNS1\"")).size(), 1);
}

}  // namespace
