#include "pixel_format.h"

#include <initializer_list>

namespace simgpu {
namespace {

constexpr Field f(uint8_t offset, uint8_t length) { return Field{offset, length}; }
constexpr Field none{};

const PixelFormat kFormats[] = {
    {0, "RGBA8888", 32, f(24, 8), f(16, 8), f(8, 8), f(0, 8), false, 0},
    {1, "ARGB8888", 32, f(16, 8), f(8, 8), f(0, 8), f(24, 8), false, 0},
    {2, "BGRA8888", 32, f(8, 8), f(16, 8), f(24, 8), f(0, 8), false, 0},
    {3, "ABGR8888", 32, f(0, 8), f(8, 8), f(16, 8), f(24, 8), false, 0},
    {4, "RGBX8888", 32, f(24, 8), f(16, 8), f(8, 8), none, false, 0x000000FFu},
    {5, "XRGB8888", 32, f(16, 8), f(8, 8), f(0, 8), none, false, 0xFF000000u},
    {6, "BGRX8888", 32, f(8, 8), f(16, 8), f(24, 8), none, false, 0x000000FFu},
    {7, "XBGR8888", 32, f(0, 8), f(8, 8), f(16, 8), none, false, 0xFF000000u},
    {16, "RGBA5551", 16, f(11, 5), f(6, 5), f(1, 5), f(0, 1), false, 0},
    {17, "ARGB1555", 16, f(10, 5), f(5, 5), f(0, 5), f(15, 1), false, 0},
    {18, "BGRA5551", 16, f(1, 5), f(6, 5), f(11, 5), f(0, 1), false, 0},
    {19, "ABGR1555", 16, f(0, 5), f(5, 5), f(10, 5), f(15, 1), false, 0},
    {20, "RGBA4444", 16, f(12, 4), f(8, 4), f(4, 4), f(0, 4), false, 0},
    {21, "ARGB4444", 16, f(8, 4), f(4, 4), f(0, 4), f(12, 4), false, 0},
    {22, "BGRA4444", 16, f(4, 4), f(8, 4), f(12, 4), f(0, 4), false, 0},
    {23, "ABGR4444", 16, f(0, 4), f(4, 4), f(8, 4), f(12, 4), false, 0},
    {24, "RGB565", 16, f(11, 5), f(5, 6), f(0, 5), none, false, 0},
    {25, "BGR565", 16, f(0, 5), f(5, 6), f(11, 5), none, false, 0},
    {32, "L8", 8, f(0, 8), none, none, none, true, 0},
    {33, "A8", 8, none, none, none, f(0, 8), false, 0},
    {48, "A4", 4, none, none, none, f(0, 4), false, 0},
    {64, "A1", 1, none, none, none, f(0, 1), false, 0},
    {65, "BW1", 1, f(0, 1), none, none, none, true, 0},
};

}  // namespace

const PixelFormat* pixelFormat(uint32_t code)
{
    for (const PixelFormat& format : kFormats)
        if (format.code == code)
            return &format;
    return nullptr;
}

bool formatNotModelled(uint32_t code)
{
    return code == 26 || (code >= 56 && code <= 60);
}

uint32_t channelBits(const PixelFormat& format, uint32_t channelMask)
{
    auto bits = [](Field field) { return field.length ? ((1u << field.length) - 1) << field.offset : 0u; };
    return (channelMask & 8 ? bits(format.r) : 0) | (channelMask & 4 ? bits(format.g) : 0) |
           (channelMask & 2 ? bits(format.b) : 0) | (channelMask & 1 ? bits(format.a) : 0);
}

uint32_t averageFields(const PixelFormat& format, const uint32_t values[4])
{
    uint32_t out = 0;
    for (Field field : {format.r, format.g, format.b, format.a}) {
        if (!field.length)
            continue;
        const uint32_t mask = (1u << field.length) - 1;
        uint32_t sum = 0;
        for (int i = 0; i < 4; ++i)
            sum += (values[i] >> field.offset) & mask;
        out |= ((sum + 2) / 4) << field.offset;
    }
    return out;
}

size_t rowByteBegin(uint32_t x, uint32_t bpp)
{
    return static_cast<size_t>(x) * bpp / 8;
}

size_t rowByteEnd(uint32_t x, uint32_t pixels, uint32_t bpp)
{
    return ((static_cast<size_t>(x) + pixels) * bpp + 7) / 8;
}

}  // namespace simgpu
