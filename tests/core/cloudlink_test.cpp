#include "fakecloudlink.h"
#include "waituntil.h"
#include "zsystem.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSignalSpy>
#include <QThread>

namespace {

using vnq::test::FakeCloudLink;

// A fake installed as the process's cloud worker for one test, taken away with its factory
// when the test ends, so the next test starts with no worker.
struct InstalledFake {
    explicit InstalledFake(int edition)
        : edition(edition)
        , link(FakeCloudLink::install(edition))
    {
    }
    ~InstalledFake()
    {
        delete link;
        CloudLink::setFactory(edition, {});
    }
    int edition;
    FakeCloudLink* link;
};

TEST(CloudLink, OneWorkerPerProcessFromTheFactoryOfTheEdition)
{
    int made = 0;
    CloudLink::setFactory(ZSystem::Cloud, [&made] {
        ++made;
        return new FakeCloudLink();
    });

    ZSystem::setMode(ZSystem::Basic);
    EXPECT_EQ(CloudLink::forEdition(), nullptr) << "the basic edition has no worker";
    ZSystem::setMode(ZSystem::Merid);
    EXPECT_EQ(CloudLink::forEdition(), nullptr) << "no factory for edition 2";
    EXPECT_EQ(CloudLink::current(), nullptr);

    ZSystem::setMode(ZSystem::Cloud);
    CloudLink* worker = CloudLink::forEdition();
    ASSERT_NE(worker, nullptr);
    EXPECT_EQ(CloudLink::forEdition(), worker);
    EXPECT_EQ(CloudLink::current(), worker);
    EXPECT_EQ(made, 1);

    delete worker;
    EXPECT_EQ(CloudLink::current(), nullptr) << "current() never creates";
    ZSystem::setMode(ZSystem::Basic);
}

TEST(FakeCloudLink, RecordsCallsAndAnswersInTheFormOfTheEdition)
{
    ZSystem::setMode(ZSystem::Merid);
    InstalledFake fake(ZSystem::Merid);
    FakeCloudLink* link = fake.link;
    ASSERT_NE(link, nullptr);
    QSignalSpy intAnswers(link, QOverload<int>::of(&CloudLink::finishedPutUserIDm));
    QSignalSpy textAnswers(link, QOverload<QString>::of(&CloudLink::finishedPutUserIDm));
    QSignalSpy ends(link, &CloudLink::allUpdateFinish);

    link->setResult(QStringLiteral("putUserIDm"), -10);
    link->putUserIDm(7, QStringLiteral("0123456789ABCDEF"), QStringLiteral("20240101090000"));
    link->setAllUpdateOption(QStringLiteral("failed"));
    link->setAnswerAtOnce(false);
    link->startDataRequest(3);
    EXPECT_EQ(ends.count(), 0) << "held back until the test says";
    link->answerPending();

    ASSERT_EQ(intAnswers.count(), 1);
    EXPECT_EQ(intAnswers.at(0).at(0).toInt(), -10);
    EXPECT_EQ(textAnswers.count(), 0);
    ASSERT_EQ(ends.count(), 1);
    EXPECT_EQ(ends.at(0), (QVariantList{3, QStringLiteral("failed")}));
    ASSERT_EQ(link->calls().size(), 2);
    EXPECT_EQ(link->calls().at(0).args, (QVariantList{7, QStringLiteral("0123456789ABCDEF"), QStringLiteral("20240101090000")}));
    EXPECT_EQ(link->operations(), (QStringList{QStringLiteral("putUserIDm"), QStringLiteral("startDataRequest")}));
    ZSystem::setMode(ZSystem::Basic);
}

TEST(FakeCloudLink, AnswersFromItsOwnThreadArriveQueued)
{
    ZSystem::setMode(ZSystem::Cloud);
    InstalledFake fake(ZSystem::Cloud);
    FakeCloudLink* link = fake.link;
    ASSERT_NE(link, nullptr);
    link->runInOwnThread();
    QThread* receivedOn = nullptr;
    QString code;
    QObject receiver;
    QObject::connect(link, QOverload<QString>::of(&CloudLink::finishedGetServiceName), &receiver,
                     [&](QString resultCode) {
                         receivedOn = QThread::currentThread();
                         code = resultCode;
                     });
    link->setBusy(true);
    EXPECT_TRUE(link->busy());

    link->getServiceName();
    EXPECT_TRUE(code.isEmpty()) << "not delivered inside the call";
    // The worker's thread answers when it gets to it; the bound only ends a test that hangs.
    EXPECT_TRUE(vnq::test::waitUntil([&] { return !code.isEmpty(); }, 10000));
    EXPECT_EQ(code, QStringLiteral("0"));
    EXPECT_EQ(receivedOn, QThread::currentThread());
    ZSystem::setMode(ZSystem::Basic);
}

}  // namespace
