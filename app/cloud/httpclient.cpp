#include "httpclient.h"

#include "heartbeat.h"
#include "httplogmask.h"
#include "loggabletext.h"
#include "httpproxyconfig.h"
#include "httptlsconfig.h"

#include "debugline.h"
#include "mydebug.h"
#include "platform/boardroot.h"
#include "platform/clock.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

namespace {

bool isKnownMethod(int code)
{
    switch (code & ~(HttpClient::SendFileBit | HttpClient::TempFileBit)) {
    case 0:
    case 1:
    case 2:
        return code >= 0 && code <= 50;
    default:
        return false;
    }
}

// "Name: value" split at the first ": " only; false for a string that is no such header or
// that could smuggle a second header line in.
bool splitHeader(const QString& header, QByteArray* name, QByteArray* value)
{
    if (header.contains(QLatin1Char('\r')) || header.contains(QLatin1Char('\n')))
        return false;
    const int at = header.indexOf(QLatin1String(": "));
    if (at <= 0)
        return false;
    *name = header.left(at).toLocal8Bit();
    *value = header.mid(at + 2).toLocal8Bit();
    return true;
}

}  // namespace

HttpClient::HttpClient(QObject* parent)
    : QObject(parent)
    , m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    m_timer->setInterval(DefaultInactivityMs);
    connect(m_timer, &QTimer::timeout, this, &HttpClient::slotNetworkTimeout);
}

HttpClient::~HttpClient()
{
    // An exchange that dies with its client ends too: the watchdog counts again.
    if (m_reply)
        selfcheckpass = false;
    releaseReply();
    // The replies go with their manager, before the body file they may still point at.
    delete m_manager;
    m_manager = nullptr;
    closeSendFile();
    closeTempFile();
}

void HttpClient::setInactivityInterval(int ms)
{
    m_idleMs = ms;
    // A running timer starts again with the new interval.
    if (m_timer->isActive())
        armTimer();
    else
        m_timer->setInterval(ms);
}

int HttpClient::inactivityInterval() const
{
    return m_idleMs;
}

int HttpClient::httpRequest(MethodNum method, QString url, QList<QString> headers, QString body)
{
    // An exchange still running is abandoned: its caller has moved on to this one.
    releaseReply();
    m_timer->stop();
    selfcheckpass = true;

    if (!m_manager)
        m_manager = new QNetworkAccessManager(this);
    m_recvData.clear();
    closeSendFile();
    closeTempFile();
    QFile::remove(vnq::boardPath(QString::fromLatin1(tempFilePath)));
    m_lastReceived = 0;
    m_inactivityRestarts = 0;
    m_startedMs = vnq::clock().monotonicMs();
    m_deadlineMs = AnswerDeadlineMs;

    const int code = int(method);
    if (!isKnownMethod(code)) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "method指定例外";
        selfcheckpass = false;
        return StartFailed;
    }

    // Only the two web schemes: a URL from a service must never make the client read a file.
    const QUrl target(url, QUrl::TolerantMode);
    const QString scheme = target.scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "unsupported URL"
                  << vnq::loggableText(url);
        return startFailed();
    }

    if (code & SendFileBit) {
        m_sendFile = new QFile(body, this);
        if (!m_sendFile->open(QIODevice::ReadOnly)) {
            MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "Open failed send file!!";
            closeSendFile();
            return startFailed();
        }
    }
    if (code & TempFileBit) {
        m_tempFile = new QFile(vnq::boardPath(QString::fromLatin1(tempFilePath)), this);
        if (!m_tempFile->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "Open failed temp file!!";
            closeSendFile();
            closeTempFile();
            return startFailed();
        }
    }

    QNetworkRequest request(target);
    for (const QString& header : headers) {
        QByteArray name, value;
        if (!splitHeader(header, &name, &value)) {
            MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "header dropped"
                      << vnq::loggableText(header);
            continue;
        }
        request.setRawHeader(name, value);
    }

    // The proxy rules are read afresh for every request, http and https alike.
    const QNetworkProxy proxy = proxyconfig::fromSettings(proxyconfig::read());
    if (proxy.type() == QNetworkProxy::NoProxy)
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "プロキシ未使用";
    m_manager->setProxy(proxy);

    if (scheme == QLatin1String("https")) {
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "SSL Start";
        request.setSslConfiguration(tlsconfig::cloud());
    } else {
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "http Start"
                    << vnq::loggableText(url);
    }

    QNetworkReply* reply = nullptr;
    switch (code & ~(SendFileBit | TempFileBit)) {
    case 0:
        reply = m_manager->get(request);
        break;
    case 1:
        reply = (code & SendFileBit) ? m_manager->post(request, m_sendFile)
                                     : m_manager->post(request, body.toLocal8Bit());
        break;
    default:
        reply = (code & SendFileBit) ? m_manager->put(request, m_sendFile)
                                     : m_manager->put(request, body.toLocal8Bit());
        break;
    }
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << logmask::bodyForLog(body);

    m_reply = reply;
    connect(reply, &QNetworkReply::finished, this, &HttpClient::finished);
    connect(reply, &QNetworkReply::uploadProgress, this, &HttpClient::uploadProgress);
    connect(reply, &QNetworkReply::downloadProgress, this, &HttpClient::downloadProgress);
    connect(reply, &QNetworkReply::errorOccurred, this, &HttpClient::error);
    connect(reply, &QNetworkReply::sslErrors, this, &HttpClient::sslErrors);
    m_timedOut = false;
    armTimer();
    return 0;
}

int HttpClient::startFailed()
{
    selfcheckpass = false;
    emit finish(StartFailed, this);
    return StartFailed;
}

void HttpClient::closeSendFile()
{
    if (m_sendFile) {
        m_sendFile->close();
        delete m_sendFile;
        m_sendFile = nullptr;
    }
}

void HttpClient::closeTempFile()
{
    if (m_tempFile) {
        m_tempFile->close();
        delete m_tempFile;
        m_tempFile = nullptr;
    }
}
