#ifndef CGL_DEFREGS_H
#define CGL_DEFREGS_H

/* Default register tables, used by the register-block resets of the start-up mode bits. */

#include "cgl.h"

typedef struct cglRegPair {
    word32 reg;
    word32 val;
} cglRegPair;

/* One vertex-processor constant: its components and how many of them are written. */
typedef struct cglConstRecordF {
    word32 reg;
    float val[4];
    word32 n;
} cglConstRecordF;

typedef struct cglConstRecordI {
    word32 reg;
    word32 val[4];
    word32 n;
} cglConstRecordI;

#define MM_REGS_N 6
#define SPC_REGS_N 7
#define XPT_REGS_N 26
#define VPCTRL_REGSI_N 19
#define VPCNST_REGSF_N 48
#define VPCNST_REGSI_N 3
#define RZ_REGS_N 202
#define PE_REGS_VG_N 146
#define PE_REGS_VG_BUFFERS 4

extern const cglRegPair mm_regs[MM_REGS_N];
extern const cglRegPair spc_regs[SPC_REGS_N];
extern const cglRegPair xpt_regs[XPT_REGS_N];
extern const cglRegPair vpctrl_regsi[VPCTRL_REGSI_N];
extern const cglConstRecordF vpcnst_regsf[VPCNST_REGSF_N];
extern const cglConstRecordI vpcnst_regsi[VPCNST_REGSI_N];
extern const cglRegPair rz_regs[RZ_REGS_N];
extern cglRegPair pe_regs_vg[PE_REGS_VG_N];

#endif
