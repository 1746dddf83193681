/* GPU buffers of EGL surfaces: their size with the GPU's row and height slack, taken from the
 * GPU memory allocator 32-byte aligned once the client API has finished with the GPU. */
#include "EGL/porting/egl_porting.h"

#include <limits.h>

#include "EGL/egl/egl_lx_sync.h"
#include "EGL/egl/egl_lx_types.h"
#include "memmanage/gmalloc.h"

static long max2(long a, long b)
{
    return a > b ? a : b;
}

static long round_up(long value, long step)
{
    return (value + step - 1) / step * step;
}

/* Kind 5 rows are whole 128, 32 or 16 pixels at 1, 4 and other depths; others whole 8. */
static long row_length(EGLint width, EGLint bits, EGLint kind)
{
    if (kind != EGL_BUFFER_ALPHA_MASK)
        return round_up(width, 8);
    if (bits == 1)
        return round_up(width, 128);
    return round_up(width, bits == 4 ? 32 : 16);
}

static long slack(long W, EGLint width, EGLint height, EGLint bits, EGLint kind)
{
    const long B = bits < 8 ? 1 : bits / 8;
    const long G = bits == 32 ? 32 : 64;
    const long D = bits == 4 ? 2 : 8;
    const long f = width % G != 0;
    const long Hp = height % 8 == 0 ? 0 : (8 - height % 8) * B;
    long row, rest;

    if (bits >= 8) {
        row = (G - W % G) * f * B;
        rest = W * Hp;
    } else if (kind != EGL_BUFFER_ALPHA_MASK) {
        row = (G + D - 1 - W % G) / D * B * f;
        rest = (W - 1 + D) / D * Hp;
    } else {
        row = B * f * ((G + D - 1 - W % G) / D);
        rest = (W + (bits == 4 ? 1 : 7)) / D * Hp;
    }
    if (kind == EGL_BUFFER_ALPHA_MASK && W % 64 != 0) {
        if (bits == 8)
            rest = max2(rest, 64 - W % 64);
        else if (bits == 4)
            rest = max2(rest, (65 - W % 64) / 2);
    }
    return max2(row, rest);
}

long PORTL_MemSize(EGLint width, EGLint height, EGLint bits, EGLint kind)
{
    long W;
    if (kind < EGL_BUFFER_COLOR0 || kind > EGL_BUFFER_ALPHA_MASK || width < 0 || height < 0 || bits < 0)
        return 0;
    W = row_length(width, bits, kind);
    return (W * height * bits + 7) / 8 + slack(W, width, height, bits, kind);
}

EGLGpuAddress PORTL_MemAlloc(EGLint width, EGLint height, EGLint bits, EGLint kind)
{
    long size = PORTL_MemSize(width, height, bits, kind);
    if (size <= 0 || size > INT_MAX)
        return EGL_NO_GPU_ADDRESS;
    EGLINL_WaitClient();
    return (EGLGpuAddress)gmMalloc((int)size, 32);
}

void PORTL_MemFree(EGLGpuAddress addr, EGLint kind)
{
    (void)kind;
    if (addr != EGL_NO_GPU_ADDRESS)
        gmFree(addr);
}
