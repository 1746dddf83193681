/* Replaceable platform operations of the graphics library's EGL. Each operation has one
 * process-wide hook, EGLINL_Callback followed by the operation's name; EGL calls the hook when
 * it is set and the library's own operation otherwise. All hooks start null and the library
 * never sets one: they are for a program that embeds the library on another platform.
 *
 * Surfaces, contexts and configurations are passed as their EGL handles. GPU addresses are
 * 32-bit; all ones means no block. Buffer kinds of MemAlloc/MemFree: 1 colour buffer 0,
 * 2 colour buffer 1, 3 depth, 4 multisample, 5 alpha mask. */
#ifndef OVG_EGL_EGLHOOKS_H
#define OVG_EGL_EGLHOOKS_H

#include <EGL/egl.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef uint32_t EGLGpuAddress;
#define EGL_NO_GPU_ADDRESS 0xFFFFFFFFu

/* NativeQueryWindow attributes. */
#define EGL_NATIVE_WINDOW_WIDTH 1
#define EGL_NATIVE_WINDOW_HEIGHT 2
#define EGL_NATIVE_WINDOW_SWIDTH 4
#define EGL_NATIVE_WINDOW_SHEIGHT 8
/* NativeQueryPixmap attributes. */
#define EGL_NATIVE_PIXMAP_WIDTH 16
#define EGL_NATIVE_PIXMAP_HEIGHT 32
#define EGL_NATIVE_PIXMAP_SWIDTH 64
#define EGL_NATIVE_PIXMAP_SHEIGHT 128
#define EGL_NATIVE_PIXMAP_DEPTH 8192
#define EGL_NATIVE_PIXMAP_ADDR 16384
/* NativeFixSurfaceSize selectors. */
#define EGL_NATIVE_FIX_WIDTH 0x10000000
#define EGL_NATIVE_FIX_HEIGHT 0x20000000

/* Native display, window and pixmap. */
typedef EGLNativeDisplayType (*EGLHookOpenNativeDisplay)(void);
typedef EGLBoolean (*EGLHookIsValidNativeDisplayType)(EGLNativeDisplayType dpy);
typedef EGLBoolean (*EGLHookIsValidNativeWindowType)(EGLNativeDisplayType dpy, EGLNativeWindowType win);
typedef EGLBoolean (*EGLHookIsValidNativePixmapType)(EGLNativeDisplayType dpy, EGLNativePixmapType pixmap);
typedef EGLBoolean (*EGLHookIsMatchNativePixmapFormat)(EGLNativeDisplayType dpy, EGLNativePixmapType pixmap,
                                                       EGLConfig config);
typedef uint32_t (*EGLHookNativeQueryWindow)(EGLNativeDisplayType dpy, EGLNativeWindowType win, EGLint attribute);
typedef uint32_t (*EGLHookNativeQueryPixmap)(EGLNativeDisplayType dpy, EGLNativePixmapType pixmap,
                                             EGLint attribute);
typedef EGLint (*EGLHookNativeFixSurfaceSize)(EGLint size, EGLint selector);
/* Whether native visual type a may come before b in a configuration choice. */
typedef EGLBoolean (*EGLHookIsSortNativeVisualType)(EGLint a, EGLint b);
typedef EGLBoolean (*EGLHookWaitNativeRendering)(void);

/* GPU memory. */
typedef EGLGpuAddress (*EGLHookMemAlloc)(EGLint width, EGLint height, EGLint bits, EGLint kind);
typedef void (*EGLHookMemFree)(EGLGpuAddress addr, EGLint kind);
typedef EGLGpuAddress (*EGLHookNativeGetAlphaMaskBuffer)(EGLint width, EGLint height, EGLint bits);

/* Posting. */
typedef EGLBoolean (*EGLHookNativeSwapBuffers)(EGLNativeDisplayType dpy, EGLNativeWindowType win,
                                               EGLSurface surface);
typedef EGLBoolean (*EGLHookNativeCopyBuffers)(EGLNativeDisplayType dpy, EGLSurface surface,
                                               EGLNativePixmapType pixmap);

/* GPU start and stop. */
typedef EGLBoolean (*EGLHookInitializeGPU)(void);
typedef void (*EGLHookTerminateGPU)(void);

