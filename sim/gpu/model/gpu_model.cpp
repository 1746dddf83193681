#include "gpu_model.h"

#include <cstdio>

#include "cgl_unitreg.h"

namespace simgpu {
namespace {

constexpr uint32_t kAddrRegs[3] = {LX_PE_OVG_CBUF0_ADDR, LX_PE_OVG_CBUF1_ADDR, LX_PE_OVG_CBUF2_ADDR};
constexpr uint32_t kFmtRegs[3] = {LX_PE_OVG_CBUF0_FMT, LX_PE_OVG_CBUF1_FMT, LX_PE_OVG_CBUF2_FMT};

}  // namespace

void GpuModel::unitWrite(Unit unit, uint32_t reg, uint32_t value)
{
    if (unit == Unit::PE && reg == LX_PE_OVG_CBUF_CSTART && value == 1)
        fastClear();
}

unsigned GpuModel::targetPair() const
{
    unsigned pair = gpu_.reg(Unit::PE, LX_PE_OVG_BUF_SWAP) & 3u;
    return pair > 2 ? 2 : pair;
}

bool GpuModel::buffer(unsigned pair, ColourBuffer& out, const std::string& what) const
{
    uint32_t fmt = gpu_.reg(Unit::PE, kFmtRegs[pair]);
    out.address = gpu_.reg(Unit::PE, kAddrRegs[pair]);
    out.format = pixelFormat(fmt & 0xFFFFu);
    out.linePixels = (fmt >> 16) & 0x3FFFu;
    if (!out.format) {
        gpu_.protocolError(Stream::Gpu, what + ": CBUF" + std::to_string(pair) + " has the unknown format code " +
                                            std::to_string(fmt & 0xFFFFu));
        return false;
    }
    uint64_t bits = static_cast<uint64_t>(out.linePixels) * out.format->bpp;
    if (bits % 8 != 0) {
        gpu_.protocolError(Stream::Gpu, what + ": CBUF" + std::to_string(pair) + " lines are not whole bytes");
        return false;
    }
    out.stride = static_cast<uint32_t>(bits / 8);
    return true;
}

bool GpuModel::fill(const ColourBuffer& buffer, const Rect& rect, uint32_t value, const std::string& what) const
{
    if (rect.right < rect.left || rect.bottom < rect.top) {
        gpu_.protocolError(Stream::Gpu, what + ": empty rectangle");
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
    // Pixel index of the first byte's first pixel, so sub-byte pixels keep their position.
    const uint32_t basePixel = static_cast<uint32_t>(firstByte * 8 / bpp);
    for (uint32_t y = rect.top; y <= rect.bottom; ++y) {
        uint8_t* row = memory + static_cast<size_t>(y - rect.top) * buffer.stride;
        for (uint32_t x = rect.left; x <= rect.right; ++x)
            writePixel(row, x - basePixel, bpp, value);
    }
    return true;
}

bool GpuModel::unmodelled(const std::string& what, std::initializer_list<uint32_t> peRegsThatMustBeZero) const
{
    for (uint32_t reg : peRegsThatMustBeZero) {
        uint32_t value = gpu_.reg(Unit::PE, reg);
        if (value != 0) {
            gpu_.protocolError(Stream::Gpu, what + ": PE register " + std::to_string(reg) + " = " + hex(value) +
                                                " is not modelled");
            return true;
        }
    }
    return false;
}

void GpuModel::fastClear()
{
    const std::string what = "fast clear";
    ColourBuffer target;
    if (unmodelled(what, {LX_PE_OVG_CH_MASK}) || !buffer(targetPair(), target, what))
        return;
    uint32_t lt = gpu_.reg(Unit::PE, LX_PE_OVG_CBUF_CRLT);
    uint32_t rb = gpu_.reg(Unit::PE, LX_PE_OVG_CBUF_CRRB);
    Rect rect{lt >> 16, lt & 0xFFFFu, rb >> 16, rb & 0xFFFFu};
    uint32_t bpp = target.format->bpp;
    uint32_t value = gpu_.reg(Unit::PE, LX_PE_OVG_CBUF_CVAL);
    fill(target, rect, bpp == 32 ? value : value & ((1u << bpp) - 1), what);
}

void GpuModel::spcFill(const uint32_t words[4])
{
    const std::string what = "SPC fill";
    ColourBuffer target;
    if (unmodelled(what, {LX_PE_OVG_CH_MASK, LX_PE_OVG_BLEN_EN, LX_PE_OVG_AM_EN, LX_PE_OVG_TX0_EN,
                          LX_PE_OVG_TX1_EN, LX_PE_OVG_CTRANS_EN, LX_PE_OVG_ACOLOR0_EN, LX_PE_OVG_ACOLOR1_EN,
                          LX_PE_OVG_GAMMA_EN, LX_PE_OVG_RGB2L_EN, LX_PE_OVG_PREMALPHA_EN, LX_PE_OVG_MSAA_ENABLE}) ||
        !buffer(targetPair(), target, what))
        return;
    uint32_t x = words[1] & 0xFFFFu, y = words[1] >> 16;
    uint32_t w = (words[2] & 0xFFFFu) + 1, h = (words[2] >> 16) + 1;
    fill(target, Rect{x, y, x + w - 1, y + h - 1}, packColour(*target.format, words[3]), what);
}

}  // namespace simgpu
