// End to end: the terminal application and the card service on one simulated board, a card on
// the simulated reader and the terminal's card lookup for it.
#include "cardpoll_harness.h"
#include "dbmaster.h"

namespace {

using cardpolltest::CardpollBoard;
using cardpolltest::ChildProcess;
using cardpolltest::countOf;
using cardpolltest::readText;
using cardpolltest::buildBoardRoot;
using cardpolltest::startTerminal;
using cardpolltest::waitUntil;
using vnq::sim::CardField;

const std::array<uint8_t, 8> kRegistered = { 0x01, 0x2E, 0x3C, 0x4D, 0x5A, 0x6B, 0x7C, 0x8D };
const std::array<uint8_t, 8> kUnknown = { 0x01, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07 };

class WithTheTerminal : public CardpollBoard {
protected:
    void SetUp() override
    {
        CardpollBoard::SetUp();
        ASSERT_TRUE(buildBoardRoot(root));
        ASSERT_TRUE(DBMaster::setUser(5, QStringLiteral("山田 太郎"), 1));
        ASSERT_TRUE(DBMaster::setCard(QStringLiteral("012E3C4D5A6B7C8D"), QStringLiteral("FeliCa"), 8, 5));
        ASSERT_TRUE(startTerminal(root, terminal));
        ASSERT_TRUE(waitUntil([&] { return root.exists("/tmp/iccard.uds"); })) << terminalLog();
    }

    void TearDown() override
    {
        terminal.kill();
        CardpollBoard::TearDown();
    }

    std::string terminalLog() const { return readText(root.path("/var/log/VantroQo.log").toStdString()); }
    // Lookups of the terminal that found a user, and that found none.
    size_t registered() const { return countOf(terminalLog(), "登録ユーザ!!") - unregistered(); }
    size_t unregistered() const { return countOf(terminalLog(), "未登録ユーザ!!"); }

    ChildProcess terminal;
};

TEST_F(WithTheTerminal, ACardOnTheReaderReachesTheCardLookupOnce)
{
    startCardpoll();
    ASSERT_TRUE(waitForFelicaPolls(1));

    sim.setField(CardField::felica(kRegistered, vnq::sim::kDefaultPmm));
    ASSERT_TRUE(waitUntil([&] { return registered() == 1; }, 10000)) << terminalLog();
    EXPECT_NE(terminalLog().find("山田 太郎"), std::string::npos);
    ASSERT_TRUE(waitForFelicaPolls(20));
    sim.setField(CardField::none());
    ASSERT_TRUE(waitForFelicaPolls(2));

    sim.setField(CardField::felica(kUnknown, vnq::sim::kDefaultPmm));
    ASSERT_TRUE(waitUntil([&] { return unregistered() == 1; }, 10000)) << terminalLog();
    ASSERT_TRUE(waitForFelicaPolls(20));
    EXPECT_EQ(registered(), 1u) << terminalLog();
    EXPECT_EQ(unregistered(), 1u);
    EXPECT_EQ(countOf(output(), "Success to send ("), 2u) << output();
    EXPECT_TRUE(terminal.running());
}

}  // namespace
