// The simulated board's network side as the terminal reaches it: the GPIO lines it reads, the
// Wi-Fi scan of the access points file a user edits, and the network watch that joins the
// access point of the terminal's Wi-Fi settings.
#include "dbsetting.h"
#include "dbwifi.h"
#include "messagecapture.h"
#include "networkmanager.h"
#include "recordingrunner.h"
#include "tempboardroot.h"
#include "zsystem.h"

#include <gtest/gtest.h>

#include <QProcess>

using namespace vnq::test;

namespace {

QString sourceDir()
{
    return QString::fromLocal8Bit(qgetenv("VNQ_SOURCE_DIR"));
}

int makeBoardRoot(const TempBoardRoot& board)
{
    return QProcess::execute(sourceDir() + QStringLiteral("/sim/make-board-root.sh"),
                             {board.root(), QString::fromLocal8Bit(qgetenv("VNQ_BUILD_DIR"))});
}

// Runs a stand-in program of the simulated board under the board root; its standard output.
QByteArray runStandIn(const TempBoardRoot& board, const QString& program, const QStringList& arguments = {})
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("VNQ_ROOT"), board.root());
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    process.waitForFinished(20000);
    return process.readAllStandardOutput();
}

const char kAccessPoints[] = "# edited by the user\n"
                             "-30 WPA2 secret-1 Office\n"
                             "\n"
                             "-70 WPA  guest    Guest Room 2\n"
                             "-80 OPEN -        Open Hall\n";

class SimulatedBoardNetwork : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(makeBoardRoot(board), 0);
        ZSystem::setMode(ZSystem::Basic);
    }

    void setAccessPoints(const QByteArray& text) { ASSERT_TRUE(board.writeFile(QStringLiteral("/sim/access-points.txt"), text)); }

    // "iwlist" as the terminal runs it (the SSID of "essid" in its quoting), answered by the
    // board's stand-in.
    void scriptScan(const QStringList& arguments)
    {
        runner.script(QStringLiteral("iwlist ") + arguments.mid(0, 3).join(QLatin1Char(' ')), 0,
                      runStandIn(board, sourceDir() + QStringLiteral("/sim/bin/iwlist"), arguments));
    }

    TempBoardRoot board;
    RecordingRunner runner;
};

TEST_F(SimulatedBoardNetwork, HasEveryGpioLineTheTerminalReads)
{
    MessageCapture log;
    for (ZSystem::GpioCh line : {ZSystem::GPIO0, ZSystem::GPIO33, ZSystem::GPIO136, ZSystem::GPIO137,
                                 ZSystem::GPIO138, ZSystem::GPIO139})
        ZSystem::gpio(line);
    EXPECT_EQ(log.matching(QStringLiteral("fopen failed")), QStringList());
    // The Wi-Fi adapter is plugged in but has joined nothing: no signal, no "missing adapter".
    EXPECT_EQ(ZSystem::gpio(ZSystem::GPIO33), 1);
    EXPECT_EQ(NetworkManager::getApSignalLevelOnce(), 0);
}

TEST_F(SimulatedBoardNetwork, TheWifiScanListsTheAccessPointsFile)
{
    setAccessPoints(kAccessPoints);
    scriptScan({QStringLiteral("wlan0"), QStringLiteral("scanning")});
    QStringList found;
    ASSERT_TRUE(NetworkManager::getSsidList(&found));
    EXPECT_EQ(found, (QStringList{QStringLiteral("Office"), QStringLiteral("Guest Room 2"), QStringLiteral("Open Hall")}));

    scriptScan({QStringLiteral("wlan0"), QStringLiteral("scanning"), QStringLiteral("essid"), QStringLiteral("Guest Room 2")});
    EXPECT_EQ(NetworkManager::getApSignalLevel(QStringLiteral("Guest Room 2")), NetworkManager::convertApLevel(-70));

    // An unplugged adapter finds nothing.
    ASSERT_TRUE(board.writeFile(QStringLiteral("/sys/class/gpio/gpio33/value"), "0\n"));
    scriptScan({QStringLiteral("wlan0"), QStringLiteral("scanning")});
    found.clear();
    NetworkManager::getSsidList(&found);
    EXPECT_TRUE(found.isEmpty()) << qPrintable(found.join(QLatin1Char(',')));
}

// The connection check's path: the terminal writes its Wi-Fi settings and starts the network
// watch; the level it then reads says whether the adapter joined.
TEST_F(SimulatedBoardNetwork, TheWatchJoinsTheAccessPointTheSettingsName)
{
    struct Case {
        const char* ssid;
        const char* security;
        const char* key;
        int dbm;  // 0: not joined
    };
    const Case cases[] = {
        {"Office", "WPA2", "secret-1", -30},   {"Guest Room 2", "WPA", "guest", -70},
        {"Open Hall", "OPEN", "anything", -80}, {"Office", "WPA2", "wrong-key", 0},
        {"Office", "WPA", "secret-1", 0},       {"Elsewhere", "OPEN", "x", 0},
    };
    setAccessPoints(kAccessPoints);
    // The board's network scripts run for real when the terminal runs them.
    runner.onCommand = [this](const QString& command) {
        if (command.contains(QLatin1String("vnq_netif_watch_starter")) || command.contains(QLatin1String("net_down.sh")))
            runStandIn(board, command);
    };
    ASSERT_TRUE(DBSetting::setSetting(QStringLiteral("無線LAN"), 1));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ssid + std::string(" ") + c.security + " " + c.key);
        const QString title = QStringLiteral("無線LAN設定");
        ASSERT_TRUE(DBWifi::setWifiSsid(title, QString::fromUtf8(c.ssid)));
        ASSERT_TRUE(DBWifi::setWifiPassword(title, QString::fromUtf8(c.key)));
        ASSERT_TRUE(DBWifi::setWifiSecurity(title, QString::fromUtf8(c.security)));
        ASSERT_TRUE(NetworkManager::setNetwork());
        const int expected = c.dbm == 0 ? 0 : NetworkManager::convertApLevel(c.dbm);
        EXPECT_EQ(NetworkManager::getApSignalLevelOnce(), expected);
        EXPECT_EQ(NetworkManager::getApSignalLevel(), expected);
    }

    // Back on the wired interface the wireless level is gone and the status names eth0.
    ASSERT_TRUE(DBSetting::setSetting(QStringLiteral("無線LAN"), 0));
    ASSERT_TRUE(NetworkManager::setNetwork());
    EXPECT_FALSE(board.exists(QStringLiteral("/sys/class/net/wlan0/wireless/level")));
    EXPECT_EQ(NetworkManager::getNetStatus(QStringLiteral("eth0"), 1), QStringLiteral("eth0"));
}

}  // namespace
