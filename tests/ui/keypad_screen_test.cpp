// The keypad on the screen: its items for every layout and edition, the keys it takes and
// the keys it leaves to its owner, against the fake display server.

#include "keypad.h"
#include "screenfixture.h"
#include "soundmodule.h"
#include "zsystem.h"

#include <QSignalSpy>

#include <memory>

namespace {

using vnq::test::FakeDisplayServer;

class KeypadScreen : public ScreenFixture {
protected:
    void SetUp() override
    {
        ScreenFixture::SetUp();
        SoundModule::touchVolume = 1;
    }

    void TearDown() override { ZSystem::setMode(ZSystem::Basic); }

    // The whole screen with the keypad on it, drawn as an owner draws it.
    QString drawScreen(Keypad& keypad)
    {
        label->setNew();
        ++generation;
        keypad.setBackground();
        keypad.setForeground();
        return flash();
    }

    QString wire(const QString& id) const { return QString::number(generation % 10) + id; }

    QString closing() const
    {
        return expect::screenShot(generation % 10) + QStringLiteral("<action>Flash</action></items>");
    }

    // The value field's item at the keypad's origin.
    static QString valueItem(const QString& text, int ox, int oy, bool numeric)
    {
        if (text.isEmpty())
            return QStringLiteral("<item></item>");
        return expect::text(text, ox + 240, oy + (numeric ? 62 : 64), numeric ? 24 : 32, 1, 255, 255, 255);
    }

    // What the keypad sends after taking a key: the value field over the saved screen.
    QString valueUpdate(const QString& text, bool numeric, int ox = 0, int oy = 0) const
    {
        return QStringLiteral("<items><action>Past</action>") + valueItem(text, ox, oy, numeric) + closing();
    }

    // Touches the items, then sends a bare update once every touch has been handled, and
    // returns what the display server received in between.
    QStringList touch(const QStringList& ids)
    {
        const int before = peer.updates().size();
        const int clicks = clicked.count();
        for (const QString& id : ids)
            EXPECT_TRUE(peer.touch(id)) << id.toStdString();
        EXPECT_TRUE(FakeDisplayServer::waitFor([&] { return clicked.count() >= clicks + ids.size(); }));
        const QString marker = QStringLiteral("<items>") + closing();
        label->setFlash();
        EXPECT_TRUE(FakeDisplayServer::waitFor(
            [&] { return peer.updates().size() > before && peer.lastUpdate() == marker; }));
        QStringList between = peer.updates().mid(before);
        between.removeLast();
        return between;
    }

    int soundCount(const QString& file) const
    {
        return runner.count(QStringLiteral("nice -n -20 aplay ") + board.path(file)
                            + QStringLiteral(" > /dev/null 2>&1 &"));
    }

