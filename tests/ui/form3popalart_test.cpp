#include "form3popalart.h"
#include "iccardmodule.h"
#include "pagehost.h"
#include "screenfixture.h"
#include "zsystem.h"

#include <QPointer>
#include <QTimer>

namespace {

using namespace expect;

const QString touchImage = QStringLiteral("../Parts/01時計画面/時計画面_タッチ時.png");
const QString errorImage = QStringLiteral("../Parts/01時計画面/時計画面_エラー時.png");
const QString lockFile = QStringLiteral("/tmp/webservice.lock");

// The host as far as the alert needs it: the way back releases the web-service lock unless
// kept and destroys the caller, as the clock screen does.
class AlertHost : public QObject, public PageHost {
public:
    void movePage(int, QObject*) override {}
    void moveToMenu(int, QObject*) override {}
    void moveToShosai(int, QObject*, QString) override {}
    void returnPage(QObject* caller, bool keep) override
    {
        if (!keep)
            ZSystem::unlockWebSerive();
        delete caller;
    }
    void changeSettings() override {}
};

// The alert over a host, with the web-service lock held so that the
// way back (keeping the state or not) shows in the lock file.
class Form3PopAlartTest : public ScreenFixture {
protected:
    void SetUp() override
    {
        ScreenFixture::SetUp();
        ASSERT_TRUE(board.writeFile(lockFile, "2024/01/01 09:00:00"));
        clock = new AlertHost();
        runner.clear();
    }

    void TearDown() override { delete clock; }

    QPointer<Form3PopAlart> openNameAlert(const QString& name)
    {
        const int before = peer.updates().size();
        QPointer<Form3PopAlart> alert =
            new Form3PopAlart(clock, Form3PopAlart::NameAlert, name, QString(), QString());
        EXPECT_TRUE(peer.waitForUpdates(before + 1));
        return alert;
    }

    int generation() const { return peer.wireId(QStringLiteral("_SCREENSHOT_")).left(1).toInt(); }

    QString alertUpdate(const QString& items) const
    {
        return "<items><action>New</action><action>Clear</action>" + items + screenShot(generation())
            + "<action>FadeIn</action></items>";
    }

    static QString fadeOut(int generation)
    {
        return "<items>" + screenShot(generation) + "<action>FadeOut</action></items>";
    }

    // What the alert's timer does when it runs out, without waiting for it.
    static void fireTimer(const QPointer<Form3PopAlart>& alert)
    {
        ASSERT_TRUE(alert);
        QMetaObject::invokeMethod(const_cast<QTimer*>(alert->closeTimer()), "timeout");
    }

