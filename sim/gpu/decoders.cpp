#include "decoders.h"

#include <cstdio>
#include <string>

#include "cgl_packet.h"
#include "cgl_unitreg.h"
#include "simgpu.h"

namespace simgpu {
namespace {

// The unit a write or read opcode addresses; Unit::None for the others.
Unit unitOfOpcode(uint32_t opcode)
{
    switch (opcode) {
    case CGL_OP_CF_WRITE:
    case CGL_OP_CF_READ: return Unit::CF;
    case CGL_OP_VPCONST_WRITE:
    case CGL_OP_VPCONST_READ: return Unit::VPConst;
    case CGL_OP_VPCTRL_WRITE: return Unit::VPCtrl;
    case CGL_OP_XPT_WRITE:
    case CGL_OP_XPT_READ: return Unit::XPT;
    case CGL_OP_RZ_WRITE: return Unit::RZ;
    case CGL_OP_PE_WRITE: return Unit::PE;
    default: return Unit::None;
    }
}

bool isReadOpcode(uint32_t opcode)
{
    return opcode == CGL_OP_CF_READ || opcode == CGL_OP_XPT_READ || opcode == CGL_OP_VPCONST_READ;
}

}  // namespace

void CommandDecoder::push(uint32_t word, bool terminatorOn)
{
    switch (state_) {
    case State::Header:
        header(word, terminatorOn);
        break;
    case State::Data:
        data(word, terminatorOn);
        break;
    case State::Terminator:
        state_ = State::Header;
        if (word != CGL_TERMINATOR) {
            gpu_.protocolError(stream_, "missing terminator, got " + hex(word));
            header(word, terminatorOn);
        }
        break;
    }
}

void CommandDecoder::header(uint32_t word, bool terminatorOn)
{
    if (word == CGL_TERMINATOR) {
        gpu_.protocolError(stream_, "terminator outside a packet");
        return;
    }
    opcode_ = CGL_PKT_OPCODE(word);
    reg_ = CGL_PKT_REG(word);
    count_ = CGL_PKT_COUNT(word);
    index_ = 0;

    if (word == CGL_PKT_HEADER(CGL_OP_VP_START, 0, 0)) {
        gpu_.vpStart(stream_);
        endPacket(terminatorOn);
        return;
    }
    if (isReadOpcode(opcode_)) {
        if (count_ != 0)
            gpu_.protocolError(stream_, "read packet with data words: " + hex(word));
        gpu_.unitRead(stream_, unitOfOpcode(opcode_), reg_);
        endPacket(terminatorOn);
        return;
    }
    if (unitOfOpcode(opcode_) == Unit::None && opcode_ != CGL_OP_VPIRAM_LOAD &&
        opcode_ != CGL_OP_PE_TABLE_WRITE && opcode_ != CGL_OP_VP_DATA) {
        gpu_.protocolError(stream_, "unknown packet header " + hex(word));
        return;
    }
    if (count_ == 0) {
        gpu_.protocolError(stream_, "packet without data words: " + hex(word));
        endPacket(terminatorOn);
        return;
    }
    if (opcode_ == CGL_OP_XPT_WRITE && reg_ < LX_XPT_SWAP && reg_ + count_ > LX_XPT_SWAP)
        gpu_.protocolError(stream_, "edge-unit packet crosses LX_XPT_SWAP: " + hex(word));
    if (opcode_ == CGL_OP_VP_DATA) {
        if (reg_ != 0)
            gpu_.protocolError(stream_, "VP data packet with a register field: " + hex(word));
        vpWords_.clear();
    }
    if (opcode_ == CGL_OP_VPIRAM_LOAD) {
        uint32_t index = (word >> 14) & 0x3ffu;
        if (count_ % CGL_VP_INST_WORDS != 0)
            gpu_.protocolError(stream_, "instruction-RAM load of partial instructions: " + hex(word));
        if (index + count_ / CGL_VP_INST_WORDS > CGL_VP_IRAM_BANK_INSTS)
            gpu_.protocolError(stream_, "instruction-RAM load crosses a bank: " + hex(word));
        iramBase_ = (gpu_.iramBank() * CGL_VP_IRAM_BANK_INSTS + index) * CGL_VP_INST_WORDS;
    }
    state_ = State::Data;
}

void CommandDecoder::data(uint32_t word, bool terminatorOn)
{
    switch (opcode_) {
    case CGL_OP_VPIRAM_LOAD:
        gpu_.iramWrite(stream_, iramBase_ + index_, word);
        break;
    case CGL_OP_PE_TABLE_WRITE:
        gpu_.peTableWrite(stream_, word);
        break;
    case CGL_OP_VP_DATA:
        vpWords_.push_back(word);
        if (vpWords_.size() == count_)
            gpu_.vpData(stream_, vpWords_);
        break;
    default: {
        uint32_t reg = reg_ + index_;
        if (opcode_ == CGL_OP_XPT_WRITE && reg == LX_XPT_SWAP && index_ == 0 && (word & 0x8u) &&
            !gpu_.lastXptWriteStartedEdgeScan())
            gpu_.protocolError(stream_, "LX_XPT_SWAP with bit 3 set not preceded by LX_XPT_EDGE_SCAN_START");
        gpu_.unitWrite(stream_, unitOfOpcode(opcode_), reg, word);
        break;
    }
    }
    if (++index_ == count_)
        endPacket(terminatorOn);
}

void CommandDecoder::endPacket(bool terminatorOn)
{
    state_ = terminatorOn ? State::Terminator : State::Header;
}

void SpcDecoder::push(uint32_t word, bool terminatorOn)
{
    switch (state_) {
    case State::Header:
        header(word, terminatorOn);
        break;
    case State::Value:
        gpu_.unitWrite(Stream::SFifo, unit_, reg_, word);
        if (--pairsLeft_ == 0)
            endCommand(terminatorOn);
        else
            state_ = State::PairRegister;
        break;
    case State::PairRegister:
        if ((word & 0xf000ffffu) != 0)
            gpu_.protocolError(Stream::SFifo, "bad register word in an SPC register command: " + hex(word));
        reg_ = CGL_SPC_REG(word);
        state_ = State::Value;
        break;
    case State::Rect:
    case State::Fill:
        rect_[rectWords_++] = word;
        if (rectWords_ == 4) {
            if (state_ == State::Rect)
                gpu_.spcRectangle(rect_);
            else
                gpu_.spcFill(rect_);
            endCommand(terminatorOn);
        }
        break;
    case State::Terminator:
        state_ = State::Header;
        if (word != CGL_TERMINATOR) {
            gpu_.protocolError(Stream::SFifo, "missing terminator, got " + hex(word));
            header(word, terminatorOn);
        }
        break;
    }
}

void SpcDecoder::header(uint32_t word, bool terminatorOn)
{
    if (word == CGL_TERMINATOR) {
        gpu_.protocolError(Stream::SFifo, "terminator outside a command");
        return;
    }
    switch (CGL_SPC_CMD(word)) {
    case CGL_SPC_RECT >> 12:
    case CGL_SPC_FILL >> 12:
        rect_[0] = word;
        rectWords_ = 1;
        state_ = CGL_SPC_CMD(word) == (CGL_SPC_RECT >> 12) ? State::Rect : State::Fill;
        break;
    case CGL_SPC_WRITE_SPC >> 12:
    case CGL_SPC_WRITE_PE >> 12:
        unit_ = CGL_SPC_CMD(word) == (CGL_SPC_WRITE_SPC >> 12) ? Unit::SPC : Unit::PE;
        reg_ = CGL_SPC_REG(word);
        pairsLeft_ = (word & 3u) + 1;
        state_ = State::Value;
        break;
    case CGL_SPC_READ_SPC >> 12:
        gpu_.unitRead(Stream::SFifo, Unit::SPC, CGL_SPC_REG(word));
        endCommand(terminatorOn);
        break;
    case CGL_SPC_SYNC >> 12:
        gpu_.spcSync();
        endCommand(terminatorOn);
        break;
    default:
        gpu_.protocolError(Stream::SFifo, "unknown SPC command " + hex(word));
        break;
    }
}

void SpcDecoder::endCommand(bool terminatorOn)
{
    state_ = terminatorOn ? State::Terminator : State::Header;
}

}  // namespace simgpu
