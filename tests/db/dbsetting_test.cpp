#include "dbsetting.h"
#include "dbtestfixture.h"
#include "fakeclock.h"
#include "messagecapture.h"

namespace {

using vnq::test::DbTest;

class DbSettingTest : public DbTest {
protected:
    QString setting(const QString& column, const QString& jname)
    {
        return value(QStringLiteral("setting.db"),
                     QStringLiteral("SELECT %1 FROM setting WHERE jname = ?").arg(column), {jname});
    }
    const QString window = QStringLiteral("二重打刻の有効秒数");
};

TEST_F(DbSettingTest, MissingItemLeavesTheValueAndFails)
{
    int v = 42, min = 1, max = 2;
    EXPECT_FALSE(DBSetting::getSetting(QStringLiteral("存在しない項目"), &v));
    EXPECT_FALSE(DBSetting::getSetting(QStringLiteral("存在しない項目"), &v, &min, &max));
    EXPECT_EQ(DBSetting::getParamJ(QStringLiteral("存在しない項目"), &v), -1);
    EXPECT_EQ(v, 42);
    EXPECT_EQ(min, 1);
    EXPECT_EQ(max, 2);

    EXPECT_EQ(DBSetting::getParamJ(window, &v, &min, &max), 0);
    EXPECT_EQ(v, 60);
    EXPECT_EQ(min, 0);
    EXPECT_EQ(max, 999);

    // Without the file every read fails the same way, and no empty file appears.
    QFile::remove(dbFile(QStringLiteral("setting.db")));
    EXPECT_FALSE(DBSetting::getSetting(window, &v));
    EXPECT_EQ(v, 60);
    EXPECT_FALSE(QFile::exists(dbFile(QStringLiteral("setting.db"))));
}

struct EditionCase {
    const char* name;
    ZSystem::_zmode mode;
    bool stamps;
};

void PrintTo(const EditionCase& c, std::ostream* os)
{
    *os << c.name;
}

class DbSettingEditions : public DbSettingTest, public ::testing::WithParamInterface<EditionCase> {};

// Only the Merid edition records when a setting changed.
TEST_P(DbSettingEditions, WritesStampUpdateTimeOnlyInMerid)
{
    ZSystem::setMode(GetParam().mode);
    vnq::test::FakeClock clock(QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)));
    const QString now = QString::number(clock.now().toSecsSinceEpoch());
    const QString untouched = QStringLiteral("0");

    EXPECT_TRUE(DBSetting::setSetting(window, 30));
    EXPECT_EQ(setting(QStringLiteral("value"), window), QStringLiteral("30"));
    EXPECT_EQ(setting(QStringLiteral("update_time"), window), GetParam().stamps ? now : untouched);

    const QString volume = QStringLiteral("タッチ音量");
    int three = 3;
    EXPECT_TRUE(DBSetting::setParam(QStringLiteral("touch_volume"), &three));
    EXPECT_EQ(setting(QStringLiteral("value"), volume), QStringLiteral("3"));
    EXPECT_EQ(setting(QStringLiteral("update_time"), volume), GetParam().stamps ? now : untouched);

    int one = 1;
    qint64 serverTime = 1700000000;
    EXPECT_TRUE(DBSetting::setParam(QStringLiteral("touch_volume"), &one, &serverTime));
    EXPECT_EQ(setting(QStringLiteral("value"), volume), QStringLiteral("1"));
    EXPECT_EQ(setting(QStringLiteral("update_time"), volume),
              GetParam().stamps ? QStringLiteral("1700000000") : untouched);

    // An unknown item or key is no failure and changes nothing.
    EXPECT_TRUE(DBSetting::setSetting(QStringLiteral("存在しない項目"), 1));
    EXPECT_TRUE(DBSetting::setParam(QStringLiteral("no_such_key"), &one));
}

INSTANTIATE_TEST_SUITE_P(Editions, DbSettingEditions,
                         ::testing::Values(EditionCase{"Basic", ZSystem::Basic, false},
                                           EditionCase{"Cloud", ZSystem::Cloud, false},
                                           EditionCase{"Merid", ZSystem::Merid, true}),
                         [](const ::testing::TestParamInfo<EditionCase>& info) {
                             return std::string(info.param.name);
                         });

// The rows of one item are written together: one missing row leaves every row as it was.
TEST_F(DbSettingTest, SetSettingsWritesAllRowsOfAnItemOrNone)
{
    const QString start = QStringLiteral("出勤モード(開始)");
    const QString end = QStringLiteral("出勤モード(終了)");
    EXPECT_TRUE(DBSetting::setSettings({{start, 480}, {end, 1020}}));
    EXPECT_EQ(setting(QStringLiteral("value"), start), QStringLiteral("480"));
    EXPECT_EQ(setting(QStringLiteral("value"), end), QStringLiteral("1020"));

    EXPECT_FALSE(DBSetting::setSettings({{start, 540}, {QStringLiteral("存在しない項目"), 1}, {end, 600}}));
    EXPECT_EQ(setting(QStringLiteral("value"), start), QStringLiteral("480"));
    EXPECT_EQ(setting(QStringLiteral("value"), end), QStringLiteral("1020"));
}

