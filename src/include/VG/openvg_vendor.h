/* Vendor extensions of the graphics library's OpenVG: 16.16 fixed-point forms of the
 * entry points (names ending in xEXT), the vendor image formats, the vendor context
 * parameters (YUV conversion, blend unit, channel mask, alternate colour), the vendor
 * image constructors and the rasterizer-overflow callbacks of the LX740 layer. */
#ifndef OVG_VG_OPENVG_VENDOR_H
#define OVG_VG_OPENVG_VENDOR_H

#include <VG/openvg.h>

#ifdef __cplusplus
extern "C" {
#endif

/* 16.16 fixed point: signed 32-bit, value = integer / 65536. */
typedef VGint VGfixed;

/* Vendor image formats (accepted by vgCreateImageEXT and vgCreateDirectImageEXT only). */
#define VG_EXT_YUV422  ((VGImageFormat)0x40000000)
#define VG_EXT_LVQ88   ((VGImageFormat)0x40000001)
#define VG_EXT_LVQ84   ((VGImageFormat)0x40000002)
#define VG_EXT_LVQ88A1 ((VGImageFormat)0x40000003)
#define VG_EXT_LVQ88A4 ((VGImageFormat)0x40000004)

/* Vendor context parameters, set with vgSetiEXT / vgSetivEXT. */
#define VG_EXT_YUV_RGB_CONVERSION  ((VGParamType)0x40002000) /* 1 value */
#define VG_EXT_YUV_RGB_COEFFICIENT ((VGParamType)0x40002001) /* 9 values */
#define VG_EXT_BLEND_UNIT          ((VGParamType)0x40005000) /* 1 value */
#define VG_EXT_BLEND_FUNC_SEPARATE ((VGParamType)0x40005001) /* 4 values: src colour, dst colour, src alpha, dst alpha */
#define VG_EXT_BLEND_EQUATION      ((VGParamType)0x40005002) /* 2 values: colour, alpha */
#define VG_EXT_BLEND_COLOR         ((VGParamType)0x40005003) /* 1 packed colour word */
#define VG_EXT_CHANNEL_MASK        ((VGParamType)0x40006000) /* 1 value */
#define VG_EXT_ALTERNATE_COLOR     ((VGParamType)0x40007000) /* 4 values */

/* Values of VG_EXT_BLEND_UNIT: the OpenVG blend modes, or the separate factors and
 * equations below. */
#define VG_EXT_BLEND_UNIT_OPENVG   0x40005100u
#define VG_EXT_BLEND_UNIT_SEPARATE 0x40005101u

/* Blend factor codes of VG_EXT_BLEND_FUNC_SEPARATE (0x40005300 + i, i = 0..14).
 * VG_EXT_BLEND_SRC_ALPHA_SATURATE is a source factor only. */
#define VG_EXT_BLEND_ZERO                     0x40005300u
#define VG_EXT_BLEND_ONE                      0x40005301u
#define VG_EXT_BLEND_SRC_COLOR                0x40005302u
#define VG_EXT_BLEND_ONE_MINUS_SRC_COLOR      0x40005303u
#define VG_EXT_BLEND_SRC_ALPHA                0x40005304u
#define VG_EXT_BLEND_ONE_MINUS_SRC_ALPHA      0x40005305u
#define VG_EXT_BLEND_DST_ALPHA                0x40005306u
#define VG_EXT_BLEND_ONE_MINUS_DST_ALPHA      0x40005307u
#define VG_EXT_BLEND_DST_COLOR                0x40005308u
#define VG_EXT_BLEND_ONE_MINUS_DST_COLOR      0x40005309u
#define VG_EXT_BLEND_SRC_ALPHA_SATURATE       0x4000530Au
#define VG_EXT_BLEND_CONSTANT_COLOR           0x4000530Bu
#define VG_EXT_BLEND_ONE_MINUS_CONSTANT_COLOR 0x4000530Cu
#define VG_EXT_BLEND_CONSTANT_ALPHA           0x4000530Du
#define VG_EXT_BLEND_ONE_MINUS_CONSTANT_ALPHA 0x4000530Eu

/* Blend equation codes of VG_EXT_BLEND_EQUATION. */
#define VG_EXT_BLEND_FUNC_ADD              0x40005400u
#define VG_EXT_BLEND_FUNC_SUBTRACT         0x40005401u
#define VG_EXT_BLEND_FUNC_REVERSE_SUBTRACT 0x40005402u

/* Context parameters in fixed point (float-valued parameters only). */
VG_API_CALL void VG_API_ENTRY vgSetxEXT(VGParamType type, VGfixed value) VG_API_EXIT;
VG_API_CALL void VG_API_ENTRY vgSetxvEXT(VGParamType type, VGint count, const VGfixed *values) VG_API_EXIT;
VG_API_CALL VGfixed VG_API_ENTRY vgGetxEXT(VGParamType type) VG_API_EXIT;
VG_API_CALL void VG_API_ENTRY vgGetxvEXT(VGParamType type, VGint count, VGfixed *values) VG_API_EXIT;

/* Vendor context parameters (no getters). */
VG_API_CALL void VG_API_ENTRY vgSetiEXT(VGParamType type, VGuint value) VG_API_EXIT;
VG_API_CALL void VG_API_ENTRY vgSetivEXT(VGParamType type, VGint count, const VGuint *values) VG_API_EXIT;

/* Object parameters in fixed point. */
VG_API_CALL void VG_API_ENTRY vgSetParameterxvEXT(VGHandle object, VGint paramType, VGint count,
                                                  const VGfixed *values) VG_API_EXIT;
VG_API_CALL void VG_API_ENTRY vgGetParameterxvEXT(VGHandle object, VGint paramType, VGint count,
                                                  VGfixed *values) VG_API_EXIT;

/* Matrices in fixed point. */
VG_API_CALL void VG_API_ENTRY vgLoadMatrixxEXT(const VGfixed *m) VG_API_EXIT;
VG_API_CALL void VG_API_ENTRY vgGetMatrixxEXT(VGfixed *m) VG_API_EXIT;
VG_API_CALL void VG_API_ENTRY vgMultMatrixxEXT(const VGfixed *m) VG_API_EXIT;
VG_API_CALL void VG_API_ENTRY vgTranslatexEXT(VGfixed tx, VGfixed ty) VG_API_EXIT;
VG_API_CALL void VG_API_ENTRY vgScalexEXT(VGfixed sx, VGfixed sy) VG_API_EXIT;
VG_API_CALL void VG_API_ENTRY vgShearxEXT(VGfixed shx, VGfixed shy) VG_API_EXIT;
VG_API_CALL void VG_API_ENTRY vgRotatexEXT(VGfixed angle) VG_API_EXIT;

/* Images over client data: a vendor format copied into GPU memory, or a standard or
 * vendor format used in place (the data must outlive the image). */
VG_API_CALL VGImage VG_API_ENTRY vgCreateImageEXT(VGImageFormat format, VGint width, VGint height,
                                                  VGbitfield allowedQuality,
                                                  const void *data) VG_API_EXIT;
VG_API_CALL VGImage VG_API_ENTRY vgCreateDirectImageEXT(VGImageFormat format, VGint width, VGint height,
                                                        VGbitfield allowedQuality, void *data,
                                                        VGint stride) VG_API_EXIT;

/* Rasterizer edge-buffer callbacks, taken at vgFinish: called with (current XPT entry
 * count, the unit's NUMMAX register value); a non-zero result different from the current
 * count re-sizes the edge buffers. The overflow callback runs after an XPT overflow, the
 * other one otherwise. Null clears a callback. */
typedef VGint (*ALextXptCallback)(VGint entryCount, VGint numMax);
VG_API_CALL void VG_API_ENTRY ALextSetCallbackXPTOVF(ALextXptCallback callback) VG_API_EXIT;
VG_API_CALL void VG_API_ENTRY ALextSetCallbackXPTNOVF(ALextXptCallback callback) VG_API_EXIT;

#ifdef __cplusplus
}
#endif

#endif /* OVG_VG_OPENVG_VENDOR_H */
