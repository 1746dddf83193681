#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace vnq::sim {

// The card held on the simulated reader's antenna, if any.
struct CardField {
    enum class Kind { None, Felica, TypeA };
    Kind kind = Kind::None;
    std::array<uint8_t, 8> idm{};          // FeliCa
    std::array<uint8_t, 8> pmm{};          // FeliCa
    std::vector<uint8_t> typeAId;          // NFCID of 4, 7 or 10 bytes
    std::vector<uint8_t> typeAExtra;       // bytes the Type A answer carries after the NFCID

    static CardField none() { return {}; }
    static CardField felica(const std::array<uint8_t, 8>& idm, const std::array<uint8_t, 8>& pmm);
    static CardField typeA(const std::vector<uint8_t>& id, const std::vector<uint8_t>& extra = {});
};

// The PMm a FeliCa card gets when none is named.
constexpr std::array<uint8_t, 8> kDefaultPmm = { 0x01, 0x20, 0x22, 0x04, 0x27, 0x67, 0x4E, 0xFF };

}  // namespace vnq::sim
