/* Register writers: runs of registers of one GPU unit become command packets. */
#include <string.h>

#include "cgl_internal.h"

word32 cglFloatTo32F(float value)
{
    word32 bits;
    memcpy(&bits, &value, sizeof bits);
    return bits;
}

static word32 first_word(const void* elements)
{
    word32 word;
    memcpy(&word, elements, sizeof word);
    return word;
}

void cgl_write_packets(word32 opcode, word32 regno, const void* elements, word32 num, word32 regstep)
{
    const unsigned char* bytes = (const unsigned char*)elements;
    while (num > 0) {
        word32 n = num < CGL_PKT_MAX_WORDS ? num : CGL_PKT_MAX_WORDS;
        cglWriteCFifo32(CGL_PKT_HEADER(opcode, regno, n));
        cgl_write_cfifo_elements(bytes, n);
        if (CglCFifoTermon)
            cglWriteCFifo32(CGL_TERMINATOR);
        regno += regstep * n;
        bytes += 4 * n;
        num -= n;
    }
}

void cglWriteCFRegs(word32 regno, const word32* words, word32 num)
{
    cgl_write_packets(CGL_OP_CF_WRITE, regno, words, num, 1);
}

void cglWriteCFReg1(word32 regno, word32 value)
{
    cglWriteCFRegs(regno, &value, 1);
}

void cglWriteVPConstRegs(word32 regno, const word32* words, word32 nelem)
{
    cgl_write_packets(CGL_OP_VPCONST_WRITE, regno * 4, words, nelem, 1);
}

void cglWriteVPConstRegsf(word32 regno, const float* values, word32 nelem)
{
    cgl_write_packets(CGL_OP_VPCONST_WRITE, regno * 4, values, nelem, 1);
}

/* A single-word packet written as one unit: header, value and terminator. */
static void write_single(word32 header, word32 value)
{
    cglWaitCFifoAvailable(3);
    CglPutCFifoFunc(header);
    CglPutCFifoFunc(value);
    if (CglCFifoTermon)
        CglPutCFifoFunc(CGL_TERMINATOR);
}

void cglWriteVPConstReg1(word32 regno, word32 value)
{
    write_single(0x43000001u | ((regno << 14) & 0xffc000u), value);
}

void cglWriteVPConstReg1f(word32 regno, float value)
{
    cglWriteVPConstReg1(regno, cglFloatTo32F(value));
}

void cglWriteVPCtrlReg1(word32 regno, word32 value)
{
    write_single(0x45000001u | ((regno & 0xfffu) << 12), value);
}

/* Edge-unit runs never cross LX_XPT_SWAP, and a swap with bit 3 set starts the edge scan. */
static void write_xpt(word32 regno, const void* elements, word32 num)
{
    const unsigned char* bytes = (const unsigned char*)elements;
    while (num > 0) {
        word32 n = num;
        if (regno < LX_XPT_SWAP && regno + n > LX_XPT_SWAP)
            n = LX_XPT_SWAP - regno;
        if (regno == LX_XPT_SWAP && (first_word(bytes) & 0x8u)) {
            const word32 start = 1;
            cgl_write_packets(CGL_OP_XPT_WRITE, LX_XPT_EDGE_SCAN_START, &start, 1, 1);
        }
        cgl_write_packets(CGL_OP_XPT_WRITE, regno, bytes, n, 1);
        regno += n;
        bytes += 4 * n;
        num -= n;
    }
}

void cglWriteXPTRegs(word32 regno, const word32* words, word32 num)
{
    write_xpt(regno, words, num);
}

void cglWriteXPTRegsf(word32 regno, const float* values, word32 num)
{
    write_xpt(regno, values, num);
}

void cglWriteXPTReg1(word32 regno, word32 value)
{
    write_xpt(regno, &value, 1);
}

void cglWriteXPTReg1f(word32 regno, float value)
{
    write_xpt(regno, &value, 1);
}

void cglWriteRZRegs(word32 regno, const word32* words, word32 num)
{
    cgl_write_packets(CGL_OP_RZ_WRITE, regno, words, num, 1);
}

void cglWriteRZRegsf(word32 regno, const float* values, word32 num)
{
    cgl_write_packets(CGL_OP_RZ_WRITE, regno, values, num, 1);
}

void cglWriteRZReg1(word32 regno, word32 value)
{
    cglWriteRZRegs(regno, &value, 1);
}

void cglWriteRZReg1f(word32 regno, float value)
{
    cglWriteRZRegsf(regno, &value, 1);
}

void cglWritePERegs(word32 regno, const word32* words, word32 num)
{
    cgl_write_packets(CGL_OP_PE_WRITE, regno, words, num, 1);
}

void cglWritePEReg1(word32 regno, word32 value)
{
    cglWritePERegs(regno, &value, 1);
}

void cglWritePETable(word32 tbltype, word32 addr, const word32* words, word32 nitem)
{
    cglWritePEReg1(LX_PE_OVG_TABLE_ADDR, addr | tbltype);
    cgl_write_packets(CGL_OP_PE_TABLE_WRITE, 0, words, nitem, 0);
}
