#include "frame_codec.h"

#include <algorithm>

namespace vnq::sim {

namespace {

uint8_t checksum(const uint8_t* data, size_t len)
{
    unsigned sum = 0;
    for (size_t i = 0; i < len; i++)
        sum += data[i];
    return static_cast<uint8_t>(0x100 - (sum & 0xFF));
}

constexpr uint8_t kStart[] = { 0x00, 0x00, 0xFF };

}  // namespace

Bytes buildFrame(const Bytes& data)
{
    Bytes frame(kStart, kStart + 3);
    const size_t len = data.size();
    if (len <= 255) {
        frame.push_back(static_cast<uint8_t>(len));
        frame.push_back(static_cast<uint8_t>(0x100 - len));
    } else {
        const uint8_t high = static_cast<uint8_t>(len >> 8), low = static_cast<uint8_t>(len);
        frame.insert(frame.end(), { 0xFF, 0xFF, high, low, static_cast<uint8_t>(0x100 - ((high + low) & 0xFF)) });
    }
    frame.insert(frame.end(), data.begin(), data.end());
    frame.push_back(checksum(data.data(), len));
    frame.push_back(0x00);
    return frame;
}

Bytes ackFrame()
{
    return { 0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00 };
}

std::vector<HostFrame> FrameParser::feed(const uint8_t* bytes, size_t count)
{
    m_pending.insert(m_pending.end(), bytes, bytes + count);
    std::vector<HostFrame> frames;
    while (takeFrame(frames)) {
    }
    return frames;
}

// Takes one frame (or drops one false start) off the pending bytes; false when more bytes
// are needed.
bool FrameParser::takeFrame(std::vector<HostFrame>& out)
{
    auto start = std::search(m_pending.begin(), m_pending.end(), std::begin(kStart), std::end(kStart));
    if (start == m_pending.end()) {
        // Keep a possible beginning of the start code.
        if (m_pending.size() > 2)
            m_pending.erase(m_pending.begin(), m_pending.end() - 2);
        return false;
    }
    m_pending.erase(m_pending.begin(), start);
    if (m_pending.size() < 5)
        return false;

    const uint8_t b3 = m_pending[3], b4 = m_pending[4];
    auto dropFalseStart = [&] {
        out.push_back({ HostFrame::Kind::Bad, {} });
        m_pending.erase(m_pending.begin(), m_pending.begin() + 3);
        return true;
    };
    if ((b3 == 0x00 && b4 == 0xFF) || (b3 == 0xFF && b4 == 0x00)) {
        if (m_pending.size() < 6)
            return false;
        HostFrame::Kind kind = b3 == 0x00 ? HostFrame::Kind::Ack : HostFrame::Kind::Nack;
        out.push_back({ m_pending[5] == 0x00 ? kind : HostFrame::Kind::Bad, {} });
        m_pending.erase(m_pending.begin(), m_pending.begin() + 6);
        return true;
    }

    size_t header, len;
    if (b3 == 0xFF && b4 == 0xFF) {
        if (m_pending.size() < 8)
            return false;
        if (((m_pending[5] + m_pending[6] + m_pending[7]) & 0xFF) != 0)
            return dropFalseStart();
        header = 8;
        len = (size_t(m_pending[5]) << 8) | m_pending[6];
    } else {
        if (((b3 + b4) & 0xFF) != 0 || b3 == 0)
            return dropFalseStart();
        header = 5;
        len = b3;
    }
    if (m_pending.size() < header + len + 2)
        return false;

    const uint8_t* data = m_pending.data() + header;
    HostFrame frame;
    if (data[len] == checksum(data, len) && data[len + 1] == 0x00) {
        frame.kind = HostFrame::Kind::Command;
        frame.data.assign(data, data + len);
    }
    out.push_back(std::move(frame));
    m_pending.erase(m_pending.begin(), m_pending.begin() + header + len + 2);
    return true;
}

}  // namespace vnq::sim
