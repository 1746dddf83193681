#ifndef VG_AL_LX740_SCISSOR_H
#define VG_AL_LX740_SCISSOR_H

#ifdef __cplusplus
extern "C" {
#endif

/* Programs the rasterizer's scissor rectangles from the current context for the current
 * surface (flip: the surface's rows are stored top row first). With scissoring on and no
 * rectangle visible it sets VGAL_RM_SCISSOR_EMPTY and leaves the enable mask as it was. */
void lx_scissor(int flip);

#ifdef __cplusplus
}
#endif

#endif
