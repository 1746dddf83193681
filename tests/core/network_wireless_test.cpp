#include "networkmanager.h"
#include "networktestboard.h"

#include <QProcess>

#include <functional>
#include <utility>
#include <vector>

namespace {

class Wireless : public vnq::test::NetworkBoard {};

const QString levelFile = QStringLiteral("/sys/class/net/wlan0/wireless/level");
const QString powerLine = QStringLiteral("/sys/class/gpio/gpio33/value");

// Ten status lines, numbered 0 to 9, with the wireless interface up.
QByteArray wlanStatus(const char* signal, const char* netmask = "255.255.255.0")
{
    return QByteArray("up\nwlan0\n\n\n\n10.0.0.2\n") + netmask + "\n\n" + signal + "\n10.0.0.1\n";
}

// One cell of "iwlist wlan0 scanning" output.
QByteArray cell(int number, const char* essid)
{
    return QByteArray("          Cell 0") + QByteArray::number(number) + " - Address: 00:11:22:33:44:5" + QByteArray::number(number)
        + "\n                    Quality=40/70  Signal level=-70 dBm\n                    ESSID:\"" + essid
        + "\"\n                    Encryption key:on\n";
}

TEST_F(Wireless, LevelFileGivesTheAntennaLevel)
{
    const std::vector<std::pair<const char*, int>> cases{
        {"70\n", 3},  // quality 70 is -40 dBm
        {"109\n", 4}, {"-1\n", 4},  {"-39\n", 4}, {"-40\n", 3}, {"-64\n", 3}, {"-65\n", 2},
        {"-74\n", 2}, {"-75\n", 1}, {"1\n", 1},   {"0\n", 0},   {"", 0},     {"weak\n", 0},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(board.writeFile(levelFile, c.first));
        EXPECT_EQ(NetworkManager::getApSignalLevelOnce(), c.second) << c.first;
    }
}

TEST_F(Wireless, ConvertApLevelUsesTheSameSteps)
{
    const std::vector<std::pair<int, int>> cases{{5, 0}, {0, 0}, {-1, 4}, {-39, 4}, {-40, 3}, {-64, 3},
                                                 {-65, 2}, {-74, 2}, {-75, 1}, {-120, 1}};
    for (const auto& c : cases)
        EXPECT_EQ(NetworkManager::convertApLevel(c.first), c.second) << c.first;
}

// Without a level file the adapter's USB power line tells a missing adapter from one that is
// still coming up; both level operations apply the same rule.
TEST_F(Wireless, WithoutLevelFileThePowerLineDecides)
{
    const std::vector<std::pair<const char*, std::function<int()>>> operations{
        {"once", [] { return NetworkManager::getApSignalLevelOnce(); }},
        {"status", [] { return NetworkManager::getApSignalLevel(); }}};
    for (const auto& op : operations) {
        ASSERT_TRUE(board.writeFile(QStringLiteral("/var/tmp/network.status"), wlanStatus("-30")));
        QFile::remove(board.path(powerLine));
        EXPECT_EQ(op.second(), -1) << op.first << " without a power line";
        ASSERT_TRUE(board.writeFile(powerLine, "0\n"));
        EXPECT_EQ(op.second(), -1) << op.first;
        log.clear();
        ASSERT_TRUE(board.writeFile(powerLine, "1\n"));
        EXPECT_EQ(op.second(), 0) << op.first;
        EXPECT_EQ(log.matching(QStringLiteral("WiFiアダプタのUSBポート非活性")).size(), 1) << op.first;
    }
}

TEST_F(Wireless, StatusSignalGivesTheAntennaLevel)
{
    ASSERT_TRUE(board.writeFile(levelFile, "70\n"));
    const std::vector<std::pair<QByteArray, int>> cases{
        {wlanStatus("-30"), 4},
        {wlanStatus("-70"), 2},
        {wlanStatus("70"), 0},                     // no quality conversion here
        {wlanStatus("-50", ""), 0},                // incomplete: "初期化中..."
        {wlanStatus("初期化中..."), 0},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(board.writeFile(QStringLiteral("/var/tmp/network.status"), c.first));
        EXPECT_EQ(NetworkManager::getApSignalLevel(), c.second) << c.first.constData();
    }
    QFile::remove(board.path(QStringLiteral("/var/tmp/network.status")));
    EXPECT_EQ(NetworkManager::getApSignalLevel(), 0);
}

TEST_F(Wireless, ScanListsNamedNetworksInOrderWithDuplicates)
{
    runner.script(QStringLiteral("iwlist wlan0 scanning"), 0,
                  QByteArray("wlan0     Scan completed :\n") + cell(1, "office") + cell(2, "") + cell(3, "office")
                      + cell(4, "caf\\xC3\\xA9 5G"));
    QStringList list{QStringLiteral("kept")};

    EXPECT_TRUE(NetworkManager::getSsidList(&list));

    EXPECT_EQ(list, (QStringList{QStringLiteral("kept"), QStringLiteral("office"), QStringLiteral("office"),
                                 QStringLiteral("caf\\xC3\\xA9 5G")}));
    EXPECT_EQ(runner.commands(), (QStringList{QStringLiteral("ifconfig wlan0 up"), QStringLiteral("iwlist wlan0 scanning")}));
}

TEST_F(Wireless, TruncatedScanEndsWithTheCompleteCells)
{
    const QByteArray full = cell(1, "office") + cell(2, "lab");
    const std::vector<std::pair<QByteArray, QStringList>> cases{
        {full + "          Cell 03 - Address: 00:11:22:33:44:53\n                    ESSID:\"cut", {"office", "lab"}},
        {full + "                    ESSID:\"", {"office", "lab"}},
        {full + "                    ESSID:\"lab\"", {"office", "lab"}},
        {QByteArray("ESSID:\"only"), {}},
        {QByteArray(), {}},
    };
    for (const auto& c : cases) {
        runner.script(QStringLiteral("iwlist wlan0 scanning"), 0, c.first);  // the latest script wins
        QStringList list;
        EXPECT_TRUE(NetworkManager::getSsidList(&list));
        EXPECT_EQ(list, c.second) << c.first.constData();
    }
}

TEST_F(Wireless, OneAccessPointsLevelComesFromItsScan)
{
    const QString essid = QStringLiteral("my \"quoted\" net's");
    runner.script(QStringLiteral("iwlist wlan0 scanning essid"), 0, cell(1, "x"));

    EXPECT_EQ(NetworkManager::getApSignalLevel(essid), 2);

    ASSERT_EQ(runner.commands().size(), 1);
    EXPECT_EQ(QProcess::splitCommand(runner.commands().first()),
              (QStringList{QStringLiteral("iwlist"), QStringLiteral("wlan0"), QStringLiteral("scanning"),
                           QStringLiteral("essid"), essid}));

    const std::vector<std::pair<QByteArray, int>> outputs{
        {"Signal level=-40 dBm", 0},                 // found at index 0 only
        {" Quality=5/70  Signal level=-80", 0},      // no " dBm"
        {" Signal level=-38 dBm\n", 4},
        {"no signal here", 0},
    };
    for (const auto& o : outputs) {
        runner.script(QStringLiteral("iwlist wlan0 scanning essid"), 0, o.first);
        EXPECT_EQ(NetworkManager::getApSignalLevel(QStringLiteral("lab")), o.second) << o.first.constData();
    }
}

}  // namespace
