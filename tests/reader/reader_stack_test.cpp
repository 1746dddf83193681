// The whole serial reader stack (libktr610_uart, libktr610, libserlink_uart, libutl) against the
// simulated reader chip on a real pseudo-terminal.
#include "ktr610_uart.h"
#include "simulated_reader.h"
#include "utl.h"

#include <gtest/gtest.h>

#include <termios.h>
#include <unistd.h>

namespace {

using vnq::sim::Bytes;
using vnq::sim::CardField;
using vnq::sim::ChipModel;
using vnq::sim::Fault;

// Exchanges that are answered get a time-out no loaded machine's late answer reaches; only a
// reader that stays silent waits for one, a short one.
constexpr uint32_t kTimeoutMs = 5000;
constexpr uint32_t kSilenceTimeoutMs = 300;

const Bytes kFelicaPolling = { 0xD4, 0x4A, 0x01, 0x01, 0x00, 0xFF, 0xFF, 0x01, 0x00 };
const Bytes kTypeAPolling = { 0xD4, 0x4A, 0x01, 0x00 };
const std::array<uint8_t, 8> kIdm = { 0x01, 0x2E, 0x3C, 0x4D, 0x5A, 0x6B, 0x7C, 0x8D };
const std::array<uint8_t, 8> kPmm = { 0x00, 0xF1, 0x00, 0x00, 0x00, 0x01, 0x43, 0x00 };

class ReaderStack : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sim.start());
        ASSERT_EQ(ktr610_uart_open(&reader, sim.devicePath().c_str()), KTR610_OK);
    }

    void TearDown() override
    {
        if (reader.port >= 0)
            ktr610_close(&reader);
        sim.stop();
    }

    uint32_t execute(const Bytes& command, Bytes* answer)
    {
        uint8_t buffer[128];
        uint32_t len = 0;
        const uint32_t status = ktr610_execute_command(&reader, command.data(), static_cast<uint32_t>(command.size()),
                                                       sizeof buffer, buffer, &len, kTimeoutMs);
        answer->assign(buffer, buffer + (status == KTR610_OK ? len : 0));
        return status;
    }

    vnq::sim::SimulatedReader sim;
    ktr610_t reader{};
};

TEST_F(ReaderStack, OpensTheLineAt115200)
{
    termios tio{};
    ASSERT_EQ(tcgetattr(reader.port, &tio), 0);
    EXPECT_EQ(cfgetospeed(&tio), speed_t(B115200));
    EXPECT_EQ(reader.flags & KTR610_FLAG_SPEED_MASK, 12u);
    EXPECT_EQ(ktr610_set_speed(&reader, 230400), KTR610_OK);
    ASSERT_EQ(tcgetattr(reader.port, &tio), 0);
    EXPECT_EQ(cfgetospeed(&tio), speed_t(B230400));
}

TEST_F(ReaderStack, InitialisesTheChipAndReadsItsVersion)
{
    ASSERT_EQ(ktr610_uart_initialize_device(&reader, kTimeoutMs), KTR610_OK);
    EXPECT_EQ(reader.flags & KTR610_FLAG_INIT_MASK, KTR610_FLAG_INIT_DONE);
    EXPECT_EQ(reader.flags & KTR610_FLAG_RF_OUT_OF_STEP, 0u);
    const std::vector<Bytes> commands = sim.commands();
    ASSERT_EQ(commands.size(), 6u);
    EXPECT_EQ(commands[0], (Bytes{ 0xD4, 0x18, 0x01 }));
    EXPECT_EQ(commands[4], (Bytes{ 0xD4, 0x08, 0x63, 0x0D, 0x00 }));
    EXPECT_EQ(sim.badFrames(), 0) << "the wake-up byte and the ACKs are no frames";

    uint8_t ic = 0;
    uint16_t version = 0;
    const uint32_t before = utl_get_time_msec();
    ASSERT_EQ(ktr610_get_firmware_version(&reader, &ic, &version, kTimeoutMs), KTR610_OK);
    EXPECT_EQ(ic, ChipModel::kIcType);
    EXPECT_EQ(version, (ChipModel::kVersion << 8) | ChipModel::kRevision);
    uint32_t ackTime = 0;
    ASSERT_EQ(ktr610_get_ack_time(&reader, &ackTime), KTR610_OK);
    EXPECT_LE(ackTime - before, utl_get_time_msec() - before) << "the time of this exchange's ACK";
}

