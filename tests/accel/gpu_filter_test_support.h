// The fixture of the GPU image filter tests: a surface made current through EGL, images with
// random contents through the OpenVG API, twins for the software reference, and the comparison
// of two images' pixels decoded by the GPU model's codec.
#pragma once

#include <VG/openvg.h>
#include <VG/openvg_vendor.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "memmanage/gmalloc.h"
#include "model/pixel_format.h"
#include "vg/al_lx740/vg_al_lx740_lxformat.h"
#include "vg/common/vg_image.h"
#include "vgsurfacefixture.h"

namespace gputest {

using Bytes = std::vector<uint8_t>;

inline OVGimage* record(VGImage handle)
{
    return reinterpret_cast<OVGimage*>(handle);
}

class GpuFilterTest : public vnq::test::VgSurfaceTest {
protected:
    std::mt19937 rng{20261211};

    void SetUp() override
    {
        VgSurfaceTest::SetUp();
        makeCurrent({1, 64, 48});
    }

    static uint8_t* bytes(VGImage image)
    {
        const ALbuffer* b = record(image)->buffer;
        return reinterpret_cast<uint8_t*>(CglTxMemBase + b->addr);
    }
    static size_t size(VGImage image)
    {
        const ALbuffer* b = record(image)->buffer;
        return static_cast<size_t>(b->stride) * static_cast<size_t>(b->height);
    }
    static Bytes contents(VGImage image)
    {
        vgFinish();
        return Bytes(bytes(image), bytes(image) + size(image));
    }
    static void setContents(VGImage image, const Bytes& b) { std::memcpy(bytes(image), b.data(), size(image)); }

    VGImage randomImage(VGImageFormat f, int w, int h)
    {
        const VGImage image = vgCreateImage(f, w, h, VG_IMAGE_QUALITY_NONANTIALIASED);
        EXPECT_NE(image, VG_INVALID_HANDLE) << std::hex << f;
        if (image == VG_INVALID_HANDLE)
            return image;
        Bytes b(size(image));
        for (uint8_t& v : b)
            v = static_cast<uint8_t>(rng());
        setContents(image, b);
        return image;
    }

    // A copy of `image` (same format, size and bytes) for the software reference.
    VGImage twin(VGImage image)
    {
        const OVGimage* r = record(image);
        const VGImage t = vgCreateImage(r->format, r->buffer->width, r->buffer->height,
                                        VG_IMAGE_QUALITY_NONANTIALIASED);
        EXPECT_NE(t, VG_INVALID_HANDLE);
        if (t != VG_INVALID_HANDLE)
            setContents(t, contents(image));
        return t;
    }

    static void filterState(bool linear, bool pre, VGint mask)
    {
        vgSeti(VG_FILTER_FORMAT_LINEAR, linear);
        vgSeti(VG_FILTER_FORMAT_PREMULTIPLIED, pre);
        vgSeti(VG_FILTER_CHANNEL_MASK, mask);
    }

    // A w x h YUV 4:2:2 image, which the software filters cannot read.
    static VGImage yuvImage(int w, int h, std::vector<uint16_t>& data)
    {
        data.assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
        const VGImage yuv = vgCreateImageEXT(VG_EXT_YUV422, w, h, VG_IMAGE_QUALITY_NONANTIALIASED, data.data());
        EXPECT_NE(yuv, VG_INVALID_HANDLE);
        return yuv;
    }

    // Takes every block of GPU memory down to 64 bytes, so the filters find none for their work
    // buffers; the allocator's messages are kept off the output until the memory is given back.
    void takeAllGpuMemory()
    {
        testing::internal::CaptureStdout();
        for (int size = 1 << 22; size >= 64;) {
            const MemAddr a = gmMalloc(size, 32);
            if (a == GM_NO_ADDRESS)
                size /= 2;
            else
                taken_.push_back(a);
        }
    }
    void releaseGpuMemory()
    {
        testing::internal::GetCapturedStdout();
        for (MemAddr a : taken_)
            gmFree(a);
        taken_.clear();
    }

    // Every pixel of the two images' active rectangles, decoded by the model's codec, within
    // `units` units of each channel's precision (0: exact).
    static void expectNear(VGImage gpuImage, VGImage swImage, int units, const std::string& what)
    {
        const OVGimage* g = record(gpuImage);
        const OVGimage* s = record(swImage);
        const simgpu::PixelFormat& f = *simgpu::pixelFormat(VGALFUNC_TVGgetLXImageFormat(g->format));
        const Bytes a = contents(gpuImage), b = contents(swImage);
        const simgpu::Field* fields[4] = {&f.r, &f.g, &f.b, &f.a};
        int bad = 0;
        for (int y = 0; y < g->activeRect.height && bad < 4; ++y)
            for (int x = 0; x < g->activeRect.width && bad < 4; ++x) {
                const auto at = [&](const Bytes& buf, const OVGimage* img) {
                    const size_t row = static_cast<size_t>(img->activeRect.y + y) * img->buffer->stride;
                    return simgpu::unpackColour(
                        f, simgpu::readPixel(buf.data() + row, static_cast<uint32_t>(img->activeRect.x + x), f.bpp));
                };
                const uint32_t p = at(a, g), q = at(b, s);
                for (int c = 0; c < 4; ++c) {
                    const int bits = static_cast<int>(fields[c]->length);
                    const int unit = bits == 0 ? 0 : (255 + (1 << bits) - 2) / ((1 << bits) - 1);
                    const int d = std::abs(static_cast<int>(p >> (24 - 8 * c) & 255u) -
                                           static_cast<int>(q >> (24 - 8 * c) & 255u));
                    if (bits && d > units * unit) {
                        ADD_FAILURE() << what << " pixel " << x << "," << y << " gpu " << std::hex << p
                                      << " software " << q;
                        ++bad;
                        break;
                    }
                }
            }
    }

private:
    std::vector<MemAddr> taken_;
};

}  // namespace gputest
