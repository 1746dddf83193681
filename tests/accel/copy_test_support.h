#pragma once

// Shared pieces of the GPU copy tests: buffers in GPU work memory with a pixel pattern, the
// transfer descriptor filled from them, and the copy-area entries and SPC rectangles the device
// decoded.

#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

#include "accel_test_support.h"
#include "vg/al_lx740/vg_al_lx740_copy.h"
#include "vg/al_lx740/vg_al_lx740_transfer.h"

namespace gputest {

// A w x h buffer of bpp bits in GPU work memory, rows of `stride` bytes.
struct GpuBuffer {
    word32 addr = CGL_NO_ADDRESS;
    int width = 0, height = 0, bpp = 0, stride = 0;

    uint8_t* bytes() const { return reinterpret_cast<uint8_t*>(CglTxMemBase + addr); }
    uint8_t* row(int y) const { return bytes() + static_cast<size_t>(stride) * y; }

    uint32_t get(int x, int y) const
    {
        const uint8_t* r = row(y);
        switch (bpp) {
        case 32: { uint32_t v; std::memcpy(&v, r + x * 4, 4); return v; }
        case 16: { uint16_t v; std::memcpy(&v, r + x * 2, 2); return v; }
        case 8: return r[x];
        case 4: return r[x / 2] >> (x % 2 ? 4 : 0) & 15u;
        default: return r[x / 8] >> (x % 8) & 1u;
        }
    }

    void set(int x, int y, uint32_t v) const
    {
        uint8_t* r = row(y);
        switch (bpp) {
        case 32: { uint32_t w = v; std::memcpy(r + x * 4, &w, 4); break; }
        case 16: { uint16_t w = static_cast<uint16_t>(v); std::memcpy(r + x * 2, &w, 2); break; }
        case 8: r[x] = static_cast<uint8_t>(v); break;
        case 4: r[x / 2] = static_cast<uint8_t>((r[x / 2] & (x % 2 ? 0x0F : 0xF0)) | (v & 15u) << (x % 2 ? 4 : 0)); break;
        default: r[x / 8] = static_cast<uint8_t>((r[x / 8] & ~(1u << (x % 8))) | (v & 1u) << (x % 8)); break;
        }
    }

    void fill(const std::function<uint32_t(int, int)>& value) const
    {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                set(x, y, value(x, y));
    }
};

// A pattern value of (x, y) for bpp bits that no shift by a whole block of 2048 maps onto itself.
inline uint32_t pattern(int x, int y, int bpp)
{
    const uint32_t v = static_cast<uint32_t>(x) * 2654435761u ^ static_cast<uint32_t>(y) * 40503u;
    const uint32_t mixed = v ^ v >> 13;
    return bpp >= 32 ? mixed : mixed & ((1u << bpp) - 1u);
}

// Copy helpers over a fixture that has the layer up (the accelerator fixture, or an EGL surface
// made current).
template <typename Base>
class CopyFixture : public Base {
protected:
    using Base::gpu;
    std::vector<word32> taken;

    void TearDown() override
    {
        for (word32 a : taken)
            VGALFUNC_VFree(a);
        taken.clear();
        VGALFUNC_al_lx740_free_all_list(1);
        Base::TearDown();
    }

    // stride 0: whole bytes of width pixels rounded up to 4 bytes.
    GpuBuffer buffer(int width, int height, int bpp, int stride = 0)
    {
        GpuBuffer b;
        b.width = width, b.height = height, b.bpp = bpp;
        b.stride = stride ? stride : ((width * bpp + 7) / 8 + 3) / 4 * 4;
        b.addr = VGALFUNC_VAlloc(b.stride * 8 / bpp, height, bpp, 32, 0, 0, 1);
        EXPECT_NE(b.addr, CGL_NO_ADDRESS) << width << " x " << height;
        if (b.addr != CGL_NO_ADDRESS)
            taken.push_back(b.addr);
        return b;
    }

    // A descriptor side for the whole buffer (or the usable area x, y, w, h inside it).
    static VGALtransferside side(const GpuBuffer& b, word32 code, int format, int x = 0, int y = 0, int w = -1,
                                 int h = -1)
    {
        VGALtransferside s{};
        s.addr = b.addr;
        s.x = x, s.y = y;
        s.width = w < 0 ? b.width : w;
        s.height = h < 0 ? b.height : h;
        s.stride = b.stride;
        s.format = format;
        s.bpp = b.bpp;
        s.twidth = b.stride * 8 / b.bpp;
        s.theight = b.height;
        s.format_lx = code;
        return s;
    }

    static void describe(const VGALtransferside& s, const VGALtransferside& d)
    {
        VGALFUNC_set_transfer_source(&s);
        VGALFUNC_set_transfer_destination(&d);
        VGALVAL_dst_channel_mask = 0;
        VGALVAL_dst_scale_x = VGALVAL_dst_scale_y = 0;
    }

    // The copy-area entries the device received, in order (table positions 0 to 3).
    std::vector<std::vector<uint32_t>> entries() const
    {
        std::vector<std::vector<uint32_t>> out;
        for (const Event& e : gpu.log())
            if (e.kind == Kind::Write && e.unit == Unit::PETable && e.reg < 4) {
                if (e.reg == 0)
                    out.emplace_back();
                if (!out.empty())
                    out.back().push_back(e.value);
            }
        return out;
    }

    // The SPC rectangles the device received: header, position, size, source.
    std::vector<std::vector<uint32_t>> rectangles() const
    {
        std::vector<std::vector<uint32_t>> out;
        for (const Event& e : gpu.log())
            if (e.kind == Kind::Rect) {
                if (e.reg == 0)
                    out.emplace_back();
                if (!out.empty())
                    out.back().push_back(e.value);
            }
        return out;
    }
};

using CopyTest = CopyFixture<AccelTest>;

}  // namespace gputest
