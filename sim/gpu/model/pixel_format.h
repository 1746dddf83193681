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
uint32_t packColour(const PixelFormat& format, uint32_t rgba);
// An RGBA8888 colour from a native value, each field widened by bit replication; absent
// colour channels read 255 for alpha formats, absent alpha reads 255.
uint32_t unpackColour(const PixelFormat& format, uint32_t value);

// One pixel of a row at any of the depths 1, 4, 8, 16 and 32 (little-endian words).
uint32_t readPixel(const uint8_t* row, uint32_t x, uint32_t bpp);
void writePixel(uint8_t* row, uint32_t x, uint32_t bpp, uint32_t value);

// Bytes a row of `pixels` pixels starting at pixel x touches: [first, end).
size_t rowByteBegin(uint32_t x, uint32_t bpp);
size_t rowByteEnd(uint32_t x, uint32_t pixels, uint32_t bpp);

}  // namespace simgpu
