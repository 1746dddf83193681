#pragma once

#include <VG/openvg.h>

#include <array>
#include <cstdint>

namespace vistrel {

// 8-bit channels r, g, b, a.
using Rgba8 = std::array<uint8_t, 4>;

// Bytes per pixel of the formats the display server handles (565, 4444 and the 8888 ones); 0
// for others.
int bytesPerPixel(VGImageFormat format);
Rgba8 unpackPixel(VGImageFormat format, uint32_t value);
uint32_t packPixel(VGImageFormat format, const Rgba8& rgba);
inline uint32_t convertPixel(VGImageFormat from, VGImageFormat to, uint32_t value)
{
    return from == to ? value : packPixel(to, unpackPixel(from, value));
}

}  // namespace vistrel
