/* Converting copies by the SPC pixel-copy unit: texture unit 1 reads the source, the pixel
 * engine converts and writes the colour buffer pointed at the destination. SPC positions are 11
 * bits, so destinations reaching past 2047 are sent in blocks addressed from their own origin. */
#include "vg/al_lx740/vg_al_lx740_copy.h"

#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/al_lx740/vg_al_lx740_clear.h"
#include "vg/al_lx740/vg_al_lx740_cmdbuf.h"
#include "vg/al_lx740/vg_al_lx740_swcopy.h"
#include "vg/al_lx740/vg_al_lx740_transfer.h"

#define BLOCK 2048LL
#define CACHE_LINE 256u
#define CTXDIRTY_AFTER_COPY 0xC0001084u /* bits 31, 30, 12, 7 and 2 */
#define LINE_8192 0x20000000u           /* colour-buffer line length of 8192 pixels */
#define TEXTURE_8192_BY_1 0x12000u
#define ALIGN 32LL

/* One SPC rectangle: destination position and size, source position, and the row mirror. */
typedef struct spcrect {
    long long x, y, w, h, u, v;
    word32 flip;
} spcrect;

static long long smaller(long long a, long long b)
{
    return a < b ? a : b;
}

static void send_rect(const spcrect *r)
{
    const word32 words[4] = {
        CGL_SPC_RECT | r->flip,
        (word32)r->x | (word32)r->y << 16,
        (word32)(r->w - 1) | (word32)(r->h - 1) << 16,
        (word32)r->u | (word32)r->v << 16,
    };
    VGALFUNC_lx_spc_command(words, 4);
}

/* Pixel-engine writes through the SPC FIFO, in stream order with the rectangles. */
static void spc_pe_writes(word32 reg0, word32 value0, word32 reg1, word32 value1, int pairs)
{
    const word32 words[4] = {CGL_SPC_WRITE_PE | reg0 << 16 | (word32)(pairs - 1), value0, reg1 << 16, value1};
    VGALFUNC_lx_spc_command(words, (word32)pairs * 2u);
}

static void after_block(void)
{
    spc_pe_writes(LX_PE_OVG_CCACHE_FLUSH, 1, 0, 0, 1);
}

static void after_line(void)
{
    spc_pe_writes(LX_PE_OVG_CCACHE_FLUSH, 1, LX_PE_OVG_TXC_INVAL, 3, 2);
}

static word32 address_register(void)
{
    word32 adr, fmt;
    VGALFUNC_lx_colour_buffer_registers(&adr, &fmt);
    return adr;
}

static word32 format_register(void)
{
    word32 adr, fmt;
    VGALFUNC_lx_colour_buffer_registers(&adr, &fmt);
    return fmt;
}

static word32 line_length(void)
{
    return (word32)((long long)VGALVAL_dst_stride * 8 / VGALVAL_dst_bpp);
}

static void texture_source(void)
{
    PEW(LX_PE_OVG_TX1_ADDR, (word32)VGALVAL_src_addr);
    PEW(LX_PE_OVG_TX1_SIZE, (word32)VGALVAL_src_twidth | (word32)VGALVAL_src_theight << 16);
}

/* The colour buffer at the destination and the texture at the source; multisample: the
 * destination line length in pixels and four samples a pixel. */
static void colour_buffer_setup(int multisample, int cache_line)
{
    PEW(address_register(), (word32)VGALVAL_dst_addr);
    PEW(format_register(),
        VGALVAL_dst_format_lx | (multisample ? (word32)VGALVAL_dst_twidth : line_length()) << 16);
    texture_source();
    if (multisample)
        PEW(LX_PE_OVG_MSAA_ENABLE, 1);
    if (cache_line)
        PEW(LX_PE_OVG_MAX_CCACHE_LLEN, CACHE_LINE);
    WAITCMDDONE();
}

