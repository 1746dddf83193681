#include "draw_source.h"

#include <algorithm>
#include <cmath>

#include "cgl_unitreg.h"

namespace simgpu {
namespace {

// LX_RZ_VG_MODE
constexpr uint32_t kPaintKindBits = 0x3u;
constexpr uint32_t kImageBit = 0x4u;
constexpr uint32_t kSpreadShift = 4, kSpreadBits = 0x3u << kSpreadShift;
constexpr uint32_t kPatternTilingShift = 6, kImageTilingShift = 10;
constexpr uint32_t kSpreadPad = 0, kSpreadRepeat = 1, kSpreadReflect = 2;
// LX_PE_OVG_TX0_PAINT_SEL
constexpr uint32_t kPaintTexture = 0, kPaintGradient = 1, kPaintColour = 2;

uint32_t product(uint32_t x, uint32_t y)
{
    uint32_t out = 0;
    for (unsigned i = 0; i < 4; ++i)
        out |= mul255(channel(x, i), channel(y, i)) << (24 - 8 * i);
    return out;
}

// Each colour channel blends with the colour's own alpha.
uint32_t ownAlphas(uint32_t colour)
{
    const uint32_t a = channel(colour, 3);
    return a << 24 | a << 16 | a << 8 | a;
}

double planeAt(const double p[3], uint32_t x, uint32_t y)
{
    return p[0] + p[1] * x + p[2] * y;
}

}  // namespace

bool DrawSource::load(const GpuModel& model, SimGpu& gpu, uint32_t rampEntries, const std::string& what)
{
    const uint32_t vgMode = gpu.reg(Unit::RZ, LX_RZ_VG_MODE);
    const uint32_t comb = gpu.reg(Unit::PE, LX_PE_OVG_IMGCOMB_FUNC);
    const uint32_t route = gpu.reg(Unit::PE, LX_PE_OVG_CCU_MPX_CTRL);
    const bool image = vgMode & kImageBit;
    struct Route {
        uint32_t comb, mpx;
        bool image;
        Combine combine;
    } const routes[] = {
        {3, 8, false, Combine::Paint},
        {0, 0, true, Combine::Image},
        {1, 0, true, Combine::Multiply},
        {2, 0x39, true, Combine::Stencil},
        {2, 0x3D, true, Combine::LuminanceStencil},
    };
    const Route* known = nullptr;
    for (const Route& r : routes)
        if (r.comb == comb && r.mpx == route && r.image == image)
            known = &r;
    if (!known) {
        gpu.protocolError(Stream::Gpu, what + ": LX_PE_OVG_IMGCOMB_FUNC " + hex(comb) + " with LX_PE_OVG_CCU_MPX_CTRL " +
                                           hex(route) + " and LX_RZ_VG_MODE " + hex(vgMode) + " is not modelled");
        return false;
    }
    combine_ = known->combine;
    const uint32_t tx1 = gpu.reg(Unit::PE, LX_PE_OVG_TX1_EN);
    if (tx1 != (image ? 1u : 0u) || (image && gpu.reg(Unit::PE, LX_PE_OVG_TX1_PAINT_SEL) != 0)) {
        gpu.protocolError(Stream::Gpu, what + ": texture unit 1 at " + hex(tx1) + " with paint selection " +
                                           hex(gpu.reg(Unit::PE, LX_PE_OVG_TX1_PAINT_SEL)) +
                                           " does not match the image mode");
        return false;
    }
    if (image) {
        const uint32_t tiling = (vgMode >> kImageTilingShift) & 0xFu;
        if (!knownTiling(tiling)) {
            gpu.protocolError(Stream::Gpu, what + ": LX_RZ_VG_MODE " + hex(vgMode) + " has an unknown image tiling");
            return false;
        }
        if (!image_.load(model, gpu, 1, tiling, what))
            return false;
        planes_ = ImagePlanes(gpu);
    }
    // An image without paint reads nothing of the paint, texture unit 0 included.
    return combine_ == Combine::Image || loadPaint(model, gpu, vgMode, rampEntries, what);
}

bool DrawSource::loadPaint(const GpuModel& model, SimGpu& gpu, uint32_t vgMode, uint32_t rampEntries,
                           const std::string& what)
{
    static const Paint kinds[] = {Paint::Colour, Paint::Pattern, Paint::Linear, Paint::Radial};
    paint_ = kinds[vgMode & kPaintKindBits];
    const uint32_t select = gpu.reg(Unit::PE, LX_PE_OVG_TX0_PAINT_SEL);
    const uint32_t tx0 = gpu.reg(Unit::PE, LX_PE_OVG_TX0_EN);
    const uint32_t wanted = paint_ == Paint::Colour    ? kPaintColour
                            : paint_ == Paint::Pattern ? kPaintTexture
                                                       : kPaintGradient;
    if (select != wanted || tx0 != (paint_ == Paint::Pattern ? 1u : 0u)) {
        gpu.protocolError(Stream::Gpu, what + ": LX_PE_OVG_TX0_PAINT_SEL " + hex(select) + " and LX_PE_OVG_TX0_EN " +
                                           hex(tx0) + " do not match the paint of LX_RZ_VG_MODE " + hex(vgMode));
        return false;
    }
    const auto planeOf = [&gpu](double out[3], uint32_t f, uint32_t a, uint32_t b) {
        out[0] = floatRegister(gpu, f);
        out[1] = floatRegister(gpu, a);
        out[2] = floatRegister(gpu, b);
    };
    switch (paint_) {
    case Paint::Colour: colour_ = gpu.reg(Unit::RZ, LX_RZ_COLOR); return true;
    case Paint::Pattern: {
        const uint32_t tiling = (vgMode >> kPatternTilingShift) & 0xFu;
        if (!knownTiling(tiling)) {
            gpu.protocolError(Stream::Gpu, what + ": LX_RZ_VG_MODE " + hex(vgMode) + " has an unknown pattern tiling");
            return false;
        }
        planeOf(plane_[0], LX_RZ_PP_SF, LX_RZ_PP_SA, LX_RZ_PP_SB);
        planeOf(plane_[1], LX_RZ_PP_TF, LX_RZ_PP_TA, LX_RZ_PP_TB);
        patternScale_[0] = gpu.reg(Unit::RZ, LX_RZ_PP_USCALE);
        patternScale_[1] = gpu.reg(Unit::RZ, LX_RZ_PP_VSCALE);
        return pattern_.load(model, gpu, 0, tiling, what);
    }
    case Paint::Linear: planeOf(plane_[0], LX_RZ_LG_GF, LX_RZ_LG_GA, LX_RZ_LG_GB); break;
    case Paint::Radial:
        planeOf(plane_[0], LX_RZ_RG_AF, LX_RZ_RG_AA, LX_RZ_RG_AB);
        planeOf(plane_[1], LX_RZ_RG_BF, LX_RZ_RG_BA, LX_RZ_RG_BB);
        for (unsigned i = 0; i < radial_.size(); ++i)
            radial_[i] = floatRegister(gpu, LX_RZ_RFITBL00_LO + i);
        break;
    }
    spread_ = (vgMode & kSpreadBits) >> kSpreadShift;
    const uint32_t premultiply = gpu.reg(Unit::PE, LX_PE_OVG_RSTOP_PREMALPHA_EN);
    if (spread_ > kSpreadReflect || premultiply > 1) {
        gpu.protocolError(Stream::Gpu, what + ": unknown spread in LX_RZ_VG_MODE " + hex(vgMode) +
                                           " or LX_PE_OVG_RSTOP_PREMALPHA_EN " + hex(premultiply));
        return false;
    }
    if (rampEntries == 0 || rampEntries > offsets_.size()) {
        gpu.protocolError(Stream::Gpu, what + ": a gradient without colour ramp entries");
        return false;
    }
    premultiplyRamp_ = premultiply != 0;
    entries_ = rampEntries;
    for (uint32_t k = 0; k < entries_; ++k)
        offsets_[k] = gpu.reg(Unit::PE, LX_PE_OVG_RSTOP_OFS_TABLE00 + k);
    for (uint32_t k = 0; k <= entries_; ++k)
        colours_[k] = gpu.reg(Unit::PE, LX_PE_OVG_RSTOP_COLOR_TABLE00 + k);
    return true;
}

// Ramp entry k: start in bits 0-9 (1/1024), slope in bits 10-28 (2^-18 per 1/512), running from
// colour k towards colour k + 1 with the weight clamped to 0..1. g takes the last entry starting
// at or below it, the first when none does.
uint32_t DrawSource::ramp(double g) const
{
    const double at = g * 1024;
    uint32_t k = 0;
    for (uint32_t i = 1; i < entries_; ++i)
        if ((offsets_[i] & 0x3FFu) <= at)
            k = i;
    const double start = offsets_[k] & 0x3FFu, slope = (offsets_[k] >> 10) & 0x7FFFFu;
    const double weight = std::clamp((at - start) / 2 * slope / (1 << 18), 0.0, 1.0);
    const uint32_t from = colours_[k], to = colours_[k + 1];
    uint32_t c[4];
    for (unsigned i = 0; i < 4; ++i) {
        const double v = channel(from, i) + weight * (static_cast<double>(channel(to, i)) - channel(from, i));
        c[i] = std::min(255u, static_cast<uint32_t>(v + 0.5));
    }
    if (premultiplyRamp_)
        for (unsigned i = 0; i < 3; ++i)
            c[i] = mul255(c[i], c[3]);
    return c[0] << 24 | c[1] << 16 | c[2] << 8 | c[3];
}

uint32_t DrawSource::paint(uint32_t x, uint32_t y) const
{
    double g = 0;
    switch (paint_) {
    case Paint::Colour: return colour_;
    case Paint::Pattern:
        return pattern_.sample(planeAt(plane_[0], x, y) * patternScale_[0], planeAt(plane_[1], x, y) * patternScale_[1]);
    case Paint::Linear: g = planeAt(plane_[0], x, y); break;
    case Paint::Radial: {
        const double a = planeAt(plane_[0], x, y), b = planeAt(plane_[1], x, y);
        const double distance = std::hypot(a, b);
        if (distance > 0 && std::isfinite(distance)) {
            const double position = (a / distance + 1) * 32;
            const int k = std::clamp(static_cast<int>(std::floor(position)), 0, 63);
            g = distance * (radial_[2 * k] + (position - k) * radial_[2 * k + 1]);
        }
        break;
    }
    }
    if (!std::isfinite(g))
        g = 0;
    switch (spread_) {
    case kSpreadRepeat: g -= std::floor(g); break;
    case kSpreadReflect: {
        const double m = g - 2 * std::floor(g / 2);
        g = m <= 1 ? m : 2 - m;
        break;
    }
    default: g = std::clamp(g, 0.0, 1.0); break;
    }
    return ramp(g);
}

void DrawSource::at(uint32_t x, uint32_t y, const PixelPipeline& pipeline, uint32_t& colour, uint32_t& alphas) const
{
    uint32_t texel = 0;
    if (combine_ != Combine::Paint) {
        double u = 0, v = 0;
        planes_.at(x, y, u, v);
        texel = image_.sample(u, v);
    }
    switch (combine_) {
    case Combine::Paint: colour = pipeline.convert(paint(x, y)); break;
    case Combine::Image: colour = pipeline.convert(texel); break;
    case Combine::Multiply: colour = pipeline.convert(product(texel, paint(x, y))); break;
    case Combine::LuminanceStencil:
        // A luminance target blends one value for the three colour channels: their alphas
        // become one, the luminance of the image's colour channels.
        {
            const uint32_t l = luminance(channel(texel, 0), channel(texel, 1), channel(texel, 2));
            texel = l << 24 | l << 16 | l << 8 | channel(texel, 3);
        }
        [[fallthrough]];
    case Combine::Stencil: {
        // Each colour channel of the image is the alpha of that channel of the paint.
        const uint32_t p = pipeline.convert(paint(x, y));
        const uint32_t pa = channel(p, 3);
        colour = product(p, (texel & ~0xFFu) | channel(texel, 3));
        alphas = mul255(pa, channel(texel, 0)) << 24 | mul255(pa, channel(texel, 1)) << 16 |
                 mul255(pa, channel(texel, 2)) << 8 | channel(colour, 3);
        return;
    }
    }
    alphas = ownAlphas(colour);
}

void DrawSource::span(uint32_t x, uint32_t y, uint32_t count, const PixelPipeline& pipeline, uint32_t* colours,
                      uint32_t* alphas) const
{
    // The kinds of source the drawings use most, with the choices at() makes for each pixel
    // made once; each pixel's value comes from the same expressions as at() evaluates.
    if (combine_ == Combine::Image) {
        // Copies, which the stores into the buffers cannot change: the state is read once.
        const ImagePlanes planes = planes_;
        const TextureUnit image = image_;
        // The coordinates first, then the texels: each loop keeps to one kind of work, which
        // lets more pixels' texel reads be under way at once.
        double u[kMostSpan], v[kMostSpan];
        for (uint32_t i = 0; i < count; ++i)
            planes.at(x + i, y, u[i], v[i]);
        for (uint32_t i = 0; i < count; ++i)
            colours[i] = pipeline.convert(image.sample(u[i], v[i]));
        for (uint32_t i = 0; i < count; ++i)
            alphas[i] = ownAlphas(colours[i]);
        return;
    }
    if (combine_ == Combine::Paint && paint_ == Paint::Colour) {
        const uint32_t colour = pipeline.convert(colour_), own = ownAlphas(colour);
        std::fill(colours, colours + count, colour);
        std::fill(alphas, alphas + count, own);
        return;
    }
    for (uint32_t i = 0; i < count; ++i)
        at(x + i, y, pipeline, colours[i], alphas[i]);
}

}  // namespace simgpu
