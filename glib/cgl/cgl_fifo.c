/* Word output to the command and SPC FIFOs, in chunks the FIFOs can report as free. */
#include <string.h>

#include "cgl_internal.h"

#define CFIFO_CHUNK 60u
#define SFIFO_CHUNK 120u

void cglWriteCFifo32(word32 data)
{
    cglWaitCFifoAvailable(1);
    CglPutCFifoFunc(data);
}

/* Elements are read bytewise so that float arrays pass as their bit patterns. */
static void write_chunked(const void* elements, word32 num, word32 chunk, void (*wait)(word32),
                          CglPutFifoFunc* put)
{
    const unsigned char* bytes = (const unsigned char*)elements;
    while (num > 0) {
        word32 n = num < chunk ? num : chunk;
        word32 i;
        wait(n);
        for (i = 0; i < n; ++i) {
            word32 word;
            memcpy(&word, bytes + 4 * i, 4);
            (*put)(word);
        }
        bytes += 4 * n;
        num -= n;
    }
}

void cgl_write_cfifo_elements(const void* elements, word32 num)
{
    write_chunked(elements, num, CFIFO_CHUNK, cglWaitCFifoAvailable, &CglPutCFifoFunc);
}

void cglWriteCFifo32A(const word32* data, word32 num)
{
    cgl_write_cfifo_elements(data, num);
}

void cglWriteSFifo32(word32 data)
{
    cglWaitSFifoAvailable(1);
    CglPutSFifoFunc(data);
}

void cglWriteSFifo32A(const word32* data, word32 num)
{
    write_chunked(data, num, SFIFO_CHUNK, cglWaitSFifoAvailable, &CglPutSFifoFunc);
}
