#pragma once

// The model of the GPU's work on memory, installed on the simulated device by default. It
// works only from what the register library writes to the device; sim/gpu/MODEL.md lists the
// register meanings it assumes. The units:
// - the pixel engine's render target (LX_PE_OVG_BUF_SWAP bits 0-1 choose the colour-buffer
//   register pair: 0 CBUF0, 1 CBUF1, 2 and 3 CBUF2) and its write stage (channel mask,
//   four samples a pixel with LX_PE_OVG_MSAA_ENABLE);
// - the fast clear (LX_PE_OVG_CBUF_CSTART = 1), the SPC fill command and the rasterizer's
//   window mode (a scan started by LX_XPT_SWAP bit 3) with the rasterizer scissor, drawing the
//   constant colour or the textured rectangle of texture unit 1;
// - the SPC pixel-copy unit (the SPC rectangle command), reading texture unit 1;
// - the colour path of texels (pixel_pipeline.h);
// - the vertex processor's drawing entries (vertex_processor.h), which gather edges, and the
//   rasterizer's edge scan (edge_scan.h), whose coverage the constant-colour writer draws;
// - the vertex processor's filter microcodes (filter_program.h) on the work buffers;
// - the copy engine (LX_PE_OVG_CP_START), in copy_engine.h.
// A setting it does not model, or memory that resolves to nothing, is a protocol error and
// nothing is written.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "edge_scan.h"
#include "filter_program.h"
#include "gpu_event.h"
#include "pixel_format.h"
#include "rect.h"
#include "simgpu.h"
#include "vertex_processor.h"

namespace simgpu {

class DrawSource;
class PixelPipeline;

// A colour buffer as a register pair describes it.
struct ColourBuffer {
    uint32_t address = 0;
    const PixelFormat* format = nullptr;
    uint32_t linePixels = 0;  // format word bits 16-31
    uint32_t stride = 0;      // bytes per line
};

// The memory of one rectangle of a buffer, resolved once; pixels are written through it with
// the bits of `keep` left as they were.
struct BufferView {
    uint8_t* memory = nullptr;  // the byte holding the rectangle's first pixel
    uint32_t stride = 0;
    uint32_t bpp = 0;
    uint32_t left = 0, top = 0;  // the rectangle's corner
    uint32_t basePixel = 0;      // pixel index of the first byte's first pixel within its row
    uint32_t keep = 0;
    const uint8_t* end = nullptr;  // past the rectangle's last byte

    // Whether the two rectangles' memory shares a byte.
    bool overlaps(const BufferView& other) const
    {
        const std::less<const uint8_t*> before;
        return before(memory, other.end) && before(other.memory, end);
    }
    void put(uint32_t x, uint32_t y, uint32_t value) const;
    uint32_t get(uint32_t x, uint32_t y) const;
};

inline void BufferView::put(uint32_t x, uint32_t y, uint32_t value) const
{
    uint8_t* row = memory + static_cast<size_t>(y - top) * stride;
    uint32_t at = x - basePixel;
    if (keep)
        value = (readPixel(row, at, bpp) & keep) | (value & ~keep);
    writePixel(row, at, bpp, value);
}

inline uint32_t BufferView::get(uint32_t x, uint32_t y) const
{
    return readPixel(memory + static_cast<size_t>(y - top) * stride, x - basePixel, bpp);
}

class GpuModel : public Executor {
public:
    explicit GpuModel(SimGpu& gpu) : gpu_(gpu), vp_(gpu, edges_), filters_(gpu) {}

    void unitWrite(Unit unit, uint32_t reg, uint32_t value) override;
    void spcFill(const uint32_t words[4]) override;
    void spcRectangle(const uint32_t words[4]) override;
    void copyArea(const uint32_t entry[4]) override;
    void vpStart(uint32_t entry) override;
    void vpData(const std::vector<uint32_t>& words) override;

