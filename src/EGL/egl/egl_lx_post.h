/* Posting: swap, sub-buffer post and swap interval, after the public layer's checks. */
#ifndef EGL_LX_POST_H
#define EGL_LX_POST_H

#include "EGL/egl/egl_lx_types.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Copies a window surface's back buffer to the screen and flips a double-buffered one; other
 * surfaces only succeed. A failing copy answers EGL_FALSE with the error left as it was. */
EGLBoolean EGLINL_SwapBuffers(EGLdisplay *display, EGLsurface *surface);
/* Copies one rectangle of a window surface's back buffer without flipping. */
EGLBoolean EGLINL_PostSubBufferNV(EGLdisplay *display, EGLsurface *surface, EGLint x, EGLint y, EGLint width,
                                  EGLint height);
/* Copies the surface's back buffer into pixmap. */
EGLBoolean EGLINL_CopyBuffers(EGLdisplay *display, EGLsurface *surface, EGLNativePixmapType pixmap);
/* Stores interval, clamped to the configuration of context's draw surface, in the display. */
EGLBoolean EGLINL_SwapInterval(EGLdisplay *display, const EGLcontext *context, EGLint interval);

#ifdef __cplusplus
}
#endif

#endif
