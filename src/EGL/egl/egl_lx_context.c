#include "EGL/egl/egl_lx_context.h"

#include <stdlib.h>

#include "EGL/egl/egl_linklist.h"
#include "EGL/egl/egl_lx_error.h"
#include "EGL/egl/egl_lx_init.h"
#include "EGL/egl/egl_lx_surface.h"
#include "EGL/porting/egl_porting.h"

EGLcurrent EGLINV_current = {EGL_NONE, NULL, NULL, NULL, NULL};

#define ES_BITS (EGL_OPENGL_ES_BIT | EGL_OPENGL_ES2_BIT)

EGLBoolean EGLINL_BindAPI(EGLenum api)
{
    EGLcurrent *cur = &EGLINV_current;
    if (api != EGL_OPENVG_API)
        return EGLINL_Fail(EGL_BAD_PARAMETER);
    if (cur->api != EGL_OPENVG_API && cur->ctx) {
        if (!EGL_PORT(MakeCurrentOpenVG)(cur->display, cur->draw, cur->read, cur->ctx))
            return EGL_FALSE;
        if (!EGL_PORT(MakeCurrentOpenGLES)(cur->display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT))
            return EGL_FALSE;
        cur->ctx->context_attrib.context_client_type = EGL_OPENVG_API;
    }
    cur->api = EGL_OPENVG_API;
    EGLINL_SetError(EGL_SUCCESS);
    return EGL_TRUE;
}

EGLenum EGLINL_QueryAPI(void)
{
    EGLINL_SetError(EGL_SUCCESS);
    return EGLINV_current.api;
}

static void free_context(EGLdisplay *display, EGLcontext *ctx)
{
    if (display)
        display->context_list = EGLINL_DeleteLinkList(display->context_list, ctx);
    if (ctx->ovg)
        EGL_PORT(DestroyOpenVGContext)(ctx->ovg);
    free(ctx);
}

EGLContext EGLINL_CreateContext(EGLdisplay *display, const EGLconfig *config, EGLcontext *share, EGLint version)
{
    EGLcontext *ctx = (EGLcontext *)calloc(1, sizeof *ctx);
    EGLlinklist *head;
    if (!ctx) {
        EGLINL_SetError(EGL_BAD_ALLOC);
        return EGL_NO_CONTEXT;
    }
    ctx->config = config;
    ctx->context_attrib.config_id = config->config_id;
    ctx->context_attrib.render_buffer = EGL_NONE;
    ctx->context_attrib.context_client_type = (EGLint)EGLINV_current.api;
    ctx->context_attrib.context_client_version = version;
    if (config->renderable_type & ES_BITS) {
        ctx->oes = EGL_PORT(CreateOpenGLESContext)((EGLConfig)config, share ? share->oes : NULL, version);
        if (!ctx->oes) {
            free(ctx);
            EGLINL_SetError(EGL_BAD_ALLOC);
            return EGL_NO_CONTEXT;
        }
    }
    if (config->renderable_type & EGL_OPENVG_BIT) {
        ctx->ovg = EGL_PORT(CreateOpenVGContext)(share ? share->ovg : NULL);
        if (!ctx->ovg) {
            free_context(NULL, ctx);
            EGLINL_SetError(EGL_BAD_ALLOC);
            return EGL_NO_CONTEXT;
        }
    }
    head = EGLINL_InsertLinkList(display->context_list, ctx);
    if (head == display->context_list) {
        free_context(NULL, ctx);
        EGLINL_SetError(EGL_BAD_ALLOC);
        return EGL_NO_CONTEXT;
    }
    display->context_list = head;
    ctx->is_first = EGL_TRUE;
    EGLINL_SetError(EGL_SUCCESS);
    return (EGLContext)ctx;
}

EGLBoolean EGLINL_DestroyContext(EGLdisplay *display, EGLcontext *ctx)
{
    ctx->release = EGL_TRUE;
    if (!ctx->is_current)
        free_context(display, ctx);
    EGLINL_SetError(EGL_SUCCESS);
    return EGL_TRUE;
}

void EGLINL_ReleaseContexts(EGLdisplay *display)
{
    EGLlinklist *node = display->context_list;
    while (node) {
        EGLcontext *ctx = (EGLcontext *)EGLINL_GetLinkListItem(node);
        node = EGLINL_NextLinkList(node);
        ctx->release = EGL_TRUE;
        if (!ctx->is_current)
            free_context(display, ctx);
    }
}

/* Binds or unbinds the image of a pbuffer made from one, with ctx drawing to that pbuffer. */
static EGLint bind_image(EGLcontext *ctx, EGLsurface *draw, int bind)
{
    EGLsurface *previous = ctx->draw;
    EGLint result;
    ctx->draw = draw;
    result = bind ? EGL_PORT(BindOpenVGImage)(ctx, draw->client_buffer)
                  : EGL_PORT(UnbindOpenVGImage)(ctx, draw->client_buffer);
    ctx->draw = previous;
    return result;
}

