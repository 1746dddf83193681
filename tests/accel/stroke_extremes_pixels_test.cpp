// Stroke values no path length can use, through vgDrawPath on the GPU model: a line width that is
// infinite or not a number strokes nothing (the fill still draws) and leaves the next stroke
// exact; dashes and gaps that are infinite or as long as the largest float draw as dashes longer
// than the path. The GPU never gets a non-finite stroke or dash constant (no protocol error).
#include <VG/openvg.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "vgsurfacefixture.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF, kBlack = 0x000000FF;
constexpr float kInf = std::numeric_limits<float>::infinity(), kBig = std::numeric_limits<float>::max();

class StrokeExtremes : public vnq::test::VgSurfaceTest {
protected:
    VGPaint paint = VG_INVALID_HANDLE;

    // A black 565 window, a white paint, width 10, butt caps, non-antialiased.
    void SetUp() override
    {
        VgSurfaceTest::SetUp();
        makeCurrent(vnq::test::VgSurfaceSpec{1, 128, 64, true});
        paint = vgCreatePaint();
        vgSetColor(paint, kWhite);
        vgSetPaint(paint, VG_FILL_PATH | VG_STROKE_PATH);
        vgSeti(VG_RENDERING_QUALITY, VG_RENDERING_QUALITY_NONANTIALIASED);
        vgSeti(VG_STROKE_CAP_STYLE, VG_CAP_BUTT);
        vgSetf(VG_STROKE_LINE_WIDTH, 10);
    }
    void TearDown() override
    {
        vgDestroyPaint(paint);
        VgSurfaceTest::TearDown();
    }

    // White pixels after drawing `data` (move, then lines) with `modes` on a black surface.
    long drawn(const std::vector<float>& data, VGbitfield modes)
    {
        const VGfloat black[4] = {0, 0, 0, 1};
        vgSetfv(VG_CLEAR_COLOR, 4, black);
        vgClear(0, 0, width, height);
        std::vector<VGubyte> segments{VG_MOVE_TO_ABS};
        segments.resize(data.size() / 2, VG_LINE_TO_ABS);
        const VGPath p = vgCreatePath(VG_PATH_FORMAT_STANDARD, VG_PATH_DATATYPE_F, 1, 0, 0, 0, VG_PATH_CAPABILITY_ALL);
        vgAppendPathData(p, VGint(segments.size()), segments.data(), data.data());
        vgDrawPath(p, modes);
        vgDestroyPath(p);
        vgFinish();
        long n = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const uint32_t c = pixel(x, y);
                EXPECT_TRUE(c == kWhite || c == kBlack) << x << "," << y;
                n += c == kWhite;
            }
        EXPECT_EQ(vgGetError(), VG_NO_ERROR);
        return n;
    }

    // A 100-pixel horizontal line at y = 30: 100 x 10 pixels stroked solid.
    long line() { return drawn({10, 30, 110, 30}, VG_STROKE_PATH); }
};

TEST_F(StrokeExtremes, AWidthThatIsNotFiniteStrokesNothing)
{
    for (float w : {kInf, -kInf, std::numeric_limits<float>::quiet_NaN()}) {
        SCOPED_TRACE(w);
        vgSetf(VG_STROKE_LINE_WIDTH, w);
        EXPECT_EQ(line(), 0);
        // A 20 x 20 square filled and stroked: the fill alone.
        EXPECT_EQ(drawn({20, 20, 40, 20, 40, 40, 20, 40}, VG_FILL_PATH | VG_STROKE_PATH), 400);
        vgSetf(VG_STROKE_LINE_WIDTH, 10);
        EXPECT_EQ(line(), 1000);
    }
}

TEST_F(StrokeExtremes, DashesBeyondAnyLengthDrawAsLongDashes)
{
    const struct {
        std::vector<VGfloat> pattern;
        long pixels;
    } table[] = {
        {{kInf, 5}, 1000},                        // one dash longer than the line
        {{5, kInf}, 50},                          // one dash of 5, then a gap to the end
        {{kBig, kBig}, 1000},
        {std::vector<VGfloat>(16, kBig), 1000},   // a pattern whose sum passes the largest float
        {{5, 5, kInf, 1}, 50 + 900},              // 5 on, 5 off, then on to the end
    };
    for (const auto& row : table) {
        SCOPED_TRACE(testing::Message() << row.pattern[0] << ", " << row.pattern[1] << " (" << row.pattern.size()
                                        << " values)");
        vgSetfv(VG_STROKE_DASH_PATTERN, VGint(row.pattern.size()), row.pattern.data());
        EXPECT_EQ(line(), row.pixels);
    }
}

}  // namespace
