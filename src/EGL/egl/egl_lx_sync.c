#include "EGL/egl/egl_lx_sync.h"

#include "EGL/egl/egl_lx_error.h"
#include "EGL/egl/egl_lx_types.h"
#include "EGL/porting/egl_porting.h"

EGLBoolean EGLINL_WaitClient(void)
{
    if (EGLINV_current.api == EGL_OPENVG_API && EGLINV_current.ctx)
        EGL_PORT(WaitOpenVG)(EGLINV_current.ctx);
    EGLINL_SetError(EGL_SUCCESS);
    return EGL_TRUE;
}

EGLBoolean EGLINL_WaitNative(EGLint engine)
{
    (void)engine;
    if (EGLINV_current.draw && EGLINV_current.draw->config->native_renderable)
        EGL_PORT(WaitNativeRendering)();
    EGLINL_SetError(EGL_SUCCESS);
    return EGL_TRUE;
}

EGLBoolean EGLINL_WaitGL(void)
{
    EGLenum api = EGLINV_current.api;
    EGLBoolean result;
    EGLINV_current.api = EGL_OPENGL_ES_API;
    result = EGLINL_WaitClient();
    EGLINV_current.api = api;
    return result;
}
