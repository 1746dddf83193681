#include "pixelformat.h"

namespace vistrel {
namespace {

uint8_t widen(uint32_t value, int bits)
{
    value &= (1u << bits) - 1;
    return static_cast<uint8_t>((value << (8 - bits)) | (value >> (2 * bits - 8)));
}

uint32_t narrow(uint8_t value, int bits)
{
    return static_cast<uint32_t>(value) >> (8 - bits);
}

}  // namespace

int bytesPerPixel(VGImageFormat format)
{
    switch (format) {
    case VG_sRGB_565:
    case VG_sABGR_4444:
        return 2;
    case VG_sRGBA_8888:
    case VG_sARGB_8888:
        return 4;
    default:
        return 0;
    }
}

Rgba8 unpackPixel(VGImageFormat format, uint32_t v)
{
    switch (format) {
    case VG_sRGB_565:
        return {widen(v >> 11, 5), widen(v >> 5, 6), widen(v, 5), 255};
    case VG_sABGR_4444:
        return {widen(v, 4), widen(v >> 4, 4), widen(v >> 8, 4), widen(v >> 12, 4)};
    case VG_sRGBA_8888:
        return {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
    case VG_sARGB_8888:
        return {uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v), uint8_t(v >> 24)};
    default:
        return {0, 0, 0, 0};
    }
}

uint32_t packPixel(VGImageFormat format, const Rgba8& c)
{
    switch (format) {
    case VG_sRGB_565:
        return narrow(c[0], 5) << 11 | narrow(c[1], 6) << 5 | narrow(c[2], 5);
    case VG_sABGR_4444:
        return narrow(c[3], 4) << 12 | narrow(c[2], 4) << 8 | narrow(c[1], 4) << 4 | narrow(c[0], 4);
    case VG_sRGBA_8888:
        return uint32_t(c[0]) << 24 | uint32_t(c[1]) << 16 | uint32_t(c[2]) << 8 | c[3];
    case VG_sARGB_8888:
        return uint32_t(c[3]) << 24 | uint32_t(c[0]) << 16 | uint32_t(c[1]) << 8 | c[2];
    default:
        return 0;
    }
}

}  // namespace vistrel
