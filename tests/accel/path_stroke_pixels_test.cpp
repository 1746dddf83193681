// Stroked paths through vgDrawPath, the library's stroke list and the GPU model's stroker, on the
// 565 window and an 8888 pbuffer: exact pixels of lines and rings with butt and square caps and
// miter joins, round caps and joins by area, miters within and beyond their limit, dots of
// subpaths without length, curves and a non-uniform scale against goldens, the stroke drawn over
// the fill, and the caching of the stroke list with the path.
#include <VG/openvg.h>
#include <VG/vgu.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "cgl_unitreg.h"
#include "vg/al_lx740/vg_al_lx740_drawpath.h"
#include "vg/al_lx740/vg_al_lx740_objects.h"
#include "vg/common/vg_frame.h"
#include "vg/common/vg_path.h"
#include "vg/common/vg_share.h"
#include "vgsurfacefixture.h"

namespace {

using vnq::test::VgSurfaceSpec;

constexpr EGLint kRgb565 = 1, kRgba8888 = 7;
constexpr uint32_t kWhite = 0xFFFFFFFF, kBlack = 0x000000FF;
constexpr double kPi = 3.14159265358979;

struct Surface {
    const char* name;
    VgSurfaceSpec spec;
};

const Surface kSurfaces[] = {
    {"565 window", {kRgb565, 128, 100, true}},
    {"8888 pbuffer", {kRgba8888, 128, 100, false}},
};

class PathStroke : public vnq::test::VgSurfaceTest {
protected:
    VGPaint paint = VG_INVALID_HANDLE;
    std::vector<VGPath> paths;

    // A black surface, a white paint for fill and stroke, width 10, butt caps, miter joins.
    void start(const VgSurfaceSpec& spec)
    {
        makeCurrent(spec);
        const VGfloat black[4] = {0, 0, 0, 1};
        vgSetfv(VG_CLEAR_COLOR, 4, black);
        vgClear(0, 0, width, height);
        paint = vgCreatePaint();
        vgSetColor(paint, kWhite);
        vgSetPaint(paint, VG_FILL_PATH | VG_STROKE_PATH);
        vgSeti(VG_RENDERING_QUALITY, VG_RENDERING_QUALITY_BETTER);
        vgSetf(VG_STROKE_LINE_WIDTH, 10);
        vgSeti(VG_STROKE_CAP_STYLE, VG_CAP_BUTT);
        vgSeti(VG_STROKE_JOIN_STYLE, VG_JOIN_MITER);
        vgLoadIdentity();
    }

    void clear() { vgClear(0, 0, width, height); }

    VGPath path(const std::vector<VGubyte>& segments, const std::vector<float>& data)
    {
        const VGPath p = vgCreatePath(VG_PATH_FORMAT_STANDARD, VG_PATH_DATATYPE_F, 1, 0, 0, 0, VG_PATH_CAPABILITY_ALL);
        vgAppendPathData(p, VGint(segments.size()), segments.data(), data.data());
        paths.push_back(p);
        return p;
    }

    VGPath line(float x0, float y0, float x1, float y1)
    {
        return path({VG_MOVE_TO_ABS, VG_LINE_TO_ABS}, {x0, y0, x1, y1});
    }

    static ALpath* lists(VGPath p)
    {
        return static_cast<ALpath*>(VGFUNC_FindPath(VGVAL_vgcurrentcontexthandle->sharedState, p)->aldep);
    }

    // The picture once drawn: colour at OpenVG (x, y).
    struct Picture {
        vnq::test::RgbaImage image;
        bool flipped;
        uint32_t at(int x, int y) const
        {
            const int row = flipped ? image.height - 1 - y : y;
            const uint8_t* p = &image.bytes[(size_t(row) * image.width + x) * 4];
            return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
        }
        int red(int x, int y) const { return int(at(x, y) >> 24); }
        // Pixels that are not black, with a check on each.
        size_t count(const std::function<bool(int, int)>& where = nullptr) const
        {
            size_t n = 0;
            for (int y = 0; y < image.height; ++y)
                for (int x = 0; x < image.width; ++x)
                    if (at(x, y) != kBlack && (!where || where(x, y)))
                        ++n;
            return n;
        }
        double coverage() const
        {
            double sum = 0;
            for (int y = 0; y < image.height; ++y)
                for (int x = 0; x < image.width; ++x)
                    sum += red(x, y) / 255.0;
            return sum;
        }
    };

