#pragma once

// Register reads the rasterizer's scans share.

#include <cmath>
#include <cstdint>
#include <vector>

#include "rect.h"
#include "simgpu.h"
#include "texture_unit.h"

namespace simgpu {

// The enabled rasterizer scissor rectangles (LX_RZ_SCI_ENABLE bit n enables
// LX_RZ_SCI_RECT_LTn/_RBn), none when the test is off or LX_RZ_VG_MODE bit 16 bypasses it.
std::vector<Rect> scissorRects(const SimGpu& gpu);
// Inside any of the rectangles; everything is inside none.
bool insideScissor(const std::vector<Rect>& rects, uint32_t x, uint32_t y);
// A single-precision float register of the rasterizer.
float floatRegister(const SimGpu& gpu, uint32_t reg);

// The image planes of the rasterizer: at device pixel (x, y), s = (LX_RZ_IMG_SF + _SA x + _SB y)
// / (LX_RZ_IMG_IWF + _IWA x + _IWB y), t likewise, in texels: u = s LX_RZ_IMG_USCALE,
// v = t LX_RZ_IMG_VSCALE.
struct BufferView;

struct ImagePlanes {
    double sf = 0, sa = 0, sb = 0, tf = 0, ta = 0, tb = 0, wf = 1, wa = 0, wb = 0;
    double uScale = 0, vScale = 0;

    ImagePlanes() = default;
    explicit ImagePlanes(const SimGpu& gpu);
    // False when a coordinate is not finite or beyond the modelled range (2^30).
    bool at(uint32_t x, uint32_t y, double& u, double& v) const;
};

inline bool ImagePlanes::at(uint32_t x, uint32_t y, double& u, double& v) const
{
    const double w = wf + wa * x + wb * y;
    if (w == 1) {
        // An affine mapping: dividing by one changes nothing.
        u = (sf + sa * x + sb * y) * uScale;
        v = (tf + ta * x + tb * y) * vScale;
    } else {
        u = (sf + sa * x + sb * y) / w * uScale;
        v = (tf + ta * x + tb * y) / w * vScale;
    }
    return std::fabs(u) < kCoordinateLimit && std::fabs(v) < kCoordinateLimit;
}

// The XPT window LX_XPT_SCI_YT, _YB, _XL, _XR.
Rect xptWindow(const SimGpu& gpu);

// Samples per pixel side of an LX_XPT_MODE base; 0 for a base the model does not know.
unsigned gridOf(uint32_t base);
constexpr uint32_t kMultisampledMode = 36;  // LX_XPT_MODE base of a multisampled target

// The value (0 to 255) of pixel (x, y) of an alpha mask of 1, 4 or 8 bits a pixel.
uint32_t alphaMaskValue(const BufferView& mask, uint32_t x, uint32_t y);

}  // namespace simgpu
