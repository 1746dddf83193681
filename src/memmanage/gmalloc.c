/* GPU memory allocator: a used list (newest first) and a free list sorted by address with no
 * two neighbours adjacent; blocks are carved from the start of the first free block that fits. */
#include "gmalloc.h"

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "cgl.h"
#include "cgl_assert.h"

typedef struct Memory {
    MemAddr addr;      /* handed to the caller: the aligned start */
    MemAddr real_addr; /* first byte of the block, alignment padding included */
    unsigned long size;
    struct Memory *next;
} Memory;

#define MMU_POOL_ALIGN 0x100000ul
#define MMU_POOL_LIMIT (0x10000ul * 4096ul)
#define TOUCH_PAGE 0x10000ul
#define TOUCH_STEP 0x1000ul
#define GPU_ADDRESS_LIMIT 0x100000000ull

static Memory *GMINVAL_MallocMemory;
static Memory *GMINVAL_FreeMemory;
static int GMINVAL_init_flag;
static int mmu_pool;
static uint32_t __start_addr_align_1M;
static uint32_t __trigger_bits_64K[1024];

static int fail_record_countdown;
static int fail_block_countdown;
static int fail_block_count;

void gmFailRecordAllocation(int nth)
{
    fail_record_countdown = nth;
}

void gmFailBlockAllocation(int nth)
{
    gmFailBlockAllocations(nth, 1);
}

void gmFailBlockAllocations(int nth, int count)
{
    fail_block_countdown = nth;
    fail_block_count = count;
}

/* The block seam: counts calls down to the first failing one, then fails `count` calls. */
static int block_fails(void)
{
    if (fail_block_countdown > 1) {
        --fail_block_countdown;
        return 0;
    }
    if (fail_block_countdown == 1 && fail_block_count > 0) {
        if (--fail_block_count == 0)
            fail_block_countdown = 0;
        return 1;
    }
    return 0;
}

/* Counts a seam countdown down; true when this is the call that fails. */
static int seam_fails(int *countdown)
{
    return *countdown > 0 && --*countdown == 0;
}

static Memory *new_record(void)
{
    if (seam_fails(&fail_record_countdown))
        return NULL;
    return (Memory *)calloc(1, sizeof(Memory));
}

static void free_list(Memory *m)
{
    while (m) {
        Memory *next = m->next;
        free(m);
        m = next;
    }
}

int gmInitialize(MemAddr start_addr, unsigned long size)
{
    Memory *m;
    if (GMINVAL_init_flag)
        return 1;
    if ((unsigned long long)start_addr + size > GPU_ADDRESS_LIMIT)
        return 1;
    m = new_record();
    if (!m)
        return 1;
    mmu_pool = cglGetMmuMode() != 0;
    if (mmu_pool) {
        __start_addr_align_1M = (uint32_t)start_addr;
        CGL_ASSERT((start_addr & (MMU_POOL_ALIGN - 1)) == 0, "(start_addr & (0x100000 - 1)) == 0");
        CGL_ASSERT((size & (MMU_POOL_ALIGN - 1)) == 0, "(size & (0x100000 - 1)) == 0");
        CGL_ASSERT(MMU_POOL_LIMIT > size, "((1024 * 64) * 4096) > size");
        memset(__trigger_bits_64K, 0, sizeof __trigger_bits_64K);
    }
    m->addr = m->real_addr = start_addr;
    m->size = size;
    m->next = NULL;
    GMINVAL_FreeMemory = m;
    GMINVAL_init_flag = 1;
    return 0;
}

void gmTerminate(void)
{
    free_list(GMINVAL_MallocMemory);
    free_list(GMINVAL_FreeMemory);
    GMINVAL_MallocMemory = NULL;
    GMINVAL_FreeMemory = NULL;
    GMINVAL_init_flag = 0;
}

int gmBlocksInUse(void)
{
    int n = 0;
    const Memory *m;
    for (m = GMINVAL_MallocMemory; m; m = m->next)
        ++n;
    return n;
}

