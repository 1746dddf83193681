#include "dbdakoku.h"

#include "db.h"
#include "dbsetting.h"
#include "debugline.h"
#include "mydebug.h"
#include "platform/clock.h"
#include "zsystem.h"

namespace {

const QString dakokuDb = QStringLiteral("../DB/dakoku.db");
const int doorUnlock = 821;

const QString insertStamp = QStringLiteral("INSERT INTO dakoku VALUES (?, ?, ?, ?, ?, ' ', 0);");
const QString cancelRecent = QStringLiteral(
    "UPDATE dakoku    SET flag = 'D', send = '0'  WHERE user_id = ?    AND flag = ' '    AND kubun != '821'"
    "    AND (insert_datetime >= ? AND insert_datetime < ?) ;");

qint64 nowSeconds()
{
    return vnq::clock().now().toSecsSinceEpoch();
}

QString text(qint64 value)
{
    return QString::number(value);
}

// The double-stamp window in seconds; 0 (nothing cancelled, nothing held back) when unreadable.
int doubleStampWindow()
{
    int seconds = 0;
    DBSetting::getSetting(QStringLiteral("二重打刻の有効秒数"), &seconds);
    return seconds;
}

int storedKind(int kubun)
{
    switch (kubun) {
    case 822:
    case 825:
    case 923:
    case 924:
    case 935:
        return doorUnlock;
    default:
        return kubun;
    }
}

DB::Statement insertStatement(int userId, float kubun, const QDateTime& stamp, qint64 now)
{
    const uint day = DBDakoku::toDakokuDate(stamp, int(kubun));
    const int kind = int(kubun);
    const double stored = storedKind(kind) == kind ? double(kubun) : double(doorUnlock);
    return {insertStamp,
            {text(userId), text(now), text(day), text(stamp.toSecsSinceEpoch()),
             QStringLiteral("%1").arg(stored, 0, 'g', -1)}};
}

QString rowidList(const QList<int>& rowids)
{
    QStringList ids;
    for (int id : rowids)
        ids << QString::number(id);
    return ids.join(QLatin1Char(','));
}

const QString stampColumns = QStringLiteral("SELECT t.user_id, t.date, t.stamptime, t.kubun, t.flag, t.rowid FROM dakoku t ");

}  // namespace

DBDakoku::DBDakoku(QObject* parent)
    : QObject(parent)
{
}

DBDakoku::~DBDakoku() = default;

bool DBDakoku::execQuery(const QString& sql, QString* col1, QString* col2, QString* col3, QString* col4,
                         const QVariantList& binds)
{
    return DB::getInstance()->execQuery(dakokuDb, sql, col1, col2, col3, col4, binds);
}

bool DBDakoku::execQuery(const QString& sql, int* col1, int* col2, int* col3, const QVariantList& binds)
{
    return DB::getInstance()->execQuery(dakokuDb, sql, col1, col2, col3, binds);
}

bool DBDakoku::selectQuery(const QString& sql, QList<QStringList>* rows, const QVariantList& binds)
{
    return DB::getInstance()->selectQueryBase(dakokuDb, sql, rows, binds);
}

bool DBDakoku::health()
{
    int count = 0;
    return execQuery(QStringLiteral("SELECT count(stamptime) FROM dakoku;"), &count, nullptr, nullptr);
}

bool DBDakoku::deleteAllDakoku()
{
    int* none = nullptr;
    return execQuery(QStringLiteral("DELETE FROM dakoku;"), none, none, none);
}

bool DBDakoku::setDakoku(int userId, float kubun, const QDateTime& stamp)
{
    const DB::Statement insert = insertStatement(userId, kubun, stamp, nowSeconds());
    int* none = nullptr;
    return execQuery(insert.sql, none, none, none, insert.binds);
}

