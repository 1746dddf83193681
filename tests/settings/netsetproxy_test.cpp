// The proxy settings screen and the proxy authentication screen: what they show, storing
// with read-back, the error window after a failed store, the keyboard on the id and the
// password, and the ways out.

#include "dbproxy.h"
#include "dbsetting.h"
#include "form4netsetproxy.h"
#include "form4netsetproxyauth.h"
#include "heartbeat.h"
#include "keyboardtyping.h"
#include "settingsfixture.h"

#include <QPointer>

#include <functional>

namespace {

const QString authProfile = QStringLiteral("プロキシ認証");

class NetSetProxy : public SettingsFixture {
protected:
    void SetUp() override
    {
        SettingsFixture::SetUp();
        useEdition(ZSystem::Cloud);
    }

    static void set(const QString& name, int value) { ASSERT_TRUE(DBSetting::setSetting(name, value)) << qPrintable(name); }
    static int setting(const QString& name)
    {
        int value = -99;
        DBSetting::getSetting(name, &value);
        return value;
    }
    static void setProxy(int onOff, const QList<int>& octets, int port)
    {
        set(QStringLiteral("プロキシ設定"), onOff);
        for (int i = 0; i < 4; ++i)
            set(QStringLiteral("プロキシアドレス%1").arg(i), octets.at(i));
        set(QStringLiteral("プロキシポート番号"), port);
    }
    static void setAuth(const QString& id, const QString& password)
    {
        ASSERT_TRUE(DBProxy::setId(authProfile, id));
        ASSERT_TRUE(DBProxy::setPass(authProfile, password));
    }
    static QPair<QString, QString> storedAuth()
    {
        QString id;
        QString password;
        EXPECT_TRUE(DBProxy::getAuth(authProfile, &id, &password));
        return {id, password};
    }

    void typeText(const QString& text)
    {
        for (const QChar c : text)
            click(keyFor(c));
    }

    static QString valueText(const QString& text, int y) { return expect::text(text, 132, y, 20, 0, 0, 0, 0); }
    static QString onOffMark(const QString& image, int x)
    {
        return expect::image(QStringLiteral("../Parts/10プロキシ設定/") + image, x, 65);
    }

