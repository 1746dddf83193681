/* The colour matrix, the convolutions and the Gaussian blur on the CPU. The convolutions convert
 * the whole source into an integer work array once, read it through the tiling rule wherever a
 * kernel reaches past the source's active rectangle, and run separable kernels as a horizontal
 * pass into a float work array followed by a vertical pass. Sums accumulate in 32-bit floats in
 * the loop orders below, so the GPU filters can match them. */
#include "vg/al_lx740/vg_tvg_filter.h"

#include <math.h>
#include <stdint.h>
#include <stdlib.h>

#include "vg/al_lx740/vg_tvg_filter_frame.h"

#define MAX_KERNEL_SIZE 15
#define MAX_DEVIATION 16.0f

int filter_tiling_mode;
filter_color_type_f filter_conv_tile_color;

/* ---- Work arrays and their tiling reads ---- */

void tvg_filter_get_src_all_i(filter_color_type_i *c)
{
    const int W = filter_src.width, H = filter_src.height;
    filter_color_type p;
    int x, y;
    for (y = 0; y < H; ++y) {
        filter_color_type_i *row = c + (size_t)y * (size_t)W;
        filter_src.base = filter_src.addr + (size_t)y * (size_t)filter_src.stride;
        filter_src.idx = filter_src.idxbase;
        for (x = 0; x < W; ++x) {
            tvg_filter_get_src(&p);
            row[x].r = p.ir;
            row[x].g = p.ig;
            row[x].b = p.ib;
            row[x].a = p.ia;
        }
    }
    filter_src.base = filter_src.addr;
    filter_src.idx = filter_src.idxbase;
}

/* A coordinate of a work array of n entries along this axis, through the tiling mode; -1 for a
 * VG_TILE_FILL read outside. */
static int64_t tiled(int64_t v, int64_t n)
{
    int64_t m;
    if (v >= 0 && v < n)
        return v;
    switch (filter_tiling_mode) {
    case VG_TILE_FILL: return -1;
    case VG_TILE_PAD: return v < 0 ? 0 : n - 1;
    case VG_TILE_REPEAT:
        m = v % n;
        return m < 0 ? m + n : m;
    default:
        m = v % (2 * n);
        if (m < 0)
            m += 2 * n;
        return m < n ? m : 2 * n - m - 1;
    }
}

/* Index of the entry for (x, y), or -1 for the fill colour. */
static int64_t entry_at(int64_t x, int64_t y)
{
    const int64_t W = filter_src.width, H = filter_src.height;
    const int64_t tx = tiled(x, W), ty = tiled(y, H);
    return tx < 0 || ty < 0 ? -1 : ty * W + tx;
}

void tvg_filter_get_tmpbuf_i(filter_color_type_i *dst, int64_t x, int64_t y, const filter_color_type_i *src)
{
    const int64_t at = entry_at(x, y);
    *dst = at < 0 ? filter_edge_color : src[at];
}

void tvg_filter_get_tmpbuf_f(filter_color_type_f *dst, int64_t x, int64_t y, const filter_color_type_f *src)
{
    const int64_t at = entry_at(x, y);
    *dst = at < 0 ? filter_conv_tile_color : src[at];
}

/* ---- Results ---- */

/* A result in 0..255 units to the next destination pixel: truncated, alpha limited to 0..255 and
 * the colours to 0..alpha in a premultiplied filter format, else to 0..255. */
static void put_result(float r, float g, float b, float a)
{
    filter_color_type c;
    c.fr = r, c.fg = g, c.fb = b, c.fa = a;
    c.ir = tvg_filter_clamp255(r);
    c.ig = tvg_filter_clamp255(g);
    c.ib = tvg_filter_clamp255(b);
    c.ia = tvg_filter_clamp255(a);
    if (filter_format_pre) {
        if (c.ir > c.ia)
            c.ir = c.ia;
        if (c.ig > c.ia)
            c.ig = c.ia;
        if (c.ib > c.ia)
            c.ib = c.ia;
    }
    tvg_filter_set_dst(&c);
}

/* ---- Colour matrix ---- */

static void color_matrix_row(void *arg, int w)
{
    const VGfloat *m = (const VGfloat *)arg;
    filter_color_type c;
    int x;
    for (x = 0; x < w; ++x) {
        float R, G, B, A;
        tvg_filter_get_src(&c);
        R = (float)c.ir, G = (float)c.ig, B = (float)c.ib, A = (float)c.ia;
        put_result(m[0] * R + m[4] * G + m[8] * B + m[12] * A + 255.0f * m[16],
                   m[1] * R + m[5] * G + m[9] * B + m[13] * A + 255.0f * m[17],
                   m[2] * R + m[6] * G + m[10] * B + m[14] * A + 255.0f * m[18],
                   m[3] * R + m[7] * G + m[11] * B + m[15] * A + 255.0f * m[19]);
    }
}

