#pragma once

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantList>

// The stamps of dakoku.db. A stamp is dated by its working day (the local midnight that starts
// it, shifted by the day-change minute of its stamp group), may be cancelled by the
// double-stamp rule while it is young, and moves through the send states: 0 unsent, 1 being
// sent, otherwise the upload time. A stamp row handed out is {user_id, date, stamptime, kubun,
// flag, rowid}, all as text.
class DBDakoku : public QObject {
    Q_OBJECT
public:
    explicit DBDakoku(QObject* parent = nullptr);
    ~DBDakoku() override;

    static bool execQuery(const QString& sql, QString* col1, QString* col2, QString* col3, QString* col4,
                          const QVariantList& binds = {});
    static bool execQuery(const QString& sql, int* col1, int* col2, int* col3, const QVariantList& binds = {});
    static bool selectQuery(const QString& sql, QList<QStringList>* rows, const QVariantList& binds = {});

    // Inserts one stamp, valid and unsent. The door-unlock variants 822, 825, 923, 924 and 935
    // are stored as 821 but dated by the rule of their own stamp group.
    static bool setDakoku(int userId, float kubun, const QDateTime& stamp);
    // The double-stamp cancel followed by the insert of each given kind (the clock screen's one
    // stamp, plus the door-unlock stamp in the door-lock modes), all in one transaction: when
    // any part fails nothing changes, the user's earlier stamps included.
    static bool setDakokuWithCancel(int userId, const QList<float>& kubuns, const QDateTime& stamp);
    // Seconds since 1970 of the local midnight that starts the stamp's working day.
    static uint toDakokuDate(const QDateTime& stamp, int kubun);
    // Cancels the user's valid stamps (door unlocks excepted) inserted within the double-stamp
    // window before now, and marks them unsent so the cancellation is uploaded.
    static bool deleteDakokuLast(int userId);

    static bool getDakokuUnsend(QList<QStringList>* rows, int limit);
    // As getDakokuUnsend, holding back the stamps that the double-stamp rule may still cancel.
    static bool getDakokuUnsend2(QList<QStringList>* rows, int limit);
    static bool getDakokuAll(QList<QStringList>* rows, int limit, int offset);
    static bool getDakokuAll2(QList<QStringList>* rows, int limit, int offset);
    static bool getDakokuUnsentCount(uint* count);
    // clause: empty or a WHERE clause written by the caller's code (never user data).
    static bool getDakokuCountMaxMin(int* count, QDateTime* minDate, QDateTime* maxDate, const QString& clause);

    static bool setDakokuCloudSending(const QList<int>& rowids);
    static bool setDakokuCloudSending(const QString& userId, int stamptime, const QString& kubun);
    static bool setDakokuCloudSendSuccess();
    static bool setDakokuCloudSendSuccess(const QList<int>& rowids);
    static bool resetDakokuCloudSendStatus();
    // Only these rows, and only while they are still "being sent".
    static bool resetDakokuCloudSendStatus(const QList<int>& rowids);
    // Deletes the uploaded stamps older than the newest `keep` stamps.
    static bool trimDakokuSent(uint keep);

    // The upload text of a stamp time: yyyyMMdd of the working day, then hours (not limited
    // to 23), minutes and seconds since the working day's midnight.
    static QString toDakokuSendStamptime(const QString& date, const QString& stamptime);

    static bool health();
    static bool deleteAllDakoku();
};
