#pragma once

// The sidecar that describes the simulated screen: "<board root>/dev/fb0.info" beside the
// framebuffer file "<board root>/dev/fb0", one "key value" line per field:
//   xres, yres, bits_per_pixel, line_length, smem_start, smem_len, osd_offset,
//   red_offset, red_length, green_offset, green_length, blue_offset, blue_length,
//   transp_offset, transp_length
// and optionally vsync_hz, the refresh rate the vertical-sync wait keeps (absent or 0: the
// wait returns at once). Numbers are decimal or 0x-prefixed hexadecimal. The framebuffer file holds smem_len bytes:
// the main plane at offset 0 and the OSD plane at osd_offset.

#include <cstdint>
#include <string>
#include <vector>

namespace simfb {

struct BitField {
    uint32_t offset = 0;
    uint32_t length = 0;
};

struct FbInfo {
    uint32_t xres = 0;
    uint32_t yres = 0;
    uint32_t bitsPerPixel = 0;
    uint32_t lineLength = 0;  // bytes per line
    uint32_t smemStart = 0;   // bus address of the framebuffer memory
    uint32_t smemLen = 0;     // bytes of framebuffer memory (both planes)
    uint32_t osdOffset = 0;   // byte offset of the OSD plane
    BitField red, green, blue, transp;
    uint32_t vsyncHz = 0;     // optional; 0 when the sidecar has no vsync_hz line
};

constexpr uint32_t kDefaultSmemStart = 0xA0000000u;

// The board's screen at a depth of 16 (RGB565) or 32 (ARGB8888, blue byte first), with an
// OSD plane of the same size right after the main plane.
FbInfo boardScreen(uint32_t xres = 480, uint32_t yres = 272, uint32_t bitsPerPixel = 16);

std::string formatFbInfo(const FbInfo& info);
// False when a field is missing or a line cannot be read.
bool parseFbInfo(const std::string& text, FbInfo& info);
bool readFbInfo(const std::string& path, FbInfo& info);

// Writes the framebuffer file (zeroed, smem_len bytes) and its sidecar.
bool writeFramebuffer(const std::string& fbPath, const FbInfo& info);

// One plane of the screen as its pixel values (little-endian in memory, as the board stores
// them), xres * yres of them, rows from the top.
struct ScreenPixels {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint32_t> values;
};

// Reads the main plane (or with osd the OSD plane) out of the framebuffer file's bytes; false
// with *error set when the depth is not whole bytes of 1 to 4 or the memory is shorter than
// the description.
bool readPlane(const std::vector<uint8_t>& memory, const FbInfo& info, bool osd, ScreenPixels& out,
               std::string* error);
// Reads the framebuffer file fbPath and its plane as readPlane does.
bool readScreen(const std::string& fbPath, const FbInfo& info, bool osd, ScreenPixels& out, std::string* error);

// The pixel value as 8-bit red, green and blue, each colour field widened by repeating its bits.
void pixelToRgb(uint32_t value, const FbInfo& info, uint8_t rgb[3]);

}  // namespace simfb
