// The command line: option and value pairs, dashed or bare, and the usage exit.
#include "cardpoll_harness.h"
#include "cardpoll_options.h"

#include <cstring>

namespace {

using cardpolltest::kGiveUpMs;
using cardpolltest::CardpollBoard;

struct ArgsCase {
    std::vector<std::string> args;
    int result = 0;
    std::string port = "/dev/ttyS0";
    uint32_t speed = 115200;
    uint32_t timeout = 100;
    std::string server = "/tmp/iccard.uds";
    int wait = 0;
};

void PrintTo(const ArgsCase& c, std::ostream* os)
{
    for (const std::string& a : c.args)
        *os << a.substr(0, 20) << ' ';
}

class CommandLines : public ::testing::TestWithParam<ArgsCase> {};

TEST_P(CommandLines, SetTheirValues)
{
    const ArgsCase& c = GetParam();
    std::vector<std::string> args = { "cardpoll" };
    args.insert(args.end(), c.args.begin(), c.args.end());
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    cardpoll_options_t options;
    cardpoll_options_default(&options);
    EXPECT_EQ(cardpoll_options_parse(&options, static_cast<int>(argv.size()), argv.data()), c.result);
    if (c.result != 0)
        return;
    EXPECT_EQ(std::string(options.port_name), c.port);
    EXPECT_EQ(options.speed, c.speed);
    EXPECT_EQ(options.timeout_ms, c.timeout);
    EXPECT_EQ(std::string(options.server_path), c.server);
    EXPECT_EQ(options.wait_ms, c.wait);
}

const std::string k107(107, 'x');
const std::string k108(108, 'x');

INSTANTIATE_TEST_SUITE_P(
    Args, CommandLines,
    ::testing::Values(
        ArgsCase{ {}, 0, "/dev/ttyS0", 115200, 100, "/tmp/iccard.uds", 0 },
        ArgsCase{ { "-t", "200", "-b", "230400" }, 0, "/dev/ttyS0", 230400, 200, "/tmp/iccard.uds", 0 },
        ArgsCase{ { "c", "/dev/ttyS1", "t", "0x20", "a", "/tmp/x.uds", "w", "50" }, 0, "/dev/ttyS1", 115200, 32,
                  "/tmp/x.uds", 50 },
        ArgsCase{ { "-p", "/dev/ttyS1", "z", "1", "-t", "5" }, 0, "/dev/ttyS1", 115200, 100, "/tmp/iccard.uds", 0 },
        ArgsCase{ { "p", "/dev/ttyS1" }, 0, "/dev/ttyS0", 115200, 100, "/tmp/iccard.uds", 0 },
        ArgsCase{ { "-b", "9600", "t" }, 0, "/dev/ttyS0", 9600, 100, "/tmp/iccard.uds", 0 },
        ArgsCase{ { "-a", k107 }, 0, "/dev/ttyS0", 115200, 100, k107, 0 },
        ArgsCase{ { "-z", "1" }, -1 }, ArgsCase{ { "-c", "/dev/ttyS1" }, -1 }, ArgsCase{ { "-t", "5", "-b" }, -1 },
        ArgsCase{ { "-a", k108 }, -1 }));

using Usage = CardpollBoard;

TEST_F(Usage, AnUnknownDashedOptionPrintsTheUsageAndEnds)
{
    startCardpoll({ "-t", "200", "-z", "1" });
    int status = -1;
    ASSERT_TRUE(cardpoll.waitExit(cardpolltest::kGiveUpMs, &status));
    EXPECT_EQ(status, 255);
    EXPECT_EQ(output(), std::string("Usage: ") + CARDPOLL_PROGRAM +
                            " [options]\n  -p port\n   c port\n  -b UART speed\n   b UART speed\n"
                            "  -t timeout at controller\n   t timeout at controller\n  -a server addr\n"
                            "   a server addr\n  -w initialize wait micro second\n   w initialize wait micro second\n");
    EXPECT_TRUE(sim.commands().empty());
}

TEST_F(Usage, ABareUnknownWordStartsWithTheValuesReadSoFar)
{
    startCardpoll({ "-p", root.path("/dev/ttyS0").toStdString(), "z", "1" });
    ASSERT_TRUE(waitForFelicaPolls(1));
}

}  // namespace
