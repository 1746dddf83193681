#pragma once

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

// Hands the event system the slice of hit entries it searches (none: no table).
void guiSetProps(const gui_prop_s* table, int count);
const gui_prop_s* guiInstalledProps();
int guiInstalledPropCount();

}  // namespace vistrel
