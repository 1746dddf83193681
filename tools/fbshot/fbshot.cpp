// vnq_fbshot [--osd] [file.png]: saves the simulated screen of the board root (VNQ_ROOT) as an
// 8-bit RGB PNG. The framebuffer file "/dev/fb0" is read as its sidecar "/dev/fb0.info"
// describes it; each colour field is widened to 8 bits by bit replication. --osd saves the OSD
// plane instead of the main plane.
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include "fb_info.h"
#include "vnq_boardroot.h"

namespace {

// A colour field of `length` bits widened to 8 bits by repeating its bits.
uint8_t widen(uint32_t value, uint32_t length)
{
    if (length == 0)
        return 0;
    if (length >= 8)
        return static_cast<uint8_t>(value >> (length - 8));
    uint32_t out = 0;
    uint32_t bits = 0;
    while (bits < 8) {
        out = (out << length) | value;
        bits += length;
    }
    return static_cast<uint8_t>(out >> (bits - 8));
}

uint8_t field(uint32_t pixel, const simfb::BitField& f)
{
    uint32_t mask = f.length >= 32 ? 0xFFFFFFFFu : (1u << f.length) - 1;
    return widen((pixel >> f.offset) & mask, f.length);
}

int fail(const std::string& message)
{
    std::fprintf(stderr, "vnq_fbshot: %s\n", message.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    bool osd = false;
    std::string out = "screen.png";
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--osd") == 0)
            osd = true;
        else if (argv[i][0] == '-') {
            std::fprintf(stderr, "usage: vnq_fbshot [--osd] [file.png]\n");
            return 2;
        } else
            out = argv[i];
    }
    const char* root = std::getenv("VNQ_ROOT");
    if (!root || !*root)
        return fail("VNQ_ROOT names no board root");
    char fbPath[PATH_MAX];
    if (!vnq_board_path(fbPath, sizeof fbPath, "/dev/fb0"))
        return fail("board root path too long");
    simfb::FbInfo info;
    if (!simfb::readFbInfo(std::string(fbPath) + ".info", info))
        return fail(std::string("no screen description at ") + fbPath + ".info");
    std::ifstream file(fbPath, std::ios::binary);
    if (!file)
        return fail(std::string("no framebuffer file at ") + fbPath);
    std::vector<uint8_t> memory((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());

    const uint32_t bytesPerPixel = info.bitsPerPixel / 8;
    if (bytesPerPixel < 1 || bytesPerPixel > 4 || info.bitsPerPixel % 8 != 0)
        return fail("unsupported depth " + std::to_string(info.bitsPerPixel));
    const uint64_t plane = osd ? info.osdOffset : 0;
    const uint64_t end = plane + static_cast<uint64_t>(info.lineLength) * info.yres;
    if (info.xres == 0 || info.yres == 0 || static_cast<uint64_t>(info.xres) * bytesPerPixel > info.lineLength ||
        end > memory.size())
        return fail(std::string("framebuffer file shorter than its description: ") + fbPath);

    std::vector<uint8_t> rgb(static_cast<size_t>(info.xres) * info.yres * 3);
    for (uint32_t y = 0; y < info.yres; ++y) {
        const uint8_t* line = memory.data() + plane + static_cast<uint64_t>(y) * info.lineLength;
        for (uint32_t x = 0; x < info.xres; ++x) {
            uint32_t pixel = 0;
            for (uint32_t b = 0; b < bytesPerPixel; ++b)  // little-endian, as the board stores it
                pixel |= static_cast<uint32_t>(line[x * bytesPerPixel + b]) << (8 * b);
            uint8_t* px = &rgb[(static_cast<size_t>(y) * info.xres + x) * 3];
            px[0] = field(pixel, info.red);
            px[1] = field(pixel, info.green);
            px[2] = field(pixel, info.blue);
        }
    }
    if (!stbi_write_png(out.c_str(), static_cast<int>(info.xres), static_cast<int>(info.yres), 3, rgb.data(),
                        static_cast<int>(info.xres * 3)))
        return fail("cannot write " + out);
    std::printf("vnq_fbshot: wrote %s (%ux%u%s)\n", out.c_str(), info.xres, info.yres, osd ? ", OSD plane" : "");
    return 0;
}
