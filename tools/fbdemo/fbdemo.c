/* vnq_fbdemo: brings up EGL on the board's screen the way the display server does, writes eight
 * colour bars into the back buffer and swaps, so the frame can be looked at with ./vq shot. */
#include <EGL/egl.h>
#include <VX/vxlib.h>
#include <linux/fb.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include "EGL/porting/egl_porting.h"
#include "cgl.h"
#include "vnq_boardroot.h"

static const uint32_t bars[8] = {0xFFFFFF, 0xFFFF00, 0x00FFFF, 0x00FF00, 0xFF00FF, 0xFF0000, 0x0000FF, 0x000000};

static EGLint config_for_depth(unsigned bits)
{
    return bits == 16 ? 1 : bits == 32 ? 8 : 2;
}

static uint16_t rgb565(uint32_t rgb)
{
    return (uint16_t)(((rgb >> 8) & 0xF800u) | ((rgb >> 5) & 0x07E0u) | ((rgb >> 3) & 0x001Fu));
}

static void draw_bars(const ALbuffer *buffer)
{
    const int pixels = buffer->stride / (buffer->bpp / 8);
    uint16_t *row16 = calloc((size_t)pixels, sizeof *row16);
    uint32_t *row32 = calloc((size_t)pixels, sizeof *row32);
    int x, y;
    for (x = 0; x < buffer->width; ++x) {
        const uint32_t rgb = bars[x * 8 / buffer->width];
        row16[x] = rgb565(rgb);
        row32[x] = 0xFF000000u | rgb;
    }
    for (y = 0; y < buffer->height; ++y) {
        const word32 addr = buffer->addr + (word32)(y * buffer->stride);
        if (buffer->bpp == 16)
            cglWriteMemory16A(addr, row16, (word32)pixels);
        else
            cglWriteMemory32A(addr, row32, (word32)pixels);
    }
    free(row16);
    free(row32);
}

int main(void)
{
    const EGLint surface_attribs[] = {EGL_VG_ALPHA_FORMAT, EGL_VG_ALPHA_FORMAT_NONPRE, EGL_VG_COLORSPACE,
                                      EGL_VG_COLORSPACE_sRGB, EGL_NONE};
    struct fb_var_screeninfo vinfo = {0};
    EGLConfig config = NULL;
    EGLint count = 0, attribs[3] = {EGL_CONFIG_ID, 0, EGL_NONE};
    VXDisplay *vx;
    EGLDisplay dpy;
    EGLContext ctx;
    EGLSurface surface;
    const ALsurface *sfc;
    char fb_path[4096];

    /* The window system stops the process on a missing frame buffer: say what to do instead. */
    if (!vnq_board_path(fb_path, sizeof fb_path, "/dev/fb0") || access(fb_path, F_OK) != 0) {
        fprintf(stderr, "vnq_fbdemo: no screen at %s (prepare the board root first, e.g. with ./vq run)\n",
                fb_path);
        return 1;
    }
    dpy = eglGetDisplay(EGL_DEFAULT_DISPLAY);
    if (!eglInitialize(dpy, NULL, NULL)) {
        fprintf(stderr, "vnq_fbdemo: eglInitialize failed (0x%04x)\n", (unsigned)eglGetError());
        return 1;
    }
    vx = (VXDisplay *)dpy;
    VXQueryDisplay(vx, VX_DISPLAY_VINFO, &vinfo);
    attribs[1] = config_for_depth(vinfo.bits_per_pixel);
    eglChooseConfig(dpy, attribs, &config, 1, &count);
    eglBindAPI(EGL_OPENVG_API);
    ctx = eglCreateContext(dpy, config, EGL_NO_CONTEXT, NULL);
    surface = eglCreateWindowSurface(dpy, config,
                                     VXCreateWindow(vx, 0, 0, (int)vinfo.xres, (int)vinfo.yres, (int)vinfo.bits_per_pixel),
                                     surface_attribs);
    if (count != 1 || !eglMakeCurrent(dpy, surface, surface, ctx)) {
        fprintf(stderr, "vnq_fbdemo: EGL start-up failed (0x%04x)\n", (unsigned)eglGetError());
        return 1;
    }
    sfc = PORTL_DrawingSurface();
    draw_bars(sfc->back && sfc->disp1 ? sfc->disp1 : sfc->disp0);
    if (!eglSwapBuffers(dpy, surface)) {
        fprintf(stderr, "vnq_fbdemo: eglSwapBuffers failed (0x%04x)\n", (unsigned)eglGetError());
        return 1;
    }
    eglMakeCurrent(dpy, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglTerminate(dpy);
    return 0;
}
