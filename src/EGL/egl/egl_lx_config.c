/* Configuration queries and the configuration choice. */
#include "EGL/egl/egl_lx_config.h"

#include <stddef.h>
#include <stdlib.h>

#include "EGL/egl/egl_lx_error.h"
#include "EGL/porting/egl_porting.h"

#define FIELD(name) offsetof(EGLconfig, name)

/* Field of each attribute from EGL_BUFFER_SIZE on; 0x3030 and EGL_NONE have none (-1). */
static const long attribute_fields[] = {
    FIELD(buffer_size),         FIELD(alpha_size),
    FIELD(blue_size),           FIELD(green_size),
    FIELD(red_size),            FIELD(depth_size),
    FIELD(stencil_size),        FIELD(config_caveat),
    FIELD(config_id),           FIELD(level),
    FIELD(max_pbuffer_height),  FIELD(max_pbuffer_pixels),
    FIELD(max_pbuffer_width),   FIELD(native_renderable),
    FIELD(native_visual_id),    FIELD(native_visual_type),
    -1,                         FIELD(samples),
    FIELD(sample_buffers),      FIELD(surface_type),
    FIELD(transparent_type),    FIELD(transparent_blue_value),
    FIELD(transparent_green_value), FIELD(transparent_red_value),
    -1,                         FIELD(bind_to_texture_rgb),
    FIELD(bind_to_texture_rgba), FIELD(min_swap_interval),
    FIELD(max_swap_interval),   FIELD(luminance_size),
    FIELD(alpha_mask_size),     FIELD(color_buffer_type),
    FIELD(renderable_type),     FIELD(match_native_pixmap),
    FIELD(conformant),
};

#define ATTRIBUTE_COUNT ((EGLint)(sizeof attribute_fields / sizeof attribute_fields[0]))

EGLBoolean EGLINL_IsConfigAttribute(EGLint attribute)
{
    EGLint index = attribute - EGL_BUFFER_SIZE;
    return index >= 0 && index < ATTRIBUTE_COUNT && attribute_fields[index] >= 0;
}

EGLint *EGLINL_ConfigField(EGLconfig *config, EGLint attribute)
{
    return (EGLint *)((char *)config + attribute_fields[attribute - EGL_BUFFER_SIZE]);
}

const EGLconfig *EGLINL_FindConfig(const EGLdisplay *display, EGLConfig config)
{
    EGLint i;
    if (!display->config)
        return NULL;
    for (i = 0; i < display->config_size; ++i)
        if ((const void *)&display->config[i] == config)
            return &display->config[i];
    return NULL;
}

static EGLint clamp_size(EGLint size)
{
    if (size < 0)
        return 0;
    return size < EGL_CONFIG_COUNT ? size : EGL_CONFIG_COUNT;
}

EGLBoolean EGLINL_GetConfigs(EGLdisplay *display, EGLConfig *configs, EGLint size, EGLint *num)
{
    EGLint i, n;
    if (!configs) {
        *num = display->config_size;
    } else {
        n = clamp_size(size);
        for (i = 0; i < n; ++i)
            configs[i] = (EGLConfig)&display->config[i];
        *num = n;
    }
    EGLINL_SetError(EGL_SUCCESS);
    return EGL_TRUE;
}

EGLBoolean EGLINL_GetConfigAttrib(const EGLconfig *config, EGLint attribute, EGLint *value)
{
    *value = *EGLINL_ConfigField((EGLconfig *)config, attribute);
    EGLINL_SetError(EGL_SUCCESS);
    return EGL_TRUE;
}

/* ---- Choice ---- */

static void default_request(EGLconfig *req)
{
    static const EGLconfig defaults = {
        .config_id = EGL_DONT_CARE,
        .config_caveat = EGL_DONT_CARE,
        .native_renderable = EGL_DONT_CARE,
        .native_visual_type = EGL_DONT_CARE,
        .surface_type = EGL_WINDOW_BIT,
        .transparent_type = EGL_NONE,
        .transparent_red_value = EGL_DONT_CARE,
        .transparent_green_value = EGL_DONT_CARE,
        .transparent_blue_value = EGL_DONT_CARE,
        .bind_to_texture_rgb = EGL_DONT_CARE,
        .bind_to_texture_rgba = EGL_DONT_CARE,
        .max_swap_interval = EGL_DONT_CARE,
        .min_swap_interval = EGL_DONT_CARE,
        .color_buffer_type = EGL_RGB_BUFFER,
        .renderable_type = EGL_OPENGL_ES_BIT,
    };
    *req = defaults;
}

