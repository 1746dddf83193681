#pragma once

#include <cstdint>

namespace simgpu {

// A rectangle of pixels, rows and columns inclusive.
struct Rect {
    uint32_t left, top, right, bottom;
};

}  // namespace simgpu
