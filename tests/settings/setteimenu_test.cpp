// The settings menu: its pages in the three editions, the password keypad and where each
// entry leads.

#include "db.h"
#include "dbsetting.h"
#include "form3setteimenu.h"
#include "settingsfixture.h"

#include <QPointer>

namespace {

using SetteiMenu = SettingsFixture;

class SetteiMenuPages : public SetteiMenu, public ::testing::WithParamInterface<EditionPage> {};

TEST_P(SetteiMenuPages, DrawsThePageOfTheEdition)
{
    useEdition(GetParam().edition);
    const int before = mark();
    host.createPages = true;
    host.movePage(GetParam().number, nullptr);
    ASSERT_NE(host.currentPage(), nullptr);
    expectScreen(QString::fromLatin1(GetParam().golden), updatesSince(before));
}

INSTANTIATE_TEST_SUITE_P(Editions, SetteiMenuPages,
                         ::testing::Values(EditionPage{ZSystem::Basic, 7, "setteimenu_basic_0"},
                                           EditionPage{ZSystem::Basic, 8, "setteimenu_basic_1"},
                                           EditionPage{ZSystem::Cloud, 7, "setteimenu_cloud_0"},
                                           EditionPage{ZSystem::Cloud, 8, "setteimenu_cloud_1"},
                                           EditionPage{ZSystem::Merid, 7, "setteimenu_merid_0"},
                                           EditionPage{ZSystem::Merid, 8, "setteimenu_merid_1"}),
                         [](const ::testing::TestParamInfo<EditionPage>& info) {
                             return std::string(info.param.golden);
                         });

TEST_F(SetteiMenu, APageOutsideTheTableShowsTheFirstPage)
{
    const int before = mark();
    Form3SetteiMenu first(&host, 0);
    const QStringList firstPage = updatesSince(before);
    const int after = mark();
    Form3SetteiMenu outside(&host, 2);
    QStringList outsidePage = updatesSince(after);
    ASSERT_EQ(outsidePage.size(), 1);
    // Only the screen generation differs.
    EXPECT_EQ(outsidePage[0].replace(QStringLiteral("<id>2"), QStringLiteral("<id>1")), firstPage.value(0));
    EXPECT_EQ(log.matching(QStringLiteral("<ERR>")).size(), 1);
}

TEST_F(SetteiMenu, ProtectedButtonsAndKanriOpenThePasswordKeypad)
{
    for (const char* button : {"02", "Kanri"}) {
        Form3SetteiMenu menu(&host, 0);
        const int before = mark();
        touch(QString::fromLatin1(button));
        expectScreen(QStringLiteral("setteimenu_keypad_%1").arg(QString::fromLatin1(button)), updatesSince(before));
    }
}

TEST_F(SetteiMenu, RefusedEntriesShowTheirMessageAndResetTheEntry)
{
    Form3SetteiMenu menu(&host, 0);
    click(QStringLiteral("02"));
    type(QStringLiteral("12345"));
    int before = mark();
    click(QStringLiteral("_BG_Enter"));
    expectScreen(QStringLiteral("setteimenu_message_short"), updatesSince(before));

    type(QStringLiteral("999999"));
    before = mark();
    click(QStringLiteral("_BG_Enter"));
    expectScreen(QStringLiteral("setteimenu_message_error"), updatesSince(before));
    EXPECT_TRUE(host.calls().isEmpty());
}

struct EntryCase {
    const char* name;
    std::function<void()> storePassword;
    const char* button;
    const char* typed;
    const char* hostCall;  // "" when refused
    const char* message;   // shown in the value field when refused
    bool passwordReplaced;
};

void storePassword(int value)
{
    ASSERT_TRUE(DBSetting::setSetting(QStringLiteral("管理者パスワード"), value));
}

void removePassword()
{
    QVariantList none;
    DB::getInstance()->execQueryBase(QStringLiteral("../DB/setting.db"),
                                     QStringLiteral("DELETE FROM setting WHERE jname = '管理者パスワード'"), &none);
}

TEST_F(SetteiMenu, EntriesOpenTheirScreenOrAreRefused)
{
    const EntryCase cases[] = {
        {"password after 02", [] { storePassword(123); }, "02", "000123", "moveToMenu 9", "", false},
        {"password after 01", [] { storePassword(123); }, "01", "000123", "movePage 6", "", false},
        {"password after 03", [] { storePassword(123); }, "03", "000123", "moveToMenu 15", "", false},
        {"code after Kanri", [] { storePassword(123); }, "Kanri", "583019", "moveToMenu 22", "", false},
        {"password after Kanri", [] { storePassword(123); }, "Kanri", "000123", "", "エラー", false},
        {"code after 03", [] { storePassword(123); }, "03", "583019", "", "エラー", false},
        {"five digits", [] { storePassword(123); }, "02", "00012", "", "入力不足", false},
        {"nothing typed", [] { storePassword(123); }, "02", "", "", "エラー", false},
        {"nothing typed, unset password", [] { storePassword(-1); }, "02", "", "", "エラー", true},
        {"unset password", [] { storePassword(-1); }, "02", "000000", "moveToMenu 9", "", true},
        {"password row missing", removePassword, "02", "000000", "moveToMenu 9", "", true},
        {"password too large", [] { storePassword(1000000); }, "02", "000000", "moveToMenu 9", "", true},
    };
    for (const EntryCase& c : cases) {
        SCOPED_TRACE(c.name);
        c.storePassword();
        host.clearCalls();
        runner.clear();
        log.clear();
        QPointer<Form3SetteiMenu> menu = new Form3SetteiMenu(&host, 0);
        click(QString::fromLatin1(c.button));
        type(QString::fromLatin1(c.typed));
        const qint64 startMs = fakeClock.monotonicMs();
        const int before = mark();
        click(QStringLiteral("_BG_Enter"));

        const bool opens = *c.hostCall != 0;
        EXPECT_EQ(host.calls(), opens ? QStringList{QString::fromUtf8(c.hostCall)} : QStringList{});
        EXPECT_EQ(menu.isNull(), opens);
        EXPECT_EQ(sounds(), QStringList{opens ? QStringLiteral("BUTTON.wav") : QStringLiteral("ERROR.wav")});
        EXPECT_EQ(fakeClock.monotonicMs() - startMs, opens ? 0 : 2000);
        if (!opens) {
            const QStringList shown = updatesSince(before);
            ASSERT_EQ(shown.size(), 2);
            EXPECT_TRUE(shown[0].contains(expect::enc(QString::fromUtf8(c.message))));
        }
        // A stored password that cannot be used is replaced, with one error line.
        EXPECT_EQ(log.matching(QStringLiteral("<ERR>")).size(), c.passwordReplaced ? 1 : 0);
        delete menu;
    }
}

TEST_F(SetteiMenu, CancelRedrawsTheMenuAndForgetsTheKeypad)
{
    const int before = mark();
    QPointer<Form3SetteiMenu> menu = new Form3SetteiMenu(&host, 1);
    const QStringList page = updatesSince(before);
    click(QStringLiteral("Kanri"));
    type(QStringLiteral("58"));
    const int cancelled = mark();
    click(QStringLiteral("Cancel"));
    QStringList redrawn = updatesSince(cancelled);
    ASSERT_EQ(redrawn.size(), 1);
    // The same page again, one screen generation later (the keypad had its own).
    EXPECT_EQ(redrawn[0].replace(QStringLiteral("<id>3"), QStringLiteral("<id>1")), page.value(0));
    // Digits after Cancel no longer reach a keypad, and the menu takes its buttons again.
    type(QStringLiteral("5"));
    click(QStringLiteral("13"));
    EXPECT_EQ(host.calls(), QStringList{QStringLiteral("movePage 2")});
    EXPECT_TRUE(menu.isNull());
}

TEST_F(SetteiMenu, BackReturnsToTheClockAndThenFlushesTheFileSystems)
{
    QPointer<Form3SetteiMenu> menu = new Form3SetteiMenu(&host, 0);
    runner.clear();
    int syncsAtReturn = -1;
    host.onCall = [&](const QString&) { syncsAtReturn = runner.count(QStringLiteral("sync")); };
    click(QStringLiteral("Back"));
    EXPECT_EQ(host.calls(), QStringList{QStringLiteral("returnPage false")});
    EXPECT_EQ(syncsAtReturn, 0);
    EXPECT_EQ(runner.count(QStringLiteral("sync")), 1);
    EXPECT_TRUE(menu.isNull());
}

TEST_F(SetteiMenu, NextAndPrevWalkBetweenThePagesThroughTheHost)
{
    host.createPages = true;
    host.movePage(7, nullptr);
    QPointer<QObject> first = host.currentPage();
    touch(QStringLiteral("Next"));
    EXPECT_TRUE(first.isNull());
    QPointer<QObject> second = host.currentPage();
    ASSERT_NE(second, nullptr);
    touch(QStringLiteral("Prev"));
    EXPECT_TRUE(second.isNull());
    EXPECT_EQ(host.calls(), (QStringList{QStringLiteral("movePage 7"), QStringLiteral("movePage 8"),
                                         QStringLiteral("movePage 7")}));
}

TEST_F(SetteiMenu, TypedPasswordsStayOutOfTheLog)
{
    storePassword(964758);
    for (const char* typed : {"964758", "975864"}) {
        QPointer<Form3SetteiMenu> menu = new Form3SetteiMenu(&host, 0);
        touch(QStringLiteral("02"));
        for (const QChar digit : QString::fromLatin1(typed))
            touch(QStringLiteral("Sel3x4_") + digit);
        touch(QStringLiteral("_BG_Enter"));
        delete menu;
    }
    EXPECT_EQ(host.calls(), QStringList{QStringLiteral("moveToMenu 9")});
    const QStringList lines = log.messages();
    for (const QString& line : lines) {
        EXPECT_FALSE(line.contains(QRegularExpression(QStringLiteral("Sel3x4_\\d")))) << line.toStdString();
        for (const char* secret : {"9647", "6475", "4758", "9758", "7586", "5864"})
            EXPECT_FALSE(line.contains(QLatin1String(secret))) << line.toStdString();
    }
    EXPECT_FALSE(lines.filter(QStringLiteral("Sel3x4_*")).isEmpty());
}

}  // namespace
