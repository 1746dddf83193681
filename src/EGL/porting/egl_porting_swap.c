/* Posting a window surface: the GPU's copy engine moves the back buffer (or one rectangle of it)
 * to the framebuffer or the OSD plane, bracketed by the framebuffer driver's private requests. */
#include "EGL/porting/egl_porting.h"

#include <VX/vxlib.h>
#include <errno.h>
#include <linux/fb.h>
#include <stdint.h>
#include <stdio.h>

#include "EGL/egl/egl_lx_types.h"
#include "cgl.h"
#include "cgl_assert.h"
#include "winsys/vx_fbdev.h"

#define FBIO_BEFORE_COPY 0x40047640ul
#define FBIO_BEFORE_COPY_FALLBACK 0x761Dul
#define FBIO_AFTER_COPY 0x40047641ul
#define FBIO_AFTER_COPY_FALLBACK 0x761Cul
#define FBIO_OSD_BEFORE_COPY 0x4004763Eul
#define FBIO_OSD_AFTER_COPY 0x4004763Ful
#define OSD_SHOW_ATTEMPTS 100

/* A rectangle on the screen, [left, right) x [top, bottom), and the screen position of the
 * surface's first pixel; wide enough that no sum of caller values overflows. */
typedef struct PostRect {
    int64_t left, top, right, bottom;
    int64_t origin_x, origin_y;
} PostRect;

typedef struct Screen {
    int fbfd;
    int osd;
    word32 base; /* GPU (physical) address of the frame's first pixel */
    int64_t xres, yres;
    int bits_per_pixel;
} Screen;

static Screen read_screen(EGLNativeDisplayType dpy)
{
    Screen s;
    struct fb_fix_screeninfo finfo = {0};
    struct fb_var_screeninfo vinfo = {0};
    uintptr_t osd_offset = 0;
    s.fbfd = -1;
    s.osd = 0;
    VXQueryDisplay(dpy, VX_DISPLAY_FBFD, &s.fbfd);
    CGL_ASSERT(s.fbfd >= 0, "fbfd >= 0");
    VXQueryDisplay(dpy, VX_DISPLAY_FINFO, &finfo);
    VXQueryDisplay(dpy, VX_DISPLAY_VINFO, &vinfo);
    VXQueryDisplay(dpy, VX_DISPLAY_OSD, &s.osd);
    VXQueryDisplay(dpy, VX_DISPLAY_OSD_OFFSET, &osd_offset);
    s.base = (word32)finfo.smem_start + (s.osd ? (word32)osd_offset : 0u);
    s.xres = vinfo.xres;
    s.yres = vinfo.yres;
    s.bits_per_pixel = (int)vinfo.bits_per_pixel;
    return s;
}

static int64_t min64(int64_t a, int64_t b)
{
    return a < b ? a : b;
}

static int64_t max64(int64_t a, int64_t b)
{
    return a > b ? a : b;
}

static void before_copy(const Screen *s)
{
    if (s->osd)
        vx_fb_ioctl(s->fbfd, FBIO_OSD_BEFORE_COPY, NULL);
    else if (vx_fb_ioctl(s->fbfd, FBIO_BEFORE_COPY, NULL) != 0)
        vx_fb_ioctl(s->fbfd, FBIO_BEFORE_COPY_FALLBACK, NULL);
}

/* The plane is shown once a vertical sync has passed; a driver that keeps failing the wait for
 * another reason than an interruption gets the plane shown anyway. */
static void show_osd(EGLNativeDisplayType dpy, const Screen *s)
{
    static const unsigned int visible_on[1] = {1};
    int visible = 0;
    int attempt;
    VXQueryDisplay(dpy, VX_DISPLAY_OSD_VISIBLE, &visible);
    if (visible)
        return;
    for (attempt = 0; attempt < OSD_SHOW_ATTEMPTS; ++attempt) {
        int arg = 0;
        if (vx_fb_ioctl(s->fbfd, VX_FBIO_WAIT_VSYNC, &arg) == 0)
            break;
        if (errno != EINTR && errno != EAGAIN) {
            attempt = OSD_SHOW_ATTEMPTS;
            break;
        }
    }
    if (attempt == OSD_SHOW_ATTEMPTS)
        printf("NativeSwapBuffers: no vertical sync before showing the OSD plane\n");
    VXConfigDisplay(dpy, VX_DISPLAY_OSD_VISIBLE, visible_on);
}