    int generation = 0;
    QObject owner;
    QSignalSpy clicked{MyLabel::getInstance(), &MyLabel::clicked};
};

TEST_F(KeypadScreen, VolumePadIsDrawnAsPictureTitleKeysAndValue)
{
    Keypad keypad(&owner, 0, 0, QStringLiteral("音量"), {2}, true, QStringLiteral("タッチ音量"));
    EXPECT_EQ(drawScreen(keypad),
              QStringLiteral("<items><action>New</action>")
                  + expect::image(QStringLiteral("../Parts/06_テンキー画面/テンキー画面02.png"))
                  + expect::text(QStringLiteral("タッチ音量"), 53, 14, 22, 0, 255, 255, 255)
                  + expect::touchArea(QStringLiteral("1_BG_Sel4_0"), 120, 112, 93, 68)
                  + expect::touchArea(QStringLiteral("1_BG_Sel4_1"), 218, 112, 93, 68)
                  + expect::touchArea(QStringLiteral("1_BG_Sel4_2"), 120, 186, 93, 68)
                  + expect::touchArea(QStringLiteral("1_BG_Sel4_3"), 218, 186, 93, 68)
                  + expect::touchArea(QStringLiteral("1Cancel"), 316, 112, 43, 68)
                  + expect::touchArea(QStringLiteral("1_BG_Enter"), 316, 186, 43, 68)
                  + expect::text(QStringLiteral("中"), 240, 64, 32, 1, 255, 255, 255)
                  + expect::screenShot(1) + QStringLiteral("<action>Flash</action></items>"));
}

TEST_F(KeypadScreen, EveryLayoutAndEditionIsDrawnAtTheKeypadsOrigin)
{
    const struct {
        const char* keyType;
        int edition;
        QList<int> values;
        short x, y;
        bool image;
        const char* title;
        const char* shown;
    } cases[] = {
        {"時刻", ZSystem::Basic, {570}, 0, 0, true, "リブート時刻", "09:30"},
        {"時間帯なし", ZSystem::Merid, {-1, -1}, 10, 5, true, "", "なし"},
        {"年月日設定", ZSystem::Cloud, {2024, 1, 5}, 0, 0, false, "日付", "2024.1.5"},
        {"アドレス", ZSystem::Basic, {192, 168, 1, 1}, 0, 0, true, "IPアドレス", "192.168.1.1"},
        {"アドレスPING", ZSystem::Cloud, {-1, -1, -1, -1}, 0, 0, true, "ゲートウェイ", "---.---.---.---"},
        {"パスワード******", ZSystem::Basic, {-1}, 0, 0, true, "パスワード入力", ""},
        {"音量", ZSystem::Merid, {0}, -4, 8, true, "", "なし"},
        {"動作モード", ZSystem::Basic, {3}, 0, 0, true, "動作モード", "電気錠"},
        {"動作モード", ZSystem::Cloud, {1}, 0, 0, true, "動作モード", "標準"},
        {"動作モード", ZSystem::Merid, {2}, 0, 0, true, "動作モード", "日替退"},
        {"1224", ZSystem::Basic, {1}, 0, 0, true, "時計表示", "24H"},
        {"音声モード", ZSystem::Basic, {0}, 0, 0, true, "", "効果音"},
        {"するしない", ZSystem::Cloud, {1}, 0, 0, true, "", "する"},
        {"使用するしない", ZSystem::Basic, {0}, 0, 0, true, "", "使用しない"},
        {"自動手動", ZSystem::Basic, {1}, 0, 0, true, "", "自動(DHCP)"},
        {"スタート", ZSystem::Basic, {0}, 0, 0, true, "", "0"},
    };
    for (const auto& c : cases) {
        const QString keyType = QString::fromUtf8(c.keyType);
        SCOPED_TRACE(QStringLiteral("%1 edition %2").arg(keyType).arg(c.edition).toStdString());
        ZSystem::setMode(ZSystem::_zmode(c.edition));
        Keypad keypad(&owner, c.x, c.y, keyType, c.values, c.image, QString::fromUtf8(c.title));
        const QString update = drawScreen(keypad);

        const KeypadLayout layout = keypadlayout::forKeyType(keyType, c.edition);
        QString expected = QStringLiteral("<items><action>New</action>");
        if (c.image)
            expected += expect::image(keypadlayout::imagePath(keyType, c.edition), c.x, c.y);
        if (*c.title)
            expected += expect::text(QString::fromUtf8(c.title), 53, 14, 22, 0, 255, 255, 255);
        for (const KeypadShape& k : keypadlayout::shapes(layout))
            expected += expect::touchArea(wire(k.id), c.x + k.x, c.y + k.y, k.w, k.h);
        expected += valueItem(QString::fromUtf8(c.shown), c.x, c.y, keypadlayout::isNumeric(layout));
        EXPECT_EQ(update, expected + closing());
    }
}

TEST_F(KeypadScreen, InactiveKeypadDrawsNoKeysAndIgnoresTouches)
{
    Keypad keypad(&owner, 0, 0, QStringLiteral("時刻"), {570}, true, QStringLiteral("リブート時刻"));
    drawScreen(keypad);  // the keys are on the display server's touch table
    keypad.deactivate();
    EXPECT_FALSE(keypad.active());

    EXPECT_TRUE(touch({QStringLiteral("Sel3x4_1")}).isEmpty());
    EXPECT_EQ(keypad.text, QStringLiteral("0930"));

    const QString withoutKeys = drawScreen(keypad);
    EXPECT_EQ(withoutKeys,
              QStringLiteral("<items><action>New</action>")
                  + expect::image(QStringLiteral("../Parts/06_テンキー画面/テンキー画面01.png"))
                  + expect::text(QStringLiteral("リブート時刻"), 53, 14, 22, 0, 255, 255, 255)
                  + valueItem(QStringLiteral("09:30"), 0, 0, true) + closing());

    keypad.activate();
    drawScreen(keypad);
    EXPECT_EQ(touch({QStringLiteral("Sel3x4_1")}), QStringList{valueUpdate(QStringLiteral("1"), true)});
}

TEST_F(KeypadScreen, DigitKeysEditTheValueAndRefusedDigitsSoundTheError)
{
    Keypad keypad(&owner, 0, 0, QStringLiteral("時刻"), {570}, true, QString());
    drawScreen(keypad);
    const QStringList updates = touch({QStringLiteral("Sel3x4_1"), QStringLiteral("Sel3x4_2"),
                                       QStringLiteral("Sel3x4_6"), QStringLiteral("Sel3x4_7")});
    EXPECT_EQ(updates, (QStringList{valueUpdate(QStringLiteral("1"), true),
                                    valueUpdate(QStringLiteral("12:"), true),
                                    valueUpdate(QStringLiteral("12:6"), true),
                                    valueUpdate(QStringLiteral("12:6"), true)}));
    EXPECT_EQ(keypad.getValues(), QList<int>{726});
    // The client clicks every "Sel" key at the touch volume; the keypad refused minute 67.
    EXPECT_EQ(soundCount(QStringLiteral("/VnQo/app/Sound/1/BUTTON.wav")), 4);
    EXPECT_EQ(soundCount(QStringLiteral("/VnQo/app/Sound/1/ERROR.wav")), 1);

    EXPECT_EQ(touch({QStringLiteral("Sel3x4_C"), QStringLiteral("Sel3x4_C"), QStringLiteral("Sel3x4_F")}),
              (QStringList{valueUpdate(QStringLiteral("12:"), true), valueUpdate(QStringLiteral("1"), true),
                           valueUpdate(QStringLiteral("01:"), true)}));
}

TEST_F(KeypadScreen, VolumeKeyPlaysTheButtonSoundAtItsOwnLevel)
{
    Keypad keypad(&owner, 0, 0, QStringLiteral("音量"), {1}, true, QString());
    drawScreen(keypad);

    EXPECT_EQ(touch({QStringLiteral("_BG_Sel4_2")}), QStringList{valueUpdate(QStringLiteral("中"), false)});
    EXPECT_EQ(keypad.getValues(), QList<int>{2});
    EXPECT_EQ(runner.commands(),
              QStringList{QStringLiteral("nice -n -20 aplay ")
                          + board.path(QStringLiteral("/VnQo/app/Sound/2/BUTTON.wav"))
                          + QStringLiteral(" > /dev/null 2>&1 &")});

    runner.clear();
    EXPECT_EQ(touch({QStringLiteral("_BG_Sel4_0")}), QStringList{valueUpdate(QStringLiteral("なし"), false)});
    EXPECT_EQ(keypad.getValues(), QList<int>{0});
    EXPECT_TRUE(runner.commands().isEmpty());  // level 0 is silent

    EXPECT_EQ(touch({QStringLiteral("_BG_Sel4_3")}), QStringList{valueUpdate(QStringLiteral("大"), false)});
    EXPECT_EQ(soundCount(QStringLiteral("/VnQo/app/Sound/3/BUTTON.wav")), 1);
}

TEST_F(KeypadScreen, CommandKeysAreLeftToTheOwner)
{
    ZSystem::setMode(ZSystem::Cloud);
    Keypad keypad(&owner, 0, 0, QStringLiteral("アドレスPING"), {192, 168, 1, 1}, true, QString());
    Keypad start(&owner, 0, 0, QStringLiteral("スタート"), {0}, false, QString());
    label->setNew();
    ++generation;
    keypad.setBackground();
    start.setBackground();
    flash();

    const QStringList commands{QStringLiteral("Ping"), QStringLiteral("Cancel"), QStringLiteral("Delete"),
                               QStringLiteral("_BG_Enter"), QStringLiteral("Start")};
    EXPECT_TRUE(touch(commands).isEmpty());
    QStringList received;
    for (const QList<QVariant>& args : clicked)
        received << args.at(1).toString();
    EXPECT_EQ(received, commands);
    EXPECT_EQ(keypad.text, QStringLiteral("192168001001"));
    EXPECT_FALSE(keypad.editing);
}

TEST_F(KeypadScreen, MessageInTheValueFieldShowsOnce)
{
    Keypad keypad(&owner, 0, 0, QStringLiteral("パスワード******"), {-1}, true, QStringLiteral("パスワード入力"));
    drawScreen(keypad);
    keypad.errorString = QStringLiteral("入力不足");
    keypad.text = QStringLiteral("-2");
    keypad.updateScreen();
    EXPECT_TRUE(peer.waitForUpdates(2));
    EXPECT_EQ(peer.lastUpdate(), valueUpdate(QStringLiteral("入力不足"), true));
    keypad.updateScreen();
    EXPECT_TRUE(peer.waitForUpdates(3));
    EXPECT_EQ(peer.lastUpdate(), valueUpdate(QStringLiteral("エラー"), true));

    keypad.text = keypad.initialText;
    EXPECT_EQ(touch({QStringLiteral("Sel3x4_4"), QStringLiteral("Sel3x4_2")}),
              (QStringList{valueUpdate(QStringLiteral("*"), true), valueUpdate(QStringLiteral("**"), true)}));
}

TEST_F(KeypadScreen, EmptyValueListIsTakenAsUnset)
{
    Keypad keypad(&owner, 0, 0, QStringLiteral("時刻"), {}, true, QString());
    EXPECT_EQ(keypad.getValues(), QList<int>{-1});
    drawScreen(keypad);
    EXPECT_TRUE(peer.lastUpdate().contains(valueItem(QStringLiteral("--:--"), 0, 0, true)));
    EXPECT_EQ(touch({QStringLiteral("Sel3x4_8")}), QStringList{valueUpdate(QStringLiteral("8"), true)});
}

TEST_F(KeypadScreen, PageKeysStartANewScreen)
{
    Keypad keypad(&owner, 0, 0, QStringLiteral("秒"), {30}, true, QString());
    drawScreen(keypad);
    const QString down = QStringLiteral("Sel2x5_Down");
    ASSERT_TRUE(peer.sendRaw(FakeDisplayServer::touchReply(wire(down), 0)));
    ASSERT_TRUE(FakeDisplayServer::waitFor([&] { return clicked.count() == 1; }));
    ++generation;
    ASSERT_TRUE(peer.waitForUpdates(2));
    EXPECT_EQ(peer.lastUpdate(), QStringLiteral("<items><action>New</action><action>Past</action>")
                                     + valueItem(QStringLiteral("30 秒"), 0, 0, true) + closing());
}

TEST_F(KeypadScreen, DestroyedKeypadTakesNoMoreTouches)
{
    auto keypad = std::make_unique<Keypad>(&owner, 0, 0, QStringLiteral("時刻"), QList<int>{570}, true,
                                           QString());
    drawScreen(*keypad);
    keypad.reset();
    EXPECT_TRUE(touch({QStringLiteral("Sel3x4_1")}).isEmpty());
}

}  // namespace
