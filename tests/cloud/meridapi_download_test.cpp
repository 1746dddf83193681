#include "meridchain.h"
#include "settingwrites.h"

#include "dbmaster.h"
#include "dbsetting.h"

#include <QSqlDatabase>
#include <QSqlQuery>

namespace vnq::test {
namespace {

const QString serverTime = QStringLiteral("20240301120000");

// Users, settings and the communication cycle taken from the JSON service during mode-1 chains.
class MeridDownloads : public MeridChainTest {
protected:
    void SetUp() override
    {
        MeridChainTest::SetUp();
        for (int kind : {33, 40, 47})
            ASSERT_TRUE(DBSetting::setDataUpdate(kind, 0, 0));
    }

    // The service lists these kinds as changed at serverTime, in this order.
    void changed(std::initializer_list<int> kinds)
    {
        QList<MockJsonService::UpdateTime> times;
        for (int kind : kinds)
            times.append({kind, serverTime});
        service().setUpdateTimes(times);
    }
    static qint64 recorded(int kind)
    {
        int count = 0;
        qint64 time = -1;
        DBSetting::getDataUpdate(kind, &count, &time);
        return time;
    }
    static qint64 serverSeconds() { return QDateTime::fromString(serverTime, QStringLiteral("yyyyMMddhhmmss")).toSecsSinceEpoch(); }

    // A setting's stored value and update time.
    QPair<int, qint64> stored(const QString& item) const
    {
        QPair<int, qint64> row{-12345, -12345};
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("settingcheck"));
            db.setDatabaseName(board.path(QStringLiteral("/VnQo/app/DB/setting.db")));
            if (db.open()) {
                QSqlQuery query(db);
                query.prepare(QStringLiteral("SELECT value, update_time FROM setting WHERE item = ?"));
                query.addBindValue(item);
                if (query.exec() && query.next())
                    row = {query.value(0).toInt(), query.value(1).toLongLong()};
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("settingcheck"));
        return row;
    }
    static void storeSetting(const QString& item, int value, qint64 time)
    {
        ASSERT_TRUE(DBSetting::setParam(item, &value, &time));
    }

