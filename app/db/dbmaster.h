#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantList>

class QSqlQuery;

// Users, their cards and the per-card permission list of master.db. Card IDs are upper-case
// hexadecimal text ("CLEAR" marks a user without a card). A card ID that a look-up is given
// is used only as such text: anything else is not a card and finds nothing, and no card ID is
// ever taken as a pattern.
//
// The cloud clients replace the whole master: makeMasterReloadCopy() copies def/master.db to
// master.temp.db, setUser2 and setCard2 fill it in batches of at most BulkBatchRows rows (one
// transaction per call) and replaceMasterByReloadCopy() moves it over master.db; when the
// download fails, removeMasterReloadCopy() drops the copy and master.db stays as it was.
class DBMaster : public QObject {
    Q_OBJECT
public:
    explicit DBMaster(QObject* parent = nullptr);

    static constexpr int BulkBatchRows = 100;

    static bool health();
    static bool setUser(int userId, const QString& name, int groupCode);
    static bool deleteAllUser();
    static bool getUserList(const QString& groupCode, QList<QStringList>* rows);
    static bool getAllUserList(QList<QStringList>* rows);
    static bool getUserCount(int* count);

    // idLength 0 stores half the ID's length (its byte count).
    static bool setCard(const QString& cardId, const QString& type, int idLength, int userId);
    // The user's one card row becomes this card (or "CLEAR"), in one transaction: the user's
    // rows and any other row of the same card go, the new row comes. False, with nothing
    // changed, for user 0, a card ID that is not card-ID text, or a failed statement.
    static bool replaceCardOfUser(int userId, const QString& cardId, const QString& type, int idLength);
    static bool deleteAllCard();
    static bool getCardIDByUserID(int userId, QString* cardId);
    // true only when the user and the user's card row both exist; otherwise the outputs are
    // emptied (permission 0).
    static bool getUserByUserID(int userId, QString* name, int* auth, QString* password, QString* cardId);
    // true only when the card and its user both exist; otherwise user 0, empty name,
    // permission -1 and empty password.
    static bool getUserByCardID(const QString& cardId, int* userId, QString* name, int* auth, QString* password);
    static bool deleteCardByUserID(int userId);

    static bool setCardAuth(const QString& cardId, const QString& text, int idLength, int auth);
    static bool getCardAuthCount(int auth, int* count);
    // Matches the stored entries that begin with the card ID; -1 when there is none.
    static bool getCardAuthByCardID(const QString& cardId, int* auth);
    static bool deleteCardAuthByCardID(const QString& cardId);
    static bool deleteCardAuthLast(int auth);
    static bool deleteCardAuthAll(int auth);

    static bool execQuery2(QSqlQuery* query, const QString& sql, const QVariantList& binds = {});
    // Bulk loads into ../DB/master.temp.db, which must exist (it is never created). Each row:
    // [0] user id, [1] name, [2] group code, [3] card ID or "CLEAR", [4] card update time as
    // yyyyMMddhhmmss. A failing row is logged and skipped; the result is true only when the
    // file opened, every row was stored and the commit succeeded.
    static bool setUser2(QList<QStringList>* rows);
    static bool setCard2(QList<QStringList>* rows);

    // The master reload around the loaders. All three hold the database mutex, write a "<DBG>"
    // line per file step in the form of the equivalent shell line ("rm ...", "cp ...",
    // "mv ...", with the files' full paths) and an "<ERR>" line for a step that fails, and
    // return false then.
    //
    // Start of a reload: removes /VnQo/app/DB/master.temp.db and its rollback journal (a journal
    // left by an interrupted load would otherwise be played onto the fresh copy), then copies
    // the template /VnQo/app/DB/def/master.db to that name and syncs it and its directory.
    static bool makeMasterReloadCopy();
    // End of a reload: lets SQLite settle both files (a hot journal of the copy or of the live
    // master is rolled back onto its own file), removes any journal left of master.db, then
    // renames master.temp.db over master.db and syncs the directory, so the new master is on
    // storage, and no journal of the old file can apply to it, before true is returned. A copy
    // that is not a readable database is refused and master.db stays.
    static bool replaceMasterByReloadCopy();
    // A failed download: removes master.temp.db and its journal; master.db is not touched.
    static bool removeMasterReloadCopy();

private:
    static bool execQuery(const QString& sql, QString* a, QString* b, QString* c, const QVariantList& binds = {});
    static bool execQuery(const QString& sql, int* a, int* b, int* c, const QVariantList& binds = {});
    static bool selectQuery(const QString& sql, QList<QStringList>* rows, const QVariantList& binds = {});
};
