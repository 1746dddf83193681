/* Surfaces: window surfaces, pbuffers (also from OpenVG images) and pixmap surfaces, their GPU
 * buffers, queries and deferred destruction. */
#ifndef EGL_LX_SURFACE_H
#define EGL_LX_SURFACE_H

#include "EGL/egl/egl_lx_types.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The attributes a new surface starts with; type is EGL_WINDOW_BIT, _PBUFFER_BIT or _PIXMAP_BIT. */
void EGLINL_DefaultSurfaceAttrib(const EGLconfig *config, EGLint type, EGLsurface_attrib *attrib);

EGLSurface EGLINL_CreateWindowSurface(EGLdisplay *display, const EGLconfig *config, EGLNativeWindowType win,
                                      const EGLsurface_attrib *attrib);
EGLSurface EGLINL_CreatePbufferSurface(EGLdisplay *display, const EGLconfig *config,
                                       const EGLsurface_attrib *attrib);
EGLSurface EGLINL_CreatePbufferFromClientBuffer(EGLdisplay *display, EGLClientBuffer buffer,
                                                const EGLconfig *config, const EGLsurface_attrib *attrib);
EGLSurface EGLINL_CreatePixmapSurface(EGLdisplay *display, const EGLconfig *config, EGLNativePixmapType pixmap,
                                      const EGLsurface_attrib *attrib);
EGLBoolean EGLINL_DestroySurface(EGLdisplay *display, EGLsurface *surface);
/* Whether attribute is one eglQuerySurface answers. */
EGLBoolean EGLINL_IsSurfaceQuery(EGLint attribute);
EGLBoolean EGLINL_QuerySurface(const EGLsurface *surface, EGLint attribute, EGLint *value);

/* Frees a released surface that is neither current nor bound. */
void EGLINL_DeleteEGLSurface(EGLdisplay *display, EGLsurface *surface);
/* Releases every surface of the display (terminate); those not current go at once. */
void EGLINL_ReleaseSurfaces(EGLdisplay *display);

#ifdef __cplusplus
}
#endif

#endif
