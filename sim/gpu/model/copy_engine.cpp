#include "copy_engine.h"

#include <cstring>

#include "cgl_unitreg.h"
#include "pixel_format.h"

namespace simgpu {
namespace {

constexpr uint32_t kModeBits = 0xFC000000u;
constexpr uint32_t kUnknownWord0Bits = 0x03800800u;
constexpr uint32_t kSizeBits = 0x7FFu;
constexpr uint32_t kSkipBits = 0x1FFFu;
constexpr uint32_t kRvd = 1u << 31, kCdm = 1u << 30, kCpw = 1u << 29, kDame = 1u << 15, kSame = 1u << 14;
constexpr uint32_t kUnknownWord1Bits = 1u << 13;
constexpr uint32_t kCopyMode = 0, kResolveMode = 2;
constexpr uint32_t kResolveSamples = 4;

// Mode 0: the source and destination layouts by GPU format code; equal codes copy as stored.
struct Conversion {
    uint32_t modeBits, sourceCode, destinationCode;
};
constexpr Conversion kConversions[] = {
    {0x00000000u, 1, 1},   {0x04000000u, 24, 24}, {0x08000000u, 33, 33},
    {0x40000000u, 24, 1},  {0x60000000u, 17, 1},  {0x64000000u, 17, 24},
    {0x80000000u, 21, 1},  {0x84000000u, 21, 24}, {0x20000000u, 1, 24},
};

// Mode 2: the field layout the samples and the result share.
struct Resolve {
    uint32_t modeBits, code;
};
constexpr Resolve kResolves[] = {
    {0x00000000u, 0}, {0x10000000u, 24}, {0x14000000u, 16}, {0x1C000000u, 17}, {0x18000000u, 20}, {0x20000000u, 33},
};

// One side of a copy: `units` stored values a pixel, `pitch` bytes a line.
struct Side {
    const PixelFormat* format;
    uint32_t units;
    uint64_t pitch;
    uint64_t extent;  // bytes from the first pixel to the end of the last
    uint8_t* memory = nullptr;

