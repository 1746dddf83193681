/* SPC register writers and the synchronous steps of the GPU units. */
#include "cgl_internal.h"

void cgl_spc_sync(void)
{
    cglWaitIntrOn(CGL_INTR_SPC_SYNC);
    cglWriteSFifo32(CGL_SPC_SYNC);
    if (CglSFifoTermon)
        cglWriteSFifo32(CGL_TERMINATOR);
    cglWaitIntr();
    cglWaitIntrOff(CGL_INTR_SPC_SYNC);
}

void cgl_pe_sync(void)
{
    cglWaitIntrOn(CGL_INTR_PE_SYNC);
    cglWritePEReg1(LX_PE_OVG_SYNC, 1);
    cglWaitIntr();
    cglWaitIntrOff(CGL_INTR_PE_SYNC);
}

void cgl_te_sync(void)
{
    cglWaitIntrOn(CGL_INTR_TE_SYNC);
    cglWriteVPCtrlReg1(LX_TE_SYNC, 1);
    cglWaitIntr();
    cglWaitIntrOff(CGL_INTR_TE_SYNC);
}

void cgl_xpt_sync(void)
{
    cglWaitIntrOn(CGL_INTR_XPT_SYNC);
    cglWriteXPTReg1(LX_XPT_SYNC, 1);
    cglWaitIntr();
    cglWaitIntrOff(CGL_INTR_XPT_SYNC);
}

void cglWriteSPCRegs(const word32* regns, const word32* vals, word32 num)
{
    word32 i = 0;
    while (i < num) {
        word32 pairs = num - i < CGL_SPC_MAX_PAIRS ? num - i : CGL_SPC_MAX_PAIRS;
        word32 k;
        cglWaitSFifoAvailable(2 * pairs + 1);
        CglPutSFifoFunc(CGL_SPC_WRITE_SPC | (pairs - 1) | ((regns[i] & 0xfffu) << 16));
        CglPutSFifoFunc(vals[i]);
        for (k = 1; k < pairs; ++k) {
            CglPutSFifoFunc((regns[i + k] & 0xfffu) << 16);
            CglPutSFifoFunc(vals[i + k]);
        }
        if (CglSFifoTermon)
            CglPutSFifoFunc(CGL_TERMINATOR);
        i += pairs;
    }
    cgl_spc_sync();
}

void cglWriteSPCReg1(word32 regno, word32 val)
{
    cglWaitSFifoAvailable(3);
    CglPutSFifoFunc(CGL_SPC_WRITE_SPC | ((regno & 0xfffu) << 16));
    CglPutSFifoFunc(val);
    if (CglSFifoTermon)
        CglPutSFifoFunc(CGL_TERMINATOR);
    cgl_spc_sync();
}
