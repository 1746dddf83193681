#include "scripted_fixture.h"

#include <functional>

namespace ktr610test {
namespace {

// ---- Handle operations ------------------------------------------------------------------

TEST_F(Ktr610Scripted, OpenSetsTheLineUpAndRecordsTheSpeed)
{
    handle.port = -1;
    handle.ack_time = 55;
    ASSERT_EQ(ktr610_open(&handle, "/dev/ttyS0"), KTR610_OK);
    EXPECT_EQ(line().calls, (std::vector<std::string>{ "open /dev/ttyS0", "set_speed 115200", "clear" }));
    EXPECT_EQ(handle.port, 7);
    EXPECT_EQ(handle.flags & KTR610_FLAG_SPEED_MASK, 12u);
    EXPECT_EQ(handle.ack_time, 0u);
}

TEST_F(Ktr610Scripted, OpenClosesThePortWhenTheLineCannotBeSetUp)
{
    line().setSpeedStatus = KTR610_E_SYSCALL;
    EXPECT_EQ(ktr610_open(&handle, "/dev/ttyS0"), KTR610_E_SYSCALL);
    EXPECT_EQ(line().calls.back(), "close");

    // Nor is the port left open behind a failed queue flush.
    line().reset();
    line().clearStatus = KTR610_E_SYSCALL;
    EXPECT_EQ(ktr610_open(&handle, "/dev/ttyS0"), KTR610_E_SYSCALL);
    EXPECT_EQ(line().calls.back(), "close");
    EXPECT_EQ(handle.port, -1);
    EXPECT_EQ(ktr610_open(&handle, nullptr), KTR610_E_ARGUMENT);
}

TEST_F(Ktr610Scripted, SpeedMustBeAMultipleOf9600)
{
    handle.flags = 12;
    EXPECT_EQ(ktr610_set_speed(&handle, 4800), KTR610_E_ARGUMENT);
    EXPECT_EQ(ktr610_set_speed(&handle, 0), KTR610_E_ARGUMENT);
    EXPECT_TRUE(line().calls.empty());
    EXPECT_EQ(handle.flags, 12u);

    ASSERT_EQ(ktr610_set_speed(&handle, 230400), KTR610_OK);
    EXPECT_EQ(line().calls, (std::vector<std::string>{ "set_speed 230400" }));
    EXPECT_EQ(handle.flags, 24u);

    line().setSpeedStatus = KTR610_E_ARGUMENT;
    EXPECT_EQ(ktr610_set_speed(&handle, 9600), KTR610_E_ARGUMENT);
    EXPECT_EQ(handle.flags, 24u) << "a speed the line refused is not recorded";
}

TEST_F(Ktr610Scripted, CloseKeepsThePortWhenClosingFails)
{
    line().closeStatus = KTR610_E_SYSCALL;
    EXPECT_EQ(ktr610_close(&handle), KTR610_E_SYSCALL);
    EXPECT_EQ(handle.port, 7);
    line().closeStatus = KTR610_OK;
    EXPECT_EQ(ktr610_close(&handle), KTR610_OK);
    EXPECT_EQ(handle.port, -1);
}

TEST_F(Ktr610Scripted, MissingSlotsAreSkippedOrRefused)
{
    ktr610_transport_t bare = {};
    bare.name = "bare";
    ASSERT_EQ(ktr610_initialize(&handle, &bare), KTR610_OK);
    EXPECT_EQ(ktr610_open(&handle, "x"), KTR610_OK);
    EXPECT_EQ(ktr610_clear_rx_queue(&handle), KTR610_OK);
    EXPECT_EQ(ktr610_send_ack(&handle, 100), KTR610_OK);
    EXPECT_EQ(ktr610_wait_for_wake_up(&handle, 100), KTR610_OK);
    EXPECT_EQ(ktr610_ping(&handle, 100), KTR610_E_ARGUMENT) << "no read or write";
    EXPECT_EQ(ktr610_initialize(&handle, nullptr), KTR610_E_ARGUMENT);
    EXPECT_EQ(ktr610_initialize(nullptr, &bare), KTR610_E_ARGUMENT);
}

// ---- Fixed chip commands ----------------------------------------------------------------

struct FixedCase {
    const char* name;
    std::function<uint32_t(ktr610_t*)> call;
    Bytes command;
    Bytes answer;
    std::vector<std::string> after;  // transport calls after the answer was read
};

void PrintTo(const FixedCase& c, std::ostream* os)
{
    *os << c.name;
}

class Ktr610FixedCommands : public Ktr610Scripted, public ::testing::WithParamInterface<FixedCase> {};

TEST_P(Ktr610FixedCommands, SendTheirCommandAndCheckTheAnswer)
{
    const FixedCase& c = GetParam();
    line().answer(c.answer);
    ASSERT_EQ(c.call(&handle), KTR610_OK);
    ASSERT_FALSE(line().writes.empty());
    EXPECT_EQ(line().writes[0], frameOf(c.command));
    const std::vector<std::string> after(line().calls.begin() + 3, line().calls.end());
    EXPECT_EQ(after, c.after);
    if (!c.after.empty() && c.after[0] == "write") {
        EXPECT_EQ(line().writes.back(), ackBytes());
    }

    // One byte more, a wrong code or the chip's error frame is a bad response.
    Bytes longer = c.answer;
    longer.push_back(0);
    Bytes wrongCode = c.answer;
    wrongCode[1]++;
    for (const Bytes& bad : { longer, wrongCode, Bytes{ 0x7F } }) {
        line().reset();
        line().answer(bad);
        EXPECT_EQ(c.call(&handle), KTR610_E_RESPONSE);
    }
}

const std::vector<std::string> kAckPause10 = { "write", "drain", "sleep 10" };
const std::vector<std::string> kAckPause50 = { "write", "sleep 50" };

INSTANTIATE_TEST_SUITE_P(
    Commands, Ktr610FixedCommands,
    ::testing::Values(
        FixedCase{ "Ping", [](ktr610_t* h) { return ktr610_ping(h, 100); }, { 0xD4, 0x02 },
                   { 0xD5, 0x03, 0x61, 0x01, 0x20, 0x07 }, {} },
        FixedCase{ "Reset", [](ktr610_t* h) { return ktr610_reset(h, 100); }, { 0xD4, 0x18, 0x01 }, { 0xD5, 0x19 },
                   kAckPause10 },
        FixedCase{ "RfOff", [](ktr610_t* h) { return ktr610_rf_off(h, 100); }, { 0xD4, 0x32, 0x01, 0x00 },
                   { 0xD5, 0x33 }, {} },
        FixedCase{ "RfOn", [](ktr610_t* h) { return ktr610_rf_on(h, 100); }, { 0xD4, 0x32, 0x01, 0x01 },
                   { 0xD5, 0x33 }, {} },
        FixedCase{ "RfSpeed", [](ktr610_t* h) { return ktr610_set_rf_speed(h, 2, 100); },
                   { 0xD4, 0x32, 0x80, 0x02 }, { 0xD5, 0x33 }, {} },
        FixedCase{ "DevSpeed9600", [](ktr610_t* h) { return ktr610_set_dev_speed(h, 9600, 100); },
                   { 0xD4, 0x10, 0x00 }, { 0xD5, 0x11 }, kAckPause50 },
        FixedCase{ "DevSpeed921600", [](ktr610_t* h) { return ktr610_set_dev_speed(h, 921600, 100); },
                   { 0xD4, 0x10, 0x07 }, { 0xD5, 0x11 }, kAckPause50 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Ktr610Scripted, FirmwareVersionJoinsVersionAndRevision)
{
    line().answer({ 0xD5, 0x03, 0x61, 0x01, 0x20, 0x07 });
    uint8_t ic = 0;
    uint16_t version = 0;
    ASSERT_EQ(ktr610_get_firmware_version(&handle, &ic, &version, 100), KTR610_OK);
    EXPECT_EQ(ic, 0x61);
    EXPECT_EQ(version, 0x0120);
}

TEST_F(Ktr610Scripted, RefusesSpeedsTheChipDoesNotKnow)
{
    EXPECT_EQ(ktr610_set_dev_speed(&handle, 4800, 100), KTR610_E_ARGUMENT);
    EXPECT_EQ(ktr610_set_dev_speed(&handle, 115201, 100), KTR610_E_ARGUMENT);
    EXPECT_EQ(ktr610_set_rf_speed(&handle, 3, 100), KTR610_E_ARGUMENT);
    EXPECT_TRUE(line().calls.empty());
}

// ---- Raw operations ---------------------------------------------------------------------

TEST_F(Ktr610Scripted, PowerDownWaitsOnlyForTheAck)
{
    line().arrive(ackBytes(), 1005);
    ASSERT_EQ(ktr610_power_down(&handle, 0x20, 100), KTR610_OK);
    ASSERT_EQ(line().writes.size(), 1u);
    EXPECT_EQ(line().writes[0], (Bytes{ 0x00, 0x00, 0xFF, 0x03, 0xFD, 0xD4, 0x16, 0x20, 0xF6, 0x00 }));
    EXPECT_EQ(line().writes[0], frameOf({ 0xD4, 0x16, 0x20 }));
    EXPECT_EQ(line().calls, (std::vector<std::string>{ "clear", "write", "read 6 6" }));
    EXPECT_EQ(handle.ack_time, 1005u);

    line().reset();
    line().arrive(frameOf({ 0xD5, 0x17 }));
    EXPECT_EQ(ktr610_power_down(&handle, 0x20, 100), KTR610_E_RESPONSE);
}

TEST_F(Ktr610Scripted, WakeUpSendsTheWakeByteThenCancels)
{
    ASSERT_EQ(ktr610_wake_up(&handle, 100), KTR610_OK);
    EXPECT_EQ(line().calls, (std::vector<std::string>{ "write", "drain", "sleep 1", "drain", "sleep 1", "write",
                                                       "drain", "sleep 1", "clear" }));
    ASSERT_EQ(line().writes.size(), 2u);
    EXPECT_EQ(line().writes[0], (Bytes{ 0x55 }));
    EXPECT_EQ(line().writes[1], ackBytes());
}

}  // namespace
}  // namespace ktr610test
