/* Register read-back through read packets and the SPC read command. */
#include "cgl_internal.h"

static word32 read_packet(word32 opcode, word32 regfield, int sw)
{
    const word32 tcmd[2] = {CGL_PKT_HEADER(opcode, regfield, 0), CGL_TERMINATOR};
    return cglReadbackData(tcmd, CglCFifoTermon ? 2 : 1, sw);
}

word32 cglReadCFReg(word32 regno, int sw)
{
    return read_packet(CGL_OP_CF_READ, regno, sw);
}

word32 cglReadXPTReg(word32 regno, int sw)
{
    return read_packet(CGL_OP_XPT_READ, regno, sw);
}

word32 cglReadVPConstReg(word32 regno, word32 eoff, int sw)
{
    return read_packet(CGL_OP_VPCONST_READ, regno * 4 + (eoff & 3u), sw);
}

word32 cglReadSPCReg(word32 regno, int sw)
{
    const word32 tcmd[2] = {CGL_SPC_READ_SPC | ((regno & 0xfffu) << 16), CGL_TERMINATOR};
    return cglReadbackSPCData(tcmd, CglSFifoTermon ? 2 : 1, sw);
}

word32 cglReadbackData(const word32* tcmd, word32 cmdlen, int sw)
{
    word32 i;
    if (!(sw & CGL_READBACK_WAIT)) {
        cglWriteCFifo32A(tcmd, cmdlen);
        return 0;
    }
    cglWaitIntrOn(CGL_INTR_READBACK);
    cglWaitCFifoAvailable(cmdlen);
    for (i = 0; i < cmdlen; ++i)
        CglPutCFifoFunc(tcmd[i]);
    cglWaitIntr();
    cglWaitIntrOff(CGL_INTR_READBACK);
    return cglReadMemReg32(LX_READBACK);
}

word32 cglReadbackSPCData(const word32* tcmd, word32 cmdlen, int sw)
{
    cgl_pe_sync();
    if (!(sw & CGL_READBACK_WAIT)) {
        cglWriteSFifo32A(tcmd, cmdlen);
        return 0;
    }
    cglWaitIntrOn(CGL_INTR_READBACK);
    cglWriteSFifo32A(tcmd, cmdlen);
    cgl_spc_sync();
    cglWaitIntr();
    cglWaitIntrOff(CGL_INTR_READBACK);
    return cglReadMemReg32(LX_READBACK);
}
