/* Command buffers of the acceleration layer and the packet writers into them. */
#include "vg/al_lx740/vg_al_lx740_cmdbuf.h"

#include <stdint.h>
#include <string.h>

#include "cgl_assert.h"
#include "vg/al_lx740/vg_al_lx740_rect.h"

word32 VGALVAL_lx740cmdbuffer_addr[VGAL_CMDBUFFER_COUNT] = {CGL_NO_ADDRESS, CGL_NO_ADDRESS, CGL_NO_ADDRESS};
int VGALVAL_lx740cmdbuffer_sel;
word32 VGALVAL_lx740cmdbuffer;
word32 *VGALVAL_lx740cmdbuffer_direct;
word32 VGALVAL_lx740cmdbuffer_size;
word32 VGALVAL_lx740cmdbuffer_count;

#define PE_SYNC_INTERRUPT 0x01000000u

static void select_buffer(int sel)
{
    VGALVAL_lx740cmdbuffer_sel = sel;
    VGALVAL_lx740cmdbuffer = VGALVAL_lx740cmdbuffer_addr[sel];
    VGALVAL_lx740cmdbuffer_direct = (word32 *)(CglTxMemBase + VGALVAL_lx740cmdbuffer);
    VGALVAL_lx740cmdbuffer_count = 0;
}

int VGALFUNC_lx_cmdbuffer_alloc(void)
{
    int i;
    for (i = 0; i < VGAL_CMDBUFFER_COUNT; ++i)
        VGALVAL_lx740cmdbuffer_addr[i] = VGALFUNC_VAlloc(VGAL_CMDBUFFER_WORDS, 1, 32, 64, 0, 0, 0);
    for (i = 0; i < VGAL_CMDBUFFER_COUNT; ++i)
        if (VGALVAL_lx740cmdbuffer_addr[i] == CGL_NO_ADDRESS) {
            VGALFUNC_lx_cmdbuffer_free();
            return 0;
        }
    select_buffer(0);
    VGALVAL_lx740cmdbuffer_size = VGAL_CMDBUFFER_WORDS;
    return 1;
}

/* Freed addresses become "none", so a second release frees nothing. */
void VGALFUNC_lx_cmdbuffer_free(void)
{
    int i;
    for (i = 0; i < VGAL_CMDBUFFER_COUNT; ++i) {
        if (VGALVAL_lx740cmdbuffer_addr[i] != CGL_NO_ADDRESS)
            VGALFUNC_VFree(VGALVAL_lx740cmdbuffer_addr[i]);
        VGALVAL_lx740cmdbuffer_addr[i] = CGL_NO_ADDRESS;
    }
    VGALVAL_lx740cmdbuffer_sel = 0;
    VGALVAL_lx740cmdbuffer = 0;
    VGALVAL_lx740cmdbuffer_direct = NULL;
    VGALVAL_lx740cmdbuffer_size = 0;
    VGALVAL_lx740cmdbuffer_count = 0;
}

static void start_buffer(void)
{
    cglWriteMemReg32(LX_CM_ADDR, VGALVAL_lx740cmdbuffer);
    cglWriteMemReg32(LX_CM_WCOUNT, VGALVAL_lx740cmdbuffer_count - 1);
}

static void next_buffer(void)
{
    cglSetCFifoAvailable(0);
    select_buffer((VGALVAL_lx740cmdbuffer_sel + 1) % VGAL_CMDBUFFER_COUNT);
}

void RUNCME(void)
{
    if (VGALVAL_lx740cmdbuffer_count == 0)
        return;
    cglWaitBusy(CGL_BUSY_CMD_MASTER, 0);
    start_buffer();
    next_buffer();
}

void CHECKAVAIL(word32 words)
{
    if (VGALVAL_lx740cmdbuffer_count + words > VGALVAL_lx740cmdbuffer_size)
        RUNCME();
}

