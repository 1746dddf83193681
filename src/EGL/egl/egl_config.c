/* Public entry points of configurations. */
#include <EGL/egl.h>

#include "EGL/egl/egl_checks.h"
#include "EGL/egl/egl_lx_config.h"
#include "EGL/egl/egl_lx_error.h"

EGLBoolean eglGetConfigs(EGLDisplay dpy, EGLConfig *configs, EGLint config_size, EGLint *num_config)
{
    EGLdisplay *display = EGLINL_CheckDisplay(dpy);
    if (!display || !EGLINL_CheckOutput(num_config))
        return EGL_FALSE;
    return EGLINL_GetConfigs(display, configs, config_size, num_config);
}

EGLBoolean eglGetConfigAttrib(EGLDisplay dpy, EGLConfig config, EGLint attribute, EGLint *value)
{
    EGLdisplay *display = EGLINL_CheckDisplay(dpy);
    const EGLconfig *row;
    if (!display)
        return EGL_FALSE;
    row = EGLINL_CheckConfig(display, config);
    if (!row)
        return EGL_FALSE;
    if (!EGLINL_CheckQuery(EGLINL_IsConfigAttribute(attribute), value))
        return EGL_FALSE;
    return EGLINL_GetConfigAttrib(row, attribute, value);
}

EGLBoolean eglChooseConfig(EGLDisplay dpy, const EGLint *attrib_list, EGLConfig *configs, EGLint config_size,
                           EGLint *num_config)
{
    EGLdisplay *display = EGLINL_CheckDisplay(dpy);
    const EGLint *a;
    if (!display)
        return EGL_FALSE;
    for (a = attrib_list; a && a[0] != EGL_NONE; a += 2)
        if (!EGLINL_IsConfigAttribute(a[0]))
            return EGLINL_Fail(EGL_BAD_ATTRIBUTE);
    if (!EGLINL_CheckOutput(num_config))
        return EGL_FALSE;
    return EGLINL_ChooseConfig(display, attrib_list, configs, config_size, num_config);
}
