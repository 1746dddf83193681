#include "httpclient.h"

#include "heartbeat.h"
#include "httplogmask.h"

#include "debugline.h"
#include "mydebug.h"
#include "platform/clock.h"

#include <QFile>
#include <QTimer>

bool HttpClient::isCurrent(QObject* reply) const
{
    return reply && reply == m_reply.data();
}

void HttpClient::restartInactivityTimer()
{
    armTimer();
    ++m_inactivityRestarts;
}

void HttpClient::armTimer()
{
    const qint64 left = m_deadlineMs - (vnq::clock().monotonicMs() - m_startedMs);
    m_timer->start(int(qBound<qint64>(0, left, m_idleMs)));
}

bool HttpClient::deadlinePassed() const
{
    return vnq::clock().monotonicMs() - m_startedMs >= m_deadlineMs;
}

// Lets go of the current reply: nothing it reports later reaches this client.
void HttpClient::releaseReply()
{
    QNetworkReply* reply = m_reply.data();
    m_reply = nullptr;
    if (!reply)
        return;
    disconnect(reply, nullptr, this, nullptr);
    if (reply->isRunning())
        reply->abort();
    reply->deleteLater();
}

// Every end of a started exchange: the watchdog may count again, the reply is let go and the
// caller hears of it last, so its handler may start the next exchange.
void HttpClient::endExchange(int code)
{
    m_timer->stop();
    selfcheckpass = false;
    releaseReply();
    closeTempFile();
    emit finish(code, this);
}

bool HttpClient::appendToTempFile(const QByteArray& data)
{
    if (!m_tempFile)
        return false;
    if (m_tempFile->write(data) != data.size()) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "write failed temp file!!";
        return false;
    }
    return true;
}

void HttpClient::uploadProgress(qint64 bytesSent, qint64 bytesTotal)
{
    if (!isCurrent(sender()))
        return;
    ++selftick;
    if (deadlinePassed())
        return slotNetworkTimeout();
    DebugLine() << QStringLiteral("uploaded: %1/%2").arg(bytesSent).arg(bytesTotal);
    emit upProgress(int(bytesSent), int(bytesTotal));
    // The body file stays open until the exchange ends: the network layer may read it again
    // when it has to send the request anew.
    if (bytesSent >= bytesTotal)
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "send fin!!";
    restartInactivityTimer();
}

void HttpClient::downloadProgress(qint64 recieved, qint64 total)
{
    QNetworkReply* reply = m_reply.data();
    if (!isCurrent(sender()))
        return;
    ++selftick;
    if (deadlinePassed())
        return slotNetworkTimeout();
    emit downProgress(int(recieved), int(total));

    // A download to the temp file has time for its announced size at a slow but real rate.
    if (m_tempFile && total > 0 && m_deadlineMs == AnswerDeadlineMs) {
        m_deadlineMs = AnswerDeadlineMs + qMin(total, MaxTempFileAnswer) * 1000 / SlowRateBytesPerSecond;
        if (m_timer->isActive())
            armTimer();
    }

    const qint64 cap = m_tempFile ? MaxTempFileAnswer : MaxBufferedAnswer;
    if (recieved > cap) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "answer too large"
                  << QString::number(recieved);
        endExchange(QNetworkReply::UnknownContentError);
        return;
    }

    if (m_lastReceived / DrainBlock == recieved / DrainBlock) {
        m_lastReceived = recieved;
        return;
    }
    if (reply->error() == QNetworkReply::NoError) {
        if (m_tempFile) {
            const QByteArray data = reply->readAll();
            if (data.isEmpty())
                DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "readall() zero";
            else if (!appendToTempFile(data)) {
                endExchange(QNetworkReply::UnknownContentError);
                return;
            }
        }
        m_lastReceived = recieved;
        restartInactivityTimer();
    } else {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "error " << int(reply->error());
        m_lastReceived = recieved;
    }
}

void HttpClient::finished()
{
    QNetworkReply* reply = m_reply.data();
    if (!isCurrent(sender()))
        return;
    ++selftick;
    selfcheckpass = false;
    DebugLine() << "finished";
    m_timer->stop();

    int code = reply->error();
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "http client fin!! " << code;
    if (m_tempFile) {
        if (!appendToTempFile(reply->readAll()))
            code = QNetworkReply::UnknownContentError;
        else if (m_tempFile->size() > MaxTempFileAnswer)
            code = QNetworkReply::UnknownContentError;
    } else {
        m_recvData = reply->readAll();
        if (m_recvData.size() > MaxBufferedAnswer) {
            m_recvData.clear();
            code = QNetworkReply::UnknownContentError;
        }
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << " the site data is "
                    << logmask::bodyForLog(QString::fromUtf8(m_recvData));
    }
    if (code == QNetworkReply::UnknownContentError && reply->error() != code)
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "answer too large or not stored";
    endExchange(code);
}

void HttpClient::error(QNetworkReply::NetworkError code)
{
    if (!isCurrent(sender()))
        return;
    ++selftick;
    selfcheckpass = false;
    MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "code:" << int(code);
}

void HttpClient::sslErrors(QList<QSslError> errors)
{
    if (!isCurrent(sender()))
        return;
    ++selftick;
    selfcheckpass = false;
    QStringList texts;
    for (const QSslError& e : errors)
        texts << e.errorString();
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "sslret:" << texts.join(QLatin1String(", "));
}

void HttpClient::slotNetworkTimeout()
{
    ++selftick;
    if (deadlinePassed())
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "exchange deadline passed" << QString::number(m_deadlineMs);
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "timeout";
    m_timedOut = true;
    // The partial temp file stays on disk until the next request.
    endExchange(TimedOut);
}