bool DBDakoku::setDakokuWithCancel(int userId, const QList<float>& kubuns, const QDateTime& stamp)
{
    // Settings are read before the transaction takes the database lock.
    const qint64 now = nowSeconds();
    QList<DB::Statement> statements{{cancelRecent, {text(userId), text(now - doubleStampWindow()), text(now)}}};
    for (float kubun : kubuns)
        statements << insertStatement(userId, kubun, stamp, now);
    return DB::getInstance()->execTransaction(dakokuDb, statements);
}

uint DBDakoku::toDakokuDate(const QDateTime& stamp, int kubun)
{
    const bool merid = ZSystem::mode() == ZSystem::Merid;
    int minutes = 0;
    if (!merid) {
        QString item;
        switch (kubun) {
        case 1:
        case 822:
            item = QStringLiteral("出勤日替時刻");
            break;
        case 102:
        case 923:
            item = QStringLiteral("退勤日替時刻");
            break;
        case 4:
        case 825:
        case 103:
        case 924:
            item = QStringLiteral("外出再入日替時刻");
            break;
        default:
            DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "日替わりなし kubun:" << kubun;
            break;
        }
        if (!item.isEmpty() && !DBSetting::getSetting(item, &minutes)) {
            MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:"
                      << "## クリティカル ##日替わり設定時刻が取得できませんでした。";
            minutes = 0;
        }
    }

    const QDate day = stamp.toLocalTime().date();
    const QDateTime midnight(day, QTime(0, 0), Qt::LocalTime);
    const QDateTime previousMidnight(day.addDays(-1), QTime(0, 0), Qt::LocalTime);
    if (merid)
        return uint(midnight.toSecsSinceEpoch());
    if (kubun == 114 || kubun == 935)
        return uint(previousMidnight.toSecsSinceEpoch());
    const qint64 change = midnight.toSecsSinceEpoch() + qint64(minutes) * 60;
    return uint(stamp.toSecsSinceEpoch() >= change ? midnight.toSecsSinceEpoch()
                                                   : previousMidnight.toSecsSinceEpoch());
}

bool DBDakoku::deleteDakokuLast(int userId)
{
    const int window = doubleStampWindow();
    const qint64 now = nowSeconds();
    int* none = nullptr;
    return execQuery(cancelRecent, none, none, none, {text(userId), text(now - window), text(now)});
}

bool DBDakoku::getDakokuUnsend(QList<QStringList>* rows, int limit)
{
    return selectQuery(stampColumns + QStringLiteral("WHERE t.send = '0' ORDER BY t.insert_datetime ASC, t.rowid ASC LIMIT ?;"),
                       rows, {limit});
}

bool DBDakoku::getDakokuUnsend2(QList<QStringList>* rows, int limit)
{
    const qint64 held = nowSeconds() - doubleStampWindow();
    return selectQuery(stampColumns
                           + QStringLiteral("WHERE t.send = '0'    AND t.insert_datetime < ? "
                                            "ORDER BY t.insert_datetime ASC, t.rowid ASC LIMIT ?;"),
                       rows, {text(held), limit});
}

bool DBDakoku::getDakokuAll(QList<QStringList>* rows, int limit, int offset)
{
    return selectQuery(stampColumns + QStringLiteral("ORDER BY t.insert_datetime, t.rowid LIMIT ? OFFSET ?;"), rows,
                       {limit, offset});
}

bool DBDakoku::getDakokuAll2(QList<QStringList>* rows, int limit, int offset)
{
    const qint64 held = nowSeconds() - doubleStampWindow();
    return selectQuery(stampColumns
                           + QStringLiteral("WHERE t.insert_datetime < ? ORDER BY t.insert_datetime, t.rowid "
                                            "LIMIT ? OFFSET ?;"),
                       rows, {text(held), limit, offset});
}

bool DBDakoku::getDakokuUnsentCount(uint* count)
{
    int unsent = 0;
    if (!execQuery(QStringLiteral("SELECT Count(t.user_id) FROM dakoku t WHERE t.send = '0' ;"), &unsent, nullptr,
                   nullptr))
        return false;
    if (count)
        *count = uint(unsent);
    return true;
}