    Picture picture() { return Picture{image(), VGALVAL_surface_flip != 0}; }

    // Every lit pixel is white and lies in [x0, x1) x [y0, y1); returns how many there are.
    static size_t whiteBox(const Picture& p, int x0, int y0, int x1, int y1)
    {
        size_t n = 0;
        for (int y = 0; y < p.image.height; ++y)
            for (int x = 0; x < p.image.width; ++x) {
                const bool inside = x >= x0 && x < x1 && y >= y0 && y < y1;
                if (p.at(x, y) == kBlack)
                    continue;
                ++n;
                EXPECT_TRUE(inside && p.at(x, y) == kWhite) << x << "," << y << " " << std::hex << p.at(x, y);
            }
        return n;
    }

    // Command-master hand-overs of GPU-resident lists in the log.
    bool handedOver(word32 address) const
    {
        for (const simgpu::Event& e : gpu.log())
            if (e.stream == simgpu::Stream::Mmio && e.kind == simgpu::Kind::Write && e.unit == simgpu::Unit::Mem &&
                e.reg == LX_CM_ADDR && e.value == address)
                return true;
        return false;
    }

    // VP constant components written by any route, in order: (constant x 4 + component, word).
    std::vector<std::pair<word32, word32>> constantWrites() const
    {
        std::vector<std::pair<word32, word32>> out;
        for (const simgpu::Event& e : gpu.log())
            if (e.kind == simgpu::Kind::Write && e.unit == simgpu::Unit::VPConst)
                out.emplace_back(e.reg, e.value);
        return out;
    }

    void finish()
    {
        for (VGPath p : paths)
            vgDestroyPath(p);
        paths.clear();
        if (paint != VG_INVALID_HANDLE)
            vgDestroyPaint(paint);
        paint = VG_INVALID_HANDLE;
        EXPECT_EQ(vgGetError(), VG_NO_ERROR);
        terminate();
    }

