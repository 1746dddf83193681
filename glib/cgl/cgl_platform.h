#ifndef CGL_PLATFORM_H
#define CGL_PLATFORM_H

/* The SoC port of the register library: the GPU device, its register and memory windows,
 * FIFO-space accounting and the primitive waits. One GPU per process, single-threaded. */

#include <stdint.h>

#include "cgl_types.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef void (*CglPutFifoFunc)(word32 word);

/* Process address of the register window; every register access is at base + offset. */
extern uintptr_t CglCFifoBase;
/* Process address minus GPU address of the GPU memory window (0 with the GPU MMU on). */
extern uintptr_t CglTxMemBase;
/* The armed interrupt bits. */
extern word32 CglWaitIntrBit;
/* Free FIFO slots known to be available. */
extern word32 CglCFifoAvail;
extern word32 CglSFifoAvail;
/* Terminator flags, taken from LX_MISC_CTRL bits 0 (command FIFO) and 1 (SPC FIFO). */
extern int CglCFifoTermon;
extern int CglSFifoTermon;
/* Routines that output one word to each FIFO (switched by the command-recording mode). */
extern CglPutFifoFunc CglPutCFifoFunc;
extern CglPutFifoFunc CglPutSFifoFunc;

void pltInit(int mode);
void pltFinish(void);

/* Environment settings, each read once: OVG_INTR_MODE, OVG_MMU_MODE, OVG_TXMEM_SIZE. */
int cglGetIntrMode(void);
int cglGetMmuMode(void);
unsigned long cglGetTxmemSize(void);
/* GPU address of the start of the usable GPU memory window. */
word32 cglGetTxmemBase(void);

void cglWriteMemReg32(word32 offset, word32 value);
word32 cglReadMemReg32(word32 offset);

/* Direct word writers to LX_CFIFO and LX_SFIFO. */
void cglPutCFifo32_E(word32 word);
void cglPutSFifo32_E(word32 word);

void cglSyncCFifoAvailable(void);
void cglSyncSFifoAvailable(void);
void cglSetCFifoAvailable(word32 n);
void cglSetSFifoAvailable(word32 n);
void cglWaitCFifoAvailable(word32 n);
void cglWaitSFifoAvailable(word32 n);

void cglWaitMemRegBitsOn(word32 offset, word32 bits);
void cglWaitMemRegBitsOff(word32 offset, word32 bits);
void cglWaitBusy(word32 bits, int on);
void wait_all_idle(void);

/* Every synchronous GPU step: cglWaitIntrOn(bit), the write that raises the bit,
 * cglWaitIntr(), cglWaitIntrOff(bit). */
void cglWaitIntrOn(word32 bits);
void cglWaitIntrOff(word32 bits);
void cglWaitIntrOnNC(word32 bits);
void cglWaitIntrOffNC(word32 bits);
void cglWaitIntr(void);

#ifdef __cplusplus
}
#endif

#endif
