/* Subdivision parameters and their setters. */
#include "vg/div/tvg_div.h"

#include <VG/openvg.h>

uint32_t VGALVAL_tvg_div_cap_style;
uint32_t VGALVAL_tvg_div_join_style;
float VGALVAL_tvg_div_miter_limit;
int32_t VGALVAL_tvg_div_num_dash_pattern;
float VGALVAL_tvg_div_dash_pattern[TVG_DIV_MAX_DASH];
float VGALVAL_tvg_div_dash_phase;
int32_t VGALVAL_tvg_div_dash_reset;
float VGALVAL_tvg_div_stroke_width;
float VGALVAL_tvg_div_stroke_width_half;
int32_t VGALVAL_tvg_div_division_number;
uint32_t VGALVAL_tvg_div_paint_mode;
float VGALVAL_tvg_div_scale;
float VGALVAL_tvg_div_bias;
uint32_t VGALVAL_tvg_div_datatype;

int32_t VGALVAL_tvg_div_stroke_enable;
int32_t VGALVAL_tvg_div_fill_enable;
float VGALVAL_tvg_div_miter_limit_x_width_square;

void VGALFUNC_tvg_div_init(void)
{
  VGALVAL_tvg_div_cap_style = VG_CAP_BUTT;
  VGALVAL_tvg_div_join_style = VG_JOIN_MITER;
  VGALVAL_tvg_div_miter_limit = 4.0f;
  VGALVAL_tvg_div_num_dash_pattern = 0;
  VGALVAL_tvg_div_dash_phase = 0.0f;
  VGALVAL_tvg_div_dash_reset = 0;
  VGALVAL_tvg_div_stroke_width = 1.0f;
  VGALVAL_tvg_div_stroke_width_half = 0.5f;
  VGALVAL_tvg_div_division_number = 32;
  VGALVAL_tvg_div_paint_mode = 0;
  VGALVAL_tvg_div_scale = 1.0f;
  VGALVAL_tvg_div_bias = 0.0f;
  VGALVAL_tvg_div_datatype = VG_PATH_DATATYPE_F;
}

void VGALFUNC_tvg_div_set_paint_mode(uint32_t mode) { VGALVAL_tvg_div_paint_mode = mode; }
void VGALFUNC_tvg_div_set_scale(float v) { VGALVAL_tvg_div_scale = v; }
void VGALFUNC_tvg_div_set_bias(float v) { VGALVAL_tvg_div_bias = v; }
void VGALFUNC_tvg_div_set_datatype(uint32_t v) { VGALVAL_tvg_div_datatype = v; }
void VGALFUNC_tvg_div_set_dash_phase(float v) { VGALVAL_tvg_div_dash_phase = v; }
void VGALFUNC_tvg_div_set_dash_reset(int32_t v) { VGALVAL_tvg_div_dash_reset = v; }
void VGALFUNC_tvg_div_set_miter_limit(float v) { VGALVAL_tvg_div_miter_limit = v; }
void VGALFUNC_tvg_div_set_join_style(uint32_t v) { VGALVAL_tvg_div_join_style = v; }
void VGALFUNC_tvg_div_set_cap_style(uint32_t v) { VGALVAL_tvg_div_cap_style = v; }

void VGALFUNC_tvg_div_set_dash_pattern(int32_t count, const float *pattern)
{
  if (count < 0 || !pattern) count = 0;
  if (count > TVG_DIV_MAX_DASH) count = TVG_DIV_MAX_DASH;
  count &= ~1;
  for (int32_t i = 0; i < count; ++i)
    VGALVAL_tvg_div_dash_pattern[i] = pattern[i] < 0.0f ? 0.0f : pattern[i];
  VGALVAL_tvg_div_num_dash_pattern = count;
}

void VGALFUNC_tvg_div_set_division_number(int32_t n)
{
  int32_t d = 1;
  while (d < n && d < 128) d <<= 1;
  VGALVAL_tvg_div_division_number = d;
}

void VGALFUNC_tvg_div_set_stroke_width(float w)
{
  VGALVAL_tvg_div_stroke_width = w;
  VGALVAL_tvg_div_stroke_width_half = w / 2.0f;
}
