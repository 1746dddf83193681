/* Vertex-processor microcode management. */
#include "vg/al_lx740/vg_al_lx740_ucode.h"

#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/al_lx740/vg_al_lx740_cmdbuf.h"
#include "vg/al_lx740/vg_al_lx740_memory.h"
#include "vg/al_lx740/vg_al_lx740_rect.h"

#define BUSY_AFTER_COPY 0x2A4u
#define CAP_BITS 0x70000u
#define JOIN_BITS 0x700000u
#define DRAW_MODES 7u
#define VP_CONST_FOUR 4u

word32 ucode_path_addr = CGL_NO_ADDRESS, ucode_cmat_addr = CGL_NO_ADDRESS;
word32 ucode_conv_addr = CGL_NO_ADDRESS, ucode_sconv_addr = CGL_NO_ADDRESS;
word32 ucode_path_size, ucode_cmat_size, ucode_conv_size, ucode_sconv_size;
word32 ucode_path_static_size;
word32 currentucodetype;
int VGALVAL_resetdivparam;

static const vgdrawModInf_t *_ovlinfo;
static word32 currentcap, currentjoin;

/* The fixed VP constants: register and four IEEE single floats. */
static const struct {
    word32 reg;
    float v[4];
} vpconst_reg_fixed0[7] = {
    {0, {0.0f, 1.0f, 0.5f, -0.5f}}, {1, {2.0f, 1.5f, 0.5f, 0.0f}},  {2, {0.5f, 0.5f, -0.5f, 0.5f}},
    {3, {9.0f, 10.0f, 11.0f, 12.0f}}, {5, {0.0f, 1.0f, -1.0f, 0.0f}}, {78, {0.0f, 0.0f, 0.0f, 0.0f}},
    {76, {9.0f, 0.0f, 0.0f, 0.0f}},
};

static word32 *const copy_addr[4] = {&ucode_path_addr, &ucode_cmat_addr, &ucode_conv_addr, &ucode_sconv_addr};
static word32 *const copy_size[4] = {&ucode_path_size, &ucode_cmat_size, &ucode_conv_size, &ucode_sconv_size};

int VGALFUNC_al_lx740_ucode_init(void)
{
    int i, entries;
    for (i = 0; i < 4; ++i)
        *copy_addr[i] = CGL_NO_ADDRESS;
    cglWaitBusy(BUSY_AFTER_COPY, 0);
    cglGetModinfInfo(&_ovlinfo, &entries);
    for (i = 0; i < 4; ++i) {
        const word32 *image = NULL;
        word32 size = 0;
        cglGetUcodeInfo(CGL_UCODE_FIRST + i, &size, &image);
        *copy_addr[i] = VGALFUNC_VAlloc((int)size, 1, 32, 32, 0, 0, 0);
        if (*copy_addr[i] == CGL_NO_ADDRESS)
            return 1;
        *copy_size[i] = size;
        VGALFUNC_TVGwriteMemory32(*copy_addr[i], image, size);
        if (i == 0)
            ucode_path_static_size = _ovlinfo[0].codesize * CGL_VP_INST_WORDS;
    }
    cglWaitBusy(BUSY_AFTER_COPY, 0);
    currentucodetype = 0;
    return 0;
}

void VGALFUNC_al_lx740_ucode_terminate(void)
{
    int i;
    for (i = 0; i < 4; ++i) {
        if (*copy_addr[i] != CGL_NO_ADDRESS)
            VGALFUNC_VFree(*copy_addr[i]);
        *copy_addr[i] = CGL_NO_ADDRESS;
    }
    currentucodetype = 0;
}

/* The division constants and every matrix must be sent again after the microcode changed. */
static void mark_matrices(void)
{
    OVGcontext *ctx = VGALVAL_LX740_ALcontexthandle;
    VGALVAL_resetdivparam = 1;
    if (!ctx)
        return;
    ctx->pathUserToSurface.flag |= OVG_MATRIX_DIRTY;
    ctx->imageUserToSurface.flag |= OVG_MATRIX_DIRTY;
    ctx->fillPaintToUser.flag |= OVG_MATRIX_DIRTY;
    ctx->strokePaintToUser.flag |= OVG_MATRIX_DIRTY;
    ctx->glyphUserToSurface.flag |= OVG_MATRIX_DIRTY;
}

