// The display server's drawing road end to end on its 480 x 272 window, once for the 16-bit
// screen (configuration 1) and once for the 32-bit one (configuration 8): a clear, images of
// both of its formats placed by the image matrix, filled and stroked colour paths, scissored
// drawing, a copy of the screen into an image, and the swap. Every call leaves no OpenVG error,
// the GPU model meets no protocol error, and the screen picture the screen-shot tool writes
// equals a golden image, with analytic checks of the parts whose pixels are known.
#include <VG/openvg.h>

#include <QProcess>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "fb_info.h"
#include "vgsurfacefixture.h"

namespace {

using vnq::test::RgbaImage;
using vnq::test::VgSurfaceSpec;

constexpr int kWidth = 480, kHeight = 272;

// Runs one OpenVG call and expects it to leave no error behind.
#define VG_OK(call)                                                                                                  \
    do {                                                                                                             \
        call;                                                                                                        \
        EXPECT_EQ(vgGetError(), VG_NO_ERROR) << #call;                                                               \
    } while (0)

struct Road {
    const char* name;
    EGLint config;
    uint32_t screenBits;
    const char* golden;
};

void PrintTo(const Road& road, std::ostream* out)
{
    *out << road.name;
}

const Road kRoads[] = {
    {"Rgb565Screen", 1, 16, "drawing_road_rgb565"},
    {"Rgba8888Screen", 8, 32, "drawing_road_rgba8888"},
};

// Colours of the frame, each channel a whole step of both 8 and 5 or 6 bits so that the
// colour-paint and the clear conversions agree.
const VGfloat kClearColour[4] = {0.2f, 0.4f, 0.6f, 1.0f};
const VGfloat kFillColour[4] = {1.0f, 0.5f, 0.0f, 1.0f};
const VGfloat kStrokeColour[4] = {0.5f, 0.0f, 0.25f, 1.0f};
const VGfloat kScissoredColour[4] = {0.0f, 1.0f, 0.0f, 1.0f};
constexpr VGfloat kStrokeWidth = 3.0f;

// The pictures: a 565 one drawn as it is and doubled, and a 4444 one with a translucent band.
constexpr int kPicW = 64, kPicH = 48, kBandW = 80, kBandH = 40;
constexpr int kPicX = 16, kPicY = 16, kBandX = 96, kBandY = 16, kDoubleX = 200, kDoubleY = 16;
constexpr int kBandTop = 15, kBandBottom = 25;  // rows of the 4444 picture at alpha 8/15

uint16_t picturePixel(int i, int j)
{
    const uint16_t r = uint16_t(i * 31 / (kPicW - 1)), g = uint16_t(j * 63 / (kPicH - 1));
    const uint16_t b = ((i + j) & 8) ? 31 : 8;
    return uint16_t(r << 11 | g << 5 | b);
}

// sABGR_4444: alpha in the top nibble, then blue, green, red.
uint16_t bandPixel(int i, int j)
{
    const uint16_t r = uint16_t(i * 15 / (kBandW - 1)), g = uint16_t(15 - j * 15 / (kBandH - 1)), b = 6;
    const uint16_t a = (j >= kBandTop && j < kBandBottom) ? 8 : 15;
    return uint16_t(a << 12 | b << 8 | g << 4 | r);
}

// The scissor rectangles in screen coordinates (top-left origin), and the shape drawn under
// them, which covers both and more.
struct ScreenRect {
    int x, y, w, h;
};
const ScreenRect kScissor[] = {{340, 30, 50, 40}, {400, 90, 60, 50}};

// Screen RGB (8 bits a channel) of a 565 value, its fields widened by bit replication.
uint32_t rgbOf565(uint16_t v)
{
    const uint32_t r = v >> 11, g = (v >> 5) & 0x3F, b = v & 0x1F;
    return (r << 3 | r >> 2) << 16 | (g << 2 | g >> 4) << 8 | (b << 3 | b >> 2);
}

// Screen RGB of a 4444 value, as the 8888 pixel engine writes it.
uint32_t rgbOf4444(uint16_t v)
{
    const uint32_t r = v & 0xF, g = (v >> 4) & 0xF, b = (v >> 8) & 0xF;
    return r * 17 << 16 | g * 17 << 8 | b * 17;
}

class DrawingRoad : public vnq::test::VgSurfaceTest, public testing::WithParamInterface<Road> {
protected:
    void SetUp() override
    {
        VgSurfaceTest::SetUp();
        const Road& road = GetParam();
        ASSERT_TRUE(simfb::writeFramebuffer(root.path("/dev/fb0").toStdString(),
                                            simfb::boardScreen(kWidth, kHeight, road.screenBits)));
        makeCurrent(VgSurfaceSpec{road.config, kWidth, kHeight, true});
    }

