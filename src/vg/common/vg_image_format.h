/* Per-format facts of the OpenVG image formats, indexed by format AND 15. */
#ifndef OVG_VG_COMMON_VG_IMAGE_FORMAT_H
#define OVG_VG_COMMON_VG_IMAGE_FORMAT_H

#include <VG/openvg.h>

#ifdef __cplusplus
extern "C" {
#endif

extern const unsigned char VGVAL_bitperpixel[16];
extern const unsigned char VGVAL_imgalign[16];   /* data alignment in bytes */
extern const unsigned char VGVAL_isrgb[16];      /* has colour channels */
extern const unsigned char VGVAL_ispremult[16];
extern const unsigned char VGVAL_isluminance[16];
extern const unsigned char VGVAL_fhavealpha[16];

/* 1 for a format OpenVG defines (the channel-order variants included), else 0. */
int VGFUNC_IsValidImageFormat(VGImageFormat format);

#ifdef __cplusplus
}
#endif

#endif /* OVG_VG_COMMON_VG_IMAGE_FORMAT_H */
