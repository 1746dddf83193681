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

/* Alignment in bytes of the client data of the vendor formats (0x40000000 + n, indexed by n):
 * copied by vgCreateImageEXT, used in place by vgCreateDirectImageEXT. */
extern const unsigned char VGVAL_extimgalign[5];
extern const unsigned char VGVAL_extimgalign_direct[5];

/* 1 for a format OpenVG defines (the channel-order variants included), else 0. */
int VGFUNC_IsValidImageFormat(VGImageFormat format);
/* 1 for a vendor format, 0x40000000 + 0..4. */
int VGFUNC_IsValidImageFormatEXT(VGImageFormat format);

#ifdef __cplusplus
}
#endif

#endif /* OVG_VG_COMMON_VG_IMAGE_FORMAT_H */