int VGALFUNC_TVGmemColorMatrix(const OVGimage *d, const OVGimage *s, const VGfloat *matrix)
{
    tvg_filter_job job = {0};
    if (!matrix)
        return VG_ILLEGAL_ARGUMENT_ERROR;
    job.row = color_matrix_row;
    job.arg = (void *)matrix;
    return tvg_filter_run(d, s, &job);
}

/* ---- Convolutions ---- */

/* One tap into the four running sums. */
static void tap_i(float *sum, float k, const filter_color_type_i *p)
{
    sum[0] += k * (float)p->r;
    sum[1] += k * (float)p->g;
    sum[2] += k * (float)p->b;
    sum[3] += k * (float)p->a;
}

static void tap_f(float *sum, float k, const filter_color_type_f *p)
{
    sum[0] += k * p->r;
    sum[1] += k * p->g;
    sum[2] += k * p->b;
    sum[3] += k * p->a;
}

/* Whether entries first .. first + n - 1 of an axis of `size` entries lie inside it: then the
 * taps read the work array directly, in the same order as through the tiling reads. */
static int inside(int64_t first, int n, int size)
{
    return first >= 0 && first + n <= size;
}

typedef struct convolution {
    int kw, kh, sx, sy;
    const VGshort *kernel, *kx, *ky; /* the full kernel, or the separable pair */
    float scale, biasv;
    VGfloat dev_x, dev_y;        /* Gaussian blur */
    int tiling;
    int y;                       /* the destination row being produced */
    filter_color_type_i *tmpsrc; /* the source in the filter format */
    filter_color_type_f *tmpbuf; /* the horizontal pass */
    float *gauss;                /* the Gaussian kernel, 2 n + 1 taps */
    int gauss_n;
    float gauss_norm;
} convolution;

static void *alloc_entries(size_t entry)
{
    const size_t n = (size_t)filter_src.width * (size_t)filter_src.height;
    if (entry != 0 && n > SIZE_MAX / entry)
        return NULL;
    return tvg_filter_alloc(n * entry);
}

static void free_work(void *arg)
{
    convolution *cv = (convolution *)arg;
    free(cv->tmpsrc);
    free(cv->tmpbuf);
    free(cv->gauss);
    cv->tmpsrc = NULL;
    cv->tmpbuf = NULL;
    cv->gauss = NULL;
}

static int alloc_source(void *arg)
{
    convolution *cv = (convolution *)arg;
    cv->tmpsrc = (filter_color_type_i *)alloc_entries(sizeof(filter_color_type_i));
    return cv->tmpsrc != NULL;
}

static int alloc_two_pass(void *arg)
{
    convolution *cv = (convolution *)arg;
    if (!alloc_source(arg))
        return 0;
    cv->tmpbuf = (filter_color_type_f *)alloc_entries(sizeof(filter_color_type_f));
    return cv->tmpbuf != NULL;
}

static void prepare_source(convolution *cv)
{
    filter_tiling_mode = cv->tiling;
    tvg_filter_get_src_all_i(cv->tmpsrc);
    cv->y = 0;
}

static void convolve_prepare(void *arg)
{
    prepare_source((convolution *)arg);
}

static void convolve_row(void *arg, int w)
{
    convolution *cv = (convolution *)arg;
    const int W = filter_src.width, H = filter_src.height;
    const int64_t y0 = (int64_t)cv->y - cv->sy;
    filter_color_type_i p;
    int x, i, j;
    for (x = 0; x < w; ++x) {
        const int64_t x0 = (int64_t)x - cv->sx;
        const int direct = inside(x0, cv->kw, W) && inside(y0, cv->kh, H);
        float sum[4] = {0.0f, 0.0f, 0.0f, 0.0f};
        for (j = 0; j < cv->kh; ++j) {
            const filter_color_type_i *row = direct ? cv->tmpsrc + (size_t)(y0 + j) * (size_t)W + (size_t)x0 : NULL;
            for (i = 0; i < cv->kw; ++i) {
                const float k = (float)cv->kernel[(size_t)(cv->kw - 1 - i) * (size_t)cv->kh + (size_t)(cv->kh - 1 - j)];
                if (row) {
                    tap_i(sum, k, &row[i]);
                } else {
                    tvg_filter_get_tmpbuf_i(&p, x0 + i, y0 + j, cv->tmpsrc);
                    tap_i(sum, k, &p);
                }
            }
        }
        put_result(cv->scale * sum[0] + cv->biasv, cv->scale * sum[1] + cv->biasv, cv->scale * sum[2] + cv->biasv,
                   cv->scale * sum[3] + cv->biasv);
    }
    ++cv->y;
}

