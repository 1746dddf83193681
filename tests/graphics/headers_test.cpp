// The library's own public headers: they must be the ones found (not the system's EGL),
// agree between C and C++, and keep the standard's sizes and values.
#include <EGL/egl.h>
#include <VG/openvg.h>
#include <VG/openvg_vendor.h>
#include <VG/vgu.h>

#include "headers_c_probe.h"
#include "mathx/mathx.h"
#include "vg/common/vg_matrix.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <type_traits>

namespace {

// Only this library's platform header makes the window system's handles EGL's native
// types; the system header would give other types and this would not compile.
static_assert(std::is_same<EGLNativeDisplayType, VXDisplay *>::value, "native display");
static_assert(std::is_same<EGLNativeWindowType, VXWindow>::value, "native window");
static_assert(std::is_same<EGLNativePixmapType, VXPixmap>::value, "native pixmap");

static_assert(sizeof(VGHandle) == 4, "VGHandle is 32-bit as in the standard");
static_assert(sizeof(VGfixed) == 4 && std::is_same<VGfixed, Fixed>::value, "16.16 type");
static_assert(sizeof(EGLint) == 4, "EGLint");

TEST(PublicHeaders, AgreeBetweenCAndCxx)
{
  HeadersCProbe c{};
  headers_c_probe(&c);
  EXPECT_EQ(c.handle, sizeof(VGHandle));
  EXPECT_EQ(c.enumeration, sizeof(VGImageFormat));
  EXPECT_EQ(c.fixed, sizeof(VGfixed));
  EXPECT_EQ(c.eglint, sizeof(EGLint));
  EXPECT_EQ(c.matrix, sizeof(OVGmatrix));
  EXPECT_EQ(c.matrixFlagOffset, offsetof(OVGmatrix, flag));
  EXPECT_EQ(c.matrixModeOffset, offsetof(OVGmatrix, mode));
  EXPECT_EQ(c.vendorFormat, 0x40000004L);
  EXPECT_EQ(c.vendorParam, 0x40007000L);
}

TEST(PublicHeaders, KeepTheStandardAndVendorValues)
{
  struct Value {
    const char *name;
    long value;
    long expected;
  };
  const Value values[] = {
      {"VG_MATRIX_MODE", VG_MATRIX_MODE, 0x1100},
      {"VG_MAX_GAUSSIAN_STD_DEVIATION", VG_MAX_GAUSSIAN_STD_DEVIATION, 0x116A},
      {"VG_COLOR_TRANSFORM_VALUES", VG_COLOR_TRANSFORM_VALUES, 0x1171},
      {"VG_MATRIX_GLYPH_USER_TO_SURFACE", VG_MATRIX_GLYPH_USER_TO_SURFACE, 0x1404},
      {"VG_NO_CONTEXT_ERROR", VG_NO_CONTEXT_ERROR, 0x1007},
      {"VG_SCWARC_TO_REL", VG_SCWARC_TO_REL, 21},
      {"VG_PAINT_COLOR_RAMP_PREMULTIPLIED", VG_PAINT_COLOR_RAMP_PREMULTIPLIED, 0x1A07},
      {"VG_sBGR_565", VG_sBGR_565, 131},
      {"VG_lABGR_8888_PRE", VG_lABGR_8888_PRE, 201},
      {"VG_BLEND_ADDITIVE", VG_BLEND_ADDITIVE, 0x2009},
      {"VG_FONT_NUM_GLYPHS", VG_FONT_NUM_GLYPHS, 0x2F00},
      {"VG_HARDWARE_UNACCELERATED", VG_HARDWARE_UNACCELERATED, 0x2201},
      {"VG_EXTENSIONS", VG_EXTENSIONS, 0x2303},
      {"VGU_BAD_WARP_ERROR", VGU_BAD_WARP_ERROR, 0xF004},
      {"VGU_ARC_PIE", VGU_ARC_PIE, 0xF102},
      {"VG_EXT_YUV422", VG_EXT_YUV422, 0x40000000},
      {"VG_EXT_YUV_RGB_COEFFICIENT", VG_EXT_YUV_RGB_COEFFICIENT, 0x40002001},
      {"VG_EXT_BLEND_EQUATION", VG_EXT_BLEND_EQUATION, 0x40005002},
      {"VG_EXT_CHANNEL_MASK", VG_EXT_CHANNEL_MASK, 0x40006000},
      {"VG_EXT_BLEND_SRC_ALPHA_SATURATE", VG_EXT_BLEND_SRC_ALPHA_SATURATE, 0x4000530A},
      {"EGL_CONFORMANT", EGL_CONFORMANT, 0x3042},
      {"EGL_LUMINANCE_BUFFER", EGL_LUMINANCE_BUFFER, 0x308F},
      {"EGL_OPENVG_IMAGE", EGL_OPENVG_IMAGE, 0x3096},
      {"EGL_OPENVG_API", EGL_OPENVG_API, 0x30A1},
      {"EGL_POST_SUB_BUFFER_SUPPORTED_NV", EGL_POST_SUB_BUFFER_SUPPORTED_NV, 0x30BE},
  };
  for (const Value &v : values) EXPECT_EQ(v.value, v.expected) << v.name;
}

}  // namespace
