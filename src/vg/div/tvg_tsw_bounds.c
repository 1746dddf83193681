/* Bounds of a subdivision result: the box around every point of the fill chain, as it is or
 * transformed by a stored matrix. Control points that the curve does not reach do not count,
 * since only the points of the subdivided outline are looked at. */
#include "vg/div/tvg_div.h"

#include <float.h>
#include <string.h>

/* The flag word's bit for a matrix whose third row is applied. */
#define MTX_PROJECTIVE 16u

static float tvg_tsw_mtx_u2s[9];
static uint32_t tvg_tsw_mtx_flag;

typedef void (*point_transform)(float *x, float *y);

void VGALFUNC_tvg_tsw_set_mtx_u2s(const OVGmatrix *matrix)
{
  memcpy(tvg_tsw_mtx_u2s, VGFUNC_GetMatrix(matrix), sizeof tvg_tsw_mtx_u2s);
  tvg_tsw_mtx_flag = matrix->flag;
}

static void tvg_tsw_transform(float *x, float *y)
{
  const float *m = tvg_tsw_mtx_u2s;
  float tx = m[0] * *x + m[3] * *y + m[6];
  float ty = m[1] * *x + m[4] * *y + m[7];
  if (tvg_tsw_mtx_flag & MTX_PROJECTIVE) {
    const float w = m[2] * *x + m[5] * *y + m[8];
    if (w == 0.0f) {
      tx = ty = 0.0f;
    } else if (w != 1.0f) {
      tx /= w;
      ty /= w;
    }
  }
  *x = tx;
  *y = ty;
}

/* Points that are not numbers fail every comparison and so leave the box unchanged. */
static void _iterate_subpath(const tvg_div_subpath_t *chain, point_transform transform,
                             float *minx, float *miny, float *width, float *height)
{
  float lox = FLT_MAX, loy = FLT_MAX, hix = -FLT_MAX, hiy = -FLT_MAX;
  for (; chain; chain = chain->next) {
    for (const tvg_div_data_t *c = chain->points; c; c = c[2 * c[0].ival + 1].ptr) {
      for (int i = 0; i < c[0].ival; ++i) {
        float x = c[1 + 2 * i].fval, y = c[2 + 2 * i].fval;
        if (transform) transform(&x, &y);
        if (x < lox) lox = x;
        if (x > hix) hix = x;
        if (y < loy) loy = y;
        if (y > hiy) hiy = y;
      }
    }
  }
  if (lox <= hix && loy <= hiy) {
    *minx = lox;
    *miny = loy;
    *width = hix - lox;
    *height = hiy - loy;
  } else {
    *minx = *miny = 0.0f;
    *width = *height = -1.0f;
  }
}

void VGALFUNC_tvg_tsw_calc_bounds(const tvg_div_path_t *path, float *minx, float *miny,
                                  float *width, float *height)
{
  if (!path || !minx || !miny || !width || !height) return;
  _iterate_subpath(path->fill, NULL, minx, miny, width, height);
}

void VGALFUNC_tvg_tsw_calc_transformed_bounds(const tvg_div_path_t *path, float *minx,
                                              float *miny, float *width, float *height)
{
  if (!path || !minx || !miny || !width || !height) return;
  _iterate_subpath(path->fill, tvg_tsw_mtx_flag == 1u ? NULL : tvg_tsw_transform, minx, miny,
                   width, height);
}
