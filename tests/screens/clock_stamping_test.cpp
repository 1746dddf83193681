#include "clockfixture.h"

#include "dbdakoku.h"
#include "iccardmodule.h"

#include <QSignalSpy>

#include <functional>

namespace {

// Card answers are played at the card volume, set to 3 here; touch answers stay at 2.
const QString cardError = QStringLiteral("/VnQo/app/Sound/3/ERROR.wav");
const QString touchError = QStringLiteral("/VnQo/app/Sound/2/ERROR.wav");
const QString cardButton = QStringLiteral("/VnQo/app/Sound/3/BUTTON.wav");
const QString cardIn = QStringLiteral("/VnQo/app/Sound/3/IN.wav");
const QString cardOut = QStringLiteral("/VnQo/app/Sound/3/OUT.wav");
const QString card = QStringLiteral("0123456789ABCDEF");

class ClockStamping : public ClockFixture {
protected:
    void SetUp() override
    {
        ClockFixture::SetUp();
        setSetting("カード読取音量", 3);
        // The GPIO scripts write the value files as on the board, so writes read back.
        runner.onCommand = [this](const QString& command) {
            const QStringList words = command.split(QLatin1Char(' '));
            if (words.size() == 3 && words[0] == script("vnq_gpio_value"))
                board.writeFile(QStringLiteral("/sys/class/gpio/gpio%1/value").arg(words[1]), words[2].toUtf8() + '\n');
        };
    }

    void setBand(const char* item, int startMinutes, int endMinutes)
    {
        setSetting((std::string(item) + "(開始)").c_str(), startMinutes);
        setSetting((std::string(item) + "(終了)").c_str(), endMinutes);
    }

    QString script(const char* name) const { return board.path(QStringLiteral("/VnQo/bin/") + QLatin1String(name)); }

    // The sound files played since the last call.
    QStringList sounds()
    {
        QStringList played;
        for (const QString& command : runner.commands())
            if (command.contains(QStringLiteral("aplay")))
                played << command.section(QLatin1Char(' '), 4, 4).remove(board.root());
        return played;
    }

    QStringList gpioWrites() const
    {
        QStringList writes;
        for (const QString& command : runner.commands())
            if (command.startsWith(script("vnq_gpio_value")))
                writes << command.section(QLatin1Char(' '), 1);
        return writes;
    }

    // Each stamp as "user:kubun:flag", in insert order.
    static QStringList stamps()
    {
        QList<QStringList> rows;
        DBDakoku::getDakokuAll(&rows, 100, 0);  // false when there is no row
        QStringList out;
        for (const QStringList& row : rows)
            out << row.at(0) + QLatin1Char(':') + row.at(3) + QLatin1Char(':') + row.at(4);
        return out;
    }

    static QStringList stampTimes()
    {
        QList<QStringList> rows;
        DBDakoku::getDakokuAll(&rows, 100, 0);
        QStringList out;
        for (const QStringList& row : rows)
            out << row.at(2);
        return out;
    }

    // A card of a registered user reaches the terminal.
    static void touchCard(int userID, const QString& name, int cardAuth = 0)
    {
        emit ICCardModule::getInstance()->cardTouch(true, card, cardAuth, userID, name);
    }

    // The name alert's time is over and the display server has shown the clock again.
    void backToClock()
    {
        clock->returnPage(probe->popAlert(), true);
        ASSERT_TRUE(vnq::test::FakeDisplayServer::waitFor([this] { return probe->formActive() == 2; }));
    }

    // Whether the touch-priority deadline fires within its 10 s, stepped below the size of a
    // clock jump.
    bool touchPriorityFires()
    {
        MyTimer* timer = MyTimer::getInstance();
        QSignalSpy fired(timer, &MyTimer::timeoutTouchYusen);
        timer->tickerTask();
        for (int i = 0; i < 3; ++i) {
            fakeClock.advanceMs(4000);
            timer->tickerTask();
        }
        return !fired.isEmpty();
    }

    // The transcripts of the updates a card touch sends.
    QStringList transcriptsOfTouch(const std::function<void()>& fn)
    {
        const int before = peer.updates().size();
        fn();
        peer.settle();
        QStringList shown;
        for (const QString& update : peer.updates().mid(before))
            shown << vnq::test::transcriptOf(update);
        return shown;
    }

