// Delivery of the card event: a card whose event could not be sent is reported again while it
// is held; one held back by the socket-count script counts as reported.
#include "cardpoll_harness.h"

#include <sys/stat.h>

namespace {

using cardpolltest::CardpollBoard;
using cardpolltest::countOf;
using cardpolltest::eventMessage;
using cardpolltest::waitUntil;
using vnq::sim::CardField;

const std::array<uint8_t, 8> kIdm = { 0x01, 0x2E, 0x3C, 0x4D, 0x5A, 0x6B, 0x7C, 0x8D };

using Delivery = CardpollBoard;

TEST_F(Delivery, ACardNotDeliveredIsReportedOnceTheServerListens)
{
    startCardpoll();
    sim.setField(CardField::felica(kIdm, vnq::sim::kDefaultPmm));
    ASSERT_TRUE(waitUntil([&] { return output().find("Failed to connect (-1:") != std::string::npos; }));

    ASSERT_TRUE(startServer());  // the card stays on the reader
    ASSERT_TRUE(waitForEvents(1));
    ASSERT_TRUE(waitForFelicaPolls(20));
    ASSERT_EQ(server.messages().size(), 1u);
    EXPECT_EQ(server.messages()[0], eventMessage("FeliCa", 8, "012e3c4d5a6b7c8d"));
}

TEST_F(Delivery, AnEventHeldBackByTheSocketCountIsNotSentAgain)
{
    ASSERT_TRUE(root.writeFile("/VnQo/app/Service/iccard_socket_count.sh", "#!/bin/sh\nexit 11\n"));
    ASSERT_EQ(chmod(root.path("/VnQo/app/Service/iccard_socket_count.sh").toLocal8Bit().constData(), 0755), 0);
    ASSERT_TRUE(startServer());
    startCardpoll();
    sim.setField(CardField::felica(kIdm, vnq::sim::kDefaultPmm));
    ASSERT_TRUE(waitUntil([&] { return output().find("Over waitting sockets (11)\n") != std::string::npos; }));

    ASSERT_TRUE(root.writeFile("/VnQo/app/Service/iccard_socket_count.sh", "#!/bin/sh\nexit 0\n"));
    ASSERT_TRUE(waitForFelicaPolls(20));
    EXPECT_TRUE(server.messages().empty());
    EXPECT_EQ(countOf(output(), "Socket check ("), 1u) << output();
    EXPECT_NE(output().find("Socket check (2816)\n"), std::string::npos);

    // Presented again, it is sent.
    sim.setField(CardField::none());
    ASSERT_TRUE(waitForFelicaPolls(2));
    sim.setField(CardField::felica(kIdm, vnq::sim::kDefaultPmm));
    ASSERT_TRUE(waitForEvents(1));
}

TEST_F(Delivery, AMissingSocketCountScriptDoesNotHoldEventsBack)
{
    ASSERT_TRUE(QFile::remove(root.path("/VnQo/app/Service/iccard_socket_count.sh")));
    ASSERT_TRUE(startServer());
    startCardpoll();
    sim.setField(CardField::typeA({ 0x04, 0xA1, 0xB2, 0xC3 }));
    ASSERT_TRUE(waitForEvents(1));
    EXPECT_NE(output().find("Socket check (32512)\n"), std::string::npos) << output();
}

}  // namespace
