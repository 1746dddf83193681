// The SPC pixel-copy unit: the SPC rectangle command copies a rectangle of texture unit 1 into
// the render target through the pixel pipeline. Its words:
//   header 0x1000, plus 4 to mirror the rows;
//   x | y << 16, the target position (11 bits each);
//   (width - 1) | (height - 1) << 16 (11 bits each);
//   u | v << 16, the texture position (16 bits each).
// Source row v + j goes to target row y + j, or y + height - 1 - j when mirrored. Writes outside
// the window clip (LX_SP_WINCLIP_LT left | top << 16, LX_SP_WINCLIP_RB right | bottom << 16,
// inclusive) are dropped. PE register writes that reach the SPC FIFO between commands are
// already in the registers when the next command runs, so they act in stream order. While
// LX_PE_OVG_TX1_LUT_SRCSEL is not 0 each texel first goes through the PE lookup table (the
// lookup filters' table pass).
#include <algorithm>

#include "cgl_memreg.h"
#include "cgl_packet.h"
#include "cgl_unitreg.h"
#include "gpu_model.h"
#include "pixel_pipeline.h"

namespace simgpu {
namespace {

constexpr uint32_t kMirrorRows = 0x4u;
constexpr uint32_t kElevenBitFields = 0x07FF07FFu;

}  // namespace

void GpuModel::spcRectangle(const uint32_t words[4])
{
    const std::string what = "SPC rectangle";
    if ((words[0] & ~kMirrorRows) != CGL_SPC_RECT || (words[1] & ~kElevenBitFields) ||
        (words[2] & ~kElevenBitFields)) {
        gpu_.protocolError(Stream::Gpu, what + ": unknown header or fields beyond 11 bits: " + hex(words[0]) + " " +
                                            hex(words[1]) + " " + hex(words[2]));
        return;
    }
    const bool mirror = words[0] & kMirrorRows;
    const uint32_t x = words[1] & 0xFFFFu, y = words[1] >> 16;
    const uint32_t w = (words[2] & 0xFFFFu) + 1, h = (words[2] >> 16) + 1;
    const uint32_t u = words[3] & 0xFFFFu, v = words[3] >> 16;

    Target t;
    ColourBuffer source;
    uint32_t sourceRows = 0;
    PixelPipeline pipeline;
    // The coverage test passes every pixel of a rectangle (each is wholly covered): on (1) or
    // off (0), it changes nothing.
    const uint32_t coverageTest = gpu_.reg(Unit::PE, LX_PE_OVG_CTEST_EN);
    if (coverageTest > 1) {
        gpu_.protocolError(Stream::Gpu, what + ": LX_PE_OVG_CTEST_EN " + hex(coverageTest) + " is unknown");
        return;
    }
    if (!requireValue(what, Unit::PE, LX_PE_OVG_TX1_EN, 1) ||
        unmodelled(what, {LX_PE_OVG_AM_EN, LX_PE_OVG_TX0_EN, LX_PE_OVG_TX1_PAINT_SEL,
                          LX_PE_OVG_TX1_CHILDIMG_EN, LX_PE_OVG_TX1_FILTER, LX_PE_OVG_IMGCOMB_FUNC,
                          LX_PE_OVG_CTRANS_EN, LX_PE_OVG_CCU_MPX_CTRL, LX_PE_OVG_ACOLOR0_EN,
                          LX_PE_OVG_ACOLOR1_EN}) ||
        !target(t, what, false) || !texture(1, source, sourceRows, what) ||
        !pipeline.load(gpu_, *t.buffer.format, what) || !pipeline.loadLookup(gpu_, what))
        return;

    BufferView texels;
    if (!textureRect(source, sourceRows, Rect{u, v, u + w - 1, v + h - 1}, texels, what))
        return;

    // The part of the target rectangle inside the window clip.
    const uint32_t lt = gpu_.reg(Unit::Mem, LX_SP_WINCLIP_LT);
    const uint32_t rb = gpu_.reg(Unit::Mem, LX_SP_WINCLIP_RB);
    const Rect kept{std::max(x, lt & 0xFFFFu), std::max(y, lt >> 16), std::min(x + w - 1, rb & 0xFFFFu),
                    std::min(y + h - 1, rb >> 16)};
    if (kept.right < kept.left || kept.bottom < kept.top)
        return;
    Rect stored;
    BufferView pixels;
    if (!storedRect(t, kept, stored, what) || !view(t.buffer, stored, pixels, what))
        return;
    pixels.keep = t.keep;

    const uint32_t n = t.samples;
    for (uint32_t j = 0; j < h; ++j) {
        const uint32_t row = mirror ? y + h - 1 - j : y + j;
        if (row < kept.top || row > kept.bottom)
            continue;
        for (uint32_t tx = kept.left; tx <= kept.right; ++tx) {
            const uint32_t colour =
                pipeline.colour(unpackColour(*source.format, texels.get(u + (tx - x), v + j)));
            for (uint32_t s = 0; s < n; ++s)
                pipeline.store(pixels, tx * n + s, row, colour);
        }
    }
}

}  // namespace simgpu