    void TearDown() override
    {
        if (VGVAL_vgcurrentcontexthandle)
            finish();
        VgSurfaceTest::TearDown();
    }
};

TEST_F(PathStroke, LinesAtWholeCoordinatesCoverExactlyTheirBoxes)
{
    const struct {
        const char* name;
        VGCapStyle cap;
        float x0, y0, x1, y1;
        int bx0, by0, bx1, by1;  // the covered box
    } table[] = {
        {"butt", VG_CAP_BUTT, 10, 50, 110, 50, 10, 45, 110, 55},
        {"square", VG_CAP_SQUARE, 10, 50, 110, 50, 5, 45, 115, 55},
        {"vertical butt", VG_CAP_BUTT, 60, 10, 60, 90, 55, 10, 65, 90},
        {"vertical square", VG_CAP_SQUARE, 60, 10, 60, 90, 55, 5, 65, 95},
    };
    for (const Surface& s : kSurfaces)
        for (const auto& row : table) {
            SCOPED_TRACE(std::string(s.name) + ": " + row.name);
            start(s.spec);
            vgSeti(VG_STROKE_CAP_STYLE, row.cap);
            vgDrawPath(line(row.x0, row.y0, row.x1, row.y1), VG_STROKE_PATH);
            EXPECT_EQ(whiteBox(picture(), row.bx0, row.by0, row.bx1, row.by1),
                      size_t(row.bx1 - row.bx0) * size_t(row.by1 - row.by0));
            finish();
        }
}

TEST_F(PathStroke, RoundCapsAddAHalfDiscAtEachEnd)
{
    for (const Surface& s : kSurfaces) {
        SCOPED_TRACE(s.name);
        start(s.spec);
        vgSeti(VG_STROKE_CAP_STYLE, VG_CAP_ROUND);
        vgDrawPath(line(10, 50, 110, 50), VG_STROKE_PATH);
        const Picture p = picture();
        EXPECT_NEAR(p.coverage() - 1000, kPi * 25, kPi * 25 * 0.02);
        EXPECT_EQ(p.at(60, 50), kWhite);
        EXPECT_EQ(p.at(6, 50), kWhite);    // inside the left cap
        EXPECT_EQ(p.at(5, 45), kBlack);    // its corner is cut off
        EXPECT_EQ(p.at(113, 50), kWhite);  // the right cap
        EXPECT_EQ(p.count([](int x, int) { return x < 5 || x >= 115; }), 0u);
        finish();
    }
}

TEST_F(PathStroke, ADiagonalLineCoversItsRectangleSymmetrically)
{
    for (const Surface& s : kSurfaces) {
        SCOPED_TRACE(s.name);
        start(s.spec);
        vgDrawPath(line(20, 20, 80, 80), VG_STROKE_PATH);
        const Picture p = picture();
        EXPECT_NEAR(p.coverage(), 60 * std::sqrt(2.0) * 10, 60 * std::sqrt(2.0) * 10 * 0.01);
        // Symmetric about the line itself, and about its middle along the sides (the butt ends
        // run through rows of sample points, where the sample grid has no point symmetry).
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x) {
                ASSERT_NEAR(p.red(x, y), p.red(y, x), 9) << x << "," << y;
                if (x + y > 44 && x + y < 154) {
                    ASSERT_NEAR(p.red(x, y), p.red(99 - x, 99 - y), 9) << x << "," << y;
                }
            }
        EXPECT_EQ(p.at(50, 50), kWhite);
        EXPECT_EQ(p.at(50, 60), kBlack);  // its nearest corner 6.4 from the centre line
        finish();
    }
}

TEST_F(PathStroke, AClosedSquareIsARingWithSquareCorners)
{
    for (const Surface& s : kSurfaces)
        for (VGJoinStyle join : {VG_JOIN_MITER, VG_JOIN_ROUND, VG_JOIN_BEVEL}) {
            SCOPED_TRACE(std::string(s.name) + " join " + std::to_string(join));
            start(s.spec);
            vgSeti(VG_STROKE_JOIN_STYLE, join);
            vgDrawPath(path({VG_MOVE_TO_ABS, VG_LINE_TO_ABS, VG_LINE_TO_ABS, VG_LINE_TO_ABS, VG_CLOSE_PATH},
                            {20, 20, 80, 20, 80, 80, 20, 80}),
                       VG_STROKE_PATH);
            const Picture p = picture();
            if (join == VG_JOIN_MITER) {
                const auto ring = [](int x, int y) {
                    return x >= 15 && x < 85 && y >= 15 && y < 85 && !(x >= 25 && x < 75 && y >= 25 && y < 75);
                };
                EXPECT_EQ(p.count(ring), 70u * 70u - 50u * 50u);
                EXPECT_EQ(p.count(), 70u * 70u - 50u * 50u);
                EXPECT_EQ(p.at(15, 15), kWhite);
            } else {
                // The outer corners are cut: all four alike.
                EXPECT_EQ(p.at(15, 15), kBlack);
                EXPECT_EQ(p.at(16, 16), p.at(83, 83));
                EXPECT_EQ(p.at(83, 16), p.at(16, 83));
                EXPECT_EQ(p.at(50, 17), kWhite);
                EXPECT_EQ(p.at(50, 30), kBlack);
            }
            finish();
        }
}

