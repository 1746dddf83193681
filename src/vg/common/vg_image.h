/* The OpenVG image record (mask layers are image records too) and its operations. An image
 * describes a rectangle (activeRect) of a pixel buffer owned by the acceleration layer; a child
 * shares its parent's buffer. The record counts the references other objects hold on it, so
 * an image destroyed through the API lives on until the last child, paint pattern, glyph or
 * render-target binding lets go. `next` stays first: the object table chains through it. */
#ifndef OVG_VG_COMMON_VG_IMAGE_H
#define OVG_VG_COMMON_VG_IMAGE_H

#include <VG/openvg.h>
#include <VG/openvg_vendor.h>

#include "vg/common/vg_context.h"
#include "vg/common/vg_surface.h"

#ifdef __cplusplus
extern "C" {
#endif

#define OVG_MAX_IMAGE_SIZE 8192
#define OVG_MAX_IMAGE_PIXELS 0x4000000
#define OVG_MAX_IMAGE_BYTES 0x10000000

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
    VGbitfield quality;      /* allowed image qualities */
    VGint refRenderCount;    /* bindings as an EGL render target */
    VGint extension;         /* 1 for the vendor images (vgCreateImageEXT, vgCreateDirectImageEXT) */
} OVGimage;

/* A zeroed image of a standard format; null (nothing kept) when memory runs out. */
OVGimage *VGFUNC_CreateImage(VGImageFormat format, VGint width, VGint height, VGbitfield quality);
/* A root record over buffer, covering width x height of it; null when buffer is null or the
 * record cannot be had (the buffer is then freed). */
OVGimage *VGFUNC_ImageOverBuffer(ALbuffer *buffer, VGImageFormat format, VGint width, VGint height,
                                 VGbitfield quality, VGint extension);
/* A child sharing parent's buffer at (x, y) of parent's area, holding a reference on parent. */
OVGimage *VGFUNC_CreateChildImage(OVGimage *parent, VGint x, VGint y, VGint width, VGint height);
/* A vendor-format image filled from data. */
OVGimage *VGFUNC_CreateImageEXT(VGImageFormat format, VGint width, VGint height, VGbitfield quality,
                                const void *data);
/* An image over the client's memory at data, rows stride bytes apart. */
OVGimage *VGFUNC_CreateDirectImageEXT(VGImageFormat format, VGint width, VGint height, VGbitfield quality,
                                      void *data, VGint stride);
/* The image record of a mask layer: A_1, A_4 or A_8 by the bits per pixel of the buffer the
 * acceleration layer makes. */
OVGimage *VGFUNC_CreateMaskImage(VGint width, VGint height);
/* Frees the record (and a root's buffer) when nothing holds or binds it; else marks it deleted. */
void VGFUNC_DeleteImage(OVGimage *image);
void VGFUNC_IncImage(OVGimage *image);
/* Releases one holder; a deleted image whose last holder went is freed. */
void VGFUNC_DecImage(OVGimage *image);
/* A render-target binding holds the image as well. */
void VGFUNC_IncRenderTarget(OVGimage *image);
void VGFUNC_DecRenderTarget(OVGimage *image);
/* 1 while bound as a render target; 0 for null. */
int VGFUNC_IsRenderTarget(const OVGimage *image);
/* 1 when both use one buffer and their areas share a pixel (areas that only touch do not). */
int VGFUNC_IsOverlap(const OVGimage *a, const OVGimage *b);

/* Object parameters: count values read or written, scalar 1 from the single-value entry points.
 * Each returns the error to record. Format, width and height are read-only: a set is ignored. */
VGErrorCode VGFUNC_SetImageParami(OVGimage *image, VGint param, VGint count, const VGint *values, int scalar);
VGErrorCode VGFUNC_SetImageParamf(OVGimage *image, VGint param, VGint count, const VGfloat *values, int scalar);
VGErrorCode VGFUNC_GetImageParami(const OVGimage *image, VGint param, VGint count, VGint *values, int scalar);
VGErrorCode VGFUNC_GetImageParamf(const OVGimage *image, VGint param, VGint count, VGfloat *values, int scalar);
VGErrorCode VGFUNC_GetImageVector(const OVGimage *image, VGint param, VGint *result);

#ifdef __cplusplus
}
#endif

#endif /* OVG_VG_COMMON_VG_IMAGE_H */
