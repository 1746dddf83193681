#include "meridapi.h"

#include "httpclient.h"

#include "dbsetting.h"
#include "mydebug.h"


namespace {

const QString tokenOk = QStringLiteral("トークン取得 成功");
const QString tokenFailed = QStringLiteral("トークン取得 失敗");
const QString resumed = QStringLiteral("打刻データ 送信再開");
const QString timesListed = QStringLiteral("データ更新日時 受信成功");
const QString timesNone = QStringLiteral("データ更新日時 受信失敗");
const QString usersDone = QStringLiteral("Vantroユーザー 受信完了");
const QString settingsDone = QStringLiteral("Vantro運用設定 受信完了");
const QString cycleDone = QStringLiteral("通信周期情報 受信完了");
const QString batchSent = QStringLiteral("打刻データ 送信成功");
const QString batchFailed = QStringLiteral("打刻データ 送信失敗");
const QString batchTimeout = QStringLiteral("打刻データ トークンタイムアウト");
const QString stampsDone = QStringLiteral("打刻データ 送信完了");
const QString statusDone = QStringLiteral("Vantro状態 送信完了");

bool isDownloadEnd(const QString& option)
{
    return option == usersDone || option == settingsDone || option == cycleDone;
}

}  // namespace

void MeridAPI::recieveCB(int ret, QString option)
{
    const int running = mode();
    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << running << ret << option;
    if (running < 1 || running > 9)
        return;

    if (running == 1) {
        if (option == tokenFailed)
            return finishChain(QString());
        if (ret != 0) {
            MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "リクエスト失敗:" << ret << option;
            return finishChain(QString());
        }
        if (option == tokenOk)
            return getVantroDataUpdateTime();
        if (option == timesListed || isDownloadEnd(option))
            return updateWalk(option);
        if (option == timesNone || option == batchSent || option == resumed)
            return putStamp();
        if (option == stampsDone || option == batchFailed)
            return putVantroInfo();
        if (option == batchTimeout)
            return getTokenSeed();
        if (option == statusDone)
            return finishChain(QString());
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "ありえない " << running << option;
        return finishChain(QString());
    }

    if (running == 2) {
        if (option == tokenFailed || option == stampsDone || option == batchFailed)
            return finishChain(QString());
        if (option == tokenOk || option == batchSent || option == resumed)
            return putStamp();
        // A token that ran out during the upload is renewed, as in the other modes.
        if (option == batchTimeout)
            return getTokenSeed();
        return;
    }

    if (running >= 3 && running <= 5) {
        if (option == tokenFailed)
            return finishChain(QString());
        if (ret != 0) {
            MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "リクエスト失敗:" << ret << option;
            return finishChain(QString());
        }
        if (option == tokenOk)
            return running == 3 ? getVantroDataUpdateTime() : putStamp();
        if (option == timesListed || isDownloadEnd(option))
            return updateWalk(option);
        if (option == timesNone)
            return putVantroInfo();
        if (option == batchSent || option == resumed)
            return putStamp();
        if (option == stampsDone || option == batchFailed)
            return getVantroDataUpdateTime();
        if (option == batchTimeout)
            return getTokenSeed();
        if (option == statusDone)
            return finishChain(QStringLiteral("success"));
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "ありえない " << running << option;
        return finishChain(QString());
    }

    // Modes 6 to 8: one operation behind the token; whatever the step, the mode then ends.
    if (running >= 6 && running <= 8) {
        if (option == tokenOk) {
            if (running == 6)
                return putUserIDm();
            return running == 7 ? getServiceName() : getFirmwareVersion();
        }
        return finishSingle(option);
    }

    MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "ありえない " << running << option;
}

// The mode's end signal, then the end of the chain. Modes 4 and 5 report the last result
// code and the stamps sent; "success" only ends a mode-3 chain that reached its status.
void MeridAPI::finishChain(const QString& option)
{
    const int running = mode();
    if (running == 4 || running == 5)
        emit finishedDakokuSending(m_resultCode, m_stampCount);
    else
        emit allUpdateFinish(running, running == 3 ? option : QString());
    endChain();
}

// With a token the release follows, and the client is idle when it is answered; without one
// the client is idle at once.
void MeridAPI::endChain()
{
    if (!m_token.isEmpty()) {
        deleteTokenSeed();
        return;
    }
    disconnect(m_http, nullptr, this, nullptr);
    m_resultCode = NoAnswer;
    m_token.clear();
    m_mode = 0;
}

void MeridAPI::updateWalk(const QString& option)
{
    for (UpdateState& state : m_updateStates) {
        if (!state.pending)
            continue;
        switch (state.dataKind) {
        case 40:
            return getVantroSetting();
        case 47:
            return getCommCycle();
        case 33:
            return getVantroUser();
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
        putStamp();
    else
        putVantroInfo();
}
