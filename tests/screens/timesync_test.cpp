#include "clockfixture.h"

#include "form2jikokudouki.h"
#include "operationpages.h"

namespace {

const QString okFile = QStringLiteral("/var/log/timesync_OK");
const QString ngFile = QStringLiteral("/var/log/timesync_NG");
const QString exeFile = QStringLiteral("/var/log/timesync_EXE");

class TimeSync : public ClockFixture {
protected:
    void SetUp() override
    {
        ClockFixture::SetUp();
        OperationPages::install();
        setSetting("NTPサーバーを使用", 1);
        for (const char* octet : {"NTPサーバー0", "NTPサーバー1", "NTPサーバー2", "NTPサーバー3"})
            setSetting(octet, 10);
        startActiveClock();
        updatesOf([this] { clock->movePage(2, nullptr); });
        page = dynamic_cast<Form2JikokuDouki*>(probe->currentPage());
        ASSERT_FALSE(page.isNull());
    }

    // The headline of the update one tick draws.
    QString tick()
    {
        const QStringList updates = updatesOf([this] { page->onTimeout(); });
        return vnq::test::transcriptOf(updates.value(updates.size() - 1)).section(QStringLiteral("<y>65</y>"), 1, 1)
            .section(QStringLiteral("<text>"), 1, 1).section(QLatin1Char('<'), 0, 0);
    }

    void check()
    {
        touch(QStringLiteral("Check"));
        ASSERT_EQ(runner.commands().filter(QStringLiteral("vnq_sync_ntp_douki 10.10.10.10 &")).size(), 1);
    }

    QPointer<Form2JikokuDouki> page;
};

TEST_F(TimeSync, SuccessIsConfirmedTenSecondsAfterItsFile)
{
    check();
    for (int second = 1; second <= 4; ++second)
        EXPECT_TRUE(tick().startsWith(QStringLiteral("通信中"))) << second;
    ASSERT_TRUE(board.writeFile(okFile, ""));
    for (int second = 5; second <= 14; ++second)
        EXPECT_TRUE(tick().startsWith(QStringLiteral("通信中"))) << second;
    EXPECT_EQ(tick(), QStringLiteral("完了"));
    EXPECT_FALSE(board.exists(okFile));
    EXPECT_FALSE(log.matching(QStringLiteral("[強制]時計同期_成功")).isEmpty());
}

TEST_F(TimeSync, FailureByItsFileOrBothFilesAtOnce)
{
    for (const bool both : {false, true}) {
        SCOPED_TRACE(both);
        check();
        runner.clear();
        EXPECT_TRUE(tick().startsWith(QStringLiteral("通信中")));
        ASSERT_TRUE(board.writeFile(ngFile, ""));
        if (both) {
            ASSERT_TRUE(board.writeFile(okFile, ""));
        }
        EXPECT_EQ(tick(), QStringLiteral("ネットワーク異常"));
        EXPECT_FALSE(board.exists(ngFile));
        QFile::remove(board.path(okFile));
    }
}

TEST_F(TimeSync, NoResultWithinThirtySecondsStopsTheScripts)
{
    ASSERT_TRUE(board.writeFile(exeFile, ""));
    check();
    runner.clear();
    for (int second = 1; second <= 29; ++second)
        EXPECT_TRUE(tick().startsWith(QStringLiteral("通信中"))) << second;
    EXPECT_EQ(tick(), QStringLiteral("ネットワーク異常"));
    EXPECT_EQ(runner.commands(), (QStringList{"killall vnq_sync_ntp", "killall vnq_sync_ntp_http",
                                              "killall vnq_sync_ntp_douki", "killall vnq_sync_ntp_http_douki"}));
    EXPECT_FALSE(board.exists(exeFile));
}

TEST_F(TimeSync, SettingsErrorAtOnceAndTouchesIgnoredWhileRunning)
{
    for (const char* octet : {"NTPサーバー0", "NTPサーバー1", "NTPサーバー2", "NTPサーバー3"})
        setSetting(octet, 0);
    const QStringList error = updatesOf([this] { touch(QStringLiteral("Check")); });
    EXPECT_TRUE(vnq::test::transcriptOf(error.value(0)).contains(QStringLiteral("<text>設定エラー</text>")));

    for (const char* octet : {"NTPサーバー0", "NTPサーバー1", "NTPサーバー2", "NTPサーバー3"})
        setSetting(octet, 10);
    check();
    runner.clear();
    touch(QStringLiteral("Check"));
    touch(QStringLiteral("Back"));
    EXPECT_FALSE(page.isNull());
    EXPECT_TRUE(runner.commands().isEmpty());
}

}  // namespace