    // The screen colour an 8-bit RGB becomes: the 16-bit screen keeps the top bits.
    uint32_t onScreen(uint32_t rgb) const
    {
        if (GetParam().screenBits == 32)
            return rgb;
        const uint32_t r = rgb >> 16 >> 3, g = (rgb >> 8 & 0xFF) >> 2, b = (rgb & 0xFF) >> 3;
        return rgbOf565(uint16_t(r << 11 | g << 5 | b));
    }

    // The screen colour of an OpenVG colour: each channel rounded to 8 bits.
    uint32_t onScreen(const VGfloat rgba[4]) const
    {
        uint32_t rgb = 0;
        for (int c = 0; c < 3; ++c)
            rgb = rgb << 8 | uint32_t(rgba[c] * 255.0f + 0.5f);
        return onScreen(rgb);
    }

    // The screen picture as the screen-shot tool writes it.
    RgbaImage screenPicture()
    {
        const QString png = root.path("/shot.png");
        QProcess tool;
        tool.start(QStringLiteral(VNQ_FBSHOT), {png});
        EXPECT_TRUE(tool.waitForFinished(30000));
        EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().constData();
        RgbaImage picture;
        EXPECT_TRUE(vnq::test::loadPng(png.toStdString(), picture));
        return picture;
    }

    static uint32_t rgbAt(const RgbaImage& picture, int x, int y)
    {
        const uint8_t* p = &picture.bytes[(size_t(y) * picture.width + x) * 4];
        return uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
    }

    // A colour paint made, set for `modes` and destroyed while set, as the display server does.
    static void setColourPaint(const VGfloat rgba[4], VGbitfield modes)
    {
        VGPaint paint = VG_INVALID_HANDLE;
        VG_OK(paint = vgCreatePaint());
        VG_OK(vgSetParameteri(paint, VG_PAINT_TYPE, VG_PAINT_TYPE_COLOR));
        VG_OK(vgSetParameterfv(paint, VG_PAINT_COLOR, 4, rgba));
        VG_OK(vgSetPaint(paint, modes));
        VG_OK(vgDestroyPaint(paint));
    }

    // A float path of the given segments, drawn with `modes`, flushed and destroyed.
    static void drawPath(const std::vector<VGubyte>& segments, const std::vector<VGfloat>& coords, VGbitfield modes)
    {
        VGPath path = VG_INVALID_HANDLE;
        VG_OK(path = vgCreatePath(VG_PATH_FORMAT_STANDARD, VG_PATH_DATATYPE_F, 1.0f, 0.0f, 0, 0,
                                  VG_PATH_CAPABILITY_ALL));
        VG_OK(vgAppendPathData(path, VGint(segments.size()), segments.data(), coords.data()));
        VG_OK(vgDrawPath(path, modes));
        VG_OK(vgFlush());
        VG_OK(vgDestroyPath(path));
    }

    // Draws an image at screen (x, y) under the current image matrix, scaled, and puts the
    // matrix back as it was.
    static void drawImageAt(VGImage image, int x, int y, VGfloat scale)
    {
        VGfloat saved[9];
        VG_OK(vgGetMatrix(saved));
        VG_OK(vgTranslate(VGfloat(x), VGfloat(y)));
        if (scale != 1.0f)
            VG_OK(vgScale(scale, scale));
        VG_OK(vgDrawImage(image));
        VG_OK(vgLoadMatrix(saved));
        VGfloat back[9];
        VG_OK(vgGetMatrix(back));
        EXPECT_EQ(std::vector<VGfloat>(back, back + 9), std::vector<VGfloat>(saved, saved + 9));
    }

