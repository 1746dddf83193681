#include "srvlog.h"

#include <QDebug>

namespace vistrel {

SrvErr::SrvErr(const char* function, int line)
{
    *this << "<SRV ERR>" << function << "[" << line << "]:";
}

SrvErr::~SrvErr()
{
    qDebug().noquote() << m_text;
}

SrvErr& SrvErr::operator<<(const char* text)
{
    m_text += QLatin1Char(' ') + QString::fromUtf8(text);
    return *this;
}

SrvErr& SrvErr::operator<<(const QString& text)
{
    m_text += QLatin1String(" \"") + text + QLatin1Char('"');
    return *this;
}

SrvErr& SrvErr::operator<<(long long value)
{
    m_text += QLatin1Char(' ') + QString::number(value);
    return *this;
}

}  // namespace vistrel