static int at_least(EGLint have, EGLint want)
{
    return want == EGL_DONT_CARE || have >= want;
}

static int exactly(EGLint have, EGLint want)
{
    return want == EGL_DONT_CARE || have == want;
}

static int has_bits(EGLint have, EGLint want)
{
    return want == 0 || want == EGL_DONT_CARE || (have & want) == want;
}

static int matches(const EGLconfig *row, const EGLconfig *req)
{
    int transparent_ok = req->transparent_type != EGL_TRANSPARENT_RGB ||
                         (exactly(row->transparent_red_value, req->transparent_red_value) &&
                          exactly(row->transparent_green_value, req->transparent_green_value) &&
                          exactly(row->transparent_blue_value, req->transparent_blue_value));
    return at_least(row->red_size, req->red_size) && at_least(row->green_size, req->green_size) &&
           at_least(row->blue_size, req->blue_size) && at_least(row->alpha_size, req->alpha_size) &&
           at_least(row->luminance_size, req->luminance_size) && at_least(row->buffer_size, req->buffer_size) &&
           at_least(row->depth_size, req->depth_size) && at_least(row->stencil_size, req->stencil_size) &&
           exactly(row->config_caveat, req->config_caveat) && row->level == req->level &&
           exactly(row->native_renderable, req->native_renderable) &&
           exactly(row->native_visual_type, req->native_visual_type) &&
           exactly(row->transparent_type, req->transparent_type) && transparent_ok &&
           exactly(row->bind_to_texture_rgb, req->bind_to_texture_rgb) &&
           exactly(row->bind_to_texture_rgba, req->bind_to_texture_rgba) &&
           exactly(row->max_swap_interval, req->max_swap_interval) &&
           exactly(row->min_swap_interval, req->min_swap_interval) &&
           exactly(row->color_buffer_type, req->color_buffer_type) &&
           at_least(row->sample_buffers, req->sample_buffers) && at_least(row->samples, req->samples) &&
           at_least(row->alpha_mask_size, req->alpha_mask_size) && has_bits(row->surface_type, req->surface_type) &&
           has_bits(row->renderable_type, req->renderable_type) && has_bits(row->conformant, req->conformant);
}

static int caveat_rank(EGLint caveat)
{
    if (caveat == EGL_NONE)
        return 0;
    return caveat == EGL_SLOW_CONFIG ? 1 : 2;
}

/* The colour bits of a row counted by the request: sizes asked for (neither 0 nor don't-care). */
static EGLint colour_bits(const EGLconfig *row, const EGLconfig *req)
{
    const EGLint wanted[5] = {req->red_size, req->green_size, req->blue_size, req->alpha_size, req->luminance_size};
    const EGLint have[5] = {row->red_size, row->green_size, row->blue_size, row->alpha_size, row->luminance_size};
    EGLint sum = 0;
    int i;
    for (i = 0; i < 5; ++i)
        if (wanted[i] != 0 && wanted[i] != EGL_DONT_CARE)
            sum += have[i];
    return sum;
}

/* -1: a ranks before b; 1: b ranks before a; 0: no key decides. */
static int smaller_first(EGLint a, EGLint b, EGLint request)
{
    if (request == EGL_DONT_CARE || a == b)
        return 0;
    return a < b ? -1 : 1;
}