    QByteArray master() const { return board.readFile(QStringLiteral("/VnQo/app/DB/master.db")); }
    bool copyLeft() const { return board.exists(QStringLiteral("/VnQo/app/DB/master.temp.db")); }
    // A fresh service and worker, as after a restart, with the answer to one operation scripted.
    void restartWithAnswer(const char* operation, const QByteArray& answer)
    {
        cloud = std::make_unique<MockCloud>(board);
        service().addClient(QString::fromLatin1(clientKey));
        service().setNow([this] { return clock.now().toSecsSinceEpoch(); });
        if (!answer.isEmpty())
            cloud->server->addFault(MockJsonService::pathOf(QString::fromLatin1(operation)), MockFault::answer(200, answer));
        warker.reset();
    }
};

TEST_F(MeridDownloads, UsersBecomeTheNewMasterInBatchesOfAHundred)
{
    QList<MockJsonService::User> users;
    for (int i = 1; i <= 250; ++i)
        users.append({1000 + i, QStringLiteral("社員%1").arg(i), 1,
                      QStringLiteral("0123456789AB%1").arg(i, 4, 10, QLatin1Char('0')), serverTime});
    users[0].name = QStringLiteral("山田 \"太郎\" \\ 'x'");
    users[1].idm = QStringLiteral("0");
    users[2].idm = QString();
    users[3].idmUpdateTime = QString();  // the member is left out
    service().setUsers(users);
    changed({33});

    EXPECT_EQ(chain(1), QStringLiteral("allUpdateFinish 1"));
    EXPECT_EQ(infos.filter(QStringLiteral("登録中")),
              (QStringList{QStringLiteral("Vantroユーザー 登録中(100件)"), QStringLiteral("Vantroユーザー 登録中(200件)"),
                           QStringLiteral("Vantroユーザー 登録中(250件)")}));
    EXPECT_TRUE(infos.contains(QStringLiteral("Vantroユーザー 受信完了")));
    int count = 0;
    ASSERT_TRUE(DBMaster::getUserCount(&count));
    EXPECT_EQ(count, 250);
    int userId = 0, auth = 0;
    QString name, password, cardId;
    ASSERT_TRUE(DBMaster::getUserByCardID(QStringLiteral("0123456789AB0001"), &userId, &name, &auth, &password));
    EXPECT_EQ(userId, 1001);
    EXPECT_EQ(name, QStringLiteral("山田 \"太郎\" \\ 'x'"));
    for (int user : {1002, 1003}) {
        ASSERT_TRUE(DBMaster::getCardIDByUserID(user, &cardId));
        EXPECT_EQ(cardId, QStringLiteral("CLEAR")) << user;
    }
    ASSERT_TRUE(DBMaster::getUserByCardID(QStringLiteral("0123456789AB0004"), &userId, &name, &auth, &password));
    EXPECT_EQ(userId, 1004) << "a card without its update time is still stored";
    EXPECT_FALSE(copyLeft());
    EXPECT_EQ(recorded(33), serverSeconds());
}

TEST_F(MeridDownloads, AUserAnswerThatIsNotWholeLeavesTheOldMaster)
{
    const QByteArray user = R"({"id_code":1,"name":"a","group_no":1,"idm_no":"0123456789ABCDEF"})";
    const struct {
        const char* name;
        MockFault fault;
        bool removeTemplate;
    } cases[] = {
        {"transport failure", MockFault::close(), false},
        {"result -1", MockFault::answer(200, R"({"result":-1,"users":[)" + user + "]}"), false},
        {"result 1", MockFault::answer(200, R"({"result":1,"users":[)" + user + "]}"), false},
        {"no result", MockFault::answer(200, R"({"users":[)" + user + "]}"), false},
        {"users not an array", MockFault::answer(200, R"({"result":0,"users":)" + user + "}"), false},
        {"text id_code", MockFault::answer(200, R"({"result":0,"users":[)" + user + R"(,{"id_code":"2","name":"b","group_no":1,"idm_no":"0"}]})"), false},
        {"negative id_code", MockFault::answer(200, R"({"result":0,"users":[{"id_code":-1,"name":"b","group_no":1,"idm_no":"0"}]})"), false},
        {"number idm_no", MockFault::answer(200, R"({"result":0,"users":[{"id_code":2,"name":"b","group_no":1,"idm_no":123}]})"), false},
        {"entry not an object", MockFault::answer(200, R"({"result":0,"users":[)" + user + ",5]}"), false},
        {"cut answer", MockFault::answer(200, R"({"result":0,"users":[)" + user), false},
        {"def/master.db missing", MockFault::answer(200, R"({"result":0,"users":[)" + user + "]}"), true},
    };
    const QByteArray before = master();
    ASSERT_FALSE(before.isEmpty());
    int stampUser = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        cloud = std::make_unique<MockCloud>(board);
        service().addClient(QString::fromLatin1(clientKey));
        service().setNow([this] { return clock.now().toSecsSinceEpoch(); });
        cloud->server->addFault(MockJsonService::pathOf(QStringLiteral("getVantroUser")), c.fault);
        warker.reset();
        changed({33});
        if (c.removeTemplate) {
            ASSERT_TRUE(QFile::rename(board.path(QStringLiteral("/VnQo/app/DB/def/master.db")),
                                      board.path(QStringLiteral("/VnQo/app/DB/def/master.db.away"))));
        }
        ASSERT_TRUE(DBDakoku::execQuery(QStringLiteral("DELETE FROM dakoku"), nullptr, nullptr, nullptr, nullptr));
        addStamps(1, stampUser++);
        infos.clear();

        EXPECT_EQ(chain(1), QStringLiteral("allUpdateFinish 1"));
        EXPECT_EQ(master(), before);
        EXPECT_FALSE(copyLeft());
        EXPECT_EQ(recorded(33), 0);
        EXPECT_TRUE(infos.contains(QStringLiteral("Vantroユーザー 受信失敗")));
        const bool transport = c.fault.kind == MockFault::Close;
        EXPECT_EQ(service().stamps().size(), transport ? 0 : 1) << "the chain goes on, but after a transport failure";
        if (c.removeTemplate) {
            ASSERT_TRUE(QFile::rename(board.path(QStringLiteral("/VnQo/app/DB/def/master.db.away")),
                                      board.path(QStringLiteral("/VnQo/app/DB/def/master.db"))));
        }
    }
}

