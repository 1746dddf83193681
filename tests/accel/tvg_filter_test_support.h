// Images in GPU memory and the fixture of the software image filter tests: a context whose
// filter parameters the tests set, the filter heap's failure seam switched off after each test.
#pragma once

#include "accel_test_support.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "vg/al_lx740/vg_al_lx740_objects.h"
#include "vg/al_lx740/vg_al_lx740_swpixel.h"
#include "vg/al_lx740/vg_al_lx740_transfer.h"
#include "vg/al_lx740/vg_tvg_filter.h"
#include "vg/common/vg_image_format.h"

namespace gputest {

using Bytes = std::vector<uint8_t>;

inline int base(VGImageFormat f)
{
    return static_cast<int>(f) & 15;
}

// An image with its own buffer in GPU memory, or a child window onto another's.
struct GpuImage {
    OVGimage img{};
    bool owner = true;

    GpuImage(VGImageFormat format, int width, int height)
    {
        img.format = format;
        img.buffer = VGHAL_ALcreateImage(width, height, VGVAL_bitperpixel[base(format)]);
        img.activeRect = {0, 0, width, height};
    }
    GpuImage(const GpuImage& parent, int x, int y, int width, int height) : owner(false)
    {
        img = parent.img;
        img.parent = const_cast<OVGimage*>(&parent.img);
        img.activeRect = {parent.img.activeRect.x + x, parent.img.activeRect.y + y, width, height};
    }
    GpuImage(const GpuImage&) = delete;
    ~GpuImage()
    {
        if (owner)
            VGHAL_ALdeleteImage(img.buffer, &img);
    }

    size_t size() const { return static_cast<size_t>(img.buffer->stride) * static_cast<size_t>(img.buffer->height); }
    int stride() const { return img.buffer->stride; }

    Bytes bytes() const
    {
        std::vector<word32> words((size() + 3) / 4);
        cglReadMemory32A(img.buffer->addr, words.data(), static_cast<word32>(words.size()));
        Bytes out(size());
        std::memcpy(out.data(), words.data(), out.size());
        return out;
    }
    void setBytes(const Bytes& b)
    {
        std::vector<word32> words((size() + 3) / 4);
        std::memcpy(words.data(), b.data(), std::min(b.size(), words.size() * 4));
        cglWriteMemory32A(img.buffer->addr, words.data(), static_cast<word32>(words.size()));
    }
    Bytes fillRandom(std::mt19937& rng)
    {
        Bytes b(size());
        for (uint8_t& v : b)
            v = static_cast<uint8_t>(rng());
        setBytes(b);
        return b;
    }
};

class SoftwareFilterTest : public AccelTest {
protected:
    std::mt19937 rng{20261211};

    void SetUp() override
    {
        AccelTest::SetUp();
        VGALVAL_LXDIVOFFSET = 0;
        VGALVAL_dst_scale_x = VGALVAL_dst_scale_y = 0;
        VGALVAL_src_dst_same_internal_precision = 0;
    }
    void TearDown() override
    {
        VGALFUNC_TVGfailFilterAlloc(0);
        VGALFUNC_al_lx740_free_all_list(1);
        GpuTest::TearDown();
        VGALFUNC_lx_cmdbuffer_free();
        VGALFUNC_al_lx740_rect_terminate();
    }

    void filterFormat(bool linear, bool pre, VGbitfield mask = 15)
    {
        ctx.filterFormatLinear = linear ? VG_TRUE : VG_FALSE;
        ctx.filterFormatPremultiplied = pre ? VG_TRUE : VG_FALSE;
        ctx.filterChannelMask = mask;
    }
};

}  // namespace gputest
