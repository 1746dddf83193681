/* The low arena of the OpenVG object records. A handle is 32 bits and is its record's address,
 * so every image, paint, path, font and mask-layer record lives below 4 GiB: blocks come from
 * chunks mapped low (MAP_32BIT on x86-64; elsewhere a hinted low mapping, refused when it lands
 * higher; the heap on a 32-bit host), 16-byte aligned, zeroed. Running out is an allocation
 * failure (null), never a crash. Freed blocks are poisoned for AddressSanitizer, so a use of a
 * freed record still fails the sanitizer build. */
#ifndef OVG_VG_COMMON_VG_ARENA_H
#define OVG_VG_COMMON_VG_ARENA_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

void *VGFUNC_ArenaAlloc(size_t size);
void VGFUNC_ArenaFree(void *block);

#ifdef __cplusplus
}
#endif

#endif /* OVG_VG_COMMON_VG_ARENA_H */
