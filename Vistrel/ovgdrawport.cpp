#include "ovgdrawport.h"

namespace vistrel
{

VXDisplay* OvgDrawPort::VXOpenDisplay(const char* id)
{
    return ::VXOpenDisplay(id);
}

VXWindow OvgDrawPort::VXCreateWindow(VXDisplay* dpy, int x, int y, int width, int height, int depth)
{
    return ::VXCreateWindow(dpy, x, y, width, height, depth);
}

EGLDisplay OvgDrawPort::eglGetDisplay(EGLNativeDisplayType display)
{
    return ::eglGetDisplay(display);
}

EGLBoolean OvgDrawPort::eglInitialize(EGLDisplay dpy, EGLint* major, EGLint* minor)
{
    return ::eglInitialize(dpy, major, minor);
}

EGLBoolean OvgDrawPort::eglChooseConfig(EGLDisplay dpy, const EGLint* attributes, EGLConfig* configs, EGLint size,
                                        EGLint* count)
{
    return ::eglChooseConfig(dpy, attributes, configs, size, count);
}

EGLBoolean OvgDrawPort::eglBindAPI(EGLenum api)
{
    return ::eglBindAPI(api);
}

EGLContext OvgDrawPort::eglCreateContext(EGLDisplay dpy, EGLConfig config, EGLContext share, const EGLint* attributes)
{
    return ::eglCreateContext(dpy, config, share, attributes);
}

EGLSurface OvgDrawPort::eglCreateWindowSurface(EGLDisplay dpy, EGLConfig config, EGLNativeWindowType window,
                                               const EGLint* attributes)
{
    return ::eglCreateWindowSurface(dpy, config, window, attributes);
}

EGLBoolean OvgDrawPort::eglMakeCurrent(EGLDisplay dpy, EGLSurface draw, EGLSurface read, EGLContext context)
{
    return ::eglMakeCurrent(dpy, draw, read, context);
}

EGLBoolean OvgDrawPort::eglSwapBuffers(EGLDisplay dpy, EGLSurface surface)
{
    return ::eglSwapBuffers(dpy, surface);
}

EGLint OvgDrawPort::eglGetError()
{
    return ::eglGetError();
}

VGImage OvgDrawPort::vgCreateImage(VGImageFormat format, VGint width, VGint height, VGbitfield quality)
{
    return ::vgCreateImage(format, width, height, quality);
}

void OvgDrawPort::vgDestroyImage(VGImage image)
{
    ::vgDestroyImage(image);
}

void OvgDrawPort::vgImageSubData(VGImage image, const void* data, VGint stride, VGImageFormat format, VGint x, VGint y,
                                 VGint width, VGint height)
{
    ::vgImageSubData(image, data, stride, format, x, y, width, height);
}

void OvgDrawPort::vgGetImageSubData(VGImage image, void* data, VGint stride, VGImageFormat format, VGint x, VGint y,
                                    VGint width, VGint height)
{
    ::vgGetImageSubData(image, data, stride, format, x, y, width, height);
}

void OvgDrawPort::vgGetPixels(VGImage dst, VGint dx, VGint dy, VGint sx, VGint sy, VGint width, VGint height)
{
    ::vgGetPixels(dst, dx, dy, sx, sy, width, height);
}

void OvgDrawPort::vgDrawImage(VGImage image)
{
    ::vgDrawImage(image);
}

void OvgDrawPort::vgLookup(VGImage dst, VGImage src, const VGubyte* red, const VGubyte* green, const VGubyte* blue,
                           const VGubyte* alpha, VGboolean outputLinear, VGboolean outputPremultiplied)
{
    ::vgLookup(dst, src, red, green, blue, alpha, outputLinear, outputPremultiplied);
}

VGPaint OvgDrawPort::vgCreatePaint()
{
    return ::vgCreatePaint();
}

void OvgDrawPort::vgSetParameteri(VGHandle object, VGint paramType, VGint value)
{
    ::vgSetParameteri(object, paramType, value);
}

void OvgDrawPort::vgSetParameterfv(VGHandle object, VGint paramType, VGint count, const VGfloat* values)
{
    ::vgSetParameterfv(object, paramType, count, values);
}

void OvgDrawPort::vgSetPaint(VGPaint paint, VGbitfield paintModes)
{
    ::vgSetPaint(paint, paintModes);
}

void OvgDrawPort::vgDestroyPaint(VGPaint paint)
{
    ::vgDestroyPaint(paint);
}

VGPath OvgDrawPort::vgCreatePath(VGint format, VGPathDatatype datatype, VGfloat scale, VGfloat bias, VGint segmentHint,
                                 VGint coordinateHint, VGbitfield capabilities)
{
    return ::vgCreatePath(format, datatype, scale, bias, segmentHint, coordinateHint, capabilities);
}

void OvgDrawPort::vgAppendPathData(VGPath path, VGint count, const VGubyte* segments, const void* data)
{
    ::vgAppendPathData(path, count, segments, data);
}

void OvgDrawPort::vgDrawPath(VGPath path, VGbitfield paintModes)
{
    ::vgDrawPath(path, paintModes);
}

void OvgDrawPort::vgDestroyPath(VGPath path)
{
    ::vgDestroyPath(path);
}

void OvgDrawPort::vgSeti(VGParamType type, VGint value)
{
    ::vgSeti(type, value);
}

void OvgDrawPort::vgSetf(VGParamType type, VGfloat value)
{
    ::vgSetf(type, value);
}

void OvgDrawPort::vgSetfv(VGParamType type, VGint count, const VGfloat* values)
{
    ::vgSetfv(type, count, values);
}

void OvgDrawPort::vgClear(VGint x, VGint y, VGint width, VGint height)
{
    ::vgClear(x, y, width, height);
}

void OvgDrawPort::vgLoadIdentity()
{
    ::vgLoadIdentity();
}

void OvgDrawPort::vgTranslate(VGfloat tx, VGfloat ty)
{
    ::vgTranslate(tx, ty);
}

void OvgDrawPort::vgScale(VGfloat sx, VGfloat sy)
{
    ::vgScale(sx, sy);
}

void OvgDrawPort::vgGetMatrix(VGfloat* m)
{
    ::vgGetMatrix(m);
}

void OvgDrawPort::vgLoadMatrix(const VGfloat* m)
{
    ::vgLoadMatrix(m);
}

void OvgDrawPort::vgFlush()
{
    ::vgFlush();
}

VGErrorCode OvgDrawPort::vgGetError()
{
    return ::vgGetError();
}

VGUErrorCode OvgDrawPort::vguRect(VGPath path, VGfloat x, VGfloat y, VGfloat width, VGfloat height)
{
    return ::vguRect(path, x, y, width, height);
}

VGUErrorCode OvgDrawPort::vguRoundRect(VGPath path, VGfloat x, VGfloat y, VGfloat width, VGfloat height,
                                       VGfloat arcWidth, VGfloat arcHeight)
{
    return ::vguRoundRect(path, x, y, width, height, arcWidth, arcHeight);
}

}  // namespace vistrel
