#include "dbmaster.h"

#include "db.h"
#include "dbsession.h"
#include "debugline.h"
#include "loggabletext.h"
#include "mydebug.h"
#include "platform/clock.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>

namespace {

const QString masterDb = QStringLiteral("../DB/master.db");
const QString masterTempDb = QStringLiteral("../DB/master.temp.db");
const QString updateTimeFormat = QStringLiteral("yyyyMMddhhmmss");

QString nowSeconds()
{
    return QString::number(vnq::clock().now().toSecsSinceEpoch());
}

// The upper-case form of a card ID, or an empty text when it is not hexadecimal card-ID text
// (so it can never act as a LIKE pattern nor match the "CLEAR" marker).
QString cardKey(const QString& cardId)
{
    static const QRegularExpression hex(QStringLiteral("^[0-9A-F]{1,16}$"));
    const QString upper = cardId.toUpper();
    return hex.match(upper).hasMatch() ? upper : QString();
}

QString idLengthText(const QString& cardId, int idLength)
{
    return QString::number(idLength != 0 ? idLength : cardId.length() / 2);
}

}  // namespace

DBMaster::DBMaster(QObject* parent)
    : QObject(parent)
{
}

bool DBMaster::execQuery(const QString& sql, QString* a, QString* b, QString* c, const QVariantList& binds)
{
    return DB::getInstance()->execQuery(masterDb, sql, a, b, c, nullptr, binds);
}

bool DBMaster::execQuery(const QString& sql, int* a, int* b, int* c, const QVariantList& binds)
{
    return DB::getInstance()->execQuery(masterDb, sql, a, b, c, binds);
}

bool DBMaster::selectQuery(const QString& sql, QList<QStringList>* rows, const QVariantList& binds)
{
    return DB::getInstance()->selectQueryBase(masterDb, sql, rows, binds);
}

bool DBMaster::health()
{
    int count = 0;
    return execQuery(QStringLiteral("SELECT count(user_id) FROM master"), &count, nullptr, nullptr)
        && execQuery(QStringLiteral("SELECT count(user_id) FROM card"), &count, nullptr, nullptr);
}

bool DBMaster::setUser(int userId, const QString& name, int groupCode)
{
    int* none = nullptr;
    return execQuery(QStringLiteral("INSERT INTO master VALUES (?, ?, null, ?, '0', null, null, null);"), none, none,
                     none, {QString::number(userId), name, QString::number(groupCode)});
}

bool DBMaster::deleteAllUser()
{
    int* none = nullptr;
    return execQuery(QStringLiteral("DELETE FROM master;"), none, none, none);
}

bool DBMaster::getUserList(const QString& groupCode, QList<QStringList>* rows)
{
    return selectQuery(QStringLiteral("SELECT t.user_id, t.name FROM master t WHERE t.group_code = ? ;"), rows,
                       {groupCode});
}

bool DBMaster::getAllUserList(QList<QStringList>* rows)
{
    return selectQuery(QStringLiteral("SELECT t.user_id, t.name FROM master t ;"), rows);
}

bool DBMaster::getUserCount(int* count)
{
    return execQuery(QStringLiteral("SELECT Count(*) FROM master ;"), count, nullptr, nullptr);
}

bool DBMaster::setCard(const QString& cardId, const QString& type, int idLength, int userId)
{
    const QString upper = cardId.toUpper();
    if (upper != QLatin1String("CLEAR") && cardKey(upper).isEmpty())
        return false;
    int* none = nullptr;
    return execQuery(QStringLiteral("INSERT INTO card VALUES (?, ?, ?, ?, ?, 0);"), none, none, none,
                     {upper, type, idLengthText(cardId, idLength), nowSeconds(), QString::number(userId)});
}

