/* The object table of a share group. */
#include "vg/common/vg_share.h"

#include <assert.h>
#include <stdlib.h>

VGHandle VGFUNC_HandleOf(const void *record)
{
    return (VGHandle)(uintptr_t)record;
}

int VGFUNC_BucketOf(VGHandle handle)
{
    return (int)((handle & 0x7F0u) >> 4);
}

OVGshare *VGFUNC_CreateShare(void)
{
    return (OVGshare *)calloc(1, sizeof(OVGshare));
}

void VGFUNC_IncShare(OVGshare *share)
{
    share->refCount++;
}

void VGFUNC_DecShare(OVGshare *share)
{
    share->refCount--;
}

/* Each chain is walked taking a record's `next` before the record is deleted (a deletion may
 * free it). */
#define DELETE_CHAIN(Type, head, deleteRecord)        \
    do {                                              \
        Type *record = (head), *following;            \
        while (record) {                              \
            following = record->next;                 \
            deleteRecord(record);                     \
            record = following;                       \
        }                                             \
        (head) = NULL;                                \
    } while (0)

void VGFUNC_DeleteShare(OVGshare *share)
{
    int bucket;
    assert(share != NULL);
    if (share->refCount != 0)
        return;
    for (bucket = OVG_SHARE_BUCKETS - 1; bucket >= 0; --bucket) {
        DELETE_CHAIN(OVGimage, share->imageEntry[bucket], VGFUNC_DeleteImage);
        DELETE_CHAIN(OVGpath, share->pathEntry[bucket], VGFUNC_DeletePath);
        DELETE_CHAIN(OVGpaint, share->paintEntry[bucket], VGFUNC_DeletePaint);
        DELETE_CHAIN(OVGimage, share->maskEntry[bucket], VGFUNC_DeleteImage);
        DELETE_CHAIN(OVGfont, share->fontEntry[bucket], VGFUNC_DeleteVGFont);
    }
    free(share);
}

/* Add, remove and find for one kind: push at the head of the record's bucket; unlink (a
 * record not found changes nothing); find by comparing addresses only, so a handle is not read
 * through before it is found. */
#define TABLE_OPERATIONS(Kind, Type, chains, count)                                   \
    void VGFUNC_Add##Kind(OVGshare *share, Type *record)                              \
    {                                                                                 \
        Type **head = &share->chains[VGFUNC_BucketOf(VGFUNC_HandleOf(record))];       \
        record->next = *head;                                                         \
        *head = record;                                                               \
        share->count++;                                                               \
    }                                                                                 \
    void VGFUNC_Remove##Kind(OVGshare *share, Type *record)                           \
    {                                                                                 \
        Type **at = &share->chains[VGFUNC_BucketOf(VGFUNC_HandleOf(record))];         \
        while (*at && *at != record)                                                  \
            at = &(*at)->next;                                                        \
        if (*at) {                                                                    \
            *at = record->next;                                                       \
            share->count--;                                                           \
        }                                                                             \
    }                                                                                 \
    Type *VGFUNC_Find##Kind(const OVGshare *share, VGHandle handle)                    \
    {                                                                                 \
        Type *record;                                                                 \
        if (handle == 0)                                                              \
            return NULL;                                                              \
        for (record = share->chains[VGFUNC_BucketOf(handle)]; record; record = record->next) \
            if (VGFUNC_HandleOf(record) == handle)                                    \
                return record;                                                        \
        return NULL;                                                                  \
    }                                                                                 \
    int VGFUNC_Is##Kind(const OVGshare *share, VGHandle handle)                       \
    {                                                                                 \
        return VGFUNC_Find##Kind(share, handle) != NULL;                              \
    }

TABLE_OPERATIONS(Image, OVGimage, imageEntry, numImage)
TABLE_OPERATIONS(Paint, OVGpaint, paintEntry, numPaint)
TABLE_OPERATIONS(Path, OVGpath, pathEntry, numPath)
TABLE_OPERATIONS(Font, OVGfont, fontEntry, numFont)
TABLE_OPERATIONS(MaskLayer, OVGimage, maskEntry, numMaskLayer)

int VGFUNC_IsObject(const OVGshare *share, VGHandle handle)
{
    return VGFUNC_IsPath(share, handle) || VGFUNC_IsPaint(share, handle) || VGFUNC_IsImage(share, handle) ||
           VGFUNC_IsFont(share, handle) || VGFUNC_IsMaskLayer(share, handle);
}
