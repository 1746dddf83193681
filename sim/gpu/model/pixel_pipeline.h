#pragma once

// The pixel engine's colour path, from a source colour to the stored value. The copies (the SPC
// pixel-copy unit and the rasterizer's textured rectangle) start from a texel of texture unit 1;
// drawings from the source the image combiner makes of the paint and the image:
//   1-3. the texture unit's stages (texture_unit.h), for texels of the copies;
//   4. LX_PE_OVG_PREMALPHA_EN bit 1: unpremultiplied;
//   5. LX_PE_OVG_CTRANS_EN 1 (drawings): the colour transform, c x scale + bias per channel;
//   6. LX_PE_OVG_GAMMA_EN bit 0: to linear through the inverse-gamma table (PE table 0x30000);
//   7. LX_PE_OVG_RGB2L_EN: L = (435 R + 1464 G + 147 B + 1023) >> 11 into all three colour channels;
//   8. LX_PE_OVG_GAMMA_EN bit 1: to non-linear through the gamma table (PE table 0x20000);
//   9. LX_PE_OVG_PREMALPHA_EN bit 0: premultiplied;
//   10. the blend unit (LX_PE_OVG_BLEN_EN), the channel mask and the store; drawings also clamp
//       to alpha (LX_PE_OVG_CCLAMP2ALPHA_EN), convert the destination (_COLOR_PREMALPHA_EN) and
//       apply coverage.
// Colours are RGBA8888 (R in bits 31-24). A setting it does not know is refused at load().

#include <array>
#include <cstdint>
#include <string>

#include "pixel_format.h"
#include "texture_unit.h"

namespace simgpu {

class SimGpu;
struct BufferView;

class PixelPipeline {
public:
    // Copy: a texel of texture unit 1 through every stage; Drawing: a drawing's source, the
    // blend unit by all eight step words; Mask: coverage into a mask, no texture stages, the
    // blend unit by the mask operations' alpha step pairs as for the copies.
    enum class Use { Copy, Drawing, Mask };

    // Reads the stage settings and the gamma tables; false (with a protocol error naming
    // `what`) for a value it does not know or a blend it cannot do on `target`.
    bool load(SimGpu& gpu, const PixelFormat& target, const std::string& what, Use use = Use::Copy);

    // Stage 0: the lookup table, when LX_PE_OVG_TX1_LUT_SRCSEL is not 0. Its four nibbles, from
    // the top, belong to the output channels R, G, B, A; each names the input channel (4 R, 5 G,
    // 6 B, 7 A) whose value picks the table word, and output channel k takes byte 3 - k of that
    // word. false (with a protocol error) for a nibble outside 4..7.
    bool loadLookup(SimGpu& gpu, const std::string& what);

    // Stages 0 to 9 on a decoded texel of texture unit 1.
    uint32_t colour(uint32_t texel) const;
    // Stages 4 to 9.
    uint32_t convert(uint32_t rgba) const { return converting_ ? converted(rgba) : rgba; }
    // Stage 10 of the copies: blends `colour` with what pixel (x, y) of `view` holds and stores
    // it in the target format under the view's channel-mask bits.
    void store(const BufferView& view, uint32_t x, uint32_t y, uint32_t colour) const;
    // Stage 10 of drawings: the premultiplied source `colour`, whose colour channels blend with
    // their own alphas `alphas` (R in bits 31-24, as a colour; the source alpha in each but for
    // a stencil), covering `covered` of `total` samples of pixel (x, y).
    void draw(const BufferView& view, uint32_t x, uint32_t y, uint32_t colour, uint32_t alphas, uint32_t covered,
              uint32_t total) const;
    // draw() of `count` wholly covered pixels from (x, y) along a row, pixel i from `colours[i]`
    // and `alphas[i]`.
    void drawSpan(const BufferView& view, uint32_t x, uint32_t y, uint32_t count, const uint32_t* colours,
                  const uint32_t* alphas) const;

    // The operations of the blend unit: the mask operations by their alpha step pair, and for
    // drawings the OpenVG blend modes by all eight step words.
    enum class Blend {
        Replace, Set, Union, Intersect, Subtract,
        Src, SrcOver, DstOver, SrcIn, DstIn, Multiply, Screen, Darken, Lighten, Additive
    };

private:
    using Table = std::array<uint8_t, 256>;

    bool loadBlend(SimGpu& gpu, const PixelFormat& target, const std::string& what, Use use);
    uint32_t blend(uint32_t src, uint32_t alphas, uint32_t dst) const;
    uint32_t converted(uint32_t rgba) const;  // convert() with a stage on
    uint32_t finished(uint32_t result) const;  // the clamp and conversion after the coverage
    static void storeRun(const BufferView& view, uint32_t x, uint32_t y, uint32_t count, const uint32_t* values);

    const PixelFormat* target_ = nullptr;
    ColourEncoder encode_;  // of the target format
    TexelStages texel_;
    bool transform_ = false;
    int32_t scale_[4] = {}, bias_[4] = {};  // the colour transform, 3 fraction bits, R G B A
    bool clampSource_ = false, clampResult_ = false, premultiplyDestination_ = false, unpremultiplyResult_ = false;
    bool unpremultiply_ = false, toLinear_ = false, luminance_ = false, toNonLinear_ = false, premultiply_ = false;
    bool converting_ = false;  // any of stages 4 to 9
    Blend blend_ = Blend::Replace;
    std::array<unsigned, 4> lookupInput_{};  // per output channel: the input channel, 0 R .. 3 A
    std::array<uint32_t, 256> lookup_{};
    bool lookupOn_ = false;
    std::array<Table, 3> linear_{};     // inverse gamma, red, green, blue
    std::array<Table, 3> nonLinear_{};  // gamma
};

}  // namespace simgpu
