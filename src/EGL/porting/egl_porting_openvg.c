/* The OpenVG client API: start and stop, contexts, the drawing-surface records handed to
 * OpenVG at make-current, waits, swaps and pbuffers made from OpenVG images. */
#include "EGL/porting/egl_porting.h"

#include <string.h>

#include "EGL/egl/egl_lx_types.h"
#include "vg/common/vg_egl_image.h"
#include "vg/common/vg_lifecycle.h"

/* Rewritten at each make-current; OpenVG keeps pointers to them. */
static ALsurface sfc;
static ALbuffer disp0, disp1, mask, multisample;

const ALsurface *PORTL_DrawingSurface(void)
{
    return &sfc;
}

static void forget_buffers(void)
{
    sfc.disp0 = sfc.disp1 = sfc.mask = sfc.multisample = NULL;
    sfc.mode = 0;
}

EGLBoolean PORTL_InitializeOpenVGAPI(void)
{
    disp0.addr = disp1.addr = multisample.addr = EGL_NO_GPU_ADDRESS;
    forget_buffers();
    return vgInit() != 0;
}

void PORTL_TerminateOpenVGAPI(void)
{
    vgTerminate();
    forget_buffers();
}

void *PORTL_CreateOpenVGContext(void *share)
{
    return vgCreateContext(share);
}

void PORTL_DestroyOpenVGContext(void *ovg)
{
    vgDeleteContext(ovg);
}

static int is_multisampled(const EGLconfig *config)
{
    return config->sample_buffers > 0;
}

EGLBoolean PORTL_MakeCurrentOpenVG(EGLDisplay dpy, EGLSurface draw, EGLSurface read, EGLContext ctx)
{
    const EGLcontext *context = (const EGLcontext *)ctx;
    const EGLsurface *surface = (const EGLsurface *)draw;
    const EGLconfig *config;
    (void)dpy;
    (void)read;

    if (!context || !context->ovg || !surface) {
        vgMakeCurrent(NULL, NULL, NULL);
        return EGL_TRUE;
    }
    config = surface->config;

    memset(&disp0, 0, sizeof disp0);
    disp0.width = surface->surface_attrib.width;
    disp0.height = surface->surface_attrib.height;
    disp0.bpp = config->buffer_size;
    disp0.stride = surface->surface_width * disp0.bpp / 8;
    disp0.addr = surface->color_buffer0;
    sfc.disp0 = &disp0;
    sfc.offscreen = surface->type == EGL_PBUFFER_BIT;

    if (surface->type != EGL_PBUFFER_BIT && surface->surface_attrib.render_buffer == EGL_BACK_BUFFER) {
        disp1 = disp0;
        disp1.addr = surface->color_buffer1;
        sfc.disp1 = &disp1;
        sfc.mode = 1;
    } else {
        sfc.disp1 = NULL;
        sfc.mode = 0;
    }
    sfc.back = surface->back_buffer;

    if (is_multisampled(config)) {
        memset(&multisample, 0, sizeof multisample);
        multisample.width = 4 * disp0.width;
        multisample.height = disp0.height;
        multisample.bpp = disp0.bpp;
        multisample.stride = 4 * disp0.stride;
        multisample.addr = surface->sample_buffer;
        sfc.multisample = &multisample;
    } else {
        sfc.multisample = NULL;
    }

    if (config->alpha_mask_size > 0) {
        memset(&mask, 0, sizeof mask);
        mask.width = disp0.width;
        mask.height = disp0.height;
        mask.bpp = is_multisampled(config) ? 4 : config->alpha_mask_size;
        mask.stride = 8 * ((surface->surface_width * mask.bpp + 63) / 64);
        mask.addr = surface->alpha_mask_buffer;
        sfc.mask = &mask;
    } else {
        sfc.mask = NULL;
    }

    sfc.colorspace = surface->surface_attrib.vg_colorspace;
    sfc.alphaformat = surface->surface_attrib.vg_alpha_format;
    sfc.colororder = surface->color_order;
    sfc.buffermode = config->color_buffer_type;
    sfc.alphabits = config->alpha_size;
    return vgMakeCurrent(context->ovg, &sfc, &sfc) != 0;
}

void PORTL_WaitOpenVG(EGLContext ctx)
{
    const EGLcontext *context = (const EGLcontext *)ctx;
    if (context && context->ovg)
        vgFinish();
}

EGLBoolean PORTL_SwapBufferOpenVG(EGLSurface draw, EGLSurface read, EGLContext ctx)
{
    (void)read;
    sfc.back = ((const EGLsurface *)draw)->back_buffer;
    vgSwapBuffers(((const EGLcontext *)ctx)->ovg);
    return EGL_TRUE;
}

