#include "EGL/egl/egl_lx_surface.h"

#include <stdlib.h>

#include "EGL/egl/egl_linklist.h"
#include "EGL/egl/egl_lx_error.h"
#include "EGL/porting/egl_porting.h"

void EGLINL_DefaultSurfaceAttrib(const EGLconfig *config, EGLint type, EGLsurface_attrib *attrib)
{
    attrib->config_id = config->config_id;
    attrib->width = attrib->height = 0;
    attrib->largest_pbuffer = 0;
    attrib->texture_format = EGL_NO_TEXTURE;
    attrib->texture_target = EGL_NO_TEXTURE;
    attrib->mipmap_texture = 0;
    attrib->mipmap_level = 0;
    attrib->render_buffer = type == EGL_PIXMAP_BIT ? EGL_SINGLE_BUFFER : EGL_BACK_BUFFER;
    attrib->vg_colorspace = EGL_VG_COLORSPACE_sRGB;
    attrib->vg_alpha_format = EGL_VG_ALPHA_FORMAT_NONPRE;
    attrib->horizontal_resolution = EGL_UNKNOWN;
    attrib->pixel_aspect_ratio = EGL_UNKNOWN;
    attrib->swap_behavior = EGL_BUFFER_DESTROYED;
    attrib->vertical_resolution = EGL_UNKNOWN;
}

static EGLsurface *new_surface(const EGLconfig *config, EGLint type, const EGLsurface_attrib *attrib)
{
    EGLsurface *s = (EGLsurface *)calloc(1, sizeof *s);
    if (!s)
        return NULL;
    s->type = type;
    s->config = config;
    s->surface_attrib = *attrib;
    s->color_buffer0 = s->color_buffer1 = EGL_NO_GPU_ADDRESS;
    s->depth_buffer = s->stencil_buffer = s->sample_buffer = s->alpha_mask_buffer = EGL_NO_GPU_ADDRESS;
    s->texid = -1;
    s->color_order = 1;
    return s;
}

static int is_multisampled(const EGLconfig *config)
{
    return config->sample_buffers > 0;
}

/* Gives back every buffer the surface owns (a pixmap's colour buffer is the pixmap's, an
 * image pbuffer's the image's) and frees the record. */
static void free_surface(EGLsurface *s)
{
    if (s->type != EGL_PIXMAP_BIT) {
        if (s->client_buffer)
            EGL_PORT(ReleasePbufferFromOpenVGImage)(s, s->client_buffer);
        else
            EGL_PORT(MemFree)(s->color_buffer0, EGL_BUFFER_COLOR0);
        EGL_PORT(MemFree)(s->color_buffer1, EGL_BUFFER_COLOR1);
    }
    EGL_PORT(MemFree)(s->depth_buffer, EGL_BUFFER_DEPTH);
    EGL_PORT(MemFree)(s->sample_buffer, EGL_BUFFER_MULTISAMPLE);
    EGL_PORT(MemFree)(s->alpha_mask_buffer, EGL_BUFFER_ALPHA_MASK);
    free(s);
}

/* Depth, multisample and alpha-mask buffers; width is the multisampled width when there is
 * one. False when one could not be had. */
static EGLBoolean allocate_aux_buffers(EGLsurface *s, EGLint width, EGLint height, EGLint depth_width,
                                       EGLint depth_height, EGLBoolean sample_buffer)
{
    const EGLconfig *c = s->config;
    if (c->depth_size + c->stencil_size > 0) {
        s->depth_buffer =
            EGL_PORT(MemAlloc)(depth_width, depth_height, c->depth_size + c->stencil_size, EGL_BUFFER_DEPTH);
        if (s->depth_buffer == EGL_NO_GPU_ADDRESS)
            return EGL_FALSE;
    }
    if (sample_buffer) {
        s->sample_buffer = EGL_PORT(MemAlloc)(width, height, c->buffer_size, EGL_BUFFER_MULTISAMPLE);
        if (s->sample_buffer == EGL_NO_GPU_ADDRESS)
            return EGL_FALSE;
    }
    if (c->alpha_mask_size > 0) {
        s->alpha_mask_buffer = EGL_PORT(NativeGetAlphaMaskBuffer)(width, height, c->alpha_mask_size);
        if (s->alpha_mask_buffer == EGL_NO_GPU_ADDRESS)
            return EGL_FALSE;
    }
    return EGL_TRUE;
}

