#include "recordingdrawport.h"

#include "pixelformat.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <sstream>

namespace vistrel {
namespace {

constexpr VgMatrix kIdentity = {1, 0, 0, 0, 1, 0, 0, 0, 1};

template <typename Handle>
Handle fakePointer(uintptr_t tag)
{
    return reinterpret_cast<Handle>(tag);
}

std::vector<EGLint> attributeList(const EGLint* attributes)
{
    std::vector<EGLint> list;
    if (!attributes)
        return list;
    for (; *attributes != EGL_NONE; attributes += 2) {
        list.push_back(attributes[0]);
        list.push_back(attributes[1]);
    }
    list.push_back(EGL_NONE);
    return list;
}

int coordinateCount(VGubyte segment)
{
    switch (segment & ~1) {
    case VG_CLOSE_PATH:
        return 0;
    case VG_HLINE_TO:
    case VG_VLINE_TO:
        return 1;
    case VG_MOVE_TO:
    case VG_LINE_TO:
    case VG_SQUAD_TO:
        return 2;
    case VG_QUAD_TO:
    case VG_SCUBIC_TO:
        return 4;
    case VG_CUBIC_TO:
        return 6;
    default:
        return 5;  // the arcs
    }
}

uint8_t channel(VGfloat value)
{
    return static_cast<uint8_t>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f));
}

}  // namespace

RecordingDrawPort::RecordingDrawPort()
    : m_surface(SurfaceWidth * SurfaceHeight, 0)
{
    for (VGint mode = VG_MATRIX_PATH_USER_TO_SURFACE; mode <= VG_MATRIX_GLYPH_USER_TO_SURFACE; ++mode)
        m_matrices[mode] = kIdentity;
}

std::vector<std::string> RecordingDrawPort::functions() const
{
    std::vector<std::string> names;
    for (const DrawCall& call : m_calls)
        names.push_back(call.function);
    return names;
}

DrawCall& RecordingDrawPort::record(const char* function, std::initializer_list<double> arguments)
{
    std::ostringstream text;
    text << function << '(';
    bool first = true;
    for (double argument : arguments) {
        text << (first ? "" : ", ") << argument;
        first = false;
    }
    text << ')';
    m_calls.push_back(DrawCall{function, text.str(), {}, {}, VG_INVALID_HANDLE, VG_IMAGE_FORMAT_FORCE_SIZE, 0, 0, {}});
    return m_calls.back();
}

void RecordingDrawPort::failNext(const std::string& function)
{
    m_failures.insert(function);
}

bool RecordingDrawPort::failing(const char* function)
{
    auto it = m_failures.find(function);
    if (it == m_failures.end())
        return false;
    m_failures.erase(it);
    return true;
}

void RecordingDrawPort::failEgl()
{
    m_eglError = EGL_BAD_ALLOC;
}

void RecordingDrawPort::setVgError(VGErrorCode error)
{
    if (m_vgError == VG_NO_ERROR)
        m_vgError = error;
}

void RecordingDrawPort::failVg()
{
    setVgError(VG_OUT_OF_MEMORY_ERROR);
}

const RecordedImage* RecordingDrawPort::image(VGImage image) const
{
    auto it = m_images.find(image);
    return it == m_images.end() ? nullptr : &it->second;
}

const RecordedPath* RecordingDrawPort::path(VGPath path) const
{
    auto it = m_paths.find(path);
    return it == m_paths.end() ? nullptr : &it->second;
}

const RecordedPaint* RecordingDrawPort::paint(VGPaint paint) const
{
    auto it = m_paints.find(paint);
    return it == m_paints.end() ? nullptr : &it->second;
}

bool RecordingDrawPort::isLive(VGHandle handle) const
{
    return m_images.count(handle) || m_paths.count(handle) || m_paints.count(handle);
}

VgMatrix RecordingDrawPort::matrix(VGMatrixMode mode) const
{
    auto it = m_matrices.find(mode);
    return it == m_matrices.end() ? kIdentity : it->second;
}

VgMatrix& RecordingDrawPort::currentMatrix()
{
    return m_matrices[m_matrixMode];
}

uint32_t RecordingDrawPort::surfacePixel(int x, int y) const
{
    return m_surface[static_cast<size_t>(y) * SurfaceWidth + x];
}

void RecordingDrawPort::setSurfacePixel(int x, int y, uint32_t value)
{
    m_surface[static_cast<size_t>(y) * SurfaceWidth + x] = value;
}

void RecordingDrawPort::fillSurface(uint32_t value)
{
    std::fill(m_surface.begin(), m_surface.end(), value);
}

