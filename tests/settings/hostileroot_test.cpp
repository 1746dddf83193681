// Every outside command the settings screens run names only paths inside the board root,
// whatever characters the root's own path holds: the runner must never split a path of it,
// nor the shell expand in it or run what it names. Each screen is driven through the steps
// that make it run its commands.
#include "dbsetting.h"
#include "form3setteimenu.h"
#include "form4admin.h"
#include "form4menteshosai.h"
#include "form4netsetshosai.h"
#include "form4netsetwifi.h"
#include "form4termsetshosai.h"
#include "rootcommands.h"
#include "settingsfixture.h"
#include "usbtransferscreen.h"

#include <QPointer>

#include <functional>

namespace {

class HostileRootScreens : public SettingsFixture, public ::testing::WithParamInterface<const char*> {
protected:
    HostileRootScreens()
        : SettingsFixture(QString::fromUtf8(GetParam()))
    {
    }

    void SetUp() override
    {
        SettingsFixture::SetUp();
        for (const char* dir : {"/tmp", "/var/log", "/VnQo/etc/network/config/eth0", "/VnQo/etc/network/config/wlan0"})
            ASSERT_TRUE(board.makeDir(QString::fromLatin1(dir)));
        ASSERT_TRUE(board.writeFile(QStringLiteral("/etc/resolv.conf"), "nameserver 192.168.0.1 # eth0\n"));
        ASSERT_TRUE(board.writeFile(QStringLiteral("/sys/class/net/wlan0/wireless/level"), "-30\n"));
        ASSERT_TRUE(board.writeFile(QStringLiteral("/var/tmp/network.status"), "\n\n\n\n\n\n\n\n-30\n\n"));
    }

    // Runs one screen's steps and checks every command they ran.
    void check(const char* site, const std::function<void()>& run)
    {
        SCOPED_TRACE(site);
        runner.clear();
        run();
        EXPECT_FALSE(runner.calls().isEmpty()) << "the screen ran no command";
        for (const vnq::test::RecordingRunner::Call& call : runner.calls()) {
            const QString error = vnq::test::whyCommandLeavesRoot(call, board.root());
            EXPECT_TRUE(error.isEmpty()) << error.toStdString() << " in: " << call.command.toStdString();
        }
    }

    // Makes the screen, touches the items in turn and deletes what is left of it.
    template <typename Screen, typename... Args>
    void touchThrough(const QStringList& ids, Args... args)
    {
        QPointer<Screen> screen = new Screen(&host, args...);
        for (const QString& id : ids)
            click(id);
        delete screen;
    }

    // A detail keypad: the digits typed, then the keys touched.
    template <typename Screen>
    void typeInto(const char* item, const char* digits, const QStringList& ids)
    {
        QPointer<Screen> screen = new Screen(&host, QString::fromLatin1(item));
        type(QString::fromLatin1(digits));
        for (const QString& id : ids)
            click(id);
        delete screen;
    }
};

TEST_P(HostileRootScreens, NoCommandOfTheSettingsScreensLeavesTheRoot)
{
    const QStringList enter{QStringLiteral("_BG_Enter")};
    const QStringList ping{QStringLiteral("Ping")};

    check("settings menu: back to the clock", [&] { touchThrough<Form3SetteiMenu>({"Back"}, 0); });
    check("administrator menu: back to the clock", [&] { touchThrough<Form4Admin>({"Back"}, 0); });
    check("USB backup", [&] { touchThrough<Form4AdminUsbOut>({"Pop_Yes"}); });
    check("USB restore", [&] { touchThrough<Form4AdminRestore>({"Pop_Yes"}); });

    check("date", [&] { typeInto<Form4TermSetShosai>("30", "20240229", enter); });
    check("time", [&] { typeInto<Form4TermSetShosai>("31", "0930", enter); });
    check("NTP server", [&] { typeInto<Form4TermSetShosai>("33", "192168001010", enter); });
    check("NTP server ping", [&] { typeInto<Form4TermSetShosai>("33", "192168001010", ping); });
    check("name server check", [&] { typeInto<Form4TermSetShosai>("DNS", "", ping); });
    check("volume", [&] { typeInto<Form4TermSetShosai>("20", "", {"Sel4_3", "_BG_Enter"}); });
    check("reboot time", [&] {
        useEdition(ZSystem::Merid);
        typeInto<Form4TermSetShosai>("24", "0430", enter);
        useEdition(ZSystem::Basic);
    });

    check("network address", [&] {
        ASSERT_TRUE(DBSetting::setSetting(QStringLiteral("DHCPの設定"), 0));
        useEdition(ZSystem::Cloud);
        typeInto<Form4NetSetShosai>("00", "192168000120", enter);
        useEdition(ZSystem::Basic);
    });
    check("gateway ping", [&] { typeInto<Form4NetSetShosai>("02", "", ping); });
    check("wireless LAN: scan, security, connection check, leaving", [&] {
        touchThrough<Form4NetSetWifi>({"Mode_ID_SRCH", "Back", "Sec_WPA", "Check_AP", "Exit"}, QStringLiteral("14"));
    });
    check("wireless LAN: left unconfirmed", [&] {
        ASSERT_TRUE(board.writeFile(QStringLiteral("/sys/class/net/wlan0/wireless/level"), "0\n"));
        touchThrough<Form4NetSetWifi>({"Sec_WPA", "Exit"}, QStringLiteral("14"));
    });

    check("system information", [&] { touchThrough<Form4MenteShosai>({}, QStringLiteral("00")); });
    check("factory reset", [&] { touchThrough<Form4MenteShosai>({"Pop_Yes"}, QStringLiteral("01")); });
    check("stamp deletion", [&] { touchThrough<Form4MenteShosai>({"Pop_Yes"}, QStringLiteral("02")); });
    check("touch calibration, confirmed", [&] {
        ASSERT_TRUE(board.writeFile(QStringLiteral("/etc/pointercal"), "1 0 0 0 1 0 1\n"));
        touchThrough<Form4MenteShosai>({"Start", "Pop_back"}, QStringLiteral("03"));
    });
    check("touch calibration, left unconfirmed", [&] {
        ASSERT_TRUE(board.writeFile(QStringLiteral("/etc/pointercal"), "1 0 0 0 1 0 1\n"));
        QPointer<Form4MenteShosai> detail = new Form4MenteShosai(&host, QStringLiteral("03"));
        click(QStringLiteral("Start"));
        host.returnPage(detail, false);
        delete detail;
    });
}

INSTANTIATE_TEST_SUITE_P(Roots, HostileRootScreens,
                         ::testing::Values("/tmp/vnq x-XXXXXX", "/tmp/vnq'q-XXXXXX", "/tmp/vnq$(touch vnq-pwned)-XXXXXX"));

}  // namespace
