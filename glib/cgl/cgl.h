#ifndef CGL_H
#define CGL_H

/* The LX740 register library: register writers that form command packets and SPC-FIFO
 * words, read-back, GPU memory access, GPU start-up, command recording and microcode. */

#include <stddef.h>

#include "cgl_memreg.h"
#include "cgl_packet.h"
#include "cgl_platform.h"
#include "cgl_types.h"
#include "cgl_unitreg.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ---- FIFO word output ---- */
void cglWriteCFifo32(word32 data);
void cglWriteCFifo32A(const word32* data, word32 num);
void cglWriteSFifo32(word32 data);
void cglWriteSFifo32A(const word32* data, word32 num);

/* ---- Register writers ---- */
word32 cglFloatTo32F(float value);
void cglWriteCFRegs(word32 regno, const word32* words, word32 num);
void cglWriteCFReg1(word32 regno, word32 value);
void cglWriteVPConstRegs(word32 regno, const word32* words, word32 nelem);
void cglWriteVPConstRegsf(word32 regno, const float* values, word32 nelem);
void cglWriteVPConstReg1(word32 regno, word32 value);
void cglWriteVPConstReg1f(word32 regno, float value);
void cglWriteVPCtrlReg1(word32 regno, word32 value);
void cglWriteXPTRegs(word32 regno, const word32* words, word32 num);
void cglWriteXPTRegsf(word32 regno, const float* values, word32 num);
void cglWriteXPTReg1(word32 regno, word32 value);
void cglWriteXPTReg1f(word32 regno, float value);
void cglWriteRZRegs(word32 regno, const word32* words, word32 num);
void cglWriteRZRegsf(word32 regno, const float* values, word32 num);
void cglWriteRZReg1(word32 regno, word32 value);
void cglWriteRZReg1f(word32 regno, float value);
void cglWritePERegs(word32 regno, const word32* words, word32 num);
void cglWritePEReg1(word32 regno, word32 value);
void cglWritePETable(word32 tbltype, word32 addr, const word32* words, word32 nitem);

/* SPC registers; each call ends with an SPC sync. */
void cglWriteSPCRegs(const word32* regns, const word32* vals, word32 num);
void cglWriteSPCReg1(word32 regno, word32 val);

/* ---- Read-back: with bit 1 (value 2) of sw the value is waited for and returned. ---- */
#define CGL_READBACK_WAIT 0x2
word32 cglReadCFReg(word32 regno, int sw);
word32 cglReadXPTReg(word32 regno, int sw);
word32 cglReadVPConstReg(word32 regno, word32 eoff, int sw);
word32 cglReadSPCReg(word32 regno, int sw);
word32 cglReadbackData(const word32* tcmd, word32 cmdlen, int sw);
word32 cglReadbackSPCData(const word32* tcmd, word32 cmdlen, int sw);

/* ---- Vertex-processor input types ---- */
word32 cglVPInputNTCode(int type, int size);
void cglSetMiscNT(int type, int size);
void cglSetVPInputNT(int vno, int type, int size, int setf);
void cglSetAllVPInputNT(int type, int size, int setf);
void cglFlushVPInputNT(void);
/* Shadow of LX_CF_NTC0 and LX_CF_NTC1. */
extern word32 vCFReg[2];

/* ---- Configuration: type 0 gives 256 or 512, type 1 gives 512 to 4096, others -1. ---- */
int cglGetLXConfig(int type);

/* ---- Copy-area table ---- */
void cglClearCAT(caTable* ctbl);
void cglSetCAT(word32 cmode, word32 tblno, const caTable* ctbl);
void cglPackCAT(word32 cmode, const caTable* ctbl, word32 out[CGL_CAT_WORDS]);

/* ---- GPU memory access by GPU address ---- */
void cglWriteMemory32(word32 addr, word32 data);
word32 cglReadMemory32(word32 addr);
void cglWriteMemory16(word32 addr, word32 data);
word32 cglReadMemory16(word32 addr);
void cglWriteMemory8(word32 addr, word32 data);
word32 cglReadMemory8(word32 addr);
void cglWriteMemory32A(word32 addr, const word32* data, word32 nitems);
void cglWriteMemory16A(word32 addr, const uint16_t* data, word32 nitems);
void cglWriteMemory8A(word32 addr, const uint8_t* data, word32 nitems);
void cglReadMemory32A(word32 addr, word32* data, word32 nitems);
void cglReadMemory16A(word32 addr, uint16_t* data, word32 nitems);
void cglReadMemory8A(word32 addr, uint8_t* data, word32 nitems);
void cglClearMemArea32(word32 addr, word32 blen, word32 val);
void cglClearMemArea16(word32 addr, word32 blen, word32 val);

