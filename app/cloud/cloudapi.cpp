#include "cloudapi.h"

#include "clientkey.h"

#include "heartbeat.h"
#include "httpclient.h"
#include "httplogmask.h"
#include "loggabletext.h"
#include "soapenvelope.h"

#include "debugline.h"
#include "mydebug.h"
#include "zsystem.h"

#include <QCryptographicHash>
#include <QXmlStreamReader>

CloudAPI* CloudAPI::getInstance()
{
    static CloudAPI* instance = new CloudAPI();
    return instance;
}

QString CloudAPI::deriveClientKey(const QString& serialNumber)
{
    return clientKeyFromSerial("QOC01", testClientKey, serialNumber);
}

namespace {

struct CloudInfo {
    QString url, clientKey, cloudKey;
};

CloudInfo readCloudInfo()
{
    CloudInfo info;
    ZSystem::getCloudInfo(&info.url, &info.clientKey, &info.cloudKey);
    if (info.url.isEmpty())
        info.url = QString::fromLatin1(CloudAPI::defaultServiceUrl);
    if (info.clientKey.isEmpty())
        info.clientKey = CloudAPI::deriveClientKey(ZSystem::termSerialNumber());
    if (info.cloudKey.isEmpty())
        info.cloudKey = QString::fromLatin1(CloudAPI::defaultCloudKey);
    return info;
}

}  // namespace

CloudAPI::CloudAPI(QObject* parent)
    : QObject(parent)
    , m_http(new HttpClient(this))
{
    const CloudInfo info = readCloudInfo();
    m_serviceUrl = info.url;
    m_clientUniqueKey = info.clientKey;
    m_cloudKey = info.cloudKey;
    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "クラウドURL:" << vnq::loggableText(m_serviceUrl);
    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "クラウドKEY:"
              << vnq::loggableText(m_clientUniqueKey) + QStringLiteral(", ") + logmask::maskSecret(m_cloudKey);
    connect(this, &CloudAPI::receiveFinish, this, &CloudAPI::recieveCB);
}

void CloudAPI::connectClient(Handler handler)
{
    disconnect(m_http, nullptr, this, nullptr);
    connect(m_http, &HttpClient::finish, this, handler);
}

int CloudAPI::postOperation(const QString& operation, const QString& children, Handler handler, int method)
{
    connectClient(handler);
    const QList<QString> headers = {
        QStringLiteral("Content-Type: text/xml; charset=utf-8"),
        QStringLiteral("SOAPAction: \"%1/%2\"").arg(m_serviceUrl, operation),
    };
    return m_http->httpRequest(HttpClient::MethodNum(method), m_serviceUrl, headers,
                               soap::envelope(m_serviceUrl, operation, children));
}

int CloudAPI::getTokenSeed()
{
    // The handler the caller connected stays: GetTokenSeed answers to it.
    const QList<QString> headers = {
        QStringLiteral("Content-Type: text/xml; charset=utf-8"),
        QStringLiteral("SOAPAction: \"%1/GetTokenSeed\"").arg(m_serviceUrl),
    };
    return m_http->httpRequest(HttpClient::Post, m_serviceUrl, headers,
                               soap::envelope(m_serviceUrl, QStringLiteral("GetTokenSeed"),
                                              soap::element(QStringLiteral("client_unique_key"), m_clientUniqueKey)));
}

bool CloudAPI::readAnswer(HttpClient* obj, const std::function<bool(QXmlStreamReader&)>& onElement)
{
    QByteArray data = *obj->getRecvData();
    const int nul = data.indexOf('\0');
    if (nul >= 0)
        data.truncate(nul);
    QXmlStreamReader reader(QString::fromUtf8(data));
    while (!reader.atEnd()) {
        ++selftick;
        reader.readNext();
        // A document type could declare entities; no answer of the service has one.
        if (reader.tokenType() == QXmlStreamReader::DTD)
            return false;
        if (reader.tokenType() == QXmlStreamReader::StartElement && !onElement(reader))
            return !reader.hasError();
    }
    return !reader.hasError();
}

bool CloudAPI::readResult(HttpClient* obj)
{
    m_resultCode = QStringLiteral("-9999");
    return readAnswer(obj, [this](QXmlStreamReader& r) {
        if (r.name() != QLatin1String("result"))
            return true;
        m_resultCode = r.readElementText();
        return m_resultCode.toInt() >= 0;
    });
}

int CloudAPI::resGetTokenSeed(int ret, HttpClient* obj)
{
    m_resultCode = QStringLiteral("-9999");
    m_seed.clear();
    m_token.clear();
    if (ret != 0)
        return -1;
    const bool complete = readAnswer(obj, [this](QXmlStreamReader& r) {
        if (r.name() == QLatin1String("result"))
            m_resultCode = r.readElementText();
        else if (r.name() == QLatin1String("seed"))
            m_seed = r.readElementText();
        return true;
    });
    if (!complete)
        return -1;
    bool numeric = false;
    if (m_resultCode.toInt(&numeric) != 0 || !numeric)
        return -1;
    if (m_seed.isEmpty())
        return -1;
    m_token = QString::fromLatin1(
        QCryptographicHash::hash((m_cloudKey + m_seed).toLocal8Bit(), QCryptographicHash::Md5).toHex());
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "token" << logmask::maskSecret(m_token);
    return 0;
}

int CloudAPI::tokenFailureCode(int ret) const
{
    bool numeric = false;
    const int result = m_resultCode.toInt(&numeric);
    if (numeric && result != 0 && m_resultCode != QLatin1String("-9999"))
        return result;
    if (ret != 0)
        return ret;
    return -9999;
}

void CloudAPI::uploadProgress(int, int) {}

// The firmware screen shows how far a firmware download has come.
void CloudAPI::downloadProgress(int recieved, int total)
{
    emit downProgress(recieved, total);
}
