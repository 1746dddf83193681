/* Block copies by the pixel engine's copy engine: one copy-area entry at table position 0 per
 * block of at most 2048 x 2048 pixels, each started and waited for on its own after the command
 * buffer has been drained, so that earlier drawing is complete before the block is read. */
#include "vg/al_lx740/vg_al_lx740_copy.h"

#include "vg/al_lx740/vg_al_lx740_cmdbuf.h"
#include "vg/al_lx740/vg_al_lx740_swcopy.h"
#include "vg/al_lx740/vg_al_lx740_transfer.h"

#define BLOCK 2048LL

typedef struct pixelsize {
    long long bytes;
    word32 code;
} pixelsize;

/* Sub-byte and 8-bit pixels are copied as bytes. */
static pixelsize pixel_size(int bpp)
{
    pixelsize p;
    p.bytes = bpp == 16 ? 2 : bpp == 32 ? 4 : 1;
    p.code = bpp == 16 ? CGL_CAT_PIXEL_16BPP : bpp == 32 ? CGL_CAT_PIXEL_32BPP : CGL_CAT_PIXEL_8BPP;
    return p;
}

static long long smaller(long long a, long long b)
{
    return a < b ? a : b;
}

/* One copy-area entry: w x h pixels, line skips in pixels, addresses of the first pixels (the
 * last ones when reverse). */
static void pack_entry(word32 code, long long w, long long h, long long sskip, long long dskip, long long src,
                       long long dst, int reverse, word32 entry[CGL_CAT_WORDS])
{
    caTable t;
    const uint16_t mmu = cglGetMmuMode() ? 1u : 0u;
    cglClearCAT(&t);
    t.sxsize = (word32)w;
    t.sysize = (word32)h;
    t.soff = (word32)sskip;
    t.doff = (word32)dskip;
    t.saddr = (word32)src;
    t.daddr = (word32)dst;
    t.same = t.dame = mmu;
    t.rvd = reverse ? 1u : 0u;
    cglPackCAT(code, &t, entry);
}

static void queue_entry(const word32 entry[CGL_CAT_WORDS])
{
    PEW(LX_PE_OVG_TABLE_ADDR, 0);
    VGALFUNC_lx_writetable(entry, CGL_CAT_WORDS);
}

/* Starts entry 0 through the command FIFO and waits until the copy and its units are done. */
static void start_and_wait(void)
{
    cglWaitIntrOn(CGL_INTR_COPY_DONE);
    cglWritePEReg1(LX_PE_OVG_CP_START, 0);
    cglWaitIntr();
    cglWaitIntrOff(CGL_INTR_COPY_DONE);
    cglWaitBusy(CGL_BUSY_AFTER_COPY, 0);
}

static void copy_block(word32 code, long long w, long long h, long long sskip, long long dskip, long long src,
                       long long dst, int reverse)
{
    word32 entry[CGL_CAT_WORDS];
    pack_entry(code, w, h, sskip, dskip, src, dst, reverse, entry);
    queue_entry(entry);
    WAITCMDDONE();
    start_and_wait();
}

static void flush_caches(void)
{
    PEW(LX_PE_OVG_CCACHE_FLUSH, 1);
    PEW(LX_PE_OVG_TXC_INVAL, 3);
}

/* The clipped region with the image offsets added, in 64 bits. */
typedef struct placed {
    long long sx, sy, dx, dy, w, h;
} placed;

static int place(int dx, int dy, const OVGrect *rect, int destination_offsets, placed *p)
{
    const VGALcopywork *c = &VGALVAL_copywork;
    if (CheckRegion(dx, dy, rect))
        return 0;
    p->sx = (long long)c->rsx + VGALVAL_src_x;
    p->sy = (long long)c->rsy + VGALVAL_src_y;
    p->dx = c->rdx + (destination_offsets ? (long long)VGALVAL_dst_x : 0);
    p->dy = c->rdy + (destination_offsets ? (long long)VGALVAL_dst_y : 0);
    p->w = c->rw;
    p->h = c->rh;
    return 1;
}

static long long pixel_address(uintptr_t base, int stride, long long x, long long y, long long bytes)
{
    return (long long)base + (long long)stride * y + x * bytes;
}

void VGALFUNC_lx_copy_ce(int dx, int dy, const OVGrect *rect)
{
    const pixelsize px = pixel_size(VGALVAL_src_bpp);
    long long y, x;
    placed p;
    if (!place(dx, dy, rect, 1, &p))
        return;
    flush_caches();
    for (y = 0; y < p.h; y += BLOCK) {
        const long long band = smaller(BLOCK, p.h - y);
        for (x = 0; x < p.w; x += BLOCK) {
            const long long tile = smaller(BLOCK, p.w - x);
            copy_block(px.code, tile, band, VGALVAL_src_twidth - tile, VGALVAL_dst_twidth - tile,
                       pixel_address(VGALVAL_src_addr, VGALVAL_src_stride, p.sx + x, p.sy + y, px.bytes),
                       pixel_address(VGALVAL_dst_addr, VGALVAL_dst_stride, p.dx + x, p.dy + y, px.bytes), 0);
        }
    }
}

/* One tile of an overlapping copy: columns x .. x + w - 1 and rows y .. y + h - 1 of the
 * region, forward from its first pixel or in reverse from its last. */
