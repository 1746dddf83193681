#include "guievents.h"

#include "touchqueue.h"

#include <chrono>
#include <cstdio>
#include <cstring>

namespace vistrel {
namespace {

gui_event_work_s work = {0, 0, false, nullptr, 0, -1, GUI_STATE_IDLE, 0, -1, -1, -1, -1, -1};

std::function<uint32_t()>& msClock()
{
    static std::function<uint32_t()> clock;
    return clock;
}

int hitIndex(int x, int y)
{
    for (int i = 0; i < work.count; ++i) {
        const gui_prop_s& e = work.props[i];
        if (x - e.x >= 0 && x - e.x < e.w && y - e.y >= 0 && y - e.y < e.h)
            return i;
    }
    return -1;
}

// An index into the installed slice, or -1 when a shorter table has come in since.
int checked(int index)
{
    return index >= 0 && index < work.count ? index : -1;
}

void report(int index, int event)
{
    if (index < 0 || index >= work.count)
        return;
    const gui_prop_s* entry = &work.props[index];
    if (entry->callback)
        entry->callback(entry, event);
    else
        gui_user_func(entry, event);
}

}  // namespace

uint32_t get_ms_now()
{
    if (msClock())
        return msClock()();
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void setGuiMsClock(std::function<uint32_t()> clock)
{
    msClock() = std::move(clock);
}

void gui_user_func(const gui_prop_s*, int event)
{
    std::printf("%s :: ev = %d\n", "dummy_parts", event);
    std::fflush(stdout);
}

void guiInitEventSys()
{
    std::memset(&work, 0, sizeof work);
    work.focus = work.focusOn = work.focusOff = work.focusOut = work.longPress = -1;
}

void guiSetProps(const gui_prop_s* table, int count)
{
    work.props = table;
    work.count = table ? count : 0;
    work.focusOn = work.focusOff = work.focusOut = work.longPress = -1;
}

void guiEventSys()
{
    ts_sample sample;
    while (get_data_ts_drv(&sample) == 0) {
        work.x = sample.x;
        work.y = sample.y;
        work.pen = sample.pressure != 0;
        const uint32_t now = get_ms_now();
        if (!work.props || work.count == 0)
            continue;
        work.focus = checked(work.focus);
        if (work.pen) {
            work.hit = hitIndex(work.x, work.y);
            if (work.state == GUI_STATE_IDLE) {
                work.focus = work.hit;
                work.pressMs = now;
                work.focusOut = work.longPress = -1;
                work.state = work.hit < 0 ? GUI_STATE_DEAD : GUI_STATE_ON_ITEM;
                work.focusOn = work.hit;
            } else if (work.state == GUI_STATE_ON_ITEM) {
                if (work.hit != work.focus) {
                    work.state = GUI_STATE_DEAD;
                    work.focusOut = work.focus;
                    work.focus = -1;
                } else if (work.props[work.hit].hold != 0 &&
                           now - work.pressMs > static_cast<uint32_t>(work.props[work.hit].hold)) {
                    work.state = GUI_STATE_DEAD;
                    work.longPress = work.hit;
                }
                work.focusOn = -1;
            } else {
                work.focusOut = work.longPress = work.focusOn = -1;
            }
            work.focusOff = -1;
            if (work.focusOn >= 0)
                report(work.focusOn, GUI_EV_FOCUS_ON);
        } else {
            work.focusOff = work.state == GUI_STATE_ON_ITEM ? work.focus : -1;
            work.focus = work.focusOn = work.focusOut = work.longPress = -1;
            work.state = GUI_STATE_IDLE;
        }
        if (checked(work.focusOff) >= 0)
            report(work.focusOff, GUI_EV_FOCUS_OFF);
        if (checked(work.focusOut) >= 0)
            report(work.focusOut, GUI_EV_FOCUS_OUT);
        if (checked(work.longPress) >= 0)
            report(work.longPress, GUI_EV_LONG_PRESS);
    }
}

int guiUtyFocus() { return work.focus; }
int guiUtyFocusOn() { return work.focusOn; }
int guiUtyFocusOff() { return work.focusOff; }
int guiUtyFocusOut() { return work.focusOut; }
int guiUtyLongPress() { return work.longPress; }
const gui_event_work_s* guiUtyGuiEventWork() { return &work; }

}  // namespace vistrel
