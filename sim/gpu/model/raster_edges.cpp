// The rasterizer's edge modes: the edges the vertex processor gathered are scanned over the
// XPT window into per-pixel coverage (edge_scan.h), which the PE draws: the source of the paint
// and the image (draw_source.h) through the pixel pipeline's conversion chain and blend unit,
// the rasterizer scissor and the channel mask, with LX_PE_OVG_AALIAS_EN 3 as
// dst + coverage x (blend - dst).
#include <algorithm>
#include <string>
#include <vector>

#include "cgl_unitreg.h"
#include "draw_source.h"
#include "gpu_model.h"
#include "pixel_pipeline.h"
#include "raster_common.h"

namespace simgpu {
namespace {

constexpr uint32_t kEvenOdd = 0x2u;                // LX_XPT_MODE
constexpr uint32_t kModeFlags = 0x42u;             // LX_XPT_MODE: image and even-odd
constexpr uint32_t kScissorBypass = 0x10000u;      // LX_RZ_VG_MODE
constexpr uint32_t kMultisampledPaint = 0x80000u;  // LX_RZ_VG_MODE
// LX_RZ_VG_MODE: paint kind, image, spread, pattern and image tiling, scissor bypass, multisampled
constexpr uint32_t kDrawingModeBits = 0x3u | 0x4u | 0x30u | 0x3C0u | 0x3C00u | kScissorBypass | kMultisampledPaint;
constexpr uint32_t kCoverageOn = 3;                // LX_PE_OVG_AALIAS_EN
constexpr uint32_t kXptOverflow = 0x40u;           // interrupt status

}  // namespace

unsigned gridOf(uint32_t base)
{
    switch (base) {
    case 0: return 1;
    case 4: return 2;
    case 8: return 4;
    case kMultisampledMode: return 2;
    default: return 0;
    }
}

void GpuModel::edgeScan(const std::string& what, uint32_t mode)
{
    const uint32_t base = mode & ~kModeFlags;
    const unsigned grid = gridOf(base);
    if (!grid) {
        gpu_.protocolError(Stream::Gpu, what + ": XPT register " + std::to_string(LX_XPT_MODE) + " = " + hex(mode) +
                                            " is not modelled");
        return;
    }
    Target t;
    PixelPipeline pipeline;
    DrawSource source;
    if (!drawingTarget(what, t) || !source.load(*this, gpu_, rampEntries_, what) ||
        !pipeline.load(gpu_, *t.buffer.format, what, PixelPipeline::Use::Drawing))
        return;
    const bool perSample = base == kMultisampledMode;
    const bool multisampledPaint = (gpu_.reg(Unit::RZ, LX_RZ_VG_MODE) & kMultisampledPaint) != 0;
    if (perSample != (t.samples > 1) || perSample != multisampledPaint) {
        gpu_.protocolError(Stream::Gpu, what + ": mode " + std::to_string(base) +
                                            " with LX_PE_OVG_MSAA_ENABLE and LX_RZ_VG_MODE bit 19 at " +
                                            std::to_string(t.samples > 1) + " and " +
                                            std::to_string(multisampledPaint) + " is not modelled");
        return;
    }
    const uint32_t aalias = gpu_.reg(Unit::PE, LX_PE_OVG_AALIAS_EN);
    if (grid > 1 && !perSample && aalias != kCoverageOn) {
        gpu_.protocolError(Stream::Gpu, what + ": anti-aliased mode " + std::to_string(base) +
                                            " without LX_PE_OVG_AALIAS_EN 3");
        return;
    }

    // The window's memory resolves before the scan, which keeps the scan within memory too.
    const Rect window = xptWindow(gpu_);
    BufferView pixels;
    if (window.right >= window.left && window.bottom >= window.top) {
        Rect stored;
        if (!storedRect(t, window, stored, what) || !view(t.buffer, stored, pixels, what) ||
            (t.masked && !alphaMaskView(t, window, what)))
            return;
        pixels.keep = t.keep;
    }
    Coverage coverage;
    if (!scanCoverage(grid, mode, window, coverage))
        return;
    writeCoverage(t, pixels, coverage, aalias == kCoverageOn && !perSample, source, pipeline);
}

// Scans the edges collected since the last scan over `window` on the sample grid, non-zero or
// even-odd by `mode`, keeping LX_XPT_NUMMAX the most crossings of a line seen. More crossings on
// a line than LX_XPT_XSIZE raise the overflow interrupt and give false: nothing is drawn.
bool GpuModel::scanCoverage(uint32_t grid, uint32_t mode, const Rect& window, Coverage& coverage) const
{
    ScanSettings settings;
    settings.grid = grid;
    settings.evenOdd = (mode & kEvenOdd) != 0;
    settings.window = window;
    settings.maxCrossings = gpu_.reg(Unit::XPT, LX_XPT_XSIZE);
    const ScanResult result = scanEdges(edges_.edges(), settings, coverage, scanBuffers_);
    if (result.mostCrossings > gpu_.reg(Unit::XPT, LX_XPT_NUMMAX))
        gpu_.gpuRegister(Unit::XPT, LX_XPT_NUMMAX, result.mostCrossings);
    if (result.overflow) {
        gpu_.gpuRaise(kXptOverflow);
        return false;
    }
    return true;
}

// The PE state of drawings other than the paint, the image and the pipeline's stages: every
// unit the model does not know off, LX_RZ_VG_MODE within its known bits.
bool GpuModel::drawingTarget(const std::string& what, Target& out) const
{
    const uint32_t vgMode = gpu_.reg(Unit::RZ, LX_RZ_VG_MODE);
    if (vgMode & ~kDrawingModeBits) {
        gpu_.protocolError(Stream::Gpu, what + ": LX_RZ_VG_MODE " + hex(vgMode) + " is not modelled");
        return false;
    }
    const uint32_t aalias = gpu_.reg(Unit::PE, LX_PE_OVG_AALIAS_EN);
    const uint32_t coverageTest = gpu_.reg(Unit::PE, LX_PE_OVG_CTEST_EN);
    if ((aalias != 0 && aalias != kCoverageOn) || coverageTest > 1) {
        gpu_.protocolError(Stream::Gpu, what + ": LX_PE_OVG_AALIAS_EN " + hex(aalias) + " or LX_PE_OVG_CTEST_EN " +
                                            hex(coverageTest) + " is unknown");
        return false;
    }
    return !unmodelled(what, {LX_PE_OVG_ACOLOR0_EN, LX_PE_OVG_ACOLOR1_EN, LX_PE_OVG_COV2ALPHA, LX_PE_OVG_ALTCOV_EN,
                              LX_PE_OVG_ATEST_EN, LX_PE_OVG_CHROMAKEY_CTRL, LX_PE_OVG_TX0_CHROMAKEY_CTRL,
                              LX_PE_OVG_TX1_CHROMAKEY_CTRL}) &&
           target(out, what, false) && loadAlphaMask(out, what);
}

// Covered pixels get the source through the pipeline; a multisampled target gets it in each
// covered sample (sample i + 2 j of the 2 x 2 grid is the pixel's stored sample i + 2 j); with
// `blend` a partly covered pixel moves its covered share of the way from what it held.
void GpuModel::writeCoverage(const Target& t, const BufferView& pixels, const Coverage& coverage, bool blend,
                             const DrawSource& source, const PixelPipeline& pipeline) const
{
    if (coverage.empty())
        return;
    const Rect& window = coverage.window;
    const uint32_t n = t.samples;
    const uint32_t total = coverage.samples();
    const std::vector<Rect> scissor = scissorRects(gpu_);
    const uint32_t width = window.right - window.left + 1;
    std::vector<Rect> rowScissor;  // the scissor rectangles that hold the row
    rowScissor.reserve(scissor.size());
    // Runs of wholly covered pixels of a single-sampled target without an alpha mask take
    // their source and draw a run at a time, as pixel by pixel they would: a run's pixel is
    // drawn from the same values, and reading the source first changes nothing unless the
    // source reads the target's memory, which keeps to the pixel order.
    const bool spans = n == 1 && !t.masked && !source.reads(pixels);
    const auto whole = [blend, total](uint16_t mask) { return blend ? Coverage::count(mask) == total : mask != 0; };
    uint32_t runColours[DrawSource::kMostSpan], runAlphas[DrawSource::kMostSpan];
    for (uint32_t y = window.top; y <= window.bottom; ++y) {
        rowScissor.clear();
        for (const Rect& r : scissor)
            if (y >= r.top && y <= r.bottom)
                rowScissor.push_back(r);
        if (!scissor.empty() && rowScissor.empty())
            continue;
        const uint16_t* masks = &coverage.masks[static_cast<size_t>(y - window.top) * width];
        for (uint32_t x = window.left; x <= window.right; ++x) {
            const uint16_t mask = masks[x - window.left];
            if (!mask || !insideScissor(rowScissor, x, y))
                continue;
            if (spans && whole(mask)) {
                // The wholly covered pixels from x on within one scissor rectangle.
                uint32_t last = x + std::min(window.right - x, DrawSource::kMostSpan - 1);
                if (!rowScissor.empty()) {
                    uint32_t right = x;
                    for (const Rect& r : rowScissor)
                        if (x >= r.left && x <= r.right)
                            right = std::max(right, r.right);
                    last = std::min(last, right);
                }
                // A mask equal to the one before it is as wholly covering, uncounted.
                uint32_t count = 1;
                for (const uint16_t* m = masks + (x - window.left); count <= last - x; ++count)
                    if (m[count] != m[count - 1] && !whole(m[count]))
                        break;
                source.span(x, y, count, pipeline, runColours, runAlphas);
                pipeline.drawSpan(pixels, x, y, count, runColours, runAlphas);
                x += count - 1;
                continue;
            }
            uint32_t colour, alphas;
            source.at(x, y, pipeline, colour, alphas);
            if (n > 1) {
                for (uint32_t s = 0; s < n; ++s)
                    if (mask & (1u << s))
                        pipeline.draw(pixels, x * n + s, y, colour, alphas, 1, 1);
                continue;
            }
            uint32_t covered = blend ? Coverage::count(mask) : 1;
            uint32_t of = blend ? total : 1;
            if (t.masked) {
                // The coverage times the alpha mask's value.
                const uint32_t m = alphaMaskValue(t.alphaMask, x, y);
                if (!m)
                    continue;
                covered *= m;
                of *= 255;
            }
            pipeline.draw(pixels, x, y, colour, alphas, covered, of);
        }
    }
}

}  // namespace simgpu