// A line to the right, then back up-left at 30 degrees to it: the miter tip reaches 19.3 beyond
// the corner (half width / sin 15 degrees, a ratio of 3.86), so a limit of 4 keeps it and 3
// bevels it; a round join stays within the half width of the corner.
TEST_F(PathStroke, JoinsOfASharpTurn)
{
    const float dx = float(80 * std::cos(kPi / 6)), dy = float(80 * std::sin(kPi / 6));
    const struct {
        const char* name;
        VGJoinStyle join;
        float limit;
        bool tip;    // pixels beyond x = 106 near the corner
        bool round;  // the pixel between the bevel and the round edge
    } table[] = {
        {"miter within the limit", VG_JOIN_MITER, 4, true, true},
        {"miter beyond the limit", VG_JOIN_MITER, 3, false, false},
        {"round", VG_JOIN_ROUND, 4, false, true},
        {"bevel", VG_JOIN_BEVEL, 4, false, false},
    };
    for (const Surface& s : kSurfaces)
        for (const auto& row : table) {
            SCOPED_TRACE(std::string(s.name) + ": " + row.name);
            start(s.spec);
            vgSeti(VG_STROKE_JOIN_STYLE, row.join);
            vgSetf(VG_STROKE_MITER_LIMIT, row.limit);
            vgDrawPath(path({VG_MOVE_TO_ABS, VG_LINE_TO_ABS, VG_LINE_TO_ABS}, {10, 50, 100, 50, 100 - dx, 50 + dy}),
                       VG_STROKE_PATH);
            const Picture p = picture();
            const size_t beyond = p.count([](int x, int) { return x >= 106; });
            if (row.tip) {
                EXPECT_GT(beyond, 30u);
                EXPECT_EQ(p.at(110, 45), kWhite);
            } else {
                EXPECT_EQ(beyond, 0u);
            }
            EXPECT_EQ(p.at(102, 47) == kWhite, row.round) << std::hex << p.at(102, 47);
            EXPECT_EQ(p.at(99, 45), kWhite);
            finish();
        }
}

TEST_F(PathStroke, ASubpathWithoutLengthIsADotByItsCap)
{
    const struct {
        const char* name;
        std::vector<VGubyte> segments;
        std::vector<float> data;
    } shapes[] = {
        {"move and close", {VG_MOVE_TO_ABS, VG_CLOSE_PATH}, {50, 50}},
        {"line to the same point", {VG_MOVE_TO_ABS, VG_LINE_TO_ABS}, {50, 50, 50, 50}},
    };
    for (const Surface& s : kSurfaces)
        for (const auto& shape : shapes)
            for (VGCapStyle cap : {VG_CAP_BUTT, VG_CAP_ROUND, VG_CAP_SQUARE}) {
                SCOPED_TRACE(std::string(s.name) + ": " + shape.name + " cap " + std::to_string(cap));
                start(s.spec);
                vgSeti(VG_STROKE_CAP_STYLE, cap);
                vgDrawPath(path(shape.segments, shape.data), VG_STROKE_PATH);
                const Picture p = picture();
                if (cap == VG_CAP_BUTT) {
                    EXPECT_EQ(p.count(), 0u);
                } else if (cap == VG_CAP_SQUARE) {
                    EXPECT_EQ(whiteBox(p, 45, 45, 55, 55), 100u);
                } else {
                    EXPECT_NEAR(p.coverage(), kPi * 25, kPi * 25 * 0.02);
                    EXPECT_EQ(p.at(45, 45), kBlack);
                    EXPECT_EQ(p.at(50, 50), kWhite);
                }
                finish();
            }
}

