/* The SoC port: opens the GPU device, maps its register and memory windows, tells the driver
 * the MMU and interrupt modes, programs the GPU MMU and waits for GPU interrupts. */
#include <errno.h>
#include <fcntl.h>
#include <inttypes.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>

#include "cgl.h"
#include "cgl_assert.h"
#include "lx740_device.h"
#include "lx740_ioctl.h"

#define TXMEM_ALIGN 0x100000ul        /* GPU memory window sizes and MMU bases: 1 MiB */
#define TXMEM_DEFAULT_SIZE 0x1000000ul
#define TXMEM_FALLBACK_BASE 0x3000000u /* GPU base when the driver cannot tell it */
#define GPU_ADDRESS_LIMIT 0x100000000ull
#define MMU_MAPPING_ALL 0x1ffu
#define MMU_MODE_ON 0xc055u
#define MMU_PORT 2u
/* A driver that keeps failing interrupt waits is given up after this many failures in a row. */
#define WAIT_INTR_MAX_FAILURES 16

static int lx740_filp = -1;
static unsigned long lx740_reg_mapsize = 0;
static void* lx740_reg_mmap = MAP_FAILED;
static unsigned long lx740_txmem_mapsize = 0;
static void* lx740_txmem_mmap = MAP_FAILED;
static int lx740_mmu_init = 0;

uintptr_t CglCFifoBase = (uintptr_t)-1;
uintptr_t CglTxMemBase = (uintptr_t)-1;

static int intr_mode_cache = -1;
static int mmu_mode_cache = -1;
static unsigned long txmem_size_cache = (unsigned long)-1;

static int env_int(const char* name, int fallback)
{
    const char* text = getenv(name);
    return text ? (int)strtol(text, NULL, 0) : fallback;
}

int cglGetIntrMode(void)
{
    if (intr_mode_cache == -1)
        intr_mode_cache = env_int("OVG_INTR_MODE", 1);
    return intr_mode_cache;
}

int cglGetMmuMode(void)
{
    if (mmu_mode_cache == -1)
        mmu_mode_cache = env_int("OVG_MMU_MODE", 1);
    return mmu_mode_cache;
}

unsigned long cglGetTxmemSize(void)
{
    if (txmem_size_cache == (unsigned long)-1) {
        const char* text = getenv("OVG_TXMEM_SIZE");
        unsigned long size = text ? strtoul(text, NULL, 0) : TXMEM_DEFAULT_SIZE;
        txmem_size_cache = (size + TXMEM_ALIGN - 1) & ~(TXMEM_ALIGN - 1);
    }
    return txmem_size_cache;
}

word32 cglGetTxmemBase(void)
{
    word32 base;
    CGL_ASSERT(lx740_txmem_mmap != MAP_FAILED, "lx740_txmem_mmap != ((void *) -1)");
    if (cglGetMmuMode()) {
        base = (word32)(((uintptr_t)lx740_txmem_mmap + TXMEM_ALIGN - 1) & ~(uintptr_t)(TXMEM_ALIGN - 1));
    } else {
        word32 gpu = CGL_NO_ADDRESS;
        int failed = lx740_dev_ioctl(lx740_filp, TVMEM_IOC_GET_GPU_TXMEM_BASE, (uintptr_t)&gpu) < 0;
        int err = failed ? errno : ENXIO;
        if (failed || gpu == CGL_NO_ADDRESS) {
            printf("ioctl (TVMEM_IOC_GET_GPU_TXMEM_BASE) failed: %s\n", strerror(err));
            gpu = TXMEM_FALLBACK_BASE;
        }
        base = gpu;
    }
    printf("lx740_txmem_base = 0x%08" PRIx32 "\n", base);
    return base;
}

static void open_device(void)
{
    if (lx740_filp != -1)
        return;
    lx740_filp = lx740_dev_open(LX740_DEVICE_NODE, O_RDWR);
    CGL_ASSERT(lx740_filp != -1, "lx740_filp != -1");
    lx740_dev_fcntl(lx740_filp, F_SETFD, lx740_dev_fcntl(lx740_filp, F_GETFD, 0) | FD_CLOEXEC);
}

static void map_registers(void)
{
    if (lx740_reg_mapsize == 0) {
        word32 size = 0; /* the driver stores a 4-byte size */
        if (lx740_dev_ioctl(lx740_filp, OVG_IOC_GET_TXMEM_MAPOFFSET, (uintptr_t)&size) < 0)
            printf("ioctl (OVG_IOC_GET_TXMEM_MAPOFFSET) failed: %s\n", strerror(errno));
        lx740_reg_mapsize = size;
        CGL_ASSERT(lx740_reg_mapsize != 0, "lx740_reg_mapsize != 0");
    }
    if (lx740_reg_mmap == MAP_FAILED) {
        lx740_reg_mmap = lx740_dev_mmap(NULL, lx740_reg_mapsize, PROT_READ | PROT_WRITE, MAP_SHARED,
                                        lx740_filp, 0);
        CGL_ASSERT(lx740_reg_mmap != MAP_FAILED, "lx740_reg_mmap != ((void *) -1)");
        CglCFifoBase = (uintptr_t)lx740_reg_mmap;
        CGL_ASSERT(CglCFifoBase != (uintptr_t)-1, "CglCFifoBase != -1");
    }
}

