/* VGU 1.1 utility library of the graphics library: shapes appended to paths and
 * projective warp matrices. */
#ifndef OVG_VG_VGU_H
#define OVG_VG_VGU_H

#if defined(_VGU_H) || defined(__vgu_h_)
#error "another <VG/vgu.h> was included before the graphics library's own"
#endif
#define _VGU_H

#include <VG/openvg.h>

#ifdef __cplusplus
extern "C" {
#endif

#define VGU_VERSION_1_0 1
#define VGU_VERSION_1_1 2

#ifndef VGU_API_CALL
#define VGU_API_CALL VG_API_CALL
#endif
#ifndef VGU_API_ENTRY
#define VGU_API_ENTRY
#endif
#ifndef VGU_API_EXIT
#define VGU_API_EXIT
#endif

typedef enum {
  VGU_NO_ERROR                  = 0,
  VGU_BAD_HANDLE_ERROR          = 0xF000,
  VGU_ILLEGAL_ARGUMENT_ERROR    = 0xF001,
  VGU_OUT_OF_MEMORY_ERROR       = 0xF002,
  VGU_PATH_CAPABILITY_ERROR     = 0xF003,
  VGU_BAD_WARP_ERROR            = 0xF004,
  VGU_ERROR_CODE_FORCE_SIZE     = VG_MAX_ENUM
} VGUErrorCode;

typedef enum {
  VGU_ARC_OPEN                  = 0xF100,
  VGU_ARC_CHORD                 = 0xF101,
  VGU_ARC_PIE                   = 0xF102,
  VGU_ARC_TYPE_FORCE_SIZE       = VG_MAX_ENUM
} VGUArcType;

VGU_API_CALL VGUErrorCode VGU_API_ENTRY vguLine(VGPath path, VGfloat x0, VGfloat y0, VGfloat x1,
                                                VGfloat y1) VGU_API_EXIT;
VGU_API_CALL VGUErrorCode VGU_API_ENTRY vguPolygon(VGPath path, const VGfloat *points, VGint count,
                                                   VGboolean closed) VGU_API_EXIT;
VGU_API_CALL VGUErrorCode VGU_API_ENTRY vguRect(VGPath path, VGfloat x, VGfloat y, VGfloat width,
                                                VGfloat height) VGU_API_EXIT;
VGU_API_CALL VGUErrorCode VGU_API_ENTRY vguRoundRect(VGPath path, VGfloat x, VGfloat y, VGfloat width,
                                                     VGfloat height, VGfloat arcWidth,
                                                     VGfloat arcHeight) VGU_API_EXIT;
VGU_API_CALL VGUErrorCode VGU_API_ENTRY vguEllipse(VGPath path, VGfloat cx, VGfloat cy, VGfloat width,
                                                   VGfloat height) VGU_API_EXIT;
VGU_API_CALL VGUErrorCode VGU_API_ENTRY vguArc(VGPath path, VGfloat x, VGfloat y, VGfloat width,
                                               VGfloat height, VGfloat startAngle, VGfloat angleExtent,
                                               VGUArcType arcType) VGU_API_EXIT;

VGU_API_CALL VGUErrorCode VGU_API_ENTRY vguComputeWarpQuadToSquare(
    VGfloat sx0, VGfloat sy0, VGfloat sx1, VGfloat sy1, VGfloat sx2, VGfloat sy2, VGfloat sx3,
    VGfloat sy3, VGfloat *matrix) VGU_API_EXIT;
VGU_API_CALL VGUErrorCode VGU_API_ENTRY vguComputeWarpSquareToQuad(
    VGfloat dx0, VGfloat dy0, VGfloat dx1, VGfloat dy1, VGfloat dx2, VGfloat dy2, VGfloat dx3,
    VGfloat dy3, VGfloat *matrix) VGU_API_EXIT;
VGU_API_CALL VGUErrorCode VGU_API_ENTRY vguComputeWarpQuadToQuad(
    VGfloat dx0, VGfloat dy0, VGfloat dx1, VGfloat dy1, VGfloat dx2, VGfloat dy2, VGfloat dx3,
    VGfloat dy3, VGfloat sx0, VGfloat sy0, VGfloat sx1, VGfloat sy1, VGfloat sx2, VGfloat sy2,
    VGfloat sx3, VGfloat sy3, VGfloat *matrix) VGU_API_EXIT;

#ifdef __cplusplus
}
#endif

#endif /* OVG_VG_VGU_H */
