#include "EGL/egl/egl_lx_post.h"

#include "EGL/egl/egl_lx_error.h"
#include "EGL/porting/egl_porting.h"

static void wait_client(void)
{
    if (EGLINV_current.api == EGL_OPENVG_API && EGLINV_current.ctx)
        EGL_PORT(WaitOpenVG)(EGLINV_current.ctx);
}

static EGLBoolean succeed(void)
{
    EGLINL_SetError(EGL_SUCCESS);
    return EGL_TRUE;
}

EGLBoolean EGLINL_SwapBuffers(EGLdisplay *display, EGLsurface *surface)
{
    wait_client();
    if (surface->type != EGL_WINDOW_BIT)
        return succeed();
    if (!EGL_PORT(NativeSwapBuffers)(display->native, surface->native, surface))
        return EGL_FALSE;
    if (surface->surface_attrib.render_buffer == EGL_BACK_BUFFER) {
        surface->back_buffer = !surface->back_buffer;
        EGL_PORT(SwapBufferOpenVG)(surface, surface, EGLINV_current.ctx);
    }
    return succeed();
}

EGLBoolean EGLINL_PostSubBufferNV(EGLdisplay *display, EGLsurface *surface, EGLint x, EGLint y, EGLint width,
                                  EGLint height)
{
    wait_client();
    if (surface->type != EGL_WINDOW_BIT)
        return succeed();
    if (!PORTL_PostSubBufferNV(display->native, surface->native, surface, x, y, width, height))
        return EGL_FALSE;
    return succeed();
}

EGLBoolean EGLINL_CopyBuffers(EGLdisplay *display, EGLsurface *surface, EGLNativePixmapType pixmap)
{
    wait_client();
    if (!EGL_PORT(NativeCopyBuffers)(display->native, surface, pixmap))
        return EGL_FALSE;
    return succeed();
}

EGLBoolean EGLINL_SwapInterval(EGLdisplay *display, const EGLcontext *context, EGLint interval)
{
    const EGLconfig *config = context->config;
    wait_client();
    if (interval < config->min_swap_interval)
        interval = config->min_swap_interval;
    if (interval > config->max_swap_interval)
        interval = config->max_swap_interval;
    display->swap_interval = interval;
    return succeed();
}