    // The updates end with the error window, which takes only its own button.
    static void expectErrorWindowLast(const QStringList& updates)
    {
        ASSERT_FALSE(updates.isEmpty());
        EXPECT_TRUE(updates.last().contains(expect::enc(QStringLiteral("保存できませんでした。"))));
        EXPECT_TRUE(updates.last().contains(QStringLiteral("Pop_Err")));
    }
};

// --- Proxy settings ---

TEST_F(NetSetProxy, ProxyScreenShowsTheChoiceAddressAndPort)
{
    for (const int onOff : {1, 0}) {
        setProxy(onOff, {192, 168, 0, 10}, 8080);
        const int before = mark();
        Form4NetSetProxy screen(&host, QStringLiteral("23"));
        expectScreen(onOff ? QStringLiteral("proxy_on") : QStringLiteral("proxy_off"), updatesSince(before));
    }
}

TEST_F(NetSetProxy, ProxyScreenOpenedByItsMenuNumberShowsTheSame)
{
    setProxy(1, {192, 168, 0, 10}, 8080);
    host.createPages = true;
    const int before = mark();
    host.moveToMenu(Form4NetSetProxy::Screen, nullptr);
    ASSERT_NE(host.currentPage(), nullptr);
    EXPECT_STREQ(host.currentPage()->metaObject()->className(), "Form4NetSetProxy");
    expectScreen(QStringLiteral("proxy_on"), updatesSince(before));
}

TEST_F(NetSetProxy, ProxyAddressAndPortTexts)
{
    const struct {
        QList<int> octets;
        int port;
        const char* address;
        const char* portText;
    } cases[] = {
        {{192, 168, 0, 10}, 8080, "192.168.0.10", "8080"},
        {{-1, -1, -1, -1}, -1, "---.---.---.---", "-1"},
        {{10, 0, -1, 1}, 3128, "---.---.---.---", "3128"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address);
        setProxy(0, c.octets, c.port);
        const int before = mark();
        Form4NetSetProxy screen(&host, QStringLiteral("23"));
        const QString drawn = updatesSince(before).join(QString());
        EXPECT_TRUE(drawn.contains(valueText(QString::fromLatin1(c.address), 106)));
        EXPECT_TRUE(drawn.contains(valueText(QString::fromLatin1(c.portText), 144)));
    }
}

TEST_F(NetSetProxy, OnOffChoicesAreStoredAtOnceAndShown)
{
    const struct {
        const char* setting;
        std::function<QObject*()> open;
        const char* on;
        const char* off;
        const char* onImage;
        const char* offImage;
    } screens[] = {
        {"プロキシ設定", [this] { return new Form4NetSetProxy(&host, QStringLiteral("23")); }, "Enable", "Disable",
         "有効.png", "無効.png"},
        {"プロキシ認証", [this] { return new Form4NetSetProxyAuth(&host, QStringLiteral("24")); }, "EnableSec",
         "DisableSec", "する.png", "しない.png"},
    };
    for (const auto& s : screens) {
        const QString setting = QString::fromUtf8(s.setting);
        SCOPED_TRACE(s.setting);
        set(setting, 0);
        QPointer<QObject> screen = s.open();
        // Again while on: stored again.
        const struct {
            const char* touch;
            int stored;
            const char* image;
            int x;
        } cases[] = {{s.on, 1, s.onImage, 135}, {s.on, 1, s.onImage, 135}, {s.off, 0, s.offImage, 240}};
        for (const auto& c : cases) {
            SCOPED_TRACE(c.touch);
            set(setting, 1 - c.stored);
            const int before = mark();
            click(QString::fromLatin1(c.touch));
            EXPECT_EQ(this->setting(setting), c.stored);
            const QStringList updates = updatesSince(before);
            ASSERT_FALSE(updates.isEmpty());
            EXPECT_TRUE(updates.last().contains(onOffMark(QString::fromUtf8(c.image), c.x)));
        }
        delete screen;
    }
    EXPECT_TRUE(sounds().isEmpty());
}

TEST_F(NetSetProxy, FailedProxyStoreKeepsTheErrorWindowUntilItsButton)
{
    setProxy(0, {-1, -1, -1, -1}, 8080);
    Form4NetSetProxy screen(&host, QStringLiteral("23"));
    removeSetting(QStringLiteral("プロキシ設定"));

    int before = mark();
    click(QStringLiteral("Enable"));
    EXPECT_EQ(sounds(), QStringList{QStringLiteral("ERROR.wav")});
    expectErrorWindowLast(updatesSince(before));

    before = mark();
    click(QStringLiteral("Enable"));
    click(QStringLiteral("Mode_PORT_INP"));
    EXPECT_TRUE(updatesSince(before).isEmpty());
    EXPECT_TRUE(host.calls().isEmpty());

    before = mark();
    click(QStringLiteral("Pop_Err"));
    const QStringList updates = updatesSince(before);
    ASSERT_EQ(updates.size(), 2);
    EXPECT_TRUE(updates.last().contains(onOffMark(QStringLiteral("無効.png"), 240)));
}

TEST_F(NetSetProxy, ProxyEditorsAndExitAreReachedThroughTheHost)
{
    const struct {
        const char* touch;
        const char* call;
    } cases[] = {
        {"Mode_ADDR_INP", "moveToShosai 20 90"},
        {"Mode_PORT_INP", "moveToShosai 20 91"},
        {"Exit", "moveToMenu 15"},
        {"Back", "moveToMenu 15"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.touch);
        host.clearCalls();
        QPointer<Form4NetSetProxy> screen = new Form4NetSetProxy(&host, QStringLiteral("23"));
        click(QString::fromLatin1(c.touch));
        EXPECT_EQ(host.calls(), QStringList{QString::fromLatin1(c.call)});
        EXPECT_TRUE(screen.isNull());
    }
}

TEST_F(NetSetProxy, BothScreensHoldTheWatchdogFlagForTheirWholeLife)
{
    const std::function<QObject*()> screens[] = {
        [this] { return new Form4NetSetProxy(&host, QStringLiteral("23")); },
        [this] { return new Form4NetSetProxyAuth(&host, QStringLiteral("24")); },
    };
    for (const auto& open : screens) {
        QPointer<QObject> screen = open();
        SCOPED_TRACE(screen->metaObject()->className());
        EXPECT_TRUE(selfcheckpass);
        click(QStringLiteral("EnableSec"));
        click(QStringLiteral("Enable"));
        EXPECT_TRUE(selfcheckpass);
        click(QStringLiteral("Exit"));
        EXPECT_TRUE(screen.isNull());
        EXPECT_FALSE(selfcheckpass);
    }
}

// --- Proxy authentication ---

TEST_F(NetSetProxy, AuthScreenAndItsIdKeyboard)
{
    set(authProfile, 1);
    setAuth(QStringLiteral("proxyuser"), QString());
    const int before = mark();
    Form4NetSetProxyAuth screen(&host, QStringLiteral("24"));
    click(QStringLiteral("Mode_ID_INP"));
    expectScreen(QStringLiteral("proxyauth_main_and_id"), updatesSince(before));
}

TEST_F(NetSetProxy, AuthValuesShownByLength)
{
    const QString letters = QStringLiteral("abcdefghijklmnopqrst");
    const struct {
        QString stored;
        QString shown;
    } cases[] = {
        {QString(), QStringLiteral("未入力")},
        {letters.left(15), letters.left(15)},
        {letters.left(16), letters.left(16) + QStringLiteral("..")},
        {letters, letters.left(16) + QStringLiteral("..")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored.toStdString());
        setAuth(c.stored, c.stored);
        const int before = mark();
        Form4NetSetProxyAuth screen(&host, QStringLiteral("24"));
        const QString drawn = updatesSince(before).join(QString());
        EXPECT_TRUE(drawn.contains(valueText(c.shown, 106)));
        EXPECT_TRUE(drawn.contains(valueText(c.shown, 144)));
    }
}

TEST_F(NetSetProxy, TypedIdIsStoredAndShownAsTyped)
{
    setAuth(QString(), QString());
    Form4NetSetProxyAuth screen(&host, QStringLiteral("24"));
    click(QStringLiteral("Mode_ID_INP"));
    typeText(QStringLiteral("ab'c"));
    const int before = mark();
    click(QStringLiteral("Full_Enter"));
    EXPECT_EQ(storedAuth().first, QStringLiteral("ab'c"));
    const QString drawn = updatesSince(before).join(QString());
    EXPECT_TRUE(drawn.contains(valueText(QStringLiteral("ab'c"), 106)));
    EXPECT_TRUE(sounds().isEmpty());
}

TEST_F(NetSetProxy, CancelAndBackCloseTheKeyboardWithoutStoring)
{
    setAuth(QStringLiteral("keep"), QString());
    QPointer<Form4NetSetProxyAuth> screen = new Form4NetSetProxyAuth(&host, QStringLiteral("24"));
    for (const char* close : {"Full_Cancel", "Back"}) {
        SCOPED_TRACE(close);
        click(QStringLiteral("Mode_ID_INP"));
        typeText(QStringLiteral("xy"));
        const int before = mark();
        click(QString::fromLatin1(close));
        EXPECT_EQ(storedAuth().first, QStringLiteral("keep"));
        const QString drawn = updatesSince(before).join(QString());
        EXPECT_TRUE(drawn.contains(valueText(QStringLiteral("keep"), 106)));
        EXPECT_FALSE(drawn.contains(QStringLiteral("<x>53</x><y>14</y>"))) << "a title is left";
        EXPECT_FALSE(drawn.contains(QStringLiteral("Full_")));
    }
    EXPECT_TRUE(host.calls().isEmpty());

    click(QStringLiteral("Back"));
    EXPECT_EQ(host.calls(), QStringList{QStringLiteral("moveToMenu 15")});
    EXPECT_TRUE(screen.isNull());
}

TEST_F(NetSetProxy, FailedAuthStoreKeepsTheErrorWindowUntilItsButton)
{
    setAuth(QStringLiteral("before"), QString());
    QPointer<Form4NetSetProxyAuth> screen = new Form4NetSetProxyAuth(&host, QStringLiteral("24"));
    removeRow(QStringLiteral("proxy"), authProfile);
    click(QStringLiteral("Mode_ID_INP"));
    typeText(QStringLiteral("new"));

    int before = mark();
    click(QStringLiteral("Full_Enter"));
    EXPECT_EQ(sounds(), QStringList{QStringLiteral("ERROR.wav")});
    expectErrorWindowLast(updatesSince(before));

    before = mark();
    click(QStringLiteral("Mode_PW_INP"));
    click(QStringLiteral("Exit"));
    EXPECT_TRUE(updatesSince(before).isEmpty());
    EXPECT_TRUE(host.calls().isEmpty());

    before = mark();
    click(QStringLiteral("Pop_Err"));
    const QString drawn = updatesSince(before).join(QString());
    EXPECT_TRUE(drawn.contains(valueText(QStringLiteral("before"), 106)));
    EXPECT_TRUE(drawn.contains(QStringLiteral("Mode_ID_INP")));
    delete screen;
}

TEST_F(NetSetProxy, TypedPasswordStaysOutOfTheLog)
{
    const QString password = QStringLiteral("s3cr8tpw");
    setAuth(QStringLiteral("user"), QString());
    Form4NetSetProxyAuth screen(&host, QStringLiteral("24"));
    touch(QStringLiteral("Mode_PW_INP"));
    for (const QChar c : password)
        touch(keyFor(c));
    touch(QStringLiteral("Full_Enter"));
    EXPECT_EQ(storedAuth().second, password);

    const QStringList lines = log.messages();
    EXPECT_FALSE(lines.join(QLatin1Char('\n')).contains(password));
    for (const QChar c : password)
        EXPECT_TRUE(log.matching(keyFor(c)).isEmpty()) << qPrintable(log.matching(keyFor(c)).join(QLatin1Char('\n')));
    EXPECT_FALSE(log.matching(QStringLiteral("Full_*")).isEmpty());
}

}  // namespace
