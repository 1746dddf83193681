/* Layout of GPU buffers in GPU memory, with their addresses written to the GPU. */
#include "cgl_internal.h"

word32 cglAssignVPInst(word32 addr, word32 size, const word32* data)
{
    cglWriteMemory32A(addr, data, size);
    return addr + 4 * size;
}

word32 cglAssignAMBuf(word32 addr, word32 w, word32 h, word32 bpp)
{
    addr = cgl_round_up(addr, 32);
    cglWritePEReg1(LX_PE_OVG_AMBUF_ADDR, addr);
    return addr + w * h * bpp / 8;
}

word32 cglAssignCBufVG(word32 addr, word32 w, word32 h, word32 bpp)
{
    static const word32 regs[3] = {LX_PE_OVG_CBUF0_ADDR, LX_PE_OVG_CBUF1_ADDR, LX_PE_OVG_CBUF2_ADDR};
    int i;
    for (i = 0; i < 3; ++i) {
        addr = cgl_round_up(addr, 32);
        cglWritePEReg1(regs[i], addr);
        addr += w * h * bpp / 8;
    }
    return addr;
}

word32 cglAssignXPTBuf(word32 addr, word32 xsize, word32 ysize, word32 sm)
{
    word32 entry = sm == 1 ? 2 : 4;
    word32 n = entry * xsize * ysize;
    word32 lines = cgl_round_up(2 * ysize, 256);
    word32 lw_lines = cgl_round_up(2 * ysize * sm, 256);
    word32 buf0 = cgl_round_up(addr, 8);
    word32 buf1 = cgl_round_up(buf0 + n, 8);
    word32 num0 = cgl_round_up(buf1 + n, 256);
    word32 num1 = num0 + lines;
    word32 lw0 = cgl_round_up(num1 + lines, 256);
    word32 lw1 = lw0 + lw_lines;
    word32 sort = lw0 + 2 * lw_lines;

    cglWriteXPTReg1(LX_XPT_BUF_BASE0, buf0);
    cglWriteXPTReg1(LX_XPT_BUF_BASE1, buf1);
    cglWriteXPTReg1(LX_XPT_NUM_BASE0, num0);
    cglWriteXPTReg1(LX_XPT_NUM_BASE1, num1);
    cglWriteXPTReg1(LX_XPT_LW_BUF_BASE0, lw0);
    cglWriteXPTReg1(LX_XPT_LW_BUF_BASE1, lw1);
    cglWriteXPTReg1(LX_XPT_SORTBUF_BASE, sort);
    return sort + xsize * entry;
}
