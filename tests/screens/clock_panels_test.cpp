#include "clockfixture.h"

#include "fakecloudlink.h"

#include <QSignalSpy>

namespace {

const QString buttonSound = QStringLiteral("/VnQo/app/Sound/2/BUTTON.wav");
const QString errorSound = QStringLiteral("/VnQo/app/Sound/2/ERROR.wav");

class ClockPanels : public ClockFixture {
protected:
    // The sound files played since the last call (touch volume 2 in the shipped settings).
    QStringList sounds()
    {
        QStringList played;
        for (const QString& command : runner.commands())
            if (command.contains(QStringLiteral("aplay")))
                played << command.section(QLatin1Char(' '), 4, 4).remove(board.root());
        runner.clear();
        return played;
    }

    void setBand(const char* item, int startMinutes, int endMinutes)
    {
        setSetting((std::string(item) + "(開始)").c_str(), startMinutes);
        setSetting((std::string(item) + "(終了)").c_str(), endMinutes);
    }
};

TEST_F(ClockPanels, EachPanelOfEachModeSelectsItsCode)
{
    const struct {
        int setting;
        int mode;
        QStringList ids;
    } cases[] = {
        {0, 1, {"_BG_1", "_BG_102", "_BG_103", "_BG_4", ""}},
        {2, 2, {"_BG_1", "_BG_102", "_BG_103", "_BG_4", "_BG_114"}},
        {3, 3, {"_BG_1", "_BG_102", "_BG_103", "_BG_4", "_BG_821"}},
        {7, 4, {"_BG_1", "_BG_102", "_BG_103", "_BG_4", "_BG_114", "_BG_821"}},
    };
    setBand("日替退勤有効時刻帯", 0, 1439);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.setting);
        setSetting("動作モード", c.setting);
        delete clock;
        startActiveClock();
        EXPECT_EQ(probe->operationMode(), c.mode);
        for (const QString& id : c.ids) {
            SCOPED_TRACE(id.toStdString());
            sounds();
            const QStringList updates = updatesOf([&] { touch(id); });
            EXPECT_EQ(sounds(), QStringList{buttonSound});
            const int code = id.mid(4).toInt();
            EXPECT_EQ(probe->selected(), code ? QList<int>{code} : QList<int>{});
            EXPECT_TRUE(vnq::test::transcriptOf(updates.value(0)).contains(
                code ? QStringLiteral("_選択.png") : QStringLiteral("区分を選択してください")));
        }
    }
}

TEST_F(ClockPanels, DayChangeOutsideItsWindowShowsWhyForAMoment)
{
    setSetting("動作モード", 2);
    startActiveClock();
    clock->selectPanel(1);
    ASSERT_FALSE(probe->higawaritaiMode());
    const QDateTime before = fakeClock.now();
    sounds();

    const QStringList updates = updatesOf([this] { touch(QStringLiteral("_BG_114")); }, 2);
    EXPECT_EQ(sounds(), QStringList{errorSound});
    ASSERT_EQ(updates.size(), 2);
    EXPECT_TRUE(vnq::test::transcriptOf(updates[0]).contains(QStringLiteral("<text>日替退は無効時間帯です</text>")));
    EXPECT_TRUE(vnq::test::transcriptOf(updates[1]).contains(QStringLiteral("<text>カードをタッチしてください</text>")));
    EXPECT_EQ(before.msecsTo(fakeClock.now()), 1500) << "the message stands 1.5 s";
    EXPECT_EQ(probe->selected(), QList<int>{1}) << "the selection stays";
}

TEST_F(ClockPanels, MenuRefusedWhileATransferOrARequestRunsElseTheSettingsMenu)
{
    ZSystem::setMode(ZSystem::Cloud);
    vnq::test::FakeCloudLink* link = vnq::test::FakeCloudLink::install(ZSystem::Cloud);
    ZSystem::setMode(ZSystem::Basic);
    addStubRow(PageTable::MovePage, 7);
    startActiveClock();

    const struct {
        const char* cause;
        const char* file;
        bool busy;
    } refusals[] = {{"lock file", "/tmp/vantroq.lock", false},
                    {"unlock file", "/tmp/vantroq.unlock", false},
                    {"busy cloud client", nullptr, true}};
    for (const auto& r : refusals) {
        SCOPED_TRACE(r.cause);
        if (r.file) {
            ASSERT_TRUE(board.writeFile(QString::fromUtf8(r.file), "1700000000"));
        }
        link->setBusy(r.busy);
        probe->lockBusy() = false;
        sounds();
        touch(QStringLiteral("_BG_10000"));
        EXPECT_EQ(sounds(), QStringList{errorSound});
        EXPECT_TRUE(probe->lockBusy());
        EXPECT_EQ(probe->currentPage(), nullptr);
        EXPECT_EQ(probe->formActive(), 2);
        if (r.file)
            QFile::remove(board.path(QString::fromUtf8(r.file)));
    }

    link->setBusy(false);
    probe->selected() = {1};
    touch(QStringLiteral("_BG_10000"));
    EXPECT_EQ(sounds(), QStringList{buttonSound});
    auto* page = dynamic_cast<StubPage*>(probe->currentPage());
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->number, 7);
    EXPECT_TRUE(probe->selected().isEmpty());
    EXPECT_EQ(probe->formActive(), 0);
    EXPECT_TRUE(page->touches.isEmpty()) << "the touch that opened the page is not the page's";
}

