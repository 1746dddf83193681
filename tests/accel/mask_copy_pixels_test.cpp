// Mask copies on pixels through the GPU model: the mask buffer into mask layers of 8 bits (copy
// engine) and 4 and 1 bits (textured copy), and images combined into the mask buffer by each
// mask operation's blend step, on hand-made mask buffers and images.
#include <VG/openvg.h>

#include <cmath>
#include <string>

#include "copy_test_support.h"
#include "vg/al_lx740/vg_al_lx740_maskstate.h"
#include "vgsurfacefixture.h"

namespace gputest {
namespace {

class MaskPixels : public CopyFixture<vnq::test::VgSurfaceTest> {
protected:
    ALbuffer* savedMask = nullptr;

    void TearDown() override
    {
        VGALVAL_maskbuffer = savedMask;
        CopyFixture::TearDown();
    }

    void surface(bool window)
    {
        makeCurrent({1, 64, 48, window});
        savedMask = VGALVAL_maskbuffer;
    }

    static ALbuffer record(const GpuBuffer& b, int masklayer)
    {
        return ALbuffer{b.width, b.height, b.stride, b.bpp, b.addr, masklayer, 0, nullptr};
    }
};

// OpenVG row r of a buffer of h rows, as stored: bottom-up on a flipped surface.
int stored(int r, int h)
{
    return VGALVAL_surface_flip ? h - 1 - r : r;
}

TEST_F(MaskPixels, MaskBufferIntoLayersOfEachDepth)
{
    for (bool window : {false, true})
        for (int bpp : {8, 4, 1}) {
            SCOPED_TRACE(std::string(window ? "flipped window" : "pbuffer") + ", " + std::to_string(bpp) + " bits");
            surface(window);
            const GpuBuffer mask = buffer(64, 48, bpp), layer = buffer(40, 20, bpp);
            ASSERT_NE(mask.addr, CGL_NO_ADDRESS);
            ASSERT_NE(layer.addr, CGL_NO_ADDRESS);
            mask.fill([&](int x, int y) { return pattern(x, y, bpp); });
            layer.fill([](int, int) { return 0u; });
            ALbuffer m = record(mask, 0), l = record(layer, 1);
            VGALVAL_maskbuffer = &m;
            gpu.clearLog();
            VGALFUNC_lx_copymask(&l, 3, 2, 5, 4, 12, 6);
            vgFinish();
            for (int y = 0; y < 20; ++y)
                for (int x = 0; x < 40; ++x) {
                    const bool copied = x >= 3 && x < 15 && y >= 2 && y < 8;
                    const uint32_t expected = copied ? mask.get(x - 3 + 5, stored(y - 2 + 4, 48)) : 0u;
                    ASSERT_EQ(layer.get(x, stored(y, 20)), expected) << "layer (" << x << ", " << y << ")";
                }
            EXPECT_EQ(entries().size(), bpp == 8 ? 1u : 0u);
            EXPECT_EQ(rectangles().size(), bpp == 8 ? 0u : 1u);
            VGALVAL_maskbuffer = savedMask;
            for (word32 a : taken)
                VGALFUNC_VFree(a);
            taken.clear();
            terminate();
            dpy = EGL_NO_DISPLAY;
        }
}

uint32_t product(uint32_t a, uint32_t b)
{
    return static_cast<uint32_t>(std::lround(a * b / 255.0));
}

struct Operation {
    VGMaskOperation op;
    std::function<uint32_t(uint32_t, uint32_t)> result;  // of image alpha s and mask d
};

TEST_F(MaskPixels, ImagesCombineIntoTheMaskByEachOperation)
{
    const Operation ops[] = {
        {VG_SET_MASK, [](uint32_t s, uint32_t) { return s; }},
        {VG_UNION_MASK, [](uint32_t s, uint32_t d) { return s + product(d, 255 - s); }},
        {VG_INTERSECT_MASK, [](uint32_t s, uint32_t d) { return product(s, d); }},
        {VG_SUBTRACT_MASK, [](uint32_t s, uint32_t d) { return product(d, 255 - s); }},
    };
    for (bool window : {false, true})
        for (VGImageFormat format : {VG_A_8, VG_sL_8})
            for (const Operation& o : ops) {
                SCOPED_TRACE(std::string(window ? "flipped window" : "pbuffer") + ", format " + std::to_string(format) +
                             ", operation " + std::to_string(o.op));
                surface(window);
                const GpuBuffer mask = buffer(64, 48, 8), img = buffer(16, 12, 8);
                ASSERT_NE(mask.addr, CGL_NO_ADDRESS);
                ASSERT_NE(img.addr, CGL_NO_ADDRESS);
                mask.fill([](int x, int y) { return pattern(x, y, 8); });
                img.fill([](int x, int y) { return pattern(x + 100, y, 8); });
                const std::vector<uint32_t> before = [&] {
                    std::vector<uint32_t> v;
                    for (int y = 0; y < 48; ++y)
                        for (int x = 0; x < 64; ++x)
                            v.push_back(mask.get(x, y));
                    return v;
                }();
                ALbuffer m = record(mask, 0), i = record(img, 0);
                VGALVAL_maskbuffer = &m;
                VGALFUNC_lx_setstate_mask(nullptr, 0);
                EXPECT_EQ(VGALFUNC_lx_drawmask(6, 5, 2, 3, 10, 7, &i, format, o.op), 0);
                vgFinish();
                for (int y = 0; y < 48; ++y)
                    for (int x = 0; x < 64; ++x) {
                        const uint32_t d = before[size_t(stored(y, 48)) * 64 + x];
                        const bool inside = x >= 6 && x < 16 && y >= 5 && y < 12;
                        const uint32_t expected = inside ? o.result(img.get(x - 6 + 2, y - 5 + 3), d) : d;
                        ASSERT_EQ(mask.get(x, stored(y, 48)), expected) << "mask (" << x << ", " << y << ")";
                    }
                VGALVAL_maskbuffer = savedMask;
                for (word32 a : taken)
                    VGALFUNC_VFree(a);
                taken.clear();
                terminate();
                dpy = EGL_NO_DISPLAY;
            }
}

}  // namespace
}  // namespace gputest
