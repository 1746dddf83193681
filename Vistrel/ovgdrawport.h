#pragma once

#include "drawport.h"

namespace vistrel {

// The drawing port of the real screen: each method calls the graphics library's function of
// the same name with the same arguments, and returns its result.
class OvgDrawPort : public DrawPort {
public:
    VXDisplay* VXOpenDisplay(const char* id) override;
    VXWindow VXCreateWindow(VXDisplay* dpy, int x, int y, int width, int height, int depth) override;

    EGLDisplay eglGetDisplay(EGLNativeDisplayType display) override;
    EGLBoolean eglInitialize(EGLDisplay dpy, EGLint* major, EGLint* minor) override;
    EGLBoolean eglChooseConfig(EGLDisplay dpy, const EGLint* attributes, EGLConfig* configs, EGLint size,
                               EGLint* count) override;
    EGLBoolean eglBindAPI(EGLenum api) override;
    EGLContext eglCreateContext(EGLDisplay dpy, EGLConfig config, EGLContext share, const EGLint* attributes) override;
    EGLSurface eglCreateWindowSurface(EGLDisplay dpy, EGLConfig config, EGLNativeWindowType window,
                                      const EGLint* attributes) override;
    EGLBoolean eglMakeCurrent(EGLDisplay dpy, EGLSurface draw, EGLSurface read, EGLContext context) override;
    EGLBoolean eglSwapBuffers(EGLDisplay dpy, EGLSurface surface) override;
    EGLint eglGetError() override;

    VGImage vgCreateImage(VGImageFormat format, VGint width, VGint height, VGbitfield quality) override;
    void vgDestroyImage(VGImage image) override;
    void vgImageSubData(VGImage image, const void* data, VGint stride, VGImageFormat format, VGint x, VGint y,
                        VGint width, VGint height) override;
    void vgGetImageSubData(VGImage image, void* data, VGint stride, VGImageFormat format, VGint x, VGint y,
                           VGint width, VGint height) override;
    void vgGetPixels(VGImage dst, VGint dx, VGint dy, VGint sx, VGint sy, VGint width, VGint height) override;
    void vgDrawImage(VGImage image) override;
    void vgLookup(VGImage dst, VGImage src, const VGubyte* red, const VGubyte* green, const VGubyte* blue,
                  const VGubyte* alpha, VGboolean outputLinear, VGboolean outputPremultiplied) override;

    VGPaint vgCreatePaint() override;
    void vgSetParameteri(VGHandle object, VGint paramType, VGint value) override;
    void vgSetParameterfv(VGHandle object, VGint paramType, VGint count, const VGfloat* values) override;
    void vgSetPaint(VGPaint paint, VGbitfield paintModes) override;
    void vgDestroyPaint(VGPaint paint) override;

    VGPath vgCreatePath(VGint format, VGPathDatatype datatype, VGfloat scale, VGfloat bias, VGint segmentHint,
                        VGint coordinateHint, VGbitfield capabilities) override;
    void vgAppendPathData(VGPath path, VGint count, const VGubyte* segments, const void* data) override;
    void vgDrawPath(VGPath path, VGbitfield paintModes) override;
    void vgDestroyPath(VGPath path) override;

    void vgSeti(VGParamType type, VGint value) override;
    void vgSetf(VGParamType type, VGfloat value) override;
    void vgSetfv(VGParamType type, VGint count, const VGfloat* values) override;
    void vgClear(VGint x, VGint y, VGint width, VGint height) override;
    void vgLoadIdentity() override;
    void vgTranslate(VGfloat tx, VGfloat ty) override;
    void vgScale(VGfloat sx, VGfloat sy) override;
    void vgGetMatrix(VGfloat* m) override;
    void vgLoadMatrix(const VGfloat* m) override;
    void vgFlush() override;
    VGErrorCode vgGetError() override;

    VGUErrorCode vguRect(VGPath path, VGfloat x, VGfloat y, VGfloat width, VGfloat height) override;
    VGUErrorCode vguRoundRect(VGPath path, VGfloat x, VGfloat y, VGfloat width, VGfloat height, VGfloat arcWidth,
                              VGfloat arcHeight) override;
};

}  // namespace vistrel