TEST_F(ReaderStack, RfRegistersOutOfStepAreRewritten)
{
    sim.setRegister(0xA0CD, 0x00);
    ASSERT_EQ(ktr610_uart_initialize_device(&reader, kTimeoutMs), KTR610_OK);
    EXPECT_NE(reader.flags & KTR610_FLAG_RF_OUT_OF_STEP, 0u);
    EXPECT_EQ(sim.commands().back().size(), 11u);

    ASSERT_EQ(ktr610_initialize_device(&reader, kTimeoutMs), KTR610_OK);
    EXPECT_EQ(reader.flags & KTR610_FLAG_RF_OUT_OF_STEP, 0u) << "the rewrite put them back in step";
}

TEST_F(ReaderStack, FelicaPollReturnsTheCardOnTheField)
{
    Bytes answer;
    ASSERT_EQ(execute(kFelicaPolling, &answer), KTR610_OK);
    EXPECT_EQ(answer, (Bytes{ 0xD5, 0x4B, 0x00 })) << "no card";

    sim.setField(CardField::felica(kIdm, kPmm));
    ASSERT_EQ(execute(kFelicaPolling, &answer), KTR610_OK);
    ASSERT_EQ(answer.size(), 24u);
    EXPECT_EQ(answer[2], 1) << "one target";
    EXPECT_EQ(answer[3], 1) << "target number";
    EXPECT_EQ(answer[4], 20) << "polling answer with system code";
    EXPECT_EQ(answer[5], 0x01);
    EXPECT_EQ(Bytes(answer.begin() + 6, answer.begin() + 14), Bytes(kIdm.begin(), kIdm.end()));
    EXPECT_EQ(Bytes(answer.begin() + 14, answer.begin() + 22), Bytes(kPmm.begin(), kPmm.end()));

    ASSERT_EQ(execute(kTypeAPolling, &answer), KTR610_OK);
    EXPECT_EQ(answer, (Bytes{ 0xD5, 0x4B, 0x00 })) << "a FeliCa card does not answer a Type A poll";
}

class TypeAPoll : public ReaderStack, public ::testing::WithParamInterface<Bytes> {};

TEST_P(TypeAPoll, ReturnsTheScriptedId)
{
    const Bytes& id = GetParam();
    sim.setField(CardField::typeA(id));
    Bytes answer;
    ASSERT_EQ(execute(kTypeAPolling, &answer), KTR610_OK);
    ASSERT_EQ(answer.size(), id.size() + 8);
    EXPECT_EQ(answer[2], 1);
    EXPECT_EQ(answer[3], 1);
    EXPECT_FALSE(answer[4] == 0 && answer[5] == 0) << "SENS_RES";
    EXPECT_EQ(answer[7], id.size());
    EXPECT_EQ(Bytes(answer.begin() + 8, answer.end()), id);

    ASSERT_EQ(execute(kFelicaPolling, &answer), KTR610_OK);
    EXPECT_EQ(answer, (Bytes{ 0xD5, 0x4B, 0x00 }));
}

INSTANTIATE_TEST_SUITE_P(IdLengths, TypeAPoll,
                         ::testing::Values(Bytes{ 0x04, 0xA1, 0xB2, 0xC3 },
                                           Bytes{ 0x04, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66 },
                                           Bytes{ 0x04, 1, 2, 3, 4, 5, 6, 7, 8, 9 }),
                         [](const auto& info) { return std::to_string(info.param.size()) + "Bytes"; });

TEST_F(ReaderStack, TypeAAnswerCarriesBytesAfterTheId)
{
    sim.setField(CardField::typeA({ 1, 2, 3, 4 }, { 0x05, 0x78, 0x80, 0x70, 0x02 }));
    Bytes answer;
    ASSERT_EQ(execute(kTypeAPolling, &answer), KTR610_OK);
    EXPECT_EQ(answer.size(), 4u + 8u + 5u);
}

