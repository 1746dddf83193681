#include "headers_c_probe.h"

#include <EGL/egl.h>
#include <EGL/eglhooks.h>
#include <VG/openvg.h>
#include <VG/openvg_vendor.h>
#include <VG/vgu.h>

#include "mathx/mathx.h"
#include "vg/common/vg_matrix.h"

void headers_c_probe(struct HeadersCProbe *out)
{
  out->handle = sizeof(VGHandle);
  out->enumeration = sizeof(VGImageFormat);
  out->fixed = sizeof(VGfixed);
  out->eglint = sizeof(EGLint);
  out->matrix = sizeof(OVGmatrix);
  out->matrixFlagOffset = offsetof(OVGmatrix, flag);
  out->matrixModeOffset = offsetof(OVGmatrix, mode);
  out->vendorFormat = (long)VG_EXT_LVQ88A4;
  out->vendorParam = (long)VG_EXT_ALTERNATE_COLOR;
}