/* Whether row j ranks strictly before row i. */
static int ranks_before(const EGLconfig *j, const EGLconfig *i, const EGLconfig *req)
{
    int order = 0;
    if (req->config_caveat != EGL_DONT_CARE && caveat_rank(j->config_caveat) != caveat_rank(i->config_caveat))
        return caveat_rank(j->config_caveat) < caveat_rank(i->config_caveat);
    if (req->color_buffer_type != EGL_DONT_CARE && (j->color_buffer_type == EGL_RGB_BUFFER) !=
                                                       (i->color_buffer_type == EGL_RGB_BUFFER))
        return j->color_buffer_type == EGL_RGB_BUFFER;
    if (colour_bits(j, req) != colour_bits(i, req))
        return colour_bits(j, req) > colour_bits(i, req);
    if (!order)
        order = smaller_first(j->buffer_size, i->buffer_size, req->buffer_size);
    if (!order)
        order = smaller_first(j->sample_buffers, i->sample_buffers, req->sample_buffers);
    if (!order)
        order = smaller_first(j->samples, i->samples, req->samples);
    if (!order)
        order = smaller_first(j->depth_size, i->depth_size, req->depth_size);
    if (!order)
        order = smaller_first(j->stencil_size, i->stencil_size, req->stencil_size);
    if (!order)
        order = smaller_first(j->alpha_mask_size, i->alpha_mask_size, req->alpha_mask_size);
    if (order)
        return order < 0;
    if (req->native_visual_type != EGL_DONT_CARE) {
        if (!EGL_PORT(IsSortNativeVisualType)(i->native_visual_type, j->native_visual_type))
            return 1;
        if (EGL_PORT(IsSortNativeVisualType)(j->native_visual_type, i->native_visual_type) == EGL_TRUE)
            return 0;
    }
    return req->config_id != EGL_DONT_CARE && j->config_id < i->config_id;
}

/* The EGL_CONFIG_ID shortcut: the row asked for by id, or null to go on with the filter. */
static const EGLconfig *row_by_id(const EGLdisplay *display, const EGLint *attrib_list, EGLint *error)
{
    const EGLint *a;
    EGLint i;
    *error = EGL_SUCCESS;
    for (a = attrib_list; a && a[0] != EGL_NONE; a += 2) {
        if (a[0] != EGL_CONFIG_ID || a[1] == EGL_DONT_CARE)
            continue;
        if (a[1] > EGL_CONFIG_COUNT) {
            *error = EGL_BAD_PARAMETER;
            return NULL;
        }
        for (i = 0; i < display->config_size; ++i)
            if (display->config[i].config_id == a[1])
                return &display->config[i];
    }
    return NULL;
}

static void parse_request(const EGLint *attrib_list, EGLconfig *req)
{
    const EGLint *a;
    default_request(req);
    for (a = attrib_list; a && a[0] != EGL_NONE; a += 2) {
        switch (a[0]) {
        case EGL_MAX_PBUFFER_WIDTH:
        case EGL_MAX_PBUFFER_HEIGHT:
        case EGL_MAX_PBUFFER_PIXELS:
        case EGL_NATIVE_VISUAL_ID:
        case EGL_MATCH_NATIVE_PIXMAP: break;
        default: *EGLINL_ConfigField(req, a[0]) = a[1]; break;
        }
    }
}

EGLBoolean EGLINL_ChooseConfig(EGLdisplay *display, const EGLint *attrib_list, EGLConfig *configs, EGLint size,
                               EGLint *num)
{
    const EGLconfig *row;
    const EGLconfig **kept;
    EGLconfig req;
    EGLint error, count = 0, i, j;

    if (!configs) {
        *num = display->config_size;
        return EGL_TRUE;
    }
    size = clamp_size(size);
    row = row_by_id(display, attrib_list, &error);
    if (error != EGL_SUCCESS)
        return EGLINL_Fail(error);
    if (row) {
        if (size > 0)
            configs[0] = (EGLConfig)row;
        *num = size > 0 ? 1 : 0;
        EGLINL_SetError(EGL_SUCCESS);
        return EGL_TRUE;
    }

    parse_request(attrib_list, &req);
    kept = (const EGLconfig **)malloc(EGL_CONFIG_COUNT * sizeof *kept);
    if (!kept)
        return EGLINL_Fail(EGL_BAD_ALLOC);
    for (i = 0; i < display->config_size; ++i)
        if (matches(&display->config[i], &req))
            kept[count++] = &display->config[i];
    for (i = 0; i + 1 < count; ++i)
        for (j = i + 1; j < count; ++j)
            if (ranks_before(kept[j], kept[i], &req)) {
                const EGLconfig *swap = kept[i];
                kept[i] = kept[j];
                kept[j] = swap;
            }
    if (count > size)
        count = size;
    for (i = 0; i < count; ++i)
        configs[i] = (EGLConfig)kept[i];
    *num = count;
    free(kept);
    EGLINL_SetError(EGL_SUCCESS);
    return EGL_TRUE;
}
