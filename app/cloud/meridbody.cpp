#include "meridbody.h"

#include "qtjson.h"

QString MeridBody::quoted(const QString& value)
{
    return QtJson::serializeStr(QVariant(value));
}

MeridBody::MeridBody()
    : m_text(QStringLiteral("{"))
{
}

MeridBody& MeridBody::raw(const QString& name, const QString& json)
{
    if (m_text.size() > 1)
        m_text += QLatin1Char(',');
    m_text += quoted(name) + QLatin1Char(':') + json;
    return *this;
}

MeridBody& MeridBody::member(const QString& name, const QString& value)
{
    return raw(name, quoted(value));
}

MeridBody& MeridBody::member(const QString& name, qlonglong value)
{
    return raw(name, QString::number(value));
}