/* ---- Buffer assignment: each returns the first GPU address after its layout. ---- */
word32 cglAssignVPInst(word32 addr, word32 size, const word32* data);
word32 cglAssignAMBuf(word32 addr, word32 w, word32 h, word32 bpp);
word32 cglAssignCBufVG(word32 addr, word32 w, word32 h, word32 bpp);
word32 cglAssignXPTBuf(word32 addr, word32 xsize, word32 ysize, word32 sm);

/* ---- Start-up ---- */
/* cglInit mode bits. */
#define CGL_INIT_MM_REGS 0x2
#define CGL_INIT_TEVG_REGS 0x4
#define CGL_INIT_RZ_REGS 0x10
#define CGL_INIT_PE_REGS 0x20
#define CGL_INIT_SPC_REGS 0x40
#define CGL_INIT_XPT_REGS 0x80
#define CGL_INIT_VG_UCODE 0x2000
/* Where the drawing microcode goes, from the start of the GPU memory window. */
#define CGL_VG_UCODE_OFFSET 0x140000u

int cglInit(int mode);
int cglFinish(void);
void cglInitMMRegs(void);
void cglInitTEVGRegs(void);
void cglInitXPTRegs(void);
void cglInitRZRegs(void);
void cglInitPERegs(void);
void cglInitSPCRegs(void);
/* The revision identification text printed at start-up. */
extern const char CglRevisionId[];

/* ---- Command recording ---- */
typedef struct cpDumpStat {
    word32* ptr;  /* recording buffer, owned by the caller; must hold every recorded word */
    word32 count; /* words recorded */
    word32 mode;  /* 1 execute, 2 record only, 3 record and execute; others as 1 */
} cpDumpStat;
#define CGL_DUMP_EXECUTE 1u
#define CGL_DUMP_RECORD 2u
#define CGL_DUMP_RECORD_EXECUTE 3u
extern cpDumpStat CglCpDumpStat;

void cglBeginCmdDump(word32* cmdlist, word32 mode);
word32 cglEndCmdDump(void);
void cglPendingCmdDump(word32** cmdlist, word32* mode, word32* length);
void cglRestoreCmdDumpStat(word32* cmdlist, word32 mode, word32 length);
void cglCallCmdDump(const word32* cmdlist, word32 length);
word32 cglCheckCmdDumpMode(word32 m);
int cglCmdDumpModeEqual(word32 m);
void cglSetCPktData(word32 word);
void cglSetCFifo32Cmd(word32 mode);
void cglSetSFifo32Cmd(word32 mode);
void cglPutCFifo32_S(word32 word);
void cglPutCFifo32_SE(word32 word);

/* ---- Microcode ---- */
typedef struct UcodeEntry_t {
    const word32* ptr; /* image, three words per instruction */
    word32 addr;
    word32 entnum;     /* instructions */
    word32 txaddr;
} UcodeEntry_t;

typedef struct vgdrawModInf_t {
    word32 regaddr;  /* vertex-processor constant that publishes the module (0: none) */
    word32 ofs;      /* first instruction within the draw image */
    word32 daddr;    /* instruction-RAM address where the module runs */
    word32 codesize; /* instructions */
} vgdrawModInf_t;

#define CGL_UCODE_FIRST 20
#define CGL_UCODE_DRAW 20
#define CGL_UCODE_MTX 21
#define CGL_UCODE_CONV 22
#define CGL_UCODE_SPCONV 23
#define CGL_UCODE_COUNT 4
#define CGL_MODINF_COUNT 28 /* records, the all-ones terminator included */

extern const UcodeEntry_t CglVGUcodeTable[CGL_UCODE_COUNT];
extern const vgdrawModInf_t CglVGModinfTable[CGL_MODINF_COUNT];
extern word32 CglVGGModinfTxAddr[CGL_MODINF_COUNT];
extern int CglUcodeLoadable;

/* The images themselves (they come with the GPU). */
extern const word32* const vgucode_draw;
extern const word32* const vgucode_mtx;
extern const word32* const vgucode_conv;
extern const word32* const vgucode_spconv;

void cglucodeLoadable(int mode);
int cglGetUcodeInfo(int ucname, word32* ucsize, const word32** pptr);
void cglGetModinfInfo(const vgdrawModInf_t** pptr, int* entryN);
word32 cglUcode2Memory(int ucname, word32 addr);
word32 cglVGUcode2Memory(word32 addr);
void cglVGUcodeTableSet(void);
void cglVGEntryCode2VPIRam(void);
int cglLoadVPucode(word32 saddr, word32 codeN, const word32* ucode);

#ifdef __cplusplus
}
#endif

#endif
