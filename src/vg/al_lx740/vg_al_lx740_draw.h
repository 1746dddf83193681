#ifndef VG_AL_LX740_DRAW_H
#define VG_AL_LX740_DRAW_H

/* The path-drawing module's start and end: the work array for a path's coordinates; and the
 * drawing of an image and of glyphs. */

#include <VG/openvg.h>

#include "cgl.h"
#include "vg/common/vg_font.h"
#include "vg/common/vg_image.h"
#include "vg/common/vg_matrix.h"
#include "vg/common/vg_paint.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Pending vertex-processor recomputations (VGALVAL_needmtxupdate). */
#define VGAL_MTX_PATH 0x01u
#define VGAL_MTX_IMAGE 0x02u
#define VGAL_MTX_FILL_PAINT_PATH 0x04u
#define VGAL_MTX_STROKE_PAINT_PATH 0x08u
#define VGAL_MTX_FILL_PAINT_IMAGE 0x10u
#define VGAL_MTX_FILL_PAINT_MATRIX 0x20u
#define VGAL_MTX_STROKE_PAINT_MATRIX 0x40u
#define VGAL_MTX_IMAGE_PAINT_MATRIX 0x80u

/* Vertex-processor entries of image drawing: the image matrix and image paint, the image
 * paint-to-surface matrix, and the image quadrilateral. */
#define VGAL_VP_IMAGE_MATRIX_ENTRY 7u
#define VGAL_VP_IMAGE_PAINT_ENTRY 28u
#define VGAL_VP_IMAGE_QUAD_ENTRY 947u

extern float *coordbuffer;
extern int coordbuffersize; /* capacity in floats */
extern word32 VGALVAL_needmtxupdate;
/* The rendering quality of the previous image drawing. */
extern VGRenderingQuality draw_image_previous_quality;

void VGALFUNC_al_lx740_draw_init(void);
void VGALFUNC_al_lx740_draw_terminate(void);

/* The first `rows` rows of the column-major matrix m into consecutive constants from
 * `constant`, three values each. */
void VGALFUNC_vp_matrix_rows(word32 constant, const OVGmatrix *m, int rows);
/* Runs a VP entry without data with LX_VP_CTRL0 = ctrl, between two vertex-processor syncs;
 * the entry is remembered as the one last written. */
void VGALFUNC_vp_run_entry(word32 ctrl, word32 entry);
/* 1 for a null paint, a colour paint and a pattern paint without a pattern. */
int IsColorPaint(const OVGpaint *paint);
/* Loads the sampling point for image at the quality the context and the image allow (pixel
 * centres when only non-antialiased sampling is allowed); 1 when the image is filtered. */
int VGALFUNC_image_sampling(const OVGimage *image);
/* The texture-shape thresholds of image and its quadrilateral of the image's size on the
 * image-quad entry. */
void VGALFUNC_image_quad(const OVGimage *image);
/* Draws image through the image-user-to-surface matrix with the context's state; 0 or
 * VG_OUT_OF_MEMORY_ERROR when the image state could not be set up. */
VGErrorCode VGHAL_ALdrawImage(OVGimage *image);

/* Vertex-processor entries of glyph drawing: a glyph's offset on the glyph matrix, and the
 * paint matrices of a run of glyphs. */
#define VGAL_VP_GLYPH_OFFSET_ENTRY 14u
#define VGAL_VP_GLYPH_PAINT_ENTRY 35u

/* Draws count glyphs of font, each at the glyph origin through the glyph-user-to-surface
 * matrix, and advances the origin by each glyph's escapement and the optional adjustments.
 * 0; VG_ILLEGAL_ARGUMENT_ERROR (nothing drawn, origin unchanged) when an index is not in the
 * font; VG_OUT_OF_MEMORY_ERROR when a glyph's state could not be set up (no later glyph is
 * drawn, the origin still advances over all of them). */
VGErrorCode VGHAL_ALdrawGlyphs(OVGfont *font, VGint count, const VGuint *indices, const VGfloat *adjustX,
                               const VGfloat *adjustY, VGbitfield paintModes, VGboolean allowAutoHinting);

/* The state validators glyph drawing calls, the layer's own unless a test puts others in. */
typedef struct VGALglyphstate {
    int (*path)(int mode);
    int (*path_minimum)(int mode);
    int (*image)(const OVGimage *image, int mode, int lerp);
    int (*image_minimum)(const OVGimage *image, int lerp);
} VGALglyphstate;
extern VGALglyphstate VGALVAL_glyphstate;

#ifdef __cplusplus
}
#endif

#endif