/* The clipped region with the source offsets, and the destination offsets when asked. */
static int place(int dx, int dy, const OVGrect *rect, int destination_offsets, spcrect *r)
{
    const VGALcopywork *c = &VGALVAL_copywork;
    if (CheckRegion(dx, dy, rect))
        return 0;
    r->u = (long long)c->rsx + VGALVAL_src_x;
    r->v = (long long)c->rsy + VGALVAL_src_y;
    r->x = c->rdx + (destination_offsets ? (long long)VGALVAL_dst_x : 0);
    r->y = c->rdy + (destination_offsets ? (long long)VGALVAL_dst_y : 0);
    r->w = c->rw;
    r->h = c->rh;
    r->flip = 0;
    return 1;
}

/* Rows stored bottom-up are counted from the other end; one mirrored side flips the copy. */
static void apply_flips(spcrect *r)
{
    if (VGALVAL_dst_flip)
        r->y = VGALVAL_dst_height - r->y - r->h;
    if (VGALVAL_src_flip)
        r->v = VGALVAL_src_height - r->v - r->h;
    r->flip = (VGALVAL_dst_flip != 0) != (VGALVAL_src_flip != 0) ? CGL_SPC_RECT_FLIP : 0u;
}

/* The destination in blocks of 2048 x 2048, each addressed from its own origin. A mirrored
 * copy takes each block's rows from the other end of the source region. */
static void blocks(const spcrect *r)
{
    const word32 adr = address_register();
    long long y, x;
    for (y = r->y; y < r->y + r->h; y = (y / BLOCK + 1) * BLOCK) {
        const long long rows = smaller((y / BLOCK + 1) * BLOCK, r->y + r->h) - y;
        const long long rows_done = y - r->y;
        for (x = r->x; x < r->x + r->w; x = (x / BLOCK + 1) * BLOCK) {
            const long long columns = smaller((x / BLOCK + 1) * BLOCK, r->x + r->w) - x;
            const long long block = (long long)VGALVAL_dst_addr + (y / BLOCK) * BLOCK * VGALVAL_dst_stride +
                                    (x / BLOCK) * BLOCK * VGALVAL_dst_bpp / 8;
            spcrect b;
            b.x = x % BLOCK;
            b.y = y % BLOCK;
            b.w = columns;
            b.h = rows;
            b.u = r->u + (x - r->x);
            b.v = r->flip ? r->v + r->h - rows_done - rows : r->v + rows_done;
            b.flip = r->flip;
            spc_pe_writes(adr, (word32)block, 0, 0, 1);
            send_rect(&b);
            after_block();
        }
    }
}

void VGALFUNC_lx_copy_spc(int dx, int dy, const OVGrect *rect)
{
    spcrect r;
    if (!place(dx, dy, rect, 1, &r))
        return;
    apply_flips(&r);
    ChooseFormat();
    CopyInit();
    PEW(LX_PE_OVG_MAX_CCACHE_LLEN, CACHE_LINE);
    if (r.w + r.x > BLOCK || r.h + r.y > BLOCK) {
        PEW(format_register(), VGALVAL_dst_format_lx | line_length() << 16);
        texture_source();
        WAITCMDDONE();
        blocks(&r);
    } else {
        colour_buffer_setup(0, 0);
        send_rect(&r);
    }
    VGALFUNC_lx_spc_copy_end(CTXDIRTY_AFTER_COPY);
}

void VGALFUNC_lx_copy_spc_scale(int dx, int dy, const OVGrect *rect)
{
    spcrect r;
    if (!place(dx, dy, rect, 1, &r))
        return;
    apply_flips(&r);
    ChooseFormat();
    CopyInit();
    colour_buffer_setup(1, 1);
    send_rect(&r);
    VGALFUNC_lx_spc_copy_end(CTXDIRTY_AFTER_COPY);
}

