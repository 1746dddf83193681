// The rasterizer's scan and its window mode: a scan without edges covers every pixel of the
// XPT window, which then passes the rasterizer scissor and reaches the PE write stage with the
// constant colour LX_RZ_COLOR. The edge modes (raster_edges.cpp) share the scan's start, the
// PE state it needs and the scissor.
#include <vector>

#include "cgl_unitreg.h"
#include "gpu_model.h"
#include "raster_common.h"

namespace simgpu {
namespace {

constexpr uint32_t kWindowMode = 0x10u;        // LX_XPT_MODE
constexpr uint32_t kModeFlags = 0x42u;         // LX_XPT_MODE: image and even-odd
constexpr uint32_t kScissorBypass = 0x10000u;  // LX_RZ_VG_MODE
constexpr uint32_t kConstantPaint = 2;         // LX_PE_OVG_TX0_PAINT_SEL
constexpr uint32_t kPathColourRoute = 8;       // LX_PE_OVG_CCU_MPX_CTRL
constexpr uint32_t kCoverageOn = 3;            // LX_PE_OVG_AALIAS_EN
constexpr unsigned kScissorRects = 32;

}  // namespace

std::vector<Rect> scissorRects(const SimGpu& gpu)
{
    std::vector<Rect> rects;
    if (gpu.reg(Unit::RZ, LX_RZ_VG_MODE) & kScissorBypass)
        return rects;
    const uint32_t enable = gpu.reg(Unit::RZ, LX_RZ_SCI_ENABLE);
    for (unsigned n = 0; n < kScissorRects; ++n) {
        if (!(enable & (1u << n)))
            continue;
        const uint32_t lt = gpu.reg(Unit::RZ, LX_RZ_SCI_RECT_LT00 + 2 * n);
        const uint32_t rb = gpu.reg(Unit::RZ, LX_RZ_SCI_RECT_RB00 + 2 * n);
        rects.push_back(Rect{lt >> 16, lt & 0xFFFFu, rb >> 16, rb & 0xFFFFu});
    }
    return rects;
}

bool insideScissor(const std::vector<Rect>& rects, uint32_t x, uint32_t y)
{
    if (rects.empty())
        return true;
    for (const Rect& r : rects)
        if (x >= r.left && x <= r.right && y >= r.top && y <= r.bottom)
            return true;
    return false;
}

Rect xptWindow(const SimGpu& gpu)
{
    return Rect{gpu.reg(Unit::XPT, LX_XPT_SCI_XL), gpu.reg(Unit::XPT, LX_XPT_SCI_YT), gpu.reg(Unit::XPT, LX_XPT_SCI_XR),
                gpu.reg(Unit::XPT, LX_XPT_SCI_YB)};
}

void GpuModel::rasterScan()
{
    const uint32_t mode = gpu_.reg(Unit::XPT, LX_XPT_MODE);
    if ((mode & ~kModeFlags) == kWindowMode)
        windowScan("rasterizer window scan");
    else
        edgeScan("rasterizer edge scan", mode);
    edges_.clear();
}

// The constant-colour path through the PE: only the rasterizer bits `vgModeBits` of
// LX_RZ_VG_MODE, and every PE unit off but, for a scan with coverage, the anti-aliasing unit.
bool GpuModel::rasterTarget(const std::string& what, uint32_t vgModeBits, bool coverage, Target& out) const
{
    const uint32_t vgMode = gpu_.reg(Unit::RZ, LX_RZ_VG_MODE);
    if (vgMode & ~vgModeBits) {
        gpu_.protocolError(Stream::Gpu, what + ": LX_RZ_VG_MODE " + hex(vgMode) + " is not modelled");
        return false;
    }
    const uint32_t aalias = gpu_.reg(Unit::PE, LX_PE_OVG_AALIAS_EN);
    if (coverage && aalias != 0 && aalias != kCoverageOn) {
        gpu_.protocolError(Stream::Gpu, what + ": LX_PE_OVG_AALIAS_EN " + hex(aalias) + " is unknown");
        return false;
    }
    return requireValue(what, Unit::PE, LX_PE_OVG_TX0_PAINT_SEL, kConstantPaint) &&
           requireValue(what, Unit::PE, LX_PE_OVG_CCU_MPX_CTRL, kPathColourRoute) &&
           !unmodelled(what, {LX_PE_OVG_BLEN_EN, LX_PE_OVG_AM_EN, LX_PE_OVG_TX0_EN, LX_PE_OVG_TX1_EN,
                              LX_PE_OVG_CTRANS_EN, LX_PE_OVG_ACOLOR0_EN, LX_PE_OVG_ACOLOR1_EN, LX_PE_OVG_GAMMA_EN,
                              LX_PE_OVG_RGB2L_EN, LX_PE_OVG_PREMALPHA_EN, LX_PE_OVG_CTEST_EN, LX_PE_OVG_COV2ALPHA,
                              LX_PE_OVG_CCLAMP2ALPHA_EN, LX_PE_OVG_COLOR_PREMALPHA_EN, LX_PE_OVG_TX0_RED2ALPHA,
                              LX_PE_OVG_ALTCOV_EN, LX_PE_OVG_ATEST_EN, LX_PE_OVG_CHROMAKEY_CTRL}) &&
           (coverage || requireValue(what, Unit::PE, LX_PE_OVG_AALIAS_EN, 0)) && target(out, what, false);
}

void GpuModel::windowScan(const std::string& what)
{
    if (!requireValue(what, Unit::XPT, LX_XPT_MODE, kWindowMode))
        return;
    if (!edges_.empty()) {
        gpu_.protocolError(Stream::Gpu, what + ": window mode with edges is not modelled");
        return;
    }
    Target t;
    if (!rasterTarget(what, kScissorBypass, false, t))
        return;

    const Rect window = xptWindow(gpu_);
    if (window.right < window.left || window.bottom < window.top)
        return;
    const uint32_t n = t.samples;
    Rect stored;
    BufferView pixels;
    if (!storedRect(t, window, stored, what) || !view(t.buffer, stored, pixels, what))
        return;
    pixels.keep = t.keep;
    const uint32_t value = packColour(*t.buffer.format, gpu_.reg(Unit::RZ, LX_RZ_COLOR));
    const std::vector<Rect> scissor = scissorRects(gpu_);
    for (uint32_t y = window.top; y <= window.bottom; ++y)
        for (uint32_t x = window.left; x <= window.right; ++x)
            if (insideScissor(scissor, x, y))
                for (uint32_t s = 0; s < n; ++s)
                    pixels.put(x * n + s, y, value);
}

}  // namespace simgpu
