#pragma once

#include <EGL/egl.h>
#include <VG/openvg.h>
#include <VG/vgu.h>
#include <VX/vxlib.h>

namespace vistrel {

// Every window system, EGL, OpenVG and VGU call the display server makes, one method each,
// with the functions' own names and types. The drawing code reaches them only through
// drawPort(), so tests can record the calls instead of drawing.
class DrawPort {
public:
    virtual ~DrawPort() = default;

    // Window system
    virtual VXDisplay* VXOpenDisplay(const char* id) = 0;
    virtual VXWindow VXCreateWindow(VXDisplay* dpy, int x, int y, int width, int height, int depth) = 0;

    // EGL
    virtual EGLDisplay eglGetDisplay(EGLNativeDisplayType display) = 0;
    virtual EGLBoolean eglInitialize(EGLDisplay dpy, EGLint* major, EGLint* minor) = 0;
    virtual EGLBoolean eglChooseConfig(EGLDisplay dpy, const EGLint* attributes, EGLConfig* configs, EGLint size,
                                       EGLint* count) = 0;
    virtual EGLBoolean eglBindAPI(EGLenum api) = 0;
    virtual EGLContext eglCreateContext(EGLDisplay dpy, EGLConfig config, EGLContext share,
                                        const EGLint* attributes) = 0;
    virtual EGLSurface eglCreateWindowSurface(EGLDisplay dpy, EGLConfig config, EGLNativeWindowType window,
                                              const EGLint* attributes) = 0;
    virtual EGLBoolean eglMakeCurrent(EGLDisplay dpy, EGLSurface draw, EGLSurface read, EGLContext context) = 0;
    virtual EGLBoolean eglSwapBuffers(EGLDisplay dpy, EGLSurface surface) = 0;
    virtual EGLint eglGetError() = 0;

    // OpenVG images
    virtual VGImage vgCreateImage(VGImageFormat format, VGint width, VGint height, VGbitfield quality) = 0;
    virtual void vgDestroyImage(VGImage image) = 0;
    virtual void vgImageSubData(VGImage image, const void* data, VGint stride, VGImageFormat format, VGint x,
                                VGint y, VGint width, VGint height) = 0;
    virtual void vgGetImageSubData(VGImage image, void* data, VGint stride, VGImageFormat format, VGint x, VGint y,
                                   VGint width, VGint height) = 0;
    virtual void vgGetPixels(VGImage dst, VGint dx, VGint dy, VGint sx, VGint sy, VGint width, VGint height) = 0;
    virtual void vgDrawImage(VGImage image) = 0;
    virtual void vgLookup(VGImage dst, VGImage src, const VGubyte* red, const VGubyte* green, const VGubyte* blue,
                          const VGubyte* alpha, VGboolean outputLinear, VGboolean outputPremultiplied) = 0;

    // OpenVG paints
    virtual VGPaint vgCreatePaint() = 0;
    virtual void vgSetParameteri(VGHandle object, VGint paramType, VGint value) = 0;
    virtual void vgSetParameterfv(VGHandle object, VGint paramType, VGint count, const VGfloat* values) = 0;
    virtual void vgSetPaint(VGPaint paint, VGbitfield paintModes) = 0;
    virtual void vgDestroyPaint(VGPaint paint) = 0;

    // OpenVG paths
    virtual VGPath vgCreatePath(VGint format, VGPathDatatype datatype, VGfloat scale, VGfloat bias,
                                VGint segmentHint, VGint coordinateHint, VGbitfield capabilities) = 0;
    virtual void vgAppendPathData(VGPath path, VGint count, const VGubyte* segments, const void* data) = 0;
    virtual void vgDrawPath(VGPath path, VGbitfield paintModes) = 0;
    virtual void vgDestroyPath(VGPath path) = 0;

    // OpenVG state
    virtual void vgSeti(VGParamType type, VGint value) = 0;
    virtual void vgSetf(VGParamType type, VGfloat value) = 0;
    virtual void vgSetfv(VGParamType type, VGint count, const VGfloat* values) = 0;
    virtual void vgClear(VGint x, VGint y, VGint width, VGint height) = 0;
    virtual void vgLoadIdentity() = 0;
    virtual void vgTranslate(VGfloat tx, VGfloat ty) = 0;
    virtual void vgScale(VGfloat sx, VGfloat sy) = 0;
    virtual void vgGetMatrix(VGfloat* m) = 0;
    virtual void vgLoadMatrix(const VGfloat* m) = 0;
    virtual void vgFlush() = 0;
    virtual VGErrorCode vgGetError() = 0;

    // VGU
    virtual VGUErrorCode vguRect(VGPath path, VGfloat x, VGfloat y, VGfloat width, VGfloat height) = 0;
    virtual VGUErrorCode vguRoundRect(VGPath path, VGfloat x, VGfloat y, VGfloat width, VGfloat height,
                                      VGfloat arcWidth, VGfloat arcHeight) = 0;
};

// The port the drawing code uses. Until one is set it is a recording port (no pixels).
DrawPort& drawPort();
// Replaces the port (not owned; null returns to the default recording port).
void setDrawPort(DrawPort* port);

}  // namespace vistrel
