#pragma once

#include <EGL/egl.h>
#include <VG/openvg.h>
#include <VX/vxlib.h>

#include <cstdint>

namespace vistrel {

constexpr int kScreenWidth = 480;
constexpr int kScreenHeight = 272;

// The drawing state set up by init_ovg.
struct ovg_priv_s {
    int fd;  // the frame buffer, -1 when not open
    int x, y, width, height;
    int egl_config_id;
    VXDisplay* native_display;
    VXWindow native_window;
    EGLDisplay egl_display;
    EGLConfig egl_config;
    EGLContext egl_context;
    EGLSurface egl_surface;
    EGLint config_count;
};
extern ovg_priv_s ovg_priv;

// The saved screen (VG_sRGB_565) and the work image (VG_sABGR_4444), both 480x272.
extern VGImage vgImage565;
extern VGImage vgImage4444;
// One screen of 16-bit pixels (and 16 spare), shared by the fades and the picture loading.
extern uint16_t shortImageBuffer[kScreenWidth * kScreenHeight + 16];

// Opens "/dev/fb0", brings up EGL and OpenVG for a double-buffered window of the screen's
// size and creates the two images: 0, or -1 with the frame buffer closed.
int init_ovg();
// Shows what was drawn. A pending OpenVG error before it or an EGL error after it is logged.
void ovg_swap_buffer();
// Waits for n vertical syncs of the frame buffer (none when n <= 0).
void ovg_wait_vsync(int n);

// Drawing primitives and whole-screen effects.
void _clear_screen();
void ovg_copy_temp();
void ovg_past_temp();
void draw_image(int x, int y, VGImage image);
void set_fill_color(const VGfloat rgba[4]);
void set_stroke_color(const VGfloat rgba[4]);
void _set_matrix_mode(VGint mode);
// Image matrix: the protocol's top-left origin, y downwards.
void setup_matrix_draw_image();
// Path matrix: translate(0, 272).
void setup_matrix_draw_path();
void _set_scissoring(const void* mask);
// Fills with fill and strokes with stroke (rgba each), whichever is given; neither: nothing.
void draw_rect(VGfloat x, VGfloat y, VGfloat w, VGfloat h, const VGfloat* fill, const VGfloat* stroke);
void draw_round_rect(VGfloat x, VGfloat y, VGfloat w, VGfloat h, VGfloat arcWidth, VGfloat arcHeight,
                     const VGfloat* fill, const VGfloat* stroke);

void ovg_fadein_init();
void ovg_fadeout_init();
// out: 0 fades vgImage4444 in over the saved screen, 1 fades it out.
void ovg_fade_exec(int out);

}  // namespace vistrel
