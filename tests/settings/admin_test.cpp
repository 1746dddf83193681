// The administrator menu, its detail screen and the USB backup and restore screens.

#include "dbsetting.h"
#include "form4admin.h"
#include "form4adminshosai.h"
#include "heartbeat.h"
#include "settingsfixture.h"
#include "usbtransferscreen.h"

#include <QPointer>

namespace {

using Admin = SettingsFixture;

class AdminPages : public Admin, public ::testing::WithParamInterface<EditionPage> {};

TEST_P(AdminPages, DrawsThePageOfTheEdition)
{
    useEdition(GetParam().edition);
    const int before = mark();
    host.createPages = true;
    host.moveToMenu(GetParam().number, nullptr);
    ASSERT_NE(host.currentPage(), nullptr);
    expectScreen(QString::fromLatin1(GetParam().golden), updatesSince(before));
}

INSTANTIATE_TEST_SUITE_P(Editions, AdminPages,
                         ::testing::Values(EditionPage{ZSystem::Basic, 22, "admin_basic_0"},
                                           EditionPage{ZSystem::Basic, 23, "admin_basic_0"},
                                           EditionPage{ZSystem::Cloud, 22, "admin_cloud_0"},
                                           EditionPage{ZSystem::Cloud, 23, "admin_cloud_1"}),
                         [](const ::testing::TestParamInfo<EditionPage>& info) {
                             return std::string(info.param.golden) + "_" + std::to_string(info.param.number);
                         });

TEST_F(Admin, KanriOpensTheCodeKeypad)
{
    Form4Admin menu(&host, 0);
    const int before = mark();
    click(QStringLiteral("Kanri"));
    expectScreen(QStringLiteral("admin_keypad"), updatesSince(before));
}

struct TouchCase {
    const char* name;
    ZSystem::_zmode edition;
    QStringList touches;
    const char* hostCall;  // "" when the menu stays
    const char* message;   // in the value field, when refused
};

TEST_F(Admin, TouchesOpenTheirScreenOrAreRefused)
{
    const TouchCase cases[] = {
        {"code", ZSystem::Basic, {"Kanri", "Sel3x4_7", "Sel3x4_3", "Sel3x4_0", "Sel3x4_1", "Sel3x4_6", "Sel3x4_4", "_BG_Enter"},
         "moveToMenu 27", ""},
        {"short code", ZSystem::Basic, {"Kanri", "Sel3x4_7", "Sel3x4_3", "_BG_Enter"}, "", "入力不足"},
        {"wrong code", ZSystem::Basic, {"Kanri", "Sel3x4_1", "Sel3x4_1", "Sel3x4_1", "Sel3x4_1", "Sel3x4_1", "Sel3x4_1", "_BG_Enter"},
         "", "エラー"},
        {"nothing typed", ZSystem::Basic, {"Kanri", "_BG_Enter"}, "", "エラー"},
        {"backup", ZSystem::Basic, {"02"}, "movePage 25", ""},
        {"restore", ZSystem::Basic, {"03"}, "movePage 26", ""},
        {"password", ZSystem::Basic, {"00"}, "moveToShosai 24 00", ""},
        {"operation mode", ZSystem::Basic, {"01"}, "moveToShosai 24 01", ""},
        {"date", ZSystem::Cloud, {"10"}, "moveToShosai 24 10", ""},
        {"time", ZSystem::Cloud, {"11"}, "moveToShosai 24 11", ""},
        {"row frame", ZSystem::Basic, {"Bar00"}, "", ""},
        {"next, cloud", ZSystem::Cloud, {"Next"}, "movePage 23", ""},
        {"prev, cloud", ZSystem::Cloud, {"Prev"}, "movePage 22", ""},
        {"back", ZSystem::Basic, {"Back"}, "returnPage false", ""},
        {"rows after cancel", ZSystem::Basic, {"Kanri", "Cancel", "03"}, "movePage 26", ""},
        {"rows under the keypad", ZSystem::Basic, {"Kanri", "03"}, "", ""},
    };
    for (const TouchCase& c : cases) {
        SCOPED_TRACE(c.name);
        useEdition(c.edition);
        host.clearCalls();
        runner.clear();
        QPointer<Form4Admin> menu = new Form4Admin(&host, 0);
        const int before = mark();
        for (const QString& id : c.touches)
            click(id);
        const bool moves = *c.hostCall != 0;
        EXPECT_EQ(host.calls(), moves ? QStringList{QString::fromLatin1(c.hostCall)} : QStringList{});
        EXPECT_EQ(menu.isNull(), moves);
        if (*c.message) {
            EXPECT_TRUE(updatesSince(before).join(QString()).contains(expect::enc(QString::fromUtf8(c.message))));
            EXPECT_EQ(sounds(), QStringList{QStringLiteral("ERROR.wav")});
        }
        delete menu;
    }
}

TEST_F(Admin, EmptyRowsTakeNoTouch)
{
    Form4Admin menu(&host, 0);
    sync();
    EXPECT_TRUE(peer.wireId(QStringLiteral("04")).isEmpty());
    EXPECT_TRUE(peer.wireId(QStringLiteral("Bar04")).isEmpty());
    EXPECT_FALSE(peer.wireId(QStringLiteral("03")).isEmpty());
}

TEST_F(Admin, BackReturnsToTheClockAndThenFlushesTheFileSystems)
{
    new Form4Admin(&host, 0);
    runner.clear();
    int syncsAtReturn = -1;
    host.onCall = [&](const QString&) { syncsAtReturn = runner.count(QStringLiteral("sync")); };
    click(QStringLiteral("Back"));
    EXPECT_EQ(host.calls(), QStringList{QStringLiteral("returnPage false")});
    EXPECT_EQ(syncsAtReturn, 0);
    EXPECT_EQ(runner.count(QStringLiteral("sync")), 1);
}

TEST_F(Admin, DetailScreensOfThePasswordAndTheOperationMode)
{
    ASSERT_TRUE(DBSetting::setSetting(QStringLiteral("管理者パスワード"), 123));
    const struct {
        ZSystem::_zmode edition;
        const char* id;
        const char* golden;
    } cases[] = {
        {ZSystem::Basic, "00", "adminshosai_password"},
        {ZSystem::Basic, "01", "adminshosai_mode_basic"},
        {ZSystem::Merid, "01", "adminshosai_mode_merid"},
    };
    for (const auto& c : cases) {
        useEdition(c.edition);
        const int before = mark();
        Form4AdminShosai detail(&host, QString::fromLatin1(c.id));
        expectScreen(QString::fromLatin1(c.golden), updatesSince(before));
    }
}

TEST_F(Admin, ASavedPasswordKeepsItsLeadingZerosAndStaysOutOfTheLog)
{
    host.createPages = true;
    host.moveToShosai(24, nullptr, QStringLiteral("00"));
    type(QStringLiteral("000123"));
    int before = mark();
    click(QStringLiteral("_BG_Enter"));
    int value = 0;
    ASSERT_TRUE(DBSetting::getSetting(QStringLiteral("管理者パスワード"), &value));
    EXPECT_EQ(value, 123);
    EXPECT_EQ(host.calls().last(), QStringLiteral("moveToMenu 22"));
    EXPECT_TRUE(updatesSince(before).join(QString()).contains(QStringLiteral("<text>000123</text>")));

    host.moveToShosai(24, host.currentPage(), QStringLiteral("00"));
    type(QStringLiteral("284917"));
    click(QStringLiteral("_BG_Enter"));
    ASSERT_TRUE(DBSetting::getSetting(QStringLiteral("管理者パスワード"), &value));
    EXPECT_EQ(value, 284917);
    EXPECT_TRUE(log.matching(QStringLiteral("284917")).isEmpty());
    EXPECT_TRUE(log.matching(QStringLiteral("2849")).isEmpty());
}

TEST_F(Admin, AnOperationModeOfTheBasicEditionShowsUntilChanged)
{
    useEdition(ZSystem::Cloud);
    ASSERT_TRUE(DBSetting::setSetting(QStringLiteral("動作モード"), 3));
    const int before = mark();
    Form4Admin menu(&host, 0);
    EXPECT_TRUE(updatesSince(before).value(0).contains(expect::enc(QStringLiteral("電気錠"))));
}

TEST_F(Admin, DateAndTimeReturnToTheSecondPage)
{
    useEdition(ZSystem::Cloud);
    for (const char* id : {"10", "11"}) {
        host.clearCalls();
        new Form4AdminShosai(&host, QString::fromLatin1(id));
        click(QStringLiteral("Cancel"));
        EXPECT_EQ(host.calls(), QStringList{QStringLiteral("moveToMenu 23")}) << id;
    }
}

TEST_F(Admin, UsbWindowsOfBackupAndRestore)
{
    for (const bool backup : {true, false}) {
        const int before = mark();
        QPointer<UsbTransferScreen> screen = backup ? static_cast<UsbTransferScreen*>(new Form4AdminUsbOut(&host))
                                                    : new Form4AdminRestore(&host);
        click(QStringLiteral("Pop_Yes"));
        expectScreen(backup ? QStringLiteral("usb_backup") : QStringLiteral("usb_restore"), updatesSince(before));
        delete screen;
    }
}

struct RunCase {
    const char* name;
    std::function<void(vnq::test::RecordingRunner&, const QString&)> script;
    const char* shown;
    bool timeWritten;
};

TEST_F(Admin, TheScriptsExitDecidesTheResult)
{
    const QString script = board.path(QStringLiteral("/VnQo/bin/vnqo_usb_backup"));
    const RunCase cases[] = {
        {"exit 0", [](vnq::test::RecordingRunner& r, const QString& s) { r.script(s, 0); }, "バックアップが完了しました", true},
        {"exit 10", [](vnq::test::RecordingRunner& r, const QString& s) { r.script(s, 10); }, "USBメモリが見つかりません", false},
        {"exit 1", [](vnq::test::RecordingRunner& r, const QString& s) { r.script(s, 1); }, "バックアップに失敗しました", false},
        {"not started", [](vnq::test::RecordingRunner& r, const QString& s) { r.scriptNotStarted(s); }, "バックアップに失敗しました", false},
        {"killed", [](vnq::test::RecordingRunner& r, const QString& s) { r.script(s, -1); }, "バックアップに失敗しました", false},
        {"timed out", [](vnq::test::RecordingRunner& r, const QString& s) { r.scriptTimedOut(s); }, "バックアップに失敗しました", false},
    };
    for (const RunCase& c : cases) {
        SCOPED_TRACE(c.name);
        vnq::test::RecordingRunner runner;  // fresh scripts for each case
        ASSERT_TRUE(DBSetting::setTsushin(QStringLiteral("バックアップ"), 0));
        c.script(runner, script);
        bool pausedDuringRun = false;
        runner.onCommand = [&](const QString& command) {
            if (command == script)
                pausedDuringRun = selfcheckpass.load();
        };
        host.clearCalls();
        QPointer<UsbTransferScreen> screen = new Form4AdminUsbOut(&host);
        const int before = mark();
        click(QStringLiteral("Pop_Yes"));
        EXPECT_TRUE(updatesSince(before).join(QString()).contains(expect::enc(QString::fromUtf8(c.shown))));
        EXPECT_TRUE(pausedDuringRun);
        EXPECT_FALSE(selfcheckpass.load());
        int stored = -1;
        DBSetting::getTsushin(QStringLiteral("バックアップ"), &stored);
        EXPECT_EQ(stored > 0, c.timeWritten);
        click(QStringLiteral("Pop_back"));
        EXPECT_EQ(host.calls(), QStringList{QStringLiteral("moveToMenu 22")});
        EXPECT_TRUE(screen.isNull());
    }
}

TEST_F(Admin, NoRunsNothing)
{
    QPointer<UsbTransferScreen> screen = new Form4AdminRestore(&host);
    runner.clear();
    click(QStringLiteral("Pop_No"));
    EXPECT_TRUE(runner.commands().filter(QStringLiteral("vnqo_usb")).isEmpty());
    EXPECT_EQ(host.calls(), QStringList{QStringLiteral("moveToMenu 22")});
    EXPECT_TRUE(screen.isNull());
}

TEST_F(Admin, AfterABackupTheMenuShowsItsTime)
{
    new Form4AdminUsbOut(&host);
    click(QStringLiteral("Pop_Yes"));
    const int before = mark();
    Form4Admin menu(&host, 0);
    const QString page = updatesSince(before).value(0);
    EXPECT_TRUE(page.contains(expect::enc(fakeClock.now().toString(QStringLiteral("yyyy/MM/dd hh:mm")))));
    EXPECT_TRUE(page.contains(expect::enc(QStringLiteral("履歴なし"))));  // the restore row
}

}  // namespace
