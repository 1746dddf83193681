/* The mask entry points: vgMask, vgRenderToMask and the mask layers. Arguments are checked here
 * in the order that decides which error is recorded; the acceleration layer does the pixel work
 * and returns the error to record. Without a mask buffer on the surface the mask entries do
 * nothing, and vgCreateMaskLayer answers no handle without an error. */
#include <stddef.h>

#include <VG/openvg.h>

#include "vg/al_lx740/vg_al_lx740_mask.h"
#include "vg/common/vg_frame.h"
#include "vg/common/vg_image.h"
#include "vg/common/vg_image_api.h"
#include "vg/common/vg_share.h"

#define MASK_LAYER_MAX_SIDE 8192
#define MASK_LAYER_MAX_PIXELS 67108864LL

static int illegal(OVGcontext *c, int bad)
{
    if (bad)
        VGFUNC_RecordError(c, VG_ILLEGAL_ARGUMENT_ERROR);
    return bad;
}

static int has_mask_buffer(const OVGcontext *c)
{
    return c->drawSurface && c->drawSurface->mask;
}

/* The mask layer of handle in the current context's table, else null with
 * VG_BAD_HANDLE_ERROR. */
static OVGimage *layerOf(OVGcontext *c, VGMaskLayer handle)
{
    OVGimage *layer = VGFUNC_FindMaskLayer(c->sharedState, handle);
    if (!layer)
        VGFUNC_RecordError(c, VG_BAD_HANDLE_ERROR);
    return layer;
}

static int is_combining(VGMaskOperation op)
{
    return op >= VG_SET_MASK && op <= VG_SUBTRACT_MASK;
}

void vgMask(VGHandle mask, VGMaskOperation operation, VGint x, VGint y, VGint width, VGint height)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGimage *source = NULL;
    if (!c || illegal(c, width <= 0 || height <= 0))
        return;
    if (is_combining(operation)) {
        source = VGFUNC_FindImage(c->sharedState, mask);
        if (source) {
            if (source->extension || VGFUNC_RenderTargetError(c, source))
                return;
        } else if (!(source = layerOf(c, mask))) {
            return;
        }
    } else if (illegal(c, operation != VG_CLEAR_MASK && operation != VG_FILL_MASK)) {
        return;
    }
    VGFUNC_RecordError(c, VGHAL_ALmask(source, operation, x, y, width, height));
}

void vgRenderToMask(VGPath path, VGbitfield paintModes, VGMaskOperation operation)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGpath *p = c ? VGFUNC_FindPath(c->sharedState, path) : NULL;
    if (!c)
        return;
    if (!p) {
        VGFUNC_RecordError(c, VG_BAD_HANDLE_ERROR);
        return;
    }
    if (illegal(c, paintModes < 1 || paintModes > (VG_FILL_PATH | VG_STROKE_PATH)))
        return;
    VGFUNC_RecordError(c, VGHAL_ALrenderToMask(p, paintModes, operation));
}

VGMaskLayer vgCreateMaskLayer(VGint width, VGint height)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGimage *layer;
    if (!c || illegal(c, width < 1 || width > MASK_LAYER_MAX_SIDE || height < 1 || height > MASK_LAYER_MAX_SIDE ||
                             (long long)width * height > MASK_LAYER_MAX_PIXELS))
        return VG_INVALID_HANDLE;
    if (!has_mask_buffer(c))
        return VG_INVALID_HANDLE;
    layer = VGFUNC_CreateMaskImage(width, height);
    if (!layer) {
        VGFUNC_RecordError(c, VG_OUT_OF_MEMORY_ERROR);
        return VG_INVALID_HANDLE;
    }
    VGFUNC_AddMaskLayer(c->sharedState, layer);
    return VGFUNC_HandleOf(layer);
}

void vgDestroyMaskLayer(VGMaskLayer maskLayer)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGimage *layer = c ? layerOf(c, maskLayer) : NULL;
    if (!layer)
        return;
    VGFUNC_RemoveMaskLayer(c->sharedState, layer);
    VGFUNC_DeleteImage(layer);
}

void vgFillMaskLayer(VGMaskLayer maskLayer, VGint x, VGint y, VGint width, VGint height, VGfloat value)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGimage *layer = c ? layerOf(c, maskLayer) : NULL;
    OVGrect r;
    if (!layer)
        return;
    /* Written so that a value that is not a number fails too. */
    if (illegal(c, !(value >= 0.0f && value <= 1.0f) || width < 1 || height < 1 || x < 0 || y < 0 ||
                       x > layer->activeRect.width - width || y > layer->activeRect.height - height))
        return;
    r.x = x, r.y = y, r.width = width, r.height = height;
    VGFUNC_RecordError(c, VGHAL_ALfillMaskLayer(layer, &r, value));
}

void vgCopyMask(VGMaskLayer maskLayer, VGint dx, VGint dy, VGint sx, VGint sy, VGint width, VGint height)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGimage *layer = c ? layerOf(c, maskLayer) : NULL;
    OVGrect r;
    if (!layer || illegal(c, width <= 0 || height <= 0) || !has_mask_buffer(c))
        return;
    r.x = sx, r.y = sy, r.width = width, r.height = height;
    VGFUNC_RecordError(c, VGHAL_ALcopyMask(layer, dx, dy, &r));
}