static int kernel_size_ok(VGint n)
{
    return n >= 1 && n <= MAX_KERNEL_SIZE;
}

static tvg_filter_job convolution_job(convolution *cv, int (*alloc)(void *), void (*prepare)(void *),
                                      void (*row)(void *, int))
{
    tvg_filter_job job = {0};
    job.tile_fill = 1;
    job.alloc_work = alloc;
    job.free_work = free_work;
    job.prepare = prepare;
    job.row = row;
    job.arg = cv;
    return job;
}

int VGALFUNC_TVGmemConvolve(const OVGimage *d, const OVGimage *s, VGint kernelWidth, VGint kernelHeight, VGint shiftX,
                            VGint shiftY, const VGshort *kernel, VGfloat scale, VGfloat bias, VGTilingMode tilingMode)
{
    convolution cv = {0};
    tvg_filter_job job;
    if (!kernel || !kernel_size_ok(kernelWidth) || !kernel_size_ok(kernelHeight))
        return VG_ILLEGAL_ARGUMENT_ERROR;
    cv.kw = kernelWidth, cv.kh = kernelHeight, cv.sx = shiftX, cv.sy = shiftY;
    cv.kernel = kernel;
    cv.scale = scale;
    cv.biasv = bias * 255.0f;
    cv.tiling = (int)tilingMode;
    job = convolution_job(&cv, alloc_source, convolve_prepare, convolve_row);
    return tvg_filter_run(d, s, &job);
}

/* The horizontal pass over the whole source: taps[0 .. n - 1] applied flipped, starting at
 * column x - shift, times norm. */
static void horizontal_pass(convolution *cv, const float *taps, int n, int shift, float norm)
{
    const int W = filter_src.width, H = filter_src.height;
    filter_color_type_i p;
    int x, y, t;
    for (y = 0; y < H; ++y) {
        filter_color_type_f *row = cv->tmpbuf + (size_t)y * (size_t)W;
        const filter_color_type_i *src = cv->tmpsrc + (size_t)y * (size_t)W;
        for (x = 0; x < W; ++x) {
            const int64_t x0 = (int64_t)x - shift;
            float sum[4] = {0.0f, 0.0f, 0.0f, 0.0f};
            if (inside(x0, n, W)) {
                for (t = 0; t < n; ++t)
                    tap_i(sum, taps[n - 1 - t], &src[x0 + t]);
            } else {
                for (t = 0; t < n; ++t) {
                    tvg_filter_get_tmpbuf_i(&p, x0 + t, y, cv->tmpsrc);
                    tap_i(sum, taps[n - 1 - t], &p);
                }
            }
            row[x].r = norm * sum[0], row[x].g = norm * sum[1], row[x].b = norm * sum[2], row[x].a = norm * sum[3];
        }
    }
}

/* One destination row of the vertical pass: taps applied flipped from row y - shift of the
 * horizontal pass, then scale, bias and the result clamp. */
static void vertical_row(convolution *cv, int w, const float *taps, int n, int shift, float scale, float biasv)
{
    const int W = filter_src.width;
    const int64_t y0 = (int64_t)cv->y - shift;
    const int direct = inside(y0, n, filter_src.height);
    filter_color_type_f p;
    int x, t;
    for (x = 0; x < w; ++x) {
        float sum[4] = {0.0f, 0.0f, 0.0f, 0.0f};
        if (direct) {
            const filter_color_type_f *col = cv->tmpbuf + (size_t)y0 * (size_t)W + (size_t)x;
            for (t = 0; t < n; ++t)
                tap_f(sum, taps[n - 1 - t], &col[(size_t)t * (size_t)W]);
        } else {
            for (t = 0; t < n; ++t) {
                tvg_filter_get_tmpbuf_f(&p, x, y0 + t, cv->tmpbuf);
                tap_f(sum, taps[n - 1 - t], &p);
            }
        }
        put_result(scale * sum[0] + biasv, scale * sum[1] + biasv, scale * sum[2] + biasv, scale * sum[3] + biasv);
    }
    ++cv->y;
}

static void short_taps(float *out, const VGshort *in, int n)
{
    int i;
    for (i = 0; i < n; ++i)
        out[i] = (float)in[i];
}

static void separable_prepare(void *arg)
{
    convolution *cv = (convolution *)arg;
    float kx[MAX_KERNEL_SIZE], sum = 0.0f;
    int i;
    prepare_source(cv);
    short_taps(kx, cv->kx, cv->kw);
    horizontal_pass(cv, kx, cv->kw, cv->sx, 1.0f);
    /* A row of fill colour through the horizontal taps. */
    for (i = 0; i < cv->kw; ++i)
        sum += kx[i];
    filter_conv_tile_color.r = sum * (float)filter_edge_color.r;
    filter_conv_tile_color.g = sum * (float)filter_edge_color.g;
    filter_conv_tile_color.b = sum * (float)filter_edge_color.b;
    filter_conv_tile_color.a = sum * (float)filter_edge_color.a;
}

