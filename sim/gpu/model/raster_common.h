#pragma once

// Register reads the rasterizer's scans share.

#include <cstdint>
#include <vector>

#include "rect.h"
#include "simgpu.h"

namespace simgpu {

// The enabled rasterizer scissor rectangles (LX_RZ_SCI_ENABLE bit n enables
// LX_RZ_SCI_RECT_LTn/_RBn), none when the test is off or LX_RZ_VG_MODE bit 16 bypasses it.
std::vector<Rect> scissorRects(const SimGpu& gpu);
// Inside any of the rectangles; everything is inside none.
bool insideScissor(const std::vector<Rect>& rects, uint32_t x, uint32_t y);
// The XPT window LX_XPT_SCI_YT, _YB, _XL, _XR.
Rect xptWindow(const SimGpu& gpu);

}  // namespace simgpu