    uint32_t bytes() const { return format->bpp / 8; }
    uint8_t* at(uint32_t x, uint32_t y) const { return memory + y * pitch + static_cast<uint64_t>(x) * units * bytes(); }
};

}  // namespace

bool CopyEngine::refuse(const std::string& why) const
{
    gpu_.protocolError(Stream::Gpu, "copy engine: " + why);
    return false;
}

void CopyEngine::run(const uint32_t entry[4])
{
    const uint32_t mode = gpu_.reg(Unit::PE, LX_PE_OVG_CE_MODE);
    const uint32_t modeBits = entry[0] & kModeBits;
    const uint32_t channelMask = gpu_.reg(Unit::PE, LX_PE_OVG_CH_MASK);
    if (mode != kCopyMode && mode != kResolveMode) {
        refuse("unknown LX_PE_OVG_CE_MODE " + hex(mode));
        return;
    }
    if ((entry[0] & kUnknownWord0Bits) || (entry[1] & kUnknownWord1Bits)) {
        refuse("unknown bits in the entry " + hex(entry[0]) + " " + hex(entry[1]));
        return;
    }
    if (entry[1] & (kCdm | kCpw)) {
        refuse("cdm and cpw are not modelled: " + hex(entry[1]));
        return;
    }
    if (channelMask != 0) {
        refuse("a copy under the channel mask " + hex(channelMask) + " is not modelled");
        return;
    }

    const PixelFormat* source = nullptr;
    const PixelFormat* destination = nullptr;
    if (mode == kCopyMode) {
        for (const Conversion& c : kConversions)
            if (c.modeBits == modeBits)
                source = pixelFormat(c.sourceCode), destination = pixelFormat(c.destinationCode);
    } else {
        for (const Resolve& r : kResolves)
            if (r.modeBits == modeBits)
                source = destination = pixelFormat(r.code);
    }
    if (!source) {
        refuse("unknown colour mode " + hex(modeBits) + " in LX_PE_OVG_CE_MODE " + std::to_string(mode));
        return;
    }

    const uint32_t width = (entry[0] & kSizeBits) + 1;
    const uint32_t height = ((entry[0] >> 12) & kSizeBits) + 1;
    const bool backwards = entry[1] & kRvd;
    const uint32_t units = mode == kResolveMode ? kResolveSamples : 1;
    Side src{source, units, (static_cast<uint64_t>(width) * units + (entry[1] & kSkipBits)) * (source->bpp / 8), 0};
    Side dst{destination, 1, (static_cast<uint64_t>(width) + ((entry[1] >> 16) & kSkipBits)) * (destination->bpp / 8), 0};
    struct Resolving {
        Side& side;
        uint32_t address;
        bool throughMmu;
        const char* name;
    } const sides[] = {{src, entry[2], (entry[1] & kSame) != 0, "source"},
                       {dst, entry[3], (entry[1] & kDame) != 0, "destination"}};
    for (const Resolving& s : sides) {
        const uint64_t pixelBytes = static_cast<uint64_t>(s.side.units) * s.side.bytes();
        s.side.extent = (height - 1) * s.side.pitch + width * pixelBytes;
        const uint64_t first = backwards ? s.address + pixelBytes - s.side.extent : s.address;
        if (backwards && s.address + pixelBytes < s.side.extent)
            s.side.memory = nullptr;
        else
            s.side.memory = gpu_.gpuPointer(static_cast<uint32_t>(first), s.side.extent,
                                            s.throughMmu ? Resolution::Mmu : Resolution::Physical);
        if (!s.side.memory) {
            refuse(std::string(s.name) + " at " + hex(s.address) + (s.throughMmu ? " through the MMU" : " physical") +
                   " resolves to nothing");
            return;
        }
    }

    const bool raw = mode == kCopyMode && source == destination;
    const uint32_t sbpp = source->bpp, dbpp = destination->bpp;
    const ColourDecoder decode(*source);
    // Pixels of the copied formats are whole bytes, one to four.
    const uint64_t inStep = static_cast<uint64_t>(units) * src.bytes(), outStep = dst.bytes();
    // A copy whose source and destination share no byte reads nothing it writes, so the order
    // of its pixels does not matter: a plain copy moves each row's bytes. Every byte the GPU
    // reaches has one address here (the memory window, or an aperture's one mapping), so blocks
    // at separate addresses are separate, whichever way each side resolved.
    const uintptr_t srcFirst = reinterpret_cast<uintptr_t>(src.memory);
    const uintptr_t dstFirst = reinterpret_cast<uintptr_t>(dst.memory);
    const bool apart = srcFirst + src.extent <= dstFirst || dstFirst + dst.extent <= srcFirst;
    auto copyRow = [&](uint32_t y) {
        const uint8_t* in = src.at(0, y);
        uint8_t* out = dst.at(0, y);
        if (raw && apart) {
            std::memcpy(out, in, width * outStep);
            return;
        }
        // Pixel by pixel in the engine's order, so an overlapping copy reads what it has written.
        for (uint32_t k = 0; k < width; ++k) {
            const uint32_t x = backwards ? width - 1 - k : k;
            const uint8_t* pixel = in + x * inStep;
            uint32_t value;
            if (mode == kResolveMode) {
                uint32_t samples[kResolveSamples];
                for (uint32_t i = 0; i < kResolveSamples; ++i)
                    samples[i] = readPixel(pixel, i, sbpp);
                value = averageFields(*source, samples);
            } else {
                value = readPixel(pixel, 0, sbpp);
                if (!raw)
                    value = packColour(*destination, decode(value));
            }
            writePixel(out, x, dbpp, value);
        }
    };
    if (backwards) {
        for (uint32_t y = height; y-- > 0;)
            copyRow(y);
    } else {
        for (uint32_t y = 0; y < height; ++y)
            copyRow(y);
    }
}

}  // namespace simgpu