static void separable_row(void *arg, int w)
{
    convolution *cv = (convolution *)arg;
    float ky[MAX_KERNEL_SIZE];
    short_taps(ky, cv->ky, cv->kh);
    vertical_row(cv, w, ky, cv->kh, cv->sy, cv->scale, cv->biasv);
}

int VGALFUNC_TVGmemSeparableConvolve(const OVGimage *d, const OVGimage *s, VGint kernelWidth, VGint kernelHeight,
                                     VGint shiftX, VGint shiftY, const VGshort *kernelX, const VGshort *kernelY,
                                     VGfloat scale, VGfloat bias, VGTilingMode tilingMode)
{
    convolution cv = {0};
    tvg_filter_job job;
    if (!kernelX || !kernelY || !kernel_size_ok(kernelWidth) || !kernel_size_ok(kernelHeight))
        return VG_ILLEGAL_ARGUMENT_ERROR;
    cv.kw = kernelWidth, cv.kh = kernelHeight, cv.sx = shiftX, cv.sy = shiftY;
    cv.kx = kernelX, cv.ky = kernelY;
    cv.scale = scale;
    cv.biasv = bias * 255.0f;
    cv.tiling = (int)tilingMode;
    job = convolution_job(&cv, alloc_two_pass, separable_prepare, separable_row);
    return tvg_filter_run(d, s, &job);
}

/* ---- Gaussian blur ---- */

int tvg_filter_gauss_reach(VGfloat sigma)
{
    return (int)(sigma * 4.0f + 1.0f);
}

float tvg_filter_gauss_kernel(float *k, VGfloat sigma)
{
    const int n = tvg_filter_gauss_reach(sigma);
    const float twice_var = 2.0f * sigma * sigma;
    float sum = 1.0f;
    int t;
    k[n] = 1.0f;
    for (t = 1; t <= n; ++t) {
        const float g = twice_var == 0.0f ? 0.0f : expf(-1.0f / twice_var * (float)(t * t));
        k[n - t] = k[n + t] = g;
        sum += 2.0f * g;
    }
    return sum == 0.0f ? 0.0f : 1.0f / sum;
}

static void gauss_kernel(convolution *cv, VGfloat sigma)
{
    cv->gauss_n = tvg_filter_gauss_reach(sigma);
    cv->gauss_norm = tvg_filter_gauss_kernel(cv->gauss, sigma);
}

static int gauss_alloc(void *arg)
{
    convolution *cv = (convolution *)arg;
    const int nmax = tvg_filter_gauss_reach(cv->dev_x > cv->dev_y ? cv->dev_x : cv->dev_y);
    if (!alloc_two_pass(arg))
        return 0;
    cv->gauss = (float *)tvg_filter_alloc((2 * (size_t)nmax + 1) * sizeof(float));
    return cv->gauss != NULL;
}

static void gauss_prepare(void *arg)
{
    convolution *cv = (convolution *)arg;
    prepare_source(cv);
    gauss_kernel(cv, cv->dev_x);
    horizontal_pass(cv, cv->gauss, 2 * cv->gauss_n + 1, cv->gauss_n, cv->gauss_norm);
    filter_conv_tile_color.r = (float)filter_edge_color.r;
    filter_conv_tile_color.g = (float)filter_edge_color.g;
    filter_conv_tile_color.b = (float)filter_edge_color.b;
    filter_conv_tile_color.a = (float)filter_edge_color.a;
    gauss_kernel(cv, cv->dev_y);
}

static void gauss_row(void *arg, int w)
{
    convolution *cv = (convolution *)arg;
    vertical_row(cv, w, cv->gauss, 2 * cv->gauss_n + 1, cv->gauss_n, cv->gauss_norm, 0.0f);
}

static int deviation_ok(VGfloat sigma)
{
    return sigma > 0.0f && sigma <= MAX_DEVIATION; /* false for NaN */
}

int VGALFUNC_TVGmemGaussianBlur(const OVGimage *d, const OVGimage *s, VGfloat stdDeviationX, VGfloat stdDeviationY,
                                VGTilingMode tilingMode)
{
    convolution cv = {0};
    tvg_filter_job job;
    if (!deviation_ok(stdDeviationX) || !deviation_ok(stdDeviationY))
        return VG_ILLEGAL_ARGUMENT_ERROR;
    cv.dev_x = stdDeviationX, cv.dev_y = stdDeviationY;
    cv.tiling = (int)tilingMode;
    job = convolution_job(&cv, gauss_alloc, gauss_prepare, gauss_row);
    return tvg_filter_run(d, s, &job);
}
