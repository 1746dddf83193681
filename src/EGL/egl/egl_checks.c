#include "EGL/egl/egl_checks.h"

#include "EGL/egl/egl_linklist.h"
#include "EGL/egl/egl_lx_config.h"
#include "EGL/egl/egl_lx_error.h"
#include "EGL/egl/egl_lx_init.h"
#include "EGL/porting/egl_porting.h"

EGLBoolean EGLINL_CheckNativeDisplay(EGLDisplay dpy)
{
    if (!dpy || !EGL_PORT(IsValidNativeDisplayType)((EGLNativeDisplayType)dpy))
        return EGLINL_Fail(EGL_BAD_DISPLAY);
    return EGL_TRUE;
}

EGLdisplay *EGLINL_CheckDisplay(EGLDisplay dpy)
{
    EGLdisplay *display;
    if (!EGLINL_CheckNativeDisplay(dpy))
        return NULL;
    /* A terminated display whose objects are still current keeps its record, but it is not
     * initialised again until eglInitialize. */
    display = EGLINL_FindDisplay(dpy);
    if (!display || display->release) {
        EGLINL_SetError(EGL_NOT_INITIALIZED);
        return NULL;
    }
    return display;
}

const EGLconfig *EGLINL_CheckConfig(const EGLdisplay *display, EGLConfig config)
{
    const EGLconfig *row = EGLINL_FindConfig(display, config);
    if (!row)
        EGLINL_SetError(EGL_BAD_CONFIG);
    return row;
}

EGLcontext *EGLINL_CheckContext(const EGLdisplay *display, EGLContext ctx)
{
    EGLcontext *context = (EGLcontext *)ctx;
    if (!ctx || !EGLINL_IsLinkListItem(display->context_list, ctx) || context->release) {
        EGLINL_SetError(EGL_BAD_CONTEXT);
        return NULL;
    }
    return context;
}

EGLsurface *EGLINL_CheckSurface(const EGLdisplay *display, EGLSurface surface)
{
    EGLsurface *s = (EGLsurface *)surface;
    if (!surface || !EGLINL_IsLinkListItem(display->surface_list, surface) || s->release) {
        EGLINL_SetError(EGL_BAD_SURFACE);
        return NULL;
    }
    return s;
}

EGLcontext *EGLINL_CheckDisplayContext(EGLDisplay dpy, EGLContext ctx, EGLdisplay **display)
{
    *display = EGLINL_CheckDisplay(dpy);
    return *display ? EGLINL_CheckContext(*display, ctx) : NULL;
}

EGLsurface *EGLINL_CheckDisplaySurface(EGLDisplay dpy, EGLSurface surface, EGLdisplay **display)
{
    *display = EGLINL_CheckDisplay(dpy);
    return *display ? EGLINL_CheckSurface(*display, surface) : NULL;
}

EGLBoolean EGLINL_CheckOutput(const void *value)
{
    return value ? EGL_TRUE : EGLINL_Fail(EGL_BAD_PARAMETER);
}

EGLBoolean EGLINL_CheckQuery(EGLBoolean known_attribute, const void *value)
{
    if (!known_attribute)
        return EGLINL_Fail(EGL_BAD_ATTRIBUTE);
    return EGLINL_CheckOutput(value);
}
