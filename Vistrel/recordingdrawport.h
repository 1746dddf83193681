#pragma once

#include "drawport.h"

#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace vistrel {

using VgMatrix = std::array<VGfloat, 9>;

// One recorded call.
struct DrawCall {
    std::string function;
    std::string text;                 // the call with its numeric arguments, "vgClear(0, 0, 480, 272)"
    std::vector<EGLint> attributes;   // EGL attribute lists, up to and with EGL_NONE
    VgMatrix matrix{};                // vgDrawImage: the image matrix, vgDrawPath: the path matrix
    VGHandle handle = VG_INVALID_HANDLE;  // the image or path drawn, the lookup's destination
    VGImageFormat format = VG_IMAGE_FORMAT_FORCE_SIZE;  // the drawn image's format
    int width = 0, height = 0;        // the drawn image's size
    std::vector<VGubyte> alphaTable;  // vgLookup
};

struct RecordedImage {
    VGImageFormat format;
    int width, height;
    std::vector<uint32_t> pixels;  // values in the image's format, row 0 at image y 0 (bottom)
};

struct RecordedPath {
    std::vector<VGubyte> segments;
    std::vector<VGfloat> coordinates;
};

struct RecordedPaint {
    VGint type = 0;
    std::array<VGfloat, 4> color{};
};

// A drawing port that records every call and keeps only the state that makes drawing code
// testable without pixels: handles, images (format, size, pixels), matrices, paths, paints,
// clear colour, stroke width, and a fake surface of the screen in the chosen config's format
// (config 8: ARGB8888, otherwise RGB565) that vgClear fills and vgGetPixels reads.
class RecordingDrawPort : public DrawPort {
public:
    static constexpr int SurfaceWidth = 480;
    static constexpr int SurfaceHeight = 272;

    RecordingDrawPort();

    const std::vector<DrawCall>& calls() const { return m_calls; }
    std::vector<std::string> functions() const;
    void clearCalls() { m_calls.clear(); }

    // The next call of the named function fails: EGL and VX calls return their failure value
    // and leave EGL_BAD_ALLOC, VG calls return no handle and leave VG_OUT_OF_MEMORY_ERROR.
    void failNext(const std::string& function);
    // Leaves an error for the next eglGetError / vgGetError.
    void setEglError(EGLint error) { m_eglError = error; }
    void setVgError(VGErrorCode error);

    const RecordedImage* image(VGImage image) const;
    const RecordedPath* path(VGPath path) const;
    const RecordedPaint* paint(VGPaint paint) const;
    bool isLive(VGHandle handle) const;
    int liveImageCount() const { return static_cast<int>(m_images.size()); }
    int livePathCount() const { return static_cast<int>(m_paths.size()); }
    VgMatrix matrix(VGMatrixMode mode) const;
    VGint matrixMode() const { return m_matrixMode; }
    std::array<VGfloat, 4> clearColor() const { return m_clearColor; }
    VGfloat strokeWidth() const { return m_strokeWidth; }
    VGint scissoring() const { return m_scissoring; }
    VGPaint fillPaint() const { return m_fillPaint; }
    VGPaint strokePaint() const { return m_strokePaint; }

    // The fake surface, y 0 at the bottom as in OpenVG; values in surfaceFormat().
    VGImageFormat surfaceFormat() const { return m_surfaceFormat; }
    uint32_t surfacePixel(int x, int y) const;
    void setSurfacePixel(int x, int y, uint32_t value);
    void fillSurface(uint32_t value);

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

private:
    DrawCall& record(const char* function, std::initializer_list<double> arguments = {});
    bool failing(const char* function);
    void failEgl();
    void failVg();
    VgMatrix& currentMatrix();
    VGHandle newHandle() { return m_nextHandle++; }
    void appendSegments(VGPath path, std::initializer_list<VGubyte> segments, std::initializer_list<VGfloat> coords);

    std::vector<DrawCall> m_calls;
    std::multiset<std::string> m_failures;
    EGLint m_eglError = EGL_SUCCESS;
    VGErrorCode m_vgError = VG_NO_ERROR;

    VGHandle m_nextHandle = 1;
    std::map<VGHandle, RecordedImage> m_images;
    std::map<VGHandle, RecordedPath> m_paths;
    std::map<VGHandle, RecordedPaint> m_paints;
    std::map<VGint, VgMatrix> m_matrices;
    VGint m_matrixMode = VG_MATRIX_PATH_USER_TO_SURFACE;
    std::array<VGfloat, 4> m_clearColor{};
    VGfloat m_strokeWidth = 1.0f;
    VGint m_scissoring = VG_FALSE;
    VGPaint m_fillPaint = VG_INVALID_HANDLE;
    VGPaint m_strokePaint = VG_INVALID_HANDLE;

    VGImageFormat m_surfaceFormat = VG_sRGB_565;
    std::vector<uint32_t> m_surface;
};

}  // namespace vistrel
