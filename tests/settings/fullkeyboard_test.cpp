// The full keyboard on a bare host: its three pages, editing at the cursor, the input line,
// the characters of the symbol keys and what a key sends.

#include "form4settei0shosaibase2.h"
#include "fullkeyboard.h"
#include "keyboardtyping.h"
#include "settingsfixture.h"

#include <memory>

namespace {

// A screen that shows nothing but the keyboard.
class KeyboardScreen : public Form4Settei0ShosaiBase2 {
public:
    explicit KeyboardScreen(QObject* parent)
        : Form4Settei0ShosaiBase2(parent)
        , keys(this, {1, 2, 4}, [this] { ++saves; }, [this] { ++cancels; })
    {
        connect(label, &MyLabel::clicked, this, &KeyboardScreen::clickMyLabel);
    }

    QString getTitle(QString) override { return QString(); }
    void setBackground() override
    {
        keys.setBgShownPage();
        keys.setBgKeypadTitle(QStringLiteral("SSID"));
    }
    void setForeground() override { keys.setFgValue(0, 0, keys.buffer()); }

    void clickMyLabel(MyLabel*, QString id) override
    {
        if (!keys.clickPadKey(id) && id.startsWith(QStringLiteral("Full")))
            keys.clickKey(id);
    }

    FullKeyboard keys;
    int saves = 0;
    int cancels = 0;
};

class FullKeyboardScreen : public SettingsFixture {
protected:
    void SetUp() override
    {
        SettingsFixture::SetUp();
        screenOwner = std::make_unique<KeyboardScreen>(&host);
    }

    void TearDown() override
    {
        screenOwner.reset();
        SettingsFixture::TearDown();
    }

    // Opens the keyboard on text and moves the cursor to the index given.
    void openAt(const QString& text, int cursor, int maxLength = 32)
    {
        screen().keys.open(text, maxLength, false);
        for (int i = text.size(); i > cursor; --i)
            click(QStringLiteral("Full_Left"));
    }

    // The input line as the foreground update sends it.
    static QString inputLine(const QString& first, const QString& second = QString())
    {
        if (second.isEmpty())
            return QStringLiteral("<item>") + expect::labelElement(first, 25, 66, 24, 0, 255, 255, 255)
                + QStringLiteral("</item>");
        QString sub = expect::labelElement(second, 25, 79, 14, 0, 255, 255, 255);
        sub.replace(QStringLiteral("label>"), QStringLiteral("sublabel>"));
        return QStringLiteral("<item>") + expect::labelElement(first, 25, 63, 14, 0, 255, 255, 255) + sub
            + QStringLiteral("</item>");
    }

