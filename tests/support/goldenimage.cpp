#include "goldenimage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

// Private copies, so no other target's stb symbols clash with these.
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace vnq::test {

namespace {

// The working directory the test started in (tests may change it to a board root of their own,
// which is gone when they end); a mismatch's images are left there.
const std::string startDirectory = std::filesystem::current_path().string() + "/";

bool updating()
{
    const char* env = std::getenv("VNQ_UPDATE_GOLDEN");
    return env && std::string(env) == "1";
}

}  // namespace

bool loadPng(const std::string& path, RgbaImage& out)
{
    int w = 0, h = 0, channels = 0;
    stbi_uc* pixels = stbi_load(path.c_str(), &w, &h, &channels, 4);
    if (!pixels)
        return false;
    out.width = w;
    out.height = h;
    out.bytes.assign(pixels, pixels + size_t(w) * h * 4);
    stbi_image_free(pixels);
    return true;
}

bool writePngFile(const std::string& path, const RgbaImage& image)
{
    return stbi_write_png(path.c_str(), image.width, image.height, 4, image.bytes.data(), image.width * 4) != 0;
}

void expectImageIn(const std::string& goldenDir, const std::string& name, const RgbaImage& actual, int tolerance,
                   double allowedFraction)
{
    const std::string path = goldenDir + "/" + name + ".png";
    if (updating()) {
        std::filesystem::create_directories(goldenDir);
        EXPECT_TRUE(writePngFile(path, actual)) << path;
        ADD_FAILURE() << "golden image written, review it: " << path;
        return;
    }
    RgbaImage stored;
    if (!loadPng(path, stored)) {
        ADD_FAILURE() << "missing golden image " << path << " (VNQ_UPDATE_GOLDEN=1 writes it)";
        return;
    }
    const int w = stored.width, h = stored.height;
    const std::vector<uint8_t>& golden = stored.bytes;
    RgbaImage difference{actual.width, actual.height, std::vector<uint8_t>(actual.bytes.size(), 0)};
    long differing = 0;
    if (w == actual.width && h == actual.height) {
        for (size_t p = 0; p < actual.bytes.size(); p += 4) {
            bool off = false;
            for (size_t c = 0; c < 4; ++c)
                off |= std::abs(int(golden[p + c]) - int(actual.bytes[p + c])) > tolerance;
            differing += off;
            difference.bytes[p] = off ? 255 : 0;
            difference.bytes[p + 3] = 255;
        }
    } else {
        differing = -1;
    }
    const long pixels = long(actual.width) * actual.height;
    if (differing == 0 || (differing > 0 && double(differing) <= allowedFraction * double(pixels)))
        return;
    const std::string actualPath = startDirectory + name + ".actual.png";
    const std::string differencePath = startDirectory + name + ".difference.png";
    writePngFile(actualPath, actual);
    std::string left = actualPath;
    if (differing > 0) {
        writePngFile(differencePath, difference);
        left += " and " + differencePath;
    }
    ADD_FAILURE() << "image differs from golden " << path << ": "
                  << (differing < 0 ? std::string("size ") + std::to_string(w) + " x " + std::to_string(h)
                                    : std::to_string(differing) + " of " + std::to_string(pixels) + " pixels")
                  << " (" << left << " written)";
}

}  // namespace vnq::test
