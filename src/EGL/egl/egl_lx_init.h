/* Display records and the client API's start and stop. */
#ifndef EGL_LX_INIT_H
#define EGL_LX_INIT_H

#include "EGL/egl/egl_lx_types.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The record of a native display, released or not; null when there is none. */
EGLdisplay *EGLINL_FindDisplay(EGLDisplay dpy);

EGLDisplay EGLINL_GetDisplay(EGLNativeDisplayType native);
EGLBoolean EGLINL_Initialize(EGLDisplay dpy, EGLint *major, EGLint *minor);
EGLBoolean EGLINL_Terminate(EGLDisplay dpy);

/* Frees a released display record once both its lists are empty. */
void EGLINL_FreeDisplayIfDone(EGLdisplay *display);
/* Stops OpenVG, then the GPU, when no display record is left. */
void EGLINL_StopClientAPIIfUnused(void);

#ifdef __cplusplus
}
#endif

#endif
