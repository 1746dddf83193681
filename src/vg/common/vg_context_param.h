/* What kind of value a context parameter holds, shared by its setters and getters. */
#ifndef OVG_VG_COMMON_VG_CONTEXT_PARAM_H
#define OVG_VG_COMMON_VG_CONTEXT_PARAM_H

#include <VG/openvg.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Scissor rectangles, dash pattern, tile fill and clear colours, glyph origin and colour
 * transform values: set and read as vectors only. */
int VGFUNC_IsVectorContextParam(VGParamType param);
/* The screen layout and the implementation limits: a set is ignored. */
int VGFUNC_IsReadOnlyContextParam(VGParamType param);
/* Line width, miter limit, dash pattern and phase, the colours, glyph origin and colour
 * transform values: the parameters the fixed-point forms take. */
int VGFUNC_IsFloatContextParam(VGParamType param);

#ifdef __cplusplus
}
#endif

#endif /* OVG_VG_COMMON_VG_CONTEXT_PARAM_H */
