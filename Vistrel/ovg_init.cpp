#include "ovg_init.h"

#include "drawport.h"
#include "srvlog.h"
#include "vx_fbdev.h"

#include <fcntl.h>
#include <linux/fb.h>

#include <cstdio>
#include <cstring>

namespace vistrel {

ovg_priv_s ovg_priv = {-1, 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0};
VGImage vgImage565 = VG_INVALID_HANDLE;
VGImage vgImage4444 = VG_INVALID_HANDLE;
uint16_t shortImageBuffer[kScreenWidth * kScreenHeight + 16];

namespace {

const EGLint kSurfaceAttributes[] = {EGL_VG_ALPHA_FORMAT, EGL_VG_ALPHA_FORMAT_NONPRE, EGL_VG_COLORSPACE,
                                     EGL_VG_COLORSPACE_sRGB, EGL_NONE};

int configIdForDepth(unsigned bitsPerPixel)
{
    switch (bitsPerPixel) {
    case 16:
        return 1;
    case 32:
        return 8;
    default:
        return 2;
    }
}

void closeFramebuffer()
{
    if (ovg_priv.fd >= 0)
        vx_fb_close(ovg_priv.fd);
    ovg_priv.fd = -1;
}

// The step's EGL result: true on EGL_SUCCESS; otherwise the frame buffer is closed.
bool eglStepSucceeded()
{
    if (drawPort().eglGetError() == EGL_SUCCESS)
        return true;
    closeFramebuffer();
    return false;
}

}  // namespace

int init_ovg()
{
    DrawPort& port = drawPort();
    std::memset(&ovg_priv, 0, sizeof ovg_priv);
    ovg_priv.fd = vx_fb_open(VX_FB_DEVICE, O_RDWR);
    fb_var_screeninfo screen;
    if (ovg_priv.fd < 0 || vx_fb_ioctl(ovg_priv.fd, FBIOGET_VSCREENINFO, &screen) < 0) {
        std::perror("init_ovg");
        closeFramebuffer();
        return -1;
    }
    ovg_priv.width = static_cast<int>(screen.xres);
    ovg_priv.height = static_cast<int>(screen.yres);
    ovg_priv.egl_config_id = configIdForDepth(screen.bits_per_pixel);
    std::printf("%s,::w = %d, h = %d egl_config_id = %d\n", "init_ovg", ovg_priv.width, ovg_priv.height,
                ovg_priv.egl_config_id);
    std::fflush(stdout);

    ovg_priv.native_display = port.VXOpenDisplay(nullptr);
    ovg_priv.egl_display = port.eglGetDisplay(ovg_priv.native_display);
    ovg_priv.native_window = port.VXCreateWindow(ovg_priv.native_display, 0, 0, ovg_priv.width, ovg_priv.height, 16);
    port.eglInitialize(ovg_priv.egl_display, nullptr, nullptr);

    const EGLint configAttributes[] = {EGL_CONFIG_ID, ovg_priv.egl_config_id, EGL_NONE};
    port.eglChooseConfig(ovg_priv.egl_display, configAttributes, &ovg_priv.egl_config, 1, &ovg_priv.config_count);
    if (!eglStepSucceeded())
        return -1;
    port.eglBindAPI(EGL_OPENVG_API);
    if (!eglStepSucceeded())
        return -1;
    ovg_priv.egl_context = port.eglCreateContext(ovg_priv.egl_display, ovg_priv.egl_config, EGL_NO_CONTEXT, nullptr);
    if (!eglStepSucceeded())
        return -1;
    ovg_priv.egl_surface = port.eglCreateWindowSurface(ovg_priv.egl_display, ovg_priv.egl_config,
                                                       ovg_priv.native_window, kSurfaceAttributes);
    if (!eglStepSucceeded())
        return -1;
    port.eglMakeCurrent(ovg_priv.egl_display, ovg_priv.egl_surface, ovg_priv.egl_surface, ovg_priv.egl_context);
    if (!eglStepSucceeded())
        return -1;

    vgImage565 = port.vgCreateImage(VG_sRGB_565, kScreenWidth, kScreenHeight, VG_IMAGE_QUALITY_NONANTIALIASED);
    vgImage4444 = port.vgCreateImage(VG_sABGR_4444, kScreenWidth, kScreenHeight, VG_IMAGE_QUALITY_NONANTIALIASED);
    return 0;
}

void ovg_swap_buffer()
{
    DrawPort& port = drawPort();
    const VGErrorCode vgError = port.vgGetError();
    port.eglSwapBuffers(ovg_priv.egl_display, ovg_priv.egl_surface);
    const EGLint eglError = port.eglGetError();
    if (vgError != VG_NO_ERROR || eglError != EGL_SUCCESS) {
        char codes[80];
        std::snprintf(codes, sizeof codes, "vgGetError() = 0x%04x, eglGetError() = 0x%04x",
                      static_cast<unsigned>(vgError), static_cast<unsigned>(eglError));
        VISTREL_SRV_ERR() << codes;
    }
}

void ovg_wait_vsync(int n)
{
    for (int i = 0; i < n; ++i) {
        int argument = 0;
        vx_fb_ioctl(ovg_priv.fd, VX_FBIO_WAIT_VSYNC, &argument);
    }
}

}  // namespace vistrel