static void overlap_tile(const placed *p, const pixelsize *px, long long x, long long y, long long w, long long h,
                         int reverse)
{
    const long long lx = reverse ? x + w - 1 : x, ly = reverse ? y + h - 1 : y;
    copy_block(px->code, w, h, VGALVAL_src_twidth - w, VGALVAL_dst_twidth - w,
               pixel_address(VGALVAL_src_addr, VGALVAL_src_stride, p->sx + lx, p->sy + ly, px->bytes),
               pixel_address(VGALVAL_dst_addr, VGALVAL_dst_stride, p->dx + lx, p->dy + ly, px->bytes), reverse);
}

/* The start of the k-th of n blocks of a length, counted from the far end when backwards. */
static long long block_start(long long k, long long n, int backwards)
{
    return (backwards ? n - 1 - k : k) * BLOCK;
}

void VGALFUNC_lx_copy_ce_sameregion(int dx, int dy, const OVGrect *rect)
{
    const pixelsize px = pixel_size(VGALVAL_src_bpp);
    long long by, bx, bands, tiles;
    int reverse, right_to_left;
    placed p;
    if (!place(dx, dy, rect, 1, &p))
        return;
    p.sx <<= VGALVAL_dst_scale_x;
    p.dx <<= VGALVAL_dst_scale_x;
    p.w <<= VGALVAL_dst_scale_x;
    if (VGALVAL_src_flip) {
        p.sy = VGALVAL_src_height - p.sy - p.h;
        p.dy = VGALVAL_dst_height - p.dy - p.h;
    }
    /* Rows moving down, or moving right along the same rows, are copied from their far end so
     * that no source pixel is overwritten before it is read. */
    reverse = p.sy < p.dy || (p.sy == p.dy && p.sx < p.dx);
    right_to_left = p.sx < p.dx;
    flush_caches();
    bands = (p.h + BLOCK - 1) / BLOCK;
    tiles = (p.w + BLOCK - 1) / BLOCK;
    for (by = 0; by < bands; ++by) {
        const long long y = block_start(by, bands, reverse);
        for (bx = 0; bx < tiles; ++bx) {
            const long long x = block_start(bx, tiles, right_to_left);
            overlap_tile(&p, &px, x, y, smaller(BLOCK, p.w - x), smaller(BLOCK, p.h - y), reverse);
        }
    }
}

void VGALFUNC_lx_copy_ce_simple(word32 dst, word32 src, int bits, int linebytes, int rows)
{
    const pixelsize px = pixel_size(bits);
    /* Sub-byte lines are copied as bytes: the line step is the pixels per line of that view,
     * so every line lands where it is stored. */
    const long long perline = linebytes / px.bytes;
    long long y, x;
    for (y = 0; y < rows; y += BLOCK) {
        const long long band = smaller(BLOCK, rows - y);
        for (x = 0; x < perline; x += BLOCK) {
            const long long tile = smaller(BLOCK, perline - x);
            const long long offset = (y * perline + x) * px.bytes;
            copy_block(px.code, tile, band, perline - tile, perline - tile, (long long)src + offset,
                       (long long)dst + offset, 0);
        }
    }
}

/* Pieces of one scissor span, each at most one entry wide (2048 samples). */
static void scissor_span(const placed *p, const pixelsize *px, long long step, long long srow, long long drow,
                         long long x0, long long x1)
{
    const long long samples = (x1 - x0) << VGALVAL_dst_scale_x;
    const long long sbase = pixel_address(VGALVAL_src_addr, VGALVAL_src_stride, 0, srow, 1) + (x0 - p->dx + p->sx) * step;
    const long long dbase = pixel_address(VGALVAL_dst_addr, VGALVAL_dst_stride, 0, drow, 1) + x0 * step;
    long long done;
    for (done = 0; done < samples; done += BLOCK) {
        const long long w = smaller(BLOCK, samples - done);
        word32 entry[CGL_CAT_WORDS];
        pack_entry(px->code, w, 1, VGALVAL_src_twidth - w, VGALVAL_dst_twidth - w, sbase + done * px->bytes,
                   dbase + done * px->bytes, 0, entry);
        queue_entry(entry);
        PEW(LX_PE_OVG_CP_START, 0);
    }
}

void VGALFUNC_lx_copy_ce_scale_scissor(int dx, int dy, const OVGrect *rect)
{
    const pixelsize px = pixel_size(VGALVAL_src_bpp);
    const long long step = px.bytes << VGALVAL_dst_scale_x;
    long long k, srow, drow, rowstep;
    int entries;
    placed p;
    if (!place(dx, dy, rect, 0, &p))
        return;
    flush_caches();
    WAITCMDDONE();
    entries = VGALFUNC_TVGmakeScissorAET((int)p.dx, (int)p.dy, (int)p.w, (int)p.h);
    if (entries == 0)
        return;
    VGALFUNC_TVGsortAET(0, entries - 1);
    if (VGALVAL_src_flip) {
        srow = VGALVAL_src_height - p.sy - 1;
        drow = VGALVAL_dst_height - p.dy - 1;
        rowstep = -1;
    } else {
        srow = p.sy;
        drow = p.dy;
        rowstep = 1;
    }
    for (k = 0; k < p.h; ++k, srow += rowstep, drow += rowstep) {
        const int spans = VGALFUNC_TVGscissorSpans(entries, p.dy + k);
        int s;
        for (s = 0; s + 1 < spans; s += 2)
            if (VGALVAL_edge[s + 1] != VGALVAL_edge[s])
                scissor_span(&p, &px, step, srow, drow, VGALVAL_edge[s], VGALVAL_edge[s + 1]);
    }
    PEW(LX_PE_OVG_EXT_SYNC, 0x80000000u);
    WAITCMDDONE();
}
