#pragma once

#include <cstdint>
#include <vector>

#include "gpu_event.h"

namespace simgpu {

class SimGpu;

// Decodes command packets word by word, from the command FIFO (terminators when they are on)
// or from a command buffer (never terminators), and hands each register access to the GPU.
class CommandDecoder {
public:
    CommandDecoder(SimGpu& gpu, Stream stream) : gpu_(gpu), stream_(stream) {}

    void push(uint32_t word, bool terminatorOn);
    bool betweenPackets() const { return state_ == State::Header; }

private:
    enum class State { Header, Data, Terminator };

    void header(uint32_t word, bool terminatorOn);
    void data(uint32_t word, bool terminatorOn);
    void endPacket(bool terminatorOn);

    SimGpu& gpu_;
    Stream stream_;
    State state_ = State::Header;
    uint32_t opcode_ = 0;
    uint32_t reg_ = 0;
    uint32_t index_ = 0;
    uint32_t count_ = 0;
    uint32_t iramBase_ = 0;  // first instruction-RAM word of a 0x44 packet
    std::vector<uint32_t> vpWords_;  // the data of a VP data packet so far
};

// Decodes SPC-FIFO commands: register writes to the SPC or the pixel engine, reads, syncs and
// rectangle copies.
class SpcDecoder {
public:
    explicit SpcDecoder(SimGpu& gpu) : gpu_(gpu) {}

    void push(uint32_t word, bool terminatorOn);
    bool betweenCommands() const { return state_ == State::Header; }

private:
    enum class State { Header, Value, PairRegister, Rect, Fill, Terminator };

    void header(uint32_t word, bool terminatorOn);
    void endCommand(bool terminatorOn);

    SimGpu& gpu_;
    State state_ = State::Header;
    Unit unit_ = Unit::SPC;
    uint32_t reg_ = 0;
    uint32_t pairsLeft_ = 0;
    uint32_t rect_[4] = {};  // the words of a rectangle copy or fill, header first
    uint32_t rectWords_ = 0;
};

}  // namespace simgpu