bool DBDakoku::getDakokuCountMaxMin(int* count, QDateTime* minDate, QDateTime* maxDate, const QString& clause)
{
    const QString sql = QStringLiteral("SELECT COUNT(*), MIN(date), MAX(date) FROM dakoku %1 ;").arg(clause);
    QString total, oldest, newest;
    if (!execQuery(sql, &total, &oldest, &newest, nullptr)) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "打刻件数取得失敗：" << sql;
        return false;
    }
    if (count)
        *count = total.toInt();
    if (minDate)
        minDate->setSecsSinceEpoch(oldest.toLongLong());
    if (maxDate)
        maxDate->setSecsSinceEpoch(newest.toLongLong());
    return true;
}

bool DBDakoku::setDakokuCloudSending(const QList<int>& rowids)
{
    if (rowids.isEmpty())
        return true;
    int* none = nullptr;
    return execQuery(QStringLiteral("UPDATE dakoku SET send = '1' WHERE rowid IN (%1) ;").arg(rowidList(rowids)), none,
                     none, none);
}

bool DBDakoku::setDakokuCloudSending(const QString& userId, int stamptime, const QString& kubun)
{
    int* none = nullptr;
    return execQuery(QStringLiteral("UPDATE dakoku SET send = '1' WHERE user_id = ? AND stamptime = ? AND kubun = ? ;"),
                     none, none, none, {userId, text(stamptime), kubun});
}

bool DBDakoku::setDakokuCloudSendSuccess()
{
    int* none = nullptr;
    return execQuery(QStringLiteral("UPDATE dakoku SET send = ? WHERE send = '1' ;"), none, none, none,
                     {text(nowSeconds())});
}

bool DBDakoku::setDakokuCloudSendSuccess(const QList<int>& rowids)
{
    if (rowids.isEmpty())
        return true;
    int* none = nullptr;
    return execQuery(QStringLiteral("UPDATE dakoku SET send = ? WHERE rowid IN (%1) ;").arg(rowidList(rowids)), none,
                     none, none, {text(nowSeconds())});
}

bool DBDakoku::resetDakokuCloudSendStatus()
{
    int* none = nullptr;
    return execQuery(QStringLiteral("UPDATE dakoku SET send = '0' WHERE send = '1' ;"), none, none, none);
}

bool DBDakoku::resetDakokuCloudSendStatus(const QList<int>& rowids)
{
    if (rowids.isEmpty())
        return true;
    int* none = nullptr;
    return execQuery(QStringLiteral("UPDATE dakoku SET send = '0' WHERE send = '1' AND rowid IN (%1) ;").arg(rowidList(rowids)),
                     none, none, none);
}

bool DBDakoku::trimDakokuSent(uint keep)
{
    QString boundary;
    if (!execQuery(QStringLiteral("SELECT MIN(sub.insert_datetime) FROM (SELECT t.insert_datetime FROM dakoku t "
                                  "ORDER BY t.insert_datetime DESC LIMIT ?) AS sub ;"),
                   &boundary, nullptr, nullptr, nullptr, {qint64(keep)}))
        return false;
    int* none = nullptr;
    return execQuery(QStringLiteral("DELETE FROM dakoku WHERE send > 1 AND insert_datetime < ?;"), none, none, none,
                     {text(boundary.toLongLong())});
}

QString DBDakoku::toDakokuSendStamptime(const QString& date, const QString& stamptime)
{
    const qint64 day = date.toLongLong();
    const quint32 diff = quint32(stamptime.toLongLong() - day);
    const QChar zero(QLatin1Char('0'));
    return QDateTime::fromSecsSinceEpoch(day).toString(QStringLiteral("yyyyMMdd"))
        + QStringLiteral("%1%2%3")
              .arg(diff / 3600, 2, 10, zero)
              .arg((diff / 60) % 60, 2, 10, zero)
              .arg(diff % 60, 2, 10, zero);
}