// Window system

VXDisplay* RecordingDrawPort::VXOpenDisplay(const char* id)
{
    record("VXOpenDisplay").text = std::string("VXOpenDisplay(") + (id ? id : "null") + ")";
    return failing("VXOpenDisplay") ? nullptr : fakePointer<VXDisplay*>(0xD15);
}

VXWindow RecordingDrawPort::VXCreateWindow(VXDisplay*, int x, int y, int width, int height, int depth)
{
    record("VXCreateWindow", {double(x), double(y), double(width), double(height), double(depth)});
    return failing("VXCreateWindow") ? nullptr : fakePointer<VXWindow>(0x3D0);
}

// EGL

EGLDisplay RecordingDrawPort::eglGetDisplay(EGLNativeDisplayType)
{
    record("eglGetDisplay");
    if (failing("eglGetDisplay"))
        return EGL_NO_DISPLAY;
    return fakePointer<EGLDisplay>(0xE61);
}

EGLBoolean RecordingDrawPort::eglInitialize(EGLDisplay, EGLint* major, EGLint* minor)
{
    record("eglInitialize");
    if (failing("eglInitialize")) {
        failEgl();
        return EGL_FALSE;
    }
    if (major)
        *major = 1;
    if (minor)
        *minor = 3;
    return EGL_TRUE;
}

EGLBoolean RecordingDrawPort::eglChooseConfig(EGLDisplay, const EGLint* attributes, EGLConfig* configs, EGLint size,
                                              EGLint* count)
{
    DrawCall& call = record("eglChooseConfig", {double(size)});
    call.attributes = attributeList(attributes);
    if (failing("eglChooseConfig")) {
        failEgl();
        return EGL_FALSE;
    }
    EGLint id = 0;
    for (size_t i = 0; i + 1 < call.attributes.size(); i += 2) {
        if (call.attributes[i] == EGL_CONFIG_ID)
            id = call.attributes[i + 1];
    }
    m_surfaceFormat = id == 8 ? VG_sARGB_8888 : VG_sRGB_565;
    if (configs && size > 0)
        configs[0] = fakePointer<EGLConfig>(0xC00 + static_cast<uintptr_t>(id));
    if (count)
        *count = 1;
    return EGL_TRUE;
}

EGLBoolean RecordingDrawPort::eglBindAPI(EGLenum api)
{
    record("eglBindAPI", {double(api)});
    if (failing("eglBindAPI")) {
        failEgl();
        return EGL_FALSE;
    }
    return EGL_TRUE;
}

EGLContext RecordingDrawPort::eglCreateContext(EGLDisplay, EGLConfig, EGLContext, const EGLint* attributes)
{
    record("eglCreateContext").attributes = attributeList(attributes);
    if (failing("eglCreateContext")) {
        failEgl();
        return EGL_NO_CONTEXT;
    }
    return fakePointer<EGLContext>(0xC7);
}

EGLSurface RecordingDrawPort::eglCreateWindowSurface(EGLDisplay, EGLConfig, EGLNativeWindowType,
                                                     const EGLint* attributes)
{
    record("eglCreateWindowSurface").attributes = attributeList(attributes);
    if (failing("eglCreateWindowSurface")) {
        failEgl();
        return EGL_NO_SURFACE;
    }
    return fakePointer<EGLSurface>(0x5F);
}

EGLBoolean RecordingDrawPort::eglMakeCurrent(EGLDisplay, EGLSurface, EGLSurface, EGLContext)
{
    record("eglMakeCurrent");
    if (failing("eglMakeCurrent")) {
        failEgl();
        return EGL_FALSE;
    }
    return EGL_TRUE;
}

EGLBoolean RecordingDrawPort::eglSwapBuffers(EGLDisplay, EGLSurface)
{
    record("eglSwapBuffers");
    if (failing("eglSwapBuffers")) {
        failEgl();
        return EGL_FALSE;
    }
    return EGL_TRUE;
}

EGLint RecordingDrawPort::eglGetError()
{
    record("eglGetError");
    EGLint error = m_eglError;
    m_eglError = EGL_SUCCESS;
    return error;
}

// OpenVG images

VGImage RecordingDrawPort::vgCreateImage(VGImageFormat format, VGint width, VGint height, VGbitfield quality)
{
    record("vgCreateImage", {double(format), double(width), double(height), double(quality)});
    if (failing("vgCreateImage") || width <= 0 || height <= 0 || bytesPerPixel(format) == 0) {
        failVg();
        return VG_INVALID_HANDLE;
    }
    VGImage handle = newHandle();
    m_images[handle] = RecordedImage{format, width, height,
                                     std::vector<uint32_t>(static_cast<size_t>(width) * height, 0)};
    return handle;
}

