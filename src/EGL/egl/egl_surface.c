/* Public entry points of surfaces: the checks, with every attribute read before anything is
 * allocated. */
#include <EGL/egl.h>

#include "EGL/egl/egl_checks.h"
#include "EGL/egl/egl_lx_error.h"
#include "EGL/egl/egl_lx_surface.h"
#include "EGL/porting/egl_porting.h"

/* Which attributes a kind of surface takes. */
enum {
    TAKES_RENDER_BUFFER = 1,
    TAKES_VG = 2,
    TAKES_POST_SUB_BUFFER = 4,
    TAKES_SIZE = 8,
    TAKES_TEXTURE = 16,
};

static EGLBoolean either(EGLint value, EGLint a, EGLint b)
{
    return value == a || value == b;
}

static EGLint apply_size(EGLint *field, EGLint value, EGLint max, EGLsurface_attrib *attrib)
{
    if (value < 0)
        return EGL_BAD_PARAMETER;
    if (value > max) {
        value = max;
        attrib->largest_pbuffer = 0;
    }
    *field = value;
    return EGL_SUCCESS;
}

/* One attribute; an EGL error code. Pbuffer sizes apply in list order. */
static EGLint apply(const EGLconfig *config, unsigned takes, EGLint name, EGLint value, EGLsurface_attrib *attrib)
{
    switch (takes & TAKES_RENDER_BUFFER ? name : 0) {
    case EGL_RENDER_BUFFER:
        if (!either(value, EGL_BACK_BUFFER, EGL_SINGLE_BUFFER))
            return EGL_BAD_PARAMETER;
        attrib->render_buffer = value;
        return EGL_SUCCESS;
    }
    switch (takes & TAKES_VG ? name : 0) {
    case EGL_VG_COLORSPACE:
        if (!either(value, EGL_VG_COLORSPACE_sRGB, EGL_VG_COLORSPACE_LINEAR))
            return EGL_BAD_PARAMETER;
        attrib->vg_colorspace = value;
        return EGL_SUCCESS;
    case EGL_VG_ALPHA_FORMAT:
        if (!either(value, EGL_VG_ALPHA_FORMAT_NONPRE, EGL_VG_ALPHA_FORMAT_PRE))
            return EGL_BAD_PARAMETER;
        attrib->vg_alpha_format = value;
        return EGL_SUCCESS;
    }
    if ((takes & TAKES_POST_SUB_BUFFER) && name == EGL_POST_SUB_BUFFER_SUPPORTED_NV)
        return EGL_SUCCESS;
    switch (takes & TAKES_SIZE ? name : 0) {
    case EGL_WIDTH: return apply_size(&attrib->width, value, config->max_pbuffer_width, attrib);
    case EGL_HEIGHT: return apply_size(&attrib->height, value, config->max_pbuffer_height, attrib);
    case EGL_LARGEST_PBUFFER:
        if (!either(value, 0, 1))
            return EGL_BAD_PARAMETER;
        attrib->largest_pbuffer = value;
        if (value) {
            attrib->width = config->max_pbuffer_width;
            attrib->height = config->max_pbuffer_height;
        }
        return EGL_SUCCESS;
    }
    switch (takes & TAKES_TEXTURE ? name : 0) {
    case EGL_TEXTURE_FORMAT:
        if (value != EGL_NO_TEXTURE && !either(value, EGL_TEXTURE_RGB, EGL_TEXTURE_RGBA))
            return EGL_BAD_PARAMETER;
        attrib->texture_format = value;
        return EGL_SUCCESS;
    case EGL_TEXTURE_TARGET:
        if (!either(value, EGL_NO_TEXTURE, EGL_TEXTURE_2D))
            return EGL_BAD_PARAMETER;
        attrib->texture_target = value;
        return EGL_SUCCESS;
    case EGL_MIPMAP_TEXTURE:
        if (!either(value, 0, 1))
            return EGL_BAD_PARAMETER;
        attrib->mipmap_texture = value;
        return EGL_SUCCESS;
    }
    return EGL_BAD_ATTRIBUTE;
}

static EGLBoolean power_of_two(EGLint n)
{
    return n > 0 && (n & (n - 1)) == 0;
}

