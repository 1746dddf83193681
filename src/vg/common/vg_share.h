/* The object table of a share group: 128 buckets per object kind, keyed by address bits 4 to
 * 10 of the record, chained through each record's `next`. Handles are the 32-bit addresses of
 * the records (all in the low arena); a handle is only compared, never dereferenced, until the
 * table has found it. */
#ifndef OVG_VG_COMMON_VG_SHARE_H
#define OVG_VG_COMMON_VG_SHARE_H

#include <stdint.h>

#include <VG/openvg.h>

#include "vg/common/vg_font.h"
#include "vg/common/vg_image.h"
#include "vg/common/vg_paint.h"
#include "vg/common/vg_path.h"

#ifdef __cplusplus
extern "C" {
#endif

#define OVG_SHARE_BUCKETS 128

typedef struct OVGshare {
    OVGimage *imageEntry[OVG_SHARE_BUCKETS];
    OVGpaint *paintEntry[OVG_SHARE_BUCKETS];
    OVGpath *pathEntry[OVG_SHARE_BUCKETS];
    VGint numImage;
    VGint numPaint;
    VGint numPath;
    VGint refCount;
    OVGfont *fontEntry[OVG_SHARE_BUCKETS];
    OVGimage *maskEntry[OVG_SHARE_BUCKETS];
    VGint numFont;
    VGint numMaskLayer;
} OVGshare;

/* The one place where handles and records meet: a record's handle, the bucket of a handle, and
 * (Find) the record of a handle, taken from the table's chain, or null when it is none. */
VGHandle VGFUNC_HandleOf(const void *record);
int VGFUNC_BucketOf(VGHandle handle);

OVGshare *VGFUNC_CreateShare(void);
void VGFUNC_IncShare(OVGshare *share);
void VGFUNC_DecShare(OVGshare *share);
/* When no context uses the table any more: deletes every object still in it with its kind's
 * delete operation, then frees the table. */
void VGFUNC_DeleteShare(OVGshare *share);

void VGFUNC_AddImage(OVGshare *share, OVGimage *image);
void VGFUNC_RemoveImage(OVGshare *share, OVGimage *image);
int VGFUNC_IsImage(const OVGshare *share, VGHandle handle);
OVGimage *VGFUNC_FindImage(const OVGshare *share, VGHandle handle);
void VGFUNC_AddPaint(OVGshare *share, OVGpaint *paint);
void VGFUNC_RemovePaint(OVGshare *share, OVGpaint *paint);
int VGFUNC_IsPaint(const OVGshare *share, VGHandle handle);
OVGpaint *VGFUNC_FindPaint(const OVGshare *share, VGHandle handle);
void VGFUNC_AddPath(OVGshare *share, OVGpath *path);
void VGFUNC_RemovePath(OVGshare *share, OVGpath *path);
int VGFUNC_IsPath(const OVGshare *share, VGHandle handle);
OVGpath *VGFUNC_FindPath(const OVGshare *share, VGHandle handle);
void VGFUNC_AddFont(OVGshare *share, OVGfont *font);
void VGFUNC_RemoveFont(OVGshare *share, OVGfont *font);
int VGFUNC_IsFont(const OVGshare *share, VGHandle handle);
OVGfont *VGFUNC_FindFont(const OVGshare *share, VGHandle handle);
void VGFUNC_AddMaskLayer(OVGshare *share, OVGimage *mask);
void VGFUNC_RemoveMaskLayer(OVGshare *share, OVGimage *mask);
int VGFUNC_IsMaskLayer(const OVGshare *share, VGHandle handle);
OVGimage *VGFUNC_FindMaskLayer(const OVGshare *share, VGHandle handle);
/* A path, paint, image, font or mask layer of the table, tested in that order. */
int VGFUNC_IsObject(const OVGshare *share, VGHandle handle);

#ifdef __cplusplus
}
#endif

#endif /* OVG_VG_COMMON_VG_SHARE_H */