    // The register pair the pixel engine writes: 0, 1 or 2.
    unsigned targetPair() const;
    // The buffer of a register pair; false (with a protocol error naming `what`) when its
    // format is unknown or not modelled, or its lines are not whole bytes.
    bool buffer(unsigned pair, ColourBuffer& out, const std::string& what) const;
    // Texture unit 0 or 1 (LX_PE_OVG_TXn_ADDR, _SIZE line length | height << 16, _FMT) as a
    // buffer of `rows` lines; false (with a protocol error) as buffer() refuses.
    bool texture(unsigned unit, ColourBuffer& out, uint32_t& rows, const std::string& what) const;
    // The memory of a rectangle of texels, which must lie inside the texture's rows.
    bool textureRect(const ColourBuffer& texture, uint32_t rows, const Rect& rect, BufferView& out,
                     const std::string& what) const;
    // Resolves the memory of a rectangle of a buffer; false (with a protocol error) when the
    // rectangle is empty or its memory resolves to nothing.
    bool view(const ColourBuffer& buffer, const Rect& rect, BufferView& out, const std::string& what) const;
    // Writes one native value into a rectangle of a buffer, keeping the bits of `keep`.
    bool fill(const ColourBuffer& buffer, const Rect& rect, uint32_t value, uint32_t keep,
              const std::string& what) const;

    const VertexProcessor& vertexProcessor() const { return vp_; }

private:
    // The render target as the PE write stage sees it: with multisampling each pixel is four
    // samples side by side in a line four times as long.
    struct Target {
        ColourBuffer buffer;
        unsigned samples = 1;
        uint32_t keep = 0;  // bits the channel mask protects
        bool masked = false;   // LX_PE_OVG_AM_EN: coverage times the alpha mask
        BufferView alphaMask;  // the alpha mask over the scanned window
    };

    void fastClear();
    void instructionDma(uint32_t count);
    void xptWrite(uint32_t reg, uint32_t value);
    void rasterScan();
    void texturedRectangle(const Rect& window, const std::string& what);
    bool layout(uint32_t address, uint32_t code, uint32_t linePixels, ColourBuffer& out, const std::string& name) const;
    void windowScan(const std::string& what);
    void edgeScan(const std::string& what, uint32_t mode);
    bool scanCoverage(uint32_t grid, uint32_t mode, const Rect& window, Coverage& coverage) const;
    // Coverage into the alpha of a mask-format colour buffer (LX_PE_OVG_COV2ALPHA 2).
    void maskScan(const std::string& what, uint32_t mode);
    // LX_PE_OVG_AM_EN of a drawing into `t`; false (with a protocol error) when not modelled.
    bool loadAlphaMask(Target& t, const std::string& what) const;
    // The alpha mask's pixels over the window of a drawing; false with a protocol error.
    bool alphaMaskView(Target& t, const Rect& window, const std::string& what) const;
    bool rasterTarget(const std::string& what, uint32_t vgModeBits, Target& out) const;
    bool drawingTarget(const std::string& what, Target& out) const;
    void writeCoverage(const Target& t, const BufferView& pixels, const Coverage& coverage, bool blend,
                       const DrawSource& source, const PixelPipeline& pipeline) const;
    bool target(Target& out, const std::string& what, bool rawSamples) const;
    bool storedRect(const Target& target, const Rect& pixels, Rect& stored, const std::string& what) const;
    bool writeRect(const Target& target, const Rect& pixels, uint32_t value, const std::string& what) const;
    bool unmodelled(const std::string& what, std::initializer_list<uint32_t> peRegsThatMustBeZero) const;
    bool requireValue(const std::string& what, Unit unit, uint32_t reg, uint32_t expected) const;

    SimGpu& gpu_;
    EdgeList edges_;  // gathered until the next scan or LX_XPT_INIT
    mutable ScanBuffers scanBuffers_;  // the edge scan's working memory
    uint32_t rampEntries_ = 0;  // colour ramp entries written from LX_PE_OVG_RSTOP_OFS_TABLE00 on
    VertexProcessor vp_;
    FilterPrograms filters_;  // the filter microcodes, run on data packets at entry 0
};

}  // namespace simgpu
