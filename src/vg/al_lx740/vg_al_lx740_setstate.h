#ifndef VG_AL_LX740_SETSTATE_H
#define VG_AL_LX740_SETSTATE_H

/* State selection before drawing. */

#ifdef __cplusplus
extern "C" {
#endif

/* Selects the microcode mode: 0 fill, 1 stroke (with the context's cap and join), other values
 * image. */
void VGALFUNC_lx_setstate(int mode);
/* Takes the context's dirty word over; when its YUV bit is set, loads the context's YUV-to-RGB
 * conversion into the pixel engine. */
void VGALFUNC_lx_set_yuv_param(void);

#ifdef __cplusplus
}
#endif

#endif
