#include "clockfixture.h"

#include "cloudlink.h"
#include "fakecloudlink.h"

#include <QRegularExpression>

namespace {

using vnq::test::transcriptOf;

// What the pattern's first group captures in the update's transcript, in order.
QStringList capturedIn(const QString& update, const QString& pattern)
{
    QStringList out;
    auto it = QRegularExpression(pattern).globalMatch(transcriptOf(update));
    while (it.hasNext())
        out << it.next().captured(1);
    return out;
}

// The pictures (file names under the clock's folder) and the texts of an update, in order.
QStringList picturesOf(const QString& update)
{
    return capturedIn(update, QStringLiteral("<filename>\\.\\./Parts/01時計画面/([^<]*)</filename>"));
}

QStringList textsOf(const QString& update)
{
    return capturedIn(update, QStringLiteral("<text>([^<]*)</text>"));
}

class ClockFace : public ClockFixture {
protected:
    // The parts drawn for a time, forced as if the second had changed.
    QString faceAt(const QDateTime& time)
    {
        fakeClock.setNow(time);
        probe->lastSecond() = -1;
        const QStringList updates = updatesOf([this] { clock->dispClockParts(); });
        return updates.value(0);
    }

    void useWirelessLan(int dbm, bool levelFile = true)
    {
        setSetting("無線LAN", 1);
        if (levelFile) {
            ASSERT_TRUE(board.writeFile(QStringLiteral("/sys/class/net/wlan0/wireless/level"), "-50\n"));
        }
        ASSERT_TRUE(board.writeFile(QStringLiteral("/var/tmp/network.status"),
                                    QStringLiteral("\n\n\n\n\n\n\n\n%1\n\n").arg(dbm).toUtf8()));
    }
};

TEST_F(ClockFace, DigitsAmPmDateAndWeekday)
{
    const struct {
        QDateTime time;
        int display;
        QStringList pictures;  // between the frame and the message line
        QString date;
        QString weekday;
    } cases[] = {
        {QDateTime(QDate(2024, 1, 1), QTime(13, 5, 1)), 0, {"pm.png", "1.png", "0.png", "5.png", "col.png"}, "1/1", "月曜日"},
        {QDateTime(QDate(2024, 1, 1), QTime(0, 30, 2)), 0, {"am.png", "0.png", "3.png", "0.png"}, "1/1", "月曜日"},
        {QDateTime(QDate(2024, 1, 1), QTime(12, 0, 3)), 0, {"pm.png", "1.png", "2.png", "0.png", "0.png", "col.png"}, "1/1", "月曜日"},
        {QDateTime(QDate(2024, 1, 1), QTime(9, 7, 4)), 1, {"9.png", "0.png", "7.png"}, "1/1", "月曜日"},
        {QDateTime(QDate(2024, 1, 7), QTime(23, 45, 4)), 1, {"2.png", "3.png", "4.png", "5.png"}, "1/7", "日曜日"},
        {QDateTime(QDate(2024, 3, 9), QTime(10, 0, 4)), 1, {"1.png", "0.png", "0.png", "0.png"}, "3/9", "土曜日"},
        // An unset clock stands at 0:00 of 2016-01-01, blinking with the seconds.
        {QDateTime(QDate(2015, 12, 31), QTime(23, 59, 58)), 1, {}, "1/1", "金曜日"},
        {QDateTime(QDate(2015, 12, 31), QTime(23, 59, 59)), 1, {"0.png", "0.png", "0.png", "col.png"}, "1/1", "金曜日"},
    };
    for (const auto& c : cases) {
        setSetting("時計表示", c.display);
        delete clock;
        startActiveClock();
        SCOPED_TRACE(c.time.toString(Qt::ISODate).toStdString());
        const QString update = faceAt(c.time);
        const QStringList expected = QStringList{"枠時計.png"} + c.pictures + QStringList{"メッセージ.png"};
        EXPECT_EQ(picturesOf(update), expected);
        EXPECT_EQ(textsOf(update).mid(0, 2), (QStringList{c.date, c.weekday}));
    }
}

TEST_F(ClockFace, AntennaOnWirelessLanStartsTimeSyncOnceAtTheFirstSignal)
{
    setSetting("NTPサーバーを使用", 1);
    for (const char* octet : {"NTPサーバー0", "NTPサーバー1", "NTPサーバー2", "NTPサーバー3"})
        setSetting(octet, 10);
    useWirelessLan(-90, false);
    startActiveClock();
    const auto ntpStarts = [this] { return runner.commands().filter(QStringLiteral("vnq_sync_ntp")).size(); };
    EXPECT_EQ(ntpStarts(), 0) << "wireless LAN: not at the settings load";

    const struct {
        const char* levelFile;  // null: no adapter (USB power off)
        int dbm;
        int level;
        int ntpStarts;
    } cases[] = {
        {nullptr, 0, -1, 0}, {"-50\n", -90, 1, 1}, {"-50\n", -70, 2, 1}, {"-50\n", -60, 3, 1}, {"-50\n", -30, 4, 1},
    };
    int second = 10;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level);
        if (c.levelFile)
            useWirelessLan(c.dbm);
        const QString update = faceAt(QDateTime(QDate(2024, 1, 1), QTime(10, 0, second++)));
        EXPECT_TRUE(picturesOf(update).contains(QStringLiteral("アンテナ%1.png").arg(c.level)));
        EXPECT_TRUE(transcriptOf(update).contains(QStringLiteral("<x>405</x><y>52</y>")));
        EXPECT_EQ(ntpStarts(), c.ntpStarts);
    }

    board.writeFile(QStringLiteral("/sys/class/gpio/gpio33/value"), "1\n");
    QFile::remove(board.path(QStringLiteral("/sys/class/net/wlan0/wireless/level")));
    EXPECT_TRUE(picturesOf(faceAt(QDateTime(QDate(2024, 1, 1), QTime(10, 1, 0)))).contains(QStringLiteral("アンテナ0.png")))
        << "adapter powered but not up";
    clock->changeSettings();
    faceAt(QDateTime(QDate(2024, 1, 1), QTime(10, 1, 1)));
    EXPECT_EQ(ntpStarts(), 1) << "level 0 starts nothing";
}

