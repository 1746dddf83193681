#include "screenfixture.h"

#include "soundmodule.h"

#include <QSignalSpy>

namespace {

using vnq::test::FakeDisplayServer;

// A page of generation 1 with a button, a silent touch area and the screen-shot spot; each
// reply is followed by a ready reply, whose arrival shows that the reply has been handled.
class MyLabelReply : public ScreenFixture {
protected:
    void SetUp() override
    {
        ScreenFixture::SetUp();
        SoundModule::touchVolume = 2;
        label->setNew();
        for (const char* id : {"Back", "_BG_102"}) {
            LabelItemList item;
            item.id = QString::fromLatin1(id);
            item.w = 80;
            item.h = 34;
            label->setItem(&item);
        }
        flash();
        ASSERT_TRUE(readySpy.wait(5000));
        resetRecords();
    }

    void resetRecords()
    {
        runner.clear();
        log.clear();
        readySpy.clear();
        clicked.clear();
        clickedLong.clear();
        released.clear();
    }

    // Sends the text in one write, then a ready reply in another, and waits for that ready.
    void deliver(const QString& text)
    {
        const int readies = readySpy.count();
        ASSERT_TRUE(peer.sendRaw(text));
        ASSERT_TRUE(peer.sendRaw(FakeDisplayServer::readyReply()));
        ASSERT_TRUE(FakeDisplayServer::waitFor([&] { return readySpy.count() > readies; }));
    }

    static QStringList ids(const QSignalSpy& spy)
    {
        QStringList out;
        for (const QList<QVariant>& args : spy) {
            EXPECT_EQ(args.at(0).value<MyLabel*>(), MyLabel::getInstance());
            out << args.at(1).toString();
        }
        return out;
    }

    int buttonSounds() const
    {
        return runner.count(QStringLiteral("nice -n -20 aplay ")
                            + board.path(QStringLiteral("/VnQo/app/Sound/2/BUTTON.wav"))
                            + QStringLiteral(" > /dev/null 2>&1 &"));
    }