static VGImage image_handle(EGLClientBuffer image)
{
    return (VGImage)(uintptr_t)image;
}

/* Binds (or unbinds) the image to the context's draw surface: the addresses of its colour and
 * multisample buffers with their row pitches. */
static int bind_image(const EGLcontext *context, EGLClientBuffer image, int bind)
{
    EGLsurface *draw = context->draw;
    const EGLint bits = draw->config->buffer_size;
    const VGint pstride = bits * draw->surface_width / 8, sstride = bits * draw->msaa_surface_width / 8;
    if (bind)
        return vgBindVGImage(context->ovg, image_handle(image), &draw->color_buffer0, pstride, &draw->sample_buffer,
                             sstride);
    vgUnbindVGImage(context->ovg, image_handle(image), &draw->color_buffer0, pstride, &draw->sample_buffer, sstride);
    return 0;
}

EGLint PORTL_BindOpenVGImage(EGLContext ctx, EGLClientBuffer image)
{
    const EGLcontext *context = (const EGLcontext *)ctx;
    if (!context || !context->ovg || !context->draw || bind_image(context, image, 1) != 0)
        return EGL_BAD_ACCESS;
    return EGL_SUCCESS;
}

EGLint PORTL_UnbindOpenVGImage(EGLContext ctx, EGLClientBuffer image)
{
    const EGLcontext *context = (const EGLcontext *)ctx;
    if (!context || !context->ovg || !context->draw)
        return EGL_BAD_ACCESS;
    bind_image(context, image, 0);
    return EGL_SUCCESS;
}

EGLint PORTL_GetOpenVGImageInfo(EGLContext ctx, EGLClientBuffer image, EGLSurface surface)
{
    const EGLcontext *context = (const EGLcontext *)ctx;
    EGLsurface *s = (EGLsurface *)surface;
    VGint w = 0, h = 0, sw = 0, sh = 0, linear = 0, premultiplied = 0, order = 0;
    int result;
    VGuint addr = EGL_NO_GPU_ADDRESS;
    if (!context || !context->ovg)
        return EGL_BAD_MATCH;
    result = vgGetVGImage(context->ovg, image_handle(image), &w, &h, &sw, &sh, &linear, &premultiplied, &addr, &order);
    switch (result) {
    case 0: break;
    case 16: return EGL_BAD_PARAMETER;
    case 32:
    case 128: return EGL_BAD_ACCESS;
    case 64: return EGL_BAD_MATCH;
    default: return EGL_BAD_ALLOC;
    }
    s->surface_attrib.width = w;
    s->surface_attrib.height = h;
    s->surface_width = sw;
    s->surface_height = sh;
    s->surface_attrib.vg_colorspace = linear ? EGL_VG_COLORSPACE_LINEAR : EGL_VG_COLORSPACE_sRGB;
    s->surface_attrib.vg_alpha_format = premultiplied ? EGL_VG_ALPHA_FORMAT_PRE : EGL_VG_ALPHA_FORMAT_NONPRE;
    s->color_order = order;
    s->color_buffer0 = addr;
    return EGL_SUCCESS;
}

EGLBoolean PORTL_IsValidOpenVGImage(EGLContext ctx, EGLClientBuffer image)
{
    const EGLcontext *context = (const EGLcontext *)ctx;
    return context && context->ovg && vgIsImage(context->ovg, image_handle(image)) == 0;
}

EGLBoolean PORTL_IsMatchOpenVGImageFormat(EGLContext ctx, EGLClientBuffer image, EGLConfig config)
{
    const EGLcontext *context = (const EGLcontext *)ctx;
    const EGLconfig *c = (const EGLconfig *)config;
    VGint order = 0;
    if (!context || !context->ovg)
        return EGL_FALSE;
    if (vgIsMatchImage(context->ovg, image_handle(image), c->red_size, c->green_size, c->blue_size, c->alpha_size,
                       c->luminance_size, &order) != 0)
        return EGL_FALSE;
    return order == 0 || (c->renderable_type & (EGL_OPENGL_ES_BIT | EGL_OPENGL_ES2_BIT)) == 0;
}

void PORTL_ReleasePbufferFromOpenVGImage(EGLSurface surface, EGLClientBuffer image)
{
    EGLsurface *s = (EGLsurface *)surface;
    vgReleaseVGImage(image_handle(image), &s->color_buffer0);
}

void *PORTL_GetProcAddressOpenVG(const char *name)
{
    (void)name;
    return NULL;
}
