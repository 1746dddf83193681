/* The EGL error variable: the last error wins until eglGetError reads it. */
#ifndef EGL_LX_ERROR_H
#define EGL_LX_ERROR_H

#include <EGL/egl.h>

#ifdef __cplusplus
extern "C" {
#endif

void EGLINL_SetError(EGLint error);
/* Returns the error and resets it to EGL_SUCCESS. */
EGLint EGLINL_GetError(void);

/* Sets the error and answers EGL_FALSE, for the failure paths. */
EGLBoolean EGLINL_Fail(EGLint error);

#ifdef __cplusplus
}
#endif

#endif