    // The frame; the 565 copy of the screen read back by vgGetImageSubData (OpenVG rows, bottom up).
    std::vector<uint16_t> drawFrame()
    {
        VG_OK(vgSetfv(VG_CLEAR_COLOR, 4, kClearColour));
        VG_OK(vgClear(0, 0, kWidth, kHeight));

        // Pictures, top-down like the screen, under the display server's image matrix.
        std::vector<uint16_t> picture, band;
        for (int j = 0; j < kPicH; ++j)
            for (int i = 0; i < kPicW; ++i)
                picture.push_back(picturePixel(i, j));
        for (int j = 0; j < kBandH; ++j)
            for (int i = 0; i < kBandW; ++i)
                band.push_back(bandPixel(i, j));
        VGImage image565 = VG_INVALID_HANDLE, image4444 = VG_INVALID_HANDLE;
        VG_OK(image565 = vgCreateImage(VG_sRGB_565, kPicW, kPicH, VG_IMAGE_QUALITY_NONANTIALIASED));
        VG_OK(vgImageSubData(image565, picture.data(), kPicW * 2, VG_sRGB_565, 0, 0, kPicW, kPicH));
        VG_OK(image4444 = vgCreateImage(VG_sABGR_4444, kBandW, kBandH, VG_IMAGE_QUALITY_NONANTIALIASED));
        VG_OK(vgImageSubData(image4444, band.data(), kBandW * 2, VG_sABGR_4444, 0, 0, kBandW, kBandH));

        VG_OK(vgSeti(VG_MATRIX_MODE, VG_MATRIX_IMAGE_USER_TO_SURFACE));
        VG_OK(vgLoadIdentity());
        VG_OK(vgTranslate(0.0f, VGfloat(kHeight)));
        VG_OK(vgScale(1.0f, -1.0f));
        VGfloat flip[9];
        VG_OK(vgGetMatrix(flip));
        const VGfloat expectedFlip[9] = {1, 0, 0, 0, -1, 0, 0, VGfloat(kHeight), 1};
        EXPECT_EQ(std::vector<VGfloat>(flip, flip + 9), std::vector<VGfloat>(expectedFlip, expectedFlip + 9));
        drawImageAt(image565, kPicX, kPicY, 1.0f);
        drawImageAt(image4444, kBandX, kBandY, 1.0f);
        drawImageAt(image565, kDoubleX, kDoubleY, 2.0f);
        VG_OK(vgDestroyImage(image565));
        VG_OK(vgDestroyImage(image4444));

        // Glyph-sized paths in screen coordinates, filled and stroked.
        VG_OK(vgSeti(VG_MATRIX_MODE, VG_MATRIX_PATH_USER_TO_SURFACE));
        VG_OK(vgLoadIdentity());
        VG_OK(vgTranslate(0.0f, VGfloat(kHeight)));
        VG_OK(vgScale(1.0f, -1.0f));
        VG_OK(vgSetf(VG_STROKE_LINE_WIDTH, kStrokeWidth));
        const VGbitfield both = VG_FILL_PATH | VG_STROKE_PATH;
        const std::vector<VGubyte> letter = {VG_MOVE_TO_ABS, VG_LINE_TO_ABS, VG_QUAD_TO_ABS, VG_LINE_TO_ABS,
                                             VG_CUBIC_TO_ABS, VG_QUAD_TO_ABS, VG_LINE_TO_ABS};
        const struct {
            std::vector<VGubyte> segments;
            std::vector<VGfloat> coords;
        } shapes[] = {
            {letter, {30, 250, 30, 170, 30, 150, 50, 150, 70, 150, 95, 150, 95, 200, 70, 200, 55, 200, 55, 220, 55, 250}},
            {{VG_MOVE_TO_ABS, VG_CUBIC_TO_ABS, VG_CUBIC_TO_ABS, VG_LINE_TO_ABS, VG_QUAD_TO_ABS},
             {120, 250, 100, 200, 200, 200, 170, 150, 150, 180, 130, 180, 130, 160, 190, 160, 200, 250, 120, 250}},
            {{VG_MOVE_TO_ABS, VG_LINE_TO_ABS, VG_LINE_TO_ABS, VG_LINE_TO_ABS, VG_QUAD_TO_ABS, VG_LINE_TO_ABS},
             {230, 160, 290, 160, 250, 250, 260, 200, 320, 230, 280, 250, 320, 250}},
        };
        for (const auto& shape : shapes) {
            setColourPaint(kFillColour, VG_FILL_PATH);
            setColourPaint(kStrokeColour, VG_STROKE_PATH);
            drawPath(shape.segments, shape.coords, both);
        }

        // A shape larger than the scissor rectangles, drawn through them only.
        std::vector<VGint> rects;
        for (const ScreenRect& r : kScissor)
            rects.insert(rects.end(), {r.x, kHeight - r.y - r.h, r.w, r.h});
        VG_OK(vgSetiv(VG_SCISSOR_RECTS, VGint(rects.size()), rects.data()));
        VG_OK(vgSeti(VG_SCISSORING, VG_TRUE));
        setColourPaint(kScissoredColour, VG_FILL_PATH | VG_STROKE_PATH);
        drawPath({VG_MOVE_TO_ABS, VG_LINE_TO_ABS, VG_QUAD_TO_ABS, VG_CUBIC_TO_ABS, VG_LINE_TO_ABS},
                 {330, 20, 470, 20, 480, 80, 470, 150, 440, 170, 380, 130, 330, 150, 330, 20}, both);
        VG_OK(vgSeti(VG_SCISSORING, VG_FALSE));

        // The screen copied into a 565 image and read back, as the fade does.
        VGImage copy = VG_INVALID_HANDLE;
        VG_OK(copy = vgCreateImage(VG_sRGB_565, kWidth, kHeight, VG_IMAGE_QUALITY_NONANTIALIASED));
        VG_OK(vgGetPixels(copy, 0, 0, 0, 0, kWidth, kHeight));
        std::vector<uint16_t> copied(size_t(kWidth) * kHeight);
        VG_OK(vgGetImageSubData(copy, copied.data(), kWidth * 2, VG_sRGB_565, 0, 0, kWidth, kHeight));
        VG_OK(vgDestroyImage(copy));
        return copied;
    }
};

TEST_P(DrawingRoad, FrameReachesTheScreenAsTheGoldenPicture)
{
    const std::vector<uint16_t> copied = drawFrame();
    EXPECT_TRUE(eglSwapBuffers(dpy, surface));
    EXPECT_EQ(eglGetError(), EGL_SUCCESS);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);

