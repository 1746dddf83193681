#include "pixel_pipeline.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "cgl_unitreg.h"
#include "draw_source.h"
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

uint32_t rgba(uint32_t r, uint32_t g, uint32_t b, uint32_t a)
{
    return r << 24 | g << 16 | b << 8 | a;
}

// Each colour channel held to the alpha, on separate channels rather than an array, which the
// compiler would pack into a vector and unpack again through memory.
uint32_t clampedToAlpha(uint32_t colour)
{
    const uint32_t a = channel(colour, 3);
    return rgba(std::min(channel(colour, 0), a), std::min(channel(colour, 1), a), std::min(channel(colour, 2), a), a);
}

// ceil(2^32 / a) for each alpha a: n / a is (n ceil(2^32 / a)) >> 32 for every n below 2^16,
// which covers c 255 + a / 2 of 8-bit channels, without a division.
constexpr std::array<uint64_t, 256> kReciprocals = [] {
    std::array<uint64_t, 256> r{};
    for (uint64_t a = 1; a < 256; ++a)
        r[a] = ((uint64_t{1} << 32) + a - 1) / a;
    return r;
}();

// min(255, (c 255 + a / 2) / a) in integers; 0 when alpha is 0.
void unpremultiplied(uint32_t c[4])
{
    const uint64_t reciprocal = kReciprocals[c[3]];
    for (unsigned i = 0; i < 3; ++i)
        c[i] = std::min(255u, static_cast<uint32_t>(((c[i] * 255 + c[3] / 2) * reciprocal) >> 32));
}

// The OpenVG blend modes by their colour steps (the same for red, green and blue) and alpha
// steps, as the blend-mode writer sends them.
struct BlendRow {
    uint32_t c1, c2, a1, a2;
    PixelPipeline::Blend blend;
};
constexpr BlendRow kBlendRows[] = {
    {0, 0x10000, 0, 0, PixelPipeline::Blend::Src},
    {0, 0x81100, 0x1, 0x80100, PixelPipeline::Blend::SrcOver},
    {0, 0x70001, 0x12, 0x83100, PixelPipeline::Blend::DstOver},
    {0x1100, 0x60000, 0x11, 0x40000, PixelPipeline::Blend::SrcIn},
    {0x2200, 0x60000, 0x11, 0x40000, PixelPipeline::Blend::DstIn},
    {0x100, 0x82011, 0x1, 0x80100, PixelPipeline::Blend::Multiply},
    {0, 0x82200, 0x1, 0x80100, PixelPipeline::Blend::Screen},
    {0, 0x91101, 0x1, 0x80100, PixelPipeline::Blend::Darken},
    {0, 0xA1101, 0x1, 0x80100, PixelPipeline::Blend::Lighten},
    {0, 0x70000, 0, 0x83300, PixelPipeline::Blend::Additive},
};

}  // namespace

