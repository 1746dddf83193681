/* The hooks of the porting layer's operations: all null, for an embedding program to set. */
#include <EGL/eglhooks.h>

#define EGL_HOOK_DEFINE(name) EGLHook##name EGLINL_Callback##name;
EGL_HOOK_NAMES(EGL_HOOK_DEFINE)
