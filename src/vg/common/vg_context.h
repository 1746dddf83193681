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
#define OVG_MAX_DASH_COUNT 32

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

#ifdef __cplusplus
}
#endif

#endif /* OVG_VG_COMMON_VG_CONTEXT_H */