TEST_F(ReaderStack, ExtendedFramesTravelBothWays)
{
    Bytes command(256, 0x33);
    command[0] = 0xD4;
    command[1] = 0x40;  // a command the chip does not know
    Bytes answer;
    ASSERT_EQ(execute(command, &answer), KTR610_OK);
    EXPECT_EQ(answer, (Bytes{ 0x7F })) << "the chip's error frame";
    ASSERT_FALSE(sim.commands().empty());
    EXPECT_EQ(sim.commands().back(), command);
}

TEST_F(ReaderStack, FelicaCardCommandsPassThroughTheChip)
{
    const Bytes requestResponse = { 0x04, kIdm[0], kIdm[1], kIdm[2], kIdm[3], kIdm[4], kIdm[5], kIdm[6], kIdm[7] };
    uint8_t response[32];
    uint32_t len = 0;
    EXPECT_EQ(ktr610_felica_command(&reader, requestResponse.data(), 9, sizeof response, response, &len, 50,
                                    kTimeoutMs),
              KTR610_E_TIMEOUT)
        << "no card";

    sim.setField(CardField::felica(kIdm, kPmm));
    for (uint32_t cardTimeout : { 50u, 40000u }) {  // timed and plain pass-through
        ASSERT_EQ(ktr610_felica_command(&reader, requestResponse.data(), 9, sizeof response, response, &len,
                                        cardTimeout, kTimeoutMs),
                  KTR610_OK);
        ASSERT_EQ(len, 10u);
        EXPECT_EQ(response[0], 0x05);
        EXPECT_EQ(Bytes(response + 1, response + 9), Bytes(kIdm.begin(), kIdm.end()));
    }
}

// ---- Faults on the line -------------------------------------------------------------------

struct FaultCase {
    const char* name;
    Fault fault;
    uint32_t status;
};

void PrintTo(const FaultCase& c, std::ostream* os)
{
    *os << c.name;
}

class ReaderFaults : public ReaderStack, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(ReaderFaults, EndTheExchangeWithTheirStatus)
{
    sim.setFault(GetParam().fault, 1);
    alarm(30);  // an exchange that never ends fails the test
    uint8_t ic = 0;
    uint16_t version = 0;
    const bool silent = GetParam().status == KTR610_E_TIMEOUT;
    const size_t commands = sim.commands().size();
    const uint32_t start = utl_get_time_msec();
    EXPECT_EQ(ktr610_get_firmware_version(&reader, &ic, &version, silent ? kSilenceTimeoutMs : kTimeoutMs),
              GetParam().status);
    if (silent) {
        // The time-out, once it has passed, ends the exchange: the command is not sent again.
        EXPECT_GE(utl_get_time_msec() - start, kSilenceTimeoutMs);
        for (const uint32_t heard = utl_get_time_msec(); sim.commands().size() == commands && utl_get_time_msec() - heard < 10000;)
            utl_msleep(1);  // the reader's thread takes the command in its own time
        EXPECT_EQ(sim.commands().size(), commands + 1);
    }
    alarm(0);
    if (GetParam().status == KTR610_OK) {
        EXPECT_EQ(ic, ChipModel::kIcType);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ReaderFaults,
    ::testing::Values(FaultCase{ "Together", Fault::None, KTR610_OK }, FaultCase{ "Split", Fault::Split, KTR610_OK },
                      FaultCase{ "Dribble", Fault::Dribble, KTR610_OK },
                      FaultCase{ "NoAck", Fault::NoAck, KTR610_OK },
                      FaultCase{ "BadLcs", Fault::BadLcs, KTR610_E_RESPONSE },
                      FaultCase{ "BadDcs", Fault::BadDcs, KTR610_E_RESPONSE },
                      FaultCase{ "ErrorFrame", Fault::ErrorFrame, KTR610_E_RESPONSE },
                      FaultCase{ "Silence", Fault::Silence, KTR610_E_TIMEOUT },
                      FaultCase{ "Close", Fault::Close, KTR610_E_SYSCALL }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReaderStack, OneShotFaultsPassAndTheNextExchangeWorks)
{
    sim.setFault(Fault::BadDcs, 1);
    EXPECT_EQ(ktr610_ping(&reader, kTimeoutMs), KTR610_E_RESPONSE);
    EXPECT_EQ(ktr610_ping(&reader, kTimeoutMs), KTR610_OK);
}

}  // namespace
