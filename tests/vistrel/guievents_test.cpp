#include "guievents.h"
#include "touchqueue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vistrel;

namespace {

std::vector<std::string> events;

void record(const gui_prop_s* entry, int event)
{
    events.push_back(std::string(entry->name) + " " + std::to_string(event));
}

gui_prop_s entry(const char* name, int x, int y, int w, int h, int hold = 3000)
{
    gui_prop_s e{};
    std::snprintf(e.name, sizeof e.name, "%s", name);
    e.x = x;
    e.y = y;
    e.w = w;
    e.h = h;
    e.hold = hold;
    e.callback = record;
    return e;
}

using Events = std::vector<std::string>;

// The event system on its own queue with a clock the test steps.
class Touches : public ::testing::Test {
protected:
    void SetUp() override
    {
        queue = build_ts_q(kTouchQueueSlots);
        setTouchQueue(queue);
        setGuiMsClock([this] { return nowMs; });
        guiInitEventSys();
        events.clear();
        // Newest first, as the hit tables hand them over: "Top" overlaps "Back".
        table = {entry("Top", 0, 0, 20, 20), entry("Back", 0, 0, 100, 50), entry("@@@_BG_@@@", 0, 0, 480, 272)};
        guiSetProps(table.data(), static_cast<int>(table.size()));
    }
    void TearDown() override
    {
        setTouchQueue(nullptr);
        setGuiMsClock(nullptr);
        free_ts_q(queue);
    }

    // A sample at the clock's time, then a tick.
    Events touch(int x, int y, bool down)
    {
        queueSample(x, y, down);
        events.clear();
        guiEventSys();
        return events;
    }
    void queueSample(int x, int y, bool down, long seconds = 1700000000)
    {
        ts_sample s{};
        s.x = x;
        s.y = y;
        s.pressure = down ? 200 : 0;
        s.tv.tv_sec = seconds;
        s.tv.tv_usec = 0;  // a whole second is a valid time stamp
        put_ts_q(queue, &s);
    }

    ts_queue_s* queue = nullptr;
    uint32_t nowMs = 5000;
    std::vector<gui_prop_s> table;
};

}  // namespace

TEST_F(Touches, PressReleaseSlideAndHold)
{
    EXPECT_EQ(touch(50, 30, true), Events{"Back 0"});
    EXPECT_EQ(touch(51, 30, true), Events{});
    EXPECT_EQ(touch(51, 30, false), Events{"Back 1"});

    EXPECT_EQ(touch(10, 10, true), Events{"Top 0"});  // the newest of overlapping entries
    EXPECT_EQ(touch(50, 30, true), Events{"Top 2"});  // slid onto another: only the first's
    EXPECT_EQ(touch(60, 30, true), Events{});
    EXPECT_EQ(touch(60, 30, false), Events{});

    EXPECT_EQ(touch(300, 200, true), Events{"@@@_BG_@@@ 0"});
    nowMs += 3000;
    EXPECT_EQ(touch(300, 200, true), Events{});
    nowMs += 1;
    EXPECT_EQ(touch(300, 200, true), Events{"@@@_BG_@@@ 3"});
    nowMs += 5000;
    EXPECT_EQ(touch(300, 200, true), Events{});
    EXPECT_EQ(touch(300, 200, false), Events{});
}

TEST_F(Touches, QueueKeepsTheNewestAndRejectsOnlyAZeroTimeStamp)
{
    guiSetProps(nullptr, 0);
    for (int i = 0; i < 300; ++i)
        queueSample(i, 0, true);
    ts_sample s;
    int taken = 0, first = -1;
    while (get_data_ts_drv(&s) == 0) {
        if (first < 0)
            first = s.x;
        ++taken;
    }
    EXPECT_EQ(taken, kTouchQueueSlots - 1);
    EXPECT_EQ(first, 300 - (kTouchQueueSlots - 1));

    // Samples before a table is installed are consumed without effect; an all-zero time
    // stamp ends the tick's draining.
    queueSample(50, 30, true);
    guiEventSys();
    EXPECT_TRUE(events.empty());
    guiSetProps(table.data(), 3);
    queueSample(50, 30, false);
    queueSample(50, 30, true, 0);
    queueSample(50, 30, true);
    guiEventSys();
    EXPECT_TRUE(events.empty());
    guiEventSys();
    EXPECT_EQ(events, Events{"Back 0"});
}

TEST_F(Touches, AShorterTableWhileTheFingerIsDownLeavesNoStaleFocus)
{
    EXPECT_EQ(touch(300, 200, true), Events{"@@@_BG_@@@ 0"});
    EXPECT_EQ(guiUtyFocus(), 2);
    guiSetProps(table.data(), 1);  // only "Top"
    EXPECT_EQ(guiUtyFocusOn(), -1);
    EXPECT_EQ(touch(300, 200, false), Events{});
    EXPECT_EQ(guiUtyGuiEventWork()->state, GUI_STATE_IDLE);
}

TEST_F(Touches, WallClockJumpsDuringAPressGiveNoLongPress)
{
    const long pressed = 1700000000;
    for (long jump : {3600L, -3600L}) {
        SCOPED_TRACE(jump);
        EXPECT_EQ(touch(50, 30, true), Events{"Back 0"});
        for (int step = 0; step < 4; ++step) {
            nowMs += 25;
            queueSample(50, 30, true, pressed + jump);
            events.clear();
            guiEventSys();
            EXPECT_EQ(events, Events{});
        }
        EXPECT_EQ(touch(50, 30, false), Events{"Back 1"});
    }
}
