#include "pixel_format.h"

#include <cstring>
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

uint32_t put(Field field, uint32_t channel)
{
    return field.length ? (channel >> (8 - field.length)) << field.offset : 0;
}

uint32_t widen(uint32_t value, uint32_t length)
{
    uint32_t out = 0;
    uint32_t bits = 0;
    while (bits < 8) {
        out = (out << length) | value;
        bits += length;
    }
    return out >> (bits - 8);
}

uint32_t get(Field field, uint32_t value, uint32_t absent)
{
    if (!field.length)
        return absent;
    return widen((value >> field.offset) & ((1u << field.length) - 1), field.length);
}

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

uint32_t packColour(const PixelFormat& format, uint32_t rgba)
{
    uint32_t r = rgba >> 24, g = (rgba >> 16) & 0xFF, b = (rgba >> 8) & 0xFF, a = rgba & 0xFF;
    return put(format.r, r) | put(format.g, g) | put(format.b, b) | put(format.a, a) | format.fill;
}

uint32_t unpackColour(const PixelFormat& format, uint32_t value)
{
    bool alphaOnly = !format.r.length;
    uint32_t r = get(format.r, value, alphaOnly ? 255 : 0);
    uint32_t g = format.luminance ? r : get(format.g, value, alphaOnly ? 255 : 0);
    uint32_t b = format.luminance ? r : get(format.b, value, alphaOnly ? 255 : 0);
    uint32_t a = get(format.a, value, 255);
    return r << 24 | g << 16 | b << 8 | a;
}

uint32_t readPixel(const uint8_t* row, uint32_t x, uint32_t bpp)
{
    switch (bpp) {
    case 1: return (row[x / 8] >> (x % 8)) & 1u;
    case 4: return (row[x / 2] >> (x % 2 ? 4 : 0)) & 0xFu;
    case 8: return row[x];
    case 16: {
        uint16_t v;
        std::memcpy(&v, row + 2 * static_cast<size_t>(x), 2);
        return v;
    }
    default: {
        uint32_t v;
        std::memcpy(&v, row + 4 * static_cast<size_t>(x), 4);
        return v;
    }
    }
}

void writePixel(uint8_t* row, uint32_t x, uint32_t bpp, uint32_t value)
{
    switch (bpp) {
    case 1: {
        uint8_t bit = static_cast<uint8_t>(1u << (x % 8));
        row[x / 8] = static_cast<uint8_t>((row[x / 8] & ~bit) | ((value & 1u) ? bit : 0));
        break;
    }
    case 4: {
        unsigned shift = x % 2 ? 4 : 0;
        row[x / 2] = static_cast<uint8_t>((row[x / 2] & ~(0xFu << shift)) | ((value & 0xFu) << shift));
        break;
    }
    case 8: row[x] = static_cast<uint8_t>(value); break;
    case 16: {
        uint16_t v = static_cast<uint16_t>(value);
        std::memcpy(row + 2 * static_cast<size_t>(x), &v, 2);
        break;
    }
    default: std::memcpy(row + 4 * static_cast<size_t>(x), &value, 4); break;
    }
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
