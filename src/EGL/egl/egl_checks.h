/* The public layer's argument checks, in the order every entry point makes them. Each answers
 * the checked record, or null with the EGL error set. */
#ifndef EGL_CHECKS_H
#define EGL_CHECKS_H

#include "EGL/egl/egl_lx_types.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The window system says dpy is its display (EGL_BAD_DISPLAY otherwise). */
EGLBoolean EGLINL_CheckNativeDisplay(EGLDisplay dpy);
/* A valid display with a record that is not released (EGL_NOT_INITIALIZED otherwise). */
EGLdisplay *EGLINL_CheckDisplay(EGLDisplay dpy);
const EGLconfig *EGLINL_CheckConfig(const EGLdisplay *display, EGLConfig config);
/* In the display's list and not released. */
EGLcontext *EGLINL_CheckContext(const EGLdisplay *display, EGLContext ctx);
EGLsurface *EGLINL_CheckSurface(const EGLdisplay *display, EGLSurface surface);
/* The display checks, then the context or surface check. */
EGLcontext *EGLINL_CheckDisplayContext(EGLDisplay dpy, EGLContext ctx, EGLdisplay **display);
EGLsurface *EGLINL_CheckDisplaySurface(EGLDisplay dpy, EGLSurface surface, EGLdisplay **display);
/* A null output pointer fails with EGL_BAD_PARAMETER. */
EGLBoolean EGLINL_CheckOutput(const void *value);
/* An attribute the query does not know (EGL_BAD_ATTRIBUTE), then the output pointer. */
EGLBoolean EGLINL_CheckQuery(EGLBoolean known_attribute, const void *value);

#ifdef __cplusplus
}
#endif

#endif
