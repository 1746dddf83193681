#include "vg/common/vg_heap.h"

#include <stdlib.h>

static OVGheapresize heapresize = realloc;

void VGFUNC_SetHeapAllocator(OVGheapresize resize)
{
    heapresize = resize ? resize : realloc;
}

void *VGFUNC_HeapResize(void *block, size_t size)
{
    return heapresize(block, size);
}