/* The colour buffers (color_buffer1 too when asked) and the others of a window or pbuffer. */
static EGLBoolean allocate_buffers(EGLsurface *s, EGLBoolean second_colour_buffer)
{
    const EGLint w = s->surface_width, h = s->surface_height, bits = s->config->buffer_size;
    EGLint aux_width = w;
    s->color_buffer0 = EGL_PORT(MemAlloc)(w, h, bits, EGL_BUFFER_COLOR0);
    if (s->color_buffer0 == EGL_NO_GPU_ADDRESS)
        return EGL_FALSE;
    if (second_colour_buffer) {
        s->color_buffer1 = EGL_PORT(MemAlloc)(w, h, bits, EGL_BUFFER_COLOR1);
        if (s->color_buffer1 == EGL_NO_GPU_ADDRESS)
            return EGL_FALSE;
    }
    if (is_multisampled(s->config)) {
        s->msaa_surface_width = aux_width = 4 * w;
        s->msaa_surface_height = h;
    }
    return allocate_aux_buffers(s, aux_width, h, aux_width, h, is_multisampled(s->config));
}

/* Puts the surface into the display's list; on failure frees it with EGL_BAD_ALLOC. */
static EGLSurface enlist(EGLdisplay *display, EGLsurface *s)
{
    EGLlinklist *head = EGLINL_InsertLinkList(display->surface_list, s);
    if (head == display->surface_list) {
        free_surface(s);
        EGLINL_SetError(EGL_BAD_ALLOC);
        return EGL_NO_SURFACE;
    }
    display->surface_list = head;
    EGLINL_SetError(EGL_SUCCESS);
    return (EGLSurface)s;
}

static EGLSurface fail_alloc(EGLsurface *s)
{
    if (s)
        free_surface(s);
    EGLINL_SetError(EGL_BAD_ALLOC);
    return EGL_NO_SURFACE;
}

/* Size and storage size of a native window or pixmap, by the four attributes that answer them. */
static void take_native_size(EGLsurface *s, EGLNativeDisplayType dpy, EGLHookNativeQueryWindow query,
                             struct VXwindow *native, const EGLint attributes[4])
{
    s->surface_attrib.width = (EGLint)query(dpy, native, attributes[0]);
    s->surface_attrib.height = (EGLint)query(dpy, native, attributes[1]);
    s->surface_width = (EGLint)query(dpy, native, attributes[2]);
    s->surface_height = (EGLint)query(dpy, native, attributes[3]);
}

EGLSurface EGLINL_CreateWindowSurface(EGLdisplay *display, const EGLconfig *config, EGLNativeWindowType win,
                                      const EGLsurface_attrib *attrib)
{
    static const EGLint size[4] = {EGL_NATIVE_WINDOW_WIDTH, EGL_NATIVE_WINDOW_HEIGHT, EGL_NATIVE_WINDOW_SWIDTH,
                                   EGL_NATIVE_WINDOW_SHEIGHT};
    EGLNativeDisplayType dpy = display->native;
    EGLsurface *s = new_surface(config, EGL_WINDOW_BIT, attrib);
    if (!s)
        return fail_alloc(NULL);
    take_native_size(s, dpy, EGL_PORT(NativeQueryWindow), win, size);
    s->native = win;
    if (!allocate_buffers(s, s->surface_attrib.render_buffer == EGL_BACK_BUFFER))
        return fail_alloc(s);
    return enlist(display, s);
}

EGLSurface EGLINL_CreatePbufferSurface(EGLdisplay *display, const EGLconfig *config,
                                       const EGLsurface_attrib *attrib)
{
    EGLsurface *s = new_surface(config, EGL_PBUFFER_BIT, attrib);
    if (!s)
        return fail_alloc(NULL);
    s->surface_width = EGL_PORT(NativeFixSurfaceSize)(attrib->width, EGL_NATIVE_FIX_WIDTH);
    s->surface_height = EGL_PORT(NativeFixSurfaceSize)(attrib->height, EGL_NATIVE_FIX_HEIGHT);
    if (s->surface_width > 0 && s->surface_height > 0 && !allocate_buffers(s, EGL_FALSE))
        return fail_alloc(s);
    return enlist(display, s);
}

EGLSurface EGLINL_CreatePbufferFromClientBuffer(EGLdisplay *display, EGLClientBuffer buffer,
                                                const EGLconfig *config, const EGLsurface_attrib *attrib)
{
    EGLsurface *s = new_surface(config, EGL_PBUFFER_BIT, attrib);
    EGLint error, width;
    if (!s)
        return fail_alloc(NULL);
    error = EGL_PORT(GetOpenVGImageInfo)(EGLINV_current.ctx, buffer, s);
    if (error != EGL_SUCCESS) {
        free(s);
        EGLINL_SetError(error);
        return EGL_NO_SURFACE;
    }
    s->client_buffer = buffer;
    width = s->surface_width;
    if (is_multisampled(config)) {
        s->msaa_surface_width = width = 4 * s->surface_width;
        s->msaa_surface_height = s->surface_height;
    }
    if (!allocate_aux_buffers(s, width, s->surface_height, width, s->surface_height, is_multisampled(config)))
        return fail_alloc(s);
    return enlist(display, s);
}

