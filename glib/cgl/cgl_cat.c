/* Copy-area table entries of the pixel engine's copy engine. */
#include <string.h>

#include "cgl_internal.h"

#define SIZE_MASK 0x7ffu
#define SKIP_MASK 0x1fffu

void cglClearCAT(caTable* ctbl)
{
    memset(ctbl, 0, sizeof *ctbl);
}

void cglPackCAT(word32 cmode, const caTable* ctbl, word32 out[CGL_CAT_WORDS])
{
    out[0] = (cmode & CGL_CAT_PIXEL_SIZE_MASK) | (((ctbl->sysize - 1) & SIZE_MASK) << 12) |
             ((ctbl->sxsize - 1) & SIZE_MASK);
    out[1] = ((word32)(ctbl->rvd & 1u) << 31) | ((word32)(ctbl->cdm & 1u) << 30) |
             ((word32)(ctbl->cpw & 1u) << 29) | ((ctbl->doff & SKIP_MASK) << 16) |
             ((word32)(ctbl->dame & 1u) << 15) | ((word32)(ctbl->same & 1u) << 14) |
             (ctbl->soff & SKIP_MASK);
    out[2] = ctbl->saddr;
    out[3] = ctbl->daddr;
}

void cglSetCAT(word32 cmode, word32 tblno, const caTable* ctbl)
{
    word32 words[CGL_CAT_WORDS];
    cglPackCAT(cmode, ctbl, words);
    cglWritePETable(0, tblno * 4, words, CGL_CAT_WORDS);
}
