#pragma once

// The PE's texture units: unit 0 carries a pattern paint, unit 1 the drawn image (and the
// copies' source). Each decodes its texels to RGBA8888 and passes them through its own stages:
//   1. _RED2ALPHA: alpha taken from red;
//   2. _CLAMP2ALPHA: each colour channel clamped to alpha;
//   3. _PREMALPHA_EN: the texel premultiplied.
// A drawing samples a unit at a point in texel units: nearest (_FILTER 0) takes the texel
// floor(u), floor(v); bilinear (_FILTER 1) weighs the four texels around (u, v), texel centres
// at whole texel coordinates. Texel coordinates are relative to the texture window (the child
// window with _CHILDIMG_EN, else the whole texture) and tiled by the rasterizer's tiling mode.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "gpu_model.h"

namespace simgpu {

// Tiling modes of LX_RZ_VG_MODE (pattern bits 6-9, image bits 10-13).
enum Tiling : uint32_t { kTilePad = 0, kTileRepeat = 5, kTileReflect = 10, kTileFill = 15 };
bool knownTiling(uint32_t tiling);
// A texel coordinate inside a window of `size` texels by the tiling mode; -1 for the fill.
int64_t tileCoordinate(int64_t at, int64_t size, uint32_t tiling);
// Texel coordinates beyond this magnitude are not modelled.
constexpr double kCoordinateLimit = 1 << 30;

// floor(c) of a coordinate within the limit, where the conversion to an integer is exact:
// the truncation, one less when it rounded a negative coordinate up.
inline int64_t floorOf(double c)
{
    const int64_t t = static_cast<int64_t>(c);
    return static_cast<double>(t) > c ? t - 1 : t;
}

// The register of texture unit `unit` that corresponds to unit 0's `tx0Reg`.
uint32_t textureRegister(unsigned unit, uint32_t tx0Reg);

// Stages 1 to 3 of a texture unit.
struct TexelStages {
    bool red2alpha = false, clamp2alpha = false, premultiply = false;

    // False (with a protocol error naming `what`) for a value other than 0 or 1.
    bool load(SimGpu& gpu, unsigned unit, const std::string& what);
    uint32_t apply(uint32_t rgba) const;
};

inline uint32_t TexelStages::apply(uint32_t rgba) const
{
    if (!red2alpha && !clamp2alpha && !premultiply)
        return rgba;
    // Separate channels rather than an array, which the compiler would pack into a vector
    // and unpack again through memory.
    uint32_t r = channel(rgba, 0), g = channel(rgba, 1), b = channel(rgba, 2), a = channel(rgba, 3);
    if (red2alpha)
        a = r;
    if (clamp2alpha) {
        r = std::min(r, a);
        g = std::min(g, a);
        b = std::min(b, a);
    }
    // An opaque texel is its own premultiplied colour: (c 255 + 127) / 255 is c.
    if (premultiply && a != 255) {
        r = mul255(r, a);
        g = mul255(g, a);
        b = mul255(b, a);
    }
    return r << 24 | g << 16 | b << 8 | a;
}

class TextureUnit {
public:
    // Reads the unit's registers and resolves its window's memory; false with a protocol error.
    bool load(const GpuModel& model, SimGpu& gpu, unsigned unit, uint32_t tiling, const std::string& what);

    bool filtered() const { return filter_; }
    // Whether the unit's texels share memory with `view`; false before a load.
    bool reads(const BufferView& view) const { return texels_.overlaps(view); }
    // The texel (after the unit's stages) at texel coordinate (u, v): nearest or bilinear.
    uint32_t sample(double u, double v) const;

private:
    uint32_t texel(int64_t u, int64_t v) const;
    uint32_t bilinear(double u, double v) const;  // within the coordinate limit

    TexelStages stages_;
    ColourDecoder decode_;  // of the texture's format
    BufferView texels_;
    Rect window_{};
    int64_t width_ = 0, height_ = 0;
    uint32_t tiling_ = kTilePad;
    uint32_t fill_ = 0;
    bool filter_ = false;
};

inline uint32_t TextureUnit::texel(int64_t u, int64_t v) const
{
    if (u < 0 || u >= width_)
        u = tileCoordinate(u, width_, tiling_);
    if (v < 0 || v >= height_)
        v = tileCoordinate(v, height_, tiling_);
    // The fill colour is RGBA8888, already as the texture format would store it.
    const uint32_t colour = u < 0 || v < 0 ? fill_
                                           : decode_(texels_.get(window_.left + static_cast<uint32_t>(u),
                                                                 window_.top + static_cast<uint32_t>(v)));
    return stages_.apply(colour);
}

inline uint32_t TextureUnit::sample(double u, double v) const
{
    // Coordinates that are not finite or far outside any window sample as the window's corner
    // would under the tiling; they are held to a range the integer arithmetic keeps.
    u = std::isfinite(u) ? std::clamp(u, -kCoordinateLimit, kCoordinateLimit) : 0;
    v = std::isfinite(v) ? std::clamp(v, -kCoordinateLimit, kCoordinateLimit) : 0;
    if (!filter_)
        return texel(floorOf(u), floorOf(v));
    return bilinear(u, v);
}

}  // namespace simgpu