/* The objects that were current stop being current; those destroyed meanwhile go now. */
static void release_previous(const EGLcurrent *old)
{
    EGLdisplay *display = EGLINL_FindDisplay(old->display);
    if (old->draw) {
        if (old->draw->client_buffer && old->ctx)
            bind_image(old->ctx, old->draw, 0);
        old->draw->is_current = EGL_FALSE;
        old->draw->context = NULL;
        if (display)
            EGLINL_DeleteEGLSurface(display, old->draw);
    }
    if (old->ctx) {
        old->ctx->is_current = EGL_FALSE;
        old->ctx->draw = old->ctx->read = NULL;
        old->ctx->context_attrib.render_buffer = EGL_NONE;
        if (old->ctx->release)
            free_context(display, old->ctx);
    }
    EGLINL_FreeDisplayIfDone(display);
}

EGLBoolean EGLINL_MakeCurrent(EGLDisplay dpy, EGLsurface *draw, EGLsurface *read, EGLcontext *ctx)
{
    const EGLcurrent old = EGLINV_current;
    const EGLBoolean binds_image = draw && ctx && draw->client_buffer;
    EGLint result;

    if (draw != read)
        return EGLINL_Fail(EGL_BAD_MATCH);
    if (old.ctx)
        EGL_PORT(WaitOpenVG)(old.ctx);
    if (binds_image && (result = bind_image(ctx, draw, 1)) != EGL_SUCCESS)
        return EGLINL_Fail(result);
    if (old.api == EGL_OPENVG_API) {
        EGL_PORT(MakeCurrentOpenGLES)(dpy, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (!EGL_PORT(MakeCurrentOpenVG)(dpy, draw, read, ctx)) {
            if (binds_image)
                bind_image(ctx, draw, 0);
            return EGLINL_Fail(EGL_BAD_ALLOC);
        }
    }

    release_previous(&old);
    EGLINV_current.display = dpy;
    if (draw && read && ctx) {
        EGLINV_current.draw = draw;
        EGLINV_current.read = read;
        EGLINV_current.ctx = ctx;
    } else {
        EGLINV_current.draw = EGLINV_current.read = NULL;
        EGLINV_current.ctx = NULL;
    }
    if (EGLINV_current.ctx) {
        draw->is_current = read->is_current = EGL_TRUE;
        draw->context = read->context = ctx;
        ctx->is_current = EGL_TRUE;
        ctx->draw = draw;
        ctx->read = read;
        ctx->context_attrib.context_client_type = (EGLint)EGLINV_current.api;
        ctx->context_attrib.render_buffer = draw->surface_attrib.render_buffer;
    }
    EGLINL_StopClientAPIIfUnused();
    EGLINL_SetError(EGL_SUCCESS);
    return EGL_TRUE;
}

EGLBoolean EGLINL_IsContextQuery(EGLint attribute)
{
    return attribute == EGL_CONFIG_ID || attribute == EGL_RENDER_BUFFER || attribute == EGL_CONTEXT_CLIENT_TYPE ||
           attribute == EGL_CONTEXT_CLIENT_VERSION;
}

EGLBoolean EGLINL_QueryContext(const EGLcontext *ctx, EGLint attribute, EGLint *value)
{
    const EGLcontext_attrib *a = &ctx->context_attrib;
    switch (attribute) {
    case EGL_CONFIG_ID: *value = a->config_id; break;
    case EGL_RENDER_BUFFER: *value = a->render_buffer; break;
    case EGL_CONTEXT_CLIENT_TYPE: *value = a->context_client_type; break;
    default: *value = a->context_client_version; break;
    }
    EGLINL_SetError(EGL_SUCCESS);
    return EGL_TRUE;
}

EGLContext EGLINL_GetCurrentContext(void)
{
    EGLINL_SetError(EGL_SUCCESS);
    return EGLINV_current.api == EGL_NONE ? EGL_NO_CONTEXT : (EGLContext)EGLINV_current.ctx;
}

EGLSurface EGLINL_GetCurrentSurface(EGLint readdraw)
{
    if (readdraw == EGL_DRAW || readdraw == EGL_READ) {
        EGLINL_SetError(EGL_SUCCESS);
        return (EGLSurface)(readdraw == EGL_DRAW ? EGLINV_current.draw : EGLINV_current.read);
    }
    EGLINL_SetError(EGL_BAD_PARAMETER);
    return EGL_NO_SURFACE;
}

EGLDisplay EGLINL_GetCurrentDisplay(void)
{
    EGLINL_SetError(EGL_SUCCESS);
    return EGLINV_current.display;
}
