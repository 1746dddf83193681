/* The OpenVG 1.1 state of one client context. The acceleration layer reads it when it brings
 * the GPU up to date; the dirty word tells it which groups changed. */
#ifndef OVG_VG_COMMON_VG_CONTEXT_H
#define OVG_VG_COMMON_VG_CONTEXT_H

#include <VG/openvg.h>
#include <VG/openvg_vendor.h>

#include "vg/common/vg_color.h"
#include "vg/common/vg_matrix.h"
#include "vg/common/vg_surface.h"

#ifdef __cplusplus
extern "C" {
#endif

#define OVG_MAX_SCISSOR_RECTS 32
/* The GPU holds 16 dash values, so a longer pattern is cut to its first 16 (the OpenVG minimum
 * of VG_MAX_DASH_COUNT). */
#define OVG_MAX_DASH_COUNT 16

typedef struct OVGrect {
    VGint x, y, width, height;
} OVGrect;

struct OVGpaint;
struct OVGshare;

typedef struct OVGcontext {
    OVGmatrix pathUserToSurface;
    OVGmatrix imageUserToSurface;
    OVGmatrix fillPaintToUser;
    OVGmatrix strokePaintToUser;
    OVGmatrix *currentMtx;
    VGMatrixMode matrixMode;
    VGFillRule fillRule;
    VGImageQuality imageQuality;
    VGRenderingQuality renderingQuality;
    VGBlendMode blendMode;
    VGImageMode imageMode;
    OVGrect scissorRects[OVG_MAX_SCISSOR_RECTS];
    VGint numScissorRects;
    VGvalue strokeLineWidth;
    VGCapStyle strokeCapStyle;
    VGJoinStyle strokeJoinStyle;
    VGvalue strokeMiterLimit;
    VGvalue strokeDashPattern[OVG_MAX_DASH_COUNT];
    VGvalue dashSafePattern[OVG_MAX_DASH_COUNT];
    VGvalue strokeDashLength;
    VGint numDashCount;
    VGvalue strokeDashPhase;
    VGboolean strokeDashPhaseReset;
    OVGcolor tileFillColor;
    OVGcolor tileFillColorClamp;
    OVGcolor clearColor;
    OVGcolor clearColorClamp;
    VGboolean masking;
    VGboolean scissoring;
    VGPixelLayout pixelLayout;
    VGPixelLayout screenLayout;
    VGboolean filterFormatLinear;
    VGboolean filterFormatPremultiplied;
    VGbitfield filterChannelMask;
    struct OVGpaint *currentFillPaint;
    struct OVGpaint *currentStrokePaint;
    ALsurface *drawSurface;
    VGErrorCode error;
    VGint dirty;
    struct OVGshare *sharedState;
    VGvalue glyphOrigin[2];
    OVGmatrix glyphUserToSurface;
    VGvalue colorTransformValues[8]; /* scales R, G, B, A, then biases R, G, B, A */
    VGvalue colorTransformValuesOrig[8];
    VGboolean colorTransform;
    VGuint yuv2rgbConversion;
    VGuint yuv2rgbCoefficient[9];
    VGuint blendUnitEXT;
    VGuint blendFuncEXT[4]; /* source colour, destination colour, source alpha, destination alpha */
    VGuint blendEquationEXT[2]; /* colour, alpha */
    VGuint blendColorEXT;
    VGuint channelMask;
    VGuint altColor[4];
} OVGcontext;

/* A context with every default, using share's object table (or a new one when share is null);
 * null when memory runs out. */
OVGcontext *VGFUNC_CreateVGContext(OVGcontext *share);
/* Releases the context's paints and its use of the object table (deleting the table and its
 * objects with its last context), then frees the record. */
void VGFUNC_DeleteVGContext(OVGcontext *context);
OVGmatrix *VGFUNC_GetCurrentMatrix(OVGcontext *context);
/* VG_FILL_PATH gives the fill paint, any other mode the stroke paint (null: the default paint). */
struct OVGpaint *VGFUNC_GetPaint(const OVGcontext *context, VGPaintMode mode);
/* Holds paint (null: the default paint) as the fill and/or stroke paint the mode names. */
void VGFUNC_SetPaint(OVGcontext *context, struct OVGpaint *paint, VGbitfield mode);

#ifdef __cplusplus
}
#endif

#endif /* OVG_VG_COMMON_VG_CONTEXT_H */
