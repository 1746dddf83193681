#pragma once

// The pixel formats of the GPU by format code, as colour buffers, textures and fills use them.
// Each code has the bit layout of its software format (fields of a little-endian word, or for
// 4- and 1-bit pixels the nibble and bit order below):
//   0 RGBA8888  1 ARGB8888  2 BGRA8888  3 ABGR8888  4 RGBX8888  5 XRGB8888  6 BGRX8888
//   7 XBGR8888  16 RGBA5551  17 ARGB1555  18 BGRA5551  19 ABGR1555  20 RGBA4444  21 ARGB4444
//   22 BGRA4444  23 ABGR4444  24 RGB565  25 BGR565  32 L8  33 A8  48 A4  64 A1  65 BW1
// 4-bit pixel x is in byte x / 2, even x in the low nibble; 1-bit pixel x is bit x mod 8 of
// byte x / 8.

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace simgpu {

struct Field {
    uint8_t offset = 0;
    uint8_t length = 0;  // 0: the format has no such channel
};

struct PixelFormat {
    uint32_t code;
    const char* name;
    uint32_t bpp;
    Field r, g, b, a;  // a luminance format keeps L in r
    bool luminance;
    uint32_t fill;     // bits of unused fields, stored as ones
};

// One field of a native value from and to its 8-bit channel.
namespace pixel_fields {

inline uint32_t put(Field field, uint32_t channel)
{
    return field.length ? (channel >> (8 - field.length)) << field.offset : 0;
}

// A field value of `length` bits (1 to 8) as eight bits: its bits repeated from the top.
constexpr uint32_t widen(uint32_t value, uint32_t length)
{
    uint32_t out = 0;
    uint32_t bits = 0;
    while (bits < 8) {
        out = (out << length) | value;
        bits += length;
    }
    return out >> (bits - 8);
}

// widen() of every value of every length, so that a texel's fields widen by a look-up.
struct WidenTable {
    uint8_t at[9][256] = {};
    constexpr WidenTable()
    {
        for (uint32_t length = 1; length <= 8; ++length)
            for (uint32_t value = 0; value < (1u << length); ++value)
                at[length][value] = static_cast<uint8_t>(widen(value, length));
    }
};
inline constexpr WidenTable kWidened{};

inline uint32_t get(Field field, uint32_t value, uint32_t absent)
{
    if (!field.length)
        return absent;
    return kWidened.at[field.length][(value >> field.offset) & ((1u << field.length) - 1)];
}

}  // namespace pixel_fields

// nullptr for a code the model has no layout for.
const PixelFormat* pixelFormat(uint32_t code);
// Codes the GPU knows but whose layout is not given (26 and 56-60, vendor formats).
bool formatNotModelled(uint32_t code);

// Bits of a native value that belong to the channels of a channel mask (R 8, G 4, B 2, A 1;
// a luminance format keeps L under R).
uint32_t channelBits(const PixelFormat& format, uint32_t channelMask);
// Each field of the format as the rounded average of that field in four native values.
uint32_t averageFields(const PixelFormat& format, const uint32_t values[4]);

// The native value of an RGBA8888 colour (R in bits 31-24, A in 7-0): each channel keeps its
// top bits; L is R; unused bits are ones.
inline uint32_t packColour(const PixelFormat& format, uint32_t rgba)
{
    uint32_t r = rgba >> 24, g = (rgba >> 16) & 0xFF, b = (rgba >> 8) & 0xFF, a = rgba & 0xFF;
    using pixel_fields::put;
    return put(format.r, r) | put(format.g, g) | put(format.b, b) | put(format.a, a) | format.fill;
}
// An RGBA8888 colour from a native value, each field widened by bit replication; absent
// colour channels read 255 for alpha formats, absent alpha reads 255.
inline uint32_t unpackColour(const PixelFormat& format, uint32_t value)
{
    bool alphaOnly = !format.r.length;
    uint32_t r = pixel_fields::get(format.r, value, alphaOnly ? 255 : 0);
    uint32_t g = format.luminance ? r : pixel_fields::get(format.g, value, alphaOnly ? 255 : 0);
    uint32_t b = format.luminance ? r : pixel_fields::get(format.b, value, alphaOnly ? 255 : 0);
    uint32_t a = pixel_fields::get(format.a, value, 255);
    return r << 24 | g << 16 | b << 8 | a;
}

// unpackColour() for one format with its choices made once: each channel looks up the bits of
// its field in the widening table; an absent channel is a field of no bits whose look-up gives
// its fixed value, and a luminance format's G and B read the field of L.
class ColourDecoder {
public:
    ColourDecoder() = default;
    explicit ColourDecoder(const PixelFormat& format)
    {
        const bool alphaOnly = !format.r.length;
        const Field fields[4] = {format.r, format.luminance ? format.r : format.g,
                                 format.luminance ? format.r : format.b, format.a};
        const uint32_t absent[4] = {alphaOnly ? 255u : 0u, alphaOnly ? 255u : 0u, alphaOnly ? 255u : 0u, 255u};
        for (unsigned c = 0; c < 4; ++c) {
            const Field f = fields[c];
            // Eight-bit values widen to themselves.
            table_[c] = f.length ? pixel_fields::kWidened.at[f.length] : &pixel_fields::kWidened.at[8][absent[c]];
            shift_[c] = f.offset;
            mask_[c] = f.length ? (1u << f.length) - 1 : 0;
        }
    }

    uint32_t operator()(uint32_t value) const
    {
        return uint32_t{table_[0][(value >> shift_[0]) & mask_[0]]} << 24 |
               uint32_t{table_[1][(value >> shift_[1]) & mask_[1]]} << 16 |
               uint32_t{table_[2][(value >> shift_[2]) & mask_[2]]} << 8 | table_[3][(value >> shift_[3]) & mask_[3]];
    }

private:
    const uint8_t* table_[4] = {};
    uint32_t shift_[4] = {}, mask_[4] = {};
};

// packColour() for one format with its choices made once: each channel's top bits move
// straight from the colour to their field by a shift and a mask, an absent field's mask being 0.
class ColourEncoder {
public:
    ColourEncoder() = default;
    explicit ColourEncoder(const PixelFormat& format) : fill_(format.fill)
    {
        const Field fields[4] = {format.r, format.g, format.b, format.a};
        for (unsigned c = 0; c < 4; ++c) {
            const Field f = fields[c];
            // The channel's top f.length bits: the colour shifted so that they are its lowest.
            shift_[c] = f.length ? 24 - 8 * c + 8 - f.length : 0;
            mask_[c] = f.length ? (1u << f.length) - 1 : 0;
            offset_[c] = f.offset;
        }
    }

    uint32_t operator()(uint32_t rgba) const
    {
        return ((rgba >> shift_[0]) & mask_[0]) << offset_[0] | ((rgba >> shift_[1]) & mask_[1]) << offset_[1] |
               ((rgba >> shift_[2]) & mask_[2]) << offset_[2] | ((rgba >> shift_[3]) & mask_[3]) << offset_[3] |
               fill_;
    }

private:
    uint32_t shift_[4] = {}, mask_[4] = {}, offset_[4] = {};
    uint32_t fill_ = 0;
};

// Channel `index` of an RGBA8888 colour: 0 R, 1 G, 2 B, 3 A.
inline uint32_t channel(uint32_t rgba, unsigned index)
{
    return (rgba >> (24 - 8 * index)) & 0xFFu;
}

// x y / 255 rounded to the nearest integer, for 8-bit x and y. x y / 255 is never exactly
// halfway between two integers, so this rounds to the nearest.
inline uint32_t mul255(uint32_t x, uint32_t y)
{
    return (x * y + 127) / 255;
}

// The luminance of 8-bit red, green and blue: the software pixel path's fixed-point weights and
// rounding, so that luminance copies and filters on the GPU agree with their software
// fall-backs.
inline uint32_t luminance(uint32_t r, uint32_t g, uint32_t b)
{
    const uint32_t l = (435 * r + 1464 * g + 147 * b + 1023) >> 11;
    return l < 255 ? l : 255;
}

// One pixel of a row at any of the depths 1, 4, 8, 16 and 32 (little-endian words).
inline uint32_t readPixel(const uint8_t* row, uint32_t x, uint32_t bpp)
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

inline void writePixel(uint8_t* row, uint32_t x, uint32_t bpp, uint32_t value)
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

// Bytes a row of `pixels` pixels starting at pixel x touches: [first, end).
size_t rowByteBegin(uint32_t x, uint32_t bpp);
size_t rowByteEnd(uint32_t x, uint32_t pixels, uint32_t bpp);

}  // namespace simgpu
