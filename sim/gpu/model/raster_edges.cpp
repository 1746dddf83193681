// The rasterizer's edge modes: the edges the vertex processor gathered are scanned over the
// XPT window into per-pixel coverage (edge_scan.h), which the constant-colour writer draws:
// LX_RZ_COLOR in the target format through the rasterizer scissor and the channel mask, with
// LX_PE_OVG_AALIAS_EN 3 as dst + coverage x (colour - dst).
#include <algorithm>
#include <bitset>
#include <vector>

#include "cgl_unitreg.h"
#include "gpu_model.h"
#include "raster_common.h"

namespace simgpu {
namespace {

constexpr uint32_t kEvenOdd = 0x2u;                // LX_XPT_MODE
constexpr uint32_t kModeFlags = 0x42u;             // LX_XPT_MODE: image and even-odd
constexpr uint32_t kMultisampledMode = 36;         // LX_XPT_MODE base
constexpr uint32_t kScissorBypass = 0x10000u;      // LX_RZ_VG_MODE
constexpr uint32_t kMultisampledPaint = 0x80000u;  // LX_RZ_VG_MODE
constexpr uint32_t kCoverageOn = 3;                // LX_PE_OVG_AALIAS_EN
constexpr uint32_t kXptOverflow = 0x40u;           // interrupt status

// Samples per pixel side of each mode base; 0 for a base the model does not know.
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

// Each 8-bit channel of dst moved by n / total of the way to colour, rounded half up.
uint32_t mix(uint32_t dst, uint32_t colour, uint32_t n, uint32_t total)
{
    uint32_t out = 0;
    for (unsigned shift = 0; shift < 32; shift += 8) {
        const uint32_t d = (dst >> shift) & 0xFFu, c = (colour >> shift) & 0xFFu;
        out |= ((d * (total - n) + c * n + total / 2) / total) << shift;
    }
    return out;
}

}  // namespace

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
    if (!rasterTarget(what, kScissorBypass | kMultisampledPaint, true, t))
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
        if (!storedRect(t, window, stored, what) || !view(t.buffer, stored, pixels, what))
            return;
        pixels.keep = t.keep;
    }
    ScanSettings settings;
    settings.grid = grid;
    settings.evenOdd = (mode & kEvenOdd) != 0;
    settings.window = window;
    settings.maxCrossings = gpu_.reg(Unit::XPT, LX_XPT_XSIZE);
    Coverage coverage;
    const ScanResult result = scanEdges(edges_.edges(), settings, coverage);
    const uint32_t most = gpu_.reg(Unit::XPT, LX_XPT_NUMMAX);
    if (result.mostCrossings > most)
        gpu_.gpuRegister(Unit::XPT, LX_XPT_NUMMAX, result.mostCrossings);
    if (result.overflow) {
        gpu_.gpuRaise(kXptOverflow);
        return;
    }
    writeCoverage(t, pixels, coverage, aalias == kCoverageOn && !perSample);
}

// Covered pixels get the constant colour; a multisampled target gets it in each covered
// sample (sample i + 2 j of the 2 x 2 grid is the pixel's stored sample i + 2 j); with `blend`
// a partly covered pixel moves its covered share of the way from what it held.
void GpuModel::writeCoverage(const Target& t, const BufferView& pixels, const Coverage& coverage, bool blend) const
{
    if (coverage.empty())
        return;
    const Rect& window = coverage.window;
    const uint32_t n = t.samples;
    const PixelFormat& format = *t.buffer.format;
    const uint32_t colour = gpu_.reg(Unit::RZ, LX_RZ_COLOR);
    const uint32_t value = packColour(format, colour);
    const uint32_t total = coverage.samples();
    const std::vector<Rect> scissor = scissorRects(gpu_);
    for (uint32_t y = window.top; y <= window.bottom; ++y)
        for (uint32_t x = window.left; x <= window.right; ++x) {
            const uint16_t mask = coverage.mask(x, y);
            if (!mask || !insideScissor(scissor, x, y))
                continue;
            if (n > 1) {
                for (uint32_t s = 0; s < n; ++s)
                    if (mask & (1u << s))
                        pixels.put(x * n + s, y, value);
                continue;
            }
            const uint32_t covered = static_cast<uint32_t>(std::bitset<16>(mask).count());
            if (!blend || covered == total)
                pixels.put(x, y, value);
            else
                pixels.put(x, y, packColour(format, mix(unpackColour(format, pixels.get(x, y)), colour, covered, total)));
        }
}

}  // namespace simgpu
