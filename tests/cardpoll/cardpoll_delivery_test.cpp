// Delivery of the card event: a card whose event could not be sent is reported again while it
// is held; one held back by the socket-count script counts as reported.
#include "cardpoll_harness.h"
#include "cardpoll_retry.h"

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>

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

// Tries of a card that is never delivered, polled every 10 ms for ten seconds.
std::vector<uint32_t> triesOverTenSeconds(uint32_t startMs)
{
    cardpoll_retry_t retry;
    cardpoll_retry_clear(&retry);
    std::vector<uint32_t> tries;
    for (uint32_t t = 0; t <= 10000; t += 10) {
        if (t == 0 || cardpoll_retry_due(&retry, startMs + t)) {
            tries.push_back(t);
            cardpoll_retry_failed(&retry, startMs + t, 1000);
        }
    }
    return tries;
}

TEST(DeliveryBackOff, AnUndeliveredCardIsTriedAfterOneTwoThenEveryFourSeconds)
{
    const std::vector<uint32_t> expected = { 0, 1000, 3000, 7000 };
    EXPECT_EQ(triesOverTenSeconds(5000), expected);
    EXPECT_EQ(triesOverTenSeconds(0xFFFFFFFFu - 2500), expected);  // across the clock's wrap

    cardpoll_retry_t retry;
    cardpoll_retry_clear(&retry);
    EXPECT_FALSE(cardpoll_retry_due(&retry, 123));
    cardpoll_retry_failed(&retry, 0, 1000);
    cardpoll_retry_clear(&retry);  // taken away or delivered: nothing waits
    EXPECT_FALSE(cardpoll_retry_due(&retry, 60000));
    EXPECT_EQ(cardpoll_retry_failed(&retry, 0, 1000), 1000u);  // a new card starts over
}

using DeliveryRetry = CardpollBoard;

TEST_F(DeliveryRetry, AHeldCardIsRetriedWithBackOffAndReportedOnceTheSocketIsBack)
{
    // One back-off unit of 100 ms: after the first failure a try waits 1, then 2, then 4 units.
    extraEnv = { "VNQ_CARDPOLL_RETRY_MS=100" };
    const auto start = std::chrono::steady_clock::now();
    startCardpoll();
    sim.setField(CardField::felica(kIdm, vnq::sim::kDefaultPmm));
    // The third failure, whenever a loaded machine gets to it.
    ASSERT_TRUE(waitUntil([&] { return output().find("next try in 400 ms\n") != std::string::npos; }))
        << output();

    // However slowly they came, the tries kept to the back-off: try n + 1 comes no sooner
    // than the delays of the n failures before it after the first.
    const size_t tries = countOf(commandLog(), "/VnQo/app/Service/iccard_socket_count.sh");
    const auto took = std::chrono::steady_clock::now() - start;
    size_t allowed = 1;
    for (long long waited = 0, delay = 100; std::chrono::milliseconds(waited + delay) <= took; ++allowed) {
        waited += delay;
        delay = std::min(delay * 2, 400LL);
    }
    EXPECT_GE(tries, 3u);
    EXPECT_LE(tries, allowed) << commandLog();
    // Each failure is reported. The report is the line after the failure's own, so a try
    // still under way is left out.
    std::string out = output();
    out.erase(out.find('\n', out.rfind("Card event not delivered, next try in ")) + 1);
    EXPECT_EQ(countOf(out, "Card event not delivered, next try in "), countOf(out, "Failed to connect (-1:")) << out;
    EXPECT_NE(out.find("Card event not delivered, next try in 100 ms\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Card event not delivered, next try in 200 ms\n"), std::string::npos) << out;

    ASSERT_TRUE(startServer());  // the card is still held
    ASSERT_TRUE(waitForEvents(1));
    ASSERT_TRUE(waitForFelicaPolls(20));
    ASSERT_EQ(server.messages().size(), 1u);
    EXPECT_EQ(server.messages()[0], eventMessage("FeliCa", 8, "012e3c4d5a6b7c8d"));
}

TEST_F(DeliveryRetry, ACardTakenAwayIsForgotten)
{
    startCardpoll();
    sim.setField(CardField::felica(kIdm, vnq::sim::kDefaultPmm));
    ASSERT_TRUE(waitUntil([&] { return output().find("next try in 2000 ms") != std::string::npos; }));
    ASSERT_TRUE(startServer());
    sim.setField(CardField::none());
    ASSERT_TRUE(waitForFelicaPolls(2));
    EXPECT_TRUE(server.messages().empty());

    // Presented again, it is a new card: sent at once, not after the back-off. Counted in polls,
    // which a loaded machine slows as much as the service's clock: the card is put on the
    // reader at one poll, and each poll after it looks whether the service has sent it.
    struct Presented {
        std::atomic<int> polls{ -1 };
        std::atomic<int> sentBy{ -1 };
    };
    auto presented = std::make_shared<Presented>();
    setHook([this, presented](const vnq::sim::Bytes& command, CardField* field) -> std::optional<vnq::sim::Bytes> {
        if (command.size() < 4 || command[1] != 0x4A || command[3] != 0x01 || presented->sentBy >= 0)
            return std::nullopt;
        if (presented->polls++ < 0)
            *field = CardField::felica(kIdm, vnq::sim::kDefaultPmm);
        else if (output().find("Success to send (") != std::string::npos)
            presented->sentBy = presented->polls.load();
        return std::nullopt;
    });
    ASSERT_TRUE(waitForEvents(1));
    ASSERT_TRUE(waitUntil([&] { return presented->sentBy >= 0; }));
    EXPECT_EQ(presented->sentBy, 2) << "sent at the second read, which agrees with the first";
}

}  // namespace