static void after_copy(EGLNativeDisplayType dpy, const Screen *s)
{
    if (s->osd) {
        vx_fb_ioctl(s->fbfd, FBIO_OSD_AFTER_COPY, NULL);
        show_osd(dpy, s);
    } else if (vx_fb_ioctl(s->fbfd, FBIO_AFTER_COPY, NULL) != 0) {
        vx_fb_ioctl(s->fbfd, FBIO_AFTER_COPY_FALLBACK, NULL);
    }
}

static void run_copy(word32 mode, const caTable *table)
{
    cglSetCAT(mode, 0, table);
    cglWaitIntrOn(CGL_INTR_COPY_DONE);
    cglWritePEReg1(LX_PE_OVG_CP_START, 0);
    cglWaitIntr();
    cglWaitIntrOff(CGL_INTR_COPY_DONE);
    cglWaitIntrOn(CGL_INTR_PE_SYNC);
    cglWritePEReg1(LX_PE_OVG_SYNC, 1);
    cglWaitIntr();
    cglWaitIntrOff(CGL_INTR_PE_SYNC);
}

/* Copies the part of rect inside the frame from the back buffer; an empty part copies nothing
 * and succeeds. */
static EGLBoolean post_rect(EGLNativeDisplayType dpy, const EGLsurface *surface, const PostRect *rect,
                            const char *caller)
{
    const Screen s = read_screen(dpy);
    const int64_t x0 = max64(rect->left, 0), y0 = max64(rect->top, 0);
    const int64_t right = min64(rect->right, s.xres), bottom = min64(rect->bottom, s.yres);
    const EGLint bits = surface->config->buffer_size;
    const word32 bytes = (word32)bits / 8u;
    const word32 source = surface->back_buffer ? surface->color_buffer1 : surface->color_buffer0;
    caTable table;

    if (right <= x0 || bottom <= y0)
        return EGL_TRUE;
    if (bits != s.bits_per_pixel) {
        printf("%s failed: surface_dpp (%d) != fb_dpp (%d)\n", caller, bits, s.bits_per_pixel);
        return EGL_FALSE;
    }
    cglClearCAT(&table);
    table.saddr = source + bytes * (word32)((x0 - rect->origin_x) + surface->surface_width * (y0 - rect->origin_y));
    table.daddr = s.base + bytes * (word32)(x0 + s.xres * y0);
    table.sxsize = (word32)(right - x0);
    table.sysize = (word32)(bottom - y0);
    table.soff = (word32)surface->surface_width - table.sxsize;
    table.doff = (word32)s.xres - table.sxsize;
    table.same = cglGetMmuMode() ? 1 : 0;
    before_copy(&s);
    run_copy(bits == 16 ? CGL_CAT_PIXEL_16BPP : CGL_CAT_PIXEL_32BPP, &table);
    after_copy(dpy, &s);
    return EGL_TRUE;
}

static int64_t window_int(EGLNativeDisplayType dpy, EGLNativeWindowType win, int attribute)
{
    int value = 0;
    VXQueryWindow(dpy, win, attribute, &value);
    return value;
}

static PostRect window_rect(EGLNativeDisplayType dpy, EGLNativeWindowType win)
{
    PostRect r;
    r.origin_x = r.left = window_int(dpy, win, VX_WINDOW_X);
    r.origin_y = r.top = window_int(dpy, win, VX_WINDOW_Y);
    r.right = r.left + window_int(dpy, win, VX_WINDOW_WIDTH);
    r.bottom = r.top + window_int(dpy, win, VX_WINDOW_HEIGHT);
    return r;
}

EGLBoolean PORTL_NativeSwapBuffers(EGLNativeDisplayType dpy, EGLNativeWindowType win, EGLSurface surface)
{
    const PostRect r = window_rect(dpy, win);
    return post_rect(dpy, (const EGLsurface *)surface, &r, "NativeSwapBuffers");
}

EGLBoolean PORTL_PostSubBufferNV(EGLNativeDisplayType dpy, EGLNativeWindowType win, EGLSurface surface, EGLint x,
                                 EGLint y, EGLint width, EGLint height)
{
    const PostRect w = window_rect(dpy, win);
    PostRect r = w;
    if (width <= 0 || height <= 0)
        return EGL_TRUE;
    r.left = max64(w.left + x, w.left);
    r.top = max64(w.top + y, w.top);
    r.right = min64(w.left + x + (int64_t)width, w.right);
    r.bottom = min64(w.top + y + (int64_t)height, w.bottom);
    return post_rect(dpy, (const EGLsurface *)surface, &r, "PostSubBufferNV");
}
