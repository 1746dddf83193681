/* The 30 configurations: rows 17 to 30 are the 4-sample twins of rows 1 to 14. */
#include "EGL/egl/egl_lx_config.h"

#define NC EGL_NON_CONFORMANT_CONFIG
#define RGB EGL_RGB_BUFFER
#define LUM EGL_LUMINANCE_BUFFER

/* id, buffer, R, G, B, A, caveat, sample buffers, samples, surface type, luminance, alpha mask,
 * buffer type, conformant; every other column is the same in all rows. */
#define ROW(id, buf, r, g, b, a, caveat, sb, s, st, lum, am, type, conf)                                              \
    {id,   buf, r,  g,  b,  a,  0,  0,  caveat, 0,    2048, 2048, 0x400000, 0, 0,    EGL_NONE, sb, s, st, EGL_NONE,    \
     -1,   -1,  -1, 0,  0,  1,  1,  lum, am, type, EGL_OPENVG_BIT, conf, EGL_NONE}

static const EGLconfig egl_configs[EGL_CONFIG_COUNT] = {
    ROW(1, 16, 5, 6, 5, 0, EGL_NONE, 0, 0, 7, 0, 0, RGB, 2),
    ROW(2, 16, 5, 6, 5, 0, EGL_NONE, 0, 0, 7, 0, 4, RGB, 2),
    ROW(3, 16, 5, 5, 5, 1, EGL_NONE, 0, 0, 5, 0, 0, RGB, 2),
    ROW(4, 16, 5, 5, 5, 1, EGL_NONE, 0, 0, 5, 0, 4, RGB, 2),
    ROW(5, 16, 4, 4, 4, 4, EGL_NONE, 0, 0, 5, 0, 0, RGB, 2),
    ROW(6, 16, 4, 4, 4, 4, EGL_NONE, 0, 0, 5, 0, 4, RGB, 2),
    ROW(7, 32, 8, 8, 8, 8, EGL_NONE, 0, 0, 7, 0, 0, RGB, 2),
    ROW(8, 32, 8, 8, 8, 8, EGL_NONE, 0, 0, 7, 0, 8, RGB, 2),
    ROW(9, 32, 8, 8, 8, 0, EGL_NONE, 0, 0, 5, 0, 0, RGB, 2),
    ROW(10, 32, 8, 8, 8, 0, EGL_NONE, 0, 0, 5, 0, 8, RGB, 2),
    ROW(11, 8, 0, 0, 0, 8, EGL_NONE, 0, 0, 5, 0, 0, RGB, 2),
    ROW(12, 8, 0, 0, 0, 8, EGL_NONE, 0, 0, 5, 0, 8, RGB, 2),
    ROW(13, 8, 0, 0, 0, 0, EGL_NONE, 0, 0, 5, 8, 0, LUM, 2),
    ROW(14, 8, 0, 0, 0, 0, EGL_NONE, 0, 0, 5, 8, 8, LUM, 2),
    ROW(15, 1, 0, 0, 0, 0, NC, 0, 0, 5, 1, 0, LUM, 0),
    ROW(16, 1, 0, 0, 0, 0, NC, 0, 0, 5, 1, 1, LUM, 0),
    ROW(17, 16, 5, 6, 5, 0, NC, 1, 4, 7, 0, 0, RGB, 0),
    ROW(18, 16, 5, 6, 5, 0, NC, 1, 4, 7, 0, 4, RGB, 0),
    ROW(19, 16, 5, 5, 5, 1, NC, 1, 4, 5, 0, 0, RGB, 0),
    ROW(20, 16, 5, 5, 5, 1, NC, 1, 4, 5, 0, 4, RGB, 0),
    ROW(21, 16, 4, 4, 4, 4, NC, 1, 4, 5, 0, 0, RGB, 0),
    ROW(22, 16, 4, 4, 4, 4, NC, 1, 4, 5, 0, 4, RGB, 0),
    ROW(23, 32, 8, 8, 8, 8, NC, 1, 4, 7, 0, 0, RGB, 0),
    ROW(24, 32, 8, 8, 8, 8, NC, 1, 4, 7, 0, 4, RGB, 0),
    ROW(25, 32, 8, 8, 8, 0, NC, 1, 4, 5, 0, 0, RGB, 0),
    ROW(26, 32, 8, 8, 8, 0, NC, 1, 4, 5, 0, 4, RGB, 0),
    ROW(27, 8, 0, 0, 0, 8, NC, 1, 4, 5, 0, 0, RGB, 0),
    ROW(28, 8, 0, 0, 0, 8, NC, 1, 4, 5, 0, 4, RGB, 0),
    ROW(29, 8, 0, 0, 0, 0, NC, 1, 4, 5, 8, 0, LUM, 0),
    ROW(30, 8, 0, 0, 0, 0, NC, 1, 4, 5, 8, 4, LUM, 0),
};

const EGLconfig *EGLINL_ConfigTable(void)
{
    return egl_configs;
}
