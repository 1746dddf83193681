#include "cloudapi.h"

#include "httpclient.h"
#include "soapenvelope.h"

#include "debugline.h"
#include "mydebug.h"

#include <QXmlStreamReader>

namespace {

QString plainChildren(const QString& clientKey, const QString& token)
{
    return soap::element(QStringLiteral("client_unique_key"), clientKey) + soap::element(QStringLiteral("token"), token);
}

}  // namespace

bool CloudAPI::claimSingle()
{
    int idle = 0;
    if (m_mode.compare_exchange_strong(idle, SingleOperation))
        return true;
    MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "リクエスト実行中のためエラー" << idle;
    return false;
}

void CloudAPI::startSingle(Handler first, const QString& startText)
{
    QMetaObject::invokeMethod(
        this,
        [this, first, startText] {
            emit apiInfo(mode(), startText);
            connectClient(first);
            getTokenSeed();
        },
        Qt::QueuedConnection);
}

QString CloudAPI::singleTokenFailure() const
{
    bool numeric = false;
    const int result = m_resultCode.toInt(&numeric);
    return numeric && result != 0 ? m_resultCode : QStringLiteral("-9999");
}

bool CloudAPI::putUserIDm(int id, QString idm, QString date)
{
    if (!claimSingle()) {
        emit finishedPutUserIDm(QStringLiteral("-9999"));
        return false;
    }
    m_userId = id;
    m_idm = idm;
    m_idmUpdateTime = date;
    startSingle(&CloudAPI::resPutUserIDm, QStringLiteral("非接触IDm・UID更新データ 送信中"));
    return true;
}

void CloudAPI::resPutUserIDm(int ret, HttpClient* obj)
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << ret << m_resultCode;
    if (resGetTokenSeed(ret, obj) != 0) {
        disconnect(obj, nullptr, this, nullptr);
        m_mode = 0;
        emit finishedPutUserIDm(ret != 0 ? QString::number(ret) : singleTokenFailure());
        return;
    }
    const QString user = soap::group(
        QStringLiteral("UserIDm"),
        soap::element(QStringLiteral("id_code"), QStringLiteral("%1").arg(m_userId, 9, 10, QLatin1Char('0')))
            + soap::element(QStringLiteral("idm"), m_idm)
            + soap::element(QStringLiteral("idm_update_time"), m_idmUpdateTime));
    postOperation(QStringLiteral("PutUserIDm"),
                  plainChildren(m_clientUniqueKey, m_token) + soap::group(QStringLiteral("users"), user),
                  &CloudAPI::resPutUserIDm2);
}

void CloudAPI::resPutUserIDm2(int ret, HttpClient* obj)
{
    m_userId = 0;
    m_idm.clear();
    m_idmUpdateTime.clear();
    disconnect(obj, nullptr, this, nullptr);
    if (ret != 0) {
        m_mode = 0;
        emit finishedPutUserIDm(QString::number(ret));
        emit apiInfo(mode(), QStringLiteral("非接触IDm・UID更新データ 送信失敗"));
        return;
    }
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "in";
    m_resultCode = QStringLiteral("-9999");
    readAnswer(obj, [this](QXmlStreamReader& r) {
        if (r.name() != QLatin1String("result"))
            return true;
        m_resultCode = r.readElementText();
        return false;
    });
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "resultCode:" << m_resultCode;
    m_mode = 0;
    emit finishedPutUserIDm(m_resultCode);
    emit apiInfo(mode(), QStringLiteral("非接触IDm・UID更新データ 送信完了"));
}

bool CloudAPI::getServiceName()
{
    if (!claimSingle()) {
        emit finishedGetServiceName(QStringLiteral("-8888"));
        return false;
    }
    startSingle(&CloudAPI::resGetServiceName, QStringLiteral("クラウドサーババージョン 受信中"));
    return true;
}

void CloudAPI::resGetServiceName(int ret, HttpClient* obj)
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << ret << m_resultCode;
    if (resGetTokenSeed(ret, obj) != 0) {
        disconnect(obj, nullptr, this, nullptr);
        m_mode = 0;
        emit finishedGetServiceName(singleTokenFailure());
        return;
    }
    postOperation(QStringLiteral("GetServiceName"), plainChildren(m_clientUniqueKey, m_token),
                  &CloudAPI::resGetServiceName2);
}

