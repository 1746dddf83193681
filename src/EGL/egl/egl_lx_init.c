/* Display records, initialisation and termination. The GPU and OpenVG start with the first
 * initialised display and stop when the last display record goes. */
#include "EGL/egl/egl_lx_init.h"

#include <stdlib.h>

#include "EGL/egl/egl_linklist.h"
#include "EGL/egl/egl_lx_config.h"
#include "EGL/egl/egl_lx_context.h"
#include "EGL/egl/egl_lx_error.h"
#include "EGL/egl/egl_lx_surface.h"
#include "EGL/porting/egl_porting.h"

static EGLlinklist *EGLINV_display_list;
static int EGLINV_init_clientAPI;

EGLdisplay *EGLINL_FindDisplay(EGLDisplay dpy)
{
    const EGLlinklist *node;
    for (node = EGLINV_display_list; node; node = EGLINL_NextLinkList(node)) {
        EGLdisplay *display = (EGLdisplay *)EGLINL_GetLinkListItem(node);
        if (display->native == dpy)
            return display;
    }
    return NULL;
}

EGLDisplay EGLINL_GetDisplay(EGLNativeDisplayType native)
{
    if (!native)
        native = EGL_PORT(OpenNativeDisplay)();
    if (native)
        EGLINL_SetError(EGL_SUCCESS);
    return (EGLDisplay)native;
}

static EGLdisplay *new_display(EGLDisplay dpy)
{
    EGLdisplay *display = (EGLdisplay *)calloc(1, sizeof *display);
    EGLlinklist *head;
    if (!display)
        return NULL;
    display->native = (EGLNativeDisplayType)dpy;
    display->config = EGLINL_ConfigTable();
    display->config_size = EGL_CONFIG_COUNT;
    display->swap_interval = 1;
    head = EGLINL_InsertLinkList(EGLINV_display_list, display);
    if (head == EGLINV_display_list) {
        free(display);
        return NULL;
    }
    EGLINV_display_list = head;
    return display;
}

static void free_display(EGLdisplay *display)
{
    EGLINV_display_list = EGLINL_DeleteLinkList(EGLINV_display_list, display);
    free(display);
}

EGLBoolean EGLINL_Initialize(EGLDisplay dpy, EGLint *major, EGLint *minor)
{
    EGLdisplay *display;
    if (major)
        *major = 1;
    if (minor)
        *minor = 3;
    display = EGLINL_FindDisplay(dpy);
    if (display) {
        /* A display terminated while its objects were current comes back to life. */
        display->release = EGL_FALSE;
        display->config = EGLINL_ConfigTable();
        EGLINL_SetError(EGL_SUCCESS);
        return EGL_TRUE;
    }
    display = new_display(dpy);
    if (!display)
        return EGLINL_Fail(EGL_BAD_ALLOC);
    if (!EGLINV_init_clientAPI) {
        EGL_PORT(InitializeGPU)();
        if (!EGL_PORT(InitializeOpenVGAPI)()) {
            EGL_PORT(TerminateGPU)();
            free_display(display);
            return EGLINL_Fail(EGL_NOT_INITIALIZED);
        }
        EGLINV_init_clientAPI = 1;
    }
    EGLINL_SetError(EGL_SUCCESS);
    return EGL_TRUE;
}

void EGLINL_FreeDisplayIfDone(EGLdisplay *display)
{
    if (display && display->release && !display->surface_list && !display->context_list)
        free_display(display);
}

void EGLINL_StopClientAPIIfUnused(void)
{
    if (EGLINV_display_list || !EGLINV_init_clientAPI)
        return;
    EGL_PORT(TerminateOpenVGAPI)();
    EGLINV_init_clientAPI = 0;
    EGL_PORT(TerminateGPU)();
}

EGLBoolean EGLINL_Terminate(EGLDisplay dpy)
{
    EGLdisplay *display = EGLINL_FindDisplay(dpy);
    if (display) {
        display->release = EGL_TRUE;
        display->config = NULL;
        EGLINL_ReleaseSurfaces(display);
        EGLINL_ReleaseContexts(display);
        EGLINL_FreeDisplayIfDone(display);
        EGLINL_StopClientAPIIfUnused();
    }
    EGLINL_SetError(EGL_SUCCESS);
    return EGL_TRUE;
}