/* Row by row through the spans of the scissor rectangles; the destination is the surface. */
static void scissored(int dx, int dy, const OVGrect *rect, int multisample)
{
    spcrect r, row;
    long long k, vstep, ystep;
    int entries;
    if (!place(dx, dy, rect, 0, &r))
        return;
    ChooseFormat();
    CopyInit();
    colour_buffer_setup(multisample, 1);
    entries = VGALFUNC_TVGmakeScissorAET((int)r.x, (int)r.y, (int)r.w, (int)r.h);
    if (entries > 0) {
        VGALFUNC_TVGsortAET(0, entries - 1);
        row.flip = 0;
        row.h = 1;
        row.v = VGALVAL_src_flip ? VGALVAL_src_height - r.v - 1 : r.v;
        vstep = VGALVAL_src_flip ? -1 : 1;
        row.y = VGALVAL_dst_flip ? VGALVAL_dst_height - r.y - 1 : r.y;
        ystep = VGALVAL_dst_flip ? -1 : 1;
        for (k = 0; k < r.h; ++k, row.v += vstep, row.y += ystep) {
            const int spans = VGALFUNC_TVGscissorSpans(entries, r.y + k);
            int s;
            for (s = 0; s + 1 < spans; s += 2) {
                const long long x0 = VGALVAL_edge[s], x1 = VGALVAL_edge[s + 1];
                if (x1 == x0)
                    continue;
                row.u = x0 - r.x + r.u;
                row.x = x0;
                row.w = x1 - x0;
                send_rect(&row);
                after_line();
            }
        }
    }
    VGALFUNC_lx_spc_copy_end(CTXDIRTY_AFTER_COPY);
}

void VGALFUNC_lx_copy_spc_scissor(int dx, int dy, const OVGrect *rect)
{
    scissored(dx, dy, rect, 0);
}

void VGALFUNC_lx_copy_spc_scale_scissor(int dx, int dy, const OVGrect *rect)
{
    scissored(dx, dy, rect, 1);
}

/* One line in pieces that never reach past x = 2047 of the colour buffer: the line address is
 * taken down to 32 bytes and whole blocks of 2048 pixels. */
static void one_line(word32 adr, long long dline, long long sline, long long x, long long u, long long w)
{
    const long long bpp = VGALVAL_dst_bpp;
    long long addr = dline, done = 0;
    int first = 1;
    if (VGALVAL_dst_stride % ALIGN != 0) {
        const long long rest = ((addr % ALIGN) + ALIGN) % ALIGN;
        addr -= rest;
        x += rest * 8 / bpp;
    }
    addr += (x / BLOCK) * bpp * 256;
    x %= BLOCK;
    while (done < w) {
        spcrect piece;
        piece.x = first ? x : 0;
        piece.y = 0;
        piece.w = smaller(BLOCK - piece.x, w - done);
        piece.h = 1;
        piece.u = u + done;
        piece.v = 0;
        piece.flip = 0;
        if (first)
            spc_pe_writes(adr, (word32)addr, LX_PE_OVG_TX1_ADDR, (word32)sline, 2);
        else
            spc_pe_writes(adr, (word32)addr, 0, 0, 1);
        send_rect(&piece);
        done += piece.w;
        addr += bpp * 256;
        first = 0;
    }
    after_line();
}

void VGALFUNC_lx_copy_spc_line_by_line(int dx, int dy, const OVGrect *rect)
{
    const word32 adr = address_register();
    long long k, sline, dline, sstep, dstep;
    spcrect r;
    if (!place(dx, dy, rect, 1, &r))
        return;
    sstep = VGALVAL_src_stride;
    dstep = VGALVAL_dst_stride;
    if (VGALVAL_src_flip) {
        r.v = VGALVAL_src_height - r.v - 1;
        sstep = -sstep;
    }
    if (VGALVAL_dst_flip) {
        r.y = VGALVAL_dst_height - r.y - 1;
        dstep = -dstep;
    }
    sline = (long long)VGALVAL_src_addr + (long long)VGALVAL_src_stride * r.v;
    dline = (long long)VGALVAL_dst_addr + (long long)VGALVAL_dst_stride * r.y;
    ChooseFormat();
    CopyInit();
    PEW(format_register(), VGALVAL_dst_format_lx | LINE_8192);
    PEW(LX_PE_OVG_TX1_SIZE, TEXTURE_8192_BY_1);
    PEW(LX_PE_OVG_MAX_CCACHE_LLEN, CACHE_LINE);
    WAITCMDDONE();
    for (k = 0; k < r.h; ++k, sline += sstep, dline += dstep)
        one_line(adr, dline, sline, r.x, r.u, r.w);
    VGALFUNC_lx_spc_copy_end(CTXDIRTY_AFTER_COPY);
}
