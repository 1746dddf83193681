// The vertex processor's glyph entries. Entry 14 takes a glyph's offset (dx, dy) and derives
// G = the glyph matrix (constants 71/72) after translate(dx, dy), to device pixels as entry 0
// derives the path matrix; its LX_VP_CTRL0 says what G then serves:
//   bit 0: the path segments and stroke pieces that follow are placed by G instead of entry 0's
//     matrix, until entry 0 derives that again;
//   bit 1: the image quad (entry 947) is placed by G instead of entry 7's matrix, until entry 7
//     derives that again;
//   bit 2: the paint program's set 24576 (glyph fill, image glyph) becomes G after the fill
//     paint-to-user rows 67/68; bit 3: set 32768 (glyph stroke) G after the stroke rows 69/70;
//   bit 31: no flip, as for entry 0.
// Entry 35 (start word) derives the glyph paint sets from the current G once per run: bit 0
// or bit 2 set 24576 from rows 67/68, bit 1 set 32768 from rows 69/70.
#include <cmath>
#include <cstring>

#include "cgl_unitreg.h"
#include "vertex_processor.h"

namespace simgpu {
namespace {

constexpr uint32_t kNoFlip = 0x80000000u;
constexpr uint32_t kGlyphPaths = 1, kGlyphImages = 2, kGlyphFillPaint = 4, kGlyphStrokePaint = 8;
constexpr uint32_t kRunFill = 1, kRunStroke = 2, kRunImage = 4;
constexpr unsigned kGlyphFillSet = 3, kGlyphStrokeSet = 4;  // paint sets 24576 and 32768

}  // namespace

void VertexProcessor::glyphOffset(const std::vector<uint32_t>& words, const std::string& what)
{
    uint32_t ctrl = 0;
    if (!controlBits(what, kNoFlip | 15u, ctrl))
        return;
    if (words.size() != 2) {
        gpu_.protocolError(Stream::Gpu, what + ": " + std::to_string(words.size()) + " data words instead of 2");
        return;
    }
    double offset[2];
    for (int i = 0; i < 2; ++i) {
        float f;
        std::memcpy(&f, &words[i], sizeof f);
        if (!std::isfinite(f))
            return;  // an offset that is not finite is dropped; G stays as it was
        offset[i] = f;
    }
    double scale, height;
    bool flip;
    if (!edgeScale(what, scale, height, flip))
        return;
    Affine translate;
    translate.e = offset[0];
    translate.f = offset[1];
    derived_.glyphToDevice = toDevice(constantRows(LX_VCNST_OVG_GU2S1).after(translate), flip, height);
    const Affine& g = derived_.glyphToDevice.m;
    derived_.glyphEdgeScale = scale;
    if (ctrl & kGlyphPaths)
        derived_.glyphPaths = true;
    if (ctrl & kGlyphImages)
        derived_.glyphImages = true;
    if (ctrl & kGlyphFillPaint)
        setPaint(kGlyphFillSet, Projective().after(g.after(constantRows(LX_VCNST_OVG_FP2U1))), flip);
    if (ctrl & kGlyphStrokePaint)
        setPaint(kGlyphStrokeSet, Projective().after(g.after(constantRows(LX_VCNST_OVG_SP2U1))), flip);
}

void VertexProcessor::glyphPaint(const std::string& what)
{
    uint32_t ctrl = 0;
    if (!controlBits(what, kRunFill | kRunStroke | kRunImage, ctrl))
        return;
    if (ctrl && !derived_.glyphToDevice.valid) {
        gpu_.protocolError(Stream::Gpu, what + ": glyph paint matrices before a glyph matrix");
        return;
    }
    const Affine& g = derived_.glyphToDevice.m;
    const bool flip = derived_.glyphToDevice.flipped;
    if (ctrl & (kRunFill | kRunImage))
        setPaint(kGlyphFillSet, Projective().after(g.after(constantRows(LX_VCNST_OVG_FP2U1))), flip);
    if (ctrl & kRunStroke)
        setPaint(kGlyphStrokeSet, Projective().after(g.after(constantRows(LX_VCNST_OVG_SP2U1))), flip);
}

}  // namespace simgpu
