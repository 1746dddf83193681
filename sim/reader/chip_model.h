#pragma once

#include "card_field.h"
#include "frame_codec.h"

#include <cstdint>
#include <map>

namespace vnq::sim {

// The reader chip's answers to host commands, for the commands the card service uses.
class ChipModel {
public:
    static constexpr uint8_t kIcType = 0x61;
    static constexpr uint8_t kVersion = 0x01;
    static constexpr uint8_t kRevision = 0x20;
    static constexpr uint8_t kSystemCode[2] = { 0x00, 0x03 };

    ChipModel();

    // The response data (D5, code + 1, ...) for one command; the error frame's data (7F) for
    // a command the chip does not know or cannot parse.
    Bytes answer(const Bytes& command, const CardField& field);

    uint8_t reg(uint16_t address) const;
    void setRegister(uint16_t address, uint8_t value) { m_registers[address] = value; }

private:
    Bytes listTarget(const Bytes& command, const CardField& field) const;
    Bytes felicaPassThrough(const Bytes& cardFrame, const CardField& field) const;
    Bytes readRegisters(const Bytes& command) const;
    Bytes writeRegisters(const Bytes& command);
    Bytes rfConfiguration(const Bytes& command);

    std::map<uint16_t, uint8_t> m_registers;
};

}  // namespace vnq::sim
