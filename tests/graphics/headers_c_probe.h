// Sizes and layout seen by a C translation unit that includes the public headers.
#pragma once

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

struct HeadersCProbe {
  size_t handle;
  size_t enumeration;
  size_t fixed;
  size_t eglint;
  size_t matrix;
  size_t matrixFlagOffset;
  size_t matrixModeOffset;
  long vendorFormat;
  long vendorParam;
};

void headers_c_probe(struct HeadersCProbe *out);

#ifdef __cplusplus
}
#endif
