#ifndef QTJSON_H
#define QTJSON_H

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <QVector>

#include <functional>

// JSON text to and from trees of QVariant values: objects are QVariantMap, arrays
// QVariantList, strings QString, numbers uint, qulonglong, int, qlonglong or double (a
// number text that fits none of them stays a QString), true and false bool, null QVariant().
namespace QtJson {

// Nested arrays and objects deeper than this fail to parse, so hostile text cannot exhaust
// the stack.
constexpr int maxDepth = 512;

// Reads the value at the start of the text; text after it is ignored. The flag is false
// on failure, and the value is then an empty map (text starting with "{"), an empty list
// (text starting with "[") or the null value. A null QString is the null value, success.
QVariant parse(const QString& json, bool& success);
QVariant parse(const QString& json);

// One member of an object as the reader met it: its name, where its value stands in the text
// ([start, end); a value that failed to read reaches to the end of the text) and the value
// (null when it failed).
struct MemberSpan {
    QString name;
    int start;
    int end;
    QVariant value;
};
// Told of every object's members once the reader leaves the object, inner objects first, an
// object whose reading failed with the members read up to the failure.
using ObjectObserver = std::function<void(const QVector<MemberSpan>& members)>;
// parse, telling the observer where the members of each object stand.
QVariant parse(const QString& json, bool& success, const ObjectObserver& observer);

// Compact UTF-8 JSON text of the value; on failure (a type that cannot be written, a NaN
// or infinite double, at any depth) a null QByteArray and the flag false.
QByteArray serialize(const QVariant& data, bool& success);
QByteArray serialize(const QVariant& data);
// The same text as a QString; empty on failure.
QString serializeStr(const QVariant& data, bool& success);
QString serializeStr(const QVariant& data);

// A deep copy: maps and hashes become maps of cloned members, lists and string lists
// lists; an empty container is copied as the null value.
QVariant clone(const QVariant& data);
// Sets the member `key` of the object `v` to a clone of `value`; a target that cannot be
// taken as an object becomes an empty object first.
void insert(QVariant& v, const QString& key, const QVariant& value);
// Appends `value` to the array `v`; a target that cannot be taken as an array becomes an
// empty array first.
void append(QVariant& v, const QVariant& value);

// How the writer writes date-times and dates: a QDateTime/QDate format, or Qt::TextDate
// while empty. Shared by the whole process; safe to set from any thread.
void setDateTimeFormat(const QString& format);
void setDateFormat(const QString& format);
QString getDateTimeFormat();
QString getDateFormat();

}  // namespace QtJson

#endif  // QTJSON_H
