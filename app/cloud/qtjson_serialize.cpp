#include "qtjson.h"

#include <QDate>
#include <QDateTime>
#include <QMutex>
#include <QMutexLocker>
#include <QStringList>

#include <cmath>

// The writer: compact JSON text, no white space, object members in the container's order.

namespace QtJson {
namespace {

QMutex formatLock;
QString dateTimeFormat;
QString dateFormat;

const char hexDigits[] = "0123456789abcdef";

bool needsEscape(ushort c)
{
    return c < 0x20 || c == '"' || c == '\\' || QChar::isSurrogate(c);
}

// The string as a quoted JSON string in UTF-8. Besides quote and backslash, control
// characters are escaped (\b \f \n \r \t by name, the others as \u00XX), and so is a
// surrogate without its partner, which UTF-8 cannot carry. Everything else, "/" and
// non-ASCII characters included, is written as it is.
QByteArray sanitizeString(QString str)
{
    const int size = str.size();
    int first = 0;
    while (first < size && !needsEscape(str.at(first).unicode()))
        ++first;
    if (first < size) {
        QString escaped = str.left(first);
        escaped.reserve(size + 16);
        for (int i = first; i < size; ++i) {
            const ushort c = str.at(i).unicode();
            if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(str.at(i + 1).unicode())) {
                escaped.append(str.at(i)).append(str.at(i + 1));
                ++i;
                continue;
            }
            if (!needsEscape(c)) {
                escaped.append(QChar(c));
                continue;
            }
            switch (c) {
            case '\\': escaped.append(QLatin1String("\\\\")); break;
            case '"': escaped.append(QLatin1String("\\\"")); break;
            case 0x08: escaped.append(QLatin1String("\\b")); break;
            case 0x0c: escaped.append(QLatin1String("\\f")); break;
            case 0x0a: escaped.append(QLatin1String("\\n")); break;
            case 0x0d: escaped.append(QLatin1String("\\r")); break;
            case 0x09: escaped.append(QLatin1String("\\t")); break;
            default: {
                const char unit[] = {'\\', 'u', hexDigits[c >> 12], hexDigits[(c >> 8) & 15], hexDigits[(c >> 4) & 15],
                                     hexDigits[c & 15], 0};
                escaped.append(QLatin1String(unit));
            }
            }
        }
        str = escaped;
    }
    QByteArray result;
    result.reserve(size + 2);
    result.append('"').append(str.toUtf8()).append('"');
    return result;
}

// Joins the texts, putting the separator only after a non-empty result.
QByteArray join(const QList<QByteArray>& list, const QByteArray& sep)
{
    QByteArray result;
    for (const QByteArray& text : list) {
        if (!result.isEmpty())
            result.append(sep);
        result.append(text);
    }
    return result;
}

// Six significant digits; a result without point or exponent gets ".0".
QByteArray serializeDouble(double value, bool& success)
{
    if (!std::isfinite(value)) {
        success = false;
        return QByteArray();
    }
    QByteArray text = QByteArray::number(value, 'g', 6);
    if (!text.contains('.') && !text.contains('e'))
        text.append(".0");
    return text;
}

QByteArray serializeValue(const QVariant& data, bool& success);

// A list of QVariant values or a QStringList.
template <typename List>
QByteArray serializeList(const List& list, bool& success)
{
    QList<QByteArray> values;
    values.reserve(list.size());
    for (const auto& element : list) {
        const QByteArray text = serializeValue(QVariant(element), success);
        if (!success)
            return QByteArray();
        values.append(text);
    }
    return "[" + join(values, ",") + "]";
}

// A QVariantMap or a QVariantHash as an object, members in the container's order.
template <typename Map>
QByteArray serializeMap(const Map& map, bool& success)
{
    QList<QByteArray> pairs;
    pairs.reserve(map.size());
    for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
        const QByteArray value = serializeValue(it.value(), success);
        if (!success)
            return QByteArray();
        pairs.append(sanitizeString(it.key()) + ":" + value);
    }
    return "{" + join(pairs, ",") + "}";
}

QByteArray serializeDateTime(const QDateTime& value)
{
    QMutexLocker locker(&formatLock);
    return sanitizeString(dateTimeFormat.isEmpty() ? value.toString(Qt::TextDate) : value.toString(dateTimeFormat));
}

QByteArray serializeDate(const QDate& value)
{
    QMutexLocker locker(&formatLock);
    return sanitizeString(dateFormat.isEmpty() ? value.toString(Qt::TextDate) : value.toString(dateFormat));
}

QByteArray serializeValue(const QVariant& data, bool& success)
{
    const int type = data.userType();
    if (!data.isValid())
        return "null";
    if (type == QMetaType::QVariantList)
        return serializeList(data.toList(), success);
    if (type == QMetaType::QStringList)
        return serializeList(data.toStringList(), success);
    if (type == QMetaType::QVariantHash)
        return serializeMap(data.toHash(), success);
    if (type == QMetaType::QVariantMap)
        return serializeMap(data.toMap(), success);
    if (type == QMetaType::QString || type == QMetaType::QByteArray)
        return sanitizeString(data.toString());
    if (type == QMetaType::Double)
        return serializeDouble(data.toDouble(), success);
    if (type == QMetaType::Bool)
        return data.toBool() ? "true" : "false";
    if (type == QMetaType::ULongLong)
        return QByteArray::number(data.toULongLong());
    if (data.canConvert<qlonglong>())
        return QByteArray::number(data.toLongLong());
    if (data.canConvert<long>())
        return QByteArray::number(qlonglong(data.value<long>()));
    if (type == QMetaType::QDateTime)
        return serializeDateTime(data.toDateTime());
    if (type == QMetaType::QDate)
        return serializeDate(data.toDate());
    if (data.canConvert<QString>())
        return sanitizeString(data.toString());
    success = false;
    return QByteArray();
}

}  // namespace

QByteArray serialize(const QVariant& data, bool& success)
{
    success = true;
    const QByteArray text = serializeValue(data, success);
    return success ? text : QByteArray();
}

QByteArray serialize(const QVariant& data)
{
    bool success;
    return serialize(data, success);
}

QString serializeStr(const QVariant& data, bool& success)
{
    return QString::fromUtf8(serialize(data, success));
}

QString serializeStr(const QVariant& data)
{
    bool success;
    return serializeStr(data, success);
}

void setDateTimeFormat(const QString& format)
{
    QMutexLocker locker(&formatLock);
    dateTimeFormat = format;
}

void setDateFormat(const QString& format)
{
    QMutexLocker locker(&formatLock);
    dateFormat = format;
}

QString getDateTimeFormat()
{
    QMutexLocker locker(&formatLock);
    return dateTimeFormat;
}

QString getDateFormat()
{
    QMutexLocker locker(&formatLock);
    return dateFormat;
}

}  // namespace QtJson