void RecordingDrawPort::vgDestroyImage(VGImage image)
{
    record("vgDestroyImage", {double(image)});
    m_images.erase(image);
}

void RecordingDrawPort::vgImageSubData(VGImage image, const void* data, VGint stride, VGImageFormat format, VGint x,
                                       VGint y, VGint width, VGint height)
{
    record("vgImageSubData", {double(image), double(stride), double(format), double(x), double(y), double(width),
                              double(height)});
    auto it = m_images.find(image);
    const int bytes = bytesPerPixel(format);
    if (failing("vgImageSubData") || it == m_images.end() || !data || bytes == 0) {
        failVg();
        return;
    }
    RecordedImage& target = it->second;
    const auto* rows = static_cast<const uint8_t*>(data);
    for (int j = 0; j < height; ++j) {
        for (int i = 0; i < width; ++i) {
            const int tx = x + i, ty = y + j;
            if (tx < 0 || ty < 0 || tx >= target.width || ty >= target.height)
                continue;
            uint32_t value = 0;
            std::memcpy(&value, rows + static_cast<ptrdiff_t>(j) * stride + i * bytes, static_cast<size_t>(bytes));
            target.pixels[static_cast<size_t>(ty) * target.width + tx] = convertPixel(format, target.format, value);
        }
    }
}

void RecordingDrawPort::vgGetImageSubData(VGImage image, void* data, VGint stride, VGImageFormat format, VGint x,
                                          VGint y, VGint width, VGint height)
{
    record("vgGetImageSubData", {double(image), double(stride), double(format), double(x), double(y),
                                 double(width), double(height)});
    auto it = m_images.find(image);
    const int bytes = bytesPerPixel(format);
    if (failing("vgGetImageSubData") || it == m_images.end() || !data || bytes == 0) {
        failVg();
        return;
    }
    const RecordedImage& source = it->second;
    auto* rows = static_cast<uint8_t*>(data);
    for (int j = 0; j < height; ++j) {
        for (int i = 0; i < width; ++i) {
            const int sx = x + i, sy = y + j;
            if (sx < 0 || sy < 0 || sx >= source.width || sy >= source.height)
                continue;
            const uint32_t value =
                convertPixel(source.format, format, source.pixels[static_cast<size_t>(sy) * source.width + sx]);
            std::memcpy(rows + static_cast<ptrdiff_t>(j) * stride + i * bytes, &value, static_cast<size_t>(bytes));
        }
    }
}

void RecordingDrawPort::vgGetPixels(VGImage dst, VGint dx, VGint dy, VGint sx, VGint sy, VGint width, VGint height)
{
    record("vgGetPixels", {double(dst), double(dx), double(dy), double(sx), double(sy), double(width), double(height)});
    auto it = m_images.find(dst);
    if (failing("vgGetPixels") || it == m_images.end()) {
        failVg();
        return;
    }
    RecordedImage& target = it->second;
    for (int j = 0; j < height; ++j) {
        for (int i = 0; i < width; ++i) {
            const int fx = sx + i, fy = sy + j, tx = dx + i, ty = dy + j;
            if (fx < 0 || fy < 0 || fx >= SurfaceWidth || fy >= SurfaceHeight || tx < 0 || ty < 0 ||
                tx >= target.width || ty >= target.height)
                continue;
            target.pixels[static_cast<size_t>(ty) * target.width + tx] =
                convertPixel(m_surfaceFormat, target.format, surfacePixel(fx, fy));
        }
    }
}

void RecordingDrawPort::vgDrawImage(VGImage image)
{
    DrawCall& call = record("vgDrawImage", {double(image)});
    call.handle = image;
    call.matrix = matrix(VG_MATRIX_IMAGE_USER_TO_SURFACE);
    if (const RecordedImage* drawn = this->image(image)) {
        call.format = drawn->format;
        call.width = drawn->width;
        call.height = drawn->height;
    }
    if (failing("vgDrawImage") || !this->image(image))
        failVg();
}

void RecordingDrawPort::vgLookup(VGImage dst, VGImage src, const VGubyte*, const VGubyte*, const VGubyte*,
                                 const VGubyte* alpha, VGboolean outputLinear, VGboolean outputPremultiplied)
{
    DrawCall& call = record("vgLookup", {double(dst), double(src), double(outputLinear), double(outputPremultiplied)});
    call.handle = dst;
    if (alpha)
        call.alphaTable.assign(alpha, alpha + 256);
    if (failing("vgLookup") || !image(dst) || !image(src))
        failVg();
}

