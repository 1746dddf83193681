// Every outside command the terminal runs names only paths inside the board root, whatever
// characters the root's own path holds: the shell must never split it, expand in it or run
// what it names.
#include "dbsetting.h"
#include "fakeclock.h"
#include "iccardmodule.h"
#include "localsocketipcserver.h"
#include "mylabel.h"
#include "mytimer.h"
#include "networkmanager.h"
#include "platform/processexit.h"
#include "recordingrunner.h"
#include "shippeddatabases.h"
#include "socketpeers.h"
#include "soundmodule.h"
#include "tempboardroot.h"
#include "zsystem.h"

#include <gtest/gtest.h>

#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>

#include <functional>
#include <utility>
#include <vector>

namespace {

using vnq::test::RecordingRunner;

// The words of a shell line as sh splits them. Single quotes and backslashes are taken apart;
// a double quote, an expansion ($, `) or a command separator (; | newline) outside single
// quotes is an error, since it could
// reach beyond the line's own words. Redirections (<, >, &) only separate words.
QStringList shellWords(const QString& line, QString* error)
{
    QStringList words;
    QString word;
    bool inWord = false;
    const auto endWord = [&] {
        if (inWord)
            words << word;
        word.clear();
        inWord = false;
    };
    for (int i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (c == QLatin1Char('\'')) {
            const int close = line.indexOf(QLatin1Char('\''), i + 1);
            if (close < 0) {
                *error = QStringLiteral("unclosed quote");
                return {};
            }
            word += line.mid(i + 1, close - i - 1);
            inWord = true;
            i = close;
        } else if (c == QLatin1Char('\\') && i + 1 < line.size()) {
            word += line.at(++i);
            inWord = true;
        } else if (c == QLatin1Char('"') || c == QLatin1Char('$') || c == QLatin1Char('`') || c == QLatin1Char(';') || c == QLatin1Char('|') || c == QLatin1Char('\n')) {
            *error = QStringLiteral("'%1' outside single quotes").arg(c);
            return {};
        } else if (c.isSpace() || c == QLatin1Char('<') || c == QLatin1Char('>') || c == QLatin1Char('&')) {
            endWord();
        } else {
            word += c;
            inWord = true;
        }
    }
    endWord();
    return words;
}

// Why a command's words leave the root, or an empty text when they do not.
QString leavesRoot(const QStringList& words, const QString& root)
{
    for (const QString& word : words) {
        if (word == QLatin1String("/dev/null"))
            continue;
        if (word.startsWith(QLatin1Char('/')) && !word.startsWith(root + QLatin1Char('/')))
            return QStringLiteral("path outside the root: ") + word;
        if (!word.startsWith(QLatin1Char('/')) && (word.contains(QLatin1String("/VnQo/")) || word.contains(QLatin1String("/tmp/"))))
            return QStringLiteral("a piece of a split path: ") + word;
    }
    return QString();
}

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
    }
    void TearDown() override { vnq::setExitHook({}); }

    // Runs one command site and checks every command it ran.
    void check(const char* site, const std::function<void()>& run)
    {
        SCOPED_TRACE(site);
        runner.clear();
        run();
        EXPECT_FALSE(runner.calls().isEmpty()) << "the site ran no command";
        for (const RecordingRunner::Call& call : runner.calls()) {
            QString error;
            const QStringList words = call.form == RecordingRunner::Form::Shell ? shellWords(call.command, &error)
                                                                                : QProcess::splitCommand(call.command);
            if (error.isEmpty())
                error = leavesRoot(words, board.root());
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