void CloudAPI::resGetServiceName2(int ret, HttpClient* obj)
{
    disconnect(obj, nullptr, this, nullptr);
    if (ret != 0) {
        m_mode = 0;
        emit apiInfo(mode(), QStringLiteral("クラウドサーババージョン 受信失敗"));
        emit finishedGetServiceName(QStringLiteral("-9999"));
        return;
    }
    readResult(obj);
    m_mode = 0;
    emit apiInfo(mode(), QStringLiteral("クラウドサーババージョン 受信完了"));
    emit finishedGetServiceName(m_resultCode);
}

bool CloudAPI::getFirmwareVersion()
{
    if (!claimSingle()) {
        emit finishedFirmwareVersion(QStringLiteral("-9999"), QString(), -1, QString());
        return false;
    }
    startSingle(&CloudAPI::resGetFirmwareVersion, QStringLiteral("最新ファームウェアバージョン 受信中"));
    return true;
}

void CloudAPI::resGetFirmwareVersion(int ret, HttpClient* obj)
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << ret << m_resultCode;
    if (resGetTokenSeed(ret, obj) != 0) {
        disconnect(obj, nullptr, this, nullptr);
        m_mode = 0;
        emit finishedFirmwareVersion(singleTokenFailure(), QString(), 0, QString());
        return;
    }
    postOperation(QStringLiteral("GetFirmwareVersion"), plainChildren(m_clientUniqueKey, m_token),
                  &CloudAPI::resGetFirmwareVersion2);
}

void CloudAPI::resGetFirmwareVersion2(int ret, HttpClient* obj)
{
    disconnect(obj, nullptr, this, nullptr);
    QString version, hash;
    int size = 0;
    if (ret != 0) {
        m_mode = 0;
        emit apiInfo(mode(), QStringLiteral("最新ファームウェアバージョン 受信失敗"));
        emit finishedFirmwareVersion(QStringLiteral("-9999"), QString(), 0, QString());
        return;
    }
    m_resultCode = QStringLiteral("-9999");
    readAnswer(obj, [&](QXmlStreamReader& r) {
        const auto name = r.name();
        if (name == QLatin1String("result")) {
            m_resultCode = r.readElementText();
            return m_resultCode.toInt() >= 0;
        }
        if (name == QLatin1String("version"))
            version = r.readElementText();
        else if (name == QLatin1String("size"))
            size = r.readElementText().toInt();
        else if (name == QLatin1String("hash"))
            hash = r.readElementText();
        return true;
    });
    m_mode = 0;
    emit apiInfo(mode(), QStringLiteral("最新ファームウェアバージョン 受信完了"));
    emit finishedFirmwareVersion(m_resultCode, version, size, hash);
}

bool CloudAPI::getFirmwareFile()
{
    if (!claimSingle()) {
        emit finishedGetFirmware(QStringLiteral("-9999"));
        return false;
    }
    startSingle(&CloudAPI::resGetFirmwareFile, QStringLiteral("ファームウェア更新データ 受信中"));
    return true;
}

void CloudAPI::resGetFirmwareFile(int ret, HttpClient* obj)
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << ret << m_resultCode;
    if (resGetTokenSeed(ret, obj) != 0) {
        // The firmware screen waits for its own signal; the cascade is not involved.
        disconnect(obj, nullptr, this, nullptr);
        m_mode = 0;
        emit apiInfo(mode(), QStringLiteral("トークン 取得失敗"));
        emit finishedGetFirmware(QString::number(tokenFailureCode(ret)));
        return;
    }
    postOperation(QStringLiteral("GetFirmwareFile"), plainChildren(m_clientUniqueKey, m_token),
                  &CloudAPI::resGetFirmwareFile2, HttpClient::PostToTempFile);
    connect(m_http, &HttpClient::downProgress, this, &CloudAPI::downloadProgress);
}

void CloudAPI::resGetFirmwareFile2(int ret, HttpClient* obj)
{
    disconnect(obj, nullptr, this, nullptr);
    m_resultCode = ret == 0 ? QStringLiteral("0") : QStringLiteral("-9999");
    m_mode = 0;
    emit apiInfo(mode(), ret == 0 ? QStringLiteral("ファームウェア更新データ 受信完了")
                                  : QStringLiteral("ファームウェア更新データ 受信失敗"));
    emit finishedGetFirmware(m_resultCode);
}