EGLSurface EGLINL_CreatePixmapSurface(EGLdisplay *display, const EGLconfig *config, EGLNativePixmapType pixmap,
                                      const EGLsurface_attrib *attrib)
{
    static const EGLint size[4] = {EGL_NATIVE_PIXMAP_WIDTH, EGL_NATIVE_PIXMAP_HEIGHT, EGL_NATIVE_PIXMAP_SWIDTH,
                                   EGL_NATIVE_PIXMAP_SHEIGHT};
    EGLNativeDisplayType dpy = display->native;
    EGLsurface *s = new_surface(config, EGL_PIXMAP_BIT, attrib);
    if (!s)
        return fail_alloc(NULL);
    take_native_size(s, dpy, EGL_PORT(NativeQueryPixmap), pixmap, size);
    s->color_buffer0 = EGL_PORT(NativeQueryPixmap)(dpy, pixmap, EGL_NATIVE_PIXMAP_ADDR);
    if (!allocate_aux_buffers(s, s->surface_width, s->surface_height, s->surface_attrib.width,
                              s->surface_attrib.height, EGL_FALSE))
        return fail_alloc(s);
    return enlist(display, s);
}

void EGLINL_DeleteEGLSurface(EGLdisplay *display, EGLsurface *surface)
{
    if (!surface->release || surface->is_current || surface->is_bind)
        return;
    display->surface_list = EGLINL_DeleteLinkList(display->surface_list, surface);
    free_surface(surface);
}

EGLBoolean EGLINL_DestroySurface(EGLdisplay *display, EGLsurface *surface)
{
    surface->release = EGL_TRUE;
    EGLINL_DeleteEGLSurface(display, surface);
    EGLINL_SetError(EGL_SUCCESS);
    return EGL_TRUE;
}

void EGLINL_ReleaseSurfaces(EGLdisplay *display)
{
    EGLlinklist *node = display->surface_list;
    while (node) {
        EGLsurface *s = (EGLsurface *)EGLINL_GetLinkListItem(node);
        node = EGLINL_NextLinkList(node);
        s->release = EGL_TRUE;
        EGLINL_DeleteEGLSurface(display, s);
    }
}

/* The record field eglQuerySurface reads for attribute, or null. */
static const EGLint *query_field(const EGLsurface *s, EGLint attribute)
{
    const EGLsurface_attrib *a = &s->surface_attrib;
    switch (attribute) {
    case EGL_CONFIG_ID: return &a->config_id;
    case EGL_WIDTH: return &a->width;
    case EGL_HEIGHT: return &a->height;
    case EGL_LARGEST_PBUFFER: return &a->largest_pbuffer;
    case EGL_TEXTURE_FORMAT: return &a->texture_format;
    case EGL_TEXTURE_TARGET: return &a->texture_target;
    case EGL_MIPMAP_TEXTURE: return &a->mipmap_texture;
    case EGL_MIPMAP_LEVEL: return &a->mipmap_level;
    case EGL_RENDER_BUFFER: return &a->render_buffer;
    case EGL_VG_COLORSPACE: return &a->vg_colorspace;
    case EGL_VG_ALPHA_FORMAT: return &a->vg_alpha_format;
    case EGL_HORIZONTAL_RESOLUTION: return &a->horizontal_resolution;
    case EGL_VERTICAL_RESOLUTION: return &a->vertical_resolution;
    case EGL_PIXEL_ASPECT_RATIO: return &a->pixel_aspect_ratio;
    case EGL_SWAP_BEHAVIOR: return &a->swap_behavior;
    default: return NULL;
    }
}

EGLBoolean EGLINL_IsSurfaceQuery(EGLint attribute)
{
    static const EGLsurface probe;
    return attribute == EGL_POST_SUB_BUFFER_SUPPORTED_NV || query_field(&probe, attribute) != NULL;
}

EGLBoolean EGLINL_QuerySurface(const EGLsurface *surface, EGLint attribute, EGLint *value)
{
    *value = attribute == EGL_POST_SUB_BUFFER_SUPPORTED_NV ? 1 : *query_field(surface, attribute);
    EGLINL_SetError(EGL_SUCCESS);
    return EGL_TRUE;
}
