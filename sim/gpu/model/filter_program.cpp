#include "filter_program.h"

#include <algorithm>
#include <cstring>

#include "gpu_event.h"
#include "pixel_format.h"

namespace simgpu {
namespace {

constexpr uint32_t kWorkFormat = 0;     // the filters' 32-bit work pixels, RGBA8888
constexpr uint32_t kKernelConstant = 4;  // the first constant of the kernels
constexpr uint32_t kConstants = 256;
constexpr size_t kColourMatrixWords = 27, kConvolveWords = 14, kSeparableWords = 15;

float asFloat(uint32_t bits)
{
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

// A result in 0..255 units as a channel: truncated toward zero, limited to 0..255, NaN 0.
uint32_t channel(float v)
{
    if (!(v > 0.0f))
        return 0;
    return v >= 255.0f ? 255u : static_cast<uint32_t>(v);
}

struct Rgba {
    float c[4];
};

}  // namespace

// A buffer of 32-bit work pixels, resolved once.
struct FilterPrograms::Plane {
    uint8_t* memory = nullptr;
    uint32_t stride = 0;

    Rgba get(uint32_t x, uint32_t y) const
    {
        const uint32_t v = unpackColour(*pixelFormat(kWorkFormat), readPixel(memory + size_t(y) * stride, x, 32));
        return Rgba{{float(v >> 24), float(v >> 16 & 255u), float(v >> 8 & 255u), float(v & 255u)}};
    }
    // Rows of columns x 4 channel values, decoded once for the kernels' many reads.
    std::vector<float> decode(uint32_t columns, uint32_t rows) const
    {
        std::vector<float> out(size_t(columns) * rows * 4);
        float* v = out.data();
        for (uint32_t y = 0; y < rows; ++y)
            for (uint32_t x = 0; x < columns; ++x, v += 4) {
                const Rgba p = get(x, y);
                std::copy(p.c, p.c + 4, v);
            }
        return out;
    }
    void put(uint32_t x, uint32_t y, const float out[4]) const
    {
        const uint32_t v = channel(out[0]) << 24 | channel(out[1]) << 16 | channel(out[2]) << 8 | channel(out[3]);
        writePixel(memory + size_t(y) * stride, x, 32, packColour(*pixelFormat(kWorkFormat), v));
    }
};

float FilterPrograms::constant(uint32_t index, unsigned component) const
{
    return asFloat(gpu_.reg(Unit::VPConst, index * 4 + component));
}

bool FilterPrograms::plane(uint32_t address, uint32_t stride, uint32_t columns, uint32_t rows, Plane& out,
                           const std::string& what) const
{
    const uint64_t bytes = uint64_t(rows - 1) * stride + uint64_t(columns) * 4;
    if (columns == 0 || rows == 0 || uint64_t(stride) < uint64_t(columns) * 4 || bytes > SIZE_MAX ||
        !(out.memory = gpu_.gpuPointer(address, size_t(bytes)))) {
        gpu_.protocolError(Stream::Gpu, what + ": the buffer at " + hex(address) + " (" + std::to_string(columns) +
                                            " x " + std::to_string(rows) + ", stride " + std::to_string(stride) +
                                            ") is outside GPU memory");
        return false;
    }
    out.stride = stride;
    return true;
}

// The two line buffers of the convolution microcodes lie after the kernels, one after the
// other, and end at constant 255 at the latest.
bool FilterPrograms::lineBuffers(uint32_t kernelEnd, uint32_t sbuftop, uint32_t sbufLength, uint32_t rbuftop,
                                 uint32_t rbufLength, const std::string& what) const
{
    if (sbuftop >= kernelEnd && uint64_t(rbuftop) >= uint64_t(sbuftop) + sbufLength &&
        uint64_t(rbuftop) + rbufLength <= kConstants)
        return true;
    gpu_.protocolError(Stream::Gpu, what + ": line buffers at constants " + std::to_string(sbuftop) + " (" +
                                        std::to_string(sbufLength) + ") and " + std::to_string(rbuftop) + " (" +
                                        std::to_string(rbufLength) + ") with the kernels ending at " +
                                        std::to_string(kernelEnd));
    return false;
}

void FilterPrograms::run(uint32_t program, const std::vector<uint32_t>& words)
{
    const std::string what = "filter microcode " + std::to_string(program);
    const size_t expected = program == kProgramColourMatrix ? kColourMatrixWords
                            : program == kProgramConvolve   ? kConvolveWords
                                                            : kSeparableWords;
    if (words.size() != expected) {
        gpu_.protocolError(Stream::Gpu, what + ": " + std::to_string(words.size()) + " data words instead of " +
                                            std::to_string(expected));
        return;
    }
    if (program == kProgramColourMatrix)
        colourMatrix(words, what);
    else if (program == kProgramConvolve)
        convolve(words, what);
    else
        separable(words, what);
}

void FilterPrograms::colourMatrix(const std::vector<uint32_t>& words, const std::string& what)
{
    const uint32_t tw = words[24] + 1, th = words[26] + 1;
    Plane nrm, rst;
    if (words[24] >= 2048 || words[26] >= 2048 || words[25] != words[24] >> 2) {
        gpu_.protocolError(Stream::Gpu, what + ": tile size words " + hex(words[24]) + ", " + hex(words[25]) + ", " +
                                            hex(words[26]));
        return;
    }
    if (!plane(words[20], words[21], tw, th, nrm, what) || !plane(words[22], words[23], tw, th, rst, what))
        return;
    float m[20];
    for (unsigned i = 0; i < 20; ++i)
        m[i] = asFloat(words[i]);
    for (uint32_t y = 0; y < th; ++y)
        for (uint32_t x = 0; x < tw; ++x) {
            const Rgba p = nrm.get(x, y);
            float out[4];
            for (unsigned c = 0; c < 4; ++c) {
                const float* f = m + 4 * c;
                out[c] = f[0] * p.c[0] + f[1] * p.c[1] + f[2] * p.c[2] + f[3] * p.c[3] + m[16 + c];
            }
            rst.put(x, y, out);
        }
}

void FilterPrograms::convolve(const std::vector<uint32_t>& words, const std::string& what)
{
    const uint64_t tw = uint64_t(words[4]) + 1, th = uint64_t(words[7]) + 1, kh = uint64_t(words[9]) + 1;
    const uint64_t gx = uint64_t(words[8]) + 1, span = uint64_t(words[1]) + 1;
    if (span < tw || span - tw + 1 > 4 * gx || span - tw + 1 <= 4 * (gx - 1) || tw > 2048 || th > 2048 ||
        words[6] != words[4] >> 2 || gx * kh > kConstants) {
        gpu_.protocolError(Stream::Gpu, what + ": kernel and tile words " + hex(words[1]) + ", " + hex(words[4]) +
                                            ", " + hex(words[6]) + ", " + hex(words[7]) + ", " + hex(words[8]) +
                                            ", " + hex(words[9]));
        return;
    }
    const uint32_t kw = uint32_t(span - tw + 1);
    Plane nrm, rst;
    if (!lineBuffers(uint32_t(kKernelConstant + gx * kh), words[12], uint32_t((span + 3) >> 2), words[13],
                     uint32_t(tw), what) ||
        !plane(words[0], words[2], uint32_t(span), uint32_t(th + kh - 1), nrm, what) ||
        !plane(words[3], words[5], uint32_t(tw), uint32_t(th), rst, what))
        return;
    std::vector<float> kernel(size_t(kh) * kw);
    for (uint32_t r = 0; r < kh; ++r)
        for (uint32_t p = 0; p < kw; ++p)
            kernel[size_t(r) * kw + p] = constant(uint32_t(kKernelConstant + r * gx + (p >> 2)), p & 3u);
    const float scale = asFloat(words[10]), bias = asFloat(words[11]);
    const std::vector<float> source = nrm.decode(uint32_t(span), uint32_t(th + kh - 1));
    for (uint32_t y = 0; y < th; ++y)
        for (uint32_t x = 0; x < tw; ++x) {
            float sum[4] = {0.0f, 0.0f, 0.0f, 0.0f};
            for (uint32_t r = 0; r < kh; ++r) {
                const float* s = &source[(size_t(y + r) * span + x) * 4];
                for (uint32_t p = 0; p < kw; ++p, s += 4) {
                    const float k = kernel[size_t(r) * kw + p];
                    for (unsigned c = 0; c < 4; ++c)
                        sum[c] += k * s[c];
                }
            }
            float out[4];
            for (unsigned c = 0; c < 4; ++c)
                out[c] = scale * sum[c] + bias;
            rst.put(x, y, out);
        }
}

void FilterPrograms::separable(const std::vector<uint32_t>& words, const std::string& what)
{
    const uint64_t tw = uint64_t(words[4]) + 1, th = uint64_t(words[7]) + 1, span = uint64_t(words[1]) + 1;
    const uint64_t gx = uint64_t(words[8]) + 1, gy = uint64_t(words[9]) + 1;
    const uint32_t vbuftop = words[12];
    if (span < tw || span - tw + 1 > 4 * gx || span - tw + 1 <= 4 * (gx - 1) || tw > 2048 || th > 2048 ||
        words[6] != words[1] >> 2 || kKernelConstant + gx > kConstants || uint64_t(vbuftop) + gy > kConstants ||
        (vbuftop != kKernelConstant && vbuftop < kKernelConstant + gx)) {
        gpu_.protocolError(Stream::Gpu, what + ": kernel and tile words " + hex(words[1]) + ", " + hex(words[4]) +
                                            ", " + hex(words[6]) + ", " + hex(words[7]) + ", " + hex(words[8]) +
                                            ", " + hex(words[9]) + ", " + hex(vbuftop));
        return;
    }
    const uint32_t kw = uint32_t(span - tw + 1);
    const uint32_t kernelEnd = uint32_t(std::max<uint64_t>(kKernelConstant + gx, vbuftop + gy));
    const uint32_t line = uint32_t((span + 3) >> 2);
    if (!lineBuffers(kernelEnd, words[13], line, words[14], line, what))
        return;
    std::vector<float> horizontal(kw), vertical(size_t(4 * gy));
    for (uint32_t p = 0; p < kw; ++p)
        horizontal[p] = constant(kKernelConstant + (p >> 2), p & 3u);
    uint32_t reach = 0;  // rows below the output row the vertical taps read
    for (uint32_t q = 0; q < vertical.size(); ++q) {
        vertical[q] = constant(vbuftop + (q >> 2), q & 3u);
        if (vertical[q] != 0.0f)
            reach = q;
    }
    Plane nrm, rst;
    if (!plane(words[0], words[2], uint32_t(span), uint32_t(th + reach), nrm, what) ||
        !plane(words[3], words[5], uint32_t(tw), uint32_t(th), rst, what))
        return;

    // The horizontal pass over every row the vertical taps reach.
    const uint32_t rows = uint32_t(th + reach);
    const std::vector<float> source = nrm.decode(uint32_t(span), rows);
    std::vector<Rgba> pass(size_t(rows) * tw);
    for (uint32_t r = 0; r < rows; ++r)
        for (uint32_t x = 0; x < tw; ++x) {
            Rgba& sum = pass[size_t(r) * tw + x];
            sum = Rgba{{0.0f, 0.0f, 0.0f, 0.0f}};
            const float* s = &source[(size_t(r) * span + x) * 4];
            for (uint32_t p = 0; p < kw; ++p, s += 4) {
                if (horizontal[p] == 0.0f)
                    continue;
                for (unsigned c = 0; c < 4; ++c)
                    sum.c[c] += horizontal[p] * s[c];
            }
        }
    const float scale = asFloat(words[10]), bias = asFloat(words[11]);
    for (uint32_t y = 0; y < th; ++y)
        for (uint32_t x = 0; x < tw; ++x) {
            float sum[4] = {0.0f, 0.0f, 0.0f, 0.0f};
            for (uint32_t q = 0; q < vertical.size(); ++q) {
                if (vertical[q] == 0.0f)
                    continue;
                const Rgba& h = pass[size_t(y + q) * tw + x];
                for (unsigned c = 0; c < 4; ++c)
                    sum[c] += vertical[q] * h.c[c];
            }
            float out[4];
            for (unsigned c = 0; c < 4; ++c)
                out[c] = scale * sum[c] + bias;
            rst.put(x, y, out);
        }
}

}  // namespace simgpu
