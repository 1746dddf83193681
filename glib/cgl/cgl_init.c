/* GPU start-up and shut-down, with the register-block resets of the start-up mode bits. */
#include <stdio.h>

#include "cgl_defregs.h"
#include "cgl_internal.h"

const char CglRevisionId[] = "cgl lx740 register library 1.0";

/* Busy bits that must clear after the memory-mapped reset, in this order. */
static const word32 mm_reset_busy_bits[] = {0x1000, 0x800, 0x400, 0x200, 0x100, 0x80,
                                            0x40,   0x20,  0x8,   0x4,   0x2};

void cglInitMMRegs(void)
{
    size_t i;
    cglSyncCFifoAvailable();
    cglSyncSFifoAvailable();
    cglWaitBusy(0x1000, 0);
    for (i = 0; i < MM_REGS_N; ++i)
        cglWriteMemReg32(mm_regs[i].reg, mm_regs[i].val);
    for (i = 0; i < sizeof mm_reset_busy_bits / sizeof mm_reset_busy_bits[0]; ++i)
        cglWaitBusy(mm_reset_busy_bits[i], 0);
}

void cglInitTEVGRegs(void)
{
    size_t i;
    cglSetMiscNT(0, 4);
    for (i = 0; i < VPCTRL_REGSI_N; ++i)
        cglWriteVPCtrlReg1(vpctrl_regsi[i].reg, vpctrl_regsi[i].val);
    for (i = 0; i < VPCNST_REGSF_N; ++i)
        cglWriteVPConstRegsf(vpcnst_regsf[i].reg, vpcnst_regsf[i].val, vpcnst_regsf[i].n);
    for (i = 0; i < VPCNST_REGSI_N; ++i)
        cglWriteVPConstRegs(vpcnst_regsi[i].reg, vpcnst_regsi[i].val, vpcnst_regsi[i].n);
    cgl_te_sync();
}

void cglInitXPTRegs(void)
{
    size_t i;
    cglSetMiscNT(0, 1);
    for (i = 0; i < XPT_REGS_N; ++i)
        cglWriteXPTReg1(xpt_regs[i].reg, xpt_regs[i].val);
    cgl_xpt_sync();
}

void cglInitRZRegs(void)
{
    size_t i;
    cglSetMiscNT(0, 1);
    for (i = 0; i < RZ_REGS_N; ++i)
        cglWriteRZReg1(rz_regs[i].reg, rz_regs[i].val);
    cgl_pe_sync();
}

void cglInitPERegs(void)
{
    static const word32 buffer_offsets[PE_REGS_VG_BUFFERS] = {0, 0x80000, 0x100000, 0x40000};
    word32 base = cglGetTxmemBase();
    size_t i;
    for (i = 0; i < PE_REGS_VG_BUFFERS; ++i)
        pe_regs_vg[i].val = base + buffer_offsets[i];
    for (i = 0; i < PE_REGS_VG_N; ++i)
        cglWritePEReg1(pe_regs_vg[i].reg, pe_regs_vg[i].val);
    cgl_pe_sync();
}

void cglInitSPCRegs(void)
{
    size_t i;
    for (i = 0; i < SPC_REGS_N; ++i)
        cglWriteSPCReg1(spc_regs[i].reg, spc_regs[i].val);
    cgl_spc_sync();
}

static void load_vg_ucode(void)
{
    cglVGUcode2Memory(cglGetTxmemBase() + CGL_VG_UCODE_OFFSET);
    cglWriteVPCtrlReg1(LX_VP_CTRL3, 0);
    cglVGUcodeTableSet();
    cglVGEntryCode2VPIRam();
    cglWriteVPCtrlReg1(LX_DMA_IN_MODE, 0);
}

int cglInit(int mode)
{
    word32 misc;
    printf("CGL-SID: \"%s\"\n", CglRevisionId);
    cglBeginCmdDump(NULL, CGL_DUMP_EXECUTE);
    pltInit(mode);
    if (mode & CGL_INIT_MM_REGS)
        cglInitMMRegs();
    misc = cglReadMemReg32(LX_MISC_CTRL);
    CglCFifoTermon = (misc & CGL_MISC_CTRL_CFIFO_TERM) != 0;
    CglSFifoTermon = (misc & CGL_MISC_CTRL_SFIFO_TERM) != 0;
    cglucodeLoadable(1);
    if (mode & CGL_INIT_VG_UCODE)
        load_vg_ucode();
    if (mode & CGL_INIT_TEVG_REGS)
        cglInitTEVGRegs();
    if (mode & CGL_INIT_XPT_REGS)
        cglInitXPTRegs();
    if (mode & CGL_INIT_RZ_REGS)
        cglInitRZRegs();
    if (mode & CGL_INIT_PE_REGS)
        cglInitPERegs();
    if (mode & CGL_INIT_SPC_REGS)
        cglInitSPCRegs();
    return 0;
}

int cglFinish(void)
{
    cglucodeLoadable(0);
    pltFinish();
    return 0;
}
