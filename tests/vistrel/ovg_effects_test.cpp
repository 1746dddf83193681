#include "ovg_init.h"

#include "drawingsurface.h"
#include "drawsummary.h"
#include "framebufferroot.h"
#include "messagecapture.h"
#include "recordingdrawport.h"
#include "simfb.h"
#include "vx_fbdev.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace vistrel;
using vnq::test::FramebufferBoardRoot;
using vnq::test::MessageCapture;
using vnq::test::summarizeDrawing;

namespace {

constexpr VgMatrix kIdentity = {1, 0, 0, 0, 1, 0, 0, 0, 1};

class Effects : public DrawingSurface {
protected:
    void SetUp() override
    {
        DrawingSurface::SetUp();
        simfb::device().resetRequestCounts();
    }

    QStringList summary() const { return summarizeDrawing(port.calls()); }
    int vsyncRequests() const { return simfb::device().requestCount(VX_FBIO_WAIT_VSYNC); }
    std::vector<const DrawCall*> callsOf(const std::string& function) const
    {
        std::vector<const DrawCall*> found;
        for (const DrawCall& call : port.calls()) {
            if (call.function == function)
                found.push_back(&call);
        }
        return found;
    }

};

// The six frames of a fade with the given alphas, then the ending the fade's direction asks for.
QStringList fadeFrames(std::initializer_list<int> alphas, const QStringList& ending)
{
    QStringList lines;
    for (int a : alphas)
        lines << "past" << QStringLiteral("lookup alpha %1").arg(a) << "image 480x272 at 0,0" << "swap";
    return lines + ending;
}

}  // namespace

TEST_F(Effects, ClearCopyAndPaste)
{
    _clear_screen();
    EXPECT_EQ(port.clearColor(), (std::array<VGfloat, 4>{0, 1, 0, 0}));
    EXPECT_EQ(port.calls().back().text, "vgClear(0, 0, 480, 272)");
    EXPECT_EQ(port.surfacePixel(0, 0), 0x07E0u);
    EXPECT_EQ(port.surfacePixel(479, 271), 0x07E0u);

    port.setSurfacePixel(10, 20, 0xF800);
    ovg_copy_temp();
    EXPECT_EQ(port.calls().back().text, "vgGetPixels(" + std::to_string(vgImage565) + ", 0, 0, 0, 0, 480, 272)");
    const RecordedImage* saved = port.image(vgImage565);
    EXPECT_EQ(saved->pixels[20 * 480 + 10], 0xF800u);
    EXPECT_EQ(saved->pixels[0], 0x07E0u);

    ovg_past_temp();
    EXPECT_EQ(port.matrixMode(), VG_MATRIX_IMAGE_USER_TO_SURFACE);
    EXPECT_EQ(callsOf("vgDrawImage").back()->matrix, kIdentity);
    EXPECT_EQ(summary(), (QStringList{"clear", "copy", "past"}));
}

TEST_F(Effects, FadeInShowsSixBlendsThenTheNewScreenOnBothBuffers)
{
    ovg_fade_exec(0);
    EXPECT_EQ(summary(), fadeFrames({15, 55, 95, 135, 175, 215},
                                    {"past", "image 480x272 at 0,0", "swap", "past", "image 480x272 at 0,0", "swap"}));
    EXPECT_EQ(vsyncRequests(), 2);
    const auto lookups = callsOf("vgLookup");
    ASSERT_EQ(lookups.size(), 6u);
    for (const DrawCall* lookup : lookups) {
        const int a = lookup->alphaTable[255];
        for (int i = 0; i < 256; ++i)
            ASSERT_EQ(lookup->alphaTable[i], i * a / 255) << "alpha " << a << " at " << i;
        EXPECT_EQ(lookup->text, "vgLookup(" + std::to_string(lookup->handle) + ", " + std::to_string(vgImage4444) +
                                    ", 1, 0)");
    }
    // The blend image is a temporary of its own, gone after the fade; the last frame puts the
    // work image over the saved screen.
    EXPECT_NE(lookups[0]->handle, vgImage4444);
    EXPECT_FALSE(port.isLive(lookups[0]->handle));
    EXPECT_EQ(port.liveImageCount(), 2);
    EXPECT_EQ(callsOf("vgDrawImage").back()->handle, vgImage4444);
}

TEST_F(Effects, FadeOutRunsTheAlphasDownAndEndsOnTheSavedScreen)
{
    ovg_fadeout_init();
    EXPECT_TRUE(port.calls().empty());
    ovg_fade_exec(1);
    EXPECT_EQ(summary(), fadeFrames({240, 200, 160, 120, 80, 40}, {"past", "swap", "past", "swap"}));
    EXPECT_EQ(vsyncRequests(), 2);
    EXPECT_EQ(port.liveImageCount(), 2);
}

