// The paged menu base: row drawing, value texts, touches and page moves, on a small menu.

#include "db.h"
#include "dbsetting.h"
#include "form4settei0menubase.h"
#include "settingsfixture.h"

#include <QPointer>

namespace {

using MenuItem = Form4Settei0MenuBase::MenuItem;

// Five rows: a plain one, one without title, a disabled one and two whose titles and
// values sit at the font-size limits.
class TestMenu : public Form4Settei0MenuBase {
public:
    explicit TestMenu(QObject* parent)
        : Form4Settei0MenuBase(parent, 10)
    {
        title = QStringLiteral("テストメニュー 2/3");
        bgImagePath = QStringLiteral("../Parts/03設定画面背景/テスト.png");
        prevPageId = 9;
        nextPageId = 11;
        shosaiPageId = 14;
        createItems();
        connect(label, &MyLabel::clicked, this, &TestMenu::clickMyLabel);
        updateScreenNew();
    }
    ~TestMenu() override { disconnect(label, nullptr, this, nullptr); }

    QString getTitle(QString id) override
    {
        static const QMap<QString, QString> names{
            {QStringLiteral("00"), QStringLiteral("IPアドレス")},
            {QStringLiteral("02"), QStringLiteral("タッチ音量")},
            {QStringLiteral("03"), QStringLiteral("バックアップ")},
            {QStringLiteral("04"), QStringLiteral("サブネットマスク")},
        };
        return names.value(id);
    }

    void createItems() override
    {
        static const MenuItem rows[] = {
            {QStringLiteral("00"), QStringLiteral("IPアドレス"), 45, 53},
            {QStringLiteral("01"), QString(), 45, 87},
            {QStringLiteral("02"), QStringLiteral("タッチ音量"), 45, 121},
            {QStringLiteral("03"), QStringLiteral("0123456789"), 45, 155},
            {QStringLiteral("04"), QStringLiteral("0123456789A"), 45, 189},
        };
        appendItems(rows, 5);
    }

    // Row "02" is always drawn disabled.
    void setItems(QString selectedId) override
    {
        for (const MenuItem& row : qAsConst(items)) {
            const bool enabled = row.id != QStringLiteral("02");
            if (selectedId.isEmpty())
                setItem(row, false, enabled);
            else if (row.id == selectedId)
                setItem(row, true, enabled);
        }
    }
};

class MenuBase : public SettingsFixture {
protected:
    void SetUp() override
    {
        SettingsFixture::SetUp();
        // 2024-03-05 14:07 local time: a value of 16 characters.
        backupTime = QDateTime(QDate(2024, 3, 5), QTime(14, 7)).toSecsSinceEpoch();
        ASSERT_TRUE(DBSetting::setTsushin(QStringLiteral("バックアップ"), int(backupTime)));
        for (int i = 0; i < 4; ++i)
            ASSERT_TRUE(DBSetting::setSetting(QStringLiteral("サブネットマスク%1").arg(i), 255));
    }

