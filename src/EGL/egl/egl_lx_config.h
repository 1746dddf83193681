/* The table of 30 frame-buffer configurations and the configuration queries. */
#ifndef EGL_LX_CONFIG_H
#define EGL_LX_CONFIG_H

#include "EGL/egl/egl_lx_types.h"

#ifdef __cplusplus
extern "C" {
#endif

const EGLconfig *EGLINL_ConfigTable(void);
/* The row of the display's table that config is, or null. */
const EGLconfig *EGLINL_FindConfig(const EGLdisplay *display, EGLConfig config);
/* Whether attribute names one of the 33 configuration attributes. */
EGLBoolean EGLINL_IsConfigAttribute(EGLint attribute);
/* The address of the field attribute names (a configuration attribute). */
EGLint *EGLINL_ConfigField(EGLconfig *config, EGLint attribute);

EGLBoolean EGLINL_GetConfigs(EGLdisplay *display, EGLConfig *configs, EGLint size, EGLint *num);
EGLBoolean EGLINL_GetConfigAttrib(const EGLconfig *config, EGLint attribute, EGLint *value);
EGLBoolean EGLINL_ChooseConfig(EGLdisplay *display, const EGLint *attrib_list, EGLConfig *configs, EGLint size,
                               EGLint *num);

#ifdef __cplusplus
}
#endif

#endif
