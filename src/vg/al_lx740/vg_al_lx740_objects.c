#include "vg/al_lx740/vg_al_lx740_objects.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <VG/openvg_vendor.h>

#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/al_lx740/vg_al_lx740_memory.h"
#include "vg/al_lx740/vg_al_lx740_paint.h"
#include "vg/al_lx740/vg_al_lx740_rect.h"
#include "vg/common/vg_image_format.h"

#define IMAGE_ALIGN 32
#define FORMAT_EXT 0x40000000u
#define BLOCK_PIXELS16 16 /* one 8 x 8 block of a compressed format: 32 bytes */
#define GPU_ADDRESS_LIMIT 0x100000000ull

/* ---- Paths ---- */

int VGHAL_ALcreatePath(OVGpath *path)
{
    ALpath *al = (ALpath *)calloc(1, sizeof(ALpath));
    if (!al)
        return 0;
    al->stroke_dash_phase = -1;
    path->aldep = al;
    return 1;
}

static void free_gpu_list(word32 addr)
{
    if (addr != CGL_NO_ADDRESS)
        VGALFUNC_VFree(addr);
}

void VGALFUNC_al_path_drop_stroke(ALpath *al)
{
    if (al->stroke_cmd_target)
        free_gpu_list(al->stroke_cmd.gpu);
    else
        free(al->stroke_cmd.heap);
    al->stroke_cmd.heap = NULL;
    al->stroke_cmd_count = 0;
    al->stroke_cmd_target = 0;
}

void VGALFUNC_al_path_drop_fill(ALpath *al)
{
    if (al->fill_cmd_target) {
        free_gpu_list(al->fill_line_cmd.gpu);
    } else {
        free(al->fill_line_cmd.heap);
        free(al->fill_quad_cmd.heap);
        free(al->fill_cube_cmd.heap);
        free(al->fill_arc_cmd.heap);
    }
    al->fill_line_cmd.heap = al->fill_quad_cmd.heap = al->fill_cube_cmd.heap = al->fill_arc_cmd.heap = NULL;
    al->fill_line_cmd_count = al->fill_quad_cmd_count = al->fill_cube_cmd_count = al->fill_arc_cmd_count = 0;
    al->fill_cmd_target = 0;
}

void VGHAL_ALdeletePath(OVGpath *path)
{
    ALpath *al = (ALpath *)path->aldep;
    if (!al)
        return;
    VGALFUNC_al_path_drop_stroke(al);
    VGALFUNC_al_path_drop_fill(al);
    free(al);
    path->aldep = NULL;
}

/* ---- Paints ---- */

int VGHAL_ALcreatePaint(OVGpaint *paint)
{
    GRADTEXINFO *info = (GRADTEXINFO *)malloc(sizeof(GRADTEXINFO));
    if (!info)
        return 0;
    info->offsetnum = 0;
    info->offsetnum_repeat = 0;
    paint->aldep = info;
    return 1;
}

void VGHAL_ALdeletePaint(OVGpaint *paint)
{
    free(paint->aldep);
    paint->aldep = NULL;
    if (currentpaint == paint)
        currentpaint = NULL;
    /* A later paint at the same address must not pass for the one whose state was sent. */
    if (prevpaint == paint)
        prevpaint = NULL;
}

/* ---- Images ---- */

/* A record with pixel memory of width x height pixels of bits bits, or null. */
static ALbuffer *new_buffer(int width, int height, int bits, int clear)
{
    ALbuffer *buffer = (ALbuffer *)calloc(1, sizeof(ALbuffer));
    if (!buffer)
        return NULL;
    buffer->addr = VGALFUNC_VAlloc(width, height, bits, IMAGE_ALIGN, clear, 0, 1);
    if (buffer->addr == CGL_NO_ADDRESS) {
        free(buffer);
        return NULL;
    }
    buffer->bpp = bits;
    return buffer;
}

ALbuffer *VGHAL_ALcreateImage(int width, int height, int bits)
{
    const int padded = (width + 7) & ~7;
    ALbuffer *buffer = new_buffer(padded, height, bits, 1);
    if (!buffer)
        return NULL;
    buffer->width = width;
    buffer->height = height;
    buffer->stride = padded * bits / 8;
    return buffer;
}

/* The client's bytes into GPU memory through an aligned bounce buffer: vendor-format data need
 * only be 2-byte aligned. */