    std::unique_ptr<KeyboardScreen> screenOwner;
    KeyboardScreen& screen() { return *screenOwner; }
};

TEST_F(FullKeyboardScreen, DrawsEachPageWithItsKeysCommonKeysLast)
{
    const int before = mark();
    screen().keys.open(QStringLiteral("abcde"), 32, false);
    click(QStringLiteral("Mode_Pad_Up"));
    click(QStringLiteral("Mode_Pad_Sym"));
    expectScreen(QStringLiteral("keyboard_pages"), updatesSince(before));
}

struct EditCase {
    const char* name;
    QString buffer;
    int cursor;
    int maxLength;
    QString key;
    QString expectedBuffer;
    int expectedCursor;
    QString firstLine;
    QString secondLine;
};

TEST_F(FullKeyboardScreen, EditsAtTheCursorAndRedrawsTheInputLine)
{
    const QString x32(32, QLatin1Char('x'));
    const QString x64(64, QLatin1Char('x'));
    const QString a26(26, QLatin1Char('a'));
    const EditCase cases[] = {
        {"insert in the middle", "abcd", 2, 32, "Full_Z", "abZcd", 3, "abZ|cd", ""},
        {"digit at the end", "ab", 2, 32, "Full_7", "ab7", 3, "ab7|", ""},
        {"at the 32 limit", x32, 32, 32, "Full_y", x32, 32, x32.left(27), x32.mid(27) + "|"},
        {"at the 64 limit", x64, 64, 64, "Full_y", x64, 64, x64.left(27), x64.mid(27) + "|"},
        {"delete at the limit", x32, 32, 32, "Full_Del", x32.chopped(1), 31, x32.left(27), x32.mid(28) + "|"},
        {"delete at 0", "abc", 0, 32, "Full_Del", "bc", 0, "|bc", ""},
        {"delete at the end", "abc", 3, 32, "Full_Del", "ab", 2, "ab|", ""},
        {"delete in the middle", "abc", 1, 32, "Full_Del", "ac", 1, "a|c", ""},
        {"delete in an empty buffer", "", 0, 32, "Full_Del", "", 0, "|", ""},
        {"left at 0", "abc", 0, 32, "Full_Left", "abc", 0, "|abc", ""},
        {"right at the end", "abc", 3, 32, "Full_Right", "abc", 3, "abc|", ""},
        {"left", "abc", 3, 32, "Full_Left", "abc", 2, "ab|c", ""},
        {"right", "abc", 1, 32, "Full_Right", "abc", 2, "ab|c", ""},
        {"26 characters and the mark on one line", a26.chopped(1), 25, 32, "Full_a", a26, 26,
         a26 + "|", ""},
        {"27 characters on two lines", a26, 26, 32, "Full_b", a26 + "b", 27,
         a26 + "b", "|"},
        {"the mark moved to the first line", a26 + "b", 27, 32, "Full_Left", a26 + "b", 26,
         a26 + "|", "b"},
    };
    for (const EditCase& c : cases) {
        SCOPED_TRACE(c.name);
        openAt(c.buffer, c.cursor, c.maxLength);
        const int before = mark();
        click(c.key);
        EXPECT_EQ(screen().keys.buffer(), c.expectedBuffer);
        EXPECT_EQ(screen().keys.cursor(), c.expectedCursor);

        const QStringList updates = updatesSince(before);
        ASSERT_EQ(updates.size(), 1);
        EXPECT_TRUE(updates.first().startsWith(QStringLiteral("<items><action>Clear</action><action>Past</action>")));
        EXPECT_FALSE(updates.first().contains(QStringLiteral("Full_")));
        EXPECT_TRUE(updates.first().contains(inputLine(c.firstLine, c.secondLine))) << updates.first().toStdString();
    }
}

TEST_F(FullKeyboardScreen, SymbolKeysTypeTheirCharacters)
{
    for (const SymbolKey& key : symbolKeys) {
        SCOPED_TRACE(key.id);
        screen().keys.open(QString(), 32, false);
        click(QString::fromLatin1(key.id));
        EXPECT_EQ(screen().keys.buffer(), QString(QLatin1Char(key.character)));
    }
}

TEST_F(FullKeyboardScreen, APageChangeKeepsBufferAndCursor)
{
    openAt(QStringLiteral("abcd"), 2);
    for (const char* pad : {"Mode_Pad_Up", "Mode_Pad_Sym", "Mode_Pad_Low"}) {
        SCOPED_TRACE(pad);
        const int before = mark();
        click(QString::fromLatin1(pad));
        EXPECT_EQ(screen().keys.buffer(), QStringLiteral("abcd"));
        EXPECT_EQ(screen().keys.cursor(), 2);
        const QStringList updates = updatesSince(before);
        ASSERT_EQ(updates.size(), 2);
        EXPECT_TRUE(updates.first().startsWith(QStringLiteral("<items><action>New</action>")));
        EXPECT_TRUE(updates.last().contains(inputLine(QStringLiteral("ab|cd"))));
    }
}

TEST_F(FullKeyboardScreen, EnterAndCancelGoToTheHostAndHiddenKeysDoNothing)
{
    screen().keys.open(QStringLiteral("ab"), 32, false);
    click(QStringLiteral("Full_Enter"));
    click(QStringLiteral("Full_Cancel"));
    EXPECT_EQ(screen().saves, 1);
    EXPECT_EQ(screen().cancels, 1);

    screen().keys.setPage(0);
    click(QStringLiteral("Full_c"));
    click(QStringLiteral("Full_Enter"));
    EXPECT_EQ(screen().keys.buffer(), QStringLiteral("ab"));
    EXPECT_EQ(screen().saves, 1);
}

TEST_F(FullKeyboardScreen, ASecretIsKeptOutOfTouchLogsWhileShown)
{
    screen().keys.open(QStringLiteral("pw"), 32, true);
    EXPECT_TRUE(label->secretInput());
    click(QStringLiteral("Mode_Pad_Sym"));
    EXPECT_TRUE(label->secretInput());
    screen().keys.setPage(0);
    EXPECT_FALSE(label->secretInput());

    screen().keys.open(QStringLiteral("ssid"), 32, false);
    EXPECT_FALSE(label->secretInput());
    {
        KeyboardScreen other(&host);
        other.keys.open(QStringLiteral("key"), 64, true);
        EXPECT_TRUE(label->secretInput());
    }
    EXPECT_FALSE(label->secretInput());
}

}  // namespace
