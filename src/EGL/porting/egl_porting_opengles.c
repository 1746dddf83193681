/* The OpenGL ES client API: the library has none, so these are the empty operations. */
#include "EGL/porting/egl_porting.h"

EGLBoolean PORTL_InitializeOpenGLESAPI(void)
{
    return EGL_FALSE;
}

void PORTL_TerminateOpenGLESAPI(void)
{
}

void *PORTL_CreateOpenGLESContext(EGLConfig config, void *share, EGLint version)
{
    (void)config;
    (void)share;
    (void)version;
    return NULL;
}

void PORTL_DestroyOpenGLESContext(void *oes)
{
    (void)oes;
}

/* Only a release (no context) succeeds. */
EGLBoolean PORTL_MakeCurrentOpenGLES(EGLDisplay dpy, EGLSurface draw, EGLSurface read, EGLContext ctx)
{
    (void)dpy;
    (void)draw;
    (void)read;
    return ctx == EGL_NO_CONTEXT;
}

void PORTL_WaitOpenGLES(EGLContext ctx)
{
    (void)ctx;
}

EGLBoolean PORTL_BindOpenGLESTexImage(EGLSurface surface, EGLint buffer)
{
    (void)surface;
    (void)buffer;
    return EGL_FALSE;
}

EGLBoolean PORTL_ReleaseOpenGLESTexImage(EGLSurface surface, EGLint buffer)
{
    (void)surface;
    (void)buffer;
    return EGL_FALSE;
}

EGLBoolean PORTL_SwapBufferOpenGLES(EGLSurface draw, EGLSurface read, EGLContext ctx)
{
    (void)draw;
    (void)read;
    (void)ctx;
    return EGL_FALSE;
}

void *PORTL_GetProcAddressOpenGLES(const char *name)
{
    (void)name;
    return NULL;
}