void SETCMDA(const word32 *words, word32 count)
{
    CGL_ASSERT(count <= VGALVAL_lx740cmdbuffer_size, "count <= VGALVAL_lx740cmdbuffer_size");
    CHECKAVAIL(count);
    memcpy(VGALVAL_lx740cmdbuffer_direct + VGALVAL_lx740cmdbuffer_count, words, (size_t)count * sizeof(word32));
    VGALVAL_lx740cmdbuffer_count += count;
}

void SETCMD(word32 word)
{
    SETCMDA(&word, 1);
}

static void write_one(word32 opcode, word32 reg, word32 value)
{
    word32 packet[2];
    packet[0] = CGL_PKT_HEADER(opcode, reg, 1);
    packet[1] = value;
    SETCMDA(packet, 2);
}

/* One packet of a run: header and data words, written in place. */
static void write_packet(word32 opcode, word32 first, const word32 *values, word32 count)
{
    CHECKAVAIL(count + 1);
    VGALVAL_lx740cmdbuffer_direct[VGALVAL_lx740cmdbuffer_count] = CGL_PKT_HEADER(opcode, first, count);
    memcpy(VGALVAL_lx740cmdbuffer_direct + VGALVAL_lx740cmdbuffer_count + 1, values, (size_t)count * sizeof(word32));
    VGALVAL_lx740cmdbuffer_count += count + 1;
}

void VGALFUNC_lx_writeregs(word32 opcode, word32 first, const word32 *values, word32 count)
{
    const word32 most = VGALVAL_lx740cmdbuffer_size - 1;
    while (count > 0) {
        word32 n = count < most ? count : most;
        if (opcode == CGL_OP_XPT_WRITE && first < LX_XPT_SWAP && first + n > LX_XPT_SWAP)
            n = LX_XPT_SWAP - first;
        if (opcode == CGL_OP_XPT_WRITE && first == LX_XPT_SWAP && (values[0] & 0x8u))
            write_one(CGL_OP_XPT_WRITE, LX_XPT_EDGE_SCAN_START, 1);
        write_packet(opcode, first, values, n);
        if (opcode != CGL_OP_PE_TABLE_WRITE)
            first += n;
        values += n;
        count -= n;
    }
}

void VGALFUNC_lx_writetable(const word32 *words, word32 count)
{
    VGALFUNC_lx_writeregs(CGL_OP_PE_TABLE_WRITE, 0, words, count);
}

void PEW(word32 reg, word32 value)
{
    write_one(CGL_OP_PE_WRITE, reg, value);
}

void XPTW(word32 reg, word32 value)
{
    VGALFUNC_lx_writeregs(CGL_OP_XPT_WRITE, reg, &value, 1);
}

void RZW(word32 reg, word32 value)
{
    write_one(CGL_OP_RZ_WRITE, reg, value);
}

void VPCTRLW(word32 reg, word32 value)
{
    write_one(CGL_OP_VPCTRL_WRITE, reg, value);
}

void VPCNSTW(word32 component, word32 value)
{
    write_one(CGL_OP_VPCONST_WRITE, component, value);
}

void VPWV(word32 constant, const float *values, word32 count)
{
    word32 words[4];
    word32 i;
    CGL_ASSERT(count <= 4, "count <= 4");
    for (i = 0; i < count; ++i)
        words[i] = cglFloatTo32F(values[i]);
    VGALFUNC_lx_writeregs(CGL_OP_VPCONST_WRITE, constant * 4, words, count);
}

void CFW(word32 reg, word32 value)
{
    write_one(CGL_OP_CF_WRITE, reg, value);
}

void WAITCMDDONE(void)
{
    XPTW(LX_XPT_SYNC_H, 0);
    PEW(LX_PE_OVG_SYNC, 1);
    cglWaitBusy(CGL_BUSY_CMD_MASTER, 0);
    cglWaitIntrOn(PE_SYNC_INTERRUPT);
    start_buffer();
    cglWaitIntr();
    cglWaitIntrOff(PE_SYNC_INTERRUPT);
    next_buffer();
}
