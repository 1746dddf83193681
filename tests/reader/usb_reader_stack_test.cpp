// A polling program's view of a USB reader: libktr610_usb's driver table over libktr610 and
// libutl, against the simulated USB reader.
#include "ktr610_usb.h"
#include "ktr610_usb_sys.h"
#include "usb_reader_device.h"

#include <gtest/gtest.h>

namespace {

using vnq::sim::Bytes;
using vnq::sim::CardField;
using vnq::sim::ChipModel;
using vnq::sim::Fault;
using vnq::sim::SimulatedUsbReader;
using vnq::sim::UsbFault;

constexpr uint32_t kTimeoutMs = 300;
const ktr610_driver_t& kDriver = ktr610_usb_basic_func;

const Bytes kFelicaPolling = { 0xD4, 0x4A, 0x01, 0x01, 0x00, 0xFF, 0xFF, 0x01, 0x00 };
const Bytes kTypeAPolling = { 0xD4, 0x4A, 0x01, 0x00 };
const std::array<uint8_t, 8> kIdm = { 0x01, 0x2E, 0x3C, 0x4D, 0x5A, 0x6B, 0x7C, 0x8D };

class UsbReaderStack : public ::testing::Test {
protected:
    void SetUp() override
    {
        ktr610_usb_set_syscalls(device.syscalls());
        ASSERT_EQ(kDriver.open(&reader, device.devicePath().c_str()), KTR610_OK);
    }

    void TearDown() override
    {
        if (reader.port >= 0) {
            EXPECT_EQ(kDriver.close(&reader), KTR610_OK);
        }
        EXPECT_EQ(device.openDescriptors(), 0);
        ktr610_usb_set_syscalls(nullptr);
    }

    uint32_t execute(const Bytes& command, Bytes* answer)
    {
        uint8_t buffer[160];
        uint32_t len = 0;
        const uint32_t status = kDriver.execute_command(&reader, command.data(), static_cast<uint32_t>(command.size()),
                                                        sizeof buffer, buffer, &len, kTimeoutMs);
        answer->assign(buffer, buffer + (status == KTR610_OK ? len : 0));
        return status;
    }

    SimulatedUsbReader device;
    ktr610_t reader{};
};

TEST_F(UsbReaderStack, DriverTableHasNoLineSpeed)
{
    EXPECT_STREQ(kDriver.name, "ktr610_usb");
    EXPECT_STREQ(reader.transport->name, "ktr610_usb");
    EXPECT_EQ(kDriver.set_speed, nullptr);
    EXPECT_EQ(kDriver.set_dev_speed, nullptr);
    EXPECT_EQ(kDriver.max_card_command_len, 254u);
    EXPECT_EQ(kDriver.max_card_response_len, 254u);
    EXPECT_EQ(reader.transport->set_speed, nullptr);
    EXPECT_EQ(reader.flags & KTR610_FLAG_SPEED_MASK, 12u) << "the handle still records 115200";
}

TEST_F(UsbReaderStack, InitialisesReadsTheVersionAndPollsCards)
{
    ASSERT_EQ(kDriver.initialize_device(&reader, kTimeoutMs), KTR610_OK);
    EXPECT_EQ(reader.flags & KTR610_FLAG_INIT_MASK, KTR610_FLAG_INIT_DONE);
    ASSERT_FALSE(device.transfers().empty());
    EXPECT_EQ(device.transfers().front().data, (Bytes{ 0x00, 0x00, 0xFF, 0x03, 0xFD, 0xD4, 0x18, 0x01, 0x13, 0x00 }))
        << "a reset frame first: no wake-up byte on USB";
    EXPECT_EQ(device.session().badFrames(), 0);

    uint8_t ic = 0;
    uint16_t version = 0;
    ASSERT_EQ(ktr610_get_firmware_version(&reader, &ic, &version, kTimeoutMs), KTR610_OK);
    EXPECT_EQ(ic, ChipModel::kIcType);
    EXPECT_EQ(version, (ChipModel::kVersion << 8) | ChipModel::kRevision);

    Bytes answer;
    device.session().setField(CardField::felica(kIdm, vnq::sim::kDefaultPmm));
    ASSERT_EQ(execute(kFelicaPolling, &answer), KTR610_OK);
    ASSERT_EQ(answer.size(), 24u);
    EXPECT_EQ(Bytes(answer.begin() + 6, answer.begin() + 14), Bytes(kIdm.begin(), kIdm.end()));

    const Bytes id = { 0x04, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66 };
    device.session().setField(CardField::typeA(id));
    ASSERT_EQ(execute(kTypeAPolling, &answer), KTR610_OK);
    ASSERT_EQ(answer.size(), id.size() + 8);
    EXPECT_EQ(answer[7], id.size());
    EXPECT_EQ(Bytes(answer.begin() + 8, answer.end()), id);
}

TEST_F(UsbReaderStack, FramesLongerThanAPacketTravelBothWays)
{
    Bytes command(256, 0x33);
    command[0] = 0xD4;
    command[1] = 0x40;
    Bytes longAnswer(100, 0x5A);
    longAnswer[0] = 0xD5;
    longAnswer[1] = 0x41;
    device.session().setAnswerHook([&](const Bytes& c, CardField*) {
        return c[1] == 0x40 ? std::optional<Bytes>(longAnswer) : std::nullopt;
    });
    Bytes answer;
    ASSERT_EQ(execute(command, &answer), KTR610_OK);
    EXPECT_EQ(answer, longAnswer) << "a response frame of two IN packets";
    EXPECT_EQ(device.session().commands().back(), command);
    EXPECT_EQ(device.outPacketSizes(), (std::vector<size_t>{ 64, 64, 64, 64, 10 })) << "an extended frame of 266 bytes";
}

struct StackFault {
    const char* name;
    UsbFault usb;
    Fault chip;
    uint32_t status;
};

void PrintTo(const StackFault& c, std::ostream* os)
{
    *os << c.name;
}

class UsbReaderFaults : public UsbReaderStack, public ::testing::WithParamInterface<StackFault> {};

TEST_P(UsbReaderFaults, EndTheExchangeWithTheirStatus)
{
    device.setFault(GetParam().usb);
    device.session().setFault(GetParam().chip, 1);
    EXPECT_EQ(kDriver.ping(&reader, kTimeoutMs), GetParam().status);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, UsbReaderFaults,
    ::testing::Values(StackFault{ "Dribble", UsbFault::None, Fault::Dribble, KTR610_OK },
                      StackFault{ "NoAck", UsbFault::None, Fault::NoAck, KTR610_OK },
                      StackFault{ "Silence", UsbFault::Silence, Fault::None, KTR610_E_TIMEOUT },
                      StackFault{ "TransferTimeout", UsbFault::TransferTimeout, Fault::None, KTR610_E_TIMEOUT },
                      StackFault{ "TransferIoError", UsbFault::TransferIoError, Fault::None, KTR610_E_SYSCALL },
                      StackFault{ "BadDcs", UsbFault::None, Fault::BadDcs, KTR610_E_RESPONSE },
                      StackFault{ "DeviceGone", UsbFault::None, Fault::Close, KTR610_E_SYSCALL }),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