bool DBMaster::replaceCardOfUser(int userId, const QString& cardId, const QString& type, int idLength)
{
    if (userId == 0)
        return false;
    const bool clear = cardId.compare(QLatin1String("CLEAR"), Qt::CaseInsensitive) == 0;
    const QString key = clear ? QStringLiteral("CLEAR") : cardKey(cardId);
    if (key.isEmpty())
        return false;
    QList<DB::Statement> statements{
        {QStringLiteral("DELETE FROM card WHERE user_id = ?;"), {QString::number(userId)}},
    };
    // Any other row of the same card belongs to a user the master no longer has (a card of a
    // known user is refused before it gets here): it goes, so the card has one row.
    if (!clear)
        statements.append({QStringLiteral("DELETE FROM card WHERE upper(card_id) = ?;"), {key}});
    statements.append({QStringLiteral("INSERT INTO card VALUES (?, ?, ?, ?, ?, 0);"),
                       {key, type, idLengthText(cardId, idLength), nowSeconds(), QString::number(userId)}});
    return DB::getInstance()->execTransaction(masterDb, statements);
}

bool DBMaster::deleteAllCard()
{
    int* none = nullptr;
    return execQuery(QStringLiteral("DELETE FROM card;"), none, none, none);
}

bool DBMaster::getCardIDByUserID(int userId, QString* cardId)
{
    const bool found = execQuery(QStringLiteral("SELECT t.card_id FROM card t WHERE t.user_id = ? ;"), cardId, nullptr,
                                 nullptr, {QString::number(userId)});
    if (cardId)
        *cardId = cardId->toUpper();
    return found;
}

bool DBMaster::getUserByUserID(int userId, QString* name, int* auth, QString* password, QString* cardId)
{
    QString foundName, foundAuth, foundPassword, foundCard;
    const bool user = execQuery(QStringLiteral("SELECT t.name, t.auth, t.password FROM master t WHERE t.user_id LIKE ? ;"),
                                &foundName, &foundAuth, &foundPassword, {QString::number(userId)});
    const bool card = getCardIDByUserID(userId, &foundCard);
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << user << card << userId << foundName
                << foundAuth << foundPassword << foundCard;
    if (!user || !card) {
        if (name)
            name->clear();
        if (password)
            password->clear();
        if (cardId)
            cardId->clear();
        if (auth)
            *auth = 0;
        return false;
    }
    if (name)
        *name = foundName;
    if (auth)
        *auth = foundAuth.toInt();
    if (password)
        *password = foundPassword;
    if (cardId)
        *cardId = foundCard.toUpper();
    return true;
}

bool DBMaster::getUserByCardID(const QString& cardId, int* userId, QString* name, int* auth, QString* password)
{
    const QString key = cardKey(cardId);
    QString foundUser, foundName, userName, userPassword, userCard;
    int userAuth = -1;
    bool card = false;
    if (!key.isEmpty()) {
        // No wildcard can be in the key, so LIKE is the case-insensitive equality of card IDs.
        card = execQuery(QStringLiteral("SELECT t.user_id, m.name FROM card t LEFT JOIN master m ON t.user_id = "
                                        "m.user_id WHERE t.card_id LIKE ? ;"),
                         &foundUser, &foundName, nullptr, {key});
    }
    // Looked up (and logged) whether or not the card was found; an unknown card asks for user 0.
    const bool user = getUserByUserID(foundUser.toInt(), &userName, &userAuth, &userPassword, &userCard);
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << card << user << foundUser << foundName
                << userAuth << userPassword << userCard;
    if (!card || !user) {
        if (userId)
            *userId = 0;
        if (name)
            name->clear();
        if (auth)
            *auth = -1;
        if (password)
            password->clear();
        return false;
    }
    if (userId)
        *userId = foundUser.toInt();
    if (name)
        *name = userName;
    if (auth)
        *auth = userAuth;
    if (password)
        *password = userPassword;
    return true;
}

bool DBMaster::deleteCardByUserID(int userId)
{
    int* none = nullptr;
    return execQuery(QStringLiteral("DELETE FROM card WHERE user_id != 0 AND user_id = ?;"), none, none, none,
                     {QString::number(userId)});
}

bool DBMaster::setCardAuth(const QString& cardId, const QString& text, int idLength, int auth)
{
    const QString key = cardKey(cardId);
    if (key.isEmpty())
        return false;
    int* none = nullptr;
    return execQuery(QStringLiteral("INSERT INTO card_auth VALUES (?, ?, ?, ?, ?);"), none, none, none,
                     {key, text, idLengthText(cardId, idLength), nowSeconds(), auth});
}

