/* The OpenVG paint record and its operations. Besides the values as the application set them,
 * the record keeps the forms the acceleration layer consumes as they are: the clamped colour,
 * the colour packed straight and premultiplied, and the colour ramp normalised into at most 34
 * entries with packed colours. The dirty bits tell the layer what to rebuild; it clears them.
 * `next` stays first: the object table chains through it. */
#ifndef OVG_VG_COMMON_VG_PAINT_H
#define OVG_VG_COMMON_VG_PAINT_H

#include <VG/openvg.h>
#include <VG/openvg_vendor.h>

#include "vg/common/vg_color.h"
#include "vg/common/vg_image.h"
#include "vg/common/vg_value.h"

#ifdef __cplusplus
extern "C" {
#endif

#define OVG_MAX_RAMP_STOPS 32                       /* stops kept as set */
#define OVG_MAX_REAL_RAMP_STOPS (OVG_MAX_RAMP_STOPS + 2) /* entries of the normalised ramp */

/* Dirty bits of OVGpaint.dirty. 0x100 and 0x200 are set only by creation. */
#define OVG_PAINT_DIRTY_TYPE 0x1
#define OVG_PAINT_DIRTY_COLOR 0x2
#define OVG_PAINT_DIRTY_SPREAD_MODE 0x4
#define OVG_PAINT_DIRTY_RAMP_PREMULTIPLIED 0x8
#define OVG_PAINT_DIRTY_RAMP_STOPS 0x10
#define OVG_PAINT_DIRTY_LINEAR_GRADIENT 0x20
#define OVG_PAINT_DIRTY_RADIAL_GRADIENT 0x40
#define OVG_PAINT_DIRTY_TILING_MODE 0x80
#define OVG_PAINT_DIRTY_PATTERN 0x400
#define OVG_PAINT_DIRTY_ALL 0x7FF

typedef struct OVGpaint {
    struct OVGpaint *next;   /* chain link in the object table */
    VGint paintType;
    OVGcolor paintColor;      /* as set */
    OVGcolor paintColorClamp; /* each component limited to 0..1 */
    VGuint paintColorPkd;
    VGuint paintColorPkdPre;
    VGColorRampSpreadMode colorRampSpreadMode;
    VGvalue colorRampStops[OVG_MAX_RAMP_STOPS][5]; /* offset, r, g, b, a as set */
    VGint numRampStops;
    VGvalue rampOffset[OVG_MAX_REAL_RAMP_STOPS];   /* normalised ramp: offsets */
    VGuint rampColor[OVG_MAX_REAL_RAMP_STOPS];     /* and packed colours, not premultiplied */
    VGint realRampStops;
    VGvalue linearGradient[4];  /* x0, y0, x1, y1 */
    VGvalue radialGradient[5];  /* cx, cy, fx, fy, r */
    VGTilingMode tilingMode;
    VGint colorRampPremultiplied;
    VGint refCount;          /* contexts holding it as their fill or stroke paint */
    VGboolean deleted;       /* destroyed while still held */
    VGint dirty;
    OVGimage *paintPattern;  /* pattern image, holding a reference, or null */
    void *aldep;             /* the acceleration layer's record of the paint */
} OVGpaint;

/* A paint with every default and its layer record; null when memory runs out. */
OVGpaint *VGFUNC_CreatePaint(void);
/* Frees the record and its layer record when no context holds it; else marks it deleted. */
void VGFUNC_DeletePaint(OVGpaint *paint);
void VGFUNC_IncPaint(OVGpaint *paint);
/* Releases one holder; a deleted paint whose last holder went is freed. */
void VGFUNC_DecPaint(OVGpaint *paint);
/* The colour of a packed RGBA word, as vgSetColor sets it. */
void VGFUNC_SetPaintColor(OVGpaint *paint, VGuint rgba);
VGuint VGFUNC_GetPaintColor(const OVGpaint *paint);
/* Releases the old pattern and holds the new one (null: none). */
void VGFUNC_SetPaintPattern(OVGpaint *paint, OVGimage *image);
OVGimage *VGFUNC_GetPaintPattern(const OVGpaint *paint);

/* Object parameters: count values read or written, scalar 1 from the single-value entry points.
 * Each returns the error to record; a rejected set changes nothing. The fixed-point forms take
 * the colour, the ramp stops and the two gradients only. */
VGErrorCode VGFUNC_SetPaintParami(OVGpaint *paint, VGint param, VGint count, const VGint *values, int scalar);
VGErrorCode VGFUNC_SetPaintParamf(OVGpaint *paint, VGint param, VGint count, const VGfloat *values, int scalar);
VGErrorCode VGFUNC_SetPaintParamx(OVGpaint *paint, VGint param, VGint count, const VGfixed *values, int scalar);
VGErrorCode VGFUNC_GetPaintParami(const OVGpaint *paint, VGint param, VGint count, VGint *values, int scalar);
VGErrorCode VGFUNC_GetPaintParamf(const OVGpaint *paint, VGint param, VGint count, VGfloat *values, int scalar);
VGErrorCode VGFUNC_GetPaintParamx(const OVGpaint *paint, VGint param, VGint count, VGfixed *values, int scalar);
/* The number of values the parameter has now. */
VGErrorCode VGFUNC_GetPaintVector(const OVGpaint *paint, VGint param, VGint *result);

#ifdef __cplusplus
}
#endif

#endif /* OVG_VG_COMMON_VG_PAINT_H */
