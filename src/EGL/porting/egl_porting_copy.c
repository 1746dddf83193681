/* Copying a surface's back buffer into a pixmap with the pixel engine's copy packet, converting
 * to the pixmap's depth. */
#include "EGL/porting/egl_porting.h"

#include "EGL/egl/egl_lx_types.h"
#include "cgl.h"

#define PIXMAP_NO_BUFFER 0xFFFFFFFFu

typedef struct Conversion {
    EGLint red, green, blue, alpha;
    uint32_t depth;
    word32 mode;
    word32 source_bytes, dest_bytes;
} Conversion;

static const Conversion conversions[] = {
    {5, 6, 5, 0, 32, 0x40000000u, 2, 4}, {5, 6, 5, 0, 16, 0x04000000u, 2, 2},
    {5, 5, 5, 1, 32, 0x60000000u, 2, 4}, {5, 5, 5, 1, 16, 0x64000000u, 2, 2},
    {4, 4, 4, 4, 32, 0x80000000u, 2, 4}, {4, 4, 4, 4, 16, 0x84000000u, 2, 2},
    {8, 8, 8, 8, 32, 0x00000000u, 4, 4}, {8, 8, 8, 8, 16, 0x20000000u, 4, 2},
};

static const Conversion *find_conversion(const EGLconfig *c, uint32_t depth)
{
    size_t i;
    for (i = 0; i < sizeof conversions / sizeof conversions[0]; ++i) {
        const Conversion *v = &conversions[i];
        if (v->red == c->red_size && v->green == c->green_size && v->blue == c->blue_size &&
            v->alpha == c->alpha_size && v->depth == depth)
            return v;
    }
    return NULL;
}

/* One block through copy-area entry 0; both addresses are GPU virtual in MMU mode. */
static void copy_block(word32 width, word32 height, word32 mode, word32 source, word32 dest)
{
    caTable table;
    cglClearCAT(&table);
    table.saddr = source;
    table.daddr = dest;
    table.sxsize = width;
    table.sysize = height;
    table.same = table.dame = cglGetMmuMode() ? 1 : 0;
    cglSetCAT(mode, 0, &table);
    cglWritePEReg1(LX_PE_OVG_CP_START, 0);
}

EGLBoolean PORTL_NativeCopyBuffers(EGLNativeDisplayType dpy, EGLSurface surface, EGLNativePixmapType pixmap)
{
    const EGLsurface *s = (const EGLsurface *)surface;
    const uint32_t dest = EGL_PORT(NativeQueryPixmap)(dpy, pixmap, EGL_NATIVE_PIXMAP_ADDR);
    const Conversion *conv;
    const word32 source = s->back_buffer ? s->color_buffer1 : s->color_buffer0;
    const word32 width = (word32)s->surface_width, height = (word32)s->surface_height;

    if (dest == PIXMAP_NO_BUFFER)
        return EGL_FALSE;
    conv = find_conversion(s->config, EGL_PORT(NativeQueryPixmap)(dpy, pixmap, EGL_NATIVE_PIXMAP_DEPTH));
    if (!conv)
        return EGL_FALSE;
    /* The size fields hold size - 1: an empty surface would read as a 2048-wide block. */
    if (s->surface_width <= 0 || s->surface_height <= 0)
        return EGL_TRUE;
    cglWritePEReg1(LX_PE_OVG_CCACHE_FLUSH, 1);
    if (s->type != EGL_PBUFFER_BIT) {
        /* Windows and pixmap surfaces are stored top row first, as pixmaps are. */
        copy_block(width, height, conv->mode, source, dest);
    } else {
        /* Pbuffers are stored bottom row first (OpenVG draws them unflipped). */
        word32 r;
        for (r = 0; r < height; ++r)
            copy_block(width, 1, conv->mode, source + (height - 1u - r) * width * conv->source_bytes,
                       dest + r * width * conv->dest_bytes);
    }
    cglWritePEReg1(LX_PE_OVG_EXT_SYNC, 0x80000000u);
    cglWaitIntrOn(CGL_INTR_PE_SYNC);
    cglWritePEReg1(LX_PE_OVG_SYNC, 1);
    cglWaitIntr();
    cglWaitIntrOff(CGL_INTR_PE_SYNC);
    return EGL_TRUE;
}
