#pragma once

#include <cstdint>
#include <string>

namespace simgpu {

// Where an event came from.
enum class Stream {
    Mmio,      // a register-window store or load by the CPU
    Driver,    // a call on the device node (open, ioctl, mmap, ...)
    CFifo,     // decoded from words pushed into the command FIFO
    CmdBuf,    // decoded from a command buffer fetched from GPU memory
    SFifo,     // decoded from words pushed into the SPC FIFO
    Gpu,       // done by the GPU itself (interrupts raised, DMA)
};

enum class Kind {
    Write,   // a register or memory word written (reg, value)
    Read,    // a register read (reg, value returned)
    Raise,   // interrupt bits raised (value)
    Kick,    // a command buffer started: reg = GPU address, value = word count
    Sync,    // SPC sync command
    Rect,    // SPC rectangle copy word: reg = 0 header, 1 position, 2 size, 3 source
    VpStart, // the vertex processor started: reg = LX_VP_IADDR, value = its value
    Fill,    // SPC fill word: reg = 0 header, 1 position, 2 size, 3 RGBA8888 colour
    Dma,     // instruction-RAM DMA: reg = first instruction-RAM word, value = word count
    VpData,  // one word of a VP data packet: reg = its index, value = the word
    Open, Close, Fcntl, Ioctl, Mmap, Munmap,  // driver calls: reg = request / offset, value = argument / length
};

// The register space an event addresses.
enum class Unit {
    None,
    Mem,      // memory-mapped registers (byte offsets)
    Memif,    // memory-interface view of 512 and up
    Mmu,      // MMU view of 512 and up
    CF, VPConst, VPCtrl, XPT, RZ, PE,
    PETable,  // pixel-engine table memory (reg = table position)
    VPIRam,   // instruction RAM (reg = word index, three words per instruction)
    SPC,
};

struct Event {
    Stream stream;
    Kind kind;
    Unit unit;
    uint32_t reg;
    uint32_t value;
};

const char* streamName(Stream s);
const char* kindName(Kind k);
const char* unitName(Unit u);
const char* memRegName(uint32_t offset);
std::string describe(const Event& e);
// "0x" and eight hexadecimal digits.
std::string hex(uint32_t value);

}  // namespace simgpu
