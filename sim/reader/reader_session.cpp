#include "reader_session.h"

#include <utility>

namespace vnq::sim {

std::optional<Fault> faultFromName(const std::string& name)
{
    static const std::pair<const char*, Fault> names[] = {
        { "none", Fault::None },         { "split", Fault::Split },       { "dribble", Fault::Dribble },
        { "badlcs", Fault::BadLcs },     { "baddcs", Fault::BadDcs },     { "errorframe", Fault::ErrorFrame },
        { "noack", Fault::NoAck },       { "silence", Fault::Silence },   { "close", Fault::Close },
    };
    for (const auto& [text, fault] : names) {
        if (name == text)
            return fault;
    }
    return std::nullopt;
}

void ReaderSession::setFault(Fault fault, int count)
{
    m_fault = fault;
    m_faultCount = fault == Fault::None ? -1 : count;
}

Fault ReaderSession::takeFault()
{
    const Fault fault = m_fault;
    if (m_faultCount > 0 && --m_faultCount == 0)
        m_fault = Fault::None;
    return fault;
}

std::vector<LineOutput> ReaderSession::feed(const uint8_t* bytes, size_t count)
{
    std::vector<LineOutput> out;
    for (HostFrame& frame : m_parser.feed(bytes, count)) {
        if (frame.kind == HostFrame::Kind::Bad)
            m_badFrames++;
        if (frame.kind != HostFrame::Kind::Command)
            continue;  // ACKs from the host abort nothing here: every answer is already out
        m_commands.push_back(frame.data);
        for (LineOutput& o : respond(frame.data))
            out.push_back(std::move(o));
    }
    return out;
}

std::vector<LineOutput> ReaderSession::respond(const Bytes& command)
{
    const Fault fault = takeFault();
    const Bytes ack = ackFrame();
    std::optional<Bytes> substitute;
    if (m_hook)
        substitute = m_hook(command, &m_field);
    const Bytes data = substitute ? *substitute : m_chip.answer(command, m_field);
    const bool noTarget = data.size() == 3 && data[0] == 0xD5 && data[1] == 0x4B && data[2] == 0x00;
    Bytes response = buildFrame(data);
    const bool extended = response[3] == 0xFF && response[4] == 0xFF;
    switch (fault) {
    case Fault::None:
        break;
    case Fault::Split:
        return { { ack, 0 }, { response, kSplitPauseMs } };
    case Fault::Dribble: {
        std::vector<LineOutput> out;
        Bytes all = ack;
        all.insert(all.end(), response.begin(), response.end());
        for (size_t i = 0; i < all.size(); i++)
            out.push_back({ { all[i] }, i == 0 ? 0 : kDribblePauseMs });
        return out;
    }
    case Fault::BadLcs:
        response[extended ? 7 : 4] ^= 0x01;
        break;
    case Fault::BadDcs:
        response[response.size() - 2] ^= 0x01;
        break;
    case Fault::ErrorFrame:
        response = buildFrame({ 0x7F });
        break;
    case Fault::NoAck:
        return { { response, 0 } };
    case Fault::Silence:
        return {};
    case Fault::Close:
        return { { {}, 0, true } };
    }
    if (noTarget && m_pollDelayMs > 0)
        return { { ack, 0 }, { response, m_pollDelayMs } };
    Bytes all = ack;
    all.insert(all.end(), response.begin(), response.end());
    return { { all, 0 } };
}

}  // namespace vnq::sim
