/* Vertex-processor input types: 5-bit codes in LX_CF_NTC0/1 and LX_CF_MISC_NT. */
#include "cgl_internal.h"

#define INPUTS 8
#define INPUTS_IN_FIRST_WORD 6
#define CODE_BITS 5
#define CODE_MASK 0x1fu
#define CODE_OTHER 28u

word32 vCFReg[2] = {0, 0};

word32 cglVPInputNTCode(int type, int size)
{
    word32 scaled = (word32)(size - 1) * 4u;
    if (type == 1 || (type >= 16 && type <= 20))
        return (scaled & 0x1eu) | 1u;
    if (type == 0 || type == 21)
        return scaled & 0x1fu;
    if (type == 2)
        return (scaled & 0x1du) | 2u;
    return CODE_OTHER;
}

void cglSetMiscNT(int type, int size)
{
    cglWriteCFReg1(LX_CF_MISC_NT, cglVPInputNTCode(type, size));
}

static int shadow_word(int vno)
{
    return vno < INPUTS_IN_FIRST_WORD ? 0 : 1;
}

static void set_shadow(int vno, word32 code)
{
    int word = shadow_word(vno);
    int shift = CODE_BITS * (word == 0 ? vno : vno - INPUTS_IN_FIRST_WORD);
    vCFReg[word] = (vCFReg[word] & ~(CODE_MASK << shift)) | (code << shift);
}

void cglSetVPInputNT(int vno, int type, int size, int setf)
{
    if (vno < 0 || vno >= INPUTS)
        return;
    set_shadow(vno, cglVPInputNTCode(type, size));
    if (setf) {
        int word = shadow_word(vno);
        cglWriteCFReg1(LX_CF_NTC0 + (word32)word, vCFReg[word]);
    }
}

void cglSetAllVPInputNT(int type, int size, int setf)
{
    word32 code = cglVPInputNTCode(type, size);
    int vno;
    for (vno = 0; vno < INPUTS; ++vno)
        set_shadow(vno, code);
    if (setf)
        cglFlushVPInputNT();
}

void cglFlushVPInputNT(void)
{
    cglWriteCFRegs(LX_CF_NTC0, vCFReg, 2);
}
