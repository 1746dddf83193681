/* Vertex-processor microcode: the image table, the overlay module table, copying images to
 * GPU memory, publishing the overlay addresses and loading the instruction RAM. */
#include "cgl_internal.h"

#define DMA_IN_FROM_MEMORY 1

/* Record 0 is the resident entry code; the others are overlay modules, each published in a
 * vertex-processor constant. The all-ones record ends the table. */
const vgdrawModInf_t CglVGModinfTable[CGL_MODINF_COUNT] = {
    {0, 0, 0, 875},        {112, 875, 875, 26},   {113, 901, 875, 20},   {114, 921, 901, 46},
    {115, 967, 901, 40},   {116, 1007, 947, 7},   {117, 1014, 947, 1},   {118, 1015, 954, 11},
    {119, 1026, 954, 120}, {120, 1146, 954, 126}, {121, 1272, 954, 97},  {122, 1369, 1080, 11},
    {123, 1380, 1080, 27}, {124, 1407, 1080, 29}, {125, 1436, 1080, 20}, {126, 1456, 1109, 194},
    {127, 1650, 1109, 257}, {128, 1907, 1109, 167}, {129, 2074, 1109, 87}, {130, 2161, 1109, 73},
    {131, 2234, 1109, 347}, {132, 2581, 1109, 458}, {133, 3039, 1109, 223}, {134, 3262, 1109, 261},
    {135, 3523, 1109, 140}, {136, 3663, 1109, 152}, {137, 3815, 1109, 196},
    {0xffffffffu, 0xffffffffu, 0xffffffffu, 0xffffffffu},
};

word32 CglVGGModinfTxAddr[CGL_MODINF_COUNT];
int CglUcodeLoadable = 0;

/* A load through the command FIFO that waits until loading is allowed. */
static const word32* ucodep = NULL;
static word32 ucodeSAddr = 0;
static word32 ucodeCodeN = 0;

static const word32* image_of(int ucname)
{
    if (ucname < CGL_UCODE_FIRST || ucname >= CGL_UCODE_FIRST + CGL_UCODE_COUNT)
        return NULL;
    return CglVGUcodeTable[ucname - CGL_UCODE_FIRST].ptr;
}

void cglucodeLoadable(int mode)
{
    CglUcodeLoadable = mode;
}

int cglGetUcodeInfo(int ucname, word32* ucsize, const word32** pptr)
{
    const word32* image = image_of(ucname);
    if (!image) {
        if (ucsize)
            *ucsize = 0;
        if (pptr)
            *pptr = NULL;
        return 0;
    }
    if (ucsize)
        *ucsize = CglVGUcodeTable[ucname - CGL_UCODE_FIRST].entnum * CGL_VP_INST_WORDS;
    if (pptr)
        *pptr = image;
    return 1;
}

void cglGetModinfInfo(const vgdrawModInf_t** pptr, int* entryN)
{
    if (!pptr)
        return;
    *pptr = CglVGModinfTable;
    if (entryN)
        *entryN = CGL_MODINF_COUNT;
}

word32 cglUcode2Memory(int ucname, word32 addr)
{
    word32 size;
    const word32* image;
    if (!cglGetUcodeInfo(ucname, &size, &image))
        return addr;
    return cglAssignVPInst(addr, size, image);
}

static int is_module_end(const vgdrawModInf_t* rec)
{
    return rec->regaddr == 0xffffffffu;
}

word32 cglVGUcode2Memory(word32 addr)
{
    word32 end = cglUcode2Memory(CGL_UCODE_DRAW, addr);
    int i;
    for (i = 0; i < CGL_MODINF_COUNT && !is_module_end(&CglVGModinfTable[i]); ++i)
        CglVGGModinfTxAddr[i] = addr + CglVGModinfTable[i].ofs * CGL_VP_INST_WORDS * 4;
    cglVGUcodeTableSet();
    return end;
}

void cglVGUcodeTableSet(void)
{
    int i;
    for (i = 0; i < CGL_MODINF_COUNT && !is_module_end(&CglVGModinfTable[i]); ++i) {
        const vgdrawModInf_t* rec = &CglVGModinfTable[i];
        word32 words[3];
        if (rec->regaddr == 0)
            continue;
        words[0] = CglVGGModinfTxAddr[i];
        words[1] = rec->daddr;
        words[2] = rec->codesize * CGL_VP_INST_WORDS - 1;
        cglSetMiscNT(0, 3);
        cglWriteVPConstRegs(rec->regaddr, words, 3);
    }
    cglWriteVPCtrlReg1(LX_VP_CTRL3, 0);
}

void cglVGEntryCode2VPIRam(void)
{
    const vgdrawModInf_t* entry = &CglVGModinfTable[0];
    cglWriteVPCtrlReg1(LX_DMA_IN_MODE, DMA_IN_FROM_MEMORY);
    cglWriteVPCtrlReg1(LX_DMA_IN_SADDR, CglVGGModinfTxAddr[0]);
    cglWriteVPCtrlReg1(LX_DMA_IN_DADDR, entry->daddr >> 2);
    cglWaitIntrOn(CGL_INTR_DMA_IN_DONE);
    cglWriteVPCtrlReg1(LX_DMA_IN_COUNT, entry->codesize * CGL_VP_INST_WORDS - 1);
    cglWaitIntr();
    cglWaitIntrOff(CGL_INTR_DMA_IN_DONE);
}

int cglLoadVPucode(word32 saddr, word32 codeN, const word32* ucode)
{
    word32 saved_misc_nt;
    if (!ucodep) {
        ucodep = ucode;
        ucodeSAddr = saddr & ~3u;
        ucodeCodeN = codeN;
    } else if (ucode) {
        return 0;
    }
    if (!CglUcodeLoadable)
        return 0;
    if (!ucodep || ucodeCodeN == 0) {
        ucodep = NULL;
        ucodeCodeN = 0;
        return 0;
    }

    saved_misc_nt = cglReadCFReg(LX_CF_MISC_NT, CGL_READBACK_WAIT);
    cglSetMiscNT(0, 3);
    while (ucodeCodeN > 0) {
        word32 index = (ucodeSAddr >> 2) & (CGL_VP_IRAM_BANK_INSTS - 1);
        word32 n = CGL_VP_IRAM_BANK_INSTS - index;
        if (n > ucodeCodeN)
            n = ucodeCodeN;
        cglWriteVPCtrlReg1(LX_TE_IRAM_BANK, (ucodeSAddr >> 12) & 3u);
        cglWriteCFifo32(((word32)CGL_OP_VPIRAM_LOAD << 24) | (index << 14) | (n * CGL_VP_INST_WORDS));
        cglWriteCFifo32A(ucodep, n * CGL_VP_INST_WORDS);
        if (CglCFifoTermon)
            cglWriteCFifo32(CGL_TERMINATOR);
        ucodeSAddr += 4 * n;
        ucodep += n * CGL_VP_INST_WORDS;
        ucodeCodeN -= n;
    }
    ucodep = NULL;
    cglWriteCFReg1(LX_CF_MISC_NT, saved_misc_nt);
    return 1;
}
