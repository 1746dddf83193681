/* The EGL porting layer: every platform operation EGL needs, each with the signature of its
 * hook (EGL/eglhooks.h). EGL calls an operation through EGL_PORT, which takes the hook when it
 * is set. */
#ifndef EGL_PORTING_H
#define EGL_PORTING_H

#include <EGL/egl.h>
#include <EGL/eglhooks.h>
#include <stddef.h>

#include "vg/common/vg_surface.h"

#ifdef __cplusplus
extern "C" {
#endif

#define EGL_PORT(name) (EGLINL_Callback##name ? EGLINL_Callback##name : PORTL_##name)

/* Buffer kinds of PORTL_MemAlloc. */
enum {
    EGL_BUFFER_COLOR0 = 1,
    EGL_BUFFER_COLOR1 = 2,
    EGL_BUFFER_DEPTH = 3,
    EGL_BUFFER_MULTISAMPLE = 4,
    EGL_BUFFER_ALPHA_MASK = 5,
};

EGLNativeDisplayType PORTL_OpenNativeDisplay(void);
EGLBoolean PORTL_IsValidNativeDisplayType(EGLNativeDisplayType dpy);
EGLBoolean PORTL_IsValidNativeWindowType(EGLNativeDisplayType dpy, EGLNativeWindowType win);
EGLBoolean PORTL_IsValidNativePixmapType(EGLNativeDisplayType dpy, EGLNativePixmapType pixmap);
EGLBoolean PORTL_IsMatchNativePixmapFormat(EGLNativeDisplayType dpy, EGLNativePixmapType pixmap, EGLConfig config);
uint32_t PORTL_NativeQueryWindow(EGLNativeDisplayType dpy, EGLNativeWindowType win, EGLint attribute);
uint32_t PORTL_NativeQueryPixmap(EGLNativeDisplayType dpy, EGLNativePixmapType pixmap, EGLint attribute);
EGLint PORTL_NativeFixSurfaceSize(EGLint size, EGLint selector);
EGLBoolean PORTL_IsSortNativeVisualType(EGLint a, EGLint b);
EGLBoolean PORTL_WaitNativeRendering(void);

/* Bytes PORTL_MemAlloc asks the allocator for; 0 for an unknown kind. */
long PORTL_MemSize(EGLint width, EGLint height, EGLint bits, EGLint kind);
EGLGpuAddress PORTL_MemAlloc(EGLint width, EGLint height, EGLint bits, EGLint kind);
void PORTL_MemFree(EGLGpuAddress addr, EGLint kind);

/* The alpha mask's row pitch in 16-bit units and the pixel engine's format word for it. */
EGLint PORTL_AlphaMaskPitch(EGLint width, EGLint bits);
uint32_t PORTL_AlphaMaskFormat(EGLint pitch);
EGLGpuAddress PORTL_NativeGetAlphaMaskBuffer(EGLint width, EGLint height, EGLint bits);

/* Copy the back buffer of a window surface to the screen, clipped to the frame; a surface whose
 * buffers are not of the frame's depth prints a failure line and fails. */
EGLBoolean PORTL_NativeSwapBuffers(EGLNativeDisplayType dpy, EGLNativeWindowType win, EGLSurface surface);
/* The rectangle is in surface coordinates (y down from the top row) and also clipped to the
 * window; a negative or zero size is empty. */
EGLBoolean PORTL_PostSubBufferNV(EGLNativeDisplayType dpy, EGLNativeWindowType win, EGLSurface surface, EGLint x,
                                 EGLint y, EGLint width, EGLint height);
/* Copy the back buffer into the pixmap's buffer, converted to the pixmap's depth; a pixmap
 * without a buffer or a conversion the copy engine lacks fails. */
EGLBoolean PORTL_NativeCopyBuffers(EGLNativeDisplayType dpy, EGLSurface surface, EGLNativePixmapType pixmap);

EGLBoolean PORTL_InitializeGPU(void);
void PORTL_TerminateGPU(void);

EGLBoolean PORTL_InitializeOpenVGAPI(void);
void PORTL_TerminateOpenVGAPI(void);
void *PORTL_CreateOpenVGContext(void *share);
void PORTL_DestroyOpenVGContext(void *ovg);
EGLBoolean PORTL_MakeCurrentOpenVG(EGLDisplay dpy, EGLSurface draw, EGLSurface read, EGLContext ctx);
void PORTL_WaitOpenVG(EGLContext ctx);
EGLBoolean PORTL_SwapBufferOpenVG(EGLSurface draw, EGLSurface read, EGLContext ctx);
EGLint PORTL_BindOpenVGImage(EGLContext ctx, EGLClientBuffer image);
EGLint PORTL_UnbindOpenVGImage(EGLContext ctx, EGLClientBuffer image);
EGLint PORTL_GetOpenVGImageInfo(EGLContext ctx, EGLClientBuffer image, EGLSurface surface);
EGLBoolean PORTL_IsValidOpenVGImage(EGLContext ctx, EGLClientBuffer image);
EGLBoolean PORTL_IsMatchOpenVGImageFormat(EGLContext ctx, EGLClientBuffer image, EGLConfig config);
void PORTL_ReleasePbufferFromOpenVGImage(EGLSurface surface, EGLClientBuffer image);
void *PORTL_GetProcAddressOpenVG(const char *name);
/* The drawing surface OpenVG was last handed (the layer's static record). */
const ALsurface *PORTL_DrawingSurface(void);

EGLBoolean PORTL_InitializeOpenGLESAPI(void);
void PORTL_TerminateOpenGLESAPI(void);
void *PORTL_CreateOpenGLESContext(EGLConfig config, void *share, EGLint version);
void PORTL_DestroyOpenGLESContext(void *oes);
EGLBoolean PORTL_MakeCurrentOpenGLES(EGLDisplay dpy, EGLSurface draw, EGLSurface read, EGLContext ctx);
void PORTL_WaitOpenGLES(EGLContext ctx);
EGLBoolean PORTL_BindOpenGLESTexImage(EGLSurface surface, EGLint buffer);
EGLBoolean PORTL_ReleaseOpenGLESTexImage(EGLSurface surface, EGLint buffer);
EGLBoolean PORTL_SwapBufferOpenGLES(EGLSurface draw, EGLSurface read, EGLContext ctx);
void *PORTL_GetProcAddressOpenGLES(const char *name);

#ifdef __cplusplus
}
#endif

#endif
