/* GPU memory by GPU address: the CPU reaches address a at a + CglTxMemBase. Narrow accesses
 * read, merge and write back the containing aligned word. */
#include "cgl_internal.h"

static volatile word32* word_at(word32 addr)
{
    return (volatile word32*)(((uintptr_t)addr + CglTxMemBase) & ~(uintptr_t)3);
}

void cglWriteMemory32(word32 addr, word32 data)
{
    *word_at(addr) = data;
}

word32 cglReadMemory32(word32 addr)
{
    return *word_at(addr);
}

static void merge(word32 addr, word32 mask, unsigned shift, word32 data)
{
    volatile word32* p = word_at(addr);
    *p = (*p & ~mask) | ((data << shift) & mask);
}

void cglWriteMemory16(word32 addr, word32 data)
{
    unsigned shift = (addr & 2u) ? 16 : 0;
    merge(addr, 0xffffu << shift, shift, data);
}

word32 cglReadMemory16(word32 addr)
{
    return (*word_at(addr) >> ((addr & 2u) ? 16 : 0)) & 0xffffu;
}

void cglWriteMemory8(word32 addr, word32 data)
{
    unsigned shift = 8 * (addr & 3u);
    merge(addr, 0xffu << shift, shift, data);
}

word32 cglReadMemory8(word32 addr)
{
    return (*word_at(addr) >> (8 * (addr & 3u))) & 0xffu;
}

void cglWriteMemory32A(word32 addr, const word32* data, word32 nitems)
{
    word32 i;
    for (i = 0; i < nitems; ++i)
        cglWriteMemory32(addr + 4 * i, data[i]);
}

void cglWriteMemory16A(word32 addr, const uint16_t* data, word32 nitems)
{
    word32 i;
    for (i = 0; i < nitems; ++i)
        cglWriteMemory16(addr + 2 * i, data[i]);
}

void cglWriteMemory8A(word32 addr, const uint8_t* data, word32 nitems)
{
    word32 i;
    for (i = 0; i < nitems; ++i)
        cglWriteMemory8(addr + i, data[i]);
}

void cglReadMemory32A(word32 addr, word32* data, word32 nitems)
{
    word32 i;
    for (i = 0; i < nitems; ++i)
        data[i] = cglReadMemory32(addr + 4 * i);
}

void cglReadMemory16A(word32 addr, uint16_t* data, word32 nitems)
{
    word32 i;
    for (i = 0; i < nitems; ++i)
        data[i] = (uint16_t)cglReadMemory16(addr + 2 * i);
}

void cglReadMemory8A(word32 addr, uint8_t* data, word32 nitems)
{
    word32 i;
    for (i = 0; i < nitems; ++i)
        data[i] = (uint8_t)cglReadMemory8(addr + i);
}

void cglClearMemArea32(word32 addr, word32 blen, word32 val)
{
    word32 i;
    for (i = 0; i < blen; ++i)
        cglWriteMemory32(addr + 4 * i, val);
}

void cglClearMemArea16(word32 addr, word32 blen, word32 val)
{
    word32 i;
    for (i = 0; i < blen; ++i)
        cglWriteMemory16(addr + 2 * i, val);
}
