#include "scripted_line.h"

#include "frame_codec.h"

#include <algorithm>
#include <cstring>

namespace ktr610test {

ScriptedLine& ScriptedLine::get()
{
    static ScriptedLine line;
    return line;
}

Bytes frameOf(const Bytes& data)
{
    return vnq::sim::buildFrame(data);
}

Bytes ackBytes()
{
    return vnq::sim::ackFrame();
}

void ScriptedLine::answer(const Bytes& data, bool split)
{
    if (split) {
        arrive(ackBytes());
        arrive(frameOf(data));
        return;
    }
    Bytes all = ackBytes();
    const Bytes frame = frameOf(data);
    all.insert(all.end(), frame.begin(), frame.end());
    arrive(all);
}

namespace {

ScriptedLine& line()
{
    return ScriptedLine::get();
}

uint32_t scriptedOpen(int* port, const char* name)
{
    line().calls.push_back(std::string("open ") + name);
    *port = 7;
    return KTR610_OK;
}

uint32_t scriptedClose(int)
{
    line().calls.push_back("close");
    return line().closeStatus;
}

uint32_t scriptedWrite(int, const uint8_t* data, uint32_t count, uint32_t, uint32_t)
{
    line().calls.push_back("write");
    line().writes.emplace_back(data, data + count);
    return line().writeStatus;
}

// Delivers arrivals until at least min bytes are in, never more than max; a time-out when the
// script runs dry first.
uint32_t scriptedRead(int, uint32_t min, uint32_t max, uint8_t* buffer, uint32_t* received, uint32_t, uint32_t)
{
    ScriptedLine& l = line();
    l.readCalls++;
    l.calls.push_back("read " + std::to_string(min) + " " + std::to_string(max));
    uint32_t got = 0;
    while (got < min) {
        if (l.arrivals.empty())
            return KTR610_E_TIMEOUT;
        Arrival& a = l.arrivals.front();
        if (a.status != KTR610_OK) {
            const uint32_t status = a.status;
            l.arrivals.pop_front();
            return status;
        }
        const uint32_t take = std::min<uint32_t>(static_cast<uint32_t>(a.bytes.size()), max - got);
        std::memcpy(buffer + got, a.bytes.data(), take);
        got += take;
        l.nowMs = std::max(l.nowMs, a.atMs);
        a.bytes.erase(a.bytes.begin(), a.bytes.begin() + take);
        if (a.bytes.empty())
            l.arrivals.pop_front();
    }
    if (received)
        *received = got;
    return KTR610_OK;
}

uint32_t scriptedSetSpeed(int, uint32_t bps)
{
    line().calls.push_back("set_speed " + std::to_string(bps));
    return line().setSpeedStatus;
}

uint32_t scriptedClear(int)
{
    line().calls.push_back("clear");
    return line().clearStatus;
}

uint32_t scriptedDrain(int)
{
    line().calls.push_back("drain");
    return KTR610_OK;
}

}  // namespace

const ktr610_transport_t kScriptedTransport = {
    "scripted", scriptedOpen, scriptedClose, scriptedWrite, scriptedRead, scriptedSetSpeed,
    scriptedClear, scriptedDrain, nullptr, nullptr,
};

}  // namespace ktr610test
