// The rasterizer's scan and its window mode: a scan without edges covers every pixel of the
// XPT window, which then passes the rasterizer scissor and reaches the PE write stage with the
// constant colour LX_RZ_COLOR, or, in the textured rectangle mode (LX_RZ_VG_MODE bit 2), with
// the texel of texture unit 1 that the image planes name through the pixel pipeline. The edge
// modes (raster_edges.cpp) share the scan's start, the PE state it needs and the scissor.
#include <cmath>
#include <cstring>
#include <vector>

#include "cgl_unitreg.h"
#include "gpu_model.h"
#include "pixel_pipeline.h"
#include "raster_common.h"
#include "texture_unit.h"

namespace simgpu {
namespace {

constexpr uint32_t kWindowMode = 0x10u;        // LX_XPT_MODE
constexpr uint32_t kModeFlags = 0x42u;         // LX_XPT_MODE: image and even-odd
constexpr uint32_t kScissorBypass = 0x10000u;  // LX_RZ_VG_MODE
constexpr uint32_t kTexturedRectangle = 0x4u;  // LX_RZ_VG_MODE
// The textured rectangle's tilings: LX_RZ_VG_MODE (bit 2 with the tiling in bits 10-13) and
// LX_PE_OVG_TX1_WRAP are set together; any other pair is not modelled.
struct RectangleTiling {
    uint32_t vgMode, wrap, tiling;
};
constexpr RectangleTiling kRectangleTilings[] = {
    {0x3C04u, 0x202u, kTileFill},
    {0x0004u, 0x101u, kTilePad},
    {0x1404u, 0x000u, kTileRepeat},
    {0x2804u, 0x101u, kTileReflect},
};
constexpr uint32_t kMaxWindowCoordinate = 2047;  // LX_XPT_SCI_* are 11 bits
constexpr uint32_t kConstantPaint = 2;         // LX_PE_OVG_TX0_PAINT_SEL
constexpr uint32_t kPathColourRoute = 8;       // LX_PE_OVG_CCU_MPX_CTRL
constexpr unsigned kScissorRects = 32;
constexpr uint32_t kCoverageToAlpha = 2;       // LX_PE_OVG_COV2ALPHA

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

float floatRegister(const SimGpu& gpu, uint32_t reg)
{
    const uint32_t bits = gpu.reg(Unit::RZ, reg);
    float value;
    static_assert(sizeof value == sizeof bits, "single-precision registers");
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

ImagePlanes::ImagePlanes(const SimGpu& gpu)
    : sf(floatRegister(gpu, LX_RZ_IMG_SF)), sa(floatRegister(gpu, LX_RZ_IMG_SA)), sb(floatRegister(gpu, LX_RZ_IMG_SB)),
      tf(floatRegister(gpu, LX_RZ_IMG_TF)), ta(floatRegister(gpu, LX_RZ_IMG_TA)), tb(floatRegister(gpu, LX_RZ_IMG_TB)),
      wf(floatRegister(gpu, LX_RZ_IMG_IWF)), wa(floatRegister(gpu, LX_RZ_IMG_IWA)), wb(floatRegister(gpu, LX_RZ_IMG_IWB)),
      uScale(gpu.reg(Unit::RZ, LX_RZ_IMG_USCALE)), vScale(gpu.reg(Unit::RZ, LX_RZ_IMG_VSCALE))
{
}

Rect xptWindow(const SimGpu& gpu)
{
    return Rect{gpu.reg(Unit::XPT, LX_XPT_SCI_XL), gpu.reg(Unit::XPT, LX_XPT_SCI_YT), gpu.reg(Unit::XPT, LX_XPT_SCI_XR),
                gpu.reg(Unit::XPT, LX_XPT_SCI_YB)};
}

void GpuModel::rasterScan()
{
    const uint32_t mode = gpu_.reg(Unit::XPT, LX_XPT_MODE);
    if (gpu_.reg(Unit::PE, LX_PE_OVG_COV2ALPHA) == kCoverageToAlpha)
        maskScan("rasterizer mask scan", mode);
    else if ((mode & ~kModeFlags) == kWindowMode)
        windowScan("rasterizer window scan");
    else
        edgeScan("rasterizer edge scan", mode);
    edges_.clear();
}

// The constant-colour path through the PE: only the rasterizer bits `vgModeBits` of
// LX_RZ_VG_MODE, and every PE unit off.
bool GpuModel::rasterTarget(const std::string& what, uint32_t vgModeBits, Target& out) const
{
    const uint32_t vgMode = gpu_.reg(Unit::RZ, LX_RZ_VG_MODE);
    if (vgMode & ~vgModeBits) {
        gpu_.protocolError(Stream::Gpu, what + ": LX_RZ_VG_MODE " + hex(vgMode) + " is not modelled");
        return false;
    }
    return requireValue(what, Unit::PE, LX_PE_OVG_TX0_PAINT_SEL, kConstantPaint) &&
           requireValue(what, Unit::PE, LX_PE_OVG_CCU_MPX_CTRL, kPathColourRoute) &&
           !unmodelled(what, {LX_PE_OVG_BLEN_EN, LX_PE_OVG_AM_EN, LX_PE_OVG_TX0_EN, LX_PE_OVG_TX1_EN,
                              LX_PE_OVG_CTRANS_EN, LX_PE_OVG_ACOLOR0_EN, LX_PE_OVG_ACOLOR1_EN, LX_PE_OVG_GAMMA_EN,
                              LX_PE_OVG_RGB2L_EN, LX_PE_OVG_PREMALPHA_EN, LX_PE_OVG_CTEST_EN, LX_PE_OVG_COV2ALPHA,
                              LX_PE_OVG_CCLAMP2ALPHA_EN, LX_PE_OVG_COLOR_PREMALPHA_EN, LX_PE_OVG_TX0_RED2ALPHA,
                              LX_PE_OVG_ALTCOV_EN, LX_PE_OVG_ATEST_EN, LX_PE_OVG_CHROMAKEY_CTRL,
                              LX_PE_OVG_AALIAS_EN}) &&
           target(out, what, false);
}

void GpuModel::windowScan(const std::string& what)
{
    if (!requireValue(what, Unit::XPT, LX_XPT_MODE, kWindowMode))
        return;
    if (!edges_.empty()) {
        gpu_.protocolError(Stream::Gpu, what + ": window mode with edges is not modelled");
        return;
    }
    const Rect window = xptWindow(gpu_);
    if (gpu_.reg(Unit::RZ, LX_RZ_VG_MODE) & kTexturedRectangle) {
        texturedRectangle(window, what);
        return;
    }
    Target t;
    if (!rasterTarget(what, kScissorBypass, t))
        return;

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

// The textured rectangle: each covered pixel (x, y) takes the texel
// (floor(s x LX_RZ_IMG_USCALE), floor(t x LX_RZ_IMG_VSCALE)) of the texture window (the child
// window when LX_PE_OVG_TX1_CHILDIMG_EN, else the whole texture), tiled as the pair of
// LX_RZ_VG_MODE and LX_PE_OVG_TX1_WRAP selects, nearest sampling, through the pixel pipeline.
void GpuModel::texturedRectangle(const Rect& window, const std::string& what)
{
    const uint32_t vgMode = gpu_.reg(Unit::RZ, LX_RZ_VG_MODE);
    const uint32_t wrap = gpu_.reg(Unit::PE, LX_PE_OVG_TX1_WRAP);
    const RectangleTiling* tiling = nullptr;
    for (const RectangleTiling& t : kRectangleTilings)
        if (t.vgMode == vgMode && t.wrap == wrap)
            tiling = &t;
    if (!tiling) {
        gpu_.protocolError(Stream::Gpu, what + ": LX_RZ_VG_MODE " + hex(vgMode) + " with LX_PE_OVG_TX1_WRAP " +
                                            hex(wrap) + " is not modelled");
        return;
    }
    Target t;
    TextureUnit image;
    PixelPipeline pipeline;
    if (!requireValue(what, Unit::PE, LX_PE_OVG_TX1_EN, 1) ||
        unmodelled(what, {LX_PE_OVG_AM_EN, LX_PE_OVG_TX0_EN, LX_PE_OVG_TX1_PAINT_SEL, LX_PE_OVG_TX1_FILTER,
                          LX_PE_OVG_IMGCOMB_FUNC, LX_PE_OVG_CTRANS_EN, LX_PE_OVG_CCU_MPX_CTRL,
                          LX_PE_OVG_ACOLOR0_EN, LX_PE_OVG_ACOLOR1_EN, LX_PE_OVG_AALIAS_EN, LX_PE_OVG_CTEST_EN,
                          LX_PE_OVG_COV2ALPHA, LX_PE_OVG_ALTCOV_EN, LX_PE_OVG_ATEST_EN,
                          LX_PE_OVG_CHROMAKEY_CTRL, LX_PE_OVG_TX1_CHROMAKEY_CTRL}) ||
        !target(t, what, false) || !image.load(*this, gpu_, 1, tiling->tiling, what) ||
        !pipeline.load(gpu_, *t.buffer.format, what))
        return;
    if (window.right < window.left || window.bottom < window.top)
        return;
    // The window registers hold 11 bits.
    if (window.right > kMaxWindowCoordinate || window.bottom > kMaxWindowCoordinate) {
        gpu_.protocolError(Stream::Gpu, what + ": the window reaches " + std::to_string(window.right) + "," +
                                            std::to_string(window.bottom) + ", beyond 2047");
        return;
    }

    const ImagePlanes planes(gpu_);
    const std::vector<Rect> scissor = scissorRects(gpu_);
    // Every coordinate is checked before the first pixel is written.
    for (uint32_t y = window.top; y <= window.bottom; ++y)
        for (uint32_t x = window.left; x <= window.right; ++x) {
            double u, v;
            if (insideScissor(scissor, x, y) && !planes.at(x, y, u, v)) {
                gpu_.protocolError(Stream::Gpu, what + ": the texel coordinate at pixel " + std::to_string(x) + "," +
                                                    std::to_string(y) + " is not finite or out of range");
                return;
            }
        }

    Rect stored;
    BufferView pixels;
    if (!storedRect(t, window, stored, what) || !view(t.buffer, stored, pixels, what))
        return;
    pixels.keep = t.keep;
    const uint32_t n = t.samples;
    for (uint32_t y = window.top; y <= window.bottom; ++y)
        for (uint32_t x = window.left; x <= window.right; ++x) {
            double u, v;
            if (!insideScissor(scissor, x, y) || !planes.at(x, y, u, v))
                continue;
            const uint32_t colour = pipeline.convert(image.sample(u, v));
            for (uint32_t s = 0; s < n; ++s)
                pipeline.store(pixels, x * n + s, y, colour);
        }
}

}  // namespace simgpu
