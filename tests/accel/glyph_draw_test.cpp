// Glyph drawing through the public entry points, on the GPU model: where path and image glyphs
// land and how the glyph origin advances (adjustments, glyphs without object, nothing to
// paint, everything scissored away, unknown indices), glyph runs against the same paths and
// images drawn with vgDrawPath and vgDrawImage at each glyph's place (also under a rotated and
// scaled glyph matrix, and with a gradient that moves with the glyph), the path and image
// matrices after a run, and a glyph whose state cannot be set up.
#include <VG/openvg.h>
#include <VG/vgu.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "vg/al_lx740/vg_al_lx740_draw.h"
#include "vg/al_lx740/vg_al_lx740_setstate.h"
#include "vgsurfacefixture.h"

namespace {

using vnq::test::RgbaImage;
using vnq::test::VgSurfaceSpec;

constexpr EGLint kRgba8888Window = 8;
constexpr int kWidth = 96, kHeight = 48;
constexpr uint32_t kWhite = 0xFFFFFFFF;

// Square glyphs: 10 x 10 with their glyph origin at their lower left corner (1, 2) and an
// escapement of (12, 0).
constexpr VGuint kFirstSquare = 10;
constexpr int kSquares = 5;
const VGfloat kSquareOrigin[2] = {1, 2};
const VGfloat kSquareEscapement[2] = {12, 0};

using Pixel = std::pair<int, int>;  // x, stored row

class GlyphDraw : public vnq::test::VgSurfaceTest {
protected:
    VGPaint paint = VG_INVALID_HANDLE;

    void SetUp() override
    {
        VgSurfaceTest::SetUp();
        makeCurrent(VgSurfaceSpec{kRgba8888Window, kWidth, kHeight, true});
        paint = vgCreatePaint();
        vgSetColor(paint, kWhite);
        vgSetPaint(paint, VG_FILL_PATH | VG_STROKE_PATH);
        clear();
    }

    static void clear()
    {
        const VGfloat black[4] = {0, 0, 0, 1};
        vgSetfv(VG_CLEAR_COLOR, 4, black);
        vgClear(0, 0, kWidth, kHeight);
    }

    static VGPath rect(float x, float y, float w, float h)
    {
        const VGPath p = vgCreatePath(VG_PATH_FORMAT_STANDARD, VG_PATH_DATATYPE_F, 1, 0, 0, 0, VG_PATH_CAPABILITY_ALL);
        vguRect(p, x, y, w, h);
        return p;
    }

    static VGPath polygon(const std::vector<float>& points)
    {
        const VGPath p = vgCreatePath(VG_PATH_FORMAT_STANDARD, VG_PATH_DATATYPE_F, 1, 0, 0, 0, VG_PATH_CAPABILITY_ALL);
        vguPolygon(p, points.data(), VGint(points.size() / 2), VG_TRUE);
        return p;
    }

    // A w x h sRGBA_8888 image, non-antialiased sampling only, of 4 x 4 blocks each in its own
    // colour (so that a misplaced or turned image shows inside the blocks, not only at their
    // rims).
    static VGImage patchwork(int w, int h)
    {
        std::vector<uint32_t> rgba;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const uint32_t i = uint32_t(x / 4 + 3 * (y / 4));
                rgba.push_back((40 + i * 53 % 200) << 24 | (255 - i * 71 % 180) << 16 | (i * 97 % 256) << 8 | 0xFF);
            }
        const VGImage image = vgCreateImage(VG_sRGBA_8888, w, h, VG_IMAGE_QUALITY_NONANTIALIASED);
        vgImageSubData(image, rgba.data(), w * 4, VG_sRGBA_8888, 0, 0, w, h);
        return image;
    }

    // A font of the five square glyphs kFirstSquare onward.
    static VGFont squareFont()
    {
        const VGFont font = vgCreateFont(0);
        for (VGuint i = 0; i < kSquares; ++i) {
            const VGPath p = rect(kSquareOrigin[0], kSquareOrigin[1], 10, 10);
            vgSetGlyphToPath(font, kFirstSquare + i, p, VG_FALSE, kSquareOrigin, kSquareEscapement);
            vgDestroyPath(p);  // the glyph keeps it
        }
        return font;
    }

    static void setOrigin(float x, float y)
    {
        const VGfloat origin[2] = {x, y};
        vgSetfv(VG_GLYPH_ORIGIN, 2, origin);
    }

    static std::pair<float, float> origin()
    {
        VGfloat o[2] = {-1, -1};
        vgGetfv(VG_GLYPH_ORIGIN, 2, o);
        return {o[0], o[1]};
    }

