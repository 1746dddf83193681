#include <EGL/egl.h>

#include "EGL/egl/egl_lx_error.h"

EGLint eglGetError(void)
{
    return EGLINL_GetError();
}