// OpenVG paints

VGPaint RecordingDrawPort::vgCreatePaint()
{
    record("vgCreatePaint");
    if (failing("vgCreatePaint")) {
        failVg();
        return VG_INVALID_HANDLE;
    }
    VGPaint handle = newHandle();
    m_paints[handle] = RecordedPaint{};
    return handle;
}

void RecordingDrawPort::vgSetParameteri(VGHandle object, VGint paramType, VGint value)
{
    record("vgSetParameteri", {double(object), double(paramType), double(value)});
    auto it = m_paints.find(object);
    if (it != m_paints.end() && paramType == VG_PAINT_TYPE)
        it->second.type = value;
}

void RecordingDrawPort::vgSetParameterfv(VGHandle object, VGint paramType, VGint count, const VGfloat* values)
{
    record("vgSetParameterfv", {double(object), double(paramType), double(count)});
    auto it = m_paints.find(object);
    if (it != m_paints.end() && paramType == VG_PAINT_COLOR && count == 4 && values)
        std::copy(values, values + 4, it->second.color.begin());
}

void RecordingDrawPort::vgSetPaint(VGPaint paint, VGbitfield paintModes)
{
    record("vgSetPaint", {double(paint), double(paintModes)});
    if (paintModes & VG_FILL_PATH)
        m_fillPaint = paint;
    if (paintModes & VG_STROKE_PATH)
        m_strokePaint = paint;
}

void RecordingDrawPort::vgDestroyPaint(VGPaint paint)
{
    // A paint that is set stays in use by the context, so its colour stays readable.
    record("vgDestroyPaint", {double(paint)});
    if (paint != m_fillPaint && paint != m_strokePaint)
        m_paints.erase(paint);
}

// OpenVG paths

VGPath RecordingDrawPort::vgCreatePath(VGint format, VGPathDatatype datatype, VGfloat scale, VGfloat bias,
                                       VGint segmentHint, VGint coordinateHint, VGbitfield capabilities)
{
    record("vgCreatePath", {double(format), double(datatype), scale, bias, double(segmentHint),
                            double(coordinateHint), double(capabilities)});
    if (failing("vgCreatePath")) {
        failVg();
        return VG_INVALID_HANDLE;
    }
    VGPath handle = newHandle();
    m_paths[handle] = RecordedPath{};
    return handle;
}

void RecordingDrawPort::vgAppendPathData(VGPath path, VGint count, const VGubyte* segments, const void* data)
{
    record("vgAppendPathData", {double(path), double(count)});
    auto it = m_paths.find(path);
    if (failing("vgAppendPathData") || it == m_paths.end() || !segments || !data) {
        failVg();
        return;
    }
    const auto* coords = static_cast<const VGfloat*>(data);
    for (VGint i = 0; i < count; ++i) {
        it->second.segments.push_back(segments[i]);
        const int n = coordinateCount(segments[i]);
        it->second.coordinates.insert(it->second.coordinates.end(), coords, coords + n);
        coords += n;
    }
}

void RecordingDrawPort::vgDrawPath(VGPath path, VGbitfield paintModes)
{
    DrawCall& call = record("vgDrawPath", {double(path), double(paintModes)});
    call.handle = path;
    call.matrix = matrix(VG_MATRIX_PATH_USER_TO_SURFACE);
    if (failing("vgDrawPath") || !this->path(path))
        failVg();
}

void RecordingDrawPort::vgDestroyPath(VGPath path)
{
    record("vgDestroyPath", {double(path)});
    m_paths.erase(path);
}

// OpenVG state

void RecordingDrawPort::vgSeti(VGParamType type, VGint value)
{
    record("vgSeti", {double(type), double(value)});
    if (type == VG_MATRIX_MODE)
        m_matrixMode = value;
    else if (type == VG_SCISSORING)
        m_scissoring = value;
}

void RecordingDrawPort::vgSetf(VGParamType type, VGfloat value)
{
    record("vgSetf", {double(type), value});
    if (type == VG_STROKE_LINE_WIDTH)
        m_strokeWidth = value;
}

void RecordingDrawPort::vgSetfv(VGParamType type, VGint count, const VGfloat* values)
{
    DrawCall& call = record("vgSetfv", {double(type), double(count)});
    if (type == VG_CLEAR_COLOR && count == 4 && values) {
        std::copy(values, values + 4, m_clearColor.begin());
        std::ostringstream text;
        text << "vgSetfv(" << type << ", 4, {" << values[0] << ", " << values[1] << ", " << values[2] << ", "
             << values[3] << "})";
        call.text = text.str();
    }
}