static void write_client_words(word32 dst, const void *data, word32 words)
{
    enum { CHUNK = 256 };
    word32 chunk[CHUNK];
    const unsigned char *src = (const unsigned char *)data;
    while (words > 0) {
        const word32 n = words < CHUNK ? words : CHUNK;
        memcpy(chunk, src, n * sizeof(word32));
        VGALFUNC_TVGwriteMemory32(dst, chunk, n);
        dst += n * sizeof(word32);
        src += n * sizeof(word32);
        words -= n;
    }
}

ALbuffer *VGHAL_ALcreateImageEXT(VGImageFormat format, int width, int height, const void *data)
{
    ALbuffer *buffer;
    word32 pixels;
    if (format == VG_EXT_YUV422) {
        const int even = (width + 1) & ~1;
        buffer = new_buffer(even, height, 16, 0);
        if (!buffer)
            return NULL;
        buffer->stride = even * 2;
        pixels = (word32)even * (word32)height;
    } else {
        const int blocks = ((height + 7) / 8) * ((width + 7) / 8);
        buffer = new_buffer(blocks * BLOCK_PIXELS16, 1, 16, 0);
        if (!buffer)
            return NULL;
        buffer->stride = 0;
        pixels = (word32)blocks * BLOCK_PIXELS16;
    }
    buffer->width = width;
    buffer->height = height;
    write_client_words(buffer->addr, data, pixels / 2);
    return buffer;
}

/* 1 when every byte of the client image, whichever way its rows run, lies below 4 GiB and its
 * first pixel's address is not all ones, the GPU's "no block". */
static int client_block_below_4g(uintptr_t data, int height, int stride, unsigned long long row_bytes)
{
    const long long span = (long long)stride * (long long)(height > 1 ? height - 1 : 0);
    unsigned long long end;
    if ((unsigned long long)data >= GPU_ADDRESS_LIMIT - 1)
        return 0;
    if (span < 0) {
        if ((unsigned long long)-span > (unsigned long long)data)
            return 0;
        end = (unsigned long long)data + row_bytes;
    } else {
        end = (unsigned long long)data + (unsigned long long)span + row_bytes;
    }
    return end <= GPU_ADDRESS_LIMIT;
}

static int is_block_compressed(VGImageFormat format)
{
    return ((word32)format & FORMAT_EXT) && format != VG_EXT_YUV422;
}

/* Bytes of one row of a client image; the blocks of a compressed format lie in one row. */
static unsigned long long client_row_bytes(VGImageFormat format, int width, int height, int bpp)
{
    const unsigned long long w = (unsigned long long)(width > 0 ? width : 0);
    const unsigned long long h = (unsigned long long)(height > 0 ? height : 0);
    if (format == VG_EXT_YUV422)
        return ((w + 1) & ~1ull) * 2;
    if (is_block_compressed(format))
        return ((w + 7) / 8) * ((h + 7) / 8) * BLOCK_PIXELS16 * 2;
    return (w * (unsigned long long)bpp + 7) / 8;
}

ALbuffer *VGHAL_ALcreateDirectImageEXT(VGImageFormat format, int width, int height, void *data, int stride)
{
    const int bpp = ((word32)format & FORMAT_EXT) ? 16 : VGVAL_bitperpixel[format & 15];
    const int rows = is_block_compressed(format) ? 1 : height;
    ALbuffer *buffer;
    if (!client_block_below_4g((uintptr_t)data, rows, stride, client_row_bytes(format, width, height, bpp)))
        return NULL;
    buffer = (ALbuffer *)calloc(1, sizeof(ALbuffer));
    if (!buffer)
        return NULL;
    buffer->width = width;
    buffer->height = height;
    buffer->stride = stride;
    buffer->bpp = bpp;
    buffer->addr = (word32)(uintptr_t)data;
    buffer->client = data;
    buffer->directimage = 1;
    return buffer;
}

void VGHAL_ALdeleteImage(ALbuffer *img, const OVGimage *ovgimg)
{
    if (img) {
        if (img->addr != CGL_NO_ADDRESS && !img->directimage)
            VGALFUNC_VFree(img->addr);
        free(img);
    }
    if (ovgimg && VGALVAL_currentimage == ovgimg)
        VGALVAL_currentimage = NULL;
}
