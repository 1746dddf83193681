#pragma once

// The pixel engine's colour path for a texel of texture unit 1, from the decoded texel to the
// stored value, as the SPC pixel-copy unit and the rasterizer's textured rectangle use it:
//   1. LX_PE_OVG_TX1_RED2ALPHA: alpha taken from red;
//   2. LX_PE_OVG_TX1_CLAMP2ALPHA: each colour channel clamped to alpha;
//   3. LX_PE_OVG_TX1_PREMALPHA_EN: the texel premultiplied;
//   4. LX_PE_OVG_PREMALPHA_EN bit 1: unpremultiplied;
//   5. LX_PE_OVG_GAMMA_EN bit 0: to linear through the inverse-gamma table (PE table 0x30000);
//   6. LX_PE_OVG_RGB2L_EN: L = 0.2126 R + 0.7152 G + 0.0722 B into all three colour channels;
//   7. LX_PE_OVG_GAMMA_EN bit 1: to non-linear through the gamma table (PE table 0x20000);
//   8. LX_PE_OVG_PREMALPHA_EN bit 0: premultiplied;
//   9. the blend unit (LX_PE_OVG_BLEN_EN), the channel mask and the store.
// Colours are RGBA8888 (R in bits 31-24). A setting it does not know is refused at load().

#include <array>
#include <cstdint>
#include <string>

#include "pixel_format.h"

namespace simgpu {

class SimGpu;
struct BufferView;

class PixelPipeline {
public:
    // Reads the stage settings and the gamma tables; false (with a protocol error naming
    // `what`) for a value it does not know or a blend it cannot do on `target`.
    bool load(SimGpu& gpu, const PixelFormat& target, const std::string& what);

    // Stage 0: the lookup table, when LX_PE_OVG_TX1_LUT_SRCSEL is not 0. Its four nibbles, from
    // the top, belong to the output channels R, G, B, A; each names the input channel (4 R, 5 G,
    // 6 B, 7 A) whose value picks the table word, and output channel k takes byte 3 - k of that
    // word. false (with a protocol error) for a nibble outside 4..7.
    bool loadLookup(SimGpu& gpu, const std::string& what);

    // Stages 0 to 8 on a decoded texel.
    uint32_t colour(uint32_t texel) const;
    // Stage 9: blends `colour` with what pixel (x, y) of `view` holds and stores it in the
    // target format under the view's channel-mask bits.
    void store(const BufferView& view, uint32_t x, uint32_t y, uint32_t colour) const;

    // The mask operations of the blend unit, by their alpha step pair.
    enum class Blend { Replace, Set, Union, Intersect, Subtract };

private:
    using Table = std::array<uint8_t, 256>;

    const PixelFormat* target_ = nullptr;
    bool red2alpha_ = false, clamp2alpha_ = false, premultiplyTexel_ = false;
    bool unpremultiply_ = false, toLinear_ = false, luminance_ = false, toNonLinear_ = false, premultiply_ = false;
    Blend blend_ = Blend::Replace;
    std::array<unsigned, 4> lookupInput_{};  // per output channel: the input channel, 0 R .. 3 A
    std::array<uint32_t, 256> lookup_{};
    bool lookupOn_ = false;
    std::array<Table, 3> linear_{};     // inverse gamma, red, green, blue
    std::array<Table, 3> nonLinear_{};  // gamma
};

// x y / 255 rounded to the nearest integer, for 8-bit x and y.
uint32_t mul255(uint32_t x, uint32_t y);

}  // namespace simgpu