TEST_F(MeridDownloads, SettingsAreWrittenWhenNewerWellFormedAndWithinBounds)
{
    const qint64 older = serverSeconds() - 60;
    storeSetting(QStringLiteral("nijuu_dakoku_sec"), 60, older);
    storeSetting(QStringLiteral("touch_volume"), 2, serverSeconds());
    storeSetting(QStringLiteral("card_volume"), 2, older);
    storeSetting(QStringLiteral("cycle_sec"), 3600, older);
    storeSetting(QStringLiteral("backlight_min"), 10, older);
    changed({40});
    service().setSettings({
        {QStringLiteral("nijuu_dakoku_sec"), 120, serverTime},  // older stored: written
        {QStringLiteral("touch_volume"), 3, serverTime},        // same time: left alone
        {QStringLiteral("cycle_sec"), 10, serverTime},          // below its minimum of 60: refused
    });
    EXPECT_EQ(chain(1), QStringLiteral("allUpdateFinish 1"));
    EXPECT_EQ(stored(QStringLiteral("nijuu_dakoku_sec")), qMakePair(120, serverSeconds()));
    EXPECT_EQ(stored(QStringLiteral("touch_volume")), qMakePair(2, serverSeconds()));
    EXPECT_EQ(stored(QStringLiteral("cycle_sec")), qMakePair(3600, older));
    EXPECT_EQ(recorded(40), serverSeconds());

    // Malformed entries are skipped, each with an error line; the good one beside them is written.
    const struct {
        QByteArray unyous;
        int result;
        bool recorded;
    } cases[] = {
        {R"([{"key":"","value":1,"update_time":"20240301120000"},)"
         R"({"key":5,"value":1,"update_time":"20240301120000"},)"
         R"({"key":"card_volume","value":"1","update_time":"20240301120000"},)"
         R"({"key":"card_volume","value":1.5,"update_time":"20240301120000"},)"
         R"({"key":"card_volume","value":1,"update_time":"2024030112"},)"
         R"({"key":"card_volume","value":1},)"
         R"(7,)"
         R"({"key":"backlight_min","value":20,"update_time":"20240301120000"}])",
         0, true},
        {R"([{"key":"backlight_min","value":30,"update_time":"20240301120500"}])", 2, false},
        {R"([{"key":"backlight_min","value":40,"update_time":"20240301121000"}])", -1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.result);
        restartWithAnswer("getVantroUnyou",
                          "{\"result\":" + QByteArray::number(c.result) + ",\"unyous\":" + c.unyous + "}");
        ASSERT_TRUE(DBSetting::setDataUpdate(40, 0, 0));
        changed({40});
        log.clear();
        EXPECT_EQ(chain(1), QStringLiteral("allUpdateFinish 1"));
        EXPECT_EQ(recorded(40), c.recorded ? serverSeconds() : 0);
        if (c.result == 0) {
            EXPECT_EQ(log.matching(QStringLiteral("運用設定 不正")).size(), 7);
            EXPECT_EQ(stored(QStringLiteral("card_volume")), qMakePair(2, older));
            EXPECT_EQ(stored(QStringLiteral("backlight_min")), qMakePair(20, serverSeconds()));
        }
    }
    // A positive result still applies its entries (only the record waits); a negative one does not.
    EXPECT_EQ(stored(QStringLiteral("backlight_min")).first, 30);
}