TEST_F(ClockFace, CommunicationIconWhileLockedOrTheCloudClientIsBusy)
{
    ZSystem::setMode(ZSystem::Cloud);
    vnq::test::FakeCloudLink* link = vnq::test::FakeCloudLink::install(ZSystem::Cloud);
    ZSystem::setMode(ZSystem::Basic);
    startActiveClock();
    const QDateTime at(QDate(2024, 1, 1), QTime(10, 0, 0));
    const QString icon = QStringLiteral("通信中アイコン.png");

    EXPECT_FALSE(picturesOf(faceAt(at)).contains(icon));
    probe->lockBusy() = true;
    EXPECT_TRUE(picturesOf(faceAt(at)).contains(icon));
    EXPECT_TRUE(transcriptOf(faceAt(at)).contains(QStringLiteral("<x>408</x><y>80</y>")));
    probe->lockBusy() = false;
    link->setBusy(true);
    EXPECT_TRUE(picturesOf(faceAt(at)).contains(icon));
}

TEST_F(ClockFace, MessageLineRulesInOrder)
{
    startActiveClock();
    // Each row sets up one more rule than the row below it; the first that holds wins.
    const struct {
        bool flash;
        int level;
        const char* transient;
        bool usb;
        bool selected;
        const char* message;
        bool red;
    } cases[] = {
        {false, -1, "一時", false, false, "システム異常 打刻できません", true},
        {true, -1, "一時", false, false, "ファイル異常 打刻できません", true},
        {true, 6, "一時", false, false, "一時", false},
        {true, 6, "", false, false, "打刻データ領域がいっぱいです", false},
        {true, 5, "", false, false, "メモリーの残量が少なくなりました", false},
        {true, 0, "", false, false, "バックアップできませんでした", false},
        {true, 0, "", true, false, "区分を選択してください", false},
        {true, 0, "", true, true, "カードをタッチしてください", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        probe->userFlashMounted() = c.flash;
        probe->dakokuCapacityLevel() = c.level;
        probe->infoMessage() = QString::fromUtf8(c.transient);
        probe->usbMemoryMounted() = c.usb;
        probe->selected() = c.selected ? QList<int>{1} : QList<int>{};
        const QStringList updates = updatesOf([this] { clock->updateScreen(); });
        const QString line = transcriptOf(updates.value(0)).split(QLatin1Char('\n')).filter(QStringLiteral("メッセージ.png")).value(0);
        const QString colour = c.red ? QStringLiteral("<r>255</r><g>0</g><b>0</b>") : QStringLiteral("<r>50</r><g>50</g><b>50</b>");
        EXPECT_TRUE(line.contains(QStringLiteral("<text>%1</text>").arg(QString::fromUtf8(c.message)))) << line.toStdString();
        EXPECT_TRUE(line.contains(colour)) << line.toStdString();
    }
}

TEST_F(ClockFace, CapacityLevelFromTheRoomLeft)
{
    startClock();
    const struct {
        unsigned int unsent;
        int level;
    } cases[] = {{28999, 0}, {29000, 1}, {29800, 5}, {30000, 6}, {30001, 6}, {29600, 4}};
    for (const auto& c : cases) {
        clock->setDakokuCapacityLevel(c.unsent);
        EXPECT_EQ(probe->dakokuCapacityLevel(), c.level) << c.unsent;
    }
    clock->loadDakokuCapacityLevel();
    EXPECT_EQ(probe->dakokuCapacityLevel(), 0) << "an empty store";
    ASSERT_TRUE(QFile::remove(board.path(QStringLiteral("/VnQo/app/DB/dakoku.db"))));
    clock->loadDakokuCapacityLevel();
    EXPECT_EQ(probe->dakokuCapacityLevel(), -1) << "an unreadable count";
}

}  // namespace
