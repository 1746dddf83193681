#pragma once

// The model of the GPU's work on memory, installed on the simulated device by default. It
// works only from what the register library writes to the device:
// - the pixel engine's buffer selection: LX_PE_OVG_BUF_SWAP bits 0-1 choose the colour-buffer
//   register pair it writes (0 CBUF0, 1 CBUF1, 2 and 3 CBUF2);
// - the fast clear: LX_PE_OVG_CBUF_CSTART = 1 writes the native value LX_PE_OVG_CBUF_CVAL into
//   the inclusive rectangle LX_PE_OVG_CBUF_CRLT (top | left << 16) to LX_PE_OVG_CBUF_CRRB
//   (bottom | right << 16) of the selected buffer;
// - the SPC fill command: a rectangle of the selected buffer filled with an RGBA8888 colour in
//   the buffer's format.
// A setting it does not model, or memory that resolves to nothing, is a protocol error and
// nothing is written.

#include <cstdint>
#include <initializer_list>
#include <string>

#include "gpu_event.h"
#include "pixel_format.h"
#include "simgpu.h"

namespace simgpu {

// A colour buffer as a register pair describes it.
struct ColourBuffer {
    uint32_t address = 0;
    const PixelFormat* format = nullptr;
    uint32_t linePixels = 0;  // format word bits 16-29
    uint32_t stride = 0;      // bytes per line
};

struct Rect {
    uint32_t left, top, right, bottom;  // inclusive
};

class GpuModel : public Executor {
public:
    explicit GpuModel(SimGpu& gpu) : gpu_(gpu) {}

    void unitWrite(Unit unit, uint32_t reg, uint32_t value) override;
    void spcFill(const uint32_t words[4]) override;

    // The register pair the pixel engine writes: 0, 1 or 2.
    unsigned targetPair() const;
    // The buffer of a register pair; false (with a protocol error naming `what`) when its
    // format is unknown or its lines are not whole bytes.
    bool buffer(unsigned pair, ColourBuffer& out, const std::string& what) const;
    // Writes one native value into a rectangle of a buffer; false (with a protocol error) when
    // the rectangle is empty or its memory resolves to nothing.
    bool fill(const ColourBuffer& buffer, const Rect& rect, uint32_t value, const std::string& what) const;

private:
    void fastClear();
    bool unmodelled(const std::string& what, std::initializer_list<uint32_t> peRegsThatMustBeZero) const;

    SimGpu& gpu_;
};

}  // namespace simgpu