TEST_F(ClockPanels, OnlyPanelIdsArePanelTouches)
{
    startActiveClock();
    clock->selectPanel(102);
    sounds();
    for (const char* id : {"Exit", "_SCREENSHOT_", "Back"}) {
        touch(QString::fromUtf8(id));
        EXPECT_EQ(probe->selected(), QList<int>{102}) << id;
    }
    EXPECT_TRUE(sounds().isEmpty());
}

TEST_F(ClockPanels, TouchesOnACoveredClockAreOnlyLogged)
{
    startActiveClock();
    probe->formActive() = 0;
    sounds();
    touch(QStringLiteral("_BG_1"));
    EXPECT_TRUE(probe->selected().isEmpty());
    EXPECT_TRUE(sounds().isEmpty());
    EXPECT_FALSE(log.matching(QStringLiteral("this->formActive")).isEmpty());
}

// (band, minutes, now, open): the window flags as a settings load finds them.
TEST_F(ClockPanels, WindowsAtLoadTime)
{
    startClock();
    const struct {
        const char* band;
        int start;
        int end;
        QTime now;
        bool open;
    } cases[] = {
        {"出勤モード", 22 * 60, 6 * 60, QTime(1, 0), true},
        {"出勤モード", 22 * 60, 6 * 60, QTime(7, 0), false},
        {"退勤モード", 17 * 60, 20 * 60, QTime(17, 0), true},
        {"退勤モード", 17 * 60, 20 * 60, QTime(20, 0), false},
        {"日替退勤有効時刻帯", 22 * 60, 6 * 60, QTime(1, 0), true},
        {"日替退勤有効時刻帯", 22 * 60, 6 * 60, QTime(23, 0), true},
        {"日替退勤有効時刻帯", 22 * 60, 6 * 60, QTime(7, 0), false},
        {"日替退勤有効時刻帯", 0, 6 * 60, QTime(6, 0), false},
        {"日替退勤有効時刻帯", -1, 6 * 60, QTime(1, 0), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.band << " " << c.now.toString().toStdString());
        for (const char* band : {"出勤モード", "退勤モード", "日替退勤有効時刻帯"})
            setBand(band, -1, -1);
        setBand(c.band, c.start, c.end);
        fakeClock.setNow(QDateTime(QDate(2024, 1, 2), c.now));
        clock->loadShutaikinMode();
        const bool* flag = std::string(c.band) == "出勤モード" ? &probe->shukinMode()
            : std::string(c.band) == "退勤モード"             ? &probe->taikinMode()
                                                                : &probe->higawaritaiMode();
        EXPECT_EQ(*flag, c.open);
    }
}

TEST_F(ClockPanels, DefaultSelectionFromWindowsAndModeUnlessTouchPriority)
{
    const struct {
        int mode;
        bool touchPriority;
        bool shukinOpen;
        QList<int> selected;
    } cases[] = {
        {1, false, false, {}},  {1, false, true, {1}}, {3, false, false, {821}}, {4, false, false, {821}},
        {3, true, false, {}},   {4, true, false, {}},  {4, true, true, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.mode << " " << c.touchPriority << " " << c.shukinOpen);
        setSetting("動作モード", c.mode);
        setSetting("タッチ選択優先", c.touchPriority ? 1 : 0);
        setBand("出勤モード", c.shukinOpen ? 8 * 60 : -1, 10 * 60);
        delete clock;
        startClock();
        EXPECT_EQ(probe->selected(), c.selected);
    }
}

TEST_F(ClockPanels, DeadlineHandlersResetTheSelection)
{
    setSetting("動作モード", 3);
    startActiveClock();
    MyTimer* timer = MyTimer::getInstance();
    const struct {
        const char* name;
        std::function<void()> fire;
        QList<int> selected;
        bool redraw;
    } cases[] = {
        {"touch priority over", [&] { emit timer->timeoutTouchYusen(); }, {821}, true},
        {"clock-in start, no update", [&] { emit timer->timeoutShukinMode(true, false); }, {1}, false},
        {"clock-in end", [&] { emit timer->timeoutShukinMode(false, true); }, {821}, true},
        {"clock-out start", [&] { emit timer->timeoutTaikinMode(true); }, {102}, true},
        {"clock-out end", [&] { emit timer->timeoutTaikinMode(false); }, {821}, true},
        {"day-change start", [&] { emit timer->timeoutHigawaritaiMode(true); }, {821}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        clock->selectPanel(103);
        const QStringList updates = updatesOf(c.fire, c.redraw ? 1 : 0);
        EXPECT_EQ(probe->selected(), c.selected);
        EXPECT_EQ(updates.size(), c.redraw ? 1 : 0);
    }
    EXPECT_TRUE(probe->higawaritaiMode());
}

}  // namespace
