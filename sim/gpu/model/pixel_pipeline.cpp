#include "pixel_pipeline.h"

#include <algorithm>
#include <cmath>

#include "cgl_unitreg.h"
#include "gpu_model.h"
#include "simgpu.h"

namespace simgpu {
namespace {

constexpr uint32_t kGammaTable = 0x20000;         // PE table position of linear -> non-linear
constexpr uint32_t kInverseGammaTable = 0x30000;  // non-linear -> linear
constexpr uint32_t kChannelTableWords = 64;       // each channel's 256 entries, four a word
constexpr uint32_t kLookupTable = 0x10100;        // the filters' lookup table, one word an index
constexpr uint32_t kFirstLookupInput = 4;         // selector nibbles 4 R, 5 G, 6 B, 7 A

// The alpha blend steps (LX_PE_OVG_BLEN_FUNC_ASTEP1, _ASTEP2) of the mask operations.
struct StepPair {
    uint32_t step1, step2;
    PixelPipeline::Blend blend;
};
constexpr StepPair kMaskSteps[] = {
    {0x00, 0x00000, PixelPipeline::Blend::Set},
    {0x02, 0x50000, PixelPipeline::Blend::Union},
    {0x11, 0x40000, PixelPipeline::Blend::Intersect},
    {0x01, 0x40000, PixelPipeline::Blend::Subtract},
};

uint32_t channel(uint32_t rgba, unsigned index)  // 0 R, 1 G, 2 B, 3 A
{
    return (rgba >> (24 - 8 * index)) & 0xFFu;
}

uint32_t rgba(uint32_t r, uint32_t g, uint32_t b, uint32_t a)
{
    return r << 24 | g << 16 | b << 8 | a;
}

}  // namespace

uint32_t mul255(uint32_t x, uint32_t y)
{
    // x y / 255 is never exactly halfway between two integers, so this rounds to the nearest.
    return (x * y + 127) / 255;
}

bool PixelPipeline::load(SimGpu& gpu, const PixelFormat& target, const std::string& what)
{
    struct Setting {
        uint32_t reg;
        uint32_t limit;  // the highest known value
        const char* name;
    } const settings[] = {
        {LX_PE_OVG_TX1_RED2ALPHA, 1, "LX_PE_OVG_TX1_RED2ALPHA"},
        {LX_PE_OVG_TX1_CLAMP2ALPHA, 1, "LX_PE_OVG_TX1_CLAMP2ALPHA"},
        {LX_PE_OVG_TX1_PREMALPHA_EN, 1, "LX_PE_OVG_TX1_PREMALPHA_EN"},
        {LX_PE_OVG_PREMALPHA_EN, 3, "LX_PE_OVG_PREMALPHA_EN"},
        {LX_PE_OVG_GAMMA_EN, 3, "LX_PE_OVG_GAMMA_EN"},
        {LX_PE_OVG_RGB2L_EN, 1, "LX_PE_OVG_RGB2L_EN"},
        {LX_PE_OVG_BLEN_EN, 1, "LX_PE_OVG_BLEN_EN"},
    };
    for (const Setting& s : settings) {
        const uint32_t value = gpu.reg(Unit::PE, s.reg);
        if (value > s.limit) {
            gpu.protocolError(Stream::Gpu, what + ": unknown " + s.name + " " + hex(value));
            return false;
        }
    }
    const uint32_t premultiplication = gpu.reg(Unit::PE, LX_PE_OVG_PREMALPHA_EN);
    const uint32_t gamma = gpu.reg(Unit::PE, LX_PE_OVG_GAMMA_EN);
    red2alpha_ = gpu.reg(Unit::PE, LX_PE_OVG_TX1_RED2ALPHA) != 0;
    clamp2alpha_ = gpu.reg(Unit::PE, LX_PE_OVG_TX1_CLAMP2ALPHA) != 0;
    premultiplyTexel_ = gpu.reg(Unit::PE, LX_PE_OVG_TX1_PREMALPHA_EN) != 0;
    unpremultiply_ = premultiplication & 2u;
    premultiply_ = premultiplication & 1u;
    toLinear_ = gamma & 1u;
    toNonLinear_ = gamma & 2u;
    luminance_ = gpu.reg(Unit::PE, LX_PE_OVG_RGB2L_EN) != 0;

    blend_ = Blend::Replace;
    if (gpu.reg(Unit::PE, LX_PE_OVG_BLEN_EN)) {
        const uint32_t step1 = gpu.reg(Unit::PE, LX_PE_OVG_BLEN_FUNC_ASTEP1);
        const uint32_t step2 = gpu.reg(Unit::PE, LX_PE_OVG_BLEN_FUNC_ASTEP2);
        const StepPair* known = nullptr;
        for (const StepPair& p : kMaskSteps)
            if (p.step1 == step1 && p.step2 == step2)
                known = &p;
        if (!known) {
            gpu.protocolError(Stream::Gpu, what + ": the blend steps " + hex(step1) + " " + hex(step2) +
                                               " are not modelled");
            return false;
        }
        if (target.r.length) {
            gpu.protocolError(Stream::Gpu, what + ": blending into the colour channels of " + target.name +
                                               " is not modelled");
            return false;
        }
        blend_ = known->blend;
    }

    for (unsigned c = 0; c < 3; ++c)
        for (unsigned i = 0; i < 256; ++i) {
            const unsigned word = c * kChannelTableWords + i / 4, shift = 8 * (i % 4);
            linear_[c][i] = static_cast<uint8_t>(gpu.peTable(kInverseGammaTable + word) >> shift);
            nonLinear_[c][i] = static_cast<uint8_t>(gpu.peTable(kGammaTable + word) >> shift);
        }
    target_ = &target;
    return true;
}

bool PixelPipeline::loadLookup(SimGpu& gpu, const std::string& what)
{
    const uint32_t select = gpu.reg(Unit::PE, LX_PE_OVG_TX1_LUT_SRCSEL);
    lookupOn_ = select != 0;
    if (!lookupOn_)
        return true;
    for (unsigned k = 0; k < 4; ++k) {
        const uint32_t nibble = (select >> (12 - 4 * k)) & 0xFu;
        if (select > 0xFFFFu || nibble < kFirstLookupInput || nibble > kFirstLookupInput + 3) {
            gpu.protocolError(Stream::Gpu, what + ": unknown LX_PE_OVG_TX1_LUT_SRCSEL " + hex(select));
            lookupOn_ = false;
            return false;
        }
        lookupInput_[k] = nibble - kFirstLookupInput;
    }
    for (uint32_t i = 0; i < 256; ++i)
        lookup_[i] = gpu.peTable(kLookupTable + i);
    return true;
}

uint32_t PixelPipeline::colour(uint32_t texel) const
{
    uint32_t c[4] = {channel(texel, 0), channel(texel, 1), channel(texel, 2), channel(texel, 3)};
    if (lookupOn_) {
        const uint32_t in[4] = {c[0], c[1], c[2], c[3]};
        for (unsigned k = 0; k < 4; ++k)
            c[k] = channel(lookup_[in[lookupInput_[k]]], k);
    }
    if (red2alpha_)
        c[3] = c[0];
    if (clamp2alpha_)
        for (unsigned i = 0; i < 3; ++i)
            c[i] = std::min(c[i], c[3]);
    if (premultiplyTexel_)
        for (unsigned i = 0; i < 3; ++i)
            c[i] = mul255(c[i], c[3]);
    if (unpremultiply_)
        for (unsigned i = 0; i < 3; ++i)
            c[i] = c[3] ? std::min(c[i], c[3]) * 255 / c[3] : 0;
    if (toLinear_)
        for (unsigned i = 0; i < 3; ++i)
            c[i] = linear_[i][c[i]];
    if (luminance_) {
        const double l = 0.2126 * c[0] + 0.7152 * c[1] + 0.0722 * c[2];
        c[0] = c[1] = c[2] = std::min(255u, static_cast<uint32_t>(std::floor(l + 0.5)));
    }
    if (toNonLinear_)
        for (unsigned i = 0; i < 3; ++i)
            c[i] = nonLinear_[i][c[i]];
    if (premultiply_)
        for (unsigned i = 0; i < 3; ++i)
            c[i] = mul255(c[i], c[3]);
    return rgba(c[0], c[1], c[2], c[3]);
}

void PixelPipeline::store(const BufferView& view, uint32_t x, uint32_t y, uint32_t colour) const
{
    if (blend_ != Blend::Replace) {
        const uint32_t s = channel(colour, 3);
        const uint32_t d = channel(unpackColour(*target_, view.get(x, y)), 3);
        uint32_t a = s;
        switch (blend_) {
        case Blend::Union: a = s + mul255(d, 255 - s); break;
        case Blend::Intersect: a = mul255(s, d); break;
        case Blend::Subtract: a = mul255(d, 255 - s); break;
        default: break;
        }
        colour = (colour & ~0xFFu) | a;
    }
    view.put(x, y, packColour(*target_, colour));
}

}  // namespace simgpu
