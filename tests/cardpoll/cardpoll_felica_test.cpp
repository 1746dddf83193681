// FeliCa cards: one event per card held, again only after it was taken away, none for two
// cards that answer alternately.
#include "cardpoll_harness.h"

#include <memory>

namespace {

using cardpolltest::CardpollBoard;
using cardpolltest::countOf;
using cardpolltest::eventMessage;
using vnq::sim::CardField;

const std::array<uint8_t, 8> kIdmA = { 0x01, 0x2E, 0x3C, 0x4D, 0x5A, 0x6B, 0x7C, 0x8D };
const std::array<uint8_t, 8> kIdmB = { 0x01, 0x2E, 0x3C, 0x4D, 0x5A, 0x6B, 0x7C, 0x8E };

using FelicaCards = CardpollBoard;

TEST_F(FelicaCards, OneEventPerPresentation)
{
    ASSERT_TRUE(startServer());
    startCardpoll();
    ASSERT_TRUE(waitForFelicaPolls(1));

    sim.setField(CardField::felica(kIdmA, vnq::sim::kDefaultPmm));
    ASSERT_TRUE(waitForEvents(1));
    EXPECT_EQ(server.messages()[0], eventMessage("FeliCa", 8, "012e3c4d5a6b7c8d"));

    // Held on: polled again and again, never reported again.
    ASSERT_TRUE(waitForFelicaPolls(30));
    EXPECT_EQ(server.messages().size(), 1u);

    sim.setField(CardField::none());
    ASSERT_TRUE(waitForFelicaPolls(2));
    EXPECT_EQ(server.messages().size(), 1u);
    sim.setField(CardField::felica(kIdmA, vnq::sim::kDefaultPmm));
    ASSERT_TRUE(waitForEvents(2));
    ASSERT_TRUE(waitForFelicaPolls(10));
    ASSERT_EQ(server.messages().size(), 2u);
    EXPECT_EQ(server.messages()[1], server.messages()[0]);
    EXPECT_EQ(countOf(output(), "Catch FeliCa Card\n  IDm 012e3c4d5a6b7c8d\n  PMM 0120220427674eff\n"), 2u);
    EXPECT_EQ(countOf(output(), "Success to send (" + std::to_string(server.messages()[0].size()) + ":"), 2u);
}

TEST_F(FelicaCards, WhileAFelicaCardIsHeldOnlyFelicaIsPolled)
{
    ASSERT_TRUE(startServer());
    startCardpoll();
    sim.setField(CardField::felica(kIdmA, vnq::sim::kDefaultPmm));
    ASSERT_TRUE(waitForEvents(1));
    const int typeA = typeAPolls();
    ASSERT_TRUE(waitForFelicaPolls(20));
    EXPECT_EQ(typeAPolls(), typeA);
}

TEST_F(FelicaCards, TwoAlternatingCardsDiscordAndAreNeverReported)
{
    ASSERT_TRUE(startServer());
    auto polls = std::make_shared<int>(0);  // the hook runs on the reader's thread
    setHook([polls](const vnq::sim::Bytes& command, CardField* field) -> std::optional<vnq::sim::Bytes> {
        if (command.size() >= 4 && command[1] == 0x4A && command[3] == 0x01)
            *field = CardField::felica((*polls)++ % 2 ? kIdmB : kIdmA, vnq::sim::kDefaultPmm);
        return std::nullopt;
    });
    startCardpoll();
    ASSERT_TRUE(waitForFelicaPolls(40));
    EXPECT_TRUE(server.messages().empty());
    const std::string out = output();
    EXPECT_NE(out.find("Discord FeliCa ID's!!\n  IDm 012e3c4d5a6b7c8d, 012e3c4d5a6b7c8e\n"
                       "  PMM 0120220427674eff, 0120220427674eff\n"),
              std::string::npos)
        << out;
    EXPECT_EQ(countOf(out, "Catch"), 0u);
}

}  // namespace