void RecordingDrawPort::vgClear(VGint x, VGint y, VGint width, VGint height)
{
    record("vgClear", {double(x), double(y), double(width), double(height)});
    const uint32_t value = packPixel(m_surfaceFormat, {channel(m_clearColor[0]), channel(m_clearColor[1]),
                                                       channel(m_clearColor[2]), channel(m_clearColor[3])});
    for (int j = std::max(0, y); j < std::min(SurfaceHeight, y + height); ++j) {
        for (int i = std::max(0, x); i < std::min(SurfaceWidth, x + width); ++i)
            setSurfacePixel(i, j, value);
    }
}

void RecordingDrawPort::vgLoadIdentity()
{
    record("vgLoadIdentity");
    currentMatrix() = kIdentity;
}

void RecordingDrawPort::vgTranslate(VGfloat tx, VGfloat ty)
{
    record("vgTranslate", {tx, ty});
    VgMatrix& m = currentMatrix();
    m[6] += m[0] * tx + m[3] * ty;
    m[7] += m[1] * tx + m[4] * ty;
    m[8] += m[2] * tx + m[5] * ty;
}

void RecordingDrawPort::vgScale(VGfloat sx, VGfloat sy)
{
    record("vgScale", {sx, sy});
    VgMatrix& m = currentMatrix();
    for (int i = 0; i < 3; ++i) {
        m[i] *= sx;
        m[3 + i] *= sy;
    }
}

void RecordingDrawPort::vgGetMatrix(VGfloat* m)
{
    record("vgGetMatrix");
    if (m)
        std::copy(currentMatrix().begin(), currentMatrix().end(), m);
}

void RecordingDrawPort::vgLoadMatrix(const VGfloat* m)
{
    record("vgLoadMatrix");
    if (m)
        std::copy(m, m + 9, currentMatrix().begin());
}

void RecordingDrawPort::vgFlush()
{
    record("vgFlush");
}

VGErrorCode RecordingDrawPort::vgGetError()
{
    record("vgGetError");
    VGErrorCode error = m_vgError;
    m_vgError = VG_NO_ERROR;
    return error;
}

// VGU

void RecordingDrawPort::appendSegments(VGPath path, std::initializer_list<VGubyte> segments,
                                       std::initializer_list<VGfloat> coords)
{
    RecordedPath& target = m_paths[path];
    target.segments.insert(target.segments.end(), segments);
    target.coordinates.insert(target.coordinates.end(), coords);
}

VGUErrorCode RecordingDrawPort::vguRect(VGPath path, VGfloat x, VGfloat y, VGfloat width, VGfloat height)
{
    record("vguRect", {double(path), x, y, width, height});
    if (!this->path(path))
        return VGU_BAD_HANDLE_ERROR;
    appendSegments(path, {VG_MOVE_TO_ABS, VG_HLINE_TO_REL, VG_VLINE_TO_REL, VG_HLINE_TO_REL, VG_CLOSE_PATH},
                   {x, y, width, height, -width});
    return VGU_NO_ERROR;
}

VGUErrorCode RecordingDrawPort::vguRoundRect(VGPath path, VGfloat x, VGfloat y, VGfloat width, VGfloat height,
                                             VGfloat arcWidth, VGfloat arcHeight)
{
    record("vguRoundRect", {double(path), x, y, width, height, arcWidth, arcHeight});
    if (!this->path(path))
        return VGU_BAD_HANDLE_ERROR;
    const VGfloat rx = std::clamp(arcWidth, 0.0f, width) / 2, ry = std::clamp(arcHeight, 0.0f, height) / 2;
    appendSegments(path,
                   {VG_MOVE_TO_ABS, VG_HLINE_TO_REL, VG_SCCWARC_TO_REL, VG_VLINE_TO_REL, VG_SCCWARC_TO_REL,
                    VG_HLINE_TO_REL, VG_SCCWARC_TO_REL, VG_VLINE_TO_REL, VG_SCCWARC_TO_REL, VG_CLOSE_PATH},
                   {x + rx, y, width - 2 * rx, rx, ry, 0, rx, ry, height - 2 * ry, rx, ry, 0, -rx, ry,
                    -(width - 2 * rx), rx, ry, 0, -rx, -ry, -(height - 2 * ry), rx, ry, 0, rx, -ry});
    return VGU_NO_ERROR;
}

}  // namespace vistrel
