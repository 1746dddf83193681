/* The OpenVG image record (mask layers are image records too) and the operations that count
 * its holders and delete it. The record holds what the object table, the deletion and the
 * acceleration layer use; `next` stays first. */
#ifndef OVG_VG_COMMON_VG_IMAGE_H
#define OVG_VG_COMMON_VG_IMAGE_H

#include <VG/openvg.h>

#include "vg/common/vg_context.h"
#include "vg/common/vg_surface.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct OVGimage {
    struct OVGimage *next;   /* chain link in the object table */
    VGint refCount;          /* children, paint patterns, glyphs and render-target bindings */
    VGboolean deleted;       /* destroyed while still referenced or bound */
    ALbuffer *buffer;        /* pixel buffer; a child shares its parent's */
    OVGrect activeRect;      /* the image's area inside the buffer: (0, 0, width, height) for a
                              * root image, the parent's origin plus the offset for a child */
    VGImageFormat format;
    struct OVGimage *parent; /* null for a root image */
    VGint isBound;           /* 1 while EGL holds the image as a client buffer */
} OVGimage;

/* Frees the record (and a root's buffer) when nothing holds or binds it; else marks it deleted. */
void VGFUNC_DeleteImage(OVGimage *image);
void VGFUNC_IncImage(OVGimage *image);
/* Releases one holder; a deleted image whose last holder went is freed. */
void VGFUNC_DecImage(OVGimage *image);

/* Object parameters: count values read or written, scalar 1 from the single-value entry points.
 * Each returns the error to record. No image parameter is kept yet: each answers
 * VG_ILLEGAL_ARGUMENT_ERROR. */
VGErrorCode VGFUNC_SetImageParami(OVGimage *image, VGint param, VGint count, const VGint *values, int scalar);
VGErrorCode VGFUNC_SetImageParamf(OVGimage *image, VGint param, VGint count, const VGfloat *values, int scalar);
VGErrorCode VGFUNC_GetImageParami(const OVGimage *image, VGint param, VGint count, VGint *values, int scalar);
VGErrorCode VGFUNC_GetImageParamf(const OVGimage *image, VGint param, VGint count, VGfloat *values, int scalar);
VGErrorCode VGFUNC_GetImageVector(const OVGimage *image, VGint param, VGint *result);

#ifdef __cplusplus
}
#endif

#endif /* OVG_VG_COMMON_VG_IMAGE_H */
