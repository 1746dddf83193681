#include "dbmaster.h"
#include "dbtestfixture.h"
#include "fakeclock.h"
#include "messagecapture.h"

#include <QFile>
#include <QFileInfo>

namespace {

using vnq::test::DbTest;

class MasterTest : public DbTest {
protected:
    QString masterValue(const QString& sql) { return value(QStringLiteral("master.db"), sql); }
};

TEST_F(MasterTest, CardsAreFoundByTheirHexTextInAnyCase)
{
    ASSERT_TRUE(DBMaster::setUser(5, QStringLiteral("山田 太郎"), 1));
    ASSERT_TRUE(DBMaster::setCard(QStringLiteral("0123456789abcdef"), QStringLiteral("FeliCa"), 0, 5));
    EXPECT_EQ(masterValue(QStringLiteral("SELECT card_id || '/' || id_length FROM card")),
              QStringLiteral("0123456789ABCDEF/8"));

    int user = -9, auth = -9;
    QString name, password = QStringLiteral("x");
    EXPECT_TRUE(DBMaster::getUserByCardID(QStringLiteral("0123456789abcdef"), &user, &name, &auth, &password));
    EXPECT_EQ(user, 5);
    EXPECT_EQ(name, QStringLiteral("山田 太郎"));
    EXPECT_EQ(auth, 0);
    EXPECT_EQ(password, QString());

    // Patterns and texts that are no card ID find nothing.
    for (const char* notACard : {"%", "0123%", "0123456789ABCDE_", "", "clear", "0123456789ABCDEF0"}) {
        user = -9;
        EXPECT_FALSE(DBMaster::getUserByCardID(QString::fromUtf8(notACard), &user, &name, &auth, &password))
            << notACard;
        EXPECT_EQ(user, 0);
        EXPECT_EQ(auth, -1);
    }
    EXPECT_FALSE(DBMaster::setCard(QStringLiteral("12%4"), QString(), 0, 5));
}

TEST_F(MasterTest, HalfRegisteredUsersAndCardsAreNotRegistered)
{
    // A card pointing at a user that does not exist.
    ASSERT_TRUE(DBMaster::setCard(QStringLiteral("00000000000000AA"), QStringLiteral("TypeA"), 4, 77));
    int user = -9, auth = -9;
    QString name = QStringLiteral("keep"), password = QStringLiteral("keep");
    EXPECT_FALSE(DBMaster::getUserByCardID(QStringLiteral("00000000000000aa"), &user, &name, &auth, &password));
    EXPECT_EQ(user, 0);
    EXPECT_EQ(name, QString());
    EXPECT_EQ(auth, -1);
    EXPECT_EQ(password, QString());

    // A user without any card row.
    ASSERT_TRUE(DBMaster::setUser(6, QStringLiteral("佐藤"), 1));
    QString card = QStringLiteral("keep");
    EXPECT_FALSE(DBMaster::getUserByUserID(6, &name, &auth, &password, &card));
    EXPECT_EQ(name + password + card, QString());
    EXPECT_EQ(auth, 0);

    // A user whose card was removed: the "CLEAR" row.
    ASSERT_TRUE(DBMaster::setCard(QStringLiteral("CLEAR"), QString(), 5, 6));
    EXPECT_TRUE(DBMaster::getCardIDByUserID(6, &card));
    EXPECT_EQ(card, QStringLiteral("CLEAR"));
    EXPECT_TRUE(DBMaster::getUserByUserID(6, &name, &auth, &password, &card));
    EXPECT_EQ(name, QStringLiteral("佐藤"));

    EXPECT_TRUE(DBMaster::deleteCardByUserID(0));
    EXPECT_EQ(masterValue(QStringLiteral("SELECT COUNT(*) FROM card")), QStringLiteral("2"));
    EXPECT_TRUE(DBMaster::deleteCardByUserID(6));
    EXPECT_EQ(masterValue(QStringLiteral("SELECT COUNT(*) FROM card")), QStringLiteral("1"));
}

TEST_F(MasterTest, CardPermissionsMatchByBoundPrefix)
{
    ASSERT_TRUE(DBMaster::setCardAuth(QStringLiteral("0123ABCD01"), QString(), 0, 3));
    ASSERT_TRUE(DBMaster::setCardAuth(QStringLiteral("FFFF000000000001"), QString(), 0, 1));
    int auth = 0;
    EXPECT_TRUE(DBMaster::getCardAuthByCardID(QStringLiteral("0123abcd"), &auth));
    EXPECT_EQ(auth, 3);
    EXPECT_FALSE(DBMaster::getCardAuthByCardID(QStringLiteral("9999"), &auth));
    EXPECT_EQ(auth, -1);
    EXPECT_FALSE(DBMaster::getCardAuthByCardID(QStringLiteral("%"), &auth));

    // An empty or wildcard ID must not delete every entry.
    EXPECT_FALSE(DBMaster::deleteCardAuthByCardID(QString()));
    EXPECT_FALSE(DBMaster::deleteCardAuthByCardID(QStringLiteral("%")));
    EXPECT_EQ(masterValue(QStringLiteral("SELECT COUNT(*) FROM card_auth")), QStringLiteral("2"));
    EXPECT_TRUE(DBMaster::deleteCardAuthByCardID(QStringLiteral("0123abcd")));
    int count = 0;
    EXPECT_TRUE(DBMaster::getCardAuthCount(1, &count));
    EXPECT_EQ(count, 1);
    EXPECT_EQ(masterValue(QStringLiteral("SELECT COUNT(*) FROM card_auth")), QStringLiteral("1"));
}

// The newest registration of a permission goes, with every entry of the same second.
TEST_F(MasterTest, DeleteCardAuthLastRemovesTheNewestSecondOfThatPermission)
{
    vnq::test::FakeClock clock;
    ASSERT_TRUE(DBMaster::setCardAuth(QStringLiteral("00000000000000A1"), QString(), 0, 1));
    clock.advanceMs(5000);
    ASSERT_TRUE(DBMaster::setCardAuth(QStringLiteral("00000000000000A2"), QString(), 0, 3));
    ASSERT_TRUE(DBMaster::setCardAuth(QStringLiteral("00000000000000A3"), QString(), 0, 1));
    clock.advanceMs(5000);
    ASSERT_TRUE(DBMaster::setCardAuth(QStringLiteral("00000000000000A4"), QString(), 0, 3));
    const QString left = QStringLiteral("SELECT group_concat(card_id) FROM card_auth ORDER BY rowid");

    EXPECT_TRUE(DBMaster::deleteCardAuthLast(5)) << "no entry of that permission";
    EXPECT_EQ(masterValue(left), QStringLiteral("00000000000000A1,00000000000000A2,00000000000000A3,00000000000000A4"));
    EXPECT_TRUE(DBMaster::deleteCardAuthLast(1));
    EXPECT_EQ(masterValue(left), QStringLiteral("00000000000000A1,00000000000000A4"));
    EXPECT_TRUE(DBMaster::deleteCardAuthAll(3));
    EXPECT_EQ(masterValue(left), QStringLiteral("00000000000000A1"));
}

// The cloud clients' reload: a fresh copy of the template, filled batch by batch, then moved
// over the live master.
class MasterReload : public MasterTest {
protected:
    vnq::test::ScopedTimeZone zone{"JST-9"};  // update times are local, not UTC
    QString temp() const { return dbFile(QStringLiteral("master.temp.db")); }
    bool copyTemplate() { return DBMaster::makeMasterReloadCopy(); }