    qint64 backupTime = 0;
};

TEST_F(MenuBase, DrawsThePageAndRedrawsOnlyTheHighlightedRow)
{
    const int before = mark();
    TestMenu menu(&host);
    menu.updateScreenAndSelect(QStringLiteral("03"));
    menu.updateScreenAndSelect(QStringLiteral("03"));
    expectScreen(QStringLiteral("menubase_page"), updatesSince(before));
}

TEST_F(MenuBase, TheDisabledRowAndTheRowWithoutTitleTakeNoTouch)
{
    TestMenu menu(&host);
    updatesSince(0);
    for (const char* id : {"01", "Bar01", "02", "Bar02"})
        EXPECT_TRUE(peer.wireId(QString::fromLatin1(id)).isEmpty()) << id;
    for (const char* id : {"00", "Bar00", "Prev", "Next", "Back"})
        EXPECT_FALSE(peer.wireId(QString::fromLatin1(id)).isEmpty()) << id;
}

struct ValueCase {
    const char* name;
    std::function<void()> prepare;
    const char* expected;
};

void setSetting(const char* name, int value)
{
    ASSERT_TRUE(DBSetting::setSetting(QString::fromUtf8(name), value)) << name;
}

TEST_F(MenuBase, ValueTextsOfTheShippedSettings)
{
    TestMenu menu(&host);
    const QList<ValueCase> cases{
        {"IPアドレス", [] {}, "192.168.0.100"},
        {"IPアドレス(無線)", [] { removeSetting(QStringLiteral("IPアドレス(無線)2")); }, "192.168.---.101"},
        {"年月日設定", [] {}, "2024.01.01"},
        {"時刻設定", [] { setSetting("時刻設定", -1); }, "-1"},
        {"時刻設定", [] { setSetting("時刻設定", 0); }, "09:00"},
        {"出勤モード", [] { setSetting("出勤モード(開始)", -1); }, "なし"},
        {"出勤モード",
         [] {
             setSetting("出勤モード(開始)", 480);
             setSetting("出勤モード(終了)", 1035);
         },
         "08:00～17:15"},
        {"退勤モード",
         [] {
             setSetting("退勤モード(開始)", 480);
             removeSetting(QStringLiteral("退勤モード(終了)"));
         },
         "08:00～なし"},
        {"リストア", [] {}, "履歴なし"},
        {"バックアップ", [] {}, "2024/03/05 14:07"},
        {"タッチ音量", [] { setSetting("タッチ音量", 3); }, "大"},
        {"管理者パスワード", [] { setSetting("管理者パスワード", 123); }, "000123"},
        {"", [] {}, ""},
    };
    for (const ValueCase& c : cases) {
        c.prepare();
        EXPECT_EQ(menu.loadValue(QString::fromUtf8(c.name)).toStdString(), c.expected) << c.name;
    }
}

struct TouchCase {
    const char* id;
    const char* hostCall;  // "" when the page stays
};

// Each touch on a fresh page: the host call it makes and whether the page is gone after it.
TEST_F(MenuBase, TouchesMoveThroughTheHostOrStayOnThePage)
{
    const TouchCase cases[] = {
        {"Exit", "returnPage false"},   {"Prev", "moveToMenu 9"},   {"Next", "moveToMenu 11"},
        {"Back", "movePage 7"},         {"00", "moveToShosai 14 00"}, {"14", "moveToShosai 14 14"},
        {"0", ""},                      {"Kanri", ""},              {"Bar03", ""},
    };
    for (const TouchCase& c : cases) {
        host.clearCalls();
        QPointer<TestMenu> menu = new TestMenu(&host);
        emit label->clicked(label, QString::fromLatin1(c.id));
        const bool moves = *c.hostCall != 0;
        EXPECT_EQ(host.calls(), moves ? QStringList{QString::fromLatin1(c.hostCall)} : QStringList{}) << c.id;
        EXPECT_EQ(menu.isNull(), moves) << c.id;
        delete menu;
    }
}

TEST_F(MenuBase, TouchingARowFrameTwiceHighlightsItAndClearsItAgain)
{
    TestMenu menu(&host);
    const int before = mark();
    touch(QStringLiteral("Bar03"));
    touch(QStringLiteral("Bar03"));
    const QStringList updates = updatesSince(before);
    ASSERT_EQ(updates.size(), 2);
    const QString white = QStringLiteral("<r>255</r><g>255</g><b>255</b><a>255</a></color><text>0123456789</text>");
    EXPECT_TRUE(updates[0].contains(white));
    EXPECT_FALSE(updates[1].contains(QStringLiteral("Bar03")));
    EXPECT_TRUE(host.calls().isEmpty());
}

TEST_F(MenuBase, WithoutAHostAMoveIsLoggedAndThePageStays)
{
    QObject plainParent;
    QPointer<TestMenu> menu = new TestMenu(&plainParent);
    for (const char* id : {"Back", "Exit", "00"})
        emit label->clicked(label, QString::fromLatin1(id));
    EXPECT_FALSE(menu.isNull());
    EXPECT_EQ(log.matching(QStringLiteral("<ERR>")).size(), 3);
    EXPECT_TRUE(host.calls().isEmpty());
}

}  // namespace
