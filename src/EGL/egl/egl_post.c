/* Public entry points of posting: the checks. */
#include <EGL/egl.h>

#include "EGL/egl/egl_checks.h"
#include "EGL/egl/egl_lx_error.h"
#include "EGL/egl/egl_lx_post.h"
#include "EGL/porting/egl_porting.h"

EGLBoolean eglSwapBuffers(EGLDisplay dpy, EGLSurface surface)
{
    EGLdisplay *display;
    EGLsurface *s = EGLINL_CheckDisplaySurface(dpy, surface, &display);
    if (!s)
        return EGL_FALSE;
    if (!EGLINV_current.ctx || EGLINV_current.ctx->draw != s)
        return EGLINL_Fail(EGL_BAD_SURFACE);
    if (s->type == EGL_WINDOW_BIT && !EGL_PORT(IsValidNativeWindowType)(display->native, s->native))
        return EGLINL_Fail(EGL_BAD_NATIVE_WINDOW);
    return EGLINL_SwapBuffers(display, s);
}

EGLBoolean eglPostSubBufferNV(EGLDisplay dpy, EGLSurface surface, EGLint x, EGLint y, EGLint width, EGLint height)
{
    EGLdisplay *display;
    EGLsurface *s = EGLINL_CheckDisplaySurface(dpy, surface, &display);
    if (!s)
        return EGL_FALSE;
    return EGLINL_PostSubBufferNV(display, s, x, y, width, height);
}

EGLBoolean eglCopyBuffers(EGLDisplay dpy, EGLSurface surface, EGLNativePixmapType target)
{
    EGLdisplay *display;
    EGLsurface *s = EGLINL_CheckDisplaySurface(dpy, surface, &display);
    if (!s)
        return EGL_FALSE;
    if (!EGL_PORT(IsValidNativePixmapType)(display->native, target))
        return EGLINL_Fail(EGL_BAD_NATIVE_PIXMAP);
    if ((EGLint)EGL_PORT(NativeQueryPixmap)(display->native, target, EGL_NATIVE_PIXMAP_WIDTH) !=
            s->surface_attrib.width ||
        (EGLint)EGL_PORT(NativeQueryPixmap)(display->native, target, EGL_NATIVE_PIXMAP_HEIGHT) !=
            s->surface_attrib.height)
        return EGLINL_Fail(EGL_BAD_MATCH);
    return EGLINL_CopyBuffers(display, s, target);
}

EGLBoolean eglSwapInterval(EGLDisplay dpy, EGLint interval)
{
    EGLdisplay *display = EGLINL_CheckDisplay(dpy);
    const EGLcontext *ctx = EGLINV_current.ctx;
    if (!display)
        return EGL_FALSE;
    if (!ctx)
        return EGLINL_Fail(EGL_BAD_CONTEXT);
    if (!ctx->draw || !ctx->draw->is_current)
        return EGLINL_Fail(EGL_BAD_SURFACE);
    return EGLINL_SwapInterval(display, ctx, interval);
}
