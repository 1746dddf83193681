/* The convolutions and the Gaussian blur on the GPU. Each tile's source, with the kernel's apron
 * around it, is copied into the work buffer nrm by the rasteriser's tiled copy, which supplies
 * the tiling mode outside the source; the convolution microcode (a full kernel) or the
 * separable-convolution microcode (a horizontal and a vertical kernel) then runs over it into
 * rst, fed by one data packet a tile, and the store pass writes rst into the destination. The
 * kernels live in vertex-processor constants from constant 4 on, beside two line buffers of the
 * microcode; together they fit a budget of 252 constants, which sets the tile widths. */
#include <stdlib.h>

#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/al_lx740/vg_al_lx740_cmdbuf.h"
#include "vg/al_lx740/vg_al_lx740_copy.h"
#include "vg/al_lx740/vg_al_lx740_rect.h"
#include "vg/al_lx740/vg_al_lx740_ucode.h"
#include "vg/al_lx740/vg_lx740_filter.h"
#include "vg/al_lx740/vg_lx740_filter_frame.h"
#include "vg/al_lx740/vg_tvg_filter.h"
#include "vg/al_lx740/vg_tvg_filter_frame.h"

#define KERNEL_CONSTANT 4   /* the first constant of the kernels */
#define CONSTANT_BUDGET 252 /* constants from KERNEL_CONSTANT on for kernels and line buffers */
#define MAX_SOURCE_ROW 256  /* source pixels a row of the separable microcode */
#define MAX_ROWS 2048       /* rows of a copy: the tiled copy's coordinates have 11 bits */
#define MAX_KERNEL_SIZE 15
#define MAX_DEVIATION 16.0f
#define CONVOLVE_WORDS 14u
#define SEPARABLE_WORDS 15u

int gaussian_same_dev;

static int min_int(int a, int b)
{
    return a < b ? a : b;
}

/* What the OpenVG API never hands over, refused as the software filters refuse it: kernel
 * sizes outside 1..15 (the tap arrays below hold 15) and deviations outside (0, 16]. */
static int kernel_size_ok(int n)
{
    return n >= 1 && n <= MAX_KERNEL_SIZE;
}

static int deviation_ok(VGfloat sigma)
{
    return sigma > 0.0f && sigma <= MAX_DEVIATION; /* false for NaN */
}

/* A row of n taps into the constants from `first` on, flipped: tap i at position n - 1 - i,
 * position p in constant first + p / 4, word p % 4. The groups go out from the highest
 * constant down; the first one, partly filled, has zeros in its unused words. */