/* Texture requests: format and target together, 2D textures of power-of-two sizes, and only
 * on configurations that an ES API can bind as a texture. */
static EGLint check_texture(const EGLconfig *config, const EGLsurface_attrib *a)
{
    const EGLBoolean format = a->texture_format != EGL_NO_TEXTURE;
    const EGLBoolean target = a->texture_target != EGL_NO_TEXTURE;
    EGLBoolean bindable;
    if (format != target)
        return EGL_BAD_MATCH;
    if (a->texture_target == EGL_TEXTURE_2D && (!power_of_two(a->width) || !power_of_two(a->height)))
        return EGL_BAD_MATCH;
    if (!format && !a->mipmap_texture)
        return EGL_SUCCESS;
    bindable = (config->renderable_type & (EGL_OPENGL_ES_BIT | EGL_OPENGL_ES2_BIT)) != 0 &&
               (a->texture_format != EGL_TEXTURE_RGB || config->bind_to_texture_rgb) &&
               (a->texture_format != EGL_TEXTURE_RGBA || config->bind_to_texture_rgba);
    return bindable ? EGL_SUCCESS : EGL_BAD_ATTRIBUTE;
}

/* Reads the list into attrib (after the defaults); false with the error set. */
static EGLBoolean read_attribs(const EGLconfig *config, EGLint type, unsigned takes, const EGLint *list,
                               EGLsurface_attrib *attrib)
{
    EGLint error = EGL_SUCCESS;
    EGLINL_DefaultSurfaceAttrib(config, type, attrib);
    for (; list && list[0] != EGL_NONE && error == EGL_SUCCESS; list += 2)
        error = apply(config, takes, list[0], list[1], attrib);
    if (error == EGL_SUCCESS && (takes & TAKES_TEXTURE))
        error = check_texture(config, attrib);
    return error == EGL_SUCCESS ? EGL_TRUE : EGLINL_Fail(error);
}

/* The display, initialised and configuration checks every creation starts with. */
static const EGLconfig *check_creation(EGLDisplay dpy, EGLConfig config, EGLdisplay **display)
{
    *display = EGLINL_CheckDisplay(dpy);
    return *display ? EGLINL_CheckConfig(*display, config) : NULL;
}

static const EGLconfig *need_surface_type(const EGLconfig *config, EGLint bit)
{
    if (config && !(config->surface_type & bit)) {
        EGLINL_SetError(EGL_BAD_MATCH);
        return NULL;
    }
    return config;
}

EGLSurface eglCreateWindowSurface(EGLDisplay dpy, EGLConfig config, EGLNativeWindowType win,
                                  const EGLint *attrib_list)
{
    EGLdisplay *display;
    const EGLconfig *row = need_surface_type(check_creation(dpy, config, &display), EGL_WINDOW_BIT);
    EGLsurface_attrib attrib;
    if (!row)
        return EGL_NO_SURFACE;
    if (!EGL_PORT(IsValidNativeWindowType)(display->native, win)) {
        EGLINL_SetError(EGL_BAD_NATIVE_WINDOW);
        return EGL_NO_SURFACE;
    }
    if (!read_attribs(row, EGL_WINDOW_BIT, TAKES_RENDER_BUFFER | TAKES_VG | TAKES_POST_SUB_BUFFER, attrib_list,
                      &attrib))
        return EGL_NO_SURFACE;
    return EGLINL_CreateWindowSurface(display, row, win, &attrib);
}

EGLSurface eglCreatePbufferSurface(EGLDisplay dpy, EGLConfig config, const EGLint *attrib_list)
{
    EGLdisplay *display;
    const EGLconfig *row = need_surface_type(check_creation(dpy, config, &display), EGL_PBUFFER_BIT);
    EGLsurface_attrib attrib;
    if (!row || !read_attribs(row, EGL_PBUFFER_BIT, TAKES_SIZE | TAKES_TEXTURE | TAKES_VG, attrib_list, &attrib))
        return EGL_NO_SURFACE;
    return EGLINL_CreatePbufferSurface(display, row, &attrib);
}

