// libktr610_usb's transport functions against the simulated USB reader, which stands in for
// usbdevfs through the library's system-call table.
#include "ktr610_usb.h"
#include "ktr610_usb_sys.h"
#include "usb_reader_device.h"
#include "utl.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using vnq::sim::Bytes;
using vnq::sim::SimulatedUsbReader;
using vnq::sim::UsbFault;
using vnq::sim::UsbTransfer;

constexpr uint32_t kBudgetMs = 500;

Bytes pattern(size_t count)
{
    Bytes bytes(count);
    for (size_t i = 0; i < count; i++)
        bytes[i] = static_cast<uint8_t>(i * 7 + 1);
    return bytes;
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

class UsbTransport : public ::testing::Test {
protected:
    void SetUp() override { ktr610_usb_set_syscalls(device.syscalls()); }
    void TearDown() override { ktr610_usb_set_syscalls(nullptr); }

    int openDevice()
    {
        int fd = -1;
        EXPECT_EQ(ktr610_usb_raw_open(&fd, device.devicePath().c_str()), KTR610_OK);
        return fd;
    }

    std::vector<UsbTransfer> transfersOn(unsigned endpoint) const
    {
        std::vector<UsbTransfer> out;
        for (const UsbTransfer& t : device.transfers()) {
            if (t.endpoint == endpoint)
                out.push_back(t);
        }
        return out;
    }

    SimulatedUsbReader device;
};

// ---- Open ---------------------------------------------------------------------------------

struct OpenCase {
    const char* name;
    UsbFault fault;
    uint32_t status;
    const char* error;  // the "E:" line's text, or nullptr
    std::vector<unsigned> clearedHalts;
};

void PrintTo(const OpenCase& c, std::ostream* os)
{
    *os << c.name;
}

class UsbOpen : public UsbTransport, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(UsbOpen, ChecksTheDeviceAndClosesItOnFailure)
{
    const OpenCase& c = GetParam();
    device.setFault(c.fault);
    int fd = 12345;
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(ktr610_usb_raw_open(&fd, device.devicePath().c_str()), c.status);
    const std::string output = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(device.clearedHalts(), c.clearedHalts);
    if (c.status == KTR610_OK) {
        EXPECT_GE(fd, 0);
        EXPECT_EQ(device.openDescriptors(), 1);
        EXPECT_EQ(output.find("E:"), std::string::npos) << output;
        EXPECT_EQ(ktr610_usb_raw_close(fd), KTR610_OK);
    } else {
        EXPECT_EQ(fd, -1);
        EXPECT_EQ(device.openDescriptors(), 0) << "the descriptor of a refused device is closed";
    }
    EXPECT_EQ(device.openDescriptors(), 0);
    if (c.error != nullptr) {
        EXPECT_THAT(output, ::testing::HasSubstr(std::string(": Error (9): ") + c.error + "\n"));
    }
}

const std::vector<unsigned> kBothHalts = { KTR610_USB_EP_BULK_OUT, KTR610_USB_EP_BULK_IN };

INSTANTIATE_TEST_SUITE_P(
    Devices, UsbOpen,
    ::testing::Values(
        OpenCase{ "Reader", UsbFault::None, KTR610_OK, nullptr, kBothHalts },
        OpenCase{ "ShortDescriptors", UsbFault::ShortDescriptors, 9, "Cannot read Device Descriptor.", {} },
        OpenCase{ "OtherVendor", UsbFault::OtherVendor, 9, "Not KTR610 device.", {} },
        OpenCase{ "OtherProduct", UsbFault::OtherProduct, 9, "Not KTR610 device.", {} },
        OpenCase{ "TotalLength34", UsbFault::LongConfiguration, 9, "Too large USB descriptors.", {} },
        OpenCase{ "InEndpoint83", UsbFault::WrongEndpointAddress, 9, "Unknown endpoint descriptor.", {} },
        OpenCase{ "InterruptEndpoint", UsbFault::WrongEndpointAttributes, 9, "Unknown endpoint descriptor.", {} },
        OpenCase{ "ClearHaltOut", UsbFault::ClearHaltOutFails, 9, "ioctl(USBDEVFS_CLEAR_HALT, BULK_OUT)", {} },
        OpenCase{ "ClearHaltIn", UsbFault::ClearHaltInFails, 9, "ioctl(USBDEVFS_CLEAR_HALT, BULK_IN)",
                  { KTR610_USB_EP_BULK_OUT } },
        OpenCase{ "Eacces", UsbFault::OpenAccess, KTR610_E_ACCESS, nullptr, {} },
        OpenCase{ "Ebusy", UsbFault::OpenBusy, KTR610_E_BUSY, nullptr, {} },
        OpenCase{ "Enoent", UsbFault::OpenMissing, KTR610_E_SYSCALL, nullptr, {} }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(UsbTransport, OpenRefusesMissingArgumentsAndOtherNodes)
{
    int fd = 0;
    EXPECT_EQ(ktr610_usb_raw_open(nullptr, device.devicePath().c_str()), KTR610_E_ARGUMENT);
    EXPECT_EQ(ktr610_usb_raw_open(&fd, nullptr), KTR610_E_ARGUMENT);
    EXPECT_EQ(ktr610_usb_raw_open(&fd, "/dev/bus/usb/009/009"), KTR610_E_SYSCALL);
    EXPECT_EQ(fd, -1);
    EXPECT_TRUE(device.transfers().empty());
}

TEST_F(UsbTransport, NegativeDescriptorsAreRefusedWithoutTouchingTheDevice)
{
    uint8_t buffer[8] = {};
    const std::vector<std::pair<const char*, std::function<uint32_t()>>> calls = {
        { "close", [] { return ktr610_usb_raw_close(-1); } },
        { "write", [&] { return ktr610_usb_raw_write(-1, buffer, 1, utl_get_time_msec(), kBudgetMs); } },
        { "read", [&] { return ktr610_usb_raw_read(-1, 1, 8, buffer, nullptr, utl_get_time_msec(), kBudgetMs); } },
        { "clear_rx_queue", [] { return ktr610_usb_raw_clear_rx_queue(-1); } },
        { "drain_tx_queue", [] { return ktr610_usb_raw_drain_tx_queue(-1); } },
        { "reset", [] { return ktr610_usb_raw_reset(-1); } },
    };
    const int fd = openDevice();
    for (const auto& [name, call] : calls)
        EXPECT_EQ(call(), KTR610_E_ARGUMENT) << name;
    EXPECT_TRUE(device.transfers().empty());
    EXPECT_EQ(device.resets(), 0);
    EXPECT_EQ(device.openDescriptors(), 1);
    EXPECT_EQ(ktr610_usb_raw_close(fd), KTR610_OK);
}

TEST_F(UsbTransport, ResetQueuesAndClose)
{
    const int fd = openDevice();
    EXPECT_EQ(ktr610_usb_raw_clear_rx_queue(fd), KTR610_OK);
    EXPECT_EQ(ktr610_usb_raw_drain_tx_queue(fd), KTR610_OK);
    EXPECT_EQ(ktr610_usb_raw_reset(fd), KTR610_OK);
    EXPECT_EQ(device.resets(), 1);
    EXPECT_EQ(ktr610_usb_raw_close(fd), KTR610_OK);
    EXPECT_EQ(ktr610_usb_raw_close(fd), KTR610_E_SYSCALL) << "already closed";
    EXPECT_EQ(ktr610_usb_raw_reset(fd), KTR610_E_SYSCALL);
}

// ---- Write --------------------------------------------------------------------------------

struct WriteCase {
    size_t count;
    std::vector<size_t> packets;  // OUT packet sizes
    uint32_t status;
};

void PrintTo(const WriteCase& c, std::ostream* os)
{
    *os << c.count << " bytes";
}

class UsbWrite : public UsbTransport, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(UsbWrite, SplitsIntoPacketsAndClosesFullOnes)
{
    const WriteCase& c = GetParam();
    const int fd = openDevice();
    Bytes data = pattern(c.count);
    data.reserve(1);  // a real buffer even for 0 bytes
    EXPECT_EQ(ktr610_usb_raw_write(fd, data.data(), static_cast<uint32_t>(c.count), utl_get_time_msec(), kBudgetMs),
              c.status);
    EXPECT_EQ(device.outPacketSizes(), c.packets);
    Bytes sent;
    for (const UsbTransfer& t : transfersOn(KTR610_USB_EP_BULK_OUT)) {
        sent.insert(sent.end(), t.data.begin(), t.data.end());
        EXPECT_GT(t.timeoutMs, 0u);
        EXPECT_LE(t.timeoutMs, kBudgetMs) << "each transfer gets the time left";
    }
    if (c.status == KTR610_OK) {
        EXPECT_EQ(sent, data);
    }
    ktr610_usb_raw_close(fd);
}

INSTANTIATE_TEST_SUITE_P(Lengths, UsbWrite,
                         ::testing::Values(WriteCase{ 0, { 0 }, KTR610_OK }, WriteCase{ 1, { 1 }, KTR610_OK },
                                           WriteCase{ 63, { 63 }, KTR610_OK },
                                           WriteCase{ 64, { 64, 0 }, KTR610_OK },
                                           WriteCase{ 65, { 64, 1 }, KTR610_OK },
                                           WriteCase{ 128, { 64, 64, 0 }, KTR610_OK },
                                           WriteCase{ 275, { 64, 64, 64, 64, 19 }, KTR610_OK },
                                           WriteCase{ 276, {}, KTR610_E_ARGUMENT }),
                         [](const auto& info) { return std::to_string(info.param.count) + "Bytes"; });

TEST_F(UsbTransport, WriteFailures)
{
    const int fd = openDevice();
    const Bytes data = pattern(10);
    const uint32_t now = utl_get_time_msec();
    EXPECT_EQ(ktr610_usb_raw_write(fd, nullptr, 1, now, kBudgetMs), KTR610_E_ARGUMENT);
    EXPECT_EQ(ktr610_usb_raw_write(fd, data.data(), 10, now - kBudgetMs, kBudgetMs), KTR610_E_TIMEOUT)
        << "the budget ran out before the first transfer";
    EXPECT_TRUE(device.transfers().empty());

    device.setFault(UsbFault::TransferTimeout);
    EXPECT_EQ(ktr610_usb_raw_write(fd, data.data(), 10, now, kBudgetMs), KTR610_E_TIMEOUT);
    device.setFault(UsbFault::TransferIoError);
    EXPECT_EQ(ktr610_usb_raw_write(fd, data.data(), 10, now, kBudgetMs), KTR610_E_SYSCALL);
    EXPECT_EQ(device.transfers().size(), 2u) << "a failed transfer ends the write";
    ktr610_usb_raw_close(fd);
}

// ---- Read ---------------------------------------------------------------------------------

struct ReadCase {
    const char* name;
    uint32_t min, max;
    std::vector<Bytes> packets;  // waiting on the IN endpoint
    UsbFault fault;
    uint32_t status;
    size_t received;     // bytes read; on failure the bytes the buffer must start with
    size_t inTransfers;  // IN transfers tried
};

void PrintTo(const ReadCase& c, std::ostream* os)
{
    *os << c.name;
}

class UsbRead : public UsbTransport, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(UsbRead, GathersPacketsUpToTheMinimum)
{
    const ReadCase& c = GetParam();
    const int fd = openDevice();
    Bytes expected;
    for (const Bytes& packet : c.packets) {
        device.queueInPacket(packet);
        expected.insert(expected.end(), packet.begin(), packet.end());
    }
    expected.resize(c.received);
    device.setFault(c.fault);
    Bytes buffer(c.max + 1, 0xCC);
    uint32_t received = 999;
    EXPECT_EQ(ktr610_usb_raw_read(fd, c.min, c.max, buffer.data(), &received, utl_get_time_msec(), kBudgetMs),
              c.status);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + c.received), expected);
    EXPECT_EQ(buffer[c.max], 0xCC) << "nothing written past max";
    if (c.status == KTR610_OK)
        EXPECT_EQ(received, c.received);
    else
        EXPECT_EQ(received, 999u) << "no count on failure";
    EXPECT_EQ(transfersOn(KTR610_USB_EP_BULK_IN).size(), c.inTransfers);
    ktr610_usb_raw_close(fd);
}

INSTANTIATE_TEST_SUITE_P(
    Packets, UsbRead,
    ::testing::Values(
        ReadCase{ "OnePacket", 6, 275, { pattern(6) }, UsbFault::None, KTR610_OK, 6, 1 },
        ReadCase{ "SeveralUpToMin", 10, 275, { pattern(4), pattern(4), pattern(4), pattern(4) }, UsbFault::None,
                  KTR610_OK, 12, 3 },
        ReadCase{ "ZeroLengthPacketsCarryNothing", 3, 275, { {}, pattern(3) }, UsbFault::None, KTR610_OK, 3, 2 },
        ReadCase{ "ExactlyMax", 70, 70, { pattern(64), pattern(6) }, UsbFault::None, KTR610_OK, 70, 2 },
        ReadCase{ "PacketLongerThanChunk", 4, 8, { pattern(10) }, UsbFault::None, KTR610_E_OVERFLOW, 8, 1 },
        ReadCase{ "PaddedInPacket", 1, 10, { pattern(3) }, UsbFault::LongInPacket, KTR610_E_OVERFLOW, 3, 1 },
        ReadCase{ "NoPacket", 1, 10, {}, UsbFault::None, KTR610_E_TIMEOUT, 0, 1 },
        ReadCase{ "Timeout", 1, 10, { pattern(3) }, UsbFault::TransferTimeout, KTR610_E_TIMEOUT, 0, 1 },
        ReadCase{ "Eio", 1, 10, { pattern(3) }, UsbFault::TransferIoError, KTR610_E_SYSCALL, 0, 1 },
        ReadCase{ "MinAboveMax", 8, 4, { pattern(8) }, UsbFault::None, KTR610_E_ARGUMENT, 0, 0 },
        ReadCase{ "MinZeroReturnsAtOnce", 0, 64, { pattern(5) }, UsbFault::None, KTR610_OK, 0, 0 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(UsbTransport, ReadRefusesNullBufferAndAnExpiredBudget)
{
    const int fd = openDevice();
    device.queueInPacket(pattern(4));
    uint8_t buffer[8];
    const uint32_t now = utl_get_time_msec();
    EXPECT_EQ(ktr610_usb_raw_read(fd, 1, 8, nullptr, nullptr, now, kBudgetMs), KTR610_E_ARGUMENT);
    EXPECT_EQ(ktr610_usb_raw_read(fd, 1, 8, buffer, nullptr, now - kBudgetMs, kBudgetMs), KTR610_E_TIMEOUT);
    EXPECT_TRUE(device.transfers().empty());
    EXPECT_EQ(ktr610_usb_raw_read(fd, 1, 8, buffer, nullptr, now, kBudgetMs), KTR610_OK) << "no count asked for";
    ktr610_usb_raw_close(fd);
}

// ---- Debug lines --------------------------------------------------------------------------

class UsbDebugLines : public UsbTransport {
protected:
    void TearDown() override
    {
        unsetenv("KTR610_USB_DEBUG");
        UsbTransport::TearDown();
    }

    // A write that dumps its data, then the three kinds of error line.
    std::vector<std::string> run()
    {
        const Bytes data = pattern(10);
        uint8_t buffer[8];
        ::testing::internal::CaptureStdout();
        int fd = -1;
        ktr610_usb_raw_open(&fd, device.devicePath().c_str());
        ktr610_usb_raw_write(fd, data.data(), 10, utl_get_time_msec(), kBudgetMs);
        ktr610_usb_raw_write(fd, nullptr, 10, utl_get_time_msec(), kBudgetMs);
        ktr610_usb_raw_write(fd, data.data(), 276, utl_get_time_msec(), kBudgetMs);
        ktr610_usb_raw_read(fd, 9, 8, buffer, nullptr, utl_get_time_msec(), kBudgetMs);
        device.setFault(UsbFault::TransferTimeout);
        ktr610_usb_raw_write(fd, data.data(), 10, utl_get_time_msec(), kBudgetMs);
        ktr610_usb_raw_close(fd);
        return lines(::testing::internal::GetCapturedStdout());
    }
};

const char* const kDebugLine = R"(D:ktr610_usb:[0-9]{11}:ktr610_usb_raw_[a-z_]+: .+)";
const char* const kErrorLines[] = {
    "E:ktr610_usb:ktr610_usb_raw\\.c:[0-9]+:ktr610_usb_raw_write: Error \\(6\\): data is NULL\\.",
    "E:ktr610_usb:ktr610_usb_raw\\.c:[0-9]+:ktr610_usb_raw_write: Range Error \\(6\\) "
    "\\(data_len=276 must be <= 275\\)",
    "E:ktr610_usb:ktr610_usb_raw\\.c:[0-9]+:ktr610_usb_raw_read: Range Error \\(6\\) "
    "\\(min_read_len=9 must be <= 8\\)",
    "E:ktr610_usb:[0-9]{11}:ktr610_usb_raw\\.c:[0-9]+:ktr610_usb_raw_write: Error \\(110\\): "
    "ioctl\\(USBDEVFS_BULK, BULK_OUT\\)",
};

TEST_F(UsbDebugLines, FollowTheirFormats)
{
    using ::testing::Contains;
    using ::testing::MatchesRegex;
    ASSERT_EQ(ETIMEDOUT, 110);
    const std::vector<std::string> out = run();
    for (const std::string& line : out)
        EXPECT_THAT(line, ::testing::AnyOf(MatchesRegex(kDebugLine), MatchesRegex("E:.*")));
    EXPECT_THAT(out, Contains(MatchesRegex(R"(D:ktr610_usb:[0-9]{11}:ktr610_usb_raw_write: 0000: 01 08 0F 16 1D 24 2B 32)")));
    EXPECT_THAT(out, Contains(MatchesRegex(R"(D:ktr610_usb:[0-9]{11}:ktr610_usb_raw_write: 0008: 39 40)")));
    EXPECT_THAT(out, Contains(MatchesRegex(R"(D:ktr610_usb:[0-9]{11}:ktr610_usb_raw_open: 0030: 00 00)")))
        << "the 50 descriptor bytes";
    for (const char* error : kErrorLines)
        EXPECT_THAT(out, Contains(MatchesRegex(error)));
}

TEST_F(UsbDebugLines, CanBeSilencedButErrorsStillPrint)
{
    setenv("KTR610_USB_DEBUG", "0", 1);
    const std::vector<std::string> out = run();
    EXPECT_THAT(out, ::testing::Each(::testing::StartsWith("E:")));
    for (const char* error : kErrorLines)
        EXPECT_THAT(out, ::testing::Contains(::testing::MatchesRegex(error)));
}

}  // namespace
