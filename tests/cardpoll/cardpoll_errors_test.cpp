// Reader errors while polling: more than 10 in a row power the terminal off and end the
// service; a success in between starts the count again.
#include "cardpoll_harness.h"

#include <memory>

namespace {

using cardpolltest::kGiveUpMs;
using cardpolltest::CardpollBoard;
using cardpolltest::countOf;
using cardpolltest::waitUntil;
using vnq::sim::Bytes;
using vnq::sim::CardField;
using vnq::sim::Fault;

using ReaderErrors = CardpollBoard;

struct ErrorCase {
    Fault fault;
    const char* line;
};

void PrintTo(const ErrorCase& c, std::ostream* os)
{
    *os << c.line;
}

class ElevenErrors : public CardpollBoard, public ::testing::WithParamInterface<ErrorCase> {};

// Errors are counted in a row, so an answer that a loaded machine delivers after the
// service's time-out would add one of its own: the time-out is a second, not the usual 100 ms.
constexpr const char* kPatientTimeoutMs = "1000";

TEST_P(ElevenErrors, EndTheServiceAfterThePowerOff)
{
    startCardpoll({ "-t", kPatientTimeoutMs });
    ASSERT_TRUE(waitForFelicaPolls(1));
    sim.setFault(GetParam().fault);
    int status = -1;
    ASSERT_TRUE(cardpoll.waitExit(cardpolltest::kGiveUpMs, &status));
    EXPECT_EQ(status, 1);
    const std::string out = output();
    EXPECT_EQ(countOf(out, GetParam().line), 11u) << out;
    ASSERT_TRUE(waitUntil([&] { return commandLog().find("/VNQ/bin/vnq_force_power_off") != std::string::npos; }));
    const std::string log = commandLog();
    EXPECT_LT(log.find("logger KTR610 エラー検知"), log.find("/VNQ/bin/vnq_force_power_off")) << log;
}

INSTANTIATE_TEST_SUITE_P(Faults, ElevenErrors,
                         ::testing::Values(ErrorCase{ Fault::BadDcs, "KTR610 その他エラー " },
                                           ErrorCase{ Fault::Silence, "KTR610 タイムアウト " }));

// Answers the next `failures` polls with the chip's error frame, which is too short for a
// list-target answer and so fails the exchange.
struct FailingPolls {
    std::atomic<int> left{ 0 };
};

TEST_F(ReaderErrors, TenErrorsAndASuccessKeepTheServiceRunning)
{
    auto failing = std::make_shared<FailingPolls>();
    setHook([failing](const Bytes& command, CardField*) -> std::optional<Bytes> {
        if (command.size() >= 2 && command[1] == 0x4A && failing->left > 0) {
            failing->left--;
            return Bytes{ 0x7F };
        }
        return std::nullopt;
    });
    ASSERT_TRUE(startServer());
    startCardpoll({ "-t", kPatientTimeoutMs });
    ASSERT_TRUE(waitForFelicaPolls(1));
    for (int round = 0; round < 3; round++) {
        failing->left = 10;
        ASSERT_TRUE(waitUntil([&] { return failing->left == 0; }));
        ASSERT_TRUE(waitForFelicaPolls(2));
        ASSERT_TRUE(cardpoll.running());
    }
    EXPECT_EQ(countOf(output(), "KTR610 その他エラー "), 30u);
    EXPECT_EQ(commandLog().find("vnq_force_power_off"), std::string::npos);

    sim.setField(CardField::typeA({ 0x04, 0xA1, 0xB2, 0xC3 }));
    ASSERT_TRUE(waitForEvents(1));
}

}  // namespace
