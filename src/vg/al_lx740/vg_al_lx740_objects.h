#ifndef VG_AL_LX740_OBJECTS_H
#define VG_AL_LX740_OBJECTS_H

/* The acceleration layer's companion records of the OpenVG objects: the cached GPU command
 * lists of a path (ALpath), the gradient ramp cache of a paint (GRADTEXINFO) and the pixel
 * buffer of an image (ALbuffer). The object records hold them; the layer makes and frees them. */

#include "cgl.h"
#include "vg/common/vg_share.h"
#include "vg/common/vg_surface.h"

#ifdef __cplusplus
extern "C" {
#endif

/* A cached command list: on the heap, or in GPU work memory (CGL_NO_ADDRESS when absent),
 * as the record's target flag says. */
typedef union ALcmdlist {
    word32 *heap;
    word32 gpu;
} ALcmdlist;

typedef struct ALpath {
    int stroke_cmd_count;
    int fill_line_cmd_count, fill_quad_cmd_count, fill_cube_cmd_count, fill_arc_cmd_count;
    ALcmdlist stroke_cmd;
    /* With the fill lists in GPU memory the four lie back to back in the block of fill_line_cmd. */
    ALcmdlist fill_line_cmd, fill_quad_cmd, fill_cube_cmd, fill_arc_cmd;
    int stroke_dash_phase; /* the phase-reset mode the stroke list was built with; -1 rebuild */
    int stroke_need_update, fill_need_update;
    /* The dash start state written into the stroke list before each subpath in phase-reset mode:
     * pattern value in use (constant after the first pattern constant, component), the length
     * left of it, and 1.0 for a dash or 0.0 for a gap. */
    int save_dashidx[2];
    float save_dash_rest, save_stroke_on;
    int stroke_cmd_target; /* 0 heap, else GPU */
    int fill_cmd_target;   /* 0 four heap blocks, else one GPU block */
} ALpath;

#define VGAL_GRADIENT_OFFSETS 33
#define VGAL_GRADIENT_COLORS 34

typedef struct GRADTEXINFO {
    word32 offset[VGAL_GRADIENT_OFFSETS];
    word32 color[VGAL_GRADIENT_COLORS];
    int offsetnum, offsetnum_repeat;
    int mode; /* the premultiplication the cache was built with */
} GRADTEXINFO;

/* 1, or 0 when out of memory (the path's aldep stays null). */
int VGHAL_ALcreatePath(OVGpath *path);
void VGHAL_ALdeletePath(OVGpath *path);
/* Frees a path's cached stroke list, or its fill lists, and leaves none (count 0, on the heap). */
void VGALFUNC_al_path_drop_stroke(ALpath *al);
void VGALFUNC_al_path_drop_fill(ALpath *al);
int VGHAL_ALcreatePaint(OVGpaint *paint);
void VGHAL_ALdeletePaint(OVGpaint *paint);

/* A zeroed image of bits per pixel, its rows padded to 8 pixels; null when out of memory. */
ALbuffer *VGHAL_ALcreateImage(int width, int height, int bits);
/* A vendor-format image filled from the client's data; null when out of memory. */
ALbuffer *VGHAL_ALcreateImageEXT(VGImageFormat format, int width, int height, const void *data);
/* An image over the client's memory; null when out of memory or when the client block does not
 * lie wholly below 4 GiB, where the GPU cannot reach it. */
ALbuffer *VGHAL_ALcreateDirectImageEXT(VGImageFormat format, int width, int height, void *data, int stride);
/* The buffer of a mask layer of the current surface (which has a mask buffer); null when out
 * of memory. Built with the mask operations. */
ALbuffer *VGHAL_ALcreateMaskImage(int width, int height);
/* Frees img (null skipped); ovgimg is the image record it belonged to. */
void VGHAL_ALdeleteImage(ALbuffer *img, const OVGimage *ovgimg);

#ifdef __cplusplus
}
#endif

#endif
