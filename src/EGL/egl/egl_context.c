/* Public entry points of contexts, the API binding and the current state. */
#include <EGL/egl.h>

#include "EGL/egl/egl_checks.h"
#include "EGL/egl/egl_lx_context.h"
#include "EGL/egl/egl_lx_error.h"
#include "EGL/egl/egl_lx_init.h"
#include "EGL/porting/egl_porting.h"

EGLBoolean eglBindAPI(EGLenum api)
{
    if (api != EGL_OPENGL_ES_API && api != EGL_OPENVG_API)
        return EGLINL_Fail(EGL_BAD_PARAMETER);
    return EGLINL_BindAPI(api);
}

EGLenum eglQueryAPI(void)
{
    return EGLINL_QueryAPI();
}

/* EGL_CONTEXT_CLIENT_VERSION 1 or 2, on a configuration an ES API of that version renders to. */
static EGLBoolean read_context_attribs(const EGLconfig *config, const EGLint *list, EGLint *version)
{
    *version = 1;
    for (; list && list[0] != EGL_NONE; list += 2) {
        if (list[0] != EGL_CONTEXT_CLIENT_VERSION || (list[1] != 1 && list[1] != 2))
            return EGLINL_Fail(EGL_BAD_ATTRIBUTE);
        if (!(config->renderable_type & (list[1] == 1 ? EGL_OPENGL_ES_BIT : EGL_OPENGL_ES2_BIT)))
            return EGLINL_Fail(EGL_BAD_CONFIG);
        *version = list[1];
    }
    return EGL_TRUE;
}

EGLContext eglCreateContext(EGLDisplay dpy, EGLConfig config, EGLContext share_context, const EGLint *attrib_list)
{
    EGLdisplay *display = EGLINL_CheckDisplay(dpy);
    const EGLconfig *row = display ? EGLINL_CheckConfig(display, config) : NULL;
    EGLcontext *share = NULL;
    EGLint version;
    if (!row || !read_context_attribs(row, attrib_list, &version))
        return EGL_NO_CONTEXT;
    if (share_context != EGL_NO_CONTEXT && !(share = EGLINL_CheckContext(display, share_context)))
        return EGL_NO_CONTEXT;
    return EGLINL_CreateContext(display, row, share, version);
}

EGLBoolean eglDestroyContext(EGLDisplay dpy, EGLContext ctx)
{
    EGLdisplay *display;
    EGLcontext *context = EGLINL_CheckDisplayContext(dpy, ctx, &display);
    return context ? EGLINL_DestroyContext(display, context) : EGL_FALSE;
}

EGLBoolean eglQueryContext(EGLDisplay dpy, EGLContext ctx, EGLint attribute, EGLint *value)
{
    EGLdisplay *display;
    EGLcontext *context = EGLINL_CheckDisplayContext(dpy, ctx, &display);
    if (!context || !EGLINL_CheckQuery(EGLINL_IsContextQuery(attribute), value))
        return EGL_FALSE;
    return EGLINL_QueryContext(context, attribute, value);
}

/* A surface and a context match when both are absent or both share one configuration. */
static EGLBoolean matches(const EGLsurface *surface, const EGLcontext *ctx)
{
    if (!surface || !ctx)
        return !surface && !ctx;
    return surface->config == ctx->config;
}

static EGLBoolean is_current_state(EGLDisplay dpy, EGLSurface draw, EGLSurface read, EGLContext ctx)
{
    const EGLcurrent *cur = &EGLINV_current;
    return dpy == cur->display && draw == (EGLSurface)cur->draw && read == (EGLSurface)cur->read &&
           ctx == (EGLContext)cur->ctx;
}

EGLBoolean eglMakeCurrent(EGLDisplay dpy, EGLSurface draw, EGLSurface read, EGLContext ctx)
{
    const EGLBoolean releases_only = !draw && !read && !ctx;
    EGLdisplay *display = NULL;
    EGLsurface *d = NULL, *r = NULL;
    EGLcontext *c = NULL;

    if (is_current_state(dpy, draw, read, ctx)) {
        EGLINL_SetError(EGL_SUCCESS);
        return EGL_TRUE;
    }
    if (!dpy) {
        if (!releases_only)
            return EGLINL_Fail(EGL_BAD_DISPLAY);
    } else if (!EGLINL_CheckNativeDisplay(dpy)) {
        return EGL_FALSE;
    } else {
        /* Releasing is the one thing a terminated display whose objects were current still does. */
        display = EGLINL_FindDisplay(dpy);
        if (!display || (display->release && !releases_only))
            return EGLINL_Fail(EGL_NOT_INITIALIZED);
    }
    if (draw && !(d = EGLINL_CheckSurface(display, draw)))
        return EGL_FALSE;
    if (read && !(r = EGLINL_CheckSurface(display, read)))
        return EGL_FALSE;
    if (ctx && !(c = EGLINL_CheckContext(display, ctx)))
        return EGL_FALSE;
    if (!matches(d, c) || !matches(r, c))
        return EGLINL_Fail(EGL_BAD_MATCH);
    if ((d && d->type == EGL_WINDOW_BIT && !EGL_PORT(IsValidNativeWindowType)(display->native, d->native)) ||
        (r && r->type == EGL_WINDOW_BIT && !EGL_PORT(IsValidNativeWindowType)(display->native, r->native)))
        return EGLINL_Fail(EGL_BAD_NATIVE_WINDOW);
    return EGLINL_MakeCurrent(dpy, d, r, c);
}

EGLContext eglGetCurrentContext(void)
{
    return EGLINL_GetCurrentContext();
}

EGLSurface eglGetCurrentSurface(EGLint readdraw)
{
    return EGLINL_GetCurrentSurface(readdraw);
}

EGLDisplay eglGetCurrentDisplay(void)
{
    return EGLINL_GetCurrentDisplay();
}
