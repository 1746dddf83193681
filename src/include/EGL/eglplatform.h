/* Platform types of the graphics library's EGL: the native display, window and pixmap
 * are the framebuffer window system's handles. */
#ifndef OVG_EGL_EGLPLATFORM_H
#define OVG_EGL_EGLPLATFORM_H

/* Another platform header would define different native types; refuse the mix. */
#if defined(__eglplatform_h_) || defined(__khrplatform_h_)
#error "another <EGL/eglplatform.h> was included before the graphics library's own"
#endif
#define __eglplatform_h_

#include <stdint.h>

#include <VX/vxtypes.h>

#ifndef EGLAPI
#define EGLAPI extern __attribute__((visibility("default")))
#endif
#ifndef EGLAPIENTRY
#define EGLAPIENTRY
#endif
#ifndef EGLAPIENTRYP
#define EGLAPIENTRYP EGLAPIENTRY *
#endif

typedef VXDisplay *EGLNativeDisplayType;
typedef VXWindow   EGLNativeWindowType;
typedef VXPixmap   EGLNativePixmapType;

/* EGL 1.2 names of the same types. */
typedef EGLNativeDisplayType NativeDisplayType;
typedef EGLNativePixmapType  NativePixmapType;
typedef EGLNativeWindowType  NativeWindowType;

typedef int32_t EGLint;

#endif /* OVG_EGL_EGLPLATFORM_H */
