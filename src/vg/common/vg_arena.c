/* Low arena: per-size free lists over chunks mapped below 4 GiB. Each block has a 16-byte
 * header (its size class and, while free, the next free block) before the 16-byte aligned body. */
#define _GNU_SOURCE
#include "vg/common/vg_arena.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define POISON(p, n) ASAN_POISON_MEMORY_REGION((p), (n))
#define UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION((p), (n))
#else
#define POISON(p, n) ((void)(p), (void)(n))
#define UNPOISON(p, n) ((void)(p), (void)(n))
#endif

#define ALIGN 16u
#define CHUNK (1u << 20)
#define CLASSES 256u /* bodies of 16 to 4096 bytes */
#define LOW_LIMIT 0x100000000ull

typedef struct Block {
    uint64_t size_class; /* body bytes / 16 */
    struct Block *next;  /* next free block of the class, while free */
} Block;

static Block *free_lists[CLASSES + 1];
static unsigned char *chunk_next, *chunk_end;

static void *map_low(size_t length)
{
#if UINTPTR_MAX <= 0xFFFFFFFFu
    return malloc(length);
#elif defined(MAP_32BIT)
    void *p = mmap(NULL, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_32BIT, -1, 0);
    return p == MAP_FAILED ? NULL : p;
#else
    void *p = mmap((void *)0x10000000, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        return NULL;
    if ((uint64_t)(uintptr_t)p + length > LOW_LIMIT) {
        munmap(p, length);
        return NULL;
    }
    return p;
#endif
}

void *VGFUNC_ArenaAlloc(size_t size)
{
    size_t cls = (size + ALIGN - 1) / ALIGN;
    size_t bytes;
    Block *b;
    if (cls == 0)
        cls = 1;
    if (cls > CLASSES)
        return NULL;
    b = free_lists[cls];
    if (b) {
        UNPOISON(b, sizeof *b);
        free_lists[cls] = b->next;
    } else {
        bytes = sizeof(Block) + cls * ALIGN;
        if (!chunk_next || (size_t)(chunk_end - chunk_next) < bytes) {
            unsigned char *chunk = map_low(CHUNK);
            if (!chunk)
                return NULL;
            chunk_next = chunk;
            chunk_end = chunk + CHUNK;
        }
        b = (Block *)chunk_next;
        chunk_next += bytes;
        b->size_class = cls;
    }
    b->next = NULL;
    UNPOISON(b + 1, cls * ALIGN);
    memset(b + 1, 0, cls * ALIGN);
    return b + 1;
}

void VGFUNC_ArenaFree(void *block)
{
    Block *b;
    if (!block)
        return;
    b = (Block *)block - 1;
    b->next = free_lists[b->size_class];
    free_lists[b->size_class] = b;
    POISON(block, b->size_class * ALIGN);
}