    const RgbaImage picture = screenPicture();
    ASSERT_EQ(picture.width, kWidth);
    ASSERT_EQ(picture.height, kHeight);
    expectGoldenImage(GetParam().golden, picture);

    // The clear colour in the corners and between the drawings.
    const uint32_t cleared = onScreen(kClearColour);
    for (const auto& [x, y] : {std::pair{0, 0}, {kWidth - 1, 0}, {0, kHeight - 1}, {kWidth - 1, kHeight - 1},
                               {kPicX + kPicW, kPicY + 10}, {kPicX, kPicY + kPicH}})
        EXPECT_EQ(rgbAt(picture, x, y), cleared) << x << "," << y;

    // Image pixels where their matrices put them: as they are, and doubled.
    for (const auto& [i, j] : {std::pair{0, 0}, {kPicW - 1, 0}, {0, kPicH - 1}, {kPicW - 1, kPicH - 1}, {21, 33}}) {
        SCOPED_TRACE(testing::Message() << "picture pixel " << i << "," << j);
        EXPECT_EQ(rgbAt(picture, kPicX + i, kPicY + j), onScreen(rgbOf565(picturePixel(i, j))));
        for (int s = 0; s < 4; ++s)
            EXPECT_EQ(rgbAt(picture, kDoubleX + 2 * i + s % 2, kDoubleY + 2 * j + s / 2),
                      onScreen(rgbOf565(picturePixel(i, j))));
    }
    for (const auto& [i, j] : {std::pair{0, 0}, {kBandW - 1, kBandH - 1}, {40, kBandTop - 1}, {40, kBandBottom}})
        EXPECT_EQ(rgbAt(picture, kBandX + i, kBandY + j), onScreen(rgbOf4444(bandPixel(i, j))))
            << "band pixel " << i << "," << j;

