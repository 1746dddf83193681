#include "scripted_fixture.h"

namespace ktr610test {
namespace {

const Bytes kRequestResponse = { 0x04, 1, 2, 3, 4, 5, 6, 7, 8 };  // card command without its length byte
const Bytes kCardAnswer = { 0x05, 1, 2, 3, 4, 5, 6, 7, 8, 0x00 };

Bytes chipAnswer(uint8_t code, uint8_t status, const Bytes& card = {})
{
    Bytes a = { 0xD5, code, status };
    if (!card.empty()) {
        a.push_back(static_cast<uint8_t>(card.size() + 1));
        a.insert(a.end(), card.begin(), card.end());
    }
    return a;
}

Bytes timedCommand(uint16_t timeField, const Bytes& card)
{
    Bytes c = { 0xD4, 0xA0, static_cast<uint8_t>(timeField), static_cast<uint8_t>(timeField >> 8) };
    if (!card.empty()) {
        c.push_back(static_cast<uint8_t>(card.size() + 1));
        c.insert(c.end(), card.begin(), card.end());
    }
    return c;
}

struct FelicaCase {
    const char* name;
    bool withResponse;
    uint32_t cardTimeout;
    Bytes expectedCommand;
    Bytes chipAnswer;
    uint32_t status;
    Bytes expectedResponse;
};

void PrintTo(const FelicaCase& c, std::ostream* os)
{
    *os << c.name;
}

class Ktr610Felica : public Ktr610Scripted, public ::testing::WithParamInterface<FelicaCase> {};

TEST_P(Ktr610Felica, FramesTheCardCommandAndMapsTheChipStatus)
{
    const FelicaCase& c = GetParam();
    line().answer(c.chipAnswer);
    uint8_t response[32] = {};
    uint32_t len = 99;
    const uint32_t status = ktr610_felica_command(
        &handle, kRequestResponse.data(), static_cast<uint32_t>(kRequestResponse.size()), c.withResponse ? 32 : 0,
        c.withResponse ? response : nullptr, &len, c.cardTimeout, 100);
    EXPECT_EQ(status, c.status);
    ASSERT_FALSE(line().writes.empty());
    EXPECT_EQ(line().writes[0], frameOf(c.expectedCommand));
    if (status == KTR610_OK) {
        EXPECT_EQ(len, c.expectedResponse.size());
        EXPECT_EQ(Bytes(response, response + c.expectedResponse.size()), c.expectedResponse);
    }
}

const Bytes kPassThrough = [] {
    Bytes c = { 0xD4, 0x42, static_cast<uint8_t>(kRequestResponse.size() + 1) };
    c.insert(c.end(), kRequestResponse.begin(), kRequestResponse.end());
    return c;
}();

INSTANTIATE_TEST_SUITE_P(
    Cases, Ktr610Felica,
    ::testing::Values(
        FelicaCase{ "TimedAnswer", true, 100, timedCommand(200, kRequestResponse), chipAnswer(0xA1, 0x00, kCardAnswer),
                    KTR610_OK, kCardAnswer },
        FelicaCase{ "TimedNoAnswerWithBuffer", true, 100, timedCommand(200, kRequestResponse),
                    chipAnswer(0xA1, 0x01), KTR610_E_TIMEOUT, {} },
        FelicaCase{ "TimedNoAnswerWithoutBuffer", false, 100, timedCommand(0, kRequestResponse),
                    chipAnswer(0xA1, 0x01), KTR610_OK, {} },
        FelicaCase{ "LongCardTimeoutWithoutBuffer", false, 40000, timedCommand(0, kRequestResponse),
                    chipAnswer(0xA1, 0x00), KTR610_OK, {} },
        FelicaCase{ "Status31", true, 100, timedCommand(200, kRequestResponse), chipAnswer(0xA1, 0x31),
                    KTR610_E_CARD_31, {} },
        FelicaCase{ "Status02", true, 100, timedCommand(200, kRequestResponse), chipAnswer(0xA1, 0x02),
                    KTR610_E_CARD_02, {} },
        FelicaCase{ "OtherStatus", true, 100, timedCommand(200, kRequestResponse), chipAnswer(0xA1, 0x0B),
                    KTR610_E_CARD_OTHER, {} },
        FelicaCase{ "PassThrough", true, 32768, kPassThrough, chipAnswer(0x43, 0x00, kCardAnswer), KTR610_OK,
                    kCardAnswer },
        FelicaCase{ "PassThroughStatus01", true, 40000, kPassThrough, chipAnswer(0x43, 0x01), KTR610_E_CARD_OTHER,
                    {} },
        FelicaCase{ "WrongCardLength", true, 100, timedCommand(200, kRequestResponse),
                    [] { Bytes a = chipAnswer(0xA1, 0x00, kCardAnswer); a[3]++; return a; }(), KTR610_E_RESPONSE,
                    {} }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Ktr610Scripted, FelicaWithoutCardCommandWaitsTheLongestTime)
{
    line().answer(chipAnswer(0xA1, 0x00));
    uint8_t response[8];
    uint32_t len = 99;
    ASSERT_EQ(ktr610_felica_command(&handle, nullptr, 0, sizeof response, response, &len, 40000, 100), KTR610_OK);
    EXPECT_EQ(line().writes[0], frameOf(timedCommand(0xFFFF, {})));
    EXPECT_EQ(len, 0u);
}

TEST_F(Ktr610Scripted, FelicaCancelsAfterATimeOutOrABadAnswer)
{
    uint8_t response[8];
    uint32_t len = 0;
    const uint32_t n = static_cast<uint32_t>(kRequestResponse.size());
    EXPECT_EQ(ktr610_felica_command(&handle, kRequestResponse.data(), n, 8, response, &len, 100, 100),
              KTR610_E_TIMEOUT);
    EXPECT_EQ(line().writes.back(), ackBytes()) << "the command was cancelled";

    line().reset();
    line().answer({ 0xD5, 0x4B, 0x00 });
    EXPECT_EQ(ktr610_felica_command(&handle, kRequestResponse.data(), n, 8, response, &len, 100, 100),
              KTR610_E_RESPONSE);
    EXPECT_EQ(line().writes.back(), ackBytes());

    line().reset();
    line().answer(chipAnswer(0xA1, 0x00, kCardAnswer));
    EXPECT_EQ(ktr610_felica_command(&handle, kRequestResponse.data(), n, 4, response, &len, 100, 100),
              KTR610_E_OVERFLOW);
    EXPECT_EQ(len, kCardAnswer.size());
    EXPECT_EQ(Bytes(response, response + 4), Bytes(kCardAnswer.begin(), kCardAnswer.begin() + 4));
}

TEST_F(Ktr610Scripted, FelicaRefusesBadArguments)
{
    uint8_t buffer[300] = {};
    uint32_t len;
    EXPECT_EQ(ktr610_felica_command(&handle, buffer, 255, 8, buffer, &len, 100, 100), KTR610_E_ARGUMENT);
    EXPECT_EQ(ktr610_felica_command(&handle, nullptr, 4, 8, buffer, &len, 100, 100), KTR610_E_ARGUMENT);
    EXPECT_EQ(ktr610_felica_command(&handle, buffer, 4, 8, nullptr, &len, 100, 100), KTR610_E_ARGUMENT);
    EXPECT_EQ(ktr610_felica_command(&handle, buffer, 4, 8, buffer, nullptr, 100, 100), KTR610_E_ARGUMENT);
    EXPECT_TRUE(line().calls.empty());

    // The largest card command goes out as an extended frame.
    line().answer(chipAnswer(0x43, 0x00));
    Bytes big(254, 0x06);
    ASSERT_EQ(ktr610_felica_command(&handle, big.data(), 254, 8, buffer, &len, 40000, 100), KTR610_OK);
    EXPECT_EQ(line().writes[0].size(), 257u + 10u);
}

}  // namespace
}  // namespace ktr610test
