/* Waits for the client API and for native rendering (not exported). */
#ifndef EGL_LX_SYNC_H
#define EGL_LX_SYNC_H

#include <EGL/egl.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Waits until the bound API's current context has finished with the GPU. */
EGLBoolean EGLINL_WaitClient(void);
EGLBoolean EGLINL_WaitNative(EGLint engine);
EGLBoolean EGLINL_WaitGL(void);

#ifdef __cplusplus
}
#endif

#endif
