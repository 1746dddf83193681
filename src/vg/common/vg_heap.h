/* The allocator of the front end's growable heap blocks (path segment and coordinate buffers,
 * the path operations' work arrays, font glyph arrays): realloc by default, every block released
 * with free. Tests install one that fails on purpose; null restores realloc. */
#ifndef OVG_VG_COMMON_VG_HEAP_H
#define OVG_VG_COMMON_VG_HEAP_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef void *(*OVGheapresize)(void *block, size_t size);
void VGFUNC_SetHeapAllocator(OVGheapresize resize);
void *VGFUNC_HeapResize(void *block, size_t size);

#ifdef __cplusplus
}
#endif

#endif /* OVG_VG_COMMON_VG_HEAP_H */
