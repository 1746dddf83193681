#include "gpu_event.h"

#include <cstdio>

#include "cgl_memreg.h"

namespace simgpu {

const char* streamName(Stream s)
{
    switch (s) {
    case Stream::Mmio: return "mmio";
    case Stream::Driver: return "driver";
    case Stream::CFifo: return "cfifo";
    case Stream::CmdBuf: return "cmdbuf";
    case Stream::SFifo: return "sfifo";
    case Stream::Gpu: return "gpu";
    }
    return "?";
}

const char* kindName(Kind k)
{
    switch (k) {
    case Kind::Write: return "write";
    case Kind::Read: return "read";
    case Kind::Raise: return "raise";
    case Kind::Kick: return "kick";
    case Kind::Sync: return "sync";
    case Kind::Rect: return "rect";
    case Kind::Fill: return "fill";
    case Kind::VpStart: return "vpstart";
    case Kind::VpData: return "vpdata";
    case Kind::Dma: return "dma";
    case Kind::Open: return "open";
    case Kind::Close: return "close";
    case Kind::Fcntl: return "fcntl";
    case Kind::Ioctl: return "ioctl";
    case Kind::Mmap: return "mmap";
    case Kind::Munmap: return "munmap";
    }
    return "?";
}

const char* unitName(Unit u)
{
    switch (u) {
    case Unit::None: return "-";
    case Unit::Mem: return "mem";
    case Unit::Memif: return "memif";
    case Unit::Mmu: return "mmu";
    case Unit::CF: return "cf";
    case Unit::VPConst: return "vpconst";
    case Unit::VPCtrl: return "vpctrl";
    case Unit::XPT: return "xpt";
    case Unit::RZ: return "rz";
    case Unit::PE: return "pe";
    case Unit::PETable: return "petable";
    case Unit::VPIRam: return "vpiram";
    case Unit::SPC: return "spc";
    }
    return "?";
}

const char* memRegName(uint32_t offset)
{
    switch (offset) {
    case LX_CFIFO: return "LX_CFIFO";
    case LX_CFIFO_CTRL: return "LX_CFIFO_CTRL";
    case LX_IP_REV: return "LX_IP_REV";
    case LX_INTR_MASK: return "LX_INTR_MASK";
    case LX_INTR_CLEAR: return "LX_INTR_CLEAR";
    case LX_INTR_STAT: return "LX_INTR_STAT";
    case LX_MISC_CTRL: return "LX_MISC_CTRL";
    case LX_READBACK: return "LX_READBACK";
    case LX_BUSY_STAT: return "LX_BUSY_STAT";
    case LX_CM_ADDR: return "LX_CM_ADDR";
    case LX_CM_WCOUNT: return "LX_CM_WCOUNT";
    case LX_SFIFO: return "LX_SFIFO";
    case LX_EXTDEV_PORTID: return "LX_EXTDEV_PORTID";
    default: return "register";
    }
}

std::string hex(uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", value);
    return text;
}

std::string describe(const Event& e)
{
    char text[128];
    std::snprintf(text, sizeof text, "%s %s %s reg=%u value=0x%08x", streamName(e.stream),
                  kindName(e.kind), unitName(e.unit), e.reg, e.value);
    return text;
}

}  // namespace simgpu
