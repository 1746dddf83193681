#include "chip_model.h"

namespace vnq::sim {

namespace {

const Bytes kErrorFrameData = { 0x7F };

// Analog RF registers (A01B..A022) and the shadow copies of four of them (A0CB..A0CE) that
// the host compares at start-up; they start in step.
constexpr uint16_t kAnalogBase = 0xA01B;
constexpr uint8_t kAnalogDefaults[8] = { 0x59, 0xF4, 0x3F, 0x11, 0x4D, 0x85, 0x61, 0x6F };
constexpr uint16_t kShadowBase = 0xA0CB;
constexpr int kShadowed[4] = { 1, 2, 3, 7 };  // A01C, A01D, A01E, A022

constexpr uint8_t kFelicaPolling = 0x00;
constexpr uint8_t kFelicaRequestResponse = 0x04;
constexpr uint8_t kCardStatusOk = 0x00;
constexpr uint8_t kCardStatusTimeout = 0x01;

}  // namespace

ChipModel::ChipModel()
{
    for (int i = 0; i < 8; i++)
        m_registers[kAnalogBase + i] = kAnalogDefaults[i];
    for (int i = 0; i < 4; i++)
        m_registers[kShadowBase + i] = kAnalogDefaults[kShadowed[i]];
}

uint8_t ChipModel::reg(uint16_t address) const
{
    auto it = m_registers.find(address);
    return it == m_registers.end() ? 0 : it->second;
}

Bytes ChipModel::answer(const Bytes& command, const CardField& field)
{
    if (command.size() < 2 || command[0] != 0xD4)
        return kErrorFrameData;
    const uint8_t code = command[1];
    const Bytes ok = { 0xD5, static_cast<uint8_t>(code + 1) };
    switch (code) {
    case 0x02:  // firmware version
        return { 0xD5, 0x03, kIcType, kVersion, kRevision, 0x07 };
    case 0x06:
        return readRegisters(command);
    case 0x08:
        return writeRegisters(command);
    case 0x10:  // host line speed
        return command.size() == 3 && command[2] <= 7 ? ok : kErrorFrameData;
    case 0x14:  // SAM configuration
    case 0x18:  // reset
        return ok;
    case 0x16:  // power down
        return { 0xD5, 0x17, 0x00 };
    case 0x32:
        return rfConfiguration(command);
    case 0x4A:
        return listTarget(command, field);
    case 0x42: {  // pass-through: D4 42, card frame
        Bytes answer = { 0xD5, 0x43 };
        Bytes card = felicaPassThrough(Bytes(command.begin() + 2, command.end()), field);
        answer.push_back(card.empty() ? kCardStatusTimeout : kCardStatusOk);
        answer.insert(answer.end(), card.begin(), card.end());
        return answer;
    }
    case 0xA0: {  // timed pass-through: D4 A0, time low, time high, card frame
        if (command.size() < 4)
            return kErrorFrameData;
        Bytes answer = { 0xD5, 0xA1 };
        Bytes card = felicaPassThrough(Bytes(command.begin() + 4, command.end()), field);
        answer.push_back(card.empty() ? kCardStatusTimeout : kCardStatusOk);
        answer.insert(answer.end(), card.begin(), card.end());
        return answer;
    }
    default:
        return kErrorFrameData;
    }
}

// D4 4A, maximum targets, baud rate type (00 Type A 106 kbit/s, 01/02 FeliCa), initiator data.
Bytes ChipModel::listTarget(const Bytes& command, const CardField& field) const
{
    if (command.size() < 4)
        return kErrorFrameData;
    const uint8_t type = command[3];
    Bytes answer = { 0xD5, 0x4B };
    if ((type == 0x01 || type == 0x02) && field.kind == CardField::Kind::Felica) {
        // FeliCa polling data: 00, system code (2), request code, time slot.
        const bool withSystemCode = command.size() >= 8 && command[7] == 0x01;
        answer.insert(answer.end(), { 0x01, 0x01, static_cast<uint8_t>(withSystemCode ? 20 : 18), 0x01 });
        answer.insert(answer.end(), field.idm.begin(), field.idm.end());
        answer.insert(answer.end(), field.pmm.begin(), field.pmm.end());
        if (withSystemCode)
            answer.insert(answer.end(), std::begin(kSystemCode), std::end(kSystemCode));
        return answer;
    }
    if (type == 0x00 && field.kind == CardField::Kind::TypeA) {
        const size_t len = field.typeAId.size();
        const uint8_t sensRes = len == 4 ? 0x04 : len == 7 ? 0x44 : 0x84;
        const uint8_t selRes = field.typeAExtra.empty() ? 0x08 : 0x20;
        answer.insert(answer.end(), { 0x01, 0x01, 0x00, sensRes, selRes, static_cast<uint8_t>(len) });
        answer.insert(answer.end(), field.typeAId.begin(), field.typeAId.end());
        answer.insert(answer.end(), field.typeAExtra.begin(), field.typeAExtra.end());
        return answer;
    }
    answer.push_back(0x00);  // no target
    return answer;
}

// The card's answer frame (its length byte first) to a card frame, or nothing when no card
// answers.
Bytes ChipModel::felicaPassThrough(const Bytes& cardFrame, const CardField& field) const
{
    if (field.kind != CardField::Kind::Felica || cardFrame.size() < 2 || cardFrame[0] != cardFrame.size())
        return {};
    Bytes reply;
    if (cardFrame[1] == kFelicaPolling && cardFrame.size() == 6) {
        reply.push_back(0x01);
        reply.insert(reply.end(), field.idm.begin(), field.idm.end());
        reply.insert(reply.end(), field.pmm.begin(), field.pmm.end());
        if (cardFrame[4] == 0x01)
            reply.insert(reply.end(), std::begin(kSystemCode), std::end(kSystemCode));
    } else if (cardFrame[1] == kFelicaRequestResponse && cardFrame.size() == 10 &&
               std::equal(field.idm.begin(), field.idm.end(), cardFrame.begin() + 2)) {
        reply.push_back(0x05);
        reply.insert(reply.end(), field.idm.begin(), field.idm.end());
        reply.push_back(0x00);  // mode 0
    } else {
        return {};
    }
    reply.insert(reply.begin(), static_cast<uint8_t>(reply.size() + 1));
    return reply;
}

Bytes ChipModel::readRegisters(const Bytes& command) const
{
    if (command.size() < 4 || command.size() % 2 != 0)
        return kErrorFrameData;
    Bytes answer = { 0xD5, 0x07 };
    for (size_t i = 2; i + 1 < command.size(); i += 2)
        answer.push_back(reg(static_cast<uint16_t>((command[i] << 8) | command[i + 1])));
    return answer;
}

Bytes ChipModel::writeRegisters(const Bytes& command)
{
    if (command.size() < 5 || (command.size() - 2) % 3 != 0)
        return kErrorFrameData;
    for (size_t i = 2; i + 2 < command.size(); i += 3)
        m_registers[static_cast<uint16_t>((command[i] << 8) | command[i + 1])] = command[i + 2];
    return { 0xD5, 0x09, 0x00 };
}

// D4 32, item, values. Item 0B loads the eight analog registers and their shadow copies.
Bytes ChipModel::rfConfiguration(const Bytes& command)
{
    if (command.size() < 4)
        return kErrorFrameData;
    if (command[2] == 0x0B) {
        if (command.size() != 11)
            return kErrorFrameData;
        for (int i = 0; i < 8; i++)
            m_registers[kAnalogBase + i] = command[3 + i];
        for (int i = 0; i < 4; i++)
            m_registers[kShadowBase + i] = command[3 + kShadowed[i]];
    }
    return { 0xD5, 0x33 };
}

}  // namespace vnq::sim