    static QList<QStringList> users(int count)
    {
        QList<QStringList> rows;
        for (int i = 1; i <= count; ++i) {
            const QString name = i == 2 ? QStringLiteral("O'Brien") : QStringLiteral("社員%1").arg(i);
            const QString card = i == 3 ? QStringLiteral("CLEAR") : QStringLiteral("01020304%1").arg(i, 8, 16, QLatin1Char('0'));
            const QString updated = i == 4 ? QStringLiteral("20241301000000") : QStringLiteral("20240105123000");
            rows << QStringList{QString::number(i), name, QStringLiteral("10"), card, updated};
        }
        return rows;
    }
};

TEST_F(MasterReload, LoadsInBatchesAndReplacesTheMasterWhole)
{
    ASSERT_TRUE(DBMaster::setUser(999, QStringLiteral("旧ユーザー"), 1));
    vnq::test::MessageCapture capture;
    ASSERT_TRUE(copyTemplate());

    const QList<QStringList> all = users(250);
    int calls = 0;
    for (int start = 0; start < all.size(); start += DBMaster::BulkBatchRows) {
        QList<QStringList> batch = all.mid(start, DBMaster::BulkBatchRows);
        EXPECT_LE(batch.size(), 100);
        EXPECT_TRUE(DBMaster::setUser2(&batch));
        EXPECT_TRUE(DBMaster::setCard2(&batch));
        ++calls;
        // Readers keep seeing the old master until the move.
        EXPECT_EQ(masterValue(QStringLiteral("SELECT COUNT(*) FROM master")), QStringLiteral("1"));
    }
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(capture.matching(QStringLiteral("更新日時エラー")).size(), 1);

    ASSERT_TRUE(DBMaster::replaceMasterByReloadCopy());
    EXPECT_FALSE(QFileInfo::exists(temp()));
    // The file steps are logged as the shell lines they stand for, in their order.
    const QString copy = board.path(QStringLiteral("/VnQo/app/DB/master.temp.db"));
    QStringList steps;
    for (const QString& line : capture.matching(QStringLiteral("<DBG>")))
        for (const QString& step : {QStringLiteral("\"rm "), QStringLiteral("\"cp "), QStringLiteral("\"mv ")})
            if (line.contains(step))
                steps << line.mid(line.indexOf(step)).trimmed();
    EXPECT_EQ(steps.join(QLatin1Char('\n')).toStdString(), (QStringList{QStringLiteral("\"rm %1\"").arg(copy),
                                  QStringLiteral("\"cp %1 %2\"").arg(board.path(QStringLiteral("/VnQo/app/DB/def/master.db")), copy),
                                  QStringLiteral("\"mv %1 %2\"").arg(copy, board.path(QStringLiteral("/VnQo/app/DB/master.db")))})
                                                                .join(QLatin1Char('\n'))
                                                                .toStdString());

    int count = 0;
    EXPECT_TRUE(DBMaster::getUserCount(&count));
    EXPECT_EQ(count, 250);
    int user = 0, auth = -9;
    QString name, password;
    EXPECT_TRUE(DBMaster::getUserByCardID(QStringLiteral("0102030400000002"), &user, &name, &auth, &password));
    EXPECT_EQ(name, QStringLiteral("O'Brien"));
    QString card;
    EXPECT_TRUE(DBMaster::getCardIDByUserID(3, &card));
    EXPECT_EQ(card, QStringLiteral("CLEAR"));
    EXPECT_EQ(masterValue(QStringLiteral("SELECT reg_datetime FROM card WHERE user_id = 4")),
              QString::number(QDateTime(QDate(2000, 1, 1), QTime(0, 0)).toSecsSinceEpoch()));
    EXPECT_EQ(masterValue(QStringLiteral("SELECT card_type || '/' || id_length FROM card WHERE user_id = 1")),
              QStringLiteral("/8"));
}

TEST_F(MasterReload, AFailedRowFailsTheLoad)
{
    ASSERT_TRUE(copyTemplate());
    ASSERT_TRUE(raw(QStringLiteral("master.temp.db"),
                    {QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON master WHEN NEW.user_id = 2 "
                                    "BEGIN SELECT RAISE(ABORT, 'forced'); END")}));
    QList<QStringList> batch = users(3);
    EXPECT_FALSE(DBMaster::setUser2(&batch));
    EXPECT_EQ(value(QStringLiteral("master.temp.db"), QStringLiteral("SELECT group_concat(user_id) FROM master")),
              QStringLiteral("1,3"));

