// Every outside command the terminal runs names only paths inside the board root, whatever
// characters the root's own path holds: the shell must never split it, expand in it or run
// what it names.
#include "dbsetting.h"
#include "form1clock.h"
#include "form2firmupdate.h"
#include "fakeclock.h"
#include "iccardmodule.h"
#include "localsocketipcserver.h"
#include "mylabel.h"
#include "mytimer.h"
#include "networkmanager.h"
#include "platform/processexit.h"
#include "recordingrunner.h"
#include "rootcommands.h"
#include "shippeddatabases.h"
#include "socketpeers.h"
#include "soundmodule.h"
#include "tempboardroot.h"
#include "zsystem.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QLocalSocket>
#include <QSignalSpy>

#include <functional>
#include <utility>
#include <vector>

namespace {

using vnq::test::RecordingRunner;
using vnq::test::shellWords;

class HostileRoot : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(board.isValid());
        ASSERT_TRUE(vnq::test::installShippedDatabases(board));
        for (const char* dir : {"/tmp", "/var/log", "/VnQo/etc/network/config/eth0", "/VnQo/etc/network/config/wlan0"})
            ASSERT_TRUE(board.makeDir(QString::fromLatin1(dir)));
        ZSystem::setMode(ZSystem::Basic);
        vnq::setExitHook([](int) {});
        ICCardModule::stopListening();  // the card receiver listens under this root
    }
    void TearDown() override
    {
        vnq::setExitHook({});
        ICCardModule::stopListening();
    }

    // Runs one command site and checks every command it ran.
    void check(const char* site, const std::function<void()>& run)
    {
        SCOPED_TRACE(site);
        runner.clear();
        run();
        EXPECT_FALSE(runner.calls().isEmpty()) << "the site ran no command";
        for (const RecordingRunner::Call& call : runner.calls()) {
            const QString error = vnq::test::whyCommandLeavesRoot(call, board.root());
            EXPECT_TRUE(error.isEmpty()) << error.toStdString() << " in: " << call.command.toStdString();
        }
    }

    vnq::test::TempBoardRoot board{QString::fromUtf8(GetParam())};
    RecordingRunner runner;
    vnq::test::FakeClock clock{QDateTime(QDate(2024, 1, 1), QTime(9, 0))};
};

TEST_P(HostileRoot, NoCommandLeavesTheRoot)
{
    check("GPIO output", [] { ZSystem::gpio(ZSystem::GPIO138, 1); });
    check("GPIO input set-up", [] { ZSystem::initGpip(); });
    check("backlight", [] { MyTimer::backlightOnOff(true); });
    check("sound", [] { SoundModule::play(QStringLiteral("/VnQo/app/Sound/%1/ok.wav"), 1); });
    check("reader identification", [] { ICCardModule::getVersion(); });
    check("serial number", [] { ZSystem::termSerialNumber(); });
    check("network set-up", [] { NetworkManager::setNetwork(); });
    check("web server restart", [] { NetworkManager::webServerRestart(); });
    check("NTP clock sync", [] {
        ASSERT_TRUE(DBSetting::setSetting(QStringLiteral("NTPサーバーを使用"), 1));
        for (int i = 0; i < 4; ++i)
            ASSERT_TRUE(DBSetting::setSetting(QStringLiteral("NTPサーバー%1").arg(i), 10 + i));
        NetworkManager::syncNtpServer();
    });
    check("HTTP clock sync", [] {
        ASSERT_TRUE(DBSetting::setSetting(QStringLiteral("NTPサーバーを使用"), 0));
        ZSystem::setMode(ZSystem::Cloud);
        NetworkManager::syncNtpServer();
        ZSystem::setMode(ZSystem::Basic);
    });
    check("screenshot", [] { MyLabel::getInstance()->shotScreen(); });
    check("clock check of a card", [this] {
        ICCardModule* module = ICCardModule::getInstance();
        QSignalSpy handled(ICCardModule::serverSocket, &LocalSocketIpcServer::messageReceived);
        QLocalSocket peer;
        peer.connectToServer(board.path(QStringLiteral("/tmp/iccard.uds")));
        ASSERT_TRUE(peer.waitForConnected(5000));
        peer.write("<iccard><type>FeliCa</type><len>8</len><id>0123456789abcdef</id></iccard>");
        ASSERT_TRUE(peer.waitForBytesWritten(5000));
        ASSERT_TRUE(vnq::test::waitUntil([&] { return handled.size() == 1; }));
        Q_UNUSED(module);
    });
    check("daily reboot and clock jump", [this] {
        ASSERT_TRUE(DBSetting::setSetting(QStringLiteral("リブート時刻"), 600));
        MyTimer timer;
        timer.setRandomSource([](int) { return 42; });
        clock.setNow(QDateTime(QDate(2024, 1, 1), QTime(9, 59, 59, 900)));
        timer.unlockTimer();
        timer.tickerTask();
        clock.advanceMs(300);
        timer.tickerTask();  // the reboot
        clock.setNow(QDateTime(QDate(2024, 1, 1), QTime(14, 0)));
        timer.tickerTask();  // a clock jump nobody announced
    });
    check("firmware update: services stopped and restarted", [] {
        Form2FirmUpdate page(nullptr);
        page.slotCheckNeedUpdate(QStringLiteral("0"), QStringLiteral("Qo99-Z31"), 1, QStringLiteral("00"));
        page.clickMyLabel(MyLabel::getInstance(), QStringLiteral("Update"));  // no worker: fails at once
    });
    check("cloud start-up: DHCP renewal and kernel image download", [this] {
        ASSERT_TRUE(DBSetting::setSetting(QStringLiteral("無線LAN"), 1));
        ASSERT_TRUE(board.writeFile(QStringLiteral("/sys/class/net/wlan0/wireless/level"), "-30\n"));
        ZSystem::setMode(ZSystem::Cloud);
        Form1Clock host;  // no cloud worker: the clock comes up after the start-up steps
        ZSystem::setMode(ZSystem::Basic);
        ASSERT_TRUE(DBSetting::setSetting(QStringLiteral("無線LAN"), 0));
    });
    check("firmware installer", [this] {
        const QByteArray image("image");
        ASSERT_TRUE(board.writeFile(QStringLiteral("/VnQo/var/fwup/cloudrecv.tmp"), image));
        Form2FirmUpdate page(nullptr);
        page.slotCheckNeedUpdate(QStringLiteral("0"), QStringLiteral("Qo99-Z31"), image.size(),
                                 QString::fromLatin1(QCryptographicHash::hash(image, QCryptographicHash::Md5).toHex()));
        page.slotDownloadFirmware(0);
    });
}

INSTANTIATE_TEST_SUITE_P(Roots, HostileRoot,
                         ::testing::Values("/tmp/vnq x-XXXXXX", "/tmp/vnq'q-XXXXXX", "/tmp/vnq$(touch vnq-pwned)-XXXXXX"));

TEST(ShellWords, SplitLikeTheShell)
{
    QString error;
    EXPECT_EQ(shellWords(QStringLiteral("'/a b'/c -D 180 > /dev/null 2>&1 &"), &error),
              (QStringList{"/a b/c", "-D", "180", "/dev/null", "2", "1"}));
    EXPECT_EQ(shellWords(QStringLiteral("'/a'\\''q'"), &error), QStringList{"/a'q"});
    for (const char* line : {"/a $(x)", "/a `x`", "/a; x", "/a | x", "'/a"}) {
        error.clear();
        shellWords(QString::fromLatin1(line), &error);
        EXPECT_FALSE(error.isEmpty()) << line;
    }
}

}  // namespace
