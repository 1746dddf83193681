/* The OpenVG image record (mask layers are image records too) and the operations that count
 * its holders and delete it. The record holds what the object table, the deletion and the
 * acceleration layer use; `next` stays first. */
#ifndef OVG_VG_COMMON_VG_IMAGE_H
#define OVG_VG_COMMON_VG_IMAGE_H

#include <VG/openvg.h>

#include "vg/common/vg_surface.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct OVGimage {
    struct OVGimage *next;   /* chain link in the object table */
    VGint refCount;          /* children, paint patterns, glyphs and render-target bindings */
    VGboolean deleted;       /* destroyed while still referenced or bound */
    ALbuffer *buffer;        /* pixel buffer; a child shares its parent's */
    struct OVGimage *parent; /* null for a root image */
    VGint isBound;           /* 1 while EGL holds the image as a client buffer */
} OVGimage;

/* Frees the record (and a root's buffer) when nothing holds or binds it; else marks it deleted. */
void VGFUNC_DeleteImage(OVGimage *image);
void VGFUNC_IncImage(OVGimage *image);
/* Releases one holder; a deleted image whose last holder went is freed. */
void VGFUNC_DecImage(OVGimage *image);

#ifdef __cplusplus
}
#endif

#endif /* OVG_VG_COMMON_VG_IMAGE_H */