static void map_gpu_memory(void)
{
    unsigned long size;
    if (lx740_txmem_mmap != MAP_FAILED)
        return;
    size = cglGetTxmemSize();
    if (size == 0)
        fprintf(stderr, "OVG_TXMEM_SIZE is 0: the GPU memory window needs at least 1 MiB\n");
    CGL_ASSERT(size != 0, "lx740_txmem_mapsize != 0");

    if (lx740_dev_ioctl(lx740_filp, OVG_IOC_SET_MMU_MODE, (uintptr_t)cglGetMmuMode()) < 0) {
        int err = errno;
        printf("ioctl (OVG_IOC_SET_MMU_MODE = %d) failed: %s\n", cglGetMmuMode(), strerror(err));
    }
    /* With the MMU on, the window starts at the next 1 MiB boundary inside the mapping. */
    lx740_txmem_mapsize = cglGetMmuMode() ? size + TXMEM_ALIGN - 1 : size;
    lx740_txmem_mmap = lx740_dev_mmap(NULL, lx740_txmem_mapsize, PROT_READ | PROT_WRITE, MAP_SHARED,
                                      lx740_filp, (off_t)lx740_reg_mapsize);
    CGL_ASSERT(lx740_txmem_mmap != MAP_FAILED, "lx740_txmem_mmap != ((void *) -1)");
    if (cglGetMmuMode()) {
        /* GPU addresses are the process's own addresses, and they are 32 bits wide. */
        CGL_ASSERT((uint64_t)(uintptr_t)lx740_txmem_mmap + lx740_txmem_mapsize <= GPU_ADDRESS_LIMIT,
                   "GPU memory window below 4 GiB");
        CglTxMemBase = 0;
    } else {
        CglTxMemBase = (uintptr_t)lx740_txmem_mmap - cglGetTxmemBase();
    }
}

static void write_mmu_reg(word32 reg, word32 val)
{
    cglWriteMemReg32(LX_EXTDEV_PORTID, MMU_PORT);
    cglWriteMemReg32(reg, val);
}

static void program_mmu(void)
{
    word32 reg;
    wait_all_idle();
    write_mmu_reg(LX_MMU_MAPPING_EN, MMU_MAPPING_ALL);
    write_mmu_reg(LX_MMU_MODE, MMU_MODE_ON);
    for (reg = LX_MMU_LV1_DESC00; reg <= LX_MMU_LV1_DESCI15; reg += 4)
        write_mmu_reg(reg, 0);
    write_mmu_reg(LX_MMU_TLB_CTRL, 1);
    cglWriteMemReg32(LX_INTR_MASK, cglReadMemReg32(LX_INTR_MASK) | CGL_INTR_MMU);
    lx740_mmu_init = 1;
}

void pltInit(int mode)
{
    (void)mode;
    open_device();
    map_registers();
    map_gpu_memory();
    CGL_ASSERT(lx740_txmem_mapsize != 0, "lx740_txmem_mapsize != 0");
    CGL_ASSERT(CglTxMemBase != (uintptr_t)-1, "CglTxMemBase != -1");

    if (lx740_dev_ioctl(lx740_filp, TVMEM_IOC_SET_INTR_MODE, (uintptr_t)cglGetIntrMode()) < 0) {
        int err = errno;
        printf("ioctl (TVMEM_IOC_SET_INTR_MODE = %d) failed: %s\n", cglGetIntrMode(), strerror(err));
    }
    printf("CFifoBase: 0x%08" PRIxPTR "\n", CglCFifoBase);
    printf("TxMemBase: 0x%08" PRIxPTR "\n", CglTxMemBase);

    if (cglGetMmuMode() && lx740_mmu_init == 0)
        program_mmu();
}

void pltFinish(void)
{
    if (lx740_mmu_init == 1) {
        wait_all_idle();
        cglWriteMemReg32(LX_INTR_MASK, cglReadMemReg32(LX_INTR_MASK) & ~CGL_INTR_MMU);
        lx740_mmu_init = 0;
    }
    if (lx740_txmem_mmap != MAP_FAILED) {
        lx740_dev_munmap(lx740_txmem_mmap, lx740_txmem_mapsize);
        lx740_txmem_mmap = MAP_FAILED;
        lx740_txmem_mapsize = 0;
        CglTxMemBase = (uintptr_t)-1;
    } else {
        CGL_ASSERT(CglTxMemBase == (uintptr_t)-1, "CglTxMemBase == -1");
    }
    if (lx740_reg_mmap != MAP_FAILED) {
        lx740_dev_munmap(lx740_reg_mmap, lx740_reg_mapsize);
        lx740_reg_mmap = MAP_FAILED;
        lx740_reg_mapsize = 0;
        CglCFifoBase = (uintptr_t)-1;
    } else {
        CGL_ASSERT(CglCFifoBase == (uintptr_t)-1, "CglCFifoBase == -1");
    }
    if (lx740_filp != -1) {
        lx740_dev_close(lx740_filp);
        lx740_filp = -1;
    }
}

static void poll_intr_stat(void)
{
    while ((cglReadMemReg32(LX_INTR_STAT) & CglWaitIntrBit) == 0) {
    }
}

/* The driver returns once the GPU has raised one of the armed bits. A signal only interrupts
 * the wait; a driver that keeps failing is given up for polling the status register. */
static void wait_intr_by_driver(void)
{
    int failures = 0;
    while (lx740_dev_ioctl(lx740_filp, OVG_IOC_WAIT_INTR, CglWaitIntrBit) != 0) {
        int err = errno;
        if (err == EINTR)
            continue;
        printf("OVG_IOC_WAIT_INTR failed: %s\n", strerror(err));
        if (++failures == WAIT_INTR_MAX_FAILURES) {
            printf("OVG_IOC_WAIT_INTR: polling LX_INTR_STAT instead\n");
            poll_intr_stat();
            return;
        }
    }
}

void cglWaitIntr(void)
{
    if (CglCpDumpStat.mode == CGL_DUMP_RECORD)
        return;
    if (cglGetIntrMode())
        wait_intr_by_driver();
    else
        poll_intr_stat();
}
