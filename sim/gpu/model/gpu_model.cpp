#include "gpu_model.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "cgl_packet.h"
#include "cgl_unitreg.h"
#include "copy_engine.h"
#include "texture_unit.h"

namespace simgpu {
namespace {

constexpr uint32_t kAddrRegs[3] = {LX_PE_OVG_CBUF0_ADDR, LX_PE_OVG_CBUF1_ADDR, LX_PE_OVG_CBUF2_ADDR};
constexpr uint32_t kFmtRegs[3] = {LX_PE_OVG_CBUF0_FMT, LX_PE_OVG_CBUF1_FMT, LX_PE_OVG_CBUF2_FMT};
constexpr uint32_t kFormatCodeBits = 0xFFFFu;
constexpr uint32_t kFormatLineShift = 16;
constexpr uint32_t kChannelMaskBits = 0xFu;
constexpr unsigned kMsaaSamples = 4;
// The SPC fill's position and size fields are 11 bits wide in 16-bit halves.
constexpr uint32_t kSpcFieldBits = 0x07FF07FFu;
constexpr uint32_t kXptImageMode = 0x40u;  // LX_XPT_MODE

}  // namespace

void GpuModel::unitWrite(Unit unit, uint32_t reg, uint32_t value)
{
    if (unit == Unit::PE && reg == LX_PE_OVG_CBUF_CSTART && value == 1)
        fastClear();
    // The ramp's entry count: the run of table writes that began at its first entry.
    if (unit == Unit::PE && reg == LX_PE_OVG_RSTOP_OFS_TABLE00)
        rampEntries_ = 1;
    else if (unit == Unit::PE && reg == LX_PE_OVG_RSTOP_OFS_TABLE00 + rampEntries_ && rampEntries_ > 0 &&
             reg <= LX_PE_OVG_RSTOP_OFS_TABLE32)
        ++rampEntries_;
    if (unit == Unit::VPCtrl && reg == LX_DMA_IN_COUNT)
        instructionDma(value);
    if (unit == Unit::VPConst)
        vp_.constantWritten(reg);
    if (unit == Unit::XPT)
        xptWrite(reg, value);
}

// The device copies the words after this call; it copies nothing when the source or the
// instruction-RAM range does not resolve.
void GpuModel::instructionDma(uint32_t count)
{
    const uint64_t words = static_cast<uint64_t>(count) + 1;
    const uint64_t first = static_cast<uint64_t>(gpu_.reg(Unit::VPCtrl, LX_DMA_IN_DADDR)) * 4 * CGL_VP_INST_WORDS;
    const bool resolved = first + words <= gpu_.iram().size() &&
                          gpu_.gpuPointer(gpu_.reg(Unit::VPCtrl, LX_DMA_IN_SADDR), words * 4) != nullptr;
    if (resolved) {
        // The first word of each microcode image is its id << 24.
        uint32_t head;
        std::memcpy(&head, gpu_.gpuPointer(gpu_.reg(Unit::VPCtrl, LX_DMA_IN_SADDR), 4), sizeof head);
        vp_.dmaIn(static_cast<uint32_t>(first), static_cast<uint32_t>(words), head >> 24);
    }
}

// A scan starts at an LX_XPT_SWAP write with bit 3 right after LX_XPT_EDGE_SCAN_START = 1, in
// image mode (LX_XPT_MODE bit 6) at whatever XPT write follows it. LX_XPT_INIT drops the edges
// gathered, after a scan it started.
void GpuModel::xptWrite(uint32_t reg, uint32_t value)
{
    // The device notes the edge-scan start after this call, so it still names the write before.
    if (gpu_.lastXptWriteStartedEdgeScan() &&
        ((gpu_.reg(Unit::XPT, LX_XPT_MODE) & kXptImageMode) || (reg == LX_XPT_SWAP && (value & 0x8u))))
        rasterScan();
    if (reg == LX_XPT_INIT)
        edges_.clear();
}

void GpuModel::vpStart(uint32_t entry)
{
    vp_.start(entry);
}

void GpuModel::vpData(const std::vector<uint32_t>& words)
{
    const uint32_t entry = gpu_.reg(Unit::VPCtrl, LX_VP_IADDR);
    if (entry == 0 && vp_.filterProgram() != 0) {
        filters_.run(vp_.filterProgram(), words);
        return;
    }
    vp_.data(entry, words);
}

void GpuModel::copyArea(const uint32_t entry[4])
{
    CopyEngine(gpu_).run(entry);
}

unsigned GpuModel::targetPair() const
{
    unsigned pair = gpu_.reg(Unit::PE, LX_PE_OVG_BUF_SWAP) & 3u;
    return pair > 2 ? 2 : pair;
}

bool GpuModel::buffer(unsigned pair, ColourBuffer& out, const std::string& what) const
{
    const uint32_t fmt = gpu_.reg(Unit::PE, kFmtRegs[pair]);
    return layout(gpu_.reg(Unit::PE, kAddrRegs[pair]), fmt & kFormatCodeBits, fmt >> kFormatLineShift, out,
                  what + ": CBUF" + std::to_string(pair));
}

bool GpuModel::texture(unsigned unit, ColourBuffer& out, uint32_t& rows, const std::string& what) const
{
    const uint32_t size = gpu_.reg(Unit::PE, textureRegister(unit, LX_PE_OVG_TX0_SIZE));
    rows = size >> 16;
    return layout(gpu_.reg(Unit::PE, textureRegister(unit, LX_PE_OVG_TX0_ADDR)),
                  gpu_.reg(Unit::PE, textureRegister(unit, LX_PE_OVG_TX0_FMT)), size & 0xFFFFu, out,
                  what + ": texture unit " + std::to_string(unit));
}

bool GpuModel::layout(uint32_t address, uint32_t code, uint32_t linePixels, ColourBuffer& out,
                      const std::string& name) const
{
    out.address = address;
    out.format = pixelFormat(code);
    out.linePixels = linePixels;
    if (formatNotModelled(code)) {
        gpu_.protocolError(Stream::Gpu, name + " has the format code " + std::to_string(code) + ": format not modelled");
        return false;
    }
    if (!out.format) {
        gpu_.protocolError(Stream::Gpu, name + " has the unknown format code " + std::to_string(code));
        return false;
    }
    const uint64_t bits = static_cast<uint64_t>(out.linePixels) * out.format->bpp;
    if (bits % 8 != 0) {
        gpu_.protocolError(Stream::Gpu, name + " lines are not whole bytes");
        return false;
    }
    out.stride = static_cast<uint32_t>(bits / 8);
    return true;
}

bool GpuModel::textureRect(const ColourBuffer& texture, uint32_t rows, const Rect& rect, BufferView& out,
                           const std::string& what) const
{
    if (rect.bottom >= rows) {
        gpu_.protocolError(Stream::Gpu, what + ": texture row " + std::to_string(rect.bottom) +
                                            " is beyond the texture's " + std::to_string(rows) + " rows");
        return false;
    }
    return view(texture, rect, out, what + ": texture");
}

bool GpuModel::view(const ColourBuffer& buffer, const Rect& rect, BufferView& out, const std::string& what) const
{
    if (rect.right < rect.left || rect.bottom < rect.top) {
        gpu_.protocolError(Stream::Gpu, what + ": empty rectangle");
        return false;
    }
    if (rect.right >= buffer.linePixels) {
        gpu_.protocolError(Stream::Gpu, what + ": column " + std::to_string(rect.right) + " is beyond the line of " +
                                            std::to_string(buffer.linePixels) + " pixels");
        return false;
    }
    const uint32_t bpp = buffer.format->bpp;
    const size_t firstByte = rowByteBegin(rect.left, bpp);
    const size_t endByte = rowByteEnd(rect.left, rect.right - rect.left + 1, bpp);
    const uint64_t first = buffer.address + static_cast<uint64_t>(rect.top) * buffer.stride + firstByte;
    const uint64_t end = buffer.address + static_cast<uint64_t>(rect.bottom) * buffer.stride + endByte;
    uint8_t* memory = first <= 0xFFFFFFFFu ? gpu_.gpuPointer(static_cast<uint32_t>(first), end - first) : nullptr;
    if (!memory) {
        gpu_.protocolError(Stream::Gpu, what + ": rectangle at " + hex(static_cast<uint32_t>(first)) +
                                            " is outside GPU memory");
        return false;
    }
    out.memory = memory;
    out.end = memory + (end - first);
    out.stride = buffer.stride;
    out.bpp = bpp;
    out.left = rect.left;
    out.top = rect.top;
    out.basePixel = static_cast<uint32_t>(firstByte * 8 / bpp);
    out.keep = 0;
    return true;
}

bool GpuModel::fill(const ColourBuffer& buffer, const Rect& rect, uint32_t value, uint32_t keep,
                    const std::string& what) const
{
    BufferView pixels;
    if (!view(buffer, rect, pixels, what))
        return false;
    pixels.keep = keep;
    for (uint32_t y = rect.top; y <= rect.bottom; ++y)
        for (uint32_t x = rect.left; x <= rect.right; ++x)
            pixels.put(x, y, value);
    return true;
}

bool GpuModel::unmodelled(const std::string& what, std::initializer_list<uint32_t> peRegsThatMustBeZero) const
{
    for (uint32_t reg : peRegsThatMustBeZero)
        if (!requireValue(what, Unit::PE, reg, 0))
            return true;
    return false;
}

bool GpuModel::requireValue(const std::string& what, Unit unit, uint32_t reg, uint32_t expected) const
{
    const uint32_t value = gpu_.reg(unit, reg);
    if (value == expected)
        return true;
    std::string name = unitName(unit);
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::toupper(c); });
    gpu_.protocolError(Stream::Gpu, what + ": " + name + " register " + std::to_string(reg) + " = " + hex(value) +
                                        " is not modelled");
    return false;
}

