/* Native display, window and pixmap operations over the framebuffer window system. */
#include "EGL/porting/egl_porting.h"

#include <VX/vxlib.h>
#include <fcntl.h>

#include "EGL/egl/egl_lx_types.h"
#include "winsys/vx_fbdev.h"
#include "winsys/vxlib_records.h"

/* The window system stops the process when it cannot open the framebuffer; a board without one
 * has no default display instead, so a program learns it from eglGetDisplay and eglInitialize.
 * The device is tried only while the display is closed. */
static int framebuffer_present(void)
{
    int fd;
    if (VXINLIB_DisplayIsOpen())
        return 1;
    fd = vx_fb_open(VX_FB_DEVICE, O_RDWR);
    if (fd < 0)
        return 0;
    vx_fb_close(fd);
    return 1;
}

EGLNativeDisplayType PORTL_OpenNativeDisplay(void)
{
    return framebuffer_present() ? VXOpenDisplay(NULL) : NULL;
}

EGLBoolean PORTL_IsValidNativeDisplayType(EGLNativeDisplayType dpy)
{
    int valid = 0;
    VXQueryDisplay(dpy, VX_DISPLAY_VALID, &valid);
    return valid == 1;
}

/* The target is in the window system's list and of the given type. */
static EGLBoolean is_native_of_type(EGLNativeDisplayType dpy, struct VXwindow *target, unsigned type)
{
    int listed = 0;
    if (!target)
        return EGL_FALSE;
    VXQueryWindow(dpy, target, VX_WINDOW_VALID, &listed);
    return listed == 1 && target->type == type;
}

EGLBoolean PORTL_IsValidNativeWindowType(EGLNativeDisplayType dpy, EGLNativeWindowType win)
{
    return is_native_of_type(dpy, win, VX_TYPE_WINDOW);
}

EGLBoolean PORTL_IsValidNativePixmapType(EGLNativeDisplayType dpy, EGLNativePixmapType pixmap)
{
    return is_native_of_type(dpy, pixmap, VX_TYPE_PIXMAP);
}

EGLBoolean PORTL_IsMatchNativePixmapFormat(EGLNativeDisplayType dpy, EGLNativePixmapType pixmap, EGLConfig config)
{
    const EGLconfig *c = (const EGLconfig *)config;
    uint32_t depth = EGL_PORT(NativeQueryPixmap)(dpy, pixmap, EGL_NATIVE_PIXMAP_DEPTH);
    if (depth == 16)
        return c->red_size == 5 && c->green_size == 6 && c->blue_size == 5 && c->alpha_size == 0;
    if (depth == 32)
        return c->red_size == 8 && c->green_size == 8 && c->blue_size == 8 && c->alpha_size == 8;
    return EGL_FALSE;
}

static uint32_t query_int(EGLNativeDisplayType dpy, struct VXwindow *target, int attribute)
{
    int value = 0;
    VXQueryWindow(dpy, target, attribute, &value);
    return (uint32_t)value;
}

uint32_t PORTL_NativeQueryWindow(EGLNativeDisplayType dpy, EGLNativeWindowType win, EGLint attribute)
{
    switch (attribute) {
    case EGL_NATIVE_WINDOW_WIDTH: return query_int(dpy, win, VX_WINDOW_WIDTH);
    case EGL_NATIVE_WINDOW_HEIGHT: return query_int(dpy, win, VX_WINDOW_HEIGHT);
    case EGL_NATIVE_WINDOW_SWIDTH: return query_int(dpy, win, VX_WINDOW_SWIDTH);
    case EGL_NATIVE_WINDOW_SHEIGHT: return query_int(dpy, win, VX_WINDOW_SHEIGHT);
    default: return 0;
    }
}

uint32_t PORTL_NativeQueryPixmap(EGLNativeDisplayType dpy, EGLNativePixmapType pixmap, EGLint attribute)
{
    uintptr_t addr = VX_NO_BUFFER;
    switch (attribute) {
    case EGL_NATIVE_PIXMAP_WIDTH: return query_int(dpy, pixmap, VX_WINDOW_WIDTH);
    case EGL_NATIVE_PIXMAP_HEIGHT: return query_int(dpy, pixmap, VX_WINDOW_HEIGHT);
    case EGL_NATIVE_PIXMAP_SWIDTH: return query_int(dpy, pixmap, VX_WINDOW_SWIDTH);
    case EGL_NATIVE_PIXMAP_SHEIGHT: return query_int(dpy, pixmap, VX_WINDOW_SHEIGHT);
    case EGL_NATIVE_PIXMAP_DEPTH: return query_int(dpy, pixmap, VX_WINDOW_DEPTH);
    case EGL_NATIVE_PIXMAP_ADDR:
        VXQueryWindow(dpy, pixmap, VX_WINDOW_ADDR, &addr);
        return (uint32_t)addr;
    default: return 0;
    }
}

EGLint PORTL_NativeFixSurfaceSize(EGLint size, EGLint selector)
{
    if (selector == EGL_NATIVE_FIX_WIDTH) {
        EGLint width = (size + 7) / 8 * 8;
        return width > EGL_MAX_PBUFFER_SIZE ? EGL_MAX_PBUFFER_SIZE : width;
    }
    if (selector == EGL_NATIVE_FIX_HEIGHT)
        return size;
    return 0;
}

EGLBoolean PORTL_IsSortNativeVisualType(EGLint a, EGLint b)
{
    (void)a;
    (void)b;
    return EGL_FALSE;
}

EGLBoolean PORTL_WaitNativeRendering(void)
{
    return EGL_TRUE;
}