    AlertHost* clock = nullptr;
};

TEST_F(Form3PopAlartTest, NameOfWidthAbove16GetsTheSmallFont)
{
    const struct {
        const char* name;
        int y;
        int px;
    } cases[] = {
        {"山田太郎山田太郎", 105, 44},    // width 16
        {"山田太郎山田太郎山", 115, 24},  // width 18
        {"ABCDEFGHIJKLMNOP", 105, 44},    // width 16
        {"ABCDEFGHIJKLMNOPQ", 115, 24},   // width 17
        {"", 105, 44},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString name = QString::fromUtf8(c.name);
        QPointer<Form3PopAlart> alert = openNameAlert(name);
        const QString label = name.isEmpty() ? QString() : labelElement(name, 248, c.y, c.px, 1, 255, 255, 255);
        EXPECT_EQ(peer.lastUpdate(),
                  alertUpdate("<item><backbround><pos><x>0</x><y>0</y></pos><filename>" + enc(touchImage)
                              + "</filename></backbround>" + label + "</item>"));
        delete alert;
    }
    EXPECT_EQ(runner.count(QStringLiteral("sync")), 0) << "the name alert flushes nothing";
}

TEST_F(Form3PopAlartTest, MessageAlertDrawsTitleAndLines)
{
    const QList<Form3PopAlart::AlertMessage> lines = {{0, QString()}, {0, QStringLiteral("カードが登録されていません")}};
    QPointer<Form3PopAlart> alert =
        new Form3PopAlart(clock, Form3PopAlart::MessageAlert, QString(), QStringLiteral("エラー"), lines);
    ASSERT_TRUE(peer.waitForUpdates(1));
    EXPECT_EQ(peer.lastUpdate(),
              alertUpdate(image(errorImage).chopped(7) + labelElement("エラー", 240, 60, 18, 1, 255, 255, 255)
                          + "</item><item></item>"
                          + text(lines.at(1).text, 240, 130, 22, 1, 0, 0, 0)));
    EXPECT_EQ(runner.commands(), QStringList{"sync"});
    delete alert;

    // The one-text form draws a message alert with its text as the only line.
    alert = new Form3PopAlart(clock, Form3PopAlart::MessageAlert, QString(), QStringLiteral("確認"),
                              QStringLiteral("一行"));
    ASSERT_TRUE(peer.waitForUpdates(2));
    EXPECT_EQ(peer.lastUpdate(),
              alertUpdate(image(errorImage).chopped(7) + labelElement("確認", 240, 60, 18, 1, 255, 255, 255)
                          + "</item>" + text("一行", 240, 105, 22, 1, 0, 0, 0)));
    EXPECT_EQ(runner.commands(), QStringList{"sync"});
    delete alert;
}

TEST_F(Form3PopAlartTest, WithoutInputFadesOutAfter2000msAndKeepsTheClockState)
{
    QPointer<Form3PopAlart> alert = openNameAlert(QStringLiteral("山田"));
    const int page = generation();
    ASSERT_TRUE(alert->closeTimer()->isActive());
    EXPECT_EQ(alert->closeTimer()->interval(), 2000);
    EXPECT_FALSE(log.matching(QStringLiteral("タイムアウト時間(msec): 2000")).isEmpty());

    fireTimer(alert);
    EXPECT_TRUE(alert.isNull()) << "returnPage destroys the alert";
    ASSERT_TRUE(peer.waitForUpdates(2));
    EXPECT_EQ(peer.lastUpdate(), fadeOut(page));
    EXPECT_TRUE(board.exists(lockFile)) << "returnPage(alert, true) keeps the lock";
    EXPECT_FALSE(log.matching(QStringLiteral("タイムアウト")).isEmpty());
}

TEST_F(Form3PopAlartTest, RegisteredCardShortensTheTimeUnregisteredClosesAtOnce)
{
    QPointer<Form3PopAlart> alert = openNameAlert(QStringLiteral("山田"));
    emit ICCardModule::getInstance()->cardTouch(true, QStringLiteral("0123456789ABCDEF"), 0, 7, QStringLiteral("鈴木"));
    ASSERT_FALSE(alert.isNull());
    EXPECT_TRUE(alert->closeTimer()->isActive());
    EXPECT_EQ(alert->closeTimer()->interval(), 100);
    fireTimer(alert);
    EXPECT_TRUE(alert.isNull());
    EXPECT_TRUE(board.exists(lockFile));

    alert = openNameAlert(QStringLiteral("山田"));
    const int updates = peer.updates().size();
    emit ICCardModule::getInstance()->cardTouch(false, QStringLiteral("0123456789ABCDEF"), 0, 0, QString());
    EXPECT_TRUE(alert.isNull());
    ASSERT_TRUE(peer.waitForUpdates(updates + 1));
    EXPECT_EQ(peer.lastUpdate(), fadeOut(generation()));
    EXPECT_TRUE(board.exists(lockFile));
}

TEST_F(Form3PopAlartTest, ATouchFadesOutAndExitGoesBackReleasingTheLock)
{
    QPointer<Form3PopAlart> alert = openNameAlert(QStringLiteral("山田"));
    const QString page = QString::number(generation());

    ASSERT_TRUE(peer.sendRaw(vnq::test::FakeDisplayServer::touchReply(page + "Back", 0)));
    ASSERT_TRUE(peer.waitForUpdates(2));
    EXPECT_EQ(peer.lastUpdate(), fadeOut(page.toInt()));
    EXPECT_FALSE(alert.isNull()) << "any other touch only fades out";

    ASSERT_TRUE(peer.sendRaw(vnq::test::FakeDisplayServer::touchReply(page + "Exit", 0)));
    ASSERT_TRUE(peer.waitForUpdates(3));
    EXPECT_EQ(peer.lastUpdate(), fadeOut(page.toInt()));
    EXPECT_TRUE(alert.isNull());
    EXPECT_FALSE(board.exists(lockFile)) << "returnPage(alert, false) releases the lock";
}

TEST_F(Form3PopAlartTest, DrawnAgainItStillTakesEachTouchOnce)
{
    QPointer<Form3PopAlart> alert = openNameAlert(QStringLiteral("山田"));
    alert->set(QStringLiteral("鈴木"), QString(), {});
    ASSERT_TRUE(peer.waitForUpdates(2));
    const int page = generation();
    const int before = peer.updates().size();

    ASSERT_TRUE(peer.sendRaw(vnq::test::FakeDisplayServer::touchReply(QString::number(page) + "Back", 0)));
    ASSERT_TRUE(peer.waitForUpdates(before + 1));
    const QString marker = flash();
    EXPECT_EQ(peer.updates().mid(before), (QStringList{fadeOut(page), marker})) << "one fade-out per touch";
    EXPECT_FALSE(alert.isNull());
}

}  // namespace