TEST_F(DbSettingTest, UpdatableParamComparesTheStoredTime)
{
    ASSERT_TRUE(raw(QStringLiteral("setting.db"),
                    {QStringLiteral("UPDATE setting SET update_time = 1000 WHERE item = 'cycle_sec'")}));
    vnq::test::MessageCapture capture;
    EXPECT_FALSE(DBSetting::updatableParam(QStringLiteral("cycle_sec"), 1000));
    EXPECT_EQ(capture.matching(QStringLiteral("設定更新 不要")).size(), 1);
    EXPECT_TRUE(DBSetting::updatableParam(QStringLiteral("cycle_sec"), 1001));
    EXPECT_EQ(capture.matching(QStringLiteral("設定更新 必要")).size(), 1);
    EXPECT_FALSE(DBSetting::updatableParam(QStringLiteral("no_such_key"), 5000));
    EXPECT_EQ(capture.matching(QStringLiteral("更新日時 取得失敗")).size(), 1);
}

// Times after January 2038 keep all their seconds, stored as the same SQLite integers as
// earlier times are.
TEST_F(DbSettingTest, TimesAfter2038KeepTheirSeconds)
{
    ZSystem::setMode(ZSystem::Merid);
    const qint64 y2100 = 4102444800;
    int count = -1;
    qint64 time = -1;
    EXPECT_TRUE(DBSetting::setDataUpdate(3, 12, y2100));
    EXPECT_TRUE(DBSetting::getDataUpdate(3, &count, &time));
    EXPECT_EQ(time, y2100);
    EXPECT_EQ(value(QStringLiteral("setting.db"),
                    QStringLiteral("SELECT typeof(update_time) || ' ' || update_time FROM data_update WHERE kind_num = 3"), {}),
              QStringLiteral("integer 4102444800"));

    int volume = 2;
    qint64 when = y2100;
    EXPECT_TRUE(DBSetting::setParam(QStringLiteral("touch_volume"), &volume, &when));
    EXPECT_EQ(setting(QStringLiteral("typeof(update_time) || ' ' || update_time"), QStringLiteral("タッチ音量")),
              QStringLiteral("integer 4102444800"));
    EXPECT_FALSE(DBSetting::updatableParam(QStringLiteral("touch_volume"), y2100));
    EXPECT_TRUE(DBSetting::updatableParam(QStringLiteral("touch_volume"), y2100 + 1));
}

// The settings of one answer are written together or not at all.
TEST_F(DbSettingTest, SetParamsWritesAllOrNothing)
{
    ZSystem::setMode(ZSystem::Merid);
    ASSERT_TRUE(raw(QStringLiteral("setting.db"),
                    {QStringLiteral("CREATE TRIGGER refuse_cycle BEFORE UPDATE ON setting WHEN NEW.item = 'cycle_sec' "
                                    "BEGIN SELECT RAISE(ABORT, 'refused'); END")}));
    const QString volume = QStringLiteral("タッチ音量");
    const QString before = setting(QStringLiteral("value || ' ' || update_time"), volume);
    EXPECT_FALSE(DBSetting::setParams({{QStringLiteral("touch_volume"), 2, true, 1000},
                                       {QStringLiteral("cycle_sec"), 600, false, 0}}));
    EXPECT_EQ(setting(QStringLiteral("value || ' ' || update_time"), volume), before);
    EXPECT_TRUE(DBSetting::setParams({{QStringLiteral("touch_volume"), 2, true, 1000},
                                      {QStringLiteral("no_such_key"), 1, false, 0}}));
    EXPECT_EQ(setting(QStringLiteral("value || ' ' || update_time"), volume), QStringLiteral("2 1000"));
}

class DbSettingReports : public DbSettingTest {
protected:
    // A setting table with exactly these keys, in this order.
    void useKeys(const QStringList& keys)
    {
        QStringList statements{QStringLiteral("DELETE FROM setting")};
        QList<QVariantList> binds{{}};
        for (int i = 0; i < keys.size(); ++i) {
            statements << QStringLiteral("INSERT INTO setting (item, value, update_time, jname) VALUES (?, ?, ?, ?)");
            binds << QVariantList{keys.at(i), i + 1, 100 + i, QStringLiteral("項目%1").arg(i)};
        }
        ASSERT_TRUE(raw(QStringLiteral("setting.db"), statements, binds));
    }

    QStringList scan(ZSystem::_zmode mode, bool merid, int capacity = DBSetting::ParamListCapacity)
    {
        ZSystem::setMode(mode);
        for (QString& k : items)
            k.clear();
        const int result = merid ? DBSetting::getParamAllForMerid(items, values, times, capacity)
                                 : DBSetting::getParamAllForCloud(items, values, capacity);
        lastResult = result;
        QStringList listed;
        for (int i = 0; i < DBSetting::ParamListCapacity && !items[i].isEmpty(); ++i)
            listed << items[i];
        return listed;
    }

    QString items[DBSetting::ParamListCapacity + 1];
    int values[DBSetting::ParamListCapacity + 1] = {};
    qint64 times[DBSetting::ParamListCapacity + 1] = {};
    int lastResult = 0;
};

