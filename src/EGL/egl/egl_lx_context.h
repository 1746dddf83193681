/* Contexts, the bound API and the current state, with make-current and the deferred
 * destruction of contexts and surfaces. */
#ifndef EGL_LX_CONTEXT_H
#define EGL_LX_CONTEXT_H

#include "EGL/egl/egl_lx_types.h"

#ifdef __cplusplus
extern "C" {
#endif

EGLBoolean EGLINL_BindAPI(EGLenum api);
EGLenum EGLINL_QueryAPI(void);
EGLContext EGLINL_CreateContext(EGLdisplay *display, const EGLconfig *config, EGLcontext *share, EGLint version);
EGLBoolean EGLINL_DestroyContext(EGLdisplay *display, EGLcontext *ctx);
EGLBoolean EGLINL_MakeCurrent(EGLDisplay dpy, EGLsurface *draw, EGLsurface *read, EGLcontext *ctx);
EGLBoolean EGLINL_IsContextQuery(EGLint attribute);
EGLBoolean EGLINL_QueryContext(const EGLcontext *ctx, EGLint attribute, EGLint *value);
EGLContext EGLINL_GetCurrentContext(void);
EGLSurface EGLINL_GetCurrentSurface(EGLint readdraw);
EGLDisplay EGLINL_GetCurrentDisplay(void);

/* Releases every context of the display (terminate); those not current go at once. */
void EGLINL_ReleaseContexts(EGLdisplay *display);

#ifdef __cplusplus
}
#endif

#endif
