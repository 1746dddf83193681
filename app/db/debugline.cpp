#include "debugline.h"

#include <QDebug>

DebugLine::~DebugLine()
{
    qDebug().noquote().nospace() << m_buffer;
}

DebugLine& DebugLine::operator<<(int value)
{
    m_buffer += QString::number(value) + QLatin1Char(' ');
    return *this;
}

DebugLine& DebugLine::operator<<(unsigned int value)
{
    m_buffer += QString::number(value) + QLatin1Char(' ');
    return *this;
}

DebugLine& DebugLine::operator<<(qint64 value)
{
    m_buffer += QString::number(value) + QLatin1Char(' ');
    return *this;
}

DebugLine& DebugLine::operator<<(const char* text)
{
    m_buffer += QString::fromUtf8(text) + QLatin1Char(' ');
    return *this;
}

DebugLine& DebugLine::operator<<(const QString& text)
{
    m_buffer += QLatin1Char('"') + text + QLatin1String("\" ");
    return *this;
}

DebugLine& DebugLine::operator<<(bool value)
{
    m_buffer += QLatin1String(value ? "true " : "false ");
    return *this;
}