    // The stored pixels of the OpenVG box (x, y, w, h).
    std::set<Pixel> box(int x, int y, int w, int h) const
    {
        std::set<Pixel> out;
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i)
                out.insert({i, storedRow(j)});
        return out;
    }

    // The stored pixels that are not black.
    static std::set<Pixel> lit(const RgbaImage& img)
    {
        std::set<Pixel> out;
        for (int row = 0; row < img.height; ++row)
            for (int x = 0; x < img.width; ++x) {
                const uint8_t* p = &img.bytes[(size_t(row) * img.width + x) * 4];
                if (p[0] || p[1] || p[2])
                    out.insert({x, row});
            }
        return out;
    }

    // The VP entries started by a start word since the log was cleared.
    std::vector<uint32_t> entriesStarted() const
    {
        std::vector<uint32_t> out;
        for (const gputest::Event& e : gpu.log())
            if (e.kind == gputest::Kind::VpStart)
                out.push_back(e.value);
        return out;
    }
};

// The largest channel difference of two images.
int largestDifference(const RgbaImage& a, const RgbaImage& b)
{
    int most = 0;
    for (size_t i = 0; i < a.bytes.size(); ++i)
        most = std::max(most, std::abs(int(a.bytes[i]) - int(b.bytes[i])));
    return most;
}

// The pixels where a and b differ and that are not on the rim of what b shows: a pixel is on
// the rim when one of its eight neighbours in b differs from it.
std::vector<Pixel> differencesInside(const RgbaImage& a, const RgbaImage& b)
{
    const auto at = [&b](int x, int row) { return &b.bytes[(size_t(row) * b.width + x) * 4]; };
    const auto same = [](const uint8_t* p, const uint8_t* q) {
        return p[0] == q[0] && p[1] == q[1] && p[2] == q[2] && p[3] == q[3];
    };
    std::vector<Pixel> out;
    for (int row = 0; row < b.height; ++row)
        for (int x = 0; x < b.width; ++x) {
            if (same(&a.bytes[(size_t(row) * a.width + x) * 4], at(x, row)))
                continue;
            bool rim = false;
            for (int j = row - 1; j <= row + 1; ++j)
                for (int i = x - 1; i <= x + 1; ++i)
                    if (i >= 0 && j >= 0 && i < b.width && j < b.height && !same(at(i, j), at(x, row)))
                        rim = true;
            if (!rim)
                out.push_back({x, row});
        }
    return out;
}

