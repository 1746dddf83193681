#ifndef GMALLOC_H
#define GMALLOC_H

/* The GPU memory allocator: hands out pieces of the GPU memory window that the register
 * library maps, first fit in address order. Its bookkeeping lives on the heap, so the window
 * holds only pixel data. Addresses are CPU-visible addresses inside the window, which the
 * register library keeps below 4 GiB. */

#ifdef __cplusplus
extern "C" {
#endif

typedef unsigned long MemAddr;

/* "No block": what a failed allocation returns. */
#define GM_NO_ADDRESS ((MemAddr)0xFFFFFFFFu)

/* 0 on success; 1 when already set up, when the first record cannot be allocated or when the
 * pool would reach past 4 GiB. */
int gmInitialize(MemAddr start_addr, unsigned long size);
MemAddr gmMalloc(int size, int align);
void gmFree(MemAddr p);
void gmTerminate(void);
/* Blocks handed out and not yet returned. */
int gmBlocksInUse(void);

/* Test seam: the nth record allocation (1 = the next one) or the nth gmMalloc call from now
 * fails as out of memory; 0 switches the failure off. */
void gmFailRecordAllocation(int nth);
void gmFailBlockAllocation(int nth);
/* The same for `count` gmMalloc calls in a row from the nth on. */
void gmFailBlockAllocations(int nth, int count);

#ifdef __cplusplus
}
#endif

#endif
