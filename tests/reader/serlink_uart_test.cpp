#include "pty_line.h"
#include "serlink_uart.h"
#include "utl.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// The host's end of a pseudo-terminal opened through the serial transport; the test plays
// the chip on the other end.
class SerialLine : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pty.open());
        ASSERT_EQ(serlink_uart_open(&fd, pty.devicePath().c_str()), KTR610_OK);
    }

    void TearDown() override
    {
        if (fd >= 0)
            close(fd);
    }

    void chipSends(const Bytes& bytes)
    {
        ASSERT_EQ(write(pty.masterFd(), bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }

    // What reached the chip's end within a short wait.
    Bytes chipReceives(size_t expected)
    {
        Bytes got;
        uint8_t buffer[512];
        struct pollfd p = { pty.masterFd(), POLLIN, 0 };
        while (got.size() < expected && poll(&p, 1, 1000) == 1) {
            const ssize_t n = read(pty.masterFd(), buffer, sizeof buffer);
            if (n <= 0)
                break;
            got.insert(got.end(), buffer, buffer + n);
        }
        return got;
    }

    bool chipHasNothing()
    {
        struct pollfd p = { pty.masterFd(), POLLIN, 0 };
        return poll(&p, 1, 20) == 0;
    }

    termios lineSettings()
    {
        termios tio{};
        EXPECT_EQ(tcgetattr(fd, &tio), 0);
        return tio;
    }

    vnq::sim::PtyLine pty;
    int fd = -1;
};

// ---- Line speed and settings ------------------------------------------------------------

struct SpeedCase {
    uint32_t bps;
    speed_t speed;
};

void PrintTo(const SpeedCase& c, std::ostream* os)
{
    *os << c.bps;
}

class SerialSpeeds : public SerialLine, public ::testing::WithParamInterface<SpeedCase> {};

TEST_P(SerialSpeeds, SetTheRawLineAtThatSpeed)
{
    ASSERT_EQ(serlink_uart_set_speed(fd, GetParam().bps), KTR610_OK);
    const termios tio = lineSettings();
    EXPECT_EQ(cfgetospeed(&tio), GetParam().speed);
    EXPECT_EQ(cfgetispeed(&tio), GetParam().speed);
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_NE(tio.c_lflag & NOFLSH, 0u);
    EXPECT_EQ(tio.c_iflag & (ICRNL | IXON | IXOFF | ISTRIP | INLCR | IGNCR | BRKINT | PARMRK | INPCK), 0u);
    EXPECT_EQ(tio.c_iflag & (IGNBRK | IGNPAR), tcflag_t(IGNBRK | IGNPAR));
    EXPECT_EQ(tio.c_oflag & OPOST, 0u);
    EXPECT_EQ(tio.c_cflag & (CSIZE | CREAD | CLOCAL | PARENB | CSTOPB | HUPCL), tcflag_t(CS8 | CREAD | CLOCAL));
    EXPECT_EQ(tio.c_cc[VMIN], 1);
    EXPECT_EQ(tio.c_cc[VTIME], 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SerialSpeeds,
    ::testing::Values(SpeedCase{ 300, B300 }, SpeedCase{ 600, B600 }, SpeedCase{ 1200, B1200 },
                      SpeedCase{ 2400, B2400 }, SpeedCase{ 4800, B4800 }, SpeedCase{ 9600, B9600 },
                      SpeedCase{ 19200, B19200 }, SpeedCase{ 38400, B38400 }, SpeedCase{ 57600, B57600 },
                      SpeedCase{ 115200, B115200 }, SpeedCase{ 230400, B230400 }, SpeedCase{ 460800, B460800 },
                      SpeedCase{ 921600, B921600 }),
    [](const auto& info) { return std::to_string(info.param.bps); });

TEST_F(SerialLine, UnsupportedSpeedsLeaveTheLineUnchanged)
{
    ASSERT_EQ(serlink_uart_set_speed(fd, 115200), KTR610_OK);
    const termios before = lineSettings();
    for (uint32_t bps : { 1800u, 0u, 110u, 4801u, 76800u, 1000000u }) {
        EXPECT_EQ(serlink_uart_set_speed(fd, bps), KTR610_E_ARGUMENT) << bps;
        const termios after = lineSettings();
        EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0) << bps;
    }
}

TEST_F(SerialLine, OpensABlockingDescriptor)
{
    EXPECT_EQ(fcntl(fd, F_GETFL) & O_NONBLOCK, 0);
    int other = -1;
    EXPECT_EQ(serlink_uart_open(&other, "/nonexistent/tty"), KTR610_E_SYSCALL);
    EXPECT_EQ(serlink_uart_open(nullptr, pty.devicePath().c_str()), KTR610_E_ARGUMENT);
    EXPECT_EQ(serlink_uart_open(&other, nullptr), KTR610_E_ARGUMENT);
}

// ---- Arguments ----------------------------------------------------------------------------

TEST_F(SerialLine, RefusesDescriptorsSelectCannotWatch)
{
    uint8_t buffer[8] = {};
    for (int bad : { -1, -100, 1024, 4096 }) {
        EXPECT_EQ(serlink_uart_write(bad, buffer, 1, utl_get_time_msec(), 10), KTR610_E_ARGUMENT) << bad;
        EXPECT_EQ(serlink_uart_read(bad, 1, 8, buffer, nullptr, utl_get_time_msec(), 10), KTR610_E_ARGUMENT) << bad;
        EXPECT_EQ(serlink_uart_clear_rx_queue(bad), KTR610_E_ARGUMENT) << bad;
    }
}

TEST_F(SerialLine, RefusesBadBuffersAndCounts)
{
    uint8_t buffer[8] = {};
    const uint32_t now = utl_get_time_msec();
    EXPECT_EQ(serlink_uart_write(fd, nullptr, 1, now, 10), KTR610_E_ARGUMENT);
    EXPECT_EQ(serlink_uart_write(fd, buffer, 65536, now, 10), KTR610_E_ARGUMENT);
    EXPECT_EQ(serlink_uart_read(fd, 1, 8, nullptr, nullptr, now, 10), KTR610_E_ARGUMENT);
    EXPECT_EQ(serlink_uart_read(fd, 9, 8, buffer, nullptr, now, 10), KTR610_E_ARGUMENT);

    EXPECT_EQ(serlink_uart_write(fd, buffer, 0, now, 10), KTR610_OK);
    EXPECT_TRUE(chipHasNothing()) << "an empty write leaves the line alone";
}

// ---- Transfers ----------------------------------------------------------------------------

TEST_F(SerialLine, WritesEveryByte)
{
    ASSERT_EQ(serlink_uart_set_speed(fd, 115200), KTR610_OK);
    Bytes data(300);
    for (size_t i = 0; i < data.size(); i++)
        data[i] = static_cast<uint8_t>(i);
    ASSERT_EQ(serlink_uart_write(fd, data.data(), 300, utl_get_time_msec(), 1000), KTR610_OK);
    EXPECT_EQ(chipReceives(300), data);
}

TEST_F(SerialLine, ReadReturnsOnceTheMinimumIsIn)
{
    ASSERT_EQ(serlink_uart_set_speed(fd, 115200), KTR610_OK);
    chipSends({ 0, 0, 0xFF, 0, 0xFF, 0, 0, 0, 0xFF, 0x02 });
    uint8_t buffer[275];
    uint32_t got = 0;
    ASSERT_EQ(serlink_uart_read(fd, 6, 275, buffer, &got, utl_get_time_msec(), 2000), KTR610_OK);
    EXPECT_GE(got, 6u);
    EXPECT_LE(got, 10u);

    // Never more than the maximum: the rest stays for the next read.
    chipSends({ 1, 2, 3, 4, 5, 6 });
    uint32_t more = 0;
    const uint32_t rest = 10 - got;
    ASSERT_EQ(serlink_uart_read(fd, rest + 2, rest + 2, buffer, &more, utl_get_time_msec(), 2000), KTR610_OK);
    EXPECT_EQ(more, rest + 2);
    ASSERT_EQ(serlink_uart_read(fd, 4, 4, buffer, &more, utl_get_time_msec(), 2000), KTR610_OK);
    EXPECT_EQ(Bytes(buffer, buffer + 4), (Bytes{ 3, 4, 5, 6 }));
}

TEST_F(SerialLine, ReadTimesOutWithoutReportingACount)
{
    ASSERT_EQ(serlink_uart_set_speed(fd, 115200), KTR610_OK);
    chipSends({ 0, 0, 0xFF });
    uint8_t buffer[16];
    uint32_t got = 99;
    EXPECT_EQ(serlink_uart_read(fd, 6, 16, buffer, &got, utl_get_time_msec(), 30), KTR610_E_TIMEOUT);
    EXPECT_EQ(got, 99u);
    EXPECT_EQ(serlink_uart_read(fd, 1, 16, buffer, &got, utl_get_time_msec() - 1000, 30), KTR610_E_TIMEOUT)
        << "a spent time-out still polls once, and nothing is waiting";
}

TEST_F(SerialLine, ClearDiscardsWaitingInput)
{
    ASSERT_EQ(serlink_uart_set_speed(fd, 115200), KTR610_OK);
    chipSends(Bytes(100, 0x55));
    // Wait until the bytes are on the host side.
    struct pollfd p = { fd, POLLIN, 0 };
    ASSERT_EQ(poll(&p, 1, 1000), 1);
    EXPECT_EQ(serlink_uart_clear_rx_queue(fd), KTR610_OK);
    uint8_t buffer[8];
    EXPECT_EQ(serlink_uart_read(fd, 1, 8, buffer, nullptr, utl_get_time_msec(), 0), KTR610_E_TIMEOUT);
    EXPECT_EQ(serlink_uart_drain_tx_queue(fd), KTR610_OK);
}

TEST_F(SerialLine, ClosedLineFailsWithinTheTimeOut)
{
    ASSERT_EQ(serlink_uart_set_speed(fd, 115200), KTR610_OK);
    pty.close();
    // A time-out of a minute: failing well before it, the read failed by the hang-up, however
    // slowly a loaded machine went.
    constexpr uint32_t minute = 60000;
    alarm(30);  // a read that spins on the hung-up line ends the test process
    uint8_t buffer[275];
    const uint32_t start = utl_get_time_msec();
    EXPECT_EQ(serlink_uart_read(fd, 6, 275, buffer, nullptr, start, minute), KTR610_E_SYSCALL);
    EXPECT_LT(utl_get_time_msec() - start, minute / 2);
    EXPECT_EQ(serlink_uart_clear_rx_queue(fd), KTR610_OK);
    EXPECT_EQ(serlink_uart_write(fd, buffer, 6, utl_get_time_msec(), minute), KTR610_E_SYSCALL);
    alarm(0);
}

// ---- Opening as another process -----------------------------------------------------------

constexpr int kCannotDropRoot = 77;

// Runs body in a child process that is not root (root bypasses permissions and exclusive
// mode); returns its exit code.
int inUnprivilegedChild(const std::function<int()>& body)
{
    const pid_t pid = fork();
    if (pid == 0) {
        if (getuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
            _exit(kCannotDropRoot);
        _exit(body());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(SerialLine, BusyAndForbiddenPortsAreTold)
{
    const std::string path = pty.devicePath();
    auto openStatus = [&] {
        int other = -1;
        return static_cast<int>(serlink_uart_open(&other, path.c_str()));
    };

    ASSERT_EQ(chmod(path.c_str(), 0666), 0);
    ASSERT_EQ(ioctl(fd, TIOCEXCL), 0);
    const int busy = inUnprivilegedChild(openStatus);
    ASSERT_EQ(ioctl(fd, TIOCNXCL), 0);
    if (busy == kCannotDropRoot)
        GTEST_SKIP() << "cannot drop root here";
    EXPECT_EQ(busy, KTR610_E_BUSY);

    ASSERT_EQ(chmod(path.c_str(), 0000), 0);
    EXPECT_EQ(inUnprivilegedChild(openStatus), KTR610_E_ACCESS);
    chmod(path.c_str(), 0600);
}

TEST_F(SerialLine, OpeningNeverTakesTheLineAsControllingTerminal)
{
    const std::string path = pty.devicePath();
    const pid_t pid = fork();
    if (pid == 0) {
        // A session leader without a terminal would adopt the first one it opens.
        if (setsid() < 0)
            _exit(2);
        int port = -1;
        if (serlink_uart_open(&port, path.c_str()) != KTR610_OK)
            _exit(3);
        _exit(open("/dev/tty", O_RDWR | O_NOCTTY) < 0 ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the line became the controlling terminal";
}

}  // namespace
