#ifndef CGL_TYPES_H
#define CGL_TYPES_H

#include <stdint.h>

/* Register words and GPU addresses are 32 bits wide on every host. */
typedef uint32_t word32;
typedef int32_t s_word32;

/* GPU address that names no block. */
#define CGL_NO_ADDRESS 0xffffffffu

#endif
