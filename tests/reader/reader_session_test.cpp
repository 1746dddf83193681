// The simulated reader chip's timing of its answers: a poll of an empty field is answered
// after the chip's poll time, with the ACK at once; a card, and every other command, at once.
#include "reader_session.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using vnq::sim::Bytes;
using vnq::sim::CardField;
using vnq::sim::LineOutput;
using vnq::sim::ReaderSession;

const Bytes kFelicaPoll = { 0xD4, 0x4A, 0x01, 0x01, 0x00, 0xFF, 0xFF, 0x01, 0x00 };
const Bytes kTypeAPoll = { 0xD4, 0x4A, 0x01, 0x00 };
const Bytes kRfOff = { 0xD4, 0x32, 0x01, 0x00 };

std::vector<LineOutput> send(ReaderSession& session, const Bytes& command)
{
    const Bytes frame = vnq::sim::buildFrame(command);
    return session.feed(frame.data(), frame.size());
}

// The writes as "pause:bytes" words, the ACK named, for readable failures.
std::vector<std::string> timeline(const std::vector<LineOutput>& outputs)
{
    std::vector<std::string> words;
    for (const LineOutput& out : outputs) {
        std::string bytes = out.bytes == vnq::sim::ackFrame() ? "ack" : std::to_string(out.bytes.size()) + " bytes";
        if (out.bytes.size() > 6 && Bytes(out.bytes.begin(), out.bytes.begin() + 6) == vnq::sim::ackFrame())
            bytes = "ack+" + std::to_string(out.bytes.size() - 6) + " bytes";
        words.push_back(std::to_string(out.pauseMs) + ":" + bytes);
    }
    return words;
}

TEST(SimulatedChipTiming, AnEmptyFieldIsAnsweredAfterThePollTime)
{
    const int poll = ReaderSession::kChipPollTimeMs;
    const std::string emptyAnswer = std::to_string(poll) + ":10 bytes";  // D5 4B 00 in a frame
    struct Case {
        const char* name;
        CardField field;
        Bytes command;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        { "FeliCa poll, no card", CardField::none(), kFelicaPoll, { "0:ack", emptyAnswer } },
        { "Type A poll, no card", CardField::none(), kTypeAPoll, { "0:ack", emptyAnswer } },
        { "Type A poll, a FeliCa card", CardField::felica({ 1, 2, 3, 4, 5, 6, 7, 8 }, vnq::sim::kDefaultPmm),
          kTypeAPoll, { "0:ack", emptyAnswer } },
        { "FeliCa poll, a FeliCa card", CardField::felica({ 1, 2, 3, 4, 5, 6, 7, 8 }, vnq::sim::kDefaultPmm),
          kFelicaPoll, { "0:ack+31 bytes" } },
        { "Type A poll, a Type A card", CardField::typeA({ 4, 0xA1, 0xB2, 0xC3 }), kTypeAPoll, { "0:ack+19 bytes" } },
        { "RF off", CardField::none(), kRfOff, { "0:ack+9 bytes" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReaderSession session;
        session.setPollDelay(poll);
        session.setField(c.field);
        EXPECT_EQ(timeline(send(session, c.command)), c.expected);
    }
}

TEST(SimulatedChipTiming, WithoutAPollTimeEveryPollIsAnsweredAtOnce)
{
    ReaderSession session;
    EXPECT_EQ(timeline(send(session, kFelicaPoll)), (std::vector<std::string>{ "0:ack+10 bytes" }));
}

}  // namespace