TEST_F(Effects, FadeInPreparationTurnsClearedGreenIntoADarkShadeAndShowsTheOldScreen)
{
    port.fillSurface(0x07E0);
    port.setSurfacePixel(3, 4, 0xF800);  // red stays opaque red
    port.setSurfacePixel(5, 6, 0x0000);
    ovg_fadein_init();
    const RecordedImage* work = port.image(vgImage4444);
    EXPECT_EQ(work->pixels[0], 0x8222u);
    EXPECT_EQ(work->pixels[271 * 480 + 479], 0x8222u);
    EXPECT_EQ(work->pixels[4 * 480 + 3], 0xF00Fu);
    EXPECT_EQ(work->pixels[6 * 480 + 5], 0xF000u);
    EXPECT_EQ(summary(), (QStringList{"copy", "past", "swap"}));
}

TEST_F(Effects, VsyncWaitsAreFramebufferRequests)
{
    for (int n : {3, 0, -1}) {
        simfb::device().resetRequestCounts();
        ovg_wait_vsync(n);
        EXPECT_EQ(vsyncRequests(), std::max(n, 0));
    }
}

TEST_F(Effects, PendingErrorAtASwapIsLoggedAndTheNextSwapWorks)
{
    MessageCapture log;
    port.setVgError(VG_OUT_OF_MEMORY_ERROR);
    ovg_swap_buffer();
    ASSERT_EQ(log.messages().size(), 1);
    EXPECT_TRUE(log.messages()[0].startsWith(" <SRV ERR> void vistrel::ovg_swap_buffer() [ "));
    EXPECT_TRUE(log.messages()[0].endsWith("]: vgGetError() = 0x1002, eglGetError() = 0x3000"));
    port.failNext("eglSwapBuffers");
    ovg_swap_buffer();
    EXPECT_TRUE(log.messages().at(1).endsWith("vgGetError() = 0x0000, eglGetError() = 0x3003"));
    ovg_swap_buffer();
    EXPECT_EQ(log.messages().size(), 2);
    EXPECT_EQ(summary(), (QStringList{"swap", "swap", "swap"}));
}

TEST_F(Effects, ImagesArePlacedFromTheTopLeftAndTheMatrixIsKept)
{
    VGImage picture = port.vgCreateImage(VG_sABGR_4444, 100, 50, VG_IMAGE_QUALITY_NONANTIALIASED);
    setup_matrix_draw_image();
    const VgMatrix flipped = port.matrix(VG_MATRIX_IMAGE_USER_TO_SURFACE);
    EXPECT_EQ(flipped, (VgMatrix{1, 0, 0, 0, -1, 0, 0, 272, 1}));
    draw_image(37, 41, picture);
    EXPECT_EQ(port.matrix(VG_MATRIX_IMAGE_USER_TO_SURFACE), flipped);
    setup_matrix_draw_path();
    EXPECT_EQ(port.matrix(VG_MATRIX_PATH_USER_TO_SURFACE), (VgMatrix{1, 0, 0, 0, 1, 0, 0, 272, 1}));
    EXPECT_EQ(summary(), QStringList{"image 100x50 at 37,41"});
}

TEST_F(Effects, RectanglesFillAndStrokeWithTheColoursGiven)
{
    const VGfloat red[4] = {1, 0, 0, 1};
    const VGfloat blue[4] = {0, 0, 1, 0.5f};
    draw_rect(1, 2, 30, 40, nullptr, nullptr);
    EXPECT_TRUE(port.calls().empty());

    draw_rect(1, 2, 30, 40, red, blue);
    const auto draws = callsOf("vgDrawPath");
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0]->text, "vgDrawPath(" + std::to_string(draws[0]->handle) + ", 3)");
    EXPECT_EQ(port.paint(port.fillPaint())->color, (std::array<VGfloat, 4>{1, 0, 0, 1}));
    EXPECT_EQ(port.paint(port.strokePaint())->color, (std::array<VGfloat, 4>{0, 0, 1, 0.5f}));
    EXPECT_EQ(port.paint(port.fillPaint())->type, VG_PAINT_TYPE_COLOR);
    EXPECT_FALSE(port.path(draws[0]->handle));  // destroyed after the flush
    EXPECT_EQ(port.functions().back(), "vgDestroyPath");
    EXPECT_EQ(callsOf("vguRect").at(0)->text, "vguRect(" + std::to_string(draws[0]->handle) + ", 1, 2, 30, 40)");

    port.clearCalls();
    draw_round_rect(1, 2, 30, 40, 8, 6, nullptr, blue);
    EXPECT_EQ(callsOf("vgDrawPath").at(0)->text, "vgDrawPath(" + std::to_string(callsOf("vgDrawPath")[0]->handle) + ", 1)");
    EXPECT_EQ(callsOf("vguRoundRect").size(), 1u);
    EXPECT_EQ(callsOf("vgFlush").size(), 1u);

    _set_scissoring(red);
    EXPECT_EQ(port.scissoring(), VG_TRUE);
    _set_scissoring(nullptr);
    EXPECT_EQ(port.scissoring(), VG_FALSE);
}