void VGALFUNC_al_lx740_ucode_clear_mode(void)
{
    currentucodetype = 0;
    mark_matrices();
}

static void vp_constant_words(word32 reg, const word32 *words, word32 count)
{
    VGALFUNC_lx_writeregs(CGL_OP_VPCONST_WRITE, reg * 4, words, count);
}

/* DMA of `words` instruction words from GPU memory into instruction RAM from address 0. */
static void load_instruction_ram(word32 source, word32 words)
{
    VPCTRLW(LX_DMA_IN_MODE, 1);
    VPCTRLW(LX_DMA_IN_SADDR, source);
    VPCTRLW(LX_DMA_IN_DADDR, 0);
    VPCTRLW(LX_TE_SYNC, 0);
    WAITCMDDONE();
    VPCTRLW(LX_DMA_IN_COUNT, words - 1);
    VPCTRLW(LX_TE_SYNC, 0);
    WAITCMDDONE();
}

void VGALFUNC_setpathucodeentry(void)
{
    const vgdrawModInf_t *m;
    int i;
    if ((currentucodetype & DRAW_MODES) != 0)
        return;
    VPCTRLW(LX_TE_SYNC, 0);
    for (m = _ovlinfo + 1; m->regaddr != CGL_NO_ADDRESS; ++m) {
        const word32 descriptor[3] = {ucode_path_addr + m->ofs * 12, m->daddr, m->codesize * CGL_VP_INST_WORDS - 1};
        vp_constant_words(m->regaddr, descriptor, 3);
    }
    for (i = 0; i < 7; ++i) {
        word32 words[4];
        int k;
        for (k = 0; k < 4; ++k)
            words[k] = cglFloatTo32F(vpconst_reg_fixed0[i].v[k]);
        vp_constant_words(vpconst_reg_fixed0[i].reg, words, 4);
    }
    {
        const word32 four[4] = {0, 1, 2, 4};
        vp_constant_words(VP_CONST_FOUR, four, 4);
    }
    load_instruction_ram(ucode_path_addr, ucode_path_static_size);
    VPCTRLW(LX_VP_CTRL3, 0);
    VPCTRLW(LX_TE_STACKPT_IADDR, 0);
    currentjoin = currentcap = 0;
}

static void run_entry(word32 entry)
{
    VPCTRLW(LX_TE_SYNC, 0);
    VPCTRLW(LX_VP_IADDR, entry);
    VGALVAL_lx740vpinstaddr = CGL_NO_ADDRESS;
    VPCTRLW(LX_TE_SYNC, 0);
    SETCMD(VGAL_VP_START);
}

void VGALFUNC_al_lx740_ucode_set(word32 ucodemode)
{
    if (ucodemode == currentucodetype)
        return;
    if ((ucodemode & DRAW_MODES) == 0) {
        word32 source = ucode_sconv_addr, size = ucode_sconv_size;
        if ((ucodemode & 0xFFu) == VGAL_UCODE_COLOR_MATRIX)
            source = ucode_cmat_addr, size = ucode_cmat_size;
        else if ((ucodemode & 0xFFu) == VGAL_UCODE_CONVOLVE)
            source = ucode_conv_addr, size = ucode_conv_size;
        VPCTRLW(LX_TE_SYNC, 0);
        VPCTRLW(LX_VP_IADDR, 0);
        VGALVAL_lx740vpinstaddr = CGL_NO_ADDRESS;
        load_instruction_ram(source, size);
        VPCTRLW(LX_TE_STACKPT_IADDR, 0);
        mark_matrices();
    } else if (ucodemode & VGAL_UCODE_STROKE) {
        const word32 cap = ucodemode & CAP_BITS, join = ucodemode & JOIN_BITS;
        if (cap != currentcap) {
            run_entry(cap == VGAL_UCODE_CAP_BUTT ? 66u : cap == VGAL_UCODE_CAP_ROUND ? 64u : 62u);
            currentcap = cap;
        }
        if (join != currentjoin) {
            const VGJoinStyle style = VGALVAL_LX740_ALcontexthandle->strokeJoinStyle;
            run_entry(style == VG_JOIN_MITER ? 56u : style == VG_JOIN_ROUND ? 58u : 60u);
            currentjoin = join;
        }
    }
    currentucodetype = ucodemode;
}