    QString transcriptOfTouch(const std::function<void()>& fn) { return transcriptsOfTouch(fn).join(QString()); }
};

TEST_F(ClockStamping, EachCheckOfACardTouchDecides)
{
    const struct {
        const char* name;
        std::function<void()> arrange;
        bool ret;
        int cardAuth;
        int userID;
        QStringList sounds;
        QStringList stamps;
        QString message;  // in the updates of the touch
        bool waits;       // the message stands 1.5 s, then goes
        QList<int> selectedAfter;
        int lastUserIDAfter;
        bool priorityArmed;
    } cases[] = {
        {"page shown", [this] { probe->formActive() = 1; probe->allowCardTouch() = false; },
         true, 0, 7, {}, {}, "", false, {1}, -1, false},
        {"backlight woken", [this] { board.writeFile("/sys/class/gpio/gpio0/value", "0\n"); },
         true, 0, 7, {}, {}, "", false, {1}, -1, false},
        {"no user flash", [this] { probe->userFlashMounted() = false; },
         true, 0, 7, {cardError}, {}, "", false, {1}, -1, false},
        {"prohibited", nullptr, true, 3, 7, {cardError}, {}, "", false, {}, -1, false},
        {"unregistered", nullptr, false, 0, 0, {cardError}, {}, "氏名の登録がありません", true, {1}, -1, true},
        {"user 0", nullptr, true, 0, 0, {cardError}, {}, "氏名の登録がありません", true, {1}, -1, true},
        {"store full", [this] { probe->dakokuCapacityLevel() = 6; },
         true, 0, 7, {touchError}, {}, "", false, {1}, -1, false},
        {"nothing selected", [this] { probe->selected().clear(); },
         true, 0, 7, {cardError}, {}, "区分が選択されていません", true, {}, -1, true},
        {"same person", [this] { probe->lastUserID() = 7; },
         true, 0, 7, {}, {}, "", false, {1}, 7, false},
        {"accepted", nullptr, true, 0, 7, {cardIn}, {"7:1: "}, "鈴木", false, {1}, 7, false},
    };
    startActiveClock();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        peer.settle();  // the last row's redraws
        ASSERT_TRUE(DBDakoku::deleteAllDakoku());
        ASSERT_TRUE(board.writeFile("/sys/class/gpio/gpio0/value", "1\n"));
        probe->formActive() = 2;
        probe->userFlashMounted() = true;
        probe->dakokuCapacityLevel() = 0;
        probe->lastUserID() = -1;
        clock->selectPanel(1);
        MyTimer::getInstance()->stopTouchYusen();
        if (c.arrange)
            c.arrange();
        runner.clear();

        const QDateTime start = fakeClock.now();
        const QStringList shown = transcriptsOfTouch([&] {
            emit ICCardModule::getInstance()->cardTouch(c.ret, card, c.cardAuth, c.userID, QStringLiteral("鈴木"));
        });
        EXPECT_EQ(sounds(), c.sounds);
        EXPECT_EQ(stamps(), c.stamps);
        const QString all = shown.join(QString());
        if (c.message.isEmpty())
            EXPECT_TRUE(shown.isEmpty()) << all.toStdString();
        else
            EXPECT_TRUE(all.contains(QStringLiteral("<text>%1</text>").arg(c.message))) << all.toStdString();
        EXPECT_EQ(start.msecsTo(fakeClock.now()), c.waits ? 1500 : 0);
        if (c.waits) {
            EXPECT_FALSE(shown.last().contains(c.message)) << "the message is taken down again";
        }
        EXPECT_EQ(probe->selected(), c.selectedAfter);
        EXPECT_EQ(probe->lastUserID(), c.lastUserIDAfter);
        EXPECT_EQ(touchPriorityFires(), c.priorityArmed);
        delete probe->popAlert();
    }
}

TEST_F(ClockStamping, AStampGreetsTheHolderByName)
{
    startActiveClock();
    clock->selectPanel(1);
    expectTranscript(QStringLiteral("stamp_greeting"),
                     updatesOf([] { touchCard(7, QStringLiteral("鈴木")); }));
}

TEST_F(ClockStamping, KindsSoundAndDoorPulseFollowTheOperationMode)
{
    const struct {
        int modeSetting;
        int voice;
        int selected;
        QStringList stamps;
        QString sound;
        bool pulse;
    } cases[] = {
        {0, 1, 1, {"7:1: "}, cardIn, false},
        {0, 0, 1, {"7:1: "}, cardButton, false},
        {2, 1, 114, {"7:114: "}, cardOut, false},
        {3, 1, 821, {"7:821: "}, cardButton, true},
        {7, 1, 1, {"7:1: ", "7:821: "}, cardIn, true},
    };
    setBand("日替退勤有効時刻帯", 0, 1439);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.modeSetting * 10 + c.voice);
        ASSERT_TRUE(DBDakoku::deleteAllDakoku());
        setSetting("動作モード", c.modeSetting);
        setSetting("音声モード", c.voice);
        setSetting("接点出力秒数", 2);
        delete clock;
        startActiveClock();
        clock->selectPanel(c.selected);
        runner.clear();

        const QString shown = transcriptOfTouch([] { touchCard(7, QStringLiteral("鈴木")); });
        EXPECT_EQ(stamps(), c.stamps);
        const QStringList times = stampTimes();
        EXPECT_EQ(times.count(times.value(0)), times.size()) << "one time for every stamp of the touch";
        EXPECT_EQ(sounds(), QStringList{c.sound});
        EXPECT_TRUE(shown.contains(QStringLiteral("鈴木"))) << shown.toStdString();
        EXPECT_TRUE(shown.contains(QStringLiteral("FadeIn"))) << shown.toStdString();
        EXPECT_EQ(gpioWrites(), c.pulse ? QStringList{"138 0"} : QStringList{});

        // The door closes on the GPIO ticker's step after the seconds.
        runner.clear();
        fakeClock.advanceMs(1900);
        ZSystem::getInstance()->tickerTask();
        EXPECT_EQ(gpioWrites(), QStringList{});
        fakeClock.advanceMs(100);
        ZSystem::getInstance()->tickerTask();
        EXPECT_EQ(gpioWrites(), c.pulse ? QStringList{"138 1"} : QStringList{});
    }
}

