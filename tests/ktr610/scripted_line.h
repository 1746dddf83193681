#pragma once

#include "ktr610.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace ktr610test {

using Bytes = std::vector<uint8_t>;

// What the scripted chip delivers to one read: bytes arriving at a clock value, or a failing
// read with a status.
struct Arrival {
    Bytes bytes;
    uint32_t atMs = 0;
    uint32_t status = KTR610_OK;
};

// The line under the chip layer: reads take scripted arrivals, writes and every other
// transport call (and each sleep of the fake libutl) are logged in order.
struct ScriptedLine {
    std::deque<Arrival> arrivals;
    std::vector<Bytes> writes;
    std::vector<std::string> calls;
    uint32_t nowMs = 1000;
    uint32_t writeStatus = KTR610_OK;
    uint32_t setSpeedStatus = KTR610_OK;
    uint32_t closeStatus = KTR610_OK;
    uint32_t clearStatus = KTR610_OK;
    int readCalls = 0;

    static ScriptedLine& get();
    void reset() { get() = ScriptedLine(); }

    // Queues the chip's ACK and a response frame with data, as one arrival or two.
    void answer(const Bytes& data, bool split = false);
    void arrive(const Bytes& bytes, uint32_t atMs = 0) { arrivals.push_back({ bytes, atMs, KTR610_OK }); }
    void failRead(uint32_t status) { arrivals.push_back({ {}, 0, status }); }
};

extern const ktr610_transport_t kScriptedTransport;

Bytes frameOf(const Bytes& data);
Bytes ackBytes();

}  // namespace ktr610test
