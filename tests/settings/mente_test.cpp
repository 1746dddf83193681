// The maintenance menu.

#include "form4mente.h"
#include "settingsfixture.h"

#include <QPointer>

namespace {

using Mente = SettingsFixture;

TEST_F(Mente, DrawsItsFourRowsAndAnEmptyFrame)
{
    const int before = mark();
    host.createPages = true;
    host.moveToMenu(27, nullptr);
    ASSERT_NE(host.currentPage(), nullptr);
    expectScreen(QStringLiteral("mente_menu"), updatesSince(before));
    EXPECT_TRUE(peer.wireId(QStringLiteral("04")).isEmpty());
    EXPECT_TRUE(peer.wireId(QStringLiteral("Prev")).isEmpty());
}

TEST_F(Mente, RowsOpenTheDetailAndBackLeadsToTheSettingsMenu)
{
    const struct {
        const char* id;
        const char* hostCall;
    } cases[] = {
        {"00", "moveToShosai 28 00"}, {"01", "moveToShosai 28 01"}, {"02", "moveToShosai 28 02"},
        {"03", "moveToShosai 28 03"}, {"Back", "movePage 7"},
    };
    for (const auto& c : cases) {
        host.clearCalls();
        QPointer<Form4Mente> menu = new Form4Mente(&host, 27);
        click(QString::fromLatin1(c.id));
        EXPECT_EQ(host.calls(), QStringList{QString::fromLatin1(c.hostCall)}) << c.id;
        EXPECT_TRUE(menu.isNull());
    }
}

TEST(MenteTitles, DetailTitlesDifferFromOneRowText)
{
    EXPECT_EQ(Form4Mente::GetTitle(QStringLiteral("01")), QStringLiteral("製造出荷設定"));
    EXPECT_EQ(Form4Mente::GetTitle(QStringLiteral("04")), QString());
    EXPECT_EQ(Form4Mente::GetTitle(QStringLiteral("99")), QStringLiteral("99"));
}

}  // namespace