bool PixelPipeline::load(SimGpu& gpu, const PixelFormat& target, const std::string& what, Use use)
{
    struct Setting {
        uint32_t reg;
        uint32_t limit;  // the highest known value
        const char* name;
        bool drawingOnly;
    } const settings[] = {
        {LX_PE_OVG_PREMALPHA_EN, 3, "LX_PE_OVG_PREMALPHA_EN", false},
        {LX_PE_OVG_GAMMA_EN, 3, "LX_PE_OVG_GAMMA_EN", false},
        {LX_PE_OVG_RGB2L_EN, 1, "LX_PE_OVG_RGB2L_EN", false},
        {LX_PE_OVG_CTRANS_EN, 1, "LX_PE_OVG_CTRANS_EN", true},
        {LX_PE_OVG_CCLAMP2ALPHA_EN, 3, "LX_PE_OVG_CCLAMP2ALPHA_EN", true},
        {LX_PE_OVG_COLOR_PREMALPHA_EN, 3, "LX_PE_OVG_COLOR_PREMALPHA_EN", true},
    };
    for (const Setting& s : settings) {
        const uint32_t value = gpu.reg(Unit::PE, s.reg);
        if (value > s.limit && (use == Use::Drawing || !s.drawingOnly)) {
            gpu.protocolError(Stream::Gpu, what + ": unknown " + s.name + " " + hex(value));
            return false;
        }
    }
    if (use == Use::Copy && !texel_.load(gpu, 1, what))
        return false;
    const uint32_t premultiplication = gpu.reg(Unit::PE, LX_PE_OVG_PREMALPHA_EN);
    const uint32_t gamma = gpu.reg(Unit::PE, LX_PE_OVG_GAMMA_EN);
    unpremultiply_ = premultiplication & 2u;
    premultiply_ = premultiplication & 1u;
    toLinear_ = gamma & 1u;
    toNonLinear_ = gamma & 2u;
    luminance_ = gpu.reg(Unit::PE, LX_PE_OVG_RGB2L_EN) != 0;
    // The copies leave the colour transform and the constant colour's stages unread.
    transform_ = use == Use::Drawing && gpu.reg(Unit::PE, LX_PE_OVG_CTRANS_EN) != 0;
    converting_ = unpremultiply_ || transform_ || toLinear_ || luminance_ || toNonLinear_ || premultiply_;
    for (unsigned c = 0; c < 4; ++c) {
        scale_[c] = static_cast<int32_t>(gpu.reg(Unit::PE, LX_PE_OVG_CTRANS_RSCALE + 2 * c));
        bias_[c] = static_cast<int32_t>(gpu.reg(Unit::PE, LX_PE_OVG_CTRANS_RBIAS + 2 * c));
    }
    const uint32_t clamp = use == Use::Drawing ? gpu.reg(Unit::PE, LX_PE_OVG_CCLAMP2ALPHA_EN) : 0;
    const uint32_t destination = use == Use::Drawing ? gpu.reg(Unit::PE, LX_PE_OVG_COLOR_PREMALPHA_EN) : 0;
    clampSource_ = clamp & 2u;
    clampResult_ = clamp & 1u;
    premultiplyDestination_ = destination & 1u;
    unpremultiplyResult_ = destination & 2u;
    if (!loadBlend(gpu, target, what, use))
        return false;

    // Only the tables the stages use are read.
    for (unsigned c = 0; c < 3; ++c)
        for (unsigned i = 0; i < 256; ++i) {
            const unsigned word = c * kChannelTableWords + i / 4, shift = 8 * (i % 4);
            if (toLinear_)
                linear_[c][i] = static_cast<uint8_t>(gpu.peTable(kInverseGammaTable + word) >> shift);
            if (toNonLinear_)
                nonLinear_[c][i] = static_cast<uint8_t>(gpu.peTable(kGammaTable + word) >> shift);
        }
    target_ = &target;
    encode_ = ColourEncoder(target);
    return true;
}

bool PixelPipeline::loadBlend(SimGpu& gpu, const PixelFormat& target, const std::string& what, Use use)
{
    blend_ = Blend::Replace;
    const uint32_t enable = gpu.reg(Unit::PE, LX_PE_OVG_BLEN_EN);
    if (enable == 0)
        return true;
    if (enable != 1) {
        gpu.protocolError(Stream::Gpu, what + ": LX_PE_OVG_BLEN_EN " + hex(enable) + " is not modelled");
        return false;
    }
    uint32_t words[8];
    for (unsigned i = 0; i < 8; ++i)
        words[i] = gpu.reg(Unit::PE, LX_PE_OVG_BLEN_FUNC_RSTEP1 + i);
    if (use == Use::Drawing) {
        for (const BlendRow& row : kBlendRows)
            if (words[0] == row.c1 && words[1] == row.c2 && words[2] == row.c1 && words[3] == row.c2 &&
                words[4] == row.c1 && words[5] == row.c2 && words[6] == row.a1 && words[7] == row.a2) {
                blend_ = row.blend;
                return true;
            }
        std::string list;
        for (uint32_t w : words)
            list += " " + hex(w);
        gpu.protocolError(Stream::Gpu, what + ": the blend steps" + list + " are not modelled");
        return false;
    }
    const uint32_t step1 = words[6], step2 = words[7];
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
    if (lookupOn_) {
        const uint32_t in[4] = {channel(texel, 0), channel(texel, 1), channel(texel, 2), channel(texel, 3)};
        uint32_t c[4];
        for (unsigned k = 0; k < 4; ++k)
            c[k] = channel(lookup_[in[lookupInput_[k]]], k);
        texel = rgba(c[0], c[1], c[2], c[3]);
    }
    return convert(texel_.apply(texel));
}