    // Deep inside a filled shape; the stroke of its left edge (x = 30, from y 250 up) over the
    // fill, ending in a butt cap at the shape's bottom.
    EXPECT_EQ(rgbAt(picture, 42, 200), onScreen(kFillColour));
    for (int x : {29, 30})
        EXPECT_EQ(rgbAt(picture, x, 210), onScreen(kStrokeColour)) << x;
    EXPECT_EQ(rgbAt(picture, 30, 250), cleared);

    // The scissored shape shows inside the rectangles only.
    for (const ScreenRect& r : kScissor) {
        EXPECT_EQ(rgbAt(picture, r.x + r.w / 2, r.y + r.h / 2), onScreen(kScissoredColour));
        EXPECT_EQ(rgbAt(picture, r.x - 1, r.y + r.h / 2), cleared);
        EXPECT_EQ(rgbAt(picture, r.x + r.w / 2, r.y + r.h), cleared);
    }
    EXPECT_EQ(rgbAt(picture, 360, 120), cleared);

    // The 565 copy of the screen holds the picture's pixels (its rows bottom up), each 8-bit
    // channel cut to its top bits.
    long differing = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const uint32_t rgb = rgbAt(picture, x, kHeight - 1 - y);
            const uint16_t expected = uint16_t((rgb >> 19) << 11 | ((rgb >> 10) & 0x3F) << 5 | (rgb & 0xFF) >> 3);
            differing += copied[size_t(y) * kWidth + x] != expected;
        }
    EXPECT_EQ(differing, 0);
    EXPECT_TRUE(gpu.errors().empty());
}

// The frames after the first draw into the other colour buffer: each swap shows the frame just
// drawn, whichever buffer it went to, and nothing of the frame before.
TEST_P(DrawingRoad, LaterFramesReachTheScreenAfterEachSwap)
{
    drawFrame();
    ASSERT_TRUE(eglSwapBuffers(dpy, surface));
    const VGfloat colours[][4] = {{1.0f, 1.0f, 1.0f, 1.0f}, {0.0f, 0.0f, 0.0f, 1.0f}, {1.0f, 0.0f, 1.0f, 1.0f}};
    int frame = 0;
    for (const VGfloat* colour : colours) {
        SCOPED_TRACE(testing::Message() << "frame " << ++frame);
        VG_OK(vgSetfv(VG_CLEAR_COLOR, 4, colour));
        VG_OK(vgClear(0, 0, kWidth, kHeight));
        setColourPaint(kFillColour, VG_FILL_PATH);
        VG_OK(vgSeti(VG_MATRIX_MODE, VG_MATRIX_PATH_USER_TO_SURFACE));
        VG_OK(vgLoadIdentity());
        const VGfloat x = VGfloat(40 * frame), y = 100.0f;  // OpenVG coordinates: rows 162 to 171 on the screen
        drawPath({VG_MOVE_TO_ABS, VG_LINE_TO_ABS, VG_LINE_TO_ABS, VG_LINE_TO_ABS},
                 {x, y, x + 10, y, x + 10, y + 10, x, y + 10}, VG_FILL_PATH);
        ASSERT_TRUE(eglSwapBuffers(dpy, surface));
        EXPECT_EQ(vgGetError(), VG_NO_ERROR);

        const RgbaImage picture = screenPicture();
        ASSERT_EQ(picture.width, kWidth);
        long covered = 0, cleared = 0;
        for (int py = 0; py < kHeight; ++py)
            for (int px = 0; px < kWidth; ++px) {
                const uint32_t rgb = rgbAt(picture, px, py);
                covered += rgb == onScreen(kFillColour);
                cleared += rgb == onScreen(colour);
            }
        EXPECT_EQ(covered, 100);
        EXPECT_EQ(cleared, long(kWidth) * kHeight - 100);
        EXPECT_EQ(rgbAt(picture, 40 * frame, kHeight - 1 - 100), onScreen(kFillColour));
    }
}

INSTANTIATE_TEST_SUITE_P(OnTheWindow, DrawingRoad, testing::ValuesIn(kRoads),
                         [](const testing::TestParamInfo<Road>& info) { return std::string(info.param.name); });

}  // namespace
