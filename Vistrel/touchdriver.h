#pragma once

#include <tslib.h>

#include <functional>
#include <memory>

namespace vistrel {

class TouchSource;

// Keeps every change of the pen's state and, while it stays, every 22nd sample.
class TouchThinning {
public:
    bool keep(const ts_sample& sample);

private:
    bool m_lastPen = false;
    int m_held = 0;
};

// Starts touch input on TSLIB_TSDEVICE or "/dev/input/event0" (a board path; a FIFO there is
// the simulated feed): 0, or -1 the device cannot be opened, -2 not configured, -3 no reader
// thread, -4 no queue; a failure releases what was opened.
int init_ts_drv();
// Stops the reader thread, closes the device and frees the queue: 0.
int fin_ts_drv();
// Tests hand init_ts_drv a source of their own (null restores the choice by device).
void setTouchSourceMaker(std::function<std::unique_ptr<TouchSource>()> maker);
// Prints "Pen Down" or "Pen Up" for the oldest queued sample, if any.
void test_ts_proc();

}  // namespace vistrel