EGLSurface eglCreatePbufferFromClientBuffer(EGLDisplay dpy, EGLenum buftype, EGLClientBuffer buffer,
                                            EGLConfig config, const EGLint *attrib_list)
{
    EGLdisplay *display;
    const EGLconfig *row = check_creation(dpy, config, &display);
    EGLsurface_attrib attrib;
    if (!row)
        return EGL_NO_SURFACE;
    if (buftype != EGL_OPENVG_IMAGE || !EGL_PORT(IsValidOpenVGImage)(EGLINV_current.ctx, buffer)) {
        EGLINL_SetError(EGL_BAD_PARAMETER);
        return EGL_NO_SURFACE;
    }
    if (!EGL_PORT(IsMatchOpenVGImageFormat)(EGLINV_current.ctx, buffer, (EGLConfig)row)) {
        EGLINL_SetError(EGL_BAD_MATCH);
        return EGL_NO_SURFACE;
    }
    if (!read_attribs(row, EGL_PBUFFER_BIT, TAKES_TEXTURE, attrib_list, &attrib))
        return EGL_NO_SURFACE;
    return EGLINL_CreatePbufferFromClientBuffer(display, buffer, row, &attrib);
}

EGLSurface eglCreatePixmapSurface(EGLDisplay dpy, EGLConfig config, EGLNativePixmapType pixmap,
                                  const EGLint *attrib_list)
{
    EGLdisplay *display;
    const EGLconfig *row = check_creation(dpy, config, &display);
    EGLsurface_attrib attrib;
    if (!row)
        return EGL_NO_SURFACE;
    /* The window system gives a pixmap no pixel buffer of its own: without one (unless the
     * embedding program supplies it) the surface would draw at no address. */
    if (!EGL_PORT(IsValidNativePixmapType)(display->native, pixmap) ||
        EGL_PORT(NativeQueryPixmap)(display->native, pixmap, EGL_NATIVE_PIXMAP_ADDR) == EGL_NO_GPU_ADDRESS) {
        EGLINL_SetError(EGL_BAD_NATIVE_PIXMAP);
        return EGL_NO_SURFACE;
    }
    if (!need_surface_type(row, EGL_PIXMAP_BIT))
        return EGL_NO_SURFACE;
    if (!EGL_PORT(IsMatchNativePixmapFormat)(display->native, pixmap, (EGLConfig)row)) {
        EGLINL_SetError(EGL_BAD_MATCH);
        return EGL_NO_SURFACE;
    }
    if (!read_attribs(row, EGL_PIXMAP_BIT, TAKES_VG, attrib_list, &attrib))
        return EGL_NO_SURFACE;
    return EGLINL_CreatePixmapSurface(display, row, pixmap, &attrib);
}

EGLBoolean eglDestroySurface(EGLDisplay dpy, EGLSurface surface)
{
    EGLdisplay *display;
    EGLsurface *s = EGLINL_CheckDisplaySurface(dpy, surface, &display);
    return s ? EGLINL_DestroySurface(display, s) : EGL_FALSE;
}

EGLBoolean eglQuerySurface(EGLDisplay dpy, EGLSurface surface, EGLint attribute, EGLint *value)
{
    EGLdisplay *display;
    EGLsurface *s = EGLINL_CheckDisplaySurface(dpy, surface, &display);
    if (!s || !EGLINL_CheckQuery(EGLINL_IsSurfaceQuery(attribute), value))
        return EGL_FALSE;
    return EGLINL_QuerySurface(s, attribute, value);
}

/* Only EGL_MIPMAP_LEVEL can be set, and only on configurations an ES API renders to. */
EGLBoolean eglSurfaceAttrib(EGLDisplay dpy, EGLSurface surface, EGLint attribute, EGLint value)
{
    EGLdisplay *display;
    EGLsurface *s = EGLINL_CheckDisplaySurface(dpy, surface, &display);
    if (!s)
        return EGL_FALSE;
    if (attribute != EGL_MIPMAP_LEVEL || !(s->config->renderable_type & (EGL_OPENGL_ES_BIT | EGL_OPENGL_ES2_BIT)))
        return EGLINL_Fail(EGL_BAD_ATTRIBUTE);
    s->surface_attrib.mipmap_level = value;
    EGLINL_SetError(EGL_SUCCESS);
    return EGL_TRUE;
}
