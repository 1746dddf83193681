#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vnq::sim {

using Bytes = std::vector<uint8_t>;

// The chip's frames: 00 00 FF, length and its checksum, data, data checksum, 00.
Bytes buildFrame(const Bytes& data);
Bytes ackFrame();

// What the host sent: a command frame, an ACK or NACK, or a frame whose length checksum,
// data checksum or postamble was wrong.
struct HostFrame {
    enum class Kind { Command, Ack, Nack, Bad };
    Kind kind = Kind::Bad;
    Bytes data;
};

// Splits the host's byte stream into frames, skipping wake-up bytes and noise between them.
class FrameParser {
public:
    std::vector<HostFrame> feed(const uint8_t* bytes, size_t count);

private:
    bool takeFrame(std::vector<HostFrame>& out);
    Bytes m_pending;
};

}  // namespace vnq::sim
