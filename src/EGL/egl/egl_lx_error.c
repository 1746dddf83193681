#include "EGL/egl/egl_lx_error.h"

static EGLint current_error = EGL_SUCCESS;

void EGLINL_SetError(EGLint error)
{
    current_error = error;
}

EGLint EGLINL_GetError(void)
{
    EGLint error = current_error;
    current_error = EGL_SUCCESS;
    return error;
}

EGLBoolean EGLINL_Fail(EGLint error)
{
    current_error = error;
    return EGL_FALSE;
}
