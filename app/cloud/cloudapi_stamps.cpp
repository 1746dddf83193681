#include "cloudapi.h"

#include "heartbeat.h"
#include "httpclient.h"
#include "soapenvelope.h"

#include "dbdakoku.h"
#include "debugline.h"
#include "mydebug.h"

#include <QXmlStreamReader>

namespace {

QString wireFlag(const QString& flag)
{
    if (flag == QLatin1String("A"))
        return QStringLiteral("1");
    if (flag == QLatin1String("C"))
        return QStringLiteral("2");
    if (flag == QLatin1String("D"))
        return QStringLiteral("3");
    if (flag == QLatin1String("S"))
        return QStringLiteral("6");
    return QStringLiteral("0");
}

}  // namespace

// Rows are {user_id, date, stamptime, kubun, flag, rowid}.
void CloudAPI::buildStampBatch(const QList<QStringList>& rows, bool logGarbage)
{
    m_batchRowids.clear();
    QString stamps;
    int position = 0;
    for (const QStringList& row : rows) {
        ++selftick;
        ++position;
        if (row.size() < 6)
            continue;
        if (logGarbage && (row[0].isEmpty() || row[1].isEmpty() || row[2].isEmpty() || row[3].isEmpty())) {
            MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "ゴミ打刻データ？ " << position << row[0]
                      << row[1] << row[2] << row[3] << row[4];
        }
        m_batchRowids << row[5].toInt();
        stamps += soap::group(QStringLiteral("StampRaw"),
                              soap::element(QStringLiteral("id_code"), row[0])
                                  + soap::element(QStringLiteral("kubun"),
                                                  QStringLiteral("%1").arg(int(row[3].toFloat()), 3, 10, QLatin1Char('0')))
                                  + soap::element(QStringLiteral("stamptime"), DBDakoku::toDakokuSendStamptime(row[1], row[2]))
                                  + soap::element(QStringLiteral("flag"), wireFlag(row[4])));
    }
    m_stampBody = QStringLiteral("<stamps>") + stamps + QStringLiteral("</stamps>");
}

void CloudAPI::dakokuDataSending()
{
    emit apiInfo(mode(), QStringLiteral("打刻データ 送信中 %1件").arg(m_stampCount));
    m_allSent = 0;
    QList<QStringList> rows;
    if (!DBDakoku::getDakokuUnsend(&rows, StampBatch) || rows.isEmpty()) {
        m_allSent = 1;
        m_batchRowids.clear();
        m_stampBody = QStringLiteral("<stamps></stamps>");
        emit receiveFinish(0, QStringLiteral("PutStampEnd"));
        return;
    }
    buildStampBatch(rows, false);
    DBDakoku::setDakokuCloudSending(m_batchRowids);
    putStampRaw();
}

void CloudAPI::sendDakokuData()
{
    emit apiInfo(mode(), QStringLiteral("打刻データ 送信中 %1件").arg(m_stampCount));
    m_allSent = 0;
    QList<QStringList> rows;
    const bool read = mode() == 5 ? DBDakoku::getDakokuAll(&rows, StampBatch, m_stampCount)
                                  : DBDakoku::getDakokuUnsend(&rows, StampBatch);
    if (!read || rows.isEmpty()) {
        m_allSent = 1;
        m_batchRowids.clear();
        m_stampBody = QStringLiteral("<stamps></stamps>");
        emit receiveFinish(0, QStringLiteral("PutStampEndByManual"));
        return;
    }
    buildStampBatch(rows, true);
    if (mode() != 5)
        DBDakoku::setDakokuCloudSending(m_batchRowids);
    putStampRawByManual();
}

void CloudAPI::putStampRaw()
{
    connectClient(&CloudAPI::resPutStampRaw);
    getTokenSeed();
}

void CloudAPI::putStampRawByManual()
{
    connectClient(&CloudAPI::resPutStampRawByManual);
    getTokenSeed();
}

void CloudAPI::resPutStampRaw(int ret, HttpClient* obj)
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << ret;
    if (resGetTokenSeed(ret, obj) != 0) {
        stopReceivedForGetTokenFailed(ret, obj);
        return;
    }
    postOperation(QStringLiteral("PutStampRaw"),
                  soap::element(QStringLiteral("token"), m_token)
                      + soap::element(QStringLiteral("client_unique_key"), m_clientUniqueKey) + m_stampBody,
                  &CloudAPI::resPutStampRaw2);
}

void CloudAPI::resPutStampRawByManual(int ret, HttpClient* obj)
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << ret;
    if (resGetTokenSeed(ret, obj) != 0) {
        const int running = mode();
        if (running == 5) {
            MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "全打刻データ 送信失敗";
        } else {
            MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "打刻データ 送信失敗";
        }
        DBDakoku::resetDakokuCloudSendStatus();
        disconnect(obj, nullptr, this, nullptr);
        m_mode = 0;
        emit finishedDakokuSending(QString::number(tokenFailureCode(ret)), -1);
        return;
    }
    postOperation(QStringLiteral("PutStampRaw"),
                  soap::element(QStringLiteral("token"), m_token)
                      + soap::element(QStringLiteral("client_unique_key"), m_clientUniqueKey) + m_stampBody,
                  &CloudAPI::resPutStampRaw2ByManual);
}

void CloudAPI::resPutStampRaw2(int ret, HttpClient* obj)
{
    finishStampBatch(ret, obj, QStringLiteral("PutStampEnd"));
}

void CloudAPI::resPutStampRaw2ByManual(int ret, HttpClient* obj)
{
    finishStampBatch(ret, obj, QStringLiteral("PutStampEndByManual"));
}

// A batch counts as delivered only when the service confirmed it: the exchange succeeded, its
// answer was read to the end and its result is "0". Its rows are then marked sent at once; an
// unconfirmed batch's rows go back to unsent and the upload stops there.
void CloudAPI::finishStampBatch(int ret, HttpClient* obj, const QString& step)
{
    m_resultCode = QStringLiteral("-9999");
    const bool complete = ret == 0 && readResult(obj);
    const bool marking = mode() != 5;
    bool confirmed = ret == 0 && complete && m_resultCode == QLatin1String("0");
    if (confirmed && marking && !DBDakoku::setDakokuCloudSendSuccess(m_batchRowids))
        confirmed = false;
    if (confirmed) {
        m_stampCount += m_batchRowids.size();
    } else {
        if (marking)
            DBDakoku::resetDakokuCloudSendStatus(m_batchRowids);
        m_uploadFailed = true;
        m_uploadFailCode = QString::number(tokenFailureCode(ret));
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "打刻データ 送信失敗" << ret << m_resultCode;
        emit apiInfo(mode(), QStringLiteral("打刻データ 送信失敗"));
    }
    m_batchRowids.clear();
    cascadeOrFinish(0, obj, step);
}