    QSignalSpy readySpy{MyLabel::getInstance(), &MyLabel::ready};
    QSignalSpy clicked{MyLabel::getInstance(), &MyLabel::clicked};
    QSignalSpy clickedLong{MyLabel::getInstance(), &MyLabel::clickedLong};
    QSignalSpy released{MyLabel::getInstance(), &MyLabel::released};
};

struct ReplyCase {
    const char* what;
    QString reply;
    QStringList clicked;
    QStringList clickedLong;
    QStringList released;
    int sounds;
    const char* logged;  // a debug line that must appear, or null
    QString before = {};  // written ahead of the reply, on its own
};

TEST_F(MyLabelReply, TouchReplies)
{
    const QString down = FakeDisplayServer::touchReply(QStringLiteral("1Back"), 0);
    const QList<ReplyCase> cases = {
        {"touch down", down, {"Back"}, {}, {}, 1, "end parse: \"Back\" 0"},
        {"held 3000 ms", FakeDisplayServer::touchReply("1Back", 3), {}, {"Back"}, {}, 0, nullptr},
        {"release", FakeDisplayServer::touchReply("1Back", 1), {}, {}, {"Back"}, 0, nullptr},
        {"stale generation", FakeDisplayServer::touchReply("0Back", 0), {}, {}, {}, 0, "タッチイベント遅れ"},
        {"stale generation, held", FakeDisplayServer::touchReply("9Back", 3), {}, {}, {}, 0, "タッチイベント遅れ"},
        {"background", FakeDisplayServer::touchReply("@@@_BG_@@@", 0), {}, {}, {}, 0, nullptr},
        {"silent id", FakeDisplayServer::touchReply("1_BG_102", 0), {"_BG_102"}, {}, {}, 0, nullptr},
        {"generation digit alone", FakeDisplayServer::touchReply("1", 0), {}, {}, {}, 0, nullptr},
        {"unknown event", FakeDisplayServer::touchReply("1Back", 2), {}, {}, {}, 0, nullptr},
        {"event that is no number", "<gui><id>1Back</id><event>x</event></gui>", {"Back"}, {}, {}, 1, nullptr},
        {"two touches in one reply", "<gui><id>1Back</id><event>0</event><id>1_BG_102</id><event>3</event></gui>",
         {"Back"}, {"_BG_102"}, {}, 1, nullptr},
        {"two replies in one read", down + down, {"Back", "Back"}, {}, {}, 2, nullptr},
        {"reply cut in two reads", down.mid(9), {"Back"}, {}, {}, 1, nullptr, down.left(9)},
        {"broken reply", "<gui><id>1Back</id><event>0</ev></gui>", {}, {}, {}, 0, nullptr},
    };
    for (const ReplyCase& c : cases) {
        SCOPED_TRACE(c.what);
        resetRecords();
        if (!c.before.isEmpty()) {
            ASSERT_TRUE(peer.sendRaw(c.before));
            QCoreApplication::processEvents();
        }
        deliver(c.reply);
        EXPECT_EQ(ids(clicked), c.clicked);
        EXPECT_EQ(ids(clickedLong), c.clickedLong);
        EXPECT_EQ(ids(released), c.released);
        EXPECT_EQ(buttonSounds(), c.sounds);
        EXPECT_EQ(runner.calls().size(), c.sounds) << "no other command";
        if (c.logged) {
            EXPECT_FALSE(log.matching(QString::fromUtf8(c.logged)).isEmpty()) << c.logged;
        }
    }
}

TEST_F(MyLabelReply, ReadyAndTouchInOneReadAreBothHandled)
{
    peer.setAnswerReady(false);
    flash();
    ASSERT_TRUE(label->busy);
    // Both arrive in one write, so the client reads them together.
    ASSERT_TRUE(peer.sendRaw(FakeDisplayServer::touchReply("1Back", 0) + FakeDisplayServer::readyReply()));
    ASSERT_TRUE(readySpy.wait(5000));
    EXPECT_EQ(ids(clicked), QStringList{"Back"});
    EXPECT_EQ(readySpy.count(), 1);
    EXPECT_FALSE(label->busy);

    resetRecords();
    flash();
    ASSERT_TRUE(peer.sendRaw(FakeDisplayServer::readyReply() + FakeDisplayServer::touchReply("1Back", 3)));
    ASSERT_TRUE(FakeDisplayServer::waitFor([&] { return clickedLong.count() == 1; }));
    EXPECT_EQ(readySpy.count(), 1);
    EXPECT_FALSE(label->busy);
}

TEST_F(MyLabelReply, TouchOnADarkScreenOnlyWakesIt)
{
    for (const char* id : {"Back", "@@@_BG_@@@"}) {
        SCOPED_TRACE(id);
        resetRecords();
        setBacklightLit(false);
        ASSERT_TRUE(peer.touch(QString::fromLatin1(id)));
        ASSERT_TRUE(FakeDisplayServer::waitFor([&] { return !runner.calls().isEmpty(); }));
        EXPECT_EQ(runner.commands(), QStringList{board.path(QStringLiteral("/VnQo/bin/vnq_backlight")) + " on"});
        setBacklightLit(true);
        deliver(QString());
        EXPECT_TRUE(clicked.isEmpty());
    }
}

TEST_F(MyLabelReply, WakingTouchDropsTheRestOfItsReply)
{
    setBacklightLit(false);
    deliver("<gui><id>1Back</id><event>0</event><id>1_BG_102</id><event>0</event></gui>");
    EXPECT_TRUE(clicked.isEmpty());
    // The next reply is handled normally.
    setBacklightLit(true);
    deliver(FakeDisplayServer::touchReply("1_BG_102", 0));
    EXPECT_EQ(ids(clicked), QStringList{"_BG_102"});
}

TEST_F(MyLabelReply, PeerTouchesTheIdOfTheCurrentPage)
{
    // A message window opened with Clear keeps the page's generation.
    label->setClear();
    LabelItemList button;
    button.id = QStringLiteral("Pop_Yes");
    button.w = 80;
    button.h = 34;
    label->setItem(&button);
    label->setFadeIn();
    ASSERT_TRUE(readySpy.wait(5000));
    for (const char* id : {"Pop_Yes", "Back"}) {
        resetRecords();
        ASSERT_TRUE(peer.touch(QString::fromLatin1(id)));
        ASSERT_TRUE(clicked.wait(5000));
        EXPECT_EQ(ids(clicked), QStringList{QString::fromLatin1(id)});
    }
    // A new page makes the old ids stale.
    label->setNew();
    flash();
    ASSERT_TRUE(readySpy.wait(5000));
    resetRecords();
    deliver(FakeDisplayServer::touchReply("1Back", 0));
    EXPECT_TRUE(clicked.isEmpty());
    EXPECT_FALSE(log.matching(QStringLiteral("タッチイベント遅れ")).isEmpty());
}

}  // namespace
