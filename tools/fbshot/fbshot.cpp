// vnq_fbshot [--osd] [file.png]: saves the simulated screen of the board root (VNQ_ROOT) as an
// 8-bit RGB PNG. The framebuffer file "/dev/fb0" is read as its sidecar "/dev/fb0.info"
// describes it; each colour field is widened to 8 bits by bit replication. --osd saves the OSD
// plane instead of the main plane.
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include "fb_info.h"
#include "vnq_boardroot.h"

namespace {

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
    simfb::ScreenPixels screen;
    std::string error;
    if (!simfb::readScreen(fbPath, info, osd, screen, &error))
        return fail(error);
    std::vector<uint8_t> rgb(screen.values.size() * 3);
    for (size_t i = 0; i < screen.values.size(); ++i)
        simfb::pixelToRgb(screen.values[i], info, &rgb[i * 3]);
    if (!stbi_write_png(out.c_str(), static_cast<int>(info.xres), static_cast<int>(info.yres), 3, rgb.data(),
                        static_cast<int>(info.xres * 3)))
        return fail("cannot write " + out);
    std::printf("vnq_fbshot: wrote %s (%ux%u%s)\n", out.c_str(), info.xres, info.yres, osd ? ", OSD plane" : "");
    return 0;
}
