#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vnq::test {

// An image of RGBA bytes, rows top down.
struct RgbaImage {
    int width = 0, height = 0;
    std::vector<uint8_t> bytes;  // width * height * 4
};

// Compares an image with the golden PNG <goldenDir>/<name>.png: a pixel matches when each
// channel differs by at most `tolerance`, and the image matches when at most `allowedFraction`
// of its pixels do not. A missing golden fails the test; with VNQ_UPDATE_GOLDEN=1 in the
// environment the image is written as the golden (and the test still fails, to be re-run after
// the file is reviewed). A mismatch leaves <name>.actual.png and <name>.difference.png
// (differing pixels red on black) in the directory the test started in and names both.
void expectImageIn(const std::string& goldenDir, const std::string& name, const RgbaImage& actual, int tolerance,
                   double allowedFraction = 0.0);

// Writes the image as an 8-bit RGBA PNG; false when the file cannot be written.
bool writePngFile(const std::string& path, const RgbaImage& image);

// The PNG at `path` as RGBA bytes (an image without alpha reads alpha 255); false when it cannot
// be read.
bool loadPng(const std::string& path, RgbaImage& out);

}  // namespace vnq::test

// The golden directory of the calling test area (tests/<area>/golden), set by the build.
#ifdef VNQ_TEST_GOLDEN_DIR
inline void expectGoldenImage(const std::string& name, const vnq::test::RgbaImage& actual, int tolerance = 0,
                              double allowedFraction = 0.0)
{
    vnq::test::expectImageIn(VNQ_TEST_GOLDEN_DIR, name, actual, tolerance, allowedFraction);
}
#endif
