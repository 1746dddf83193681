/* Command recording: command-FIFO words go to the GPU (mode 1), into the caller's buffer only
 * (mode 2) or both (mode 3). SPC-FIFO words always go to the GPU. */
#include "cgl_internal.h"

cpDumpStat CglCpDumpStat = {NULL, 0, CGL_DUMP_EXECUTE};

void cglSetCPktData(word32 word)
{
    CglCpDumpStat.ptr[CglCpDumpStat.count] = word;
    CglCpDumpStat.count++;
}

void cglPutCFifo32_S(word32 word)
{
    cglSetCPktData(word);
}

void cglPutCFifo32_SE(word32 word)
{
    cglSetCPktData(word);
    cglPutCFifo32_E(word);
}

void cglSetCFifo32Cmd(word32 mode)
{
    switch (mode) {
    case CGL_DUMP_RECORD:
        CglPutCFifoFunc = cglPutCFifo32_S;
        break;
    case CGL_DUMP_RECORD_EXECUTE:
        CglPutCFifoFunc = cglPutCFifo32_SE;
        break;
    default:
        CglPutCFifoFunc = cglPutCFifo32_E;
        break;
    }
}

void cglSetSFifo32Cmd(word32 mode)
{
    (void)mode;
    CglPutSFifoFunc = cglPutSFifo32_E;
}

static void install_writers(void)
{
    cglSetCFifo32Cmd(CglCpDumpStat.mode);
    cglSetSFifo32Cmd(CglCpDumpStat.mode);
}

void cglBeginCmdDump(word32* cmdlist, word32 mode)
{
    CglCpDumpStat.mode = mode;
    CglCpDumpStat.ptr = cmdlist;
    CglCpDumpStat.count = 0;
    install_writers();
}

word32 cglEndCmdDump(void)
{
    CglCpDumpStat.ptr = NULL;
    CglCpDumpStat.mode = CGL_DUMP_EXECUTE;
    install_writers();
    return CglCpDumpStat.count;
}

void cglPendingCmdDump(word32** cmdlist, word32* mode, word32* length)
{
    *cmdlist = CglCpDumpStat.ptr;
    *mode = CglCpDumpStat.mode;
    *length = CglCpDumpStat.count;
    CglCpDumpStat.mode = CGL_DUMP_EXECUTE;
    install_writers();
}

void cglRestoreCmdDumpStat(word32* cmdlist, word32 mode, word32 length)
{
    CglCpDumpStat.ptr = cmdlist;
    CglCpDumpStat.mode = mode;
    CglCpDumpStat.count = length;
    install_writers();
}

void cglCallCmdDump(const word32* cmdlist, word32 length)
{
    cglWriteCFifo32A(cmdlist, length);
}

word32 cglCheckCmdDumpMode(word32 m)
{
    return CglCpDumpStat.mode & m;
}

int cglCmdDumpModeEqual(word32 m)
{
    return CglCpDumpStat.mode == m;
}