// The target of the PE write stage. The fast clear and the copy engine address raw samples,
// so only the drawing units see a multisampled buffer as pixels of four samples.
bool GpuModel::target(Target& out, const std::string& what, bool rawSamples) const
{
    const uint32_t channelMask = gpu_.reg(Unit::PE, LX_PE_OVG_CH_MASK);
    const uint32_t msaa = gpu_.reg(Unit::PE, LX_PE_OVG_MSAA_ENABLE);
    if (channelMask & ~kChannelMaskBits) {
        gpu_.protocolError(Stream::Gpu, what + ": unknown channel mask " + hex(channelMask));
        return false;
    }
    if (!rawSamples && msaa > 1) {
        gpu_.protocolError(Stream::Gpu, what + ": unknown multisample setting " + hex(msaa));
        return false;
    }
    if (!buffer(targetPair(), out.buffer, what))
        return false;
    out.keep = channelBits(*out.buffer.format, channelMask);
    out.samples = !rawSamples && msaa == 1 ? kMsaaSamples : 1;
    out.buffer.linePixels *= out.samples;
    out.buffer.stride *= out.samples;
    return true;
}

// The samples a rectangle of pixels covers in the target's lines.
bool GpuModel::storedRect(const Target& target, const Rect& pixels, Rect& stored, const std::string& what) const
{
    const uint32_t n = target.samples;
    if (pixels.right >= target.buffer.linePixels / n) {
        gpu_.protocolError(Stream::Gpu, what + ": column " + std::to_string(pixels.right) + " is beyond the line of " +
                                            std::to_string(target.buffer.linePixels / n) + " pixels");
        return false;
    }
    stored = Rect{pixels.left * n, pixels.top, pixels.right * n + n - 1, pixels.bottom};
    return true;
}

