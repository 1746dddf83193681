/* The OpenVG font record and its deletion. The record holds what the object table and the
 * deletion use; `next` stays first. */
#ifndef OVG_VG_COMMON_VG_FONT_H
#define OVG_VG_COMMON_VG_FONT_H

#include <VG/openvg.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct OVGfont {
    struct OVGfont *next; /* chain link in the object table */
    VGint refCount;
    VGboolean deleted;
} OVGfont;

/* Frees the record when nothing holds it; else marks it deleted. */
void VGFUNC_DeleteVGFont(OVGfont *font);

#ifdef __cplusplus
}
#endif

#endif /* OVG_VG_COMMON_VG_FONT_H */
