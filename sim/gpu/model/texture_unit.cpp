#include "texture_unit.h"

#include <algorithm>
#include <cmath>

#include "cgl_unitreg.h"
#include "pixel_pipeline.h"

namespace simgpu {
namespace {

constexpr uint32_t kUnitStride = LX_PE_OVG_TX1_EN - LX_PE_OVG_TX0_EN;

}  // namespace

bool knownTiling(uint32_t tiling)
{
    return tiling == kTilePad || tiling == kTileRepeat || tiling == kTileReflect || tiling == kTileFill;
}

int64_t tileCoordinate(int64_t at, int64_t size, uint32_t tiling)
{
    if (at >= 0 && at < size)
        return at;
    switch (tiling) {
    case kTilePad: return at < 0 ? 0 : size - 1;
    case kTileRepeat: return ((at % size) + size) % size;
    case kTileReflect: {
        const int64_t m = ((at % (2 * size)) + 2 * size) % (2 * size);
        return m < size ? m : 2 * size - 1 - m;
    }
    default: return -1;
    }
}

uint32_t textureRegister(unsigned unit, uint32_t tx0Reg)
{
    return tx0Reg + unit * kUnitStride;
}

bool TexelStages::load(SimGpu& gpu, unsigned unit, const std::string& what)
{
    struct Setting {
        uint32_t reg;
        bool* stage;
        const char* name;
    } const settings[] = {
        {textureRegister(unit, LX_PE_OVG_TX0_RED2ALPHA), &red2alpha, "_RED2ALPHA"},
        {textureRegister(unit, LX_PE_OVG_TX0_CLAMP2ALPHA), &clamp2alpha, "_CLAMP2ALPHA"},
        {textureRegister(unit, LX_PE_OVG_TX0_PREMALPHA_EN), &premultiply, "_PREMALPHA_EN"},
    };
    for (const Setting& s : settings) {
        const uint32_t value = gpu.reg(Unit::PE, s.reg);
        if (value > 1) {
            gpu.protocolError(Stream::Gpu, what + ": unknown LX_PE_OVG_TX" + std::to_string(unit) + s.name + " " +
                                               hex(value));
            return false;
        }
        *s.stage = value != 0;
    }
    return true;
}

bool TextureUnit::load(const GpuModel& model, SimGpu& gpu, unsigned unit, uint32_t tiling, const std::string& what)
{
    const std::string name = what + ": texture unit " + std::to_string(unit);
    const uint32_t filter = gpu.reg(Unit::PE, textureRegister(unit, LX_PE_OVG_TX0_FILTER));
    const uint32_t childEnable = gpu.reg(Unit::PE, textureRegister(unit, LX_PE_OVG_TX0_CHILDIMG_EN));
    if (filter > 1 || childEnable > 1) {
        gpu.protocolError(Stream::Gpu, name + ": unknown filter " + hex(filter) + " or child window setting " +
                                           hex(childEnable));
        return false;
    }
    ColourBuffer source;
    uint32_t rows = 0;
    if (!stages_.load(gpu, unit, what) || !model.texture(unit, source, rows, what))
        return false;
    window_ = Rect{0, 0, source.linePixels - 1, rows - 1};
    if (childEnable) {
        const uint32_t lt = gpu.reg(Unit::PE, textureRegister(unit, LX_PE_OVG_TX0_CHILDIMG_BBLT));
        const uint32_t rb = gpu.reg(Unit::PE, textureRegister(unit, LX_PE_OVG_TX0_CHILDIMG_BBRB));
        window_ = Rect{lt >> 16, lt & 0xFFFFu, rb >> 16, rb & 0xFFFFu};
    }
    if (source.linePixels == 0 || rows == 0 || window_.right < window_.left || window_.bottom < window_.top) {
        gpu.protocolError(Stream::Gpu, name + ": empty texture window");
        return false;
    }
    if (!model.textureRect(source, rows, window_, texels_, name))
        return false;
    decode_ = ColourDecoder(*source.format);
    width_ = window_.right - window_.left + 1;
    height_ = window_.bottom - window_.top + 1;
    tiling_ = tiling;
    fill_ = gpu.reg(Unit::PE, textureRegister(unit, LX_PE_OVG_TX0_PTFILL_COLOR));
    filter_ = filter != 0;
    return true;
}

uint32_t TextureUnit::bilinear(double u, double v) const
{
    const int64_t u0 = floorOf(u), v0 = floorOf(v);
    const double fu = static_cast<double>(u0), fv = static_cast<double>(v0);
    const double wu = u - fu, wv = v - fv;
    const uint32_t t[4] = {texel(u0, v0), texel(u0 + 1, v0), texel(u0, v0 + 1), texel(u0 + 1, v0 + 1)};
    const double w[4] = {(1 - wu) * (1 - wv), wu * (1 - wv), (1 - wu) * wv, wu * wv};
    uint32_t out = 0;
    for (unsigned c = 0; c < 4; ++c) {
        double sum = 0;
        for (unsigned i = 0; i < 4; ++i)
            sum += w[i] * channel(t[i], c);
        out |= std::min(255u, static_cast<uint32_t>(sum + 0.5)) << (24 - 8 * c);
    }
    return out;
}

}  // namespace simgpu