TEST_F(GlyphDraw, SquareGlyphsLandAtTheOriginsAndTheOriginAdvancesOverEveryGlyph)
{
    const VGfloat adjust[kSquares] = {0, 1, 2, 3, 4};
    const VGuint indices[kSquares] = {10, 11, 12, 13, 14};
    const VGFont squares = squareFont();
    const VGFont empty = vgCreateFont(0);
    for (VGuint i = 0; i < kSquares; ++i)
        vgSetGlyphToPath(empty, kFirstSquare + i, VG_INVALID_HANDLE, VG_FALSE, kSquareOrigin, kSquareEscapement);

    struct Row {
        const char* what;
        VGFont font;
        VGbitfield paintModes;
        float lineWidth;
        bool scissoredAway;
        bool drawn;
    } const rows[] = {
        {"fill", squares, VG_FILL_PATH, 1, false, true},
        {"fill and stroke of width 0: the fill", squares, VG_FILL_PATH | VG_STROKE_PATH, 0, false, true},
        {"no paint modes", squares, 0, 1, false, false},
        {"stroke only of width 0", squares, VG_STROKE_PATH, 0, false, false},
        {"stroke only of infinite width", squares, VG_STROKE_PATH, INFINITY, false, false},
        {"glyphs without object", empty, VG_FILL_PATH, 1, false, false},
        {"every scissor rectangle empty", squares, VG_FILL_PATH, 1, true, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        clear();
        vgSetf(VG_STROKE_LINE_WIDTH, row.lineWidth);
        vgSeti(VG_SCISSORING, row.scissoredAway ? VG_TRUE : VG_FALSE);
        vgSetiv(VG_SCISSOR_RECTS, 0, nullptr);
        setOrigin(2, 3);
        vgDrawGlyphs(row.font, kSquares, indices, adjust, nullptr, row.paintModes, VG_FALSE);
        EXPECT_EQ(vgGetError(), VG_NO_ERROR);
        EXPECT_EQ(origin(), std::make_pair(2.0f + 5 * 12 + 10, 3.0f));

        std::set<Pixel> expected;
        float x = 2;
        for (int i = 0; i < kSquares && row.drawn; ++i) {
            const std::set<Pixel> square = box(int(x), 3, 10, 10);
            expected.insert(square.begin(), square.end());
            x += 12 + adjust[i];
        }
        EXPECT_EQ(lit(image()), expected);
    }
    vgSeti(VG_SCISSORING, VG_FALSE);

    // One glyph alone; then a run with an index the font does not hold draws nothing and
    // leaves the origin.
    clear();
    setOrigin(30, 20);
    vgDrawGlyph(squares, 12, VG_FILL_PATH, VG_TRUE);
    EXPECT_EQ(origin(), std::make_pair(42.0f, 20.0f));
    const VGuint unknown[2] = {10, 99};
    vgDrawGlyphs(squares, 2, unknown, nullptr, nullptr, VG_FILL_PATH, VG_FALSE);
    EXPECT_EQ(vgGetError(), VG_ILLEGAL_ARGUMENT_ERROR);
    EXPECT_EQ(origin(), std::make_pair(42.0f, 20.0f));
    EXPECT_EQ(lit(image()), box(30, 20, 10, 10));
}

// Path, image, path: each glyph where vgDrawPath or vgDrawImage puts it with the glyph matrix
// after translate(origin - glyph origin).
TEST_F(GlyphDraw, AMixedRunLandsWhereDrawPathAndDrawImagePutItsGlyphs)
{
    vgSeti(VG_RENDERING_QUALITY, VG_RENDERING_QUALITY_NONANTIALIASED);
    const VGPath arrow = polygon({0, 0, 9, 2, 3, 4, 4, 11});
    const VGPath bar = rect(-1, 0.5f, 3, 12);
    const VGImage picture = patchwork(8, 8);
    const struct Glyph {
        VGuint index;
        VGHandle object;
        bool isImage;
        VGfloat origin[2], escapement[2];
    } glyphs[] = {
        {1, arrow, false, {0, 0}, {13, 0}},
        {2, picture, true, {1, 1}, {10, 2}},
        {3, bar, false, {-2, 0.5f}, {6, -1}},
    };
    const VGFont font = vgCreateFont(0);
    for (const Glyph& g : glyphs) {
        if (g.isImage)
            vgSetGlyphToImage(font, g.index, g.object, g.origin, g.escapement);
        else
            vgSetGlyphToPath(font, g.index, g.object, VG_FALSE, g.origin, g.escapement);
    }
    const VGuint indices[3] = {1, 2, 3};
    const VGfloat adjustX[3] = {1, 0.5f, 0}, adjustY[3] = {0, 1, 0};

    const struct {
        const char* what;
        std::vector<float> translate, scale;
        float degrees;
        bool exact;
    } matrices[] = {
        {"translated", {3, 2}, {1, 1}, 0, true},
        {"rotated and scaled", {30, 4}, {1.5f, 1.25f}, 25, false},
    };
    for (const auto& m : matrices) {
        SCOPED_TRACE(m.what);
        const auto load = [&m](VGMatrixMode mode) {
            vgSeti(VG_MATRIX_MODE, mode);
            vgLoadIdentity();
            vgTranslate(m.translate[0], m.translate[1]);
            vgRotate(m.degrees);
            vgScale(m.scale[0], m.scale[1]);
        };
        clear();
        load(VG_MATRIX_GLYPH_USER_TO_SURFACE);
        setOrigin(4, 5);
        vgDrawGlyphs(font, 3, indices, adjustX, adjustY, VG_FILL_PATH, VG_FALSE);
        EXPECT_EQ(vgGetError(), VG_NO_ERROR);
        const RgbaImage run = image();

        clear();
        float ox = 4, oy = 5;
        for (int i = 0; i < 3; ++i) {
            const Glyph& g = glyphs[i];
            load(g.isImage ? VG_MATRIX_IMAGE_USER_TO_SURFACE : VG_MATRIX_PATH_USER_TO_SURFACE);
            vgTranslate(ox - g.origin[0], oy - g.origin[1]);
            if (g.isImage)
                vgDrawImage(g.object);
            else
                vgDrawPath(g.object, VG_FILL_PATH);
            ox += g.escapement[0] + adjustX[i];
            oy += g.escapement[1] + adjustY[i];
        }
        const RgbaImage reference = image();
        EXPECT_EQ(origin(), std::make_pair(ox, oy));
        EXPECT_GT(lit(reference).size(), 100u) << "the reference shows the glyphs";
        if (m.exact)
            EXPECT_EQ(largestDifference(run, reference), 0);
        else
            EXPECT_EQ(differencesInside(run, reference), std::vector<Pixel>{});
    }
}

// A filtered image glyph samples as vgDrawImage does at the glyph's place, on this flipped
// window as on any surface.
TEST_F(GlyphDraw, AFilteredImageGlyphSamplesAsDrawImageDoes)
{
    std::vector<uint32_t> rgba;
    for (int i = 0; i < 64; ++i)
        rgba.push_back(uint32_t(i * 4) << 24 | uint32_t(255 - i * 3) << 16 | uint32_t(i % 8 * 30) << 8 | 0xFF);
    const VGImage picture = vgCreateImage(VG_sRGBA_8888, 8, 8, VG_IMAGE_QUALITY_FASTER);
    vgImageSubData(picture, rgba.data(), 32, VG_sRGBA_8888, 0, 0, 8, 8);
    const VGFont font = vgCreateFont(0);
    const VGfloat glyphOrigin[2] = {0.5f, 0.25f}, escapement[2] = {9, 0};
    vgSetGlyphToImage(font, 1, picture, glyphOrigin, escapement);
    vgSeti(VG_IMAGE_QUALITY, VG_IMAGE_QUALITY_FASTER);

    vgSeti(VG_MATRIX_MODE, VG_MATRIX_GLYPH_USER_TO_SURFACE);
    vgLoadIdentity();
    vgScale(1.5f, 1.5f);
    setOrigin(6, 4);
    vgDrawGlyph(font, 1, VG_FILL_PATH, VG_FALSE);
    const RgbaImage run = image();

    clear();
    vgSeti(VG_MATRIX_MODE, VG_MATRIX_IMAGE_USER_TO_SURFACE);
    vgLoadIdentity();
    vgScale(1.5f, 1.5f);
    vgTranslate(6 - glyphOrigin[0], 4 - glyphOrigin[1]);
    vgDrawImage(picture);
    const RgbaImage reference = image();
    EXPECT_GE(lit(reference).size(), 144u);
    EXPECT_EQ(largestDifference(run, reference), 0);
}

// The paint moves with each glyph: a gradient across a glyph looks the same on every glyph, as
// vgDrawPath draws it at the glyph's place; for fills and for strokes.
TEST_F(GlyphDraw, AGradientMovesWithEachGlyph)
{
    const VGPaint gradient = vgCreatePaint();
    vgSetParameteri(gradient, VG_PAINT_TYPE, VG_PAINT_TYPE_LINEAR_GRADIENT);
    const VGfloat axis[4] = {1, 2, 11, 6};
    vgSetParameterfv(gradient, VG_PAINT_LINEAR_GRADIENT, 4, axis);
    const VGfloat stops[10] = {0, 1, 0, 0, 1, 1, 0, 0, 1, 1};
    vgSetParameterfv(gradient, VG_PAINT_COLOR_RAMP_STOPS, 10, stops);
    vgSetf(VG_STROKE_LINE_WIDTH, 3);

    const VGFont font = squareFont();
    const VGPath square = rect(kSquareOrigin[0], kSquareOrigin[1], 10, 10);
    const VGuint indices[kSquares] = {10, 11, 12, 13, 14};
    const VGfloat adjustY[kSquares] = {0, 2, 4, 6, 8};
    // Fill and stroke: each glyph's stroke follows its fill with the reduced set-up.
    const struct {
        const char* what;
        VGbitfield mode;
        VGMatrixMode paintMatrix;
    } rows[] = {
        {"fill", VG_FILL_PATH, VG_MATRIX_FILL_PAINT_TO_USER},
        {"stroke", VG_STROKE_PATH, VG_MATRIX_STROKE_PAINT_TO_USER},
        {"fill and stroke", VG_FILL_PATH | VG_STROKE_PATH, VG_MATRIX_STROKE_PAINT_TO_USER},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        clear();
        vgSetPaint(paint, VG_FILL_PATH | VG_STROKE_PATH);
        vgSetPaint(gradient, row.mode);
        vgSeti(VG_MATRIX_MODE, row.paintMatrix);
        vgLoadIdentity();
        vgTranslate(0.5f, 0);
        vgSeti(VG_MATRIX_MODE, VG_MATRIX_GLYPH_USER_TO_SURFACE);
        vgLoadIdentity();
        vgTranslate(3, 1);
        setOrigin(2, 3);
        vgDrawGlyphs(font, kSquares, indices, nullptr, adjustY, row.mode, VG_FALSE);
        EXPECT_EQ(vgGetError(), VG_NO_ERROR);
        const RgbaImage run = image();

        clear();
        vgSeti(VG_MATRIX_MODE, VG_MATRIX_PATH_USER_TO_SURFACE);
        float oy = 3;
        for (int i = 0; i < kSquares; ++i) {
            vgLoadIdentity();
            vgTranslate(3, 1);
            vgTranslate(2 + 12.0f * i - kSquareOrigin[0], oy - kSquareOrigin[1]);
            vgDrawPath(square, row.mode);
            oy += adjustY[i];
        }
        const RgbaImage reference = image();
        EXPECT_GT(lit(reference).size(), 400u);
        EXPECT_EQ(lit(run), lit(reference));
        EXPECT_LE(largestDifference(run, reference), 1);
        // Each glyph shows the whole ramp: red at its left, blue at its right.
        for (int i = 0; i < kSquares; ++i) {
            const int x = 3 + 2 + 12 * i, y = 1 + 3 + i * (i - 1) + 5;
            EXPECT_GT(pixel(x, y) >> 24, 180u) << i;
            EXPECT_GT(pixel(x + 9, y) >> 8 & 0xFF, 200u) << i;
        }
    }
}

// After a run the path and image matrices are derived again (entries 0 and 7), so the next
// vgDrawPath and vgDrawImage land where their own, unchanged matrices put them.
TEST_F(GlyphDraw, DrawsAfterARunUseTheirOwnMatrices)
{
    const VGPath square = rect(0, 0, 10, 10);
    const VGImage picture = patchwork(8, 8);
    const VGFont font = squareFont();
    const VGfloat none[2] = {0, 0};
    vgSetGlyphToImage(font, 20, picture, none, none);

    const struct {
        const char* what;
        VGuint glyph;
        bool isImage;
        uint32_t entry;
    } rows[] = {
        {"a path after path glyphs", kFirstSquare, false, 0},
        {"an image after an image glyph", 20, true, 7},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        vgSeti(VG_MATRIX_MODE, row.isImage ? VG_MATRIX_IMAGE_USER_TO_SURFACE : VG_MATRIX_PATH_USER_TO_SURFACE);
        vgLoadIdentity();
        vgTranslate(60, 30);
        const auto draw = [&] {
            if (row.isImage)
                vgDrawImage(picture);
            else
                vgDrawPath(square, VG_FILL_PATH);
        };
        draw();  // the matrix is in place and clean from here
        vgSeti(VG_MATRIX_MODE, VG_MATRIX_GLYPH_USER_TO_SURFACE);
        vgLoadIdentity();
        vgTranslate(5, 7);
        setOrigin(0, 0);
        const VGuint run[2] = {row.glyph, row.glyph};
        vgDrawGlyphs(font, 2, run, nullptr, nullptr, VG_FILL_PATH, VG_FALSE);
        clear();
        vgFinish();
        gpu.clearLog();
        draw();
        EXPECT_EQ(vgGetError(), VG_NO_ERROR);
        EXPECT_EQ(lit(image()), box(60, 30, row.isImage ? 8 : 10, row.isImage ? 8 : 10));
        const std::vector<uint32_t> started = entriesStarted();
        EXPECT_NE(std::find(started.begin(), started.end(), row.entry), started.end());
    }
}

// A glyph whose state cannot be set up is dropped with every glyph after it, the run reports
// VG_OUT_OF_MEMORY_ERROR, and the origin still advances over all glyphs.
TEST_F(GlyphDraw, AGlyphWhoseStateFailsEndsTheRunButNotTheAdvance)
{
    const VGFont font = squareFont();
    const VGuint indices[3] = {10, 11, 12};
    const auto fail = [](int) { return 1; };
    const struct {
        const char* what;
        int (*path)(int);
        int (*pathMinimum)(int);
        int drawn;
    } rows[] = {
        {"the first glyph's full set-up", fail, VGALFUNC_lx_setstate_path_minimum, 0},
        {"the second glyph's reduced set-up", VGALFUNC_lx_setstate_path, fail, 1},
    };
    const VGALglyphstate layer = VGALVAL_glyphstate;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        clear();
        setOrigin(2, 3);
        VGALVAL_glyphstate.path = row.path;
        VGALVAL_glyphstate.path_minimum = row.pathMinimum;
        vgDrawGlyphs(font, 3, indices, nullptr, nullptr, VG_FILL_PATH, VG_FALSE);
        VGALVAL_glyphstate = layer;
        EXPECT_EQ(vgGetError(), VG_OUT_OF_MEMORY_ERROR);
        EXPECT_EQ(origin(), std::make_pair(2.0f + 3 * 12, 3.0f));
        EXPECT_EQ(lit(image()), row.drawn ? box(2, 3, 10, 10) : std::set<Pixel>{});
    }
}

}  // namespace
