// The GPU model's image quad at register level: entry 7 derives the image matrix, entry 947
// puts the image rectangle's edges through it and writes the planes of the normalised image
// coordinates, which the scan in image mode fills.
#include "path_fixture.h"

#include <cmath>
#include <functional>
#include <string>

#include "model/gpu_model.h"

namespace gputest {
namespace {

class ImageQuad : public GpuPaths {
public:
    float rz(word32 reg) const
    {
        const uint32_t bits = gpu.reg(Unit::RZ, reg);
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }

    // The normalised image coordinates the planes give at pixel (x, row).
    void planesAt(uint32_t x, uint32_t row, double& s, double& t) const
    {
        const double w = rz(LX_RZ_IMG_IWF) + rz(LX_RZ_IMG_IWA) * x + rz(LX_RZ_IMG_IWB) * row;
        s = (rz(LX_RZ_IMG_SF) + rz(LX_RZ_IMG_SA) * x + rz(LX_RZ_IMG_SB) * row) / w;
        t = (rz(LX_RZ_IMG_TF) + rz(LX_RZ_IMG_TA) * x + rz(LX_RZ_IMG_TB) * row) / w;
    }
};

TEST_F(ImageQuad, TheImageRectangleGoesThroughTheImageMatrix)
{
    struct Case {
        const char* name;
        std::vector<float> m;
        double pixels;
        uint32_t probeX;
        float probeY;  // user y of a pixel inside
    } const cases[] = {
        {"translated", {1, 0, 0, 0, 1, 0, 20, 30, 1}, 100, 25, 35},
        {"scaled by 2", {2, 0, 0, 0, 2, 0, 20, 30, 1}, 400, 38, 48},
        {"turned by 90 degrees", {0, 1, 0, -1, 0, 0, 20, 30, 1}, 100, 15, 35},
        {"projective with a corner behind the eye", {1, 0, -0.1f, 0, 1, 0, 20, 30, 1}, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        imageMatrix(c.m);
        drawImage(10, 10, 0);
        const std::vector<uint32_t> got = coverage();
        EXPECT_NEAR(coveredPixels(got), c.pixels, 1e-9);
        if (c.pixels > 0) {
            EXPECT_EQ(at(got, c.probeX, row(c.probeY)), 255u);
        }
    }
}

// The sample point is the origin measured from the pixel's lower left corner as the surface's
// y axis runs: on the flipped surface (device rows top down) an origin of 0 is the pixel's
// bottom edge, (x, row + 1) in device pixels, so that both orientations sample alike.
TEST_F(ImageQuad, PlanesGiveTheImageCoordinatesAtTheSamplePoint)
{
    struct Case {
        const char* name;
        std::vector<float> m;
        float origin;
        bool flipped;
        // the image point under device point (x, y)
        double (*s)(double x, double y);
        double (*t)(double x, double y);
    } const cases[] = {
        {"translated, nearest", {1, 0, 0, 0, 1, 0, 20, 30, 1}, 0.5f, true, [](double x, double) { return x - 20; },
         [](double, double y) { return kHeight - y - 30; }},
        {"translated, filtered", {1, 0, 0, 0, 1, 0, 20, 30, 1}, 0, true, [](double x, double) { return x - 20; },
         [](double, double y) { return kHeight - y - 30; }},
        {"translated, filtered, unflipped", {1, 0, 0, 0, 1, 0, 20, 30, 1}, 0, false,
         [](double x, double) { return x - 20; }, [](double, double y) { return y - 30; }},
        {"projective", {1, 0, 0.01f, 0, 1, 0, 0, 0, 1}, 0.5f, true, [](double x, double) { return x / (1 - 0.01 * x); },
         [](double x, double y) { return (kHeight - y) / (1 - 0.01 * x); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        imageMatrix(c.m, c.flipped ? 0 : kNoFlip);
        drawImage(10, 8, c.origin);
        for (auto [x, y] : {std::pair<uint32_t, uint32_t>{25, 60}, {21, 64}, {40, 10}}) {
            double s, t;
            planesAt(x, y, s, t);
            const double sx = x + c.origin, sy = y + (c.flipped ? 1 - c.origin : c.origin);
            EXPECT_NEAR(s, c.s(sx, sy) / 10, 1e-5) << x << "," << y;
            EXPECT_NEAR(t, c.t(sx, sy) / 8, 1e-5) << x << "," << y;
        }
    }
}

TEST_F(ImageQuad, ImagePaintMatricesComposeWhenTheirEntryRuns)
{
    const simgpu::VpDerived& d = gpu.model().vertexProcessor().derived();
    imageMatrix({2, 0, 0, 0, 2, 0, 0, 0, 1}, kNoFlip);
    send(Commands().constant(LX_VCNST_OVG_FP2U1, {1, 0, 3}).constant(LX_VCNST_OVG_FP2U2, {0, 1, 0}).run(28, 0));
    double h[3];
    d.imagePaint.apply({1, 1}, h);
    EXPECT_EQ(h[0] / h[2], 8);
    send(Commands().constant(LX_VCNST_OVG_FP2U1, {1, 0, 5}).run(7, 2 | kNoFlip));
    d.imagePaint.apply({1, 1}, h);
    EXPECT_EQ(h[0] / h[2], 8) << "entry 28 did not run";
    d.imagePaintToDevice.apply({1, 1}, h);
    EXPECT_EQ(h[0] / h[2], 12);

    send(Commands().run(28, 1));
    expectOneError("unknown bits");
    send(Commands().list(947, {{1, 2, 3}}));
    expectOneError("3 data words instead of 4");
}

// The colour-matrix filter's microcode over instruction 0 takes the drawing microcode's place:
// until the drawing microcode is loaded again, every entry image drawing runs is refused.
TEST_F(ImageQuad, EntriesAfterAColourMatrixLoadWantTheDrawingMicrocodeAgain)
{
    word32 words = 0;
    const word32* image = nullptr;
    ASSERT_EQ(cglGetUcodeInfo(CGL_UCODE_MTX, &words, &image), 1);
    imageMatrix({1, 0, 0, 0, 1, 0, 20, 30, 1});
    gputest::loadMicrocode(microcode(), words / CGL_VP_INST_WORDS);
    struct Case {
        const char* name;
        std::function<void(ImageQuad&)> act;
    } const cases[] = {
        {"the image matrix", [](ImageQuad& t) { t.imageMatrix({1, 0, 0, 0, 1, 0, 0, 0, 1}); }},
        {"the image paint matrix", [](ImageQuad& t) { t.send(Commands().run(28, 0)); }},
        {"the image quad", [](ImageQuad& t) { t.send(Commands().list(947, {{4, 4, 0.25f, 0.25f}})); }},
        {"the paint program", [](ImageQuad& t) { t.send(Commands().ctrl(LX_VP_CTRL0, 16384).list(49, {{0, 0, 1, 0}})); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.act(*this);
        expectOneError("without the drawing microcode");
    }
    loadMicrocode(kStaticInstructions);
    imageMatrix({1, 0, 0, 0, 1, 0, 0, 0, 1});
    drawImage(4, 4, 0.5f);
    EXPECT_EQ(coveredPixels(coverage()), 16);
}

}  // namespace
}  // namespace gputest
