#include "meridapi.h"

#include "heartbeat.h"
#include "httpclient.h"
#include "meridbody.h"

#include "commandquote.h"
#include "dbdakoku.h"
#include "debugline.h"
#include "mydebug.h"
#include "platform/boardroot.h"
#include "platform/commandrunner.h"

namespace {

int wireFlag(const QString& flag)
{
    if (flag == QLatin1String("A"))
        return 1;
    if (flag == QLatin1String("C"))
        return 2;
    if (flag == QLatin1String("D"))
        return 3;
    if (flag == QLatin1String("S"))
        return 6;
    return 0;
}

}  // namespace

// Rows are {user_id, date, stamptime, kubun, flag, rowid}.
void MeridAPI::putStamp()
{
    emit apiInfo(mode(), QStringLiteral("打刻データ 送信中 %1件").arg(m_stampCount));
    m_batchRowids.clear();
    QList<QStringList> rows;
    const bool read = mode() == 5 ? DBDakoku::getDakokuAll2(&rows, StampBatch, m_stampCount)
                                  : DBDakoku::getDakokuUnsend2(&rows, StampBatch);
    if (!read)
        rows.clear();
    m_batchSize = rows.size();
    QString stamps;
    for (const QStringList& row : rows) {
        ++selftick;
        if (row.size() < 6)
            continue;
        if (mode() != 5)
            m_batchRowids << row[5].toInt();
        const QString time = DBDakoku::toDakokuSendStamptime(row[1], row[2]);
        if (!stamps.isEmpty())
            stamps += QLatin1Char(',');
        stamps += MeridBody()
                      .member(QStringLiteral("ymd"), time.left(8).toLongLong())
                      .member(QStringLiteral("hms"), time.mid(8).toLongLong())
                      .member(QStringLiteral("id_code"), row[0].toLongLong())
                      .member(QStringLiteral("kubun"), qlonglong(row[3].toFloat()))
                      .member(QStringLiteral("flag"), wireFlag(row[4]))
                      .text();
    }
    if (m_batchSize == 0) {
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "打刻データ 送信完了";
        emit receiveFinish(0, QStringLiteral("打刻データ 送信完了"));
        DBDakoku::trimDakokuSent(30000);
        dropPageCache();
        return;
    }
    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "打刻件数" << m_batchSize;
    post(QStringLiteral("/putStamp"),
         tokenBody()
             .raw(QStringLiteral("stamps"), QLatin1Char('[') + stamps + QLatin1Char(']'))
             .text(),
         &MeridAPI::resPutStamp);
}

void MeridAPI::dropPageCache()
{
    vnq::CommandRunner& runner = vnq::commandRunner();
    runner.shell(QStringLiteral("sync"));
    runner.shell(QStringLiteral("echo 3 > ") + vnq::shellWord(vnq::boardPath(QStringLiteral("/proc/sys/vm/drop_caches"))));
}

// A batch counts as sent only when the service answered it with result 0; -1101 renews the
// token and sends the same rows again, a few times at most.
void MeridAPI::resPutStamp(int ret, HttpClient* obj)
{
    readAnswer(ret, obj);
    if (m_resultCode == 0) {
        m_stampCount += m_batchSize;
        m_batchSize = 0;
        m_renewals = 0;
        if (mode() != 5)
            DBDakoku::setDakokuCloudSendSuccess(m_batchRowids);
        emit receiveFinish(0, QStringLiteral("打刻データ 送信成功"));
        return;
    }
    MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "何らかのエラー発生:" << m_resultCode;
    logFailedAnswer(ret, obj);
    if (m_resultCode == TokenExpired && m_renewals < MaxTokenRenewals) {
        ++m_renewals;
        emit receiveFinish(ret, QStringLiteral("打刻データ トークンタイムアウト"));
        return;
    }
    m_batchSize = 0;
    m_renewals = 0;
    emit receiveFinish(ret, QStringLiteral("打刻データ 送信失敗"));
}
