#pragma once

#include <cstdint>
#include <functional>

namespace vistrel {

enum GUI_EV_t { GUI_EV_FOCUS_ON = 0, GUI_EV_FOCUS_OFF = 1, GUI_EV_FOCUS_OUT = 2, GUI_EV_LONG_PRESS = 3 };

// One touchable item of the hit table.
struct gui_prop_s {
    char name[64];  // the item id, zero-padded and terminated (longer ids get no entry)
    int x, y, w, h;  // rectangle in screen pixels, origin top left
    int hold;        // long-press time in ms; 0 never reports a long press
    int reserved;    // always 0
    void (*callback)(const gui_prop_s* entry, int event);
};

enum GuiTouchState { GUI_STATE_IDLE = 0, GUI_STATE_ON_ITEM = 1, GUI_STATE_DEAD = 2 };

// The event system's state: the last sample, the installed slice, the touch's state and the
// four event slots (indexes into the slice, -1 for none).
struct gui_event_work_s {
    int x, y;
    bool pen;
    const gui_prop_s* props;
    int count;
    int hit;
    int state;
    uint32_t pressMs;
    int focus;
    int focusOn, focusOff, focusOut, longPress;
};

void guiInitEventSys();
// Hands the event system the slice of hit entries it searches (none: no table) and clears
// the four event slots.
void guiSetProps(const gui_prop_s* table, int count);
// Judges every queued touch sample against the installed slice and calls the entries'
// callbacks: 0 press, 1 release on the item, 2 slid off it, 3 held past its hold time.
void guiEventSys();

// Milliseconds of a monotonic clock (a clock step never fakes or hides a long press); tests
// replace it (null restores it).
uint32_t get_ms_now();
void setGuiMsClock(std::function<uint32_t()> clock);

// The callback of an entry without its own: prints the event only.
void gui_user_func(const gui_prop_s* entry, int event);

int guiUtyFocus();
int guiUtyFocusOn();
int guiUtyFocusOff();
int guiUtyFocusOut();
int guiUtyLongPress();
const gui_event_work_s* guiUtyGuiEventWork();

}  // namespace vistrel
