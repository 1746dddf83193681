#pragma once

#include <tslib.h>

#include <memory>
#include <string>

namespace vistrel {

// Where touch samples come from: tslib's four steps, plus the descriptor to wait on.
class TouchSource {
public:
    virtual ~TouchSource() = default;
    // Opens the device without blocking reads; false with errno set.
    virtual bool open(const std::string& device) = 0;
    virtual bool configure() = 0;
    // 1 with a sample, 0 when none is ready, -1 on an error (errno set).
    virtual int read(ts_sample* sample) = 0;
    virtual int fd() const = 0;
    virtual void close() = 0;
};

// The panel through tslib (calibrated samples).
std::unique_ptr<TouchSource> makeTslibTouchSource();
// The simulated board's feed: a FIFO of "x y pressure" lines in screen pixels, time-stamped
// when read; other lines are skipped and logged.
std::unique_ptr<TouchSource> makeFifoTouchSource();

}  // namespace vistrel