TEST_F(PathStroke, TheStrokeGoesOverTheFillAndWidthZeroOnlyFills)
{
    for (const Surface& s : kSurfaces) {
        SCOPED_TRACE(s.name);
        start(s.spec);
        const VGPaint red = vgCreatePaint();
        vgSetColor(red, 0xFF0000FF);
        vgSetPaint(red, VG_FILL_PATH);
        vgSetColor(paint, 0x00FF00FF);  // the stroke's
        const VGPath square = path({VG_MOVE_TO_ABS, VG_LINE_TO_ABS, VG_LINE_TO_ABS, VG_LINE_TO_ABS, VG_CLOSE_PATH},
                                   {20, 20, 80, 20, 80, 80, 20, 80});
        vgSetf(VG_STROKE_LINE_WIDTH, 4);
        vgDrawPath(square, VG_FILL_PATH | VG_STROKE_PATH);
        Picture p = picture();
        EXPECT_EQ(p.at(21, 50), 0x00FF00FFu);  // inside the fill, under the stroke
        EXPECT_EQ(p.at(18, 50), 0x00FF00FFu);
        EXPECT_EQ(p.at(50, 50), 0xFF0000FFu);
        EXPECT_EQ(p.count(), 64u * 64u);

        clear();
        vgSetf(VG_STROKE_LINE_WIDTH, 0);
        vgDrawPath(square, VG_FILL_PATH | VG_STROKE_PATH);
        p = picture();
        EXPECT_EQ(p.count(), 60u * 60u);
        EXPECT_EQ(p.at(21, 50), 0xFF0000FFu);
        vgDestroyPaint(red);
        finish();
    }
}

// Width, miter limit, cap and join live in VP constants and microcode selections: the list
// built at the first stroke is handed over again, and the picture follows the new style.
TEST_F(PathStroke, TheListIsReusedForAnotherStyle)
{
    start(kSurfaces[1].spec);
    const VGPath p = path({VG_MOVE_TO_ABS, VG_LINE_TO_ABS, VG_LINE_TO_ABS}, {20, 30, 60, 30, 60, 70});
    vgDrawPath(p, VG_STROKE_PATH);
    const ALpath* al = lists(p);
    ASSERT_EQ(al->stroke_cmd_target, 1);
    const word32 address = al->stroke_cmd.gpu;
    // Start (entry, packet), two lines (entry, two packets), end (entry, control, sync, start).
    EXPECT_EQ(al->stroke_cmd_count, (2 + 3) + (2 + 3 + 3) + (2 + 2 + 2 + 1));
    const size_t first = picture().count();

    const struct {
        const char* name;
        std::function<void()> change;
        std::function<bool(const Picture&)> shows;
    } table[] = {
        {"width", [] { vgSetf(VG_STROKE_LINE_WIDTH, 4); },
         [&](const Picture& q) { return q.count() < first / 2; }},
        {"cap", [] { vgSetf(VG_STROKE_LINE_WIDTH, 10), vgSeti(VG_STROKE_CAP_STYLE, VG_CAP_SQUARE); },
         [](const Picture& q) { return q.at(16, 30) == kWhite; }},
        {"join", [] { vgSeti(VG_STROKE_JOIN_STYLE, VG_JOIN_BEVEL); },
         [](const Picture& q) { return q.at(64, 26) == kBlack; }},
        {"miter limit", [] { vgSeti(VG_STROKE_JOIN_STYLE, VG_JOIN_MITER), vgSetf(VG_STROKE_MITER_LIMIT, 1); },
         [](const Picture& q) { return q.at(64, 26) == kBlack && q.at(62, 28) == kWhite; }},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        clear();
        row.change();
        gpu.clearLog();
        vgDrawPath(p, VG_STROKE_PATH);
        const Picture q = picture();
        EXPECT_TRUE(row.shows(q));
        EXPECT_EQ(al->stroke_cmd.gpu, address);
        EXPECT_TRUE(handedOver(address));
    }

    // New data builds the list again.
    const VGubyte more[] = {VG_LINE_TO_ABS};
    const float to[] = {20, 70};
    vgAppendPathData(p, 1, more, to);
    vgDrawPath(p, VG_STROKE_PATH);
    EXPECT_EQ(al->stroke_cmd_count, (2 + 3) + (2 + 3 + 3 + 3) + (2 + 2 + 2 + 1));
}

}  // namespace
