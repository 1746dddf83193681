#pragma once

// The source colour of a drawing at a pixel: the paint generator and the image, combined as
// LX_PE_OVG_IMGCOMB_FUNC says, after the pixel pipeline's conversion chain.
//
// Paint generator (LX_RZ_VG_MODE bits 0-1, with LX_PE_OVG_TX0_PAINT_SEL):
//   0 colour (_PAINT_SEL 2): LX_RZ_COLOR, premultiplied RGBA8888;
//   1 pattern (_PAINT_SEL 0, texture unit 0 on): the texel of unit 0 at
//     (s LX_RZ_PP_USCALE, t LX_RZ_PP_VSCALE), s and t the LX_RZ_PP_* planes, tiled by bits 6-9;
//   2 linear and 3 radial gradients (_PAINT_SEL 1): the gradient parameter g, from the plane
//     LX_RZ_LG_* or, radial, |(a, b)| x the LX_RZ_RFITBL value at (a / |(a, b)| + 1) x 32 with
//     (a, b) the LX_RZ_RG_* planes, spread by bits 4-5 (0 pad, 16 repeat, 32 reflect), looked
//     up in the colour ramp (LX_PE_OVG_RSTOP_*).
// Image (bit 2, texture unit 1 on): the texel of unit 1 at the LX_RZ_IMG_* planes, tiled by
// bits 10-13.
// Combiner (LX_PE_OVG_IMGCOMB_FUNC with LX_PE_OVG_CCU_MPX_CTRL): 3 and 8 the paint, 0 and 0
// the image, 1 and 0 image x paint, 2 and 0x39 the stencil: the paint's colour channels times
// the image's, each with its own alpha (paint alpha x image channel); 2 and 0x3D the stencil on
// a luminance target: the same with the image's colour channels first made their luminance.

#include <array>
#include <cstdint>
#include <string>

#include "gpu_model.h"
#include "pixel_pipeline.h"
#include "raster_common.h"
#include "texture_unit.h"

namespace simgpu {

class DrawSource {
public:
    // Reads the paint, image and combiner state; false with a protocol error. `rampEntries` is
    // the colour ramp's entry count.
    bool load(const GpuModel& model, SimGpu& gpu, uint32_t rampEntries, const std::string& what);

    // The source at pixel (x, y) through `pipeline`'s conversion chain: its premultiplied
    // colour and the alpha each channel blends with.
    void at(uint32_t x, uint32_t y, const PixelPipeline& pipeline, uint32_t& colour, uint32_t& alphas) const;
    // The most pixels span() takes.
    static constexpr uint32_t kMostSpan = 64;
    // at() for the `count` pixels (at most kMostSpan) from (x, y) along the row, into `colours`
    // and `alphas`.
    void span(uint32_t x, uint32_t y, uint32_t count, const PixelPipeline& pipeline, uint32_t* colours,
              uint32_t* alphas) const;
    // Whether the paint or the image reads memory of `view`.
    bool reads(const BufferView& view) const { return pattern_.reads(view) || image_.reads(view); }

private:
    enum class Paint { Colour, Pattern, Linear, Radial };
    enum class Combine { Paint, Image, Multiply, Stencil, LuminanceStencil };

    bool loadPaint(const GpuModel& model, SimGpu& gpu, uint32_t vgMode, uint32_t rampEntries, const std::string& what);
    uint32_t paint(uint32_t x, uint32_t y) const;
    uint32_t ramp(double g) const;

    Paint paint_ = Paint::Colour;
    Combine combine_ = Combine::Paint;
    uint32_t colour_ = 0;
    uint32_t spread_ = 0;
    double plane_[2][3] = {};  // g, or a and b, or s and t: F, A, B
    double patternScale_[2] = {};
    std::array<float, 128> radial_{};
    uint32_t entries_ = 0;
    std::array<uint32_t, 33> offsets_{};
    std::array<uint32_t, 34> colours_{};
    bool premultiplyRamp_ = false;
    TextureUnit pattern_, image_;
    ImagePlanes planes_{};
};

}  // namespace simgpu
