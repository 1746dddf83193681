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

/* Dirty bits of OVGcontext.dirty: which state the acceleration layer must load again. */
#define OVG_DIRTY_IMAGE_QUALITY 0x1u
#define OVG_DIRTY_RENDERING_QUALITY 0x2u
#define OVG_DIRTY_BLEND_MODE 0x4u
#define OVG_DIRTY_IMAGE_MODE 0x8u
#define OVG_DIRTY_SCISSOR 0x10u
#define OVG_DIRTY_TILE_FILL_COLOR 0x20u
#define OVG_DIRTY_CLEAR_COLOR 0x40u
#define OVG_DIRTY_MASKING 0x80u
#define OVG_DIRTY_FILL_RULE 0x100u
#define OVG_DIRTY_FILTER_FORMAT_LINEAR 0x200u
#define OVG_DIRTY_FILTER_FORMAT_PREMULTIPLIED 0x400u
#define OVG_DIRTY_FILTER_CHANNEL_MASK 0x800u
#define OVG_DIRTY_COLOR_TRANSFORM 0x1000u
#define OVG_DIRTY_GLYPH_ORIGIN 0x2000u
#define OVG_DIRTY_STROKE_LINE_WIDTH 0x4000u
#define OVG_DIRTY_STROKE_CAP_STYLE 0x8000u
#define OVG_DIRTY_STROKE_JOIN_STYLE 0x10000u
#define OVG_DIRTY_STROKE_MITER_LIMIT 0x20000u
#define OVG_DIRTY_STROKE_DASH_PHASE 0x40000u
#define OVG_DIRTY_STROKE_DASH_PHASE_RESET 0x80000u
#define OVG_DIRTY_STROKE_DASH_PATTERN 0x100000u
#define OVG_DIRTY_YUV_RGB 0x4000000u
#define OVG_DIRTY_BLEND_UNIT 0x8000000u
#define OVG_DIRTY_BLEND_FUNCS 0x10000000u
#define OVG_DIRTY_BLEND_COLOR 0x20000000u
#define OVG_DIRTY_CHANNEL_MASK 0x40000000u
#define OVG_DIRTY_ALTERNATE_COLOR 0x80000000u

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
/* Adds OVG_DIRTY_ bits to the context's dirty word. */
void VGFUNC_MarkDirty(OVGcontext *context, VGuint bits);

/* Context parameters. count values are read or written; scalar is 1 for the single-value entry
 * points (count 1), 0 for the vector ones. Each returns the error to record (0 on success); a
 * rejected set changes nothing. The EXT setter takes the vendor parameters only, the fixed-point
 * forms the float-valued parameters only. */
VGErrorCode VGFUNC_SetContexti(OVGcontext *context, VGParamType param, VGint count, const VGint *values, int scalar);
VGErrorCode VGFUNC_SetContextf(OVGcontext *context, VGParamType param, VGint count, const VGfloat *values, int scalar);
VGErrorCode VGFUNC_SetContextx(OVGcontext *context, VGParamType param, VGint count, const VGfixed *values, int scalar);
VGErrorCode VGFUNC_SetContextiEXT(OVGcontext *context, VGParamType param, VGint count, const VGuint *values,
                                  int scalar);
VGErrorCode VGFUNC_GetContexti(const OVGcontext *context, VGParamType param, VGint count, VGint *values, int scalar);
VGErrorCode VGFUNC_GetContextf(const OVGcontext *context, VGParamType param, VGint count, VGfloat *values,
                               int scalar);
VGErrorCode VGFUNC_GetContextx(const OVGcontext *context, VGParamType param, VGint count, VGfixed *values,
                               int scalar);
/* The number of values the parameter has now. */
VGErrorCode VGFUNC_GetContextVector(const OVGcontext *context, VGParamType param, VGint *result);
/* VG_FILL_PATH gives the fill paint, any other mode the stroke paint (null: the default paint). */
struct OVGpaint *VGFUNC_GetPaint(const OVGcontext *context, VGPaintMode mode);
/* Holds paint (null: the default paint) as the fill and/or stroke paint the mode names. */
void VGFUNC_SetPaint(OVGcontext *context, struct OVGpaint *paint, VGbitfield mode);

#ifdef __cplusplus
}
#endif

#endif /* OVG_VG_COMMON_VG_CONTEXT_H */
