#include "cloudapi.h"

#include "httpclient.h"

#include "dbdakoku.h"
#include "dbsetting.h"
#include "mydebug.h"

namespace {

bool isChainMode(int mode)
{
    return mode == 1 || mode == 3 || mode == 4 || mode == 5;
}

bool isManual(int mode)
{
    return mode == 4 || mode == 5;
}

}  // namespace

bool CloudAPI::startDataRequest(quint8 mode)
{
    if (!isChainMode(mode)) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "リクエストモード不正" << int(mode);
        emit allUpdateFinish(mode, QStringLiteral("failed"));
        return false;
    }
    int idle = 0;
    if (!m_mode.compare_exchange_strong(idle, mode)) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "リクエスト実行中のためエラー" << int(mode) << idle;
        if (isManual(mode))
            emit finishedDakokuSending(QStringLiteral("-9999"), 0);
        else
            emit allUpdateFinish(mode, QStringLiteral("failed"));
        return false;
    }
    QMetaObject::invokeMethod(this, [this, mode] { runDataRequest(mode); }, Qt::QueuedConnection);
    return true;
}

void CloudAPI::runDataRequest(quint8 mode)
{
    // Stamps left "being sent" by a run that never got its answer go back to unsent.
    DBDakoku::resetDakokuCloudSendStatus();
    m_updateStates = QVector<UpdateState>(UpdateKinds);
    m_uploadFailed = false;
    m_uploadFailCode.clear();
    m_batchRowids.clear();
    m_stampBody.clear();
    m_stampCount = 0;
    m_allSent = 0;
    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "データリクエスト開始" << int(mode);
    if (mode == 1)
        getVantroDataUpdateTime();
    else if (mode == 3)
        dakokuDataSending();
    else
        sendDakokuData();
}

void CloudAPI::cascadeOrFinish(int ret, HttpClient* obj, QString nextProcString)
{
    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "cascade or finished!!" << ret << nextProcString;
    if (obj)
        disconnect(obj, nullptr, nullptr, nullptr);
    emit receiveFinish(ret, nextProcString);
}

void CloudAPI::cascadeOrFinish(int ret, HttpClient* obj)
{
    cascadeOrFinish(ret, obj, QString());
}

void CloudAPI::stopReceivedForGetTokenFailed(int ret, HttpClient* obj)
{
    emit apiInfo(mode(), QStringLiteral("トークン 取得失敗"));
    MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "Get Token Failed!!" << ret << m_resultCode;
    const int code = tokenFailureCode(ret);
    if (obj)
        disconnect(obj, nullptr, nullptr, nullptr);
    emit receiveFinish(code, QString());
}

void CloudAPI::recieveCB(int ret, QString option)
{
    if (ret != 0) {
        endChain(ret, option);
        return;
    }
    if (option == QLatin1String("PutInfoEnd")) {
        endChain(0, option);
        return;
    }
    if (option == QLatin1String("PutStampEnd") || option == QLatin1String("PutStampEndByManual")) {
        m_stampBody.clear();
        if (m_uploadFailed) {
            afterUpload();
        } else if (m_allSent != 1) {
            if (option == QLatin1String("PutStampEnd"))
                dakokuDataSending();
            else
                sendDakokuData();
        } else {
            if (mode() == 5) {
                MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "全打刻データ 送信完了" << m_stampCount;
            } else {
                MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "打刻データ 送信完了" << m_stampCount;
                DBDakoku::trimDakokuSent(30000);
            }
            emit apiInfo(mode(), QStringLiteral("打刻データ 送信完了"));
            afterUpload();
        }
        return;
    }

    // A download step ended: the next pending download, or the commit of the update times.
    for (UpdateState& state : m_updateStates) {
        if (!state.pending)
            continue;
        switch (state.dataKind) {
        case 1:
            getVantroUser();
            return;
        case 5:
            getVantroSetting();
            return;
        case 6:
            getCommCycle();
            return;
        default:
            state.pending = false;
            break;
        }
    }
    for (const UpdateState& state : m_updateStates) {
        if (state.updateTime > 0)
            DBSetting::setDataUpdate(state.dataKind, state.value, state.updateTime);
    }
    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "更新チェックおわり" << option;
    if (mode() == 1)
        dakokuDataSending();
    else
        putVantroInfo();
}

// The step after the stamp upload: the status report in mode 1 (whose downloads came first),
// the data update times otherwise.
void CloudAPI::afterUpload()
{
    if (mode() == 1)
        putVantroInfo();
    else
        getVantroDataUpdateTime();
}

void CloudAPI::endChain(int ret, const QString& option)
{
    const int running = mode();
    const bool reported = ret == 0 && !m_uploadFailed;
    if (reported) {
        MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "リクエスト全部おわり" << option;
    } else {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "リクエスト失敗" << option;
        if (running == 5)
            MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "全打刻データ 送信失敗";
    }
    // No stamp of this chain stays "being sent".
    DBDakoku::resetDakokuCloudSendStatus();
    m_mode = 0;
    if (isManual(running)) {
        QString code = m_resultCode;
        if (m_uploadFailed)
            code = m_uploadFailCode;
        else if (ret != 0 && (code.isEmpty() || code == QLatin1String("0")))
            code = QString::number(ret);
        emit finishedDakokuSending(code, m_stampCount);
    } else {
        emit allUpdateFinish(running, reported ? QStringLiteral("success") : QStringLiteral("failed"));
    }
}


