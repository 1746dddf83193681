#include "utl.h"
#include "utl_timeout.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <sys/time.h>
#include <time.h>

namespace {

uint64_t monotonicMs()
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return uint64_t(ts.tv_sec) * 1000 + uint64_t(ts.tv_nsec) / 1000000;
}

struct WrapCase {
    uint32_t now;
    uint32_t rest;
    uint32_t elapsed;
};

void PrintTo(const WrapCase& c, std::ostream* os)
{
    *os << "now " << c.now;
}

class RestTimeoutAcrossTheWrap : public ::testing::TestWithParam<WrapCase> {};

TEST_P(RestTimeoutAcrossTheWrap, CountsFromStartThroughZero)
{
    uint32_t elapsed = 12345;
    EXPECT_EQ(utl_rest_timeout_at(GetParam().now, 0xFFFFFFF0u, 100, &elapsed), GetParam().rest);
    EXPECT_EQ(elapsed, GetParam().elapsed);
}

INSTANTIATE_TEST_SUITE_P(StartFFFFFFF0, RestTimeoutAcrossTheWrap,
                         ::testing::Values(WrapCase{ 0xFFFFFFF0u, 100, 0 }, WrapCase{ 0xFFFFFFFFu, 85, 15 },
                                           WrapCase{ 0x00000000u, 84, 16 }, WrapCase{ 0x00000053u, 1, 99 },
                                           WrapCase{ 0x00000054u, 0, 100 }, WrapCase{ 0x00001000u, 0, 0x1010 },
                                           WrapCase{ 0x7FFFFFFFu, 0, 0x8000000Fu }));

TEST(Utl, ClockIsTheMonotonicClockInMilliseconds)
{
    const uint32_t before = static_cast<uint32_t>(monotonicMs());
    const uint32_t clock = utl_get_time_msec();
    const uint32_t after = static_cast<uint32_t>(monotonicMs());
    EXPECT_LE(clock - before, after - before);
}

TEST(Utl, RestTimeoutRunsOutAndStaysOut)
{
    const uint32_t now = utl_get_time_msec();
    EXPECT_EQ(utl_get_rest_timeout(now, 0, nullptr), 0u);
    EXPECT_EQ(utl_get_rest_timeout(now - 200, 100, nullptr), 0u);
    EXPECT_EQ(utl_get_rest_timeout(now - 0x80000000u, 100, nullptr), 0u);
    const uint32_t rest = utl_get_rest_timeout(now, 60000, nullptr);
    const uint32_t passed = utl_get_time_msec() - now;  // however long this test was held up
    EXPECT_GE(rest, 60000u - passed);
    EXPECT_LE(rest, 60000u);
}

void ignoreAlarm(int) {}

TEST(Utl, SleepResumesAfterASignal)
{
    struct sigaction action = {};
    action.sa_handler = ignoreAlarm;  // no SA_RESTART: the signal interrupts the sleep
    struct sigaction previous;
    ASSERT_EQ(sigaction(SIGALRM, &action, &previous), 0);
    struct itimerval timer = {};
    timer.it_value.tv_usec = 5000;
    ASSERT_EQ(setitimer(ITIMER_REAL, &timer, nullptr), 0);

    const uint64_t start = monotonicMs();
    EXPECT_EQ(utl_msleep(30), 0u);
    EXPECT_GE(monotonicMs() - start, 30u);
    sigaction(SIGALRM, &previous, nullptr);
    EXPECT_EQ(utl_msleep(0), 0u);
}

TEST(Utl, CopyAllowsOverlapBothWays)
{
    uint8_t buffer[12] = { 0, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6 };
    utl_memcpy(buffer, buffer + 6, 6);  // down over a dropped ACK, as the frame exchange does
    EXPECT_EQ(std::memcmp(buffer, "\1\2\3\4\5\6", 6), 0);

    uint8_t up[8] = { 1, 2, 3, 4, 5, 6, 7, 8 };
    utl_memcpy(up + 2, up, 6);
    const uint8_t expected[8] = { 1, 2, 1, 2, 3, 4, 5, 6 };
    EXPECT_EQ(std::memcmp(up, expected, 8), 0);
}

TEST(Utl, CompareIsZeroOnlyForEqualBytes)
{
    EXPECT_EQ(utl_memcmp("\x00\x00\xFF", "\x00\x00\xFF", 3), 0);
    EXPECT_NE(utl_memcmp("\x00\x00\xFF", "\x00\x00\xFE", 3), 0);
    EXPECT_EQ(utl_memcmp("a", "b", 0), 0);
}

}  // namespace
