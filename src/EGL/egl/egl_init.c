/* Public entry points of displays. */
#include <EGL/egl.h>

#include "EGL/egl/egl_checks.h"
#include "EGL/egl/egl_lx_init.h"
#include "EGL/porting/egl_porting.h"

EGLDisplay eglGetDisplay(EGLNativeDisplayType display_id)
{
    if (display_id && !EGL_PORT(IsValidNativeDisplayType)(display_id))
        return EGL_NO_DISPLAY;
    return EGLINL_GetDisplay(display_id);
}

EGLBoolean eglInitialize(EGLDisplay dpy, EGLint *major, EGLint *minor)
{
    if (!EGLINL_CheckNativeDisplay(dpy))
        return EGL_FALSE;
    return EGLINL_Initialize(dpy, major, minor);
}

EGLBoolean eglTerminate(EGLDisplay dpy)
{
    if (!EGLINL_CheckNativeDisplay(dpy))
        return EGL_FALSE;
    return EGLINL_Terminate(dpy);
}