static void upload_taps(const float *taps, int n, int first)
{
    float group[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    int i;
    for (i = 0; i < n; ++i) {
        const int p = n - 1 - i;
        group[p & 3] = taps[i];
        if ((p & 3) == 0) {
            VPWV((word32)(first + (p >> 2)), group, 4);
            group[0] = group[1] = group[2] = group[3] = 0.0f;
        }
    }
}

static void short_taps(float *out, const VGshort *in, int n)
{
    int i;
    for (i = 0; i < n; ++i)
        out[i] = (float)in[i];
}

/* An offset of the tile's window into the source (64 bits, as a shift may be any int), brought
 * to an equivalent one near the source so the copy's float sample positions stay exact: repeat
 * modulo the source size n, reflect modulo 2 n; pad and fill only need the window either wholly
 * left of, wholly right of, or overlapping the source, so the offset is clamped to
 * [-span, n] with span the window's size. */
static int small_offset(long long v, int n, int span, VGTilingMode tiling)
{
    long long m;
    switch (tiling) {
    case VG_TILE_REPEAT:
        m = v % n;
        return (int)(m < 0 ? m + n : m);
    case VG_TILE_REFLECT:
        m = v % (2LL * n);
        return (int)(m < 0 ? m + 2LL * n : m);
    default:
        return (int)(v < -(long long)span ? -(long long)span : v > n ? n : v);
    }
}

/* The tile's source with its apron (w x h from (shiftx, shifty) relative to the source's active
 * rectangle) into the top left of dst, in the filter format, the tiling mode outside the
 * source. */
static void do_conv_normalize(const OVGimage *s, word32 dst, int shiftx, int shifty, int w, int h,
                              VGTilingMode tilingMode)
{
    VGALFUNC_lx_filter_normalize_sides(s, dst, w, h, (w + 7) / 8 * 8);
    VGALFUNC_lx_copy_xpt(w, h, shiftx, shifty, (int)tilingMode);
}

/* The normalise pass of the tile at (posx, posy), w x h of source with its apron, offset by the
 * shift, then a wait until the GPU has written it. */
static void normalize_tile(const OVGimage *s, word32 nrm, int posx, int posy, int sx, int sy, int w, int h,
                           VGTilingMode tilingMode)
{
    const int ox = small_offset((long long)posx - sx, s->activeRect.width, w, tilingMode);
    const int oy = small_offset((long long)posy - sy, s->activeRect.height, h, tilingMode);
    do_conv_normalize(s, nrm, ox, oy, w, h, tilingMode);
    PEW(LX_PE_OVG_TXC_INVAL, 3);
    PEW(LX_PE_OVG_CCACHE_FLUSH, 1);
    WAITCMDDONE();
    cglWaitBusy(CGL_BUSY_AFTER_COPY, 0);
}

/* One data packet for the loaded filter microcode, between two VP syncs, then a wait until it
 * has run. */
static void run_filter_packet(const word32 *words, word32 n)
{
    VPCTRLW(LX_TE_SYNC, 0);
    CHECKAVAIL(n + 1);
    SETCMD(CGL_PKT_HEADER(CGL_OP_VP_DATA, 0, n));
    SETCMDA(words, n);
    VPCTRLW(LX_TE_SYNC, 0);
    WAITCMDDONE();
    cglWaitBusy(CGL_BUSY_AFTER_COPY, 0);
}

static int filter_linear(void)
{
    return VGALVAL_LX740_ALcontexthandle->filterFormatLinear != VG_FALSE;
}

static int filter_pre(void)
{
    return VGALVAL_LX740_ALcontexthandle->filterFormatPremultiplied != VG_FALSE;
}

static word32 stride_of(int w)
{
    return (word32)(w + 7) / 8 * 32;
}

int VGALFUNC_lx_convolve(OVGimage *d, OVGimage *s, int kw, int kh, int sx, int sy, const VGshort *kernel,
                         VGfloat scale, VGfloat bias, VGTilingMode tilingMode)
{
    const int gx = (kw + 3) >> 2;
    word32 nrm, rst, sbuftop, rbuftop;
    float biasv, row[MAX_KERNEL_SIZE];
    int w, h, mask, tw0, th0, posx, posy, i, j, result, error = 0;
    if (!kernel || !kernel_size_ok(kw) || !kernel_size_ok(kh))
        return VG_ILLEGAL_ARGUMENT_ERROR;
    if (!VGALFUNC_lx_filter_area(d, s, &w, &h, &mask))
        return VG_NO_ERROR;
    tw0 = min_int(w, (CONSTANT_BUDGET - gx * (1 + kh)) / 5 * 4);
    /* The normalise copy of th0 + kh - 1 rows must stay within the copy's 2048 rows. */
    th0 = min_int(h, MAX_ROWS + 1 - kh);
    if (!VGALFUNC_lx_filter_buffers(kw - 1 + tw0, th0 - 1 + kh, tw0, th0, &nrm, &rst)) {
        result = VGALFUNC_lx_filter_drain(s);
        return result ? result
                      : VGALFUNC_TVGmemConvolve(d, s, kw, kh, sx, sy, kernel, scale, bias, tilingMode);
    }
    VGALFUNC_al_lx740_ucode_set(VGAL_UCODE_CONVOLVE);
    /* Row j of the kernel (taps kernel[i * kh + j]) goes flipped into the constants of row
     * kh - 1 - j, so the kernel is stored flipped both ways; the rows go out from the top. */
    for (j = 0; j < kh; ++j) {
        for (i = 0; i < kw; ++i)
            row[i] = (float)kernel[(size_t)i * (size_t)kh + (size_t)j];
        upload_taps(row, kw, KERNEL_CONSTANT + (kh - 1 - j) * gx);
    }
    biasv = bias * 255.0f;
    sbuftop = (word32)(gx * kh + KERNEL_CONSTANT);
    rbuftop = sbuftop + (word32)((kw - 1 + tw0 + 3) >> 2);

    for (posy = 0; posy < h && !error; posy += th0) {
        const int th = min_int(h - posy, th0);
        for (posx = 0; posx < w && !error; posx += tw0) {
            const int tw = min_int(w - posx, tw0);
            const word32 packet[CONVOLVE_WORDS] = {
                nrm, (word32)(kw - 1 + tw - 1), stride_of(kw - 1 + tw), rst, (word32)(tw - 1), stride_of(tw),
                (word32)((tw - 1) >> 2), (word32)(th - 1), (word32)((kw - 1) >> 2), (word32)(kh - 1),
                cglFloatTo32F(scale), cglFloatTo32F(biasv), sbuftop, rbuftop};
            normalize_tile(s, nrm, posx, posy, sx, sy, kw - 1 + tw, kh - 1 + th, tilingMode);
            run_filter_packet(packet, CONVOLVE_WORDS);
            error = VGALFUNC_lx_filter_store(d, rst, nrm, posx, posy, tw, th, filter_linear(), filter_pre(), mask, 0);
        }
    }
    VGALFUNC_VFree(nrm);
    VGALFUNC_VFree(rst);
    return error;
}

/* The tile loop of the separable kernels, whose taps are already in the constants: the
 * horizontal kernel (kw taps) from constant 4 on and the vertical one (kh taps) after it, or
 * the horizontal one for both passes when gaussian_same_dev is set. Tiles of srcw x srch. */
static int do_separable_convolve(OVGimage *d, OVGimage *s, int w, int h, int srcw, int srch, int kw, int kh, int sx,
                                 int sy, VGfloat scale, VGfloat bias, word32 nrm, word32 rst, VGTilingMode tilingMode,
                                 int filter_channel_mask)
{
    const word32 vbuftop = gaussian_same_dev ? KERNEL_CONSTANT : (word32)(((kw + 3) >> 2) + KERNEL_CONSTANT);
    const word32 sbuftop = vbuftop + (word32)((kh + 3) >> 2);
    const word32 rbuftop = sbuftop + (word32)((srcw + 2 + kw) >> 2);
    int posx, posy, error = 0;
    VGALFUNC_al_lx740_ucode_set(VGAL_UCODE_SEPARABLE);
    for (posy = 0; posy < h && !error; posy += srch) {
        const int th = min_int(h - posy, srch);
        for (posx = 0; posx < w && !error; posx += srcw) {
            const int tw = min_int(w - posx, srcw);
            const word32 packet[SEPARABLE_WORDS] = {
                nrm, (word32)(kw - 1 + tw - 1), stride_of(kw - 1 + tw), rst, (word32)(tw - 1), stride_of(tw),
                (word32)((kw - 1 + tw - 1) >> 2), (word32)(th - 1), (word32)((kw - 1) >> 2), (word32)((kh - 1) >> 2),
                cglFloatTo32F(scale), cglFloatTo32F(bias), vbuftop, sbuftop, rbuftop};
            normalize_tile(s, nrm, posx, posy, sx, sy, kw - 1 + tw, kh - 1 + th, tilingMode);
            run_filter_packet(packet, SEPARABLE_WORDS);
            error = VGALFUNC_lx_filter_store(d, rst, nrm, posx, posy, tw, th, filter_linear(), filter_pre(),
                                             filter_channel_mask, 0);
        }
    }
    return error;
}

/* Source columns a tile of the separable kernels reads (kernel groups gx and gy). */
static int separable_source_width(int w, int kw, int gx, int gy)
{
    return min_int(min_int(w - 1 + kw, MAX_SOURCE_ROW), ((CONSTANT_BUDGET - gx - gy) >> 1) * 4);
}

int VGALFUNC_lx_separable_convolve(OVGimage *d, OVGimage *s, int kw, int kh, int sx, int sy, const VGshort *kx,
                                   const VGshort *ky, VGfloat scale, VGfloat bias, VGTilingMode tilingMode)
{
    const int gx = (kw + 3) >> 2, gy = (kh + 3) >> 2;
    float taps[MAX_KERNEL_SIZE];
    word32 nrm, rst;
    int w, h, mask, sw, tw0, th0, result, error;
    if (!kx || !ky || !kernel_size_ok(kw) || !kernel_size_ok(kh))
        return VG_ILLEGAL_ARGUMENT_ERROR;
    if (!VGALFUNC_lx_filter_area(d, s, &w, &h, &mask))
        return VG_NO_ERROR;
    sw = separable_source_width(w, kw, gx, gy);
    tw0 = sw - (kw - 1);
    th0 = min_int(h, MAX_ROWS + 1 - kh);
    if (!VGALFUNC_lx_filter_buffers(sw, kh - 1 + th0, tw0, th0, &nrm, &rst)) {
        result = VGALFUNC_lx_filter_drain(s);
        return result ? result
                      : VGALFUNC_TVGmemSeparableConvolve(d, s, kw, kh, sx, sy, kx, ky, scale, bias, tilingMode);
    }
    short_taps(taps, ky, kh);
    upload_taps(taps, kh, KERNEL_CONSTANT + gx);
    short_taps(taps, kx, kw);
    upload_taps(taps, kw, KERNEL_CONSTANT);
    gaussian_same_dev = 0;
    error = do_separable_convolve(d, s, w, h, tw0, th0, kw, kh, sx, sy, scale, bias * 255.0f, nrm, rst, tilingMode,
                                  mask);
    VGALFUNC_VFree(nrm);
    VGALFUNC_VFree(rst);
    return error;
}

/* The normalised taps of one Gaussian kernel (2 n + 1 of them in k) into the constants from
 * `first` on. */
static void upload_gauss(float *k, VGfloat sigma, int first)
{
    const int n = tvg_filter_gauss_reach(sigma);
    const float norm = tvg_filter_gauss_kernel(k, sigma);
    int t;
    for (t = 0; t <= 2 * n; ++t)
        k[t] *= norm;
    upload_taps(k, 2 * n + 1, first);
}

int VGALFUNC_lx_gaussian_blur(OVGimage *d, OVGimage *s, VGfloat stdDevX, VGfloat stdDevY, VGTilingMode tilingMode)
{
    float *k;
    word32 nrm, rst;
    int nx, ny, kw, kh, gx, gy, w, h, mask, sw, tw0, th0, result, error;
    if (!deviation_ok(stdDevX) || !deviation_ok(stdDevY))
        return VG_ILLEGAL_ARGUMENT_ERROR;
    nx = tvg_filter_gauss_reach(stdDevX), ny = tvg_filter_gauss_reach(stdDevY);
    kw = 2 * nx + 1, kh = 2 * ny + 1;
    gx = (2 * nx + 4) >> 2, gy = (2 * ny + 4) >> 2;
    if (!VGALFUNC_lx_filter_area(d, s, &w, &h, &mask))
        return VG_NO_ERROR;
    k = (float *)tvg_filter_alloc((size_t)(kw > kh ? kw : kh) * sizeof(float));
    if (!k)
        return VG_OUT_OF_MEMORY_ERROR;
    sw = separable_source_width(w, kw, gx, gy);
    tw0 = sw - 2 * nx;
    th0 = min_int(h, MAX_ROWS + 1 - kh);
    if (!VGALFUNC_lx_filter_buffers(sw, 2 * ny + th0, tw0, th0, &nrm, &rst)) {
        free(k);
        result = VGALFUNC_lx_filter_drain(s);
        return result ? result : VGALFUNC_TVGmemGaussianBlur(d, s, stdDevX, stdDevY, tilingMode);
    }
    if (stdDevX == stdDevY) {
        upload_gauss(k, stdDevX, KERNEL_CONSTANT);
        gaussian_same_dev = 1;
    } else {
        upload_gauss(k, stdDevY, KERNEL_CONSTANT + gx);
        gaussian_same_dev = 0;
        upload_gauss(k, stdDevX, KERNEL_CONSTANT);
    }
    error = do_separable_convolve(d, s, w, h, tw0, th0, kw, kh, nx, ny, 1.0f, 0.0f, nrm, rst, tilingMode, mask);
    free(k);
    VGALFUNC_VFree(nrm);
    VGALFUNC_VFree(rst);
    return error;
}
