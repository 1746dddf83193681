#include "meridapi.h"

#include "httpclient.h"
#include "jsonmember.h"
#include "loggabletext.h"

#include "debugline.h"
#include "mydebug.h"

#include <QUrl>

void MeridAPI::putUserIDm()
{
    postStep(QStringLiteral("非接触IDm・UID更新データ 送信中"), QStringLiteral("/putUserIDm"),
             tokenBody()
                 .member(QStringLiteral("id_code"), QStringLiteral("%1").arg(m_idmUserId, 9, 10, QLatin1Char('0')))
                 .member(QStringLiteral("idm_no"), m_idm)
                 .text(),
             &MeridAPI::resPutUserIDm);
}

void MeridAPI::resPutUserIDm(int ret, HttpClient* obj)
{
    readAnswer(ret, obj);
    m_idm.clear();
    m_idmDate.clear();
    endStep(ret, obj, QStringLiteral("非接触IDm・UID更新データ 送信完了"),
            QStringLiteral("非接触IDm・UID更新データ 送信失敗"), QStringLiteral("ユーザーIDm情報更新 完了"));
}

void MeridAPI::getServiceName()
{
    postStep(QStringLiteral("バージョン情報取得 受信中"), QStringLiteral("/getServiceName"), tokenBody().text(),
             &MeridAPI::resGetServiceName);
}

void MeridAPI::resGetServiceName(int ret, HttpClient* obj)
{
    QVariantMap answer;
    readAnswer(ret, obj, &answer);
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "this->resultCode:" << m_resultCode
                << ", service_name:"
                << QStringLiteral("\"%1\"").arg(vnq::loggableText(jsonmember::textOrEmpty(answer.value(QStringLiteral("service_name")))));
    endStep(ret, obj, QStringLiteral("バージョン情報取得 受信完了"),
            QStringLiteral("バージョン情報取得 受信失敗"), QStringLiteral("バージョン情報取得 受信完了"));
}

void MeridAPI::getFirmwareVersion()
{
    postStep(QStringLiteral("最新ファームウェアバージョン 受信中"), QStringLiteral("/getVantroFirmwareInfo"), tokenBody().text(),
             &MeridAPI::resGetFirmwareVersion);
}

// The firmware fields hold until the next version answer; members of the wrong type read as
// empty (a size as 0).
void MeridAPI::resGetFirmwareVersion(int ret, HttpClient* obj)
{
    m_firmwareVersion.clear();
    m_firmwareHash.clear();
    m_firmwareUrl.clear();
    m_firmwareSize = 0;
    QVariantMap answer;
    if (readAnswer(ret, obj, &answer)) {
        m_firmwareVersion = jsonmember::textOrEmpty(answer.value(QStringLiteral("version")));
        m_firmwareHash = jsonmember::textOrEmpty(answer.value(QStringLiteral("hash")));
        m_firmwareUrl = jsonmember::textOrEmpty(answer.value(QStringLiteral("url")));
        if (!jsonmember::integer(answer.value(QStringLiteral("size")), &m_firmwareSize) || m_firmwareSize < 0)
            m_firmwareSize = 0;
    }
    endStep(ret, obj, QStringLiteral("最新ファームウェアバージョン 受信完了"),
            QStringLiteral("最新ファームウェアバージョン 受信失敗"), QStringLiteral("ファームウェア情報 受信完了"));
}

void MeridAPI::finishSingle(const QString& option)
{
    const int running = mode();
    static const QString expected[] = {QStringLiteral("ユーザーIDm情報更新 完了"), QStringLiteral("バージョン情報取得 受信完了"),
                                       QStringLiteral("ファームウェア情報 受信完了")};
    if (option != expected[running - 6])
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << QStringLiteral("\"%1\"").arg(option);
    // A token refused without a code of its own ends with -9999, never with 0.
    const int code = option == QStringLiteral("トークン取得 失敗") && m_resultCode == 0 ? int(NoAnswer) : m_resultCode;
    if (running == 6)
        emit finishedPutUserIDm(code);
    else if (running == 7)
        emit finishedGetServiceName(code);
    else
        emit finishedFirmwareVersion(code, m_firmwareVersion, m_firmwareSize, m_firmwareHash);
    endChain();
}

// https always; http only from a service that is itself reached over http.
bool MeridAPI::firmwareUrlAllowed() const
{
    const QUrl url(m_firmwareUrl, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty())
        return false;
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("https")
           || (scheme == QLatin1String("http") && QUrl(m_baseUrl).scheme().toLower() == QLatin1String("http"));
}

// Fetched without a token: the URL of the last version answer, as it stands.
void MeridAPI::getFirmwareFile()
{
    emit apiInfo(mode(), QStringLiteral("ファームウェア更新データ 受信中"));
    disconnect(m_http, nullptr, this, nullptr);
    if (!firmwareUrlAllowed()) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "ファームウェアURL不正"
                  << vnq::loggableText(m_firmwareUrl.left(200));
        emit apiInfo(mode(), QStringLiteral("ファームウェア更新データ 受信失敗"));
        m_resultCode = NoAnswer;
        emit finishedGetFirmware(NoAnswer);
        m_mode = 0;
        return;
    }
    connect(m_http, &HttpClient::finish, this, &MeridAPI::resGetFirmwareFile);
    connect(m_http, &HttpClient::downProgress, this, &MeridAPI::downloadProgress);
    m_http->httpRequest(HttpClient::GetToTempFile, m_firmwareUrl, {}, QString());
}

void MeridAPI::resGetFirmwareFile(int ret, HttpClient*)
{
    disconnect(m_http, nullptr, this, nullptr);
    emit apiInfo(mode(), ret == 0 ? QStringLiteral("ファームウェア更新データ 受信完了")
                                  : QStringLiteral("ファームウェア更新データ 受信失敗"));
    m_resultCode = ret == 0 ? 0 : int(NoAnswer);
    emit finishedGetFirmware(m_resultCode);
    m_mode = 0;
}