static void report_failure(int size)
{
    printf("%s failed: request = 0x%08x (bytes)\n", "gmMalloc", (unsigned)size);
}

/* Makes the kernel back every 64 KB page of [addr, addr + size) before the GPU uses it, once
 * per page and pool lifetime. */
static void touch_pages(MemAddr addr, unsigned long size)
{
    MemAddr page = addr & ~(TOUCH_PAGE - 1);
    MemAddr end = addr + size;
    for (; page < end; page += TOUCH_PAGE) {
        unsigned long offset = page - __start_addr_align_1M;
        uint32_t bit = 1u << ((offset >> 16) & 31);
        uint32_t *word = &__trigger_bits_64K[offset >> 21];
        unsigned long step;
        if (*word & bit)
            continue;
        for (step = 0; step < TOUCH_PAGE; step += TOUCH_STEP)
            *(volatile uint32_t *)(uintptr_t)(page + step) = 0xFFFFFFFFu;
        *word |= bit;
    }
}

MemAddr gmMalloc(int size, int align)
{
    Memory *prev = NULL, *m;
    MemAddr mask, addr;
    unsigned long long need = 0;

    if (align < 1)
        align = 1;
    mask = ~((MemAddr)align - 1);
    if (size < 1)
        return GM_NO_ADDRESS;
    if (!GMINVAL_init_flag && gmInitialize(cglGetTxmemBase(), cglGetTxmemSize()) != 0)
        return GM_NO_ADDRESS;
    if (!GMINVAL_FreeMemory || block_fails()) {
        report_failure(size);
        return GM_NO_ADDRESS;
    }
    for (m = GMINVAL_FreeMemory; m; prev = m, m = m->next) {
        MemAddr misalign = m->real_addr & ((MemAddr)align - 1);
        need = (unsigned long long)size + (misalign ? (MemAddr)align - misalign : 0);
        if (m->size >= need)
            break;
    }
    if (!m) {
        report_failure(size);
        return GM_NO_ADDRESS;
    }
    addr = (m->real_addr + (MemAddr)align - 1) & mask;
    if (m->size > need) {
        Memory *used = new_record();
        if (!used)
            return GM_NO_ADDRESS;
        used->addr = addr;
        used->real_addr = m->real_addr;
        used->size = (unsigned long)need;
        used->next = GMINVAL_MallocMemory;
        GMINVAL_MallocMemory = used;
        m->real_addr += need;
        m->addr = m->real_addr;
        m->size -= need;
    } else {
        if (prev)
            prev->next = m->next;
        else
            GMINVAL_FreeMemory = m->next;
        m->addr = addr;
        m->next = GMINVAL_MallocMemory;
        GMINVAL_MallocMemory = m;
    }
    if (mmu_pool)
        touch_pages(addr, (unsigned long)size);
    return addr;
}

void gmFree(MemAddr p)
{
    Memory *prev = NULL, *m, *before = NULL, *after;

    if (p == GM_NO_ADDRESS)
        return;
    for (m = GMINVAL_MallocMemory; m && m->addr != p; prev = m, m = m->next)
        ;
    if (!m)
        return;
    if (prev)
        prev->next = m->next;
    else
        GMINVAL_MallocMemory = m->next;

    for (after = GMINVAL_FreeMemory; after && after->real_addr < m->real_addr; before = after, after = after->next)
        ;
    m->addr = m->real_addr;
    if (before && before->real_addr + before->size == m->real_addr) {
        before->size += m->size;
        free(m);
        m = before;
    } else {
        m->next = after;
        if (before)
            before->next = m;
        else
            GMINVAL_FreeMemory = m;
    }
    if (after && m->real_addr + m->size == after->real_addr) {
        m->size += after->size;
        m->next = after->next;
        free(after);
    }
    if (!GMINVAL_MallocMemory)
        gmTerminate();
}
