#include "cloudchain.h"

#include "dbsetting.h"

namespace vnq::test {
namespace {

// Settings and the communication cycle downloaded in a full update.
class CloudApiSettings : public CloudChainTest {
protected:
    void SetUp() override
    {
        CloudChainTest::SetUp();
        cloud->service->setUpdateTimes({{5, QStringLiteral("2024-03-01 12:00:00"), 2},
                                        {6, QStringLiteral("2024-03-01 12:00:00"), 1}});
        ASSERT_TRUE(DBSetting::setDataUpdate(5, 0, 0));
        ASSERT_TRUE(DBSetting::setDataUpdate(6, 0, 0));
    }

    // A setting's value by its English key.
    static int item(const char* key)
    {
        static const QHash<QString, QString> jnames = {
            {QStringLiteral("nijuu_dakoku_sec"), QStringLiteral("二重打刻の有効秒数")},
            {QStringLiteral("start_sec"), QStringLiteral("通信開始秒")},
            {QStringLiteral("cycle_sec"), QStringLiteral("通信周期")},
            {QStringLiteral("touch_volume"), QStringLiteral("タッチ音量")},
            {QStringLiteral("card_volume"), QStringLiteral("カード読取音量")},
        };
        int value = -12345;
        DBSetting::getSetting(jnames.value(QString::fromLatin1(key)), &value);
        return value;
    }
    static qint64 recorded(int kind)
    {
        int count = 0;
        qint64 time = -1;
        DBSetting::getDataUpdate(kind, &count, &time);
        return time;
    }

    const int received = int(QDateTime(QDate(2024, 3, 1), QTime(12, 0, 0)).toSecsSinceEpoch());
};

TEST_F(CloudApiSettings, PendingKindsAreDownloadedInOrderThenRecorded)
{
    cloud->service->setSettings({{QStringLiteral("nijuu_dakoku_sec"), 30}, {QStringLiteral("start_sec"), 120}});
    cloud->service->setCommCycle(300, -1, 5, 6);
    EXPECT_EQ(chain(1), QStringLiteral("allUpdateFinish 1 success"));
    EXPECT_EQ(operations(), (QStringList{QStringLiteral("GetVantroDataUpdateTime"), QStringLiteral("GetVantroSetting"),
                                         QStringLiteral("GetCommCycle"), QStringLiteral("PutVantroInfo")}));
    EXPECT_EQ(item("nijuu_dakoku_sec"), 30);
    // The cycle's start comes after the settings' and wins; a negative cycle_sec is not written.
    EXPECT_EQ(item("start_sec"), 300);
    EXPECT_EQ(item("cycle_sec"), 3600);
    EXPECT_EQ(recorded(5), received);
    EXPECT_EQ(recorded(6), received);
    EXPECT_TRUE(infos.contains(QStringLiteral("運用設定データ 受信完了")));
    EXPECT_TRUE(infos.contains(QStringLiteral("通信周期 受信完了")));
}

TEST_F(CloudApiSettings, OnlyValuesThatPairAndFitAreWritten)
{
    const QByteArray answer =
        "<e><result>0</result>"
        "<Setting><name>nijuu_dakoku_sec</name><value>-99</value></Setting>"
        "<Setting><value>45</value><name>nijuu_dakoku_sec</name></Setting>"
        "<Setting><name>touch_volume</name><name>card_volume</name><value>3</value></Setting>"
        "<Setting><name>cycle_sec</name><value>1</value></Setting>"
        "</e>";
    cloud->service->scriptFault(QStringLiteral("GetVantroSetting"), MockFault::answer(200, answer), 1);
    cloud->service->setCommCycle(100000, 7200, 1, 2);
    const int touchVolume = item("touch_volume");
    EXPECT_EQ(chain(1), QStringLiteral("allUpdateFinish 1 success"));
    EXPECT_EQ(item("nijuu_dakoku_sec"), 45);
    EXPECT_EQ(item("touch_volume"), touchVolume);
    EXPECT_EQ(item("card_volume"), 3);
    EXPECT_EQ(item("cycle_sec"), 7200);
    EXPECT_NE(item("start_sec"), 100000);
    EXPECT_EQ(log.matching(QStringLiteral("設定値 範囲外")).size(), 2);
}

TEST_F(CloudApiSettings, AnIncompleteAnswerIsNotRecorded)
{
    const struct {
        const char* name;
        QByteArray answer;
    } cases[] = {
        {"result -1", "<e><result>-1</result><Setting><name>card_volume</name><value>3</value></Setting></e>"},
        {"no result", "<e><Setting><name>card_volume</name><value>3</value></Setting></e>"},
        {"cut", "<e><result>0</result><Setting><name>card_volume</name><value>3</value></Setting>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(DBSetting::setDataUpdate(5, 0, 0));
        cloud->service->clearScripts();
        cloud->service->scriptFault(QStringLiteral("GetVantroSetting"), MockFault::answer(200, c.answer));
        EXPECT_EQ(chain(1), QStringLiteral("allUpdateFinish 1 success"));
        EXPECT_EQ(recorded(5), 0);
        EXPECT_EQ(recorded(6), received);
    }
}

}  // namespace
}  // namespace vnq::test