TEST_F(MeridDownloads, TheCycleIsWrittenOnlyFromAWholeAnswerWithResultZero)
{
    const struct {
        const char* name;
        QByteArray answer;
        int startSec, cycleSec;
        bool recorded;
    } cases[] = {
        {"both members", R"({"result":0,"comm_mmss":120,"comm_cycle":600})", 120, 600, true},
        {"non-zero result", R"({"result":1,"comm_mmss":130,"comm_cycle":700})", 0, 3600, false},
        {"negative result", R"({"result":-1,"comm_mmss":130,"comm_cycle":700})", 0, 3600, false},
        {"cycle absent", R"({"result":0,"comm_mmss":140})", 140, 3600, true},
        {"start as text", R"({"result":0,"comm_mmss":"150","comm_cycle":900})", 0, 900, true},
        {"cycle out of range", R"({"result":0,"comm_mmss":160,"comm_cycle":10})", 160, 3600, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        storeSetting(QStringLiteral("start_sec"), 0, 1000);
        storeSetting(QStringLiteral("cycle_sec"), 3600, 1000);
        ASSERT_TRUE(DBSetting::setDataUpdate(47, 0, 0));
        restartWithAnswer("getVantroCommCycle", c.answer);
        changed({47});
        EXPECT_EQ(chain(1), QStringLiteral("allUpdateFinish 1"));
        const qint64 now = clock.now().toSecsSinceEpoch();
        EXPECT_EQ(stored(QStringLiteral("start_sec")), qMakePair(c.startSec, c.startSec != 0 ? now : qint64(1000)));
        EXPECT_EQ(stored(QStringLiteral("cycle_sec")), qMakePair(c.cycleSec, c.cycleSec != 3600 ? now : qint64(1000)));
        EXPECT_EQ(recorded(47), c.recorded ? serverSeconds() : 0);
    }
}

TEST_F(MeridDownloads, TheWalkFollowsTheUpdateListAndRecordsWhatItFetched)
{
    service().setUsers({{7, QStringLiteral("七"), 1, QStringLiteral("0123456789ABCD07"), serverTime}});
    changed({40, 33});
    const int before = service().operations().size();
    EXPECT_EQ(chain(1), QStringLiteral("allUpdateFinish 1"));
    EXPECT_EQ(service().operations().mid(before),
              (QStringList{QStringLiteral("getToken"), QStringLiteral("getVantroDataUpdateTime"),
                           QStringLiteral("getVantroUnyou"), QStringLiteral("getVantroUser"),
                           QStringLiteral("putVantroInfo"), QStringLiteral("releaseToken")}));
    EXPECT_EQ(recorded(40), serverSeconds());
    EXPECT_EQ(recorded(33), serverSeconds());
    EXPECT_EQ(recorded(47), 0);

    // 33 is listed again at the time already recorded; only 47 is newer.
    changed({33, 47});
    const int second = service().operations().size();
    EXPECT_EQ(chain(1), QStringLiteral("allUpdateFinish 1"));
    EXPECT_EQ(service().operations().mid(second),
              (QStringList{QStringLiteral("getToken"), QStringLiteral("getVantroDataUpdateTime"),
                           QStringLiteral("getVantroCommCycle"), QStringLiteral("putVantroInfo"),
                           QStringLiteral("releaseToken")}));
    EXPECT_EQ(recorded(47), serverSeconds());
    EXPECT_EQ(recorded(33), serverSeconds());
}

// However the answer spells it, a password the client takes (it becomes the setting) and a
// token it takes never reach the log; the fixture checks the log.
TEST_F(MeridDownloads, AServedPasswordOrTokenNeverReachesTheLog)
{
    secrets << QStringLiteral("583920") << QStringLiteral("650144") << QStringLiteral("7e57ab1e7e57ab1e");
    changed({40});
    service().setSettings({{QStringLiteral("admin_password"), 583920, serverTime}});
    EXPECT_EQ(chain(1), QStringLiteral("allUpdateFinish 1"));
    EXPECT_EQ(stored(QStringLiteral("admin_password")).first, 583920);
    EXPECT_EQ(log.matching(QStringLiteral("### \"\"admin_password\"\" **** \"20240301120000\"")).size(), 1);

    restartWithAnswer("getVantroUnyou",
                      R"({"result":0,"unyous":[{"key":"\u0061dmin_password","x":{"value":1},"value":650144,)"
                      R"("update_time":"20250101000000"}]})");
    service().setUpdateTimes({{40, QStringLiteral("20250101000000")}});
    EXPECT_EQ(chain(1), QStringLiteral("allUpdateFinish 1"));
    EXPECT_EQ(stored(QStringLiteral("admin_password")).first, 650144);

    restartWithAnswer("getToken", R"({"result":0,"\u0074oken":"7e57ab1e7e57ab1e"})");
    chain(1);
    EXPECT_FALSE(log.matching(QStringLiteral("\"token\":\"****\"")).isEmpty());
}

TEST_F(MeridDownloads, TheSettingsOfOneAnswerAreWrittenTogetherOrNotAtAll)
{
    const qint64 older = serverSeconds() - 60;
    storeSetting(QStringLiteral("card_volume"), 2, older);
    storeSetting(QStringLiteral("backlight_min"), 10, older);
    storeSetting(QStringLiteral("start_sec"), 0, older);
    storeSetting(QStringLiteral("cycle_sec"), 3600, older);
    ASSERT_TRUE(refuseSettingWrites(board, QStringLiteral("backlight_min")));
    ASSERT_TRUE(refuseSettingWrites(board, QStringLiteral("cycle_sec")));
    changed({40, 47});
    service().setSettings({{QStringLiteral("card_volume"), 1, serverTime}, {QStringLiteral("backlight_min"), 20, serverTime}});
    service().setCommCycle(120, 600);
    EXPECT_EQ(chain(1), QStringLiteral("allUpdateFinish 1"));
    EXPECT_EQ(stored(QStringLiteral("card_volume")), qMakePair(2, older));
    EXPECT_EQ(stored(QStringLiteral("start_sec")), qMakePair(0, older));
    EXPECT_EQ(recorded(40), 0);
    EXPECT_EQ(recorded(47), 0);
}

// Update times after January 2038 are taken whole, for the data kinds and for each setting;
// a date that is not whole and well formed is no time at all.
TEST_F(MeridDownloads, UpdateTimesAfter2038CountAndMalformedOnesAreAbsent)
{
    const qint64 y2040 = QDateTime(QDate(2040, 1, 1), QTime(0, 0, 0)).toSecsSinceEpoch();
    const struct {
        QString time;
        bool taken;
    } cases[] = {
        {QStringLiteral("20400101000000"), true},
        {QStringLiteral("203001"), false},
        {QStringLiteral("2030010100000"), false},
        {QStringLiteral("203001010000000"), false},
        {QStringLiteral("2030-01-01 00:00"), false},
        {QStringLiteral("20300230000000"), false},
        {QStringLiteral("2030010100000x"), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.time.toStdString());
        ASSERT_TRUE(DBSetting::setDataUpdate(40, 0, 0));
        storeSetting(QStringLiteral("backlight_min"), 10, serverSeconds());
        service().setUpdateTimes({{40, c.time}});
        service().setSettings({{QStringLiteral("backlight_min"), 20, c.time}});
        const int first = service().operations().size();
        EXPECT_EQ(chain(1), QStringLiteral("allUpdateFinish 1"));
        EXPECT_EQ(operationsSince(first).contains(QStringLiteral("getVantroUnyou")), c.taken);
        EXPECT_EQ(recorded(40), c.taken ? y2040 : 0);
        EXPECT_EQ(stored(QStringLiteral("backlight_min")), c.taken ? qMakePair(20, y2040) : qMakePair(10, serverSeconds()));
        if (!c.taken)
            continue;
        // Listed again at the same time: not asked for; an older setting time is not applied.
        const int second = service().operations().size();
        EXPECT_EQ(chain(1), QStringLiteral("allUpdateFinish 1"));
        EXPECT_FALSE(operationsSince(second).contains(QStringLiteral("getVantroUnyou")));
        restartWithAnswer("getVantroUnyou", R"({"result":0,"unyous":[{"key":"backlight_min","value":30,"update_time":"20391231235959"}]})");
        service().setUpdateTimes({{40, QStringLiteral("20410101000000")}});
        EXPECT_EQ(chain(1), QStringLiteral("allUpdateFinish 1"));
        EXPECT_EQ(stored(QStringLiteral("backlight_min")), qMakePair(20, y2040));
    }
}

}  // namespace
}  // namespace vnq::test