bool DBMaster::getCardAuthCount(int auth, int* count)
{
    if (count)
        *count = -1;
    return execQuery(QStringLiteral("SELECT Count(*) FROM card_auth t WHERE t.auth = ?;"), count, nullptr, nullptr,
                     {QString::number(auth)});
}

bool DBMaster::getCardAuthByCardID(const QString& cardId, int* auth)
{
    if (auth)
        *auth = -1;
    const QString key = cardKey(cardId);
    if (key.isEmpty())
        return false;
    return execQuery(QStringLiteral("SELECT t.auth FROM card_auth t WHERE t.card_id LIKE ? ;"), auth, nullptr, nullptr,
                     {key + QLatin1Char('%')});
}

bool DBMaster::deleteCardAuthByCardID(const QString& cardId)
{
    const QString key = cardKey(cardId);
    if (key.isEmpty())
        return false;
    int* none = nullptr;
    return execQuery(QStringLiteral("DELETE FROM card_auth WHERE card_id LIKE ?;"), none, none, none,
                     {key + QLatin1Char('%')});
}

bool DBMaster::deleteCardAuthLast(int auth)
{
    int* none = nullptr;
    return execQuery(QStringLiteral("DELETE FROM card_auth WHERE reg_datetime = (SELECT MAX(reg_datetime) FROM "
                                    "card_auth WHERE auth = ?) ;"),
                     none, none, none, {auth});
}

bool DBMaster::deleteCardAuthAll(int auth)
{
    int* none = nullptr;
    return execQuery(QStringLiteral("DELETE FROM card_auth WHERE auth = ?;"), none, none, none, {auth});
}

bool DBMaster::execQuery2(QSqlQuery* query, const QString& sql, const QVariantList& binds)
{
    const bool ok = DB::runStatement(*query, sql, binds, Q_FUNC_INFO, __LINE__);
    query->finish();
    return ok;
}

namespace {

// One bulk load: one transaction on the reload copy, each row stored by storeRow.
template <typename StoreRow>
bool bulkLoad(QList<QStringList>* rows, StoreRow storeRow)
{
    if (!rows)
        return false;
    // Held for the whole batch; the batches are short, so the watchdog flag stays as it is.
    DBSession session(masterTempDb, false);
    if (!session.isOpen())
        return false;
    QSqlDatabase& db = session.database();
    if (!db.transaction())
        return false;
    bool everyRow = true;
    {
        QSqlQuery query(db);
        for (const QStringList& row : *rows) {
            if (row.size() < 5) {
                MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "行データ不足"
                          << vnq::loggableText(row.join(QLatin1Char(',')));
                everyRow = false;
                continue;
            }
            if (!storeRow(&query, row))
                everyRow = false;
        }
    }
    if (!db.commit()) {
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << db.lastError().text();
        db.rollback();
        return false;
    }
    return everyRow;
}

}  // namespace

bool DBMaster::setUser2(QList<QStringList>* rows)
{
    return bulkLoad(rows, [](QSqlQuery* query, const QStringList& row) {
        return execQuery2(query,
                          QStringLiteral("INSERT INTO master VALUES ") + QStringLiteral("(?,?,null,?,'0',null,null,null)")
                              + QStringLiteral(" ;"),
                          {row.at(0), row.at(1), row.at(2)});
    });
}

bool DBMaster::setCard2(QList<QStringList>* rows)
{
    return bulkLoad(rows, [](QSqlQuery* query, const QStringList& row) {
        QDateTime updated = QDateTime::fromString(row.at(4), updateTimeFormat);
        if (!updated.isValid()) {
            MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "更新日時エラー" << -1
                          << vnq::loggableText(row.at(4));
            updated = QDateTime::fromString(QStringLiteral("20000101000000"), updateTimeFormat);
        }
        return execQuery2(query,
                          QStringLiteral("INSERT INTO card VALUES ") + QStringLiteral("(?,?,?,?,?,0)") + QStringLiteral(" ;"),
                          {row.at(3).toUpper(), QStringLiteral(""), QString::number(row.at(3).length() / 2),
                           QString::number(updated.toSecsSinceEpoch()), row.at(0)});
    });
}
