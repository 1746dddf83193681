#pragma once

#include "card_field.h"
#include "chip_model.h"
#include "frame_codec.h"

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vnq::sim {

// How the simulated reader misbehaves while answering.
enum class Fault {
    None,        // ACK and response in one write
    Split,       // ACK, a pause, then the response
    Dribble,     // ACK and response one byte at a time
    BadLcs,      // response with a wrong length checksum
    BadDcs,      // response with a wrong data checksum
    ErrorFrame,  // ACK, then the chip's error frame instead of the response
    NoAck,       // the response without an ACK before it
    Silence,     // no answer at all
    Close,       // the line is closed instead of answering
};

std::optional<Fault> faultFromName(const std::string& name);

// One write to the line, after a pause; or the end of the line.
struct LineOutput {
    Bytes bytes;
    int pauseMs = 0;
    bool closeLine = false;
};

// The reader's protocol state: takes the host's bytes and says what to write back.
class ReaderSession {
public:
    static constexpr int kSplitPauseMs = 5;
    static constexpr int kDribblePauseMs = 1;
    // How long the chip polls an empty field before it answers "no target": well inside the
    // card service's 100 ms exchange time-out, long enough that an idle poll loop costs nothing.
    static constexpr int kChipPollTimeMs = 50;

    std::vector<LineOutput> feed(const uint8_t* bytes, size_t count);

    void setField(const CardField& field) { m_field = field; }
    const CardField& field() const { return m_field; }

    // The fault applies to the next count commands, or to all of them when count is negative.
    void setFault(Fault fault, int count = -1);

    // Called with each command before it is answered. It may change the card field (to move
    // cards between two polls) and may return answer data to send in place of the chip's.
    using AnswerHook = std::function<std::optional<Bytes>(const Bytes& command, CardField* field)>;
    void setAnswerHook(AnswerHook hook) { m_hook = std::move(hook); }

    // A list-target command that finds no card is answered ms milliseconds after its ACK, as the
    // chip answers once it has polled the field for its poll time (kChipPollTimeMs); a card on
    // the field answers at once. 0 (the default) answers every poll at once.
    void setPollDelay(int ms) { m_pollDelayMs = ms; }

    const std::vector<Bytes>& commands() const { return m_commands; }
    int badFrames() const { return m_badFrames; }
    ChipModel& chip() { return m_chip; }

private:
    Fault takeFault();
    std::vector<LineOutput> respond(const Bytes& command);

    FrameParser m_parser;
    ChipModel m_chip;
    CardField m_field;
    Fault m_fault = Fault::None;
    int m_faultCount = -1;
    std::vector<Bytes> m_commands;
    int m_badFrames = 0;
    AnswerHook m_hook;
    int m_pollDelayMs = 0;
};

}  // namespace vnq::sim
