#include "ovg_init.h"

#include "drawport.h"

namespace vistrel {
namespace {

constexpr uint16_t kClearedGreen4444 = 0xF0F0;  // opaque pure green: what "Clear" reads back as
constexpr uint16_t kDarkShade4444 = 0x8222;     // alpha 8/15, red, green and blue 2/15
constexpr int kScreenStride = kScreenWidth * 2;

}  // namespace

void ovg_fadein_init()
{
    DrawPort& port = drawPort();
    port.vgGetPixels(vgImage4444, 0, 0, 0, 0, kScreenWidth, kScreenHeight);
    port.vgGetImageSubData(vgImage4444, shortImageBuffer, kScreenStride, VG_sABGR_4444, 0, 0, kScreenWidth,
                           kScreenHeight);
    for (int i = 0; i < kScreenWidth * kScreenHeight; ++i) {
        if (shortImageBuffer[i] == kClearedGreen4444)
            shortImageBuffer[i] = kDarkShade4444;
    }
    port.vgImageSubData(vgImage4444, shortImageBuffer, kScreenStride, VG_sABGR_4444, 0, 0, kScreenWidth,
                        kScreenHeight);
    ovg_past_temp();
    ovg_swap_buffer();
}

void ovg_fadeout_init() {}

void ovg_fade_exec(int out)
{
    DrawPort& port = drawPort();
    _set_matrix_mode(VG_MATRIX_IMAGE_USER_TO_SURFACE);
    port.vgLoadIdentity();
    VGImage blended = port.vgCreateImage(VG_sABGR_4444, kScreenWidth, kScreenHeight, VG_IMAGE_QUALITY_NONANTIALIASED);
    VGubyte identity[256];
    VGubyte alpha[256];
    for (int i = 0; i < 256; ++i)
        identity[i] = static_cast<VGubyte>(i);

    for (int k = 15; k < 255; k += 40) {
        const int a = out ? 255 - k : k;
        draw_image(0, 0, vgImage565);
        for (int i = 0; i < 256; ++i)
            alpha[i] = static_cast<VGubyte>(i * (a / 255.0));
        port.vgLookup(blended, vgImage4444, identity, identity, identity, alpha, VG_TRUE, VG_FALSE);
        draw_image(0, 0, blended);
        ovg_swap_buffer();
    }

    ovg_wait_vsync(1);
    draw_image(0, 0, vgImage565);
    if (!out) {
        draw_image(0, 0, vgImage4444);
        ovg_swap_buffer();
        ovg_wait_vsync(1);
        draw_image(0, 0, vgImage565);
        draw_image(0, 0, vgImage4444);
        ovg_swap_buffer();
    } else {
        ovg_swap_buffer();
        ovg_wait_vsync(1);
        draw_image(0, 0, vgImage565);
        ovg_swap_buffer();
    }
    port.vgDestroyImage(blended);
}

}  // namespace vistrel
