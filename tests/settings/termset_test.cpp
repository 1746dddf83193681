// The terminal settings menu: its pages per edition and operation mode, the NTP server row,
// the footer and the way into a detail screen.

#include "db.h"
#include "dbsetting.h"
#include "form4termset.h"
#include "settingsfixture.h"

#include <QPointer>

namespace {

class TermSet : public SettingsFixture {
protected:
    void setSetting(const char* name, int value)
    {
        ASSERT_TRUE(DBSetting::setSetting(QString::fromUtf8(name), value)) << name;
    }

    // The host call of a touch on a fresh page of the menu.
    QStringList callsOf(int menu, const char* id)
    {
        host.clearCalls();
        QPointer<Form4TermSet> page = new Form4TermSet(&host, menu);
        emit label->clicked(label, QString::fromLatin1(id));
        delete page;
        return host.calls();
    }
};

struct PagingCase {
    const char* name;
    ZSystem::_zmode edition;
    int operationMode;
    int pages;
};

TEST_F(TermSet, PrevAndNextWrapAroundThePagesOfTheEdition)
{
    const PagingCase cases[] = {
        {"basic, mode 1", ZSystem::Basic, 1, 4}, {"basic, mode 3", ZSystem::Basic, 3, 5},
        {"basic, mode 4", ZSystem::Basic, 4, 5}, {"cloud, mode 3", ZSystem::Cloud, 3, 4},
        {"Merid", ZSystem::Merid, 1, 3},
    };
    for (const PagingCase& c : cases) {
        SCOPED_TRACE(c.name);
        useEdition(c.edition);
        setSetting("動作モード", c.operationMode);
        EXPECT_EQ(Form4TermSet::pageCount(), c.pages);
        const int last = 8 + c.pages;
        EXPECT_EQ(callsOf(9, "Prev"), QStringList{QStringLiteral("moveToMenu %1").arg(last)});
        EXPECT_EQ(callsOf(9, "Next"), QStringList{QStringLiteral("moveToMenu 10")});
        EXPECT_EQ(callsOf(last, "Next"), QStringList{QStringLiteral("moveToMenu 9")});
        EXPECT_EQ(callsOf(last, "Prev"), QStringList{QStringLiteral("moveToMenu %1").arg(last - 1)});
    }
}

TEST_F(TermSet, RowsOpenTheirDetailAndBackLeadsToTheSettingsMenu)
{
    EXPECT_EQ(callsOf(10, "12"), QStringList{QStringLiteral("moveToShosai 14 12")});
    EXPECT_EQ(callsOf(10, "Back"), QStringList{QStringLiteral("movePage 7")});
}

TEST_F(TermSet, TheLastPageOfFiveHasItsTitleAndOneRow)
{
    setSetting("動作モード", 3);
    const int before = mark();
    Form4TermSet menu(&host, 13);
    const QStringList updates = updatesSince(before);
    ASSERT_EQ(updates.size(), 1);
    EXPECT_TRUE(updates[0].contains(expect::enc(QStringLiteral("初期設定") + QString(24, QLatin1Char(' '))
                                                + QStringLiteral("５/５"))));
    EXPECT_TRUE(updates[0].contains(expect::enc(QStringLiteral("接点出力秒数"))));
    EXPECT_FALSE(peer.wireId(QStringLiteral("40")).isEmpty());
    EXPECT_TRUE(peer.wireId(QStringLiteral("41")).isEmpty());
}

TEST_F(TermSet, ANumberOutsideThePagesShowsTheFirstPage)
{
    const int before = mark();
    Form4TermSet menu(&host, 13);  // four pages in mode 1
    const QStringList updates = updatesSince(before);
    ASSERT_EQ(updates.size(), 1);
    EXPECT_TRUE(updates[0].contains(expect::enc(QStringLiteral("１/４"))));
    EXPECT_EQ(log.matching(QStringLiteral("<ERR>")).size(), 1);
}

TEST_F(TermSet, TheNtpServerRowTakesTouchesOnlyWhileNtpIsUsed)
{
    for (const int use : {0, 1}) {
        setSetting("NTPサーバーを使用", use);
        const int before = mark();
        QPointer<Form4TermSet> menu = new Form4TermSet(&host, 12);
        const QString page = updatesSince(before).value(0);
        const QString grey = QStringLiteral("<r>133</r><g>133</g><b>133</b><a>255</a></color><text>%1</text>")
                                 .arg(expect::enc(QStringLiteral("NTPサーバー")));
        EXPECT_EQ(page.contains(grey), use == 0);
        EXPECT_EQ(peer.wireId(QStringLiteral("33")).isEmpty(), use == 0);
        EXPECT_EQ(peer.wireId(QStringLiteral("Bar33")).isEmpty(), use == 0);
        delete menu;
    }
}

TEST_F(TermSet, TheFooterCountsTheUnsentStamps)
{
    QVariantList none;
    DB::getInstance()->execQueryBase(
        QStringLiteral("../DB/dakoku.db"),
        QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1234) "
                       "INSERT INTO dakoku (user_id, insert_datetime, date, stamptime, kubun, send) "
                       "SELECT i, i, 20240101, 900, 1, 0 FROM n"),
        &none);
    const int before = mark();
    Form4TermSet menu(&host, 9);
    EXPECT_TRUE(updatesSince(before).value(0).contains(expect::enc(QStringLiteral("未送信データ 1234件"))));
}

class TermSetPages : public TermSet, public ::testing::WithParamInterface<EditionPage> {};

TEST_P(TermSetPages, DrawsThePage)
{
    useEdition(GetParam().edition);
    setSetting("NTPサーバーを使用", 1);
    const int before = mark();
    Form4TermSet menu(&host, GetParam().number);
    expectScreen(QString::fromLatin1(GetParam().golden), updatesSince(before));
}

INSTANTIATE_TEST_SUITE_P(Editions, TermSetPages,
                         ::testing::Values(EditionPage{ZSystem::Basic, 9, "termset_basic_9"},
                                           EditionPage{ZSystem::Cloud, 12, "termset_cloud_12"},
                                           EditionPage{ZSystem::Merid, 11, "termset_merid_11"}),
                         [](const ::testing::TestParamInfo<EditionPage>& info) {
                             return std::string(info.param.golden);
                         });

}  // namespace
