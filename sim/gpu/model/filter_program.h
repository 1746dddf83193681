#pragma once

// The vertex processor's filter microcodes, as a model of their effect. The program loaded at
// instruction 0 (known from the DMA: the first word of an image is its id << 24) runs on a VP
// data packet while LX_VP_IADDR is 0:
//   21 colour matrix, 27 words: per pixel of the tile, R' = m0 R + m4 G + m8 B + m12 A + offR,
//     likewise G', B', A' (16 factors by output channel, 4 offsets in 0..255 units, then nrm,
//     its stride, rst, its stride, tw - 1, (tw - 1) >> 2, th - 1).
//   22 convolution, 14 words: out(x, y) = scale x the sum over rows r < kh and positions p < kw
//     of C[r][p] x nrm(x + p, y + r) + bias, C[r][p] word p & 3 of constant 4 + r gx + p / 4.
//   23 separable convolution, 15 words: a horizontal pass with the taps at constants 4.., a
//     vertical pass with the taps at vbuftop, then scale and bias; zero taps are skipped.
// Channels are read from the 32-bit work pixels (format code 0) as 0..255 values, summed in
// float in the software filters' order, truncated toward zero and clamped to 0..255 (NaN is 0).
// A wrong word count, a buffer outside GPU memory or a line buffer that overlaps the kernels
// or passes constant 255 is a protocol error, and nothing is written.

#include <cstdint>
#include <string>
#include <vector>

#include "simgpu.h"

namespace simgpu {

// Image ids of the microcodes, as the first word of each image carries them.
constexpr uint32_t kProgramDrawing = 20, kProgramColourMatrix = 21, kProgramConvolve = 22, kProgramSeparable = 23;

class FilterPrograms {
public:
    explicit FilterPrograms(SimGpu& gpu) : gpu_(gpu) {}

    // Runs `program` (one of the filter ids) on a data packet.
    void run(uint32_t program, const std::vector<uint32_t>& words);

private:
    struct Plane;

    float constant(uint32_t index, unsigned component) const;
    bool plane(uint32_t address, uint32_t stride, uint32_t columns, uint32_t rows, Plane& out,
               const std::string& what) const;
    bool lineBuffers(uint32_t kernelEnd, uint32_t sbuftop, uint32_t sbufLength, uint32_t rbuftop, uint32_t rbufLength,
                     const std::string& what) const;
    void colourMatrix(const std::vector<uint32_t>& words, const std::string& what);
    void convolve(const std::vector<uint32_t>& words, const std::string& what);
    void separable(const std::vector<uint32_t>& words, const std::string& what);

    SimGpu& gpu_;
};

}  // namespace simgpu
