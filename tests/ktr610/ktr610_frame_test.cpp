#include "scripted_fixture.h"

namespace ktr610test {
namespace {

// ---- Host frames ------------------------------------------------------------------------

struct FramingCase {
    size_t dataLength;
    size_t frameLength;
    Bytes header;
};

void PrintTo(const FramingCase& c, std::ostream* os)
{
    *os << c.dataLength << " data bytes";
}

class Ktr610Framing : public Ktr610Scripted, public ::testing::WithParamInterface<FramingCase> {};

TEST_P(Ktr610Framing, PicksTheNormalOrExtendedFrameByLength)
{
    const FramingCase& c = GetParam();
    Bytes command(c.dataLength);
    for (size_t i = 0; i < command.size(); i++)
        command[i] = static_cast<uint8_t>(0xD4 + i * 7);
    line().answer({ 0xD5, 0x01 });

    ASSERT_EQ(execute(command), KTR610_OK);
    ASSERT_EQ(line().writes.size(), 1u);
    const Bytes& frame = line().writes[0];
    ASSERT_EQ(frame.size(), c.frameLength);
    EXPECT_EQ(Bytes(frame.begin(), frame.begin() + c.header.size()), c.header);
    EXPECT_EQ(Bytes(frame.begin() + c.header.size(), frame.end() - 2), command);
    unsigned sum = frame[frame.size() - 2];
    for (uint8_t b : command)
        sum += b;
    EXPECT_EQ(sum & 0xFF, 0u) << "data checksum";
    EXPECT_EQ(frame.back(), 0x00) << "postamble";
    EXPECT_EQ(frame, frameOf(command)) << "agrees with the simulated reader's framing";
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, Ktr610Framing,
    ::testing::Values(FramingCase{ 2, 9, { 0x00, 0x00, 0xFF, 0x02, 0xFE } },
                      FramingCase{ 255, 262, { 0x00, 0x00, 0xFF, 0xFF, 0x01 } },
                      FramingCase{ 256, 266, { 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x01, 0x00, 0xFF } },
                      FramingCase{ 265, 275, { 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x01, 0x09, 0xF6 } }));

TEST_F(Ktr610Scripted, RefusesEmptyAndOversizedCommandsWithoutTouchingTheLine)
{
    EXPECT_EQ(execute(Bytes{}), KTR610_E_ARGUMENT);
    EXPECT_EQ(execute(Bytes(266, 0xD4)), KTR610_E_ARGUMENT);
    uint32_t len;
    uint8_t command[] = { 0xD4, 0x02 };
    EXPECT_EQ(ktr610_execute_command(&handle, command, 2, 8, nullptr, &len, 100), KTR610_E_ARGUMENT);
    EXPECT_EQ(ktr610_execute_command(nullptr, command, 2, 8, command, &len, 100), KTR610_E_ARGUMENT);
    EXPECT_TRUE(line().calls.empty());
}

TEST_F(Ktr610Scripted, ClearsTheReceiveQueueBeforeWriting)
{
    line().answer({ 0xD5, 0x03 });
    ASSERT_EQ(execute({ 0xD4, 0x02 }), KTR610_OK);
    ASSERT_GE(line().calls.size(), 2u);
    EXPECT_EQ(line().calls[0], "clear");
    EXPECT_EQ(line().calls[1], "write");
    EXPECT_EQ(line().calls[2], "read 6 275");
}

// ---- Chip answers -----------------------------------------------------------------------

struct ArrivalCase {
    const char* name;
    std::vector<std::pair<Bytes, uint32_t>> arrivals;  // bytes, clock value on arrival
    int reads;
    uint32_t ackTime;
};

void PrintTo(const ArrivalCase& c, std::ostream* os)
{
    *os << c.name;
}

const Bytes kResponse = { 0xD5, 0x4B, 0x01, 0x02, 0x03 };

Bytes concat(const Bytes& a, const Bytes& b)
{
    Bytes all = a;
    all.insert(all.end(), b.begin(), b.end());
    return all;
}

Bytes part(const Bytes& b, size_t from, size_t to)
{
    return Bytes(b.begin() + from, b.begin() + to);
}

class Ktr610ChipAnswers : public Ktr610Scripted, public ::testing::WithParamInterface<ArrivalCase> {};

TEST_P(Ktr610ChipAnswers, AreParsedHoweverTheBytesArrive)
{
    for (const auto& [bytes, at] : GetParam().arrivals)
        line().arrive(bytes, at);
    Bytes response;
    ASSERT_EQ(execute({ 0xD4, 0x4A, 0x01, 0x00 }, &response), KTR610_OK);
    EXPECT_EQ(response, kResponse);
    EXPECT_EQ(lastLength, kResponse.size());
    EXPECT_EQ(line().readCalls, GetParam().reads);
    uint32_t ackTime = 0;
    ASSERT_EQ(ktr610_get_ack_time(&handle, &ackTime), KTR610_OK);
    EXPECT_EQ(ackTime, GetParam().ackTime);
    EXPECT_TRUE(line().arrivals.empty());
}

const Bytes kFrame = frameOf(kResponse);  // 12 bytes

INSTANTIATE_TEST_SUITE_P(
    Arrivals, Ktr610ChipAnswers,
    ::testing::Values(
        ArrivalCase{ "AckAndResponseInOneRead", { { concat(ackBytes(), kFrame), 1010 } }, 1, 1010 },
        ArrivalCase{ "AckReadAloneThenTheRest", { { ackBytes(), 1010 }, { kFrame, 1020 } }, 2, 1010 },
        ArrivalCase{ "AckWithTheResponseStart",
                     { { concat(ackBytes(), part(kFrame, 0, 3)), 1010 }, { part(kFrame, 3, 12), 1020 } }, 2, 1010 },
        ArrivalCase{ "ResponseWithoutAck", { { kFrame, 1030 } }, 1, 1030 },
        ArrivalCase{ "ResponseHeaderFirst", { { ackBytes(), 1010 }, { part(kFrame, 0, 6), 1020 },
                                              { part(kFrame, 6, 12), 1030 } }, 3, 1010 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Ktr610Scripted, ReadsTheRestOfAnExtendedResponse)
{
    Bytes big(265, 0x5A);  // the largest response
    big[0] = 0xD5;
    big[1] = 0x43;
    const Bytes frame = frameOf(big);
    ASSERT_EQ(frame.size(), 275u);
    line().arrive(ackBytes());
    line().arrive(part(frame, 0, 7));
    line().arrive(part(frame, 7, frame.size()));
    Bytes response;
    ASSERT_EQ(execute({ 0xD4, 0x42 }, &response, 300), KTR610_OK);
    EXPECT_EQ(response, big);
}

struct BadAnswerCase {
    const char* name;
    Bytes bytes;
};

void PrintTo(const BadAnswerCase& c, std::ostream* os)
{
    *os << c.name;
}

Bytes corrupt(Bytes b, size_t index)
{
    b[index] ^= 0x01;
    return b;
}

Bytes extendedHeaderOfLength(unsigned len)
{
    const uint8_t high = static_cast<uint8_t>(len >> 8), low = static_cast<uint8_t>(len);
    // Header and the first two data bytes.
    return { 0x00, 0x00, 0xFF, 0xFF, 0xFF, high, low, static_cast<uint8_t>(0x100 - ((high + low) & 0xFF)), 0xD5, 0x43 };
}

class Ktr610BadAnswers : public Ktr610Scripted, public ::testing::WithParamInterface<BadAnswerCase> {};

TEST_P(Ktr610BadAnswers, AreRefusedAsBadResponses)
{
    line().arrive(ackBytes());
    line().arrive(GetParam().bytes);
    EXPECT_EQ(execute({ 0xD4, 0x4A, 0x01, 0x00 }), KTR610_E_RESPONSE);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, Ktr610BadAnswers,
    ::testing::Values(BadAnswerCase{ "StartCode", corrupt(kFrame, 2) },
                      BadAnswerCase{ "LengthChecksum", corrupt(kFrame, 4) },
                      BadAnswerCase{ "DataChecksum", corrupt(kFrame, kFrame.size() - 2) },
                      BadAnswerCase{ "Postamble", corrupt(kFrame, kFrame.size() - 1) },
                      BadAnswerCase{ "ExtendedLengthChecksum", corrupt(extendedHeaderOfLength(300), 7) },
                      BadAnswerCase{ "ExtendedTooLong", extendedHeaderOfLength(266) },
                      BadAnswerCase{ "SecondAck", ackBytes() }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Ktr610Scripted, PassesTransportFailuresOn)
{
    EXPECT_EQ(execute({ 0xD4, 0x02 }), KTR610_E_TIMEOUT) << "nothing arrives";

    line().reset();
    line().arrive(ackBytes());
    EXPECT_EQ(execute({ 0xD4, 0x02 }), KTR610_E_TIMEOUT) << "ACK without response";

    line().reset();
    line().failRead(KTR610_E_SYSCALL);
    EXPECT_EQ(execute({ 0xD4, 0x02 }), KTR610_E_SYSCALL);

    line().reset();
    line().writeStatus = KTR610_E_TIMEOUT;
    EXPECT_EQ(execute({ 0xD4, 0x02 }), KTR610_E_TIMEOUT);
    EXPECT_EQ(line().readCalls, 0);
}

TEST_F(Ktr610Scripted, ResponseLongerThanTheBufferKeepsItsStart)
{
    const Bytes eight = { 0xD5, 0x07, 1, 2, 3, 4, 5, 6 };
    line().answer(eight);
    Bytes response;
    EXPECT_EQ(execute({ 0xD4, 0x06 }, &response, 6), KTR610_E_OVERFLOW);
    EXPECT_EQ(lastLength, 8u);
    EXPECT_EQ(response, part(eight, 0, 6));

    // The fixed commands report the same as a bad response.
    line().answer({ 0xD5, 0x03, 0x61, 0x01, 0x20, 0x07, 0x00 });
    uint8_t ic = 0;
    uint16_t version = 0;
    EXPECT_EQ(ktr610_get_firmware_version(&handle, &ic, &version, 100), KTR610_E_RESPONSE);
}

}  // namespace
}  // namespace ktr610test