    QList<QStringList> shortRow{{QStringLiteral("4"), QStringLiteral("短い")}};
    EXPECT_FALSE(DBMaster::setUser2(&shortRow));
    EXPECT_FALSE(DBMaster::setCard2(&shortRow));
}

TEST_F(MasterReload, AnUnreadableCopyNeverReplacesTheMasterAndARemovedCopyTakesItsJournal)
{
    ASSERT_TRUE(DBMaster::setUser(7, QStringLiteral("残る"), 1));
    ASSERT_TRUE(board.writeFile(QStringLiteral("/VnQo/app/DB/master.temp.db"), QByteArray(4096, 'x')));
    vnq::test::MessageCapture capture;
    EXPECT_FALSE(DBMaster::replaceMasterByReloadCopy());
    EXPECT_EQ(capture.matching(QStringLiteral("<ERR>")).size(), 1);
    EXPECT_EQ(masterValue(QStringLiteral("SELECT name FROM master")), QStringLiteral("残る"));

    ASSERT_TRUE(board.writeFile(QStringLiteral("/VnQo/app/DB/master.temp.db-journal"), QByteArray(512, 'j')));
    EXPECT_TRUE(DBMaster::removeMasterReloadCopy());
    EXPECT_FALSE(QFileInfo::exists(temp()));
    EXPECT_FALSE(QFileInfo::exists(temp() + QStringLiteral("-journal")));
    EXPECT_TRUE(DBMaster::removeMasterReloadCopy());  // nothing left to remove is no failure
}

TEST_F(MasterReload, AMissingTempFileIsRefusedNotCreated)
{
    QList<QStringList> batch = users(2);
    EXPECT_FALSE(DBMaster::setUser2(&batch));
    EXPECT_FALSE(DBMaster::setCard2(&batch));
    EXPECT_FALSE(QFileInfo::exists(temp()));
}

}  // namespace