uint32_t PixelPipeline::converted(uint32_t colour) const
{
    uint32_t c[4] = {channel(colour, 0), channel(colour, 1), channel(colour, 2), channel(colour, 3)};
    // Unpremultiplied as the software pixel path does it, truncating, so that copies and
    // filters on the GPU agree with their software fall-backs.
    if (unpremultiply_)
        for (unsigned i = 0; i < 3; ++i)
            c[i] = c[3] ? std::min(c[i], c[3]) * 255 / c[3] : 0;
    if (transform_)
        for (unsigned i = 0; i < 4; ++i) {
            // c' = c scale + 255 bias, both with 3 fraction bits, rounded to the nearest.
            const int64_t v = static_cast<int64_t>(c[i]) * scale_[i] + 255 * static_cast<int64_t>(bias_[i]);
            const int64_t rounded = (v >= 0 ? v + 4 : v - 3) / 8;
            c[i] = static_cast<uint32_t>(std::clamp<int64_t>(rounded, 0, 255));
        }
    if (toLinear_)
        for (unsigned i = 0; i < 3; ++i)
            c[i] = linear_[i][c[i]];
    if (luminance_)
        c[0] = c[1] = c[2] = luminance(c[0], c[1], c[2]);
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

// The OpenVG blend modes on premultiplied colours: channel c of source s and destination d,
// with the source alpha as of channel c (its own alpha in a stencil) and the alphas as, ad.
uint32_t PixelPipeline::blend(uint32_t src, uint32_t alphas, uint32_t dst) const
{
    const double ad = channel(dst, 3) / 255.0;
    uint32_t out = 0;
    for (unsigned i = 0; i < 4; ++i) {
        const double s = channel(src, i) / 255.0, d = channel(dst, i) / 255.0;
        const double as = channel(alphas, i) / 255.0;
        const bool alpha = i == 3;
        double r = s;
        switch (blend_) {
        case Blend::SrcOver: r = s + d * (1 - as); break;
        case Blend::DstOver: r = s * (1 - ad) + d; break;
        case Blend::SrcIn: r = s * ad; break;
        case Blend::DstIn: r = d * as; break;
        case Blend::Multiply: r = alpha ? s + d * (1 - as) : s * (1 - ad) + d * (1 - as) + s * d; break;
        case Blend::Screen: r = alpha ? s + d * (1 - as) : s + d - s * d; break;
        case Blend::Darken:
            r = alpha ? s + d * (1 - as) : std::min(s + d * (1 - as), d + s * (1 - ad));
            break;
        case Blend::Lighten:
            r = alpha ? s + d * (1 - as) : std::max(s + d * (1 - as), d + s * (1 - ad));
            break;
        case Blend::Additive: r = std::min(s + d, 1.0); break;
        default: break;
        }
        out |= static_cast<uint32_t>(std::clamp(std::floor(r * 255 + 0.5), 0.0, 255.0)) << (24 - 8 * i);
    }
    return out;
}

void PixelPipeline::draw(const BufferView& view, uint32_t x, uint32_t y, uint32_t colour, uint32_t alphas,
                         uint32_t covered, uint32_t total) const
{
    if (clampSource_)
        colour = clampedToAlpha(colour);
    // An opaque source over anything is the source itself: s + d (1 - 1) = s.
    const bool sourceOnly = blend_ == Blend::Replace || blend_ == Blend::Src ||
                            (blend_ == Blend::SrcOver && alphas == 0xFFFFFFFFu);
    // Fully covered: (d 0 + s total + total / 2) / total is s, whatever the destination.
    uint32_t result = colour;
    if (!sourceOnly || covered != total) {
        uint32_t d[4];
        const uint32_t stored = unpackColour(*target_, view.get(x, y));
        for (unsigned i = 0; i < 4; ++i)
            d[i] = channel(stored, i);
        if (premultiplyDestination_)
            for (unsigned i = 0; i < 3; ++i)
                d[i] = mul255(d[i], d[3]);
        const uint32_t dst = rgba(d[0], d[1], d[2], d[3]);
        const uint32_t blended = sourceOnly ? colour : blend(colour, alphas, dst);
        // A coverage grid's sample count is a power of two, whose division is a shift.
        const bool powerOfTwo = (total & (total - 1)) == 0;
        const unsigned shift = static_cast<unsigned>(__builtin_ctz(total));
        uint32_t r[4];
        for (unsigned i = 0; i < 4; ++i) {
            // dst + covered / total x (blended - dst), rounded half up.
            const uint32_t b = channel(blended, i);
            const uint32_t n = d[i] * (total - covered) + b * covered + total / 2;
            r[i] = powerOfTwo ? n >> shift : n / total;
        }
        result = rgba(r[0], r[1], r[2], r[3]);
    }
    view.put(x, y, packColour(*target_, finished(result)));
}

uint32_t PixelPipeline::finished(uint32_t result) const
{
    if (clampResult_)
        result = clampedToAlpha(result);
    // An opaque result is its own unpremultiplied colour: (c 255 + 127) / 255 is c.
    if (unpremultiplyResult_ && channel(result, 3) != 255) {
        uint32_t r[4] = {channel(result, 0), channel(result, 1), channel(result, 2), channel(result, 3)};
        unpremultiplied(r);
        result = rgba(r[0], r[1], r[2], r[3]);
    }
    return result;
}

// Stores `count` native values along a row from (x, y); a row of 16-bit pixels that keeps no
// bits writes them as put() would, without choosing the depth and the kept bits per pixel.
void PixelPipeline::storeRun(const BufferView& view, uint32_t x, uint32_t y, uint32_t count, const uint32_t* values)
{
    if (view.bpp != 16 || view.keep) {
        for (uint32_t i = 0; i < count; ++i)
            view.put(x + i, y, values[i]);
        return;
    }
    uint8_t* row = view.memory + static_cast<size_t>(y - view.top) * view.stride;
    const uint32_t at = x - view.basePixel;
    for (uint32_t i = 0; i < count; ++i) {
        const uint16_t v = static_cast<uint16_t>(values[i]);
        std::memcpy(row + 2 * static_cast<size_t>(at + i), &v, 2);
    }
}

void PixelPipeline::drawSpan(const BufferView& view, uint32_t x, uint32_t y, uint32_t count,
                             const uint32_t* colours, const uint32_t* alphas) const
{
    // Wholly covered, a source that replaces the destination stores itself as draw() finds:
    // always for these two modes, and for source-over when the source is opaque.
    const bool replacing = blend_ == Blend::Replace || blend_ == Blend::Src;
    if (!replacing && blend_ != Blend::SrcOver) {
        for (uint32_t i = 0; i < count; ++i)
            draw(view, x + i, y, colours[i], alphas[i], 1, 1);
        return;
    }
    // Copies, which the stores into the target cannot change: the state is read once.
    const BufferView out = view;
    const ColourEncoder encode = encode_;
    const bool clampSource = clampSource_, clampResult = clampResult_, unpremultiplyResult = unpremultiplyResult_;
    uint32_t values[DrawSource::kMostSpan];
    uint32_t done = 0;  // pixels stored
    for (uint32_t i = 0; i < count; ++i) {
        if (!replacing && alphas[i] != 0xFFFFFFFFu) {
            // The pixels before it are stored first, as they would be one at a time.
            storeRun(out, x + done, y, i - done, values + done);
            draw(view, x + i, y, colours[i], alphas[i], 1, 1);
            done = i + 1;
            continue;
        }
        // An opaque colour is already held to its alpha, and finished() leaves it as it is: its
        // channels are within its alpha and it is its own unpremultiplied colour.
        uint32_t result = colours[i];
        if (channel(result, 3) != 255) {
            if (clampSource)
                result = clampedToAlpha(result);
            if (clampResult || unpremultiplyResult)
                result = finished(result);
        }
        values[i] = encode(result);
    }
    storeRun(out, x + done, y, count - done, values + done);
}

}  // namespace simgpu
