#include "jsonmember.h"

namespace jsonmember {

bool integer(const QVariant& value, int* out)
{
    switch (int(value.type())) {
    case QVariant::Int:
    case QVariant::UInt:
    case QVariant::LongLong:
    case QVariant::ULongLong: {
        bool ok = false;
        const int number = value.toInt(&ok);
        if (!ok || value.toLongLong() != number || (value.type() == QVariant::ULongLong && number < 0))
            return false;
        *out = number;
        return true;
    }
    default:
        return false;
    }
}

bool text(const QVariant& value, QString* out)
{
    if (value.type() != QVariant::String)
        return false;
    *out = value.toString();
    return true;
}

QString textOrEmpty(const QVariant& value)
{
    QString out;
    text(value, &out);
    return out;
}

}  // namespace jsonmember
