// Type A cards: the NFCID is sent as 8 bytes with its own length; answers that carry more than
// an NFCID of at most 10 bytes are never reported.
#include "cardpoll_harness.h"

namespace {

using cardpolltest::CardpollBoard;
using cardpolltest::countOf;
using cardpolltest::eventMessage;
using vnq::sim::Bytes;
using vnq::sim::CardField;

using TypeACards = CardpollBoard;

TEST_F(TypeACards, IdsArePaddedOrCutToEightBytes)
{
    const struct {
        Bytes id;
        const char* sent;
    } cases[] = {
        { { 0x04, 0xA1, 0xB2, 0xC3 }, "04a1b2c300000000" },
        { { 0x04, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66 }, "0411223344556600" },
        { { 0x04, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09 }, "0401020304050607" },
    };
    ASSERT_TRUE(startServer());
    startCardpoll();
    size_t events = 0;
    for (const auto& c : cases) {
        sim.setField(CardField::typeA(c.id));
        ASSERT_TRUE(waitForEvents(++events)) << c.sent;
        EXPECT_EQ(server.messages().back(), eventMessage("TypeA", static_cast<int>(c.id.size()), c.sent));
        sim.setField(CardField::none());
        ASSERT_TRUE(waitForTypeAPolls(2));
    }
    EXPECT_EQ(server.messages().size(), events);
    EXPECT_EQ(countOf(output(), "Catch TypeA Card\n  ID(7) 0411223344556600\n"), 1u);
}

TEST_F(TypeACards, AHeldCardIsReportedOnceAndSkipsTheFelicaTurn)
{
    ASSERT_TRUE(startServer());
    startCardpoll();
    sim.setField(CardField::typeA({ 0x04, 0xA1, 0xB2, 0xC3 }));
    ASSERT_TRUE(waitForEvents(1));
    const int felica = felicaPolls();
    ASSERT_TRUE(waitForTypeAPolls(20));
    EXPECT_EQ(felicaPolls(), felica);
    EXPECT_EQ(server.messages().size(), 1u);
}

TEST_F(TypeACards, AnswersBeyondTheNfcidAreNeverReported)
{
    const CardField refused[] = {
        CardField::typeA({ 0x04, 0xA1, 0xB2, 0xC3 }, { 0x05, 0x78, 0x80, 0x70, 0x02 }),  // bytes after the NFCID
        CardField::typeA({ 0x04, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A }),  // 11-byte NFCID
    };
    ASSERT_TRUE(startServer());
    startCardpoll();
    for (const CardField& field : refused) {
        sim.setField(field);
        ASSERT_TRUE(waitForTypeAPolls(30));
    }
    EXPECT_TRUE(server.messages().empty());
    EXPECT_EQ(countOf(output(), "TypeA"), 0u);

    // The service still polls and reports a plain card afterwards.
    sim.setField(CardField::typeA({ 0x04, 0xA1, 0xB2, 0xC3 }));
    ASSERT_TRUE(waitForEvents(1));
}

}  // namespace
