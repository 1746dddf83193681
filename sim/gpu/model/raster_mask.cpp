// The alpha mask in the rasterizer: rendering a path's coverage into a mask-format colour
// buffer (LX_PE_OVG_COV2ALPHA 2), and the alpha mask a drawing's coverage is multiplied by
// (LX_PE_OVG_AM_EN).
//
// The mask scan: the edges gathered are scanned as the edge modes do, and each pixel's
// anti-aliased coverage c (covered samples of the grid x 255, rounded) is the source alpha
// (times the alpha of LX_RZ_COLOR), which the blend unit's mask operation combines with the
// stored value m. With LX_XPT_MODE bit 4 every pixel of the area is visited, uncovered ones
// with c = 0, else only covered ones. The area is the XPT window through the rasterizer
// scissor. LX_RZ_VG_MODE bit 15 clips the coverage instead: the area is the whole XPT window and
// pixels outside the enabled scissor rectangles (all of them when none is enabled) have c = 0,
// so that setting or intersecting the mask clears it there.
#include <string>
#include <vector>

#include "cgl_unitreg.h"
#include "gpu_model.h"
#include "pixel_pipeline.h"
#include "raster_common.h"

namespace simgpu {
namespace {

constexpr uint32_t kEvenOdd = 0x2u;           // LX_XPT_MODE
constexpr uint32_t kVisitAll = 0x10u;         // LX_XPT_MODE
constexpr uint32_t kImageMode = 0x40u;        // LX_XPT_MODE
constexpr uint32_t kScissorArea = 0x8000u;    // LX_RZ_VG_MODE: the scissor clips the coverage
constexpr uint32_t kScissorBypass = 0x10000u; // LX_RZ_VG_MODE
constexpr uint32_t kConstantPaint = 2;        // LX_PE_OVG_TX0_PAINT_SEL
constexpr uint32_t kPathColourRoute = 8;      // LX_PE_OVG_CCU_MPX_CTRL
constexpr uint32_t kPaintOnly = 3;            // LX_PE_OVG_IMGCOMB_FUNC
constexpr uint32_t kMaskCodes[] = {33, 48, 64};  // A8, A4, A1
// LX_PE_OVG_AMBUF_FMT 0, 1, 2: the alpha mask's format code.
constexpr uint32_t kAlphaMaskCodes[] = {33, 48, 64};
constexpr uint32_t kMaskLineBits = 64;        // alpha mask lines are whole 8-byte words

bool isMaskFormat(uint32_t code)
{
    for (uint32_t c : kMaskCodes)
        if (c == code)
            return true;
    return false;
}

bool insideAny(const std::vector<Rect>& rects, uint32_t x, uint32_t y)
{
    for (const Rect& r : rects)
        if (x >= r.left && x <= r.right && y >= r.top && y <= r.bottom)
            return true;
    return false;
}

}  // namespace

uint32_t alphaMaskValue(const BufferView& mask, uint32_t x, uint32_t y)
{
    const uint32_t v = mask.get(x, y);
    return mask.bpp == 8 ? v : mask.bpp == 4 ? v * 17 : v ? 255 : 0;
}

bool GpuModel::loadAlphaMask(Target& t, const std::string& what) const
{
    const uint32_t enable = gpu_.reg(Unit::PE, LX_PE_OVG_AM_EN);
    t.masked = enable == 1;
    if (enable > 1) {
        gpu_.protocolError(Stream::Gpu, what + ": unknown LX_PE_OVG_AM_EN " + hex(enable));
        return false;
    }
    if (t.masked && t.samples > 1) {
        gpu_.protocolError(Stream::Gpu, what + ": the alpha mask of a multisampled target is not modelled");
        return false;
    }
    if (t.masked && gpu_.reg(Unit::PE, LX_PE_OVG_AMBUF_FMT) > 2) {
        gpu_.protocolError(Stream::Gpu, what + ": unknown LX_PE_OVG_AMBUF_FMT " +
                                            hex(gpu_.reg(Unit::PE, LX_PE_OVG_AMBUF_FMT)));
        return false;
    }
    return true;
}

// The alpha mask has a pixel for each pixel of the target's line, its lines rounded up to
// whole 8-byte words, from LX_PE_OVG_AMBUF_ADDR.
bool GpuModel::alphaMaskView(Target& t, const Rect& window, const std::string& what) const
{
    ColourBuffer mask;
    mask.address = gpu_.reg(Unit::PE, LX_PE_OVG_AMBUF_ADDR);
    mask.format = pixelFormat(kAlphaMaskCodes[gpu_.reg(Unit::PE, LX_PE_OVG_AMBUF_FMT)]);
    const uint32_t bits = mask.format->bpp;
    const uint64_t lineBits = (static_cast<uint64_t>(t.buffer.linePixels) * bits + kMaskLineBits - 1) /
                              kMaskLineBits * kMaskLineBits;
    mask.linePixels = static_cast<uint32_t>(lineBits / bits);
    mask.stride = static_cast<uint32_t>(lineBits / 8);
    return view(mask, window, t.alphaMask, what + ": alpha mask");
}

void GpuModel::maskScan(const std::string& what, uint32_t mode)
{
    const uint32_t base = mode & ~(kEvenOdd | kVisitAll | kImageMode);
    const unsigned grid = gridOf(base);
    if (!grid || base == kMultisampledMode || (mode & kImageMode)) {
        gpu_.protocolError(Stream::Gpu, what + ": LX_XPT_MODE " + hex(mode) + " is not modelled");
        return;
    }
    const uint32_t vgMode = gpu_.reg(Unit::RZ, LX_RZ_VG_MODE);
    if (vgMode & ~(kScissorArea | kScissorBypass)) {
        gpu_.protocolError(Stream::Gpu, what + ": LX_RZ_VG_MODE " + hex(vgMode) + " is not modelled");
        return;
    }
    Target t;
    PixelPipeline pipeline;
    if (!requireValue(what, Unit::PE, LX_PE_OVG_TX0_PAINT_SEL, kConstantPaint) ||
        !requireValue(what, Unit::PE, LX_PE_OVG_CCU_MPX_CTRL, kPathColourRoute) ||
        !requireValue(what, Unit::PE, LX_PE_OVG_IMGCOMB_FUNC, kPaintOnly) ||
        unmodelled(what, {LX_PE_OVG_AM_EN, LX_PE_OVG_TX0_EN, LX_PE_OVG_TX1_EN, LX_PE_OVG_CTRANS_EN,
                          LX_PE_OVG_ACOLOR0_EN, LX_PE_OVG_ACOLOR1_EN, LX_PE_OVG_GAMMA_EN, LX_PE_OVG_RGB2L_EN,
                          LX_PE_OVG_PREMALPHA_EN, LX_PE_OVG_CTEST_EN, LX_PE_OVG_AALIAS_EN, LX_PE_OVG_TX0_RED2ALPHA,
                          LX_PE_OVG_ALTCOV_EN, LX_PE_OVG_ATEST_EN, LX_PE_OVG_CHROMAKEY_CTRL}) ||
        !target(t, what, false))
        return;
    if (t.samples > 1 || !isMaskFormat(t.buffer.format->code)) {
        gpu_.protocolError(Stream::Gpu, what + ": coverage into " + t.buffer.format->name +
                                            (t.samples > 1 ? " samples" : "") + " is not modelled");
        return;
    }
    if (!pipeline.load(gpu_, *t.buffer.format, what, PixelPipeline::Use::Mask))
        return;

    const Rect window = xptWindow(gpu_);
    if (window.right < window.left || window.bottom < window.top)
        return;
    Rect stored;
    BufferView pixels;
    if (!storedRect(t, window, stored, what) || !view(t.buffer, stored, pixels, what))
        return;
    pixels.keep = t.keep;
    Coverage coverage;
    if (!scanCoverage(grid, mode, window, coverage))
        return;

    const bool visitAll = (mode & kVisitAll) != 0;
    const bool clipCoverage = (vgMode & kScissorArea) != 0;
    const std::vector<Rect> scissor = scissorRects(gpu_);
    const uint32_t colour = gpu_.reg(Unit::RZ, LX_RZ_COLOR);
    const uint32_t total = coverage.samples();
    const Rect& covered = coverage.window;
    for (uint32_t y = window.top; y <= window.bottom; ++y)
        for (uint32_t x = window.left; x <= window.right; ++x) {
            const bool inCoverage = !coverage.empty() && x >= covered.left && x <= covered.right &&
                                    y >= covered.top && y <= covered.bottom &&
                                    (!clipCoverage || insideAny(scissor, x, y));
            const uint32_t samples = inCoverage ? Coverage::count(coverage.mask(x, y)) : 0;
            if (!samples && !visitAll)
                continue;
            if (!clipCoverage && !insideScissor(scissor, x, y))
                continue;
            const uint32_t c = (samples * 255 + total / 2) / total;
            pipeline.store(pixels, x, y, (colour & ~0xFFu) | mul255(c, colour & 0xFFu));
        }
}

}  // namespace simgpu