bool GpuModel::writeRect(const Target& target, const Rect& pixels, uint32_t value, const std::string& what) const
{
    Rect stored;
    return storedRect(target, pixels, stored, what) && fill(target.buffer, stored, value, target.keep, what);
}

void GpuModel::fastClear()
{
    const std::string what = "fast clear";
    Target t;
    if (!target(t, what, true))
        return;
    const uint32_t lt = gpu_.reg(Unit::PE, LX_PE_OVG_CBUF_CRLT);
    const uint32_t rb = gpu_.reg(Unit::PE, LX_PE_OVG_CBUF_CRRB);
    writeRect(t, Rect{lt >> 16, lt & 0xFFFFu, rb >> 16, rb & 0xFFFFu}, gpu_.reg(Unit::PE, LX_PE_OVG_CBUF_CVAL), what);
}

void GpuModel::spcFill(const uint32_t words[4])
{
    const std::string what = "SPC fill";
    if (words[0] != CGL_SPC_FILL || (words[1] & ~kSpcFieldBits) || (words[2] & ~kSpcFieldBits)) {
        gpu_.protocolError(Stream::Gpu, what + ": unknown header or fields beyond 11 bits: " + hex(words[0]) + " " +
                                            hex(words[1]) + " " + hex(words[2]));
        return;
    }
    Target t;
    if (unmodelled(what, {LX_PE_OVG_BLEN_EN, LX_PE_OVG_AM_EN, LX_PE_OVG_TX0_EN, LX_PE_OVG_TX1_EN,
                          LX_PE_OVG_CTRANS_EN, LX_PE_OVG_ACOLOR0_EN, LX_PE_OVG_ACOLOR1_EN, LX_PE_OVG_GAMMA_EN,
                          LX_PE_OVG_RGB2L_EN, LX_PE_OVG_PREMALPHA_EN}) ||
        !target(t, what, false))
        return;
    const uint32_t x = words[1] & 0xFFFFu, y = words[1] >> 16;
    const uint32_t w = (words[2] & 0xFFFFu) + 1, h = (words[2] >> 16) + 1;
    writeRect(t, Rect{x, y, x + w - 1, y + h - 1}, packColour(*t.buffer.format, words[3]), what);
}

}  // namespace simgpu
