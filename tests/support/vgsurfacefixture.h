#pragma once

// An OpenVG context made current through EGL on a window (flipped) or a pbuffer of a chosen
// configuration, alpha format and colour space, with its pixels read back through the GPU
// model's codec. The EGL fixture's protocol-error check fails any drawing test the device
// could not carry out. Header only: the targets that use it link the graphics library and see
// the EGL and GPU test headers.

#include <VG/openvg.h>

#include <cstdint>
#include <vector>

#include "egl_test_support.h"
#include "goldenimage.h"
#include "model/pixel_format.h"
#include "vg/al_lx740/vg_al_lx740.h"

namespace vnq::test {

struct VgSurfaceSpec {
    EGLint config = 1;
    int width = 480, height = 272;
    bool window = true;
    EGLint alphaFormat = EGL_VG_ALPHA_FORMAT_NONPRE;
    EGLint colourSpace = EGL_VG_COLORSPACE_sRGB;
};

class VgSurfaceTest : public egltest::EglTest {
protected:
    EGLSurface surface = EGL_NO_SURFACE;
    EGLContext context = EGL_NO_CONTEXT;
    int width = 0, height = 0;

    void TearDown() override
    {
        if (dpy != EGL_NO_DISPLAY)
            terminate();
        EglTest::TearDown();
    }

    // Makes an OpenVG context current on a new surface of `spec`.
    void makeCurrent(const VgSurfaceSpec& spec)
    {
        initialize();
        ASSERT_TRUE(eglBindAPI(EGL_OPENVG_API));
        width = spec.width;
        height = spec.height;
        const EGLint windowAttribs[] = {EGL_VG_ALPHA_FORMAT, spec.alphaFormat, EGL_VG_COLORSPACE, spec.colourSpace,
                                        EGL_NONE};
        const EGLint pbufferAttribs[] = {EGL_WIDTH, spec.width, EGL_HEIGHT, spec.height,
                                         EGL_VG_ALPHA_FORMAT, spec.alphaFormat, EGL_VG_COLORSPACE, spec.colourSpace,
                                         EGL_NONE};
        surface = spec.window ? windowSurface(spec.config, spec.width, spec.height, windowAttribs)
                              : eglCreatePbufferSurface(dpy, config(spec.config), pbufferAttribs);
        ASSERT_NE(surface, EGL_NO_SURFACE);
        context = eglCreateContext(dpy, config(spec.config), EGL_NO_CONTEXT, nullptr);
        ASSERT_NE(context, EGL_NO_CONTEXT);
        ASSERT_TRUE(eglMakeCurrent(dpy, surface, surface, context));
    }

    // The stored row of OpenVG row y: a window's rows are stored top down.
    int storedRow(int y) const { return VGALVAL_surface_flip ? height - 1 - y : y; }

    // The native value of pixel x of stored row `row` in the buffer drawn into, as memory holds
    // it now; a multisampled pixel is its four samples averaged as the resolve does.
    uint32_t storedNative(int x, int row)
    {
        const simgpu::PixelFormat* format = simgpu::pixelFormat(VGALVAL_surface_format_lx);
        if (!PORTL_DrawingSurface()->multisample)
            return storedSample(x, row, 0);
        uint32_t samples[4];
        for (int s = 0; s < 4; ++s)
            samples[s] = storedSample(x, row, s);
        return format ? simgpu::averageFields(*format, samples) : 0;
    }

    // The native value of sample s of pixel x of stored row `row` as memory holds it now: the
    // multisample buffer keeps a pixel's four samples side by side; other buffers have sample 0.
    uint32_t storedSample(int x, int row, int s)
    {
        const ALsurface* sfc = PORTL_DrawingSurface();
        const simgpu::PixelFormat* format = simgpu::pixelFormat(VGALVAL_surface_format_lx);
        const ALbuffer* buf = sfc->multisample ? sfc->multisample : sfc->back ? sfc->disp1 : sfc->disp0;
        const uint8_t* line = format ? gpu.gpuPointer(buf->addr + buf->stride * static_cast<uint32_t>(row), buf->stride)
                                     : nullptr;
        if (!line) {
            ADD_FAILURE() << "the drawing buffer cannot be read";
            return 0;
        }
        const uint32_t samples = sfc->multisample ? 4 : 1;
        return simgpu::readPixel(line, static_cast<uint32_t>(x) * samples + static_cast<uint32_t>(s), format->bpp);
    }

    // The native value at OpenVG (x, y) once the GPU has finished.
    uint32_t native(int x, int y)
    {
        vgFinish();
        return storedNative(x, storedRow(y));
    }

    // The native value of an RGBA8888 colour (R in bits 31-24) in the surface's format.
    uint32_t nativeOf(uint32_t rgba) const
    {
        const simgpu::PixelFormat* format = simgpu::pixelFormat(VGALVAL_surface_format_lx);
        return format ? simgpu::packColour(*format, rgba) : 0;
    }

    // The RGBA8888 colour at OpenVG (x, y) once the GPU has finished.
    uint32_t pixel(int x, int y)
    {
        const simgpu::PixelFormat* format = simgpu::pixelFormat(VGALVAL_surface_format_lx);
        const uint32_t value = native(x, y);
        return format ? simgpu::unpackColour(*format, value) : 0;
    }

    // The surface as stored (top row first) once the GPU has finished.
    RgbaImage image()
    {
        vgFinish();
        const simgpu::PixelFormat* format = simgpu::pixelFormat(VGALVAL_surface_format_lx);
        RgbaImage out{width, height, std::vector<uint8_t>(size_t(width) * height * 4)};
        for (int row = 0; row < height && format; ++row)
            for (int x = 0; x < width; ++x) {
                const uint32_t c = simgpu::unpackColour(*format, storedNative(x, row));
                uint8_t* p = &out.bytes[(size_t(row) * width + x) * 4];
                p[0] = uint8_t(c >> 24), p[1] = uint8_t(c >> 16), p[2] = uint8_t(c >> 8), p[3] = uint8_t(c);
            }
        return out;
    }
};

}  // namespace vnq::test
