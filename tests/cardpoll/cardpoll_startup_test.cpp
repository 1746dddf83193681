// Start-up: the chip's status file, the start gate on /var/log/iccard_start, and the steps
// that end the program when the reader cannot be brought up.
#include "cardpoll_harness.h"

namespace {

using cardpolltest::kGiveUpMs;
using cardpolltest::CardpollBoard;
using cardpolltest::countOf;
using cardpolltest::waitUntil;
using vnq::sim::Bytes;
using vnq::sim::CardField;

using StartUp = CardpollBoard;

TEST_F(StartUp, WritesTheStatusFileAndConfiguresTheRfRegisters)
{
    startCardpoll();
    ASSERT_TRUE(waitForFelicaPolls(1));
    EXPECT_EQ(root.readFile("/tmp/iccard.status"), QByteArray("61-0120\n"));
    const std::string out = output();
    EXPECT_NE(out.find("<< Polling Service for KT-R610 --- ver 1.0 "), std::string::npos) << out;
    EXPECT_NE(out.find("IC type:          61\nFirmware version: 0120\n"), std::string::npos) << out;

    // The analog registers read back are loaded as RF configuration item 0B.
    const std::vector<Bytes> commands = sim.commands();
    const Bytes read = { 0xD4, 0x06, 0xA0, 0x1B, 0xA0, 0x1C, 0xA0, 0x1D, 0xA0,
                         0x1E, 0xA0, 0x1F, 0xA0, 0x20, 0xA0, 0x21, 0xA0, 0x22 };
    const Bytes config = { 0xD4, 0x32, 0x0B, 0x59, 0xF4, 0x3F, 0x11, 0x4D, 0x85, 0x61, 0x6F };
    const auto at = std::find(commands.begin(), commands.end(), read);
    ASSERT_NE(at, commands.end());
    ASSERT_NE(at + 1, commands.end());
    EXPECT_EQ(*(at + 1), config);
}

TEST_F(StartUp, PollingWaitsForTheStartMarker)
{
    startCardpoll({}, false, "50");
    ASSERT_TRUE(waitUntil([&] { return commandLog().find("logger KTR610 SyncFileCheck Start") != std::string::npos; }));
    EXPECT_EQ(felicaPolls() + typeAPolls(), 0);
    ASSERT_TRUE(root.writeFile("/var/log/iccard_start", ""));
    ASSERT_TRUE(waitForFelicaPolls(1));
    const std::string log = commandLog();
    EXPECT_NE(log.find("logger KTR610 SyncFile OK!!"), std::string::npos) << log;
    EXPECT_EQ(log.find("TimeOUT"), std::string::npos) << log;
}

TEST_F(StartUp, PollingStartsWhenTheMarkerNeverCame)
{
    startCardpoll({}, false, "1");
    ASSERT_TRUE(waitForFelicaPolls(1));
    const std::string log = commandLog();
    EXPECT_NE(log.find("logger KTR610 FlieCheck TimeOUT..."), std::string::npos) << log;
    EXPECT_EQ(log.find("SyncFile OK!!"), std::string::npos) << log;
}

struct FailureCase {
    const char* name;
    bool badPort;
    Bytes command;   // answered with `answer` instead of the chip's answer
    Bytes answer;
    const char* line;
    const char* logger;
};

void PrintTo(const FailureCase& c, std::ostream* os)
{
    *os << c.name;
}

class StartUpFailures : public CardpollBoard, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(StartUpFailures, EndTheProgramWithTheirLineAndLoggerText)
{
    const FailureCase& c = GetParam();
    const Bytes command = c.command, answer = c.answer;
    setHook([command, answer](const Bytes& cmd, CardField*) -> std::optional<Bytes> {
        if (cmd == command)
            return answer;
        return std::nullopt;
    });
    startCardpoll(c.badPort ? std::vector<std::string>{ "-p", root.path("/dev/none").toStdString() }
                            : std::vector<std::string>{});
    int status = -1;
    ASSERT_TRUE(cardpoll.waitExit(cardpolltest::kGiveUpMs, &status));
    EXPECT_EQ(status, 255);
    EXPECT_NE(output().find(c.line), std::string::npos) << output();
    EXPECT_NE(commandLog().find(std::string("logger ") + c.logger), std::string::npos) << commandLog();
    EXPECT_EQ(felicaPolls(), 0);
}

const Bytes kRegisterRead = { 0xD4, 0x06, 0xA0, 0x1B, 0xA0, 0x1C, 0xA0, 0x1D, 0xA0,
                              0x1E, 0xA0, 0x1F, 0xA0, 0x20, 0xA0, 0x21, 0xA0, 0x22 };

INSTANTIATE_TEST_SUITE_P(
    Steps, StartUpFailures,
    ::testing::Values(
        FailureCase{ "open", true, {}, {}, "Cannot open the device(", "KTR610 オープン失敗" },
        FailureCase{ "version", false, { 0xD4, 0x02 }, { 0xD5, 0x03, 0x61 },
                     "Failure in ktr610_get_firmware_version():15\n", "KTR610 バージョン取得失敗" },
        // Fewer register values than the RF configuration takes.
        FailureCase{ "registers", false, kRegisterRead, { 0xD5, 0x07, 0x59, 0xF4 }, "Failed read register (Error=15)\n",
                     "KTR610 RF設定取得失敗" }));

}  // namespace
