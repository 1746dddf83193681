// The terminal setting detail on the detail base: drawing, entry checks, saves per key type,
// the date and the time, the address checks and what a save re-arms.

#include "db.h"
#include "dbsetting.h"
#include "form4termsetshosai.h"
#include "heartbeat.h"
#include "keypad.h"
#include "mytimer.h"
#include "settingsfixture.h"

#include <QPointer>

namespace {

// Opens the base's members to the range table.
class DetailProbe : public Form4TermSetShosai {
public:
    using Form4TermSetShosai::Form4TermSetShosai;
    using Form4Settei0ShosaiBase2::values;
};

class TermSetShosai : public SettingsFixture {
protected:
    static int setting(const QString& name)
    {
        int value = -99;
        DBSetting::getSetting(name, &value);
        return value;
    }

    QString path(const char* boardPath) const { return board.path(QString::fromLatin1(boardPath)); }
};

struct ScreenCase {
    const char* id;
    const char* golden;
};

TEST_F(TermSetShosai, DrawsTheKeypadOfTheItem)
{
    ASSERT_TRUE(DBSetting::setSettings({{QStringLiteral("NTPサーバー0"), 10}, {QStringLiteral("NTPサーバー1"), 0},
                                        {QStringLiteral("NTPサーバー2"), 0}, {QStringLiteral("NTPサーバー3"), 1}}));
    const ScreenCase cases[] = {
        {"12", "shosai_seconds"}, {"03", "shosai_band"}, {"33", "shosai_address"}, {"30", "shosai_date"},
    };
    for (const ScreenCase& c : cases) {
        const int before = mark();
        Form4TermSetShosai detail(&host, QString::fromLatin1(c.id));
        expectScreen(QString::fromLatin1(c.golden), updatesSince(before));
    }
}

TEST_F(TermSetShosai, RefusedEntriesShowTheirMessage)
{
    const struct {
        const char* id;
        const char* typed;
        const char* golden;
    } cases[] = {
        {"03", "080", "shosai_message_short"},
        {"12", "0", "shosai_message_range"},
        {"40", "5", "shosai_message_unsaved"},
    };
    for (const auto& c : cases) {
        QPointer<Form4TermSetShosai> detail = new Form4TermSetShosai(&host, QString::fromLatin1(c.id));
        if (QByteArray(c.golden).endsWith("unsaved"))
            removeSetting(QStringLiteral("接点出力秒数"));  // gone after the screen read its bounds
        type(QString::fromLatin1(c.typed));
        const int before = mark();
        const qint64 startMs = fakeClock.monotonicMs();
        click(QStringLiteral("_BG_Enter"));
        expectScreen(QString::fromLatin1(c.golden), updatesSince(before));
        EXPECT_EQ(fakeClock.monotonicMs() - startMs, 2000);
        EXPECT_TRUE(host.calls().isEmpty());
        delete detail;
    }
}

struct SaveCase {
    const char* name;
    ZSystem::_zmode edition;
    const char* id;
    const char* typed;
    QList<QPair<QString, int>> rows;  // after the save
    const char* hostCall;
};

TEST_F(TermSetShosai, SavesEachKeyTypeAndReturnsToItsMenuPage)
{
    const SaveCase cases[] = {
        {"seconds", ZSystem::Basic, "12", "25", {{QStringLiteral("タッチ選択優先秒数"), 25}}, "moveToMenu 10"},
        {"band",
         ZSystem::Basic,
         "03",
         "08001700",
         {{QStringLiteral("出勤モード(開始)"), 480}, {QStringLiteral("出勤モード(終了)"), 1020}},
         "moveToMenu 9"},
        {"address",
         ZSystem::Basic,
         "33",
         "192168001010",
         {{QStringLiteral("NTPサーバー0"), 192},
          {QStringLiteral("NTPサーバー1"), 168},
          {QStringLiteral("NTPサーバー2"), 1},
          {QStringLiteral("NTPサーバー3"), 10}},
         "moveToMenu 12"},
        {"contact seconds", ZSystem::Basic, "40", "5", {{QStringLiteral("接点出力秒数"), 5}}, "moveToMenu 13"},
        {"reboot time, Merid", ZSystem::Merid, "24", "0430", {{QStringLiteral("リブート時刻"), 270}}, "moveToMenu 11"},
        {"day-change band", ZSystem::Basic, "24", "05000500", {{QStringLiteral("日替退勤有効時刻帯(開始)"), 300}},
         "moveToMenu 11"},
    };
    for (const SaveCase& c : cases) {
        SCOPED_TRACE(c.name);
        useEdition(c.edition);
        host.clearCalls();
        runner.clear();
        QPointer<Form4TermSetShosai> detail = new Form4TermSetShosai(&host, QString::fromLatin1(c.id));
        type(QString::fromLatin1(c.typed));
        click(QStringLiteral("_BG_Enter"));
        for (const auto& row : c.rows)
            EXPECT_EQ(setting(row.first), row.second) << row.first.toStdString();
        EXPECT_EQ(host.calls(), QStringList{QString::fromLatin1(c.hostCall)});
        EXPECT_TRUE(detail.isNull());
        EXPECT_EQ(sounds(), QStringList{QStringLiteral("BUTTON.wav")});
    }
}

TEST_F(TermSetShosai, AMissingRowIsNeverReportedAsSaved)
{
    // A single row: the write finds nothing and the read-back must not take 0 for the value.
    ASSERT_TRUE(DBSetting::setSetting(QStringLiteral("タッチ選択優先秒数"), 10));
    removeSetting(QStringLiteral("接点出力秒数"));
    {
        QPointer<Form4TermSetShosai> detail = new Form4TermSetShosai(&host, QStringLiteral("40"));
        type(QStringLiteral("0"));
        click(QStringLiteral("_BG_Enter"));
        EXPECT_FALSE(detail.isNull());
        delete detail;
    }
    // A band without its end row keeps its start as it was.
    removeSetting(QStringLiteral("退勤モード(終了)"));
    QPointer<Form4TermSetShosai> detail = new Form4TermSetShosai(&host, QStringLiteral("04"));
    type(QStringLiteral("08001700"));
    click(QStringLiteral("_BG_Enter"));
    EXPECT_EQ(setting(QStringLiteral("退勤モード(開始)")), -1);
    EXPECT_FALSE(detail.isNull());
    EXPECT_TRUE(host.calls().isEmpty());
    EXPECT_EQ(log.matching(QStringLiteral("保存できませんでした")).size(), 2);
    delete detail;
}

TEST_F(TermSetShosai, DeleteClearsAnAddressAndNothingElse)
{
    QPointer<Form4TermSetShosai> address = new Form4TermSetShosai(&host, QStringLiteral("IPアドレス"));
    click(QStringLiteral("Delete"));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(setting(QStringLiteral("IPアドレス%1").arg(i)), -1);
    EXPECT_TRUE(address.isNull());

    QPointer<Form4TermSetShosai> seconds = new Form4TermSetShosai(&host, QStringLiteral("12"));
    click(QStringLiteral("Delete"));
    EXPECT_EQ(setting(QStringLiteral("タッチ選択優先秒数")), 10);
    EXPECT_TRUE(seconds.isNull());
    EXPECT_EQ(host.calls(), (QStringList{QStringLiteral("moveToMenu 9"), QStringLiteral("moveToMenu 10")}));
}

TEST_F(TermSetShosai, DatesOutsideTheCalendarOrTheBoundsAreOutOfRange)
{
    DetailProbe date(&host, QStringLiteral("30"));
    const struct {
        int year, month, day;
        bool outOfRange;
    } cases[] = {
        {2038, 1, 1, true},  {2024, 13, 1, true}, {2024, 1, 0, true},  {2024, 4, 31, true},
        {2023, 2, 29, true}, {2024, 2, 29, false}, {2037, 12, 31, false}, {2015, 12, 31, true},
    };
    for (const auto& c : cases) {
        date.values = {c.year, c.month, c.day};
        EXPECT_EQ(date.isOutOfRange(), c.outOfRange) << c.year << "-" << c.month << "-" << c.day;
    }
}

TEST_F(TermSetShosai, SettingTheTimeSetsBothClocksAndAnnouncesTheJump)
{
    runner.onCommand = [&](const QString& command) {
        if (command.startsWith(QStringLiteral("date -s ")))
            fakeClock.setNow(QDateTime(QDate(2024, 1, 1), QTime(9, 30)));
        if (command.startsWith(QStringLiteral("touch ")))
            board.writeFile(QStringLiteral("/var/log/timesync"), {});
    };
    QPointer<Form4TermSetShosai> detail = new Form4TermSetShosai(&host, QStringLiteral("31"));
    runner.clear();
    type(QStringLiteral("0930"));
    click(QStringLiteral("_BG_Enter"));
    EXPECT_EQ(setting(QStringLiteral("時刻設定")), 570);
    const QStringList commands = runner.commands().filter(QRegularExpression(QStringLiteral("^(date|hwclock|touch)")));
    EXPECT_EQ(commands, (QStringList{QStringLiteral("date -s 09:30"),
                                     QStringLiteral("hwclock -u -w -f ") + path("/dev/rtc0"),
                                     QStringLiteral("date +%s > '") + path("/mnt/spi_user/Log/sync.time") + "'",
                                     QStringLiteral("touch '") + path("/var/log/timesync") + "'"}));
    EXPECT_EQ(host.calls(), QStringList{QStringLiteral("moveToMenu 12")});

    // The scheduler takes the jump as announced: no clock check.
    runner.clear();
    MyTimer::getInstance()->unlockTimer();
    MyTimer::getInstance()->tickerTask();
    EXPECT_TRUE(runner.commands().filter(QStringLiteral("Tikwarden")).isEmpty());
    EXPECT_FALSE(board.exists(QStringLiteral("/var/log/timesync")));
}

TEST_F(TermSetShosai, AFailedClockCommandIsNoSave)
{
    const struct {
        const char* failing;
        bool announced;
    } cases[] = {{"date -s", false}, {"hwclock", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failing);
        runner.clear();
        runner.script(QString::fromLatin1(c.failing), 1);
        QPointer<Form4TermSetShosai> detail = new Form4TermSetShosai(&host, QStringLiteral("30"));
        type(QStringLiteral("20240229"));
        const QString now = fakeClock.now().toString(QStringLiteral("hh:mm:ss"));
        click(QStringLiteral("_BG_Enter"));
        EXPECT_FALSE(detail.isNull());
        EXPECT_EQ(runner.commands().filter(QStringLiteral("date -s")),
                  QStringList{QStringLiteral("date -s \"2024-2-29 %1\"").arg(now)});
        EXPECT_EQ(runner.commands().filter(QStringLiteral("timesync")).size(), c.announced ? 1 : 0);
        EXPECT_EQ(runner.commands().filter(QStringLiteral("hwclock")).size(), c.announced ? 1 : 0);
        EXPECT_EQ(sounds(), QStringList{QStringLiteral("ERROR.wav")});
        EXPECT_TRUE(host.calls().isEmpty());
        runner.script(QString::fromLatin1(c.failing), 0);
        delete detail;
    }
}

TEST_F(TermSetShosai, PingShowsEachPassInTheValueField)
{
    QPointer<Form4TermSetShosai> detail = new Form4TermSetShosai(&host, QStringLiteral("33"));
    type(QStringLiteral("19216800"));
    runner.clear();
    click(QStringLiteral("Ping"));
    EXPECT_TRUE(runner.commands().filter(QStringLiteral("ping")).isEmpty());
    EXPECT_EQ(sounds(), QStringList{QStringLiteral("ERROR.wav")});

    type(QStringLiteral("1010"));
    int pass = 0;
    runner.onCommand = [&](const QString& command) {
        if (command.startsWith(QStringLiteral("ping ")))
            runner.script(QStringLiteral("ping "), pass++ % 2);
    };
    const int tick = selftick;
    const int before = mark();
    click(QStringLiteral("Ping"));
    EXPECT_EQ(runner.commands().filter(QStringLiteral("ping -c 1 -W 2 192.168.1.10")).size(), 4);
    EXPECT_EQ(selftick - tick, 4);
    const QStringList shown = updatesSince(before);
    ASSERT_GE(shown.size(), 5);
    EXPECT_TRUE(shown[4].contains(QStringLiteral("<text>OK%2CNG%2COK%2CNG</text>")));
    EXPECT_FALSE(detail.isNull());
}

TEST_F(TermSetShosai, TheNameServerIsAskedWithoutTouchingResolvConf)
{
    const QByteArray resolv = "nameserver 192.168.0.1 # eth0\n";
    ASSERT_TRUE(board.writeFile(QStringLiteral("/etc/resolv.conf"), resolv));
    const struct {
        int exitCode;
        bool timedOut;
        const char* shown;
    } cases[] = {{0, false, "OK"}, {1, false, "NG"}, {0, true, "NG"}};
    for (const auto& c : cases) {
        runner.clear();
        runner.script(QStringLiteral("nslookup "), c.exitCode);
        if (c.timedOut)
            runner.scriptNotStarted(QStringLiteral("nslookup "));
        QPointer<Form4TermSetShosai> detail = new Form4TermSetShosai(&host, QStringLiteral("DNS"));
        const int before = mark();
        click(QStringLiteral("Ping"));
        EXPECT_EQ(runner.commands().filter(QStringLiteral("nslookup")),
                  QStringList{QStringLiteral("nslookup example.com 192.168.0.1")});
        const QStringList shown = updatesSince(before);
        EXPECT_TRUE(shown.value(0).contains(expect::enc(QStringLiteral("チェック・・・"))));
        EXPECT_TRUE(shown.value(1).contains(QStringLiteral("<text>%1</text>").arg(QString::fromLatin1(c.shown))));
        delete detail;
    }
    EXPECT_EQ(board.readFile(QStringLiteral("/etc/resolv.conf")), resolv);
    EXPECT_FALSE(selfcheckpass.load());

    // An address without a check runs nothing.
    runner.clear();
    Form4TermSetShosai address(&host, QStringLiteral("IPアドレス"));
    click(QStringLiteral("Ping"));
    EXPECT_TRUE(runner.commands().isEmpty());
}

TEST_F(TermSetShosai, SavedVolumesTakeEffectBeforeTheConfirmationSound)
{
    SoundModule::touchVolume = 2;
    Form4TermSetShosai* detail = new Form4TermSetShosai(&host, QStringLiteral("20"));
    Q_UNUSED(detail);
    runner.clear();
    click(QStringLiteral("Sel4_3"));
    click(QStringLiteral("_BG_Enter"));
    EXPECT_EQ(SoundModule::touchVolume, 3);
    EXPECT_EQ(runner.commands().filter(QStringLiteral("aplay")),
              QStringList{QStringLiteral("nice -n -20 aplay ") + board.path(QStringLiteral("/VnQo/app/Sound/3/BUTTON.wav"))
                          + QStringLiteral(" > /dev/null 2>&1 &")});
    EXPECT_EQ(host.calls(), QStringList{QStringLiteral("moveToMenu 11")});
}

TEST_F(TermSetShosai, EachRowGoesBackToTheMenuPageThatHoldsIt)
{
    const struct {
        ZSystem::_zmode edition;
        QStringList ids;
        QList<int> menus;
    } editions[] = {
        {ZSystem::Basic, {"00", "04", "10", "14", "20", "24", "30", "34", "40"}, {9, 9, 10, 10, 11, 11, 12, 12, 13}},
        {ZSystem::Merid, {"00", "14", "24"}, {9, 10, 11}},
    };
    for (const auto& e : editions) {
        useEdition(e.edition);
        for (int i = 0; i < e.ids.size(); ++i) {
            host.clearCalls();
            new Form4TermSetShosai(&host, e.ids[i]);
            click(QStringLiteral("Cancel"));
            EXPECT_EQ(host.calls(), QStringList{QStringLiteral("moveToMenu %1").arg(e.menus[i])}) << e.ids[i].toStdString();
        }
    }
}

TEST_F(TermSetShosai, BandsThatClashOrRunBackwardsAreRefused)
{
    ASSERT_TRUE(DBSetting::setSettings({{QStringLiteral("退勤モード(開始)"), 540}, {QStringLiteral("退勤モード(終了)"), 720}}));
    const struct {
        const char* id;
        const char* typed;
        const char* message;
    } cases[] = {{"03", "11001300", "時間帯重複"}, {"24", "22000500", "入力範囲外"}};
    for (const auto& c : cases) {
        QPointer<Form4TermSetShosai> detail = new Form4TermSetShosai(&host, QString::fromLatin1(c.id));
        type(QString::fromLatin1(c.typed));
        const int before = mark();
        click(QStringLiteral("_BG_Enter"));
        EXPECT_TRUE(updatesSince(before).value(0).contains(expect::enc(QString::fromUtf8(c.message)))) << c.id;
        EXPECT_FALSE(detail.isNull());
        delete detail;
    }
    EXPECT_EQ(setting(QStringLiteral("出勤モード(開始)")), -1);
    EXPECT_EQ(setting(QStringLiteral("日替退勤有効時刻帯(開始)")), 0);
}

TEST_F(TermSetShosai, ASavedPasswordStaysOutOfTheLog)
{
    new Form4TermSetShosai(&host, QStringLiteral("管理者パスワード"));
    type(QStringLiteral("964758"));
    click(QStringLiteral("_BG_Enter"));
    EXPECT_EQ(setting(QStringLiteral("管理者パスワード")), 964758);
    EXPECT_EQ(log.matching(QStringLiteral("val: ******")).size(), 1);
    EXPECT_TRUE(log.matching(QStringLiteral("9647")).isEmpty());
}

}  // namespace
