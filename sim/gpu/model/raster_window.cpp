// The rasterizer's window mode: a scan without edges covers every pixel of the XPT window,
// which then passes the rasterizer scissor and reaches the PE write stage with the constant
// colour LX_RZ_COLOR.
#include <vector>

#include "cgl_unitreg.h"
#include "gpu_model.h"

namespace simgpu {
namespace {

constexpr uint32_t kWindowMode = 0x10u;        // LX_XPT_MODE
constexpr uint32_t kScissorBypass = 0x10000u;  // LX_RZ_VG_MODE
constexpr uint32_t kConstantPaint = 2;         // LX_PE_OVG_TX0_PAINT_SEL
constexpr uint32_t kPathColourRoute = 8;       // LX_PE_OVG_CCU_MPX_CTRL
constexpr unsigned kScissorRects = 32;

// The enabled scissor rectangles, or none when the test is off.
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

bool inside(const std::vector<Rect>& rects, uint32_t x, uint32_t y)
{
    if (rects.empty())
        return true;
    for (const Rect& r : rects)
        if (x >= r.left && x <= r.right && y >= r.top && y <= r.bottom)
            return true;
    return false;
}

}  // namespace

void GpuModel::rasterScan()
{
    const std::string what = "rasterizer window scan";
    const bool edges = edgesPending_;
    edgesPending_ = false;
    if (!requireValue(what, Unit::XPT, LX_XPT_MODE, kWindowMode))
        return;
    if (edges) {
        gpu_.protocolError(Stream::Gpu, what + ": window mode with edges is not modelled");
        return;
    }
    const uint32_t vgMode = gpu_.reg(Unit::RZ, LX_RZ_VG_MODE);
    if (vgMode & ~kScissorBypass) {
        gpu_.protocolError(Stream::Gpu, what + ": LX_RZ_VG_MODE " + hex(vgMode) + " is not modelled");
        return;
    }
    Target t;
    if (!requireValue(what, Unit::PE, LX_PE_OVG_TX0_PAINT_SEL, kConstantPaint) ||
        !requireValue(what, Unit::PE, LX_PE_OVG_CCU_MPX_CTRL, kPathColourRoute) ||
        unmodelled(what, {LX_PE_OVG_BLEN_EN, LX_PE_OVG_AM_EN, LX_PE_OVG_TX0_EN, LX_PE_OVG_TX1_EN,
                          LX_PE_OVG_CTRANS_EN, LX_PE_OVG_ACOLOR0_EN, LX_PE_OVG_ACOLOR1_EN, LX_PE_OVG_GAMMA_EN,
                          LX_PE_OVG_RGB2L_EN, LX_PE_OVG_PREMALPHA_EN, LX_PE_OVG_AALIAS_EN, LX_PE_OVG_CTEST_EN,
                          LX_PE_OVG_COV2ALPHA, LX_PE_OVG_CCLAMP2ALPHA_EN, LX_PE_OVG_COLOR_PREMALPHA_EN,
                          LX_PE_OVG_TX0_RED2ALPHA, LX_PE_OVG_ALTCOV_EN, LX_PE_OVG_ATEST_EN,
                          LX_PE_OVG_CHROMAKEY_CTRL}) ||
        !target(t, what, false))
        return;

    const Rect window{gpu_.reg(Unit::XPT, LX_XPT_SCI_XL), gpu_.reg(Unit::XPT, LX_XPT_SCI_YT),
                      gpu_.reg(Unit::XPT, LX_XPT_SCI_XR), gpu_.reg(Unit::XPT, LX_XPT_SCI_YB)};
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
            if (inside(scissor, x, y))
                for (uint32_t s = 0; s < n; ++s)
                    pixels.put(x * n + s, y, value);
}

}  // namespace simgpu
