#pragma once

#include "guievents.h"

namespace vistrel {

constexpr int kAtariSlots = 160;
constexpr int kAtariHoldMs = 3000;

// The two hit tables, active then pending, each filled from its last slot backwards, so the
// newest entry comes first in the slice handed to the event system.
extern gui_prop_s gui_prop_sheet1[2][kAtariSlots];
extern int gui_prop_sheet1_num[2];

// Installs the pending table as the active one (the pending table stays as it is).
void gui_proc_atari_set();
// The callback of every entry the server makes: event 0 and 3 are reported to the client as
// "<gui><id>NAME</id><event>N</event></gui>", events 1 and 2 install the pending table.
void gui_prop_func(const gui_prop_s* entry, int event);

// Read accessors for tests: the n entries of a table (0 active, 1 pending), newest first.
const gui_prop_s* atariEntries(int table);
int atariCount(int table);

}  // namespace vistrel
