#ifndef CGL_PACKET_H
#define CGL_PACKET_H

#include "cgl_types.h"

/* Command packets (command FIFO and command buffers): a header word, opcode in bits 31-24,
 * first register in bits 23-12, number of data words (1 to 4095) in bits 11-0, then the data
 * words for consecutive registers. */
#define CGL_OP_CF_WRITE 0x42u      /* CFReg */
#define CGL_OP_VPCONST_WRITE 0x43u /* VPConstReg: register field = constant x 4 + component */
#define CGL_OP_VPIRAM_LOAD 0x44u   /* instruction RAM: bits 23-14 = index within the bank */
#define CGL_OP_VPCTRL_WRITE 0x45u  /* VPCtrlReg */
#define CGL_OP_XPT_WRITE 0x46u     /* XPTReg */
#define CGL_OP_RZ_WRITE 0x47u      /* RZReg */
#define CGL_OP_PE_WRITE 0x48u      /* PEReg */
#define CGL_OP_PE_TABLE_WRITE 0x49u /* pixel-engine table memory at LX_PE_OVG_TABLE_ADDR */
#define CGL_OP_VP_START 0xA0u     /* one word, no data: the vertex processor runs from LX_VP_IADDR */
#define CGL_OP_VP_DATA 0x80u      /* count data words that the vertex processor's current entry reads */
#define CGL_OP_VPCONST_READ 0x52u  /* read packets carry no data words */
#define CGL_OP_CF_READ 0x55u
#define CGL_OP_XPT_READ 0x56u

#define CGL_PKT_MAX_WORDS 4095u
#define CGL_PKT_HEADER(op, reg, count) \
    (((word32)(op) << 24) | (((word32)(reg) & 0xfffu) << 12) | ((word32)(count) & 0xfffu))
#define CGL_PKT_OPCODE(h) ((word32)(h) >> 24)
#define CGL_PKT_REG(h) (((word32)(h) >> 12) & 0xfffu)
#define CGL_PKT_COUNT(h) ((word32)(h) & 0xfffu)

/* Follows every command-FIFO packet when LX_MISC_CTRL bit 0 is on, and every SPC-FIFO command
 * when bit 1 is on. Command buffers carry no terminators. */
#define CGL_TERMINATOR 0xdecafaceu
#define CGL_MISC_CTRL_CFIFO_TERM 0x1u
#define CGL_MISC_CTRL_SFIFO_TERM 0x2u

/* Instruction RAM: one instruction is three words; banks of 1024 instructions. */
#define CGL_VP_INST_WORDS 3u
#define CGL_VP_IRAM_BANK_INSTS 1024u

/* SPC-FIFO words: register in bits 27-16, command in bits 15-12. */
#define CGL_SPC_CMD(w) (((word32)(w) >> 12) & 0xfu)
#define CGL_SPC_REG(w) (((word32)(w) >> 16) & 0xfffu)
#define CGL_SPC_RECT 0x1000u       /* + dest pos, size - 1, source pos */
#define CGL_SPC_RECT_FLIP 0x4u     /* vertical flip of a rectangle copy */
#define CGL_SPC_FILL 0x9000u       /* + x | y << 16, (w - 1) | (h - 1) << 16, RGBA8888 colour */
#define CGL_SPC_WRITE_SPC 0xb000u  /* + pairs - 1 in bits 1-0 */
#define CGL_SPC_READ_SPC 0xc000u
#define CGL_SPC_SYNC 0xd000u
#define CGL_SPC_WRITE_PE 0xe000u
#define CGL_SPC_MAX_PAIRS 4u

/* Interrupt bits (LX_INTR_MASK, LX_INTR_CLEAR, LX_INTR_STAT). */
#define CGL_INTR_XPT_SYNC 0x00000008u   /* LX_XPT_SYNC = 1 */
#define CGL_INTR_MMU 0x00000006u        /* masked in while the GPU MMU is on */
#define CGL_INTR_PE_SYNC 0x01000000u    /* LX_PE_OVG_SYNC = 1 */
#define CGL_INTR_TE_SYNC 0x02000000u    /* LX_TE_SYNC = 1 */
#define CGL_INTR_SPC_SYNC 0x10000000u   /* SPC sync command */
#define CGL_INTR_READBACK 0x20000000u   /* a read's value is in LX_READBACK */
#define CGL_INTR_COPY_DONE 0x40000000u  /* copy engine started by LX_PE_OVG_CP_START */
#define CGL_INTR_DMA_IN_DONE 0x80000000u /* instruction-RAM DMA started by LX_DMA_IN_COUNT */

/* Busy bits (LX_BUSY_STAT). */
#define CGL_BUSY_CMD_MASTER 0x2u   /* clear before a command buffer is started */
#define CGL_BUSY_AFTER_COPY 0x2a4u /* units that must be idle after a copy-engine copy */
#define CGL_BUSY_ALL 0x1fffu       /* bits 0-12: the whole GPU */

/* One copy-area table entry before packing; only bit 0 of each flag is used. A block is at
 * most 2048 x 2048 pixels. */
typedef struct caTable {
    word32 saddr, daddr;   /* GPU addresses of the first source and destination pixels */
    word32 soff, doff;     /* line skips in pixels */
    word32 sxsize, sysize; /* width and height */
    uint16_t cdm, cpw, rvd, dame, same;
} caTable;

#define CGL_CAT_WORDS 4u
#define CGL_CAT_PIXEL_SIZE_MASK 0xfc000000u
#define CGL_CAT_PIXEL_32BPP 0x0u
#define CGL_CAT_PIXEL_16BPP 0x04000000u
#define CGL_CAT_PIXEL_8BPP 0x08000000u

/* LX_IP_REV low byte: bit 4 chooses configuration value 0 (256 or 512), bits 0-2 give
 * configuration value 1 = 512 x (field + 1). */
#define CGL_IP_REV_CONFIG0_BIT 0x10u
#define CGL_IP_REV_CONFIG1_MASK 0x7u

#endif
