#ifndef CGL_INTERNAL_H
#define CGL_INTERNAL_H

/* Helpers shared by the register library's source files. */

#include "cgl.h"

/* Writes num 32-bit elements (words or floats) to registers from regno on as packets of at
 * most 4095 words; regstep is 1 for register runs and 0 for table memory. */
void cgl_write_packets(word32 opcode, word32 regno, const void* elements, word32 num, word32 regstep);
/* Command-FIFO output of num 32-bit elements (words or floats), chunked like cglWriteCFifo32A. */
void cgl_write_cfifo_elements(const void* elements, word32 num);
/* Synchronous steps: arm the bit, trigger, wait, disarm. */
void cgl_spc_sync(void);
void cgl_pe_sync(void);
void cgl_te_sync(void);
void cgl_xpt_sync(void);

static inline word32 cgl_round_up(word32 value, word32 align)
{
    return (value + align - 1) & ~(align - 1);
}

#endif
