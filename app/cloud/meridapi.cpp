#include "meridapi.h"

#include "clientkey.h"

#include "heartbeat.h"
#include "httpclient.h"
#include "httplogmask.h"
#include "jsonmember.h"
#include "loggabletext.h"
#include "meridbody.h"
#include "qtjson.h"

#include "debugline.h"
#include "mydebug.h"
#include "zsystem.h"

#include <QRegularExpression>

MeridAPI* MeridAPI::getInstance()
{
    static MeridAPI* instance = new MeridAPI();
    return instance;
}

QString MeridAPI::deriveClientKey(const QString& serialNumber)
{
    return clientKeyFromSerial("QOM10", testClientKey, serialNumber);
}

bool MeridAPI::answerResult(const QByteArray& answer, int* result, QVariantMap* object)
{
    bool parsed = false;
    const QVariant tree = QtJson::parse(QString::fromUtf8(answer), parsed);
    if (!parsed || tree.type() != QVariant::Map)
        return false;
    const QVariantMap map = tree.toMap();
    const QVariant value = map.value(QStringLiteral("result"));
    int code = 0;
    bool ok = jsonmember::integer(value, &code);
    if (value.type() == QVariant::String) {
        static const QRegularExpression decimal(QStringLiteral("^-?[0-9]+$"));
        const QString text = value.toString();
        if (decimal.match(text).hasMatch())
            code = text.toInt(&ok);
    }
    if (!ok)
        return false;
    *result = code;
    if (object)
        *object = map;
    return true;
}

MeridAPI::MeridAPI(QObject* parent)
    : QObject(parent)
    , m_http(new HttpClient(this))
{
    ZSystem::getMeridInfo(&m_baseUrl, &m_clientKey);
    if (m_baseUrl.isEmpty())
        m_baseUrl = QString::fromLatin1(defaultServiceUrl);
    if (m_clientKey.isEmpty())
        m_clientKey = deriveClientKey(ZSystem::termSerialNumber());
    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "MeridURL:" << vnq::loggableText(m_baseUrl);
    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "MeridKEY:" << vnq::loggableText(m_clientKey);
    connect(this, &MeridAPI::receiveFinish, this, &MeridAPI::recieveCB);
}

void MeridAPI::refuse(int mode)
{
    switch (mode) {
    case 1:
    case 2:
    case 3:
        emit allUpdateFinish(mode, QStringLiteral("failed"));
        break;
    case 4:
    case 5:
        emit finishedDakokuSending(NoAnswer, 0);
        break;
    case 6:
        emit finishedPutUserIDm(NoAnswer);
        break;
    case 7:
        emit finishedGetServiceName(-8888);
        break;
    case 8:
        emit finishedFirmwareVersion(NoAnswer, QString(), -1, QString());
        break;
    case 9:
        emit finishedGetFirmware(NoAnswer);
        break;
    default:
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "ありえない" << mode;
        break;
    }
}

bool MeridAPI::startDataRequest(int mode, QString str1, QString str2, QString str3)
{
    if (mode < 1 || mode > 9) {
        // Nothing starts for a mode the client does not know; the caller hears so.
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "リクエストモード不正" << mode;
        emit allUpdateFinish(mode, QStringLiteral("failed"));
        return false;
    }
    int idle = 0;
    if (!m_mode.compare_exchange_strong(idle, mode)) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "リクエスト実行中のためエラー" << mode << idle;
        if (idle == mode)
            MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "同じリクエストのため無視";
        else
            refuse(mode);
        return false;
    }
    return QMetaObject::invokeMethod(
        this, [this, mode, str1, str2, str3] { runDataRequest(mode, str1, str2, str3); }, Qt::QueuedConnection);
}

void MeridAPI::runDataRequest(int mode, const QString& str1, const QString& str2, const QString& str3)
{
    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "データリクエスト開始" << mode;
    if (!m_token.isEmpty()) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "トークンが残っている";
        m_token.clear();
    }
    m_batchSize = 0;
    m_stampCount = 0;
    m_renewals = 0;
    m_batchRowids.clear();
    if (mode == 6) {
        m_idmUserId = str1.toInt();
        m_idm = str2;
        m_idmDate = str3;
    }
    if (mode == 9)
        getFirmwareFile();
    else
        getTokenSeed();
}

int MeridAPI::post(const QString& path, const QString& body, Handler handler)
{
    disconnect(m_http, nullptr, this, nullptr);
    connect(m_http, &HttpClient::finish, this, handler);
    return m_http->httpRequest(HttpClient::Post, m_baseUrl + path,
                               {QStringLiteral("Content-Type: application/json; charset=utf-8")}, body);
}

MeridBody MeridAPI::tokenBody() const
{
    return MeridBody().member(QStringLiteral("client_key"), m_clientKey).member(QStringLiteral("token"), m_token);
}

void MeridAPI::postStep(const QString& progress, const QString& path, const QString& body, Handler handler)
{
    emit apiInfo(mode(), progress);
    post(path, body, handler);
}

void MeridAPI::endStep(int ret, HttpClient* obj, const QString& done, const QString& failed, const QString& step)
{
    emit apiInfo(mode(), ret == 0 ? done : failed);
    logFailedAnswer(ret, obj);
    emit receiveFinish(ret, step);
}

bool MeridAPI::readAnswer(int ret, HttpClient* obj, QVariantMap* object)
{
    m_resultCode = NoAnswer;
    if (ret != 0)
        return false;
    int result = NoAnswer;
    if (!answerResult(*obj->getRecvData(), &result, object))
        return false;
    m_resultCode = result;
    return true;
}

void MeridAPI::logFailedAnswer(int ret, HttpClient* obj) const
{
    if (m_resultCode == 0)
        return;
    MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << ret << m_resultCode
              << logmask::bodyForLog(QString::fromUtf8(obj->getRecvData()->left(1000)));
}

void MeridAPI::getTokenSeed()
{
    post(QStringLiteral("getToken"), MeridBody().member(QStringLiteral("client_key"), m_clientKey).text(),
         &MeridAPI::resGetTokenSeed);
}

void MeridAPI::resGetTokenSeed(int ret, HttpClient* obj)
{
    QVariantMap answer;
    const bool read = readAnswer(ret, obj, &answer);
    m_token = answer.value(QStringLiteral("token")).toString();
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "ret:" << ret << "this->resultCode:" << m_resultCode
                << ", token:" << logmask::maskSecret(m_token);
    if (read && m_resultCode == 0 && !m_token.isEmpty()) {
        emit receiveFinish(0, m_batchSize > 0 ? QStringLiteral("打刻データ 送信再開") : QStringLiteral("トークン取得 成功"));
        return;
    }
    logFailedAnswer(ret, obj);
    emit receiveFinish(ret, QStringLiteral("トークン取得 失敗"));
}

void MeridAPI::deleteTokenSeed()
{
    const QString body = tokenBody().text();
    m_token.clear();
    post(QStringLiteral("/releaseToken"), body, &MeridAPI::resDeleteTokenSeed);
}

void MeridAPI::resDeleteTokenSeed(int ret, HttpClient* obj)
{
    readAnswer(ret, obj);
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "ret:" << ret << "this->resultCode:" << m_resultCode;
    logFailedAnswer(ret, obj);
    disconnect(m_http, nullptr, this, nullptr);
    m_resultCode = NoAnswer;
    m_token.clear();
    m_mode = 0;
}

void MeridAPI::uploadProgress(int sent, int total)
{
    emit upProgress(sent, total);
}

void MeridAPI::downloadProgress(int recieved, int total)
{
    emit downProgress(recieved, mode() == 9 ? m_firmwareSize : total);
}
