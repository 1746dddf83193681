/* The EGL core's records: configurations, display records, surfaces, contexts and the process's
 * current state. Handles are the addresses of these records (a display's handle is its native
 * display). */
#ifndef EGL_LX_TYPES_H
#define EGL_LX_TYPES_H

#include <EGL/egl.h>
#include <EGL/eglhooks.h>
#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define EGL_CONFIG_COUNT 30
#define EGL_MAX_PBUFFER_SIZE 2048

/* One row of the configuration table; also the request of a configuration choice. */
typedef struct EGLconfig {
    EGLint config_id;
    EGLint buffer_size;
    EGLint red_size;
    EGLint green_size;
    EGLint blue_size;
    EGLint alpha_size;
    EGLint depth_size;
    EGLint stencil_size;
    EGLint config_caveat;
    EGLint level;
    EGLint max_pbuffer_width;
    EGLint max_pbuffer_height;
    EGLint max_pbuffer_pixels;
    EGLint native_renderable;
    EGLint native_visual_id;
    EGLint native_visual_type;
    EGLint sample_buffers;
    EGLint samples;
    EGLint surface_type;
    EGLint transparent_type;
    EGLint transparent_red_value;
    EGLint transparent_green_value;
    EGLint transparent_blue_value;
    EGLint bind_to_texture_rgb;
    EGLint bind_to_texture_rgba;
    EGLint max_swap_interval;
    EGLint min_swap_interval;
    EGLint luminance_size;
    EGLint alpha_mask_size;
    EGLint color_buffer_type;
    EGLint renderable_type;
    EGLint conformant;
    EGLint match_native_pixmap;
} EGLconfig;

typedef struct EGLlinklist {
    void *item;
    struct EGLlinklist *next;
} EGLlinklist;

typedef struct EGLdisplay {
    EGLBoolean release; /* terminated; the record goes once both lists are empty */
    EGLNativeDisplayType native;
    const EGLconfig *config; /* null while released */
    EGLint config_size;
    EGLint swap_interval;
    EGLlinklist *surface_list;
    EGLlinklist *context_list;
} EGLdisplay;

typedef struct EGLsurface_attrib {
    EGLint config_id;
    EGLint width, height;
    EGLint largest_pbuffer;
    EGLint texture_format;
    EGLint texture_target;
    EGLint mipmap_texture;
    EGLint mipmap_level;
    EGLint render_buffer;
    EGLint vg_colorspace;
    EGLint vg_alpha_format;
    EGLint horizontal_resolution;
    EGLint pixel_aspect_ratio;
    EGLint swap_behavior;
    EGLint vertical_resolution;
} EGLsurface_attrib;

struct EGLcontext;

typedef struct EGLsurface {
    EGLint type; /* EGL_PBUFFER_BIT, EGL_PIXMAP_BIT or EGL_WINDOW_BIT */
    void *native;
    const EGLconfig *config;
    struct EGLcontext *context;
    EGLBoolean is_current;
    EGLBoolean release;
    EGLsurface_attrib surface_attrib;
    EGLBoolean back_buffer; /* 0: color_buffer0 is drawn into, 1: color_buffer1 */
    EGLGpuAddress color_buffer0, color_buffer1;
    EGLGpuAddress depth_buffer, stencil_buffer, sample_buffer, alpha_mask_buffer;
    EGLBoolean is_bind;
    EGLint texid;
    EGLClientBuffer client_buffer;
    EGLint surface_width, surface_height;
    EGLint msaa_surface_width, msaa_surface_height;
    EGLint color_order;
} EGLsurface;

typedef struct EGLcontext_attrib {
    EGLint config_id;
    EGLint render_buffer;
    EGLint context_client_type;
    EGLint context_client_version;
} EGLcontext_attrib;

typedef struct EGLcontext {
    void *oes; /* always null: no OpenGL ES */
    void *ovg;
    const EGLconfig *config;
    EGLBoolean is_current;
    EGLBoolean is_first;
    EGLBoolean release;
    EGLcontext_attrib context_attrib;
    EGLsurface *draw, *read;
} EGLcontext;

typedef struct EGLcurrent {
    EGLenum api;
    EGLDisplay display;
    EGLsurface *draw, *read;
    EGLcontext *ctx;
} EGLcurrent;

extern EGLcurrent EGLINV_current;

#ifdef __cplusplus
}
#endif

#endif
