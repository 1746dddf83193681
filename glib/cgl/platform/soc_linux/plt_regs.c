/* Register-window access, FIFO words and free-slot accounting, and the register waits. */
#include "cgl.h"
#include "lx740_device.h"

word32 CglWaitIntrBit = 0;
word32 CglCFifoAvail = 0;
word32 CglSFifoAvail = 0;
int CglCFifoTermon = 0;
int CglSFifoTermon = 0;
CglPutFifoFunc CglPutCFifoFunc = cglPutCFifo32_E;
CglPutFifoFunc CglPutSFifoFunc = cglPutSFifo32_E;

void cglWriteMemReg32(word32 offset, word32 value)
{
    offset &= CGL_MEMREG_MASK;
    lx740_dev_store32(CglCFifoBase + offset, value);
    if (offset == LX_MISC_CTRL) {
        CglCFifoTermon = (value & CGL_MISC_CTRL_CFIFO_TERM) != 0;
        CglSFifoTermon = (value & CGL_MISC_CTRL_SFIFO_TERM) != 0;
    }
}

word32 cglReadMemReg32(word32 offset)
{
    return lx740_dev_load32(CglCFifoBase + (offset & CGL_MEMREG_MASK));
}

void cglPutCFifo32_E(word32 word)
{
    lx740_dev_store32(CglCFifoBase + LX_CFIFO, word);
}

void cglPutSFifo32_E(word32 word)
{
    lx740_dev_store32(CglCFifoBase + LX_SFIFO, word);
}

void cglSyncCFifoAvailable(void)
{
    CglCFifoAvail = cglReadMemReg32(LX_CFIFO_STAT);
}

void cglSyncSFifoAvailable(void)
{
    CglSFifoAvail = cglReadMemReg32(LX_SFIFO_STAT);
}

void cglSetCFifoAvailable(word32 n)
{
    CglCFifoAvail = n;
}

void cglSetSFifoAvailable(word32 n)
{
    CglSFifoAvail = n;
}

static void wait_fifo_available(word32* known, word32 stat_reg, word32 n)
{
    if (CglCpDumpStat.mode == CGL_DUMP_RECORD)
        return;
    if (n > *known) {
        word32 free_slots;
        do {
            free_slots = cglReadMemReg32(stat_reg);
        } while (free_slots < n);
        *known = free_slots;
    }
    *known -= n;
}

void cglWaitCFifoAvailable(word32 n)
{
    wait_fifo_available(&CglCFifoAvail, LX_CFIFO_STAT, n);
}

void cglWaitSFifoAvailable(word32 n)
{
    wait_fifo_available(&CglSFifoAvail, LX_SFIFO_STAT, n);
}

void cglWaitMemRegBitsOn(word32 offset, word32 bits)
{
    while ((cglReadMemReg32(offset) & bits) == 0) {
    }
}

void cglWaitMemRegBitsOff(word32 offset, word32 bits)
{
    while ((cglReadMemReg32(offset) & bits) != 0) {
    }
}

void cglWaitBusy(word32 bits, int on)
{
    if (on)
        cglWaitMemRegBitsOn(LX_BUSY_STAT, bits);
    else
        cglWaitMemRegBitsOff(LX_BUSY_STAT, bits);
}

void wait_all_idle(void)
{
    word32 bit;
    for (bit = 0x1; bit <= 0x1000; bit <<= 1)
        cglWaitBusy(bit, 0);
}

void cglWaitIntrOn(word32 bits)
{
    CglWaitIntrBit |= bits;
    cglWriteMemReg32(LX_INTR_CLEAR, bits);
}

void cglWaitIntrOff(word32 bits)
{
    CglWaitIntrBit &= ~bits;
    cglWriteMemReg32(LX_INTR_CLEAR, bits);
}

void cglWaitIntrOnNC(word32 bits)
{
    CglWaitIntrBit |= bits;
}

void cglWaitIntrOffNC(word32 bits)
{
    CglWaitIntrBit &= ~bits;
}
