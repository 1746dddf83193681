/* The image filter entry points. Every filter first takes its two images through the same
 * checks, in this order: both handles images (dst first), a vendor destination skipped
 * silently, neither bound as a render target, the two not overlapping; then its own argument
 * checks; then one acceleration-layer call whose error is recorded. */
#include <stddef.h>

#include <VG/openvg.h>

#include "vg/al_lx740/vg_al_lx740_filter.h"
#include "vg/common/vg_frame.h"
#include "vg/common/vg_image_api.h"
#include "vg/common/vg_image_format.h"

#define MAX_KERNEL_SIZE 15
#define MAX_DEVIATION 16.0f

/* 1 with both images found when the filter may go on, else 0 (with the error recorded, or
 * silently for a vendor destination). */
static int filterImages(OVGcontext *c, VGImage dstHandle, VGImage srcHandle, OVGimage **dst, OVGimage **src)
{
    *dst = VGFUNC_FindImageOrError(c, dstHandle);
    *src = *dst ? VGFUNC_FindImageOrError(c, srcHandle) : NULL;
    if (!*src || (*dst)->extension || VGFUNC_RenderTargetError(c, *dst) || VGFUNC_RenderTargetError(c, *src))
        return 0;
    if (VGFUNC_IsOverlap(*dst, *src)) {
        VGFUNC_RecordError(c, VG_ILLEGAL_ARGUMENT_ERROR);
        return 0;
    }
    return 1;
}

/* Records VG_ILLEGAL_ARGUMENT_ERROR when bad; returns bad. */
static int illegal(OVGcontext *c, int bad)
{
    if (bad)
        VGFUNC_RecordError(c, VG_ILLEGAL_ARGUMENT_ERROR);
    return bad;
}

void vgLookup(VGImage dstHandle, VGImage srcHandle, const VGubyte *redLUT, const VGubyte *greenLUT,
              const VGubyte *blueLUT, const VGubyte *alphaLUT, VGboolean outputLinear, VGboolean outputPremultiplied)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGimage *dst, *src;
    if (!c || !filterImages(c, dstHandle, srcHandle, &dst, &src) ||
        illegal(c, !redLUT || !greenLUT || !blueLUT || !alphaLUT))
        return;
    VGFUNC_RecordError(c, VGHAL_ALlookup(dst, src, redLUT, greenLUT, blueLUT, alphaLUT, outputLinear != VG_FALSE,
                                         outputPremultiplied != VG_FALSE));
}

static int isOneChannel(VGImageChannel channel)
{
    return channel == VG_RED || channel == VG_GREEN || channel == VG_BLUE || channel == VG_ALPHA;
}

void vgLookupSingle(VGImage dstHandle, VGImage srcHandle, const VGuint *lookupTable, VGImageChannel sourceChannel,
                    VGboolean outputLinear, VGboolean outputPremultiplied)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGimage *dst, *src;
    if (!c || !filterImages(c, dstHandle, srcHandle, &dst, &src) ||
        illegal(c, VGFUNC_IsBadPointer(lookupTable, 4)) ||
        illegal(c, VGVAL_isrgb[(unsigned)src->format & 15u] && !isOneChannel(sourceChannel)))
        return;
    VGFUNC_RecordError(c, VGHAL_ALlookupSingle(dst, src, lookupTable, sourceChannel, outputLinear != VG_FALSE,
                                               outputPremultiplied != VG_FALSE));
}

void vgColorMatrix(VGImage dstHandle, VGImage srcHandle, const VGfloat *matrix)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGimage *dst, *src;
    if (!c || !filterImages(c, dstHandle, srcHandle, &dst, &src) || illegal(c, VGFUNC_IsBadPointer(matrix, 4)))
        return;
    VGFUNC_RecordError(c, VGHAL_ALcolorMatrix(dst, src, matrix));
}

static int isKernelSize(VGint n)
{
    return n >= 1 && n <= MAX_KERNEL_SIZE;
}

static int isTilingMode(VGTilingMode mode)
{
    return mode >= VG_TILE_FILL && mode <= VG_TILE_REFLECT;
}

void vgConvolve(VGImage dstHandle, VGImage srcHandle, VGint kernelWidth, VGint kernelHeight, VGint shiftX,
                VGint shiftY, const VGshort *kernel, VGfloat scale, VGfloat bias, VGTilingMode tilingMode)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGimage *dst, *src;
    if (!c || !filterImages(c, dstHandle, srcHandle, &dst, &src) ||
        illegal(c, !isKernelSize(kernelWidth) || !isKernelSize(kernelHeight)) ||
        illegal(c, VGFUNC_IsBadPointer(kernel, 2)) || illegal(c, !isTilingMode(tilingMode)))
        return;
    VGFUNC_RecordError(
        c, VGHAL_ALconvolve(dst, src, kernelWidth, kernelHeight, shiftX, shiftY, kernel, scale, bias, tilingMode));
}

void vgSeparableConvolve(VGImage dstHandle, VGImage srcHandle, VGint kernelWidth, VGint kernelHeight, VGint shiftX,
                         VGint shiftY, const VGshort *kernelX, const VGshort *kernelY, VGfloat scale, VGfloat bias,
                         VGTilingMode tilingMode)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGimage *dst, *src;
    if (!c || !filterImages(c, dstHandle, srcHandle, &dst, &src) ||
        illegal(c, !isKernelSize(kernelWidth) || !isKernelSize(kernelHeight)) ||
        illegal(c, VGFUNC_IsBadPointer(kernelX, 2) || VGFUNC_IsBadPointer(kernelY, 2)) ||
        illegal(c, !isTilingMode(tilingMode)))
        return;
    VGFUNC_RecordError(c, VGHAL_ALseparableConvolve(dst, src, kernelWidth, kernelHeight, shiftX, shiftY, kernelX,
                                                    kernelY, scale, bias, tilingMode));
}

static int isDeviation(VGfloat sigma)
{
    return sigma > 0.0f && sigma <= MAX_DEVIATION; /* false for NaN */
}

void vgGaussianBlur(VGImage dstHandle, VGImage srcHandle, VGfloat stdDeviationX, VGfloat stdDeviationY,
                    VGTilingMode tilingMode)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGimage *dst, *src;
    if (!c || !filterImages(c, dstHandle, srcHandle, &dst, &src) ||
        illegal(c, !isDeviation(stdDeviationX) || !isDeviation(stdDeviationY)) ||
        illegal(c, !isTilingMode(tilingMode)))
        return;
    VGFUNC_RecordError(c, VGHAL_ALgaussianBlur(dst, src, stdDeviationX, stdDeviationY, tilingMode));
}
