#include "cloudchain.h"

#include "dbmaster.h"
#include "dbsetting.h"

namespace vnq::test {
namespace {

// The user master rebuilt from a full update's download.
class CloudApiUsers : public CloudChainTest {
protected:
    void SetUp() override
    {
        CloudChainTest::SetUp();
        cloud->service->setUpdateTimes({{1, QStringLiteral("2024-03-01 12:00:00"), 3}});
        ASSERT_TRUE(DBSetting::setDataUpdate(1, 0, 0));
    }

    static qint64 recorded()
    {
        int count = 0;
        qint64 time = -1;
        DBSetting::getDataUpdate(1, &count, &time);
        return time;
    }
    // The progress texts of filling the new master, and the texts expected for these counts.
    QStringList progress() const { return infos.filter(QStringLiteral("登録中")); }
    static QStringList registered(std::initializer_list<int> counts)
    {
        QStringList texts;
        for (int count : counts)
            texts << QStringLiteral("氏名マスタ 登録中(%1件)").arg(count);
        return texts;
    }
    QByteArray master() const { return board.readFile(QStringLiteral("/VnQo/app/DB/master.db")); }
    bool copyLeft() const { return board.exists(QStringLiteral("/VnQo/app/DB/master.temp.db")); }
};

TEST_F(CloudApiUsers, TheAnswerBecomesTheNewMasterInBatchesOfAHundred)
{
    QList<MockSoapService::User> users;
    for (int i = 1; i <= 250; ++i)
        users.append({QString::number(1000 + i), QStringLiteral("社員%1").arg(i), QStringLiteral("1"),
                      QStringLiteral("0123456789AB%1").arg(i, 4, 10, QLatin1Char('0'))});
    users[0].name = QStringLiteral("山田 & <太郎> 'x'");
    users[1].idm = QStringLiteral("0");
    users[2].idm = QString();
    users[3].groupCode = QStringLiteral("-1");
    users[4].groupCode = QStringLiteral("-2");
    cloud->service->setUsers(users);

    EXPECT_EQ(chain(1), QStringLiteral("allUpdateFinish 1 success"));
    EXPECT_EQ(progress(), registered({100, 200, 249}));
    int count = 0;
    ASSERT_TRUE(DBMaster::getUserCount(&count));
    EXPECT_EQ(count, 249);
    int userId = 0, auth = 0;
    QString name, password, cardId;
    ASSERT_TRUE(DBMaster::getUserByCardID(QStringLiteral("0123456789AB0001"), &userId, &name, &auth, &password));
    EXPECT_EQ(userId, 1001);
    EXPECT_EQ(name, QStringLiteral("山田 & <太郎> 'x'"));
    ASSERT_TRUE(DBMaster::getCardIDByUserID(1002, &cardId));
    EXPECT_EQ(cardId, QStringLiteral("CLEAR"));
    ASSERT_TRUE(DBMaster::getCardIDByUserID(1003, &cardId));
    EXPECT_EQ(cardId, QStringLiteral("CLEAR"));
    EXPECT_TRUE(DBMaster::getCardIDByUserID(1004, &cardId));
    EXPECT_FALSE(DBMaster::getCardIDByUserID(1005, &cardId));
    EXPECT_FALSE(copyLeft());
    EXPECT_GT(recorded(), 0);
}

TEST_F(CloudApiUsers, TheProgressCountsEveryBatchUpToTheLastUser)
{
    QList<MockSoapService::User> users;
    for (int i = 1; i <= 250; ++i)
        users.append({QString::number(i), QStringLiteral("u%1").arg(i), QStringLiteral("1"), QString()});
    cloud->service->setUsers(users);

    EXPECT_EQ(chain(1), QStringLiteral("allUpdateFinish 1 success"));
    EXPECT_EQ(progress(), registered({100, 200, 250}));
    int count = 0;
    ASSERT_TRUE(DBMaster::getUserCount(&count));
    EXPECT_EQ(count, 250);
}

TEST_F(CloudApiUsers, AMasterThatDidNotComeWholeLeavesTheOldOne)
{
    const struct {
        const char* name;
        MockFault fault;
        bool removeTemplate;
        QString end;
    } cases[] = {
        {"result -1", MockFault::answer(200, "<e><result>-1</result></e>"), false, "allUpdateFinish 1 success"},
        {"no result", MockFault::answer(200, "<e><User><id_code>1</id_code><name>a</name><group_code>1</group_code><idm>0</idm></User></e>"), false, "allUpdateFinish 1 success"},
        {"cut", MockFault::answer(200, "<e><result>0</result><User><id_code>1</id_code><name>a</name><group_code>1</group_code><idm>0</idm></User>"), false, "allUpdateFinish 1 success"},
        {"id not a number", MockFault::answer(200, "<e><result>0</result><User><id_code>abc</id_code><name>a</name><group_code>1</group_code><idm>0</idm></User>"
                                                   "<User><id_code>2</id_code><name>b</name><group_code>1</group_code><idm>0</idm></User></e>"), false, "allUpdateFinish 1 success"},
        {"id beyond int", MockFault::answer(200, "<e><result>0</result><User><id_code>99999999999</id_code><name>a</name><group_code>1</group_code><idm>0</idm></User></e>"), false, "allUpdateFinish 1 success"},
        {"HTML page", MockFault::answer(200, "<html><body>proxy error</body></html>"), false, "allUpdateFinish 1 success"},
        {"template missing", MockFault::answer(200, "<e><result>0</result></e>"), true, "allUpdateFinish 1 success"},
        {"transport", MockFault::close(), false, "allUpdateFinish 1 failed"},
    };
    const QByteArray before = master();
    ASSERT_FALSE(before.isEmpty());
    int user = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        cloud->service->clearScripts();
        cloud->service->scriptFault(QStringLiteral("GetVantroUser"), c.fault);
        if (c.removeTemplate) {
            ASSERT_TRUE(QFile::rename(board.path(QStringLiteral("/VnQo/app/DB/def/master.db")),
                                      board.path(QStringLiteral("/VnQo/app/DB/def/master.db.away"))));
        }
        addStamps(1, user++);
        const int stored = cloud->service->stamps().size();
        EXPECT_EQ(chain(1), c.end);
        EXPECT_EQ(master(), before);
        EXPECT_FALSE(copyLeft());
        EXPECT_EQ(recorded(), 0);
        // The chain went on to the stamps, except after a transport failure.
        EXPECT_EQ(cloud->service->stamps().size(), stored + (c.end.endsWith(QLatin1String("success")) ? 1 : 0));
        if (c.removeTemplate) {
            ASSERT_TRUE(QFile::rename(board.path(QStringLiteral("/VnQo/app/DB/def/master.db.away")),
                                      board.path(QStringLiteral("/VnQo/app/DB/def/master.db"))));
        }
    }
}

}  // namespace
}  // namespace vnq::test
