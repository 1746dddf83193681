#include "mydebug.h"

#include <QDebug>

#include <syslog.h>

MyDebug::MyDebug()
    : QObject(nullptr)
{
}

MyDebug::~MyDebug()
{
    const QByteArray text = m_buffer.toLocal8Bit();
    openlog("APP", LOG_PID | LOG_NDELAY, LOG_USER);
    syslog(LOG_INFO, "%s", text.constData());
    // Qt 4's debug stream wrote a QString quoted and followed by one space; keep that shape.
    qDebug().noquote().nospace() << QLatin1Char('"') << m_buffer << QLatin1String("\" ");
    closelog();
}

MyDebug& MyDebug::operator<<(int value)
{
    m_buffer += QLatin1Char(' ') + QString::number(value);
    return *this;
}

MyDebug& MyDebug::operator<<(unsigned int value)
{
    m_buffer += QLatin1Char(' ') + QString::number(value);
    return *this;
}

MyDebug& MyDebug::operator<<(const char* text)
{
    m_buffer += QLatin1Char(' ') + QString::fromUtf8(text);
    return *this;
}

MyDebug& MyDebug::operator<<(const QString& text)
{
    m_buffer += QStringLiteral(" \"%1\"").arg(text);
    return *this;
}