/* The OpenVG client API. Images are OpenVG image handles. */
typedef EGLBoolean (*EGLHookInitializeOpenVGAPI)(void);
typedef void (*EGLHookTerminateOpenVGAPI)(void);
typedef void *(*EGLHookCreateOpenVGContext)(void *share);
typedef void (*EGLHookDestroyOpenVGContext)(void *ovg);
typedef EGLBoolean (*EGLHookMakeCurrentOpenVG)(EGLDisplay dpy, EGLSurface draw, EGLSurface read, EGLContext ctx);
typedef void (*EGLHookWaitOpenVG)(EGLContext ctx);
typedef EGLBoolean (*EGLHookSwapBufferOpenVG)(EGLSurface draw, EGLSurface read, EGLContext ctx);
/* Bind and unbind answer an EGL error code (EGL_SUCCESS when done). */
typedef EGLint (*EGLHookBindOpenVGImage)(EGLContext ctx, EGLClientBuffer image);
typedef EGLint (*EGLHookUnbindOpenVGImage)(EGLContext ctx, EGLClientBuffer image);
/* Fills the surface's size, storage size, colour space, alpha format, colour order and colour
 * buffer from the image; answers an EGL error code. */
typedef EGLint (*EGLHookGetOpenVGImageInfo)(EGLContext ctx, EGLClientBuffer image, EGLSurface surface);
typedef EGLBoolean (*EGLHookIsValidOpenVGImage)(EGLContext ctx, EGLClientBuffer image);
typedef EGLBoolean (*EGLHookIsMatchOpenVGImageFormat)(EGLContext ctx, EGLClientBuffer image, EGLConfig config);
typedef void (*EGLHookReleasePbufferFromOpenVGImage)(EGLSurface surface, EGLClientBuffer image);
typedef void *(*EGLHookGetProcAddressOpenVG)(const char *name);

/* The OpenGL ES client API (the library has none). */
typedef EGLBoolean (*EGLHookInitializeOpenGLESAPI)(void);
typedef void (*EGLHookTerminateOpenGLESAPI)(void);
typedef void *(*EGLHookCreateOpenGLESContext)(EGLConfig config, void *share, EGLint version);
typedef void (*EGLHookDestroyOpenGLESContext)(void *oes);
typedef EGLBoolean (*EGLHookMakeCurrentOpenGLES)(EGLDisplay dpy, EGLSurface draw, EGLSurface read, EGLContext ctx);
typedef void (*EGLHookWaitOpenGLES)(EGLContext ctx);
typedef EGLBoolean (*EGLHookBindOpenGLESTexImage)(EGLSurface surface, EGLint buffer);
typedef EGLBoolean (*EGLHookReleaseOpenGLESTexImage)(EGLSurface surface, EGLint buffer);
typedef EGLBoolean (*EGLHookSwapBufferOpenGLES)(EGLSurface draw, EGLSurface read, EGLContext ctx);
typedef void *(*EGLHookGetProcAddressOpenGLES)(const char *name);

/* Every hook by operation name, for X-macro use. */
#define EGL_HOOK_NAMES(X) \
    X(OpenNativeDisplay) \
    X(IsValidNativeDisplayType) \
    X(IsValidNativeWindowType) \
    X(IsValidNativePixmapType) \
    X(IsMatchNativePixmapFormat) \
    X(NativeQueryWindow) \
    X(NativeQueryPixmap) \
    X(NativeFixSurfaceSize) \
    X(IsSortNativeVisualType) \
    X(WaitNativeRendering) \
    X(MemAlloc) \
    X(MemFree) \
    X(NativeGetAlphaMaskBuffer) \
    X(NativeSwapBuffers) \
    X(NativeCopyBuffers) \
    X(InitializeGPU) \
    X(TerminateGPU) \
    X(InitializeOpenVGAPI) \
    X(TerminateOpenVGAPI) \
    X(CreateOpenVGContext) \
    X(DestroyOpenVGContext) \
    X(MakeCurrentOpenVG) \
    X(WaitOpenVG) \
    X(SwapBufferOpenVG) \
    X(BindOpenVGImage) \
    X(UnbindOpenVGImage) \
    X(GetOpenVGImageInfo) \
    X(IsValidOpenVGImage) \
    X(IsMatchOpenVGImageFormat) \
    X(ReleasePbufferFromOpenVGImage) \
    X(GetProcAddressOpenVG) \
    X(InitializeOpenGLESAPI) \
    X(TerminateOpenGLESAPI) \
    X(CreateOpenGLESContext) \
    X(DestroyOpenGLESContext) \
    X(MakeCurrentOpenGLES) \
    X(WaitOpenGLES) \
    X(BindOpenGLESTexImage) \
    X(ReleaseOpenGLESTexImage) \
    X(SwapBufferOpenGLES) \
    X(GetProcAddressOpenGLES)

#define EGL_HOOK_DECLARE(name) EGLAPI EGLHook##name EGLINL_Callback##name;
EGL_HOOK_NAMES(EGL_HOOK_DECLARE)
#undef EGL_HOOK_DECLARE

#ifdef __cplusplus
}
#endif

#endif /* OVG_EGL_EGLHOOKS_H */