TEST_F(ClockStamping, TouchesOfTheSamePersonAndOfOthers)
{
    startActiveClock();
    clock->selectPanel(1);
    touchCard(7, QStringLiteral("鈴木"));
    ASSERT_EQ(stamps(), QStringList{"7:1: "});

    // While the name alert is open, the same card does nothing; another user's card stamps and
    // opens its own alert.
    runner.clear();
    touchCard(7, QStringLiteral("鈴木"));
    EXPECT_EQ(stamps(), QStringList{"7:1: "});
    EXPECT_EQ(sounds(), QStringList{});
    QObject* firstAlert = probe->popAlert();
    clock->selectPanel(1);
    const QString shown = transcriptOfTouch([] { touchCard(8, QStringLiteral("佐藤")); });
    EXPECT_EQ(stamps(), (QStringList{"7:1: ", "8:1: "}));
    EXPECT_TRUE(shown.contains(QStringLiteral("佐藤"))) << shown.toStdString();
    EXPECT_NE(probe->popAlert(), nullptr);
    EXPECT_NE(probe->popAlert(), firstAlert);

    // Back on the clock, within the double-stamp window: the earlier stamp is cancelled and
    // is to be uploaded as a cancellation.
    backToClock();
    fakeClock.advanceMs(5000);
    clock->selectPanel(102);
    touchCard(7, QStringLiteral("鈴木"));
    EXPECT_EQ(stamps(), (QStringList{"7:1:D", "8:1: ", "7:102: "}));
    QList<QStringList> unsent;
    ASSERT_TRUE(DBDakoku::getDakokuUnsend(&unsent, 100));
    EXPECT_EQ(unsent.size(), 3);
}

TEST_F(ClockStamping, AFailedStoreChangesNothing)
{
    setSetting("動作モード", 3);
    startActiveClock();
    clock->selectPanel(1);
    touchCard(7, QStringLiteral("鈴木"));
    ASSERT_EQ(stamps(), (QStringList{"7:1: ", "7:821: "}));
    backToClock();
    fakeClock.advanceMs(5000);

    int* none = nullptr;
    ASSERT_TRUE(DBDakoku::execQuery(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON dakoku WHEN NEW.kubun = 821 "
                                                   "BEGIN SELECT RAISE(ABORT, 'forced'); END"),
                                    none, none, none));
    clock->selectPanel(102);
    MyTimer::getInstance()->stopTouchYusen();
    runner.clear();
    touchCard(7, QStringLiteral("鈴木"));

    EXPECT_EQ(stamps(), (QStringList{"7:1: ", "7:821: "})) << "the earlier stamp stays valid";
    EXPECT_EQ(sounds(), QStringList{cardError});
    EXPECT_EQ(gpioWrites(), QStringList{});
    EXPECT_EQ(probe->popAlert(), nullptr);
    EXPECT_EQ(probe->lastUserID(), -1);
    EXPECT_EQ(probe->selected(), QList<int>{102});
    EXPECT_TRUE(touchPriorityFires());
}

TEST_F(ClockStamping, DoorPulseStaysWithinTheItemsRange)
{
    setSetting("動作モード", 3);
    setSetting("接点出力秒数", 500);
    startActiveClock();
    clock->selectPanel(821);
    touchCard(7, QStringLiteral("鈴木"));
    ASSERT_EQ(gpioWrites(), QStringList{"138 0"});

    runner.clear();
    fakeClock.advanceMs(98 * 1000);
    ZSystem::getInstance()->tickerTask();
    EXPECT_EQ(gpioWrites(), QStringList{});
    fakeClock.advanceMs(1000);
    ZSystem::getInstance()->tickerTask();
    EXPECT_EQ(gpioWrites(), QStringList{"138 1"}) << "99 s, the item's maximum";
}

}  // namespace