TEST_F(DbSettingReports, ListsPerEditionWithoutExcludedKeys)
{
    useKeys({QStringLiteral("tokei_hyouji"), QStringLiteral("ntp_server0"), QStringLiteral(""),
             QStringLiteral("shukkin_higawari"), QStringLiteral("cycle_sec"), QStringLiteral("taikin_higawari"),
             QStringLiteral("gaishutsu_sainyuu_higawari"), QStringLiteral("bento_uketsuke_nissuu"),
             QStringLiteral("dousa_mode")});

    const QStringList cloud{QStringLiteral("tokei_hyouji"), QStringLiteral("shukkin_higawari"),
                            QStringLiteral("taikin_higawari"), QStringLiteral("gaishutsu_sainyuu_higawari"),
                            QStringLiteral("dousa_mode")};
    const QStringList merid{QStringLiteral("tokei_hyouji"), QStringLiteral("dousa_mode")};

    EXPECT_EQ(scan(ZSystem::Cloud, false), cloud);
    EXPECT_EQ(lastResult, 0);
    EXPECT_EQ(scan(ZSystem::Cloud, true), cloud);
    EXPECT_EQ(values[1], 4);
    EXPECT_EQ(times[1], 103);
    EXPECT_EQ(scan(ZSystem::Merid, true), merid);
    EXPECT_EQ(scan(ZSystem::Merid, false), merid);
}

TEST_F(DbSettingReports, StopsAtTheArraysCapacity)
{
    QStringList keys;
    for (int i = 0; i < 10; ++i)
        keys << QStringLiteral("key%1").arg(i);
    useKeys(keys);
    items[4] = QStringLiteral("guard");
    values[4] = -7;
    ZSystem::setMode(ZSystem::Cloud);
    EXPECT_EQ(DBSetting::getParamAllForMerid(items, values, times, 4), 0);
    EXPECT_EQ(items[3], QStringLiteral("key3"));
    EXPECT_EQ(items[4], QStringLiteral("guard"));
    EXPECT_EQ(values[4], -7);

    // The shipped table fits the callers' 128 entries with room to spare.
    ASSERT_TRUE(installShippedDatabases(board));
    EXPECT_LT(scan(ZSystem::Cloud, false).size(), DBSetting::ParamListCapacity);
}

TEST_F(DbSettingReports, AllExcludedGivesMinusOneAndLeavesTheArrays)
{
    useKeys({QStringLiteral("ntp_use"), QStringLiteral("start_sec"), QStringLiteral("")});
    items[0] = QStringLiteral("guard");
    ZSystem::setMode(ZSystem::Cloud);
    EXPECT_EQ(DBSetting::getParamAllForCloud(items, values), -1);
    EXPECT_EQ(items[0], QStringLiteral("guard"));

    QFile::remove(dbFile(QStringLiteral("setting.db")));
    vnq::test::MessageCapture capture;
    EXPECT_EQ(DBSetting::getParamAllForCloud(items, values), -1);
    EXPECT_EQ(capture.matching(QStringLiteral("DB open NG")).size(), 1);
}

TEST_F(DbSettingTest, CountersTimesManualAndIdentity)
{
    int count = -1;
    qint64 time = -1;
    EXPECT_TRUE(DBSetting::setDataUpdate(3, 12, 1700000123));
    EXPECT_TRUE(DBSetting::getDataUpdate(3, &count, &time));
    EXPECT_EQ(count, 12);
    EXPECT_EQ(time, 1700000123);
    EXPECT_FALSE(DBSetting::getDataUpdate(99, &count, &time));

    int stamp = -1;
    EXPECT_TRUE(DBSetting::setTsushin(QStringLiteral("バックアップ"), 1700000999));
    EXPECT_TRUE(DBSetting::getTsushin(QStringLiteral("バックアップ"), &stamp));
    EXPECT_EQ(stamp, 1700000999);
    EXPECT_TRUE(DBSetting::getTsushin(QStringLiteral("リストア"), &stamp));
    EXPECT_EQ(stamp, 0);

    QString keyType, v = QStringLiteral("keep");
    EXPECT_TRUE(DBSetting::getManualAndSetting(QStringLiteral("二重打刻の有効秒数"), &keyType, &v));
    EXPECT_EQ(keyType, QStringLiteral("秒３桁"));
    EXPECT_EQ(v, QStringLiteral("60"));
    EXPECT_TRUE(DBSetting::getManualAndSetting(QStringLiteral("出勤モード"), &keyType, &v));
    EXPECT_EQ(keyType, QStringLiteral("時間帯なし"));
    EXPECT_EQ(v, QString()) << "a band has no row of its own name";
    EXPECT_TRUE(DBSetting::getKeyType(QStringLiteral("NTPサーバー"), &keyType));
    EXPECT_EQ(keyType, QStringLiteral("アドレスPING"));

    QString key = QStringLiteral("x"), url = QStringLiteral("y");
    EXPECT_TRUE(DBSetting::getUniqueInfo(&key, &url));
    EXPECT_TRUE(DBSetting::health());
}

}  // namespace
