#include "qtjson.h"

#include <QStringList>

// Deep copies of value trees and building them member by member.

namespace QtJson {
namespace {

// Takes the container out of the variant, so changing it and putting it back copies nothing.
template <typename Container>
Container takeContainer(QVariant& v)
{
    Container container = v.value<Container>();
    v = QVariant();
    return container;
}

// Members of a QVariantMap or a QVariantHash, each cloned, into the target object.
template <typename Map>
void cloneMap(QVariant& json, const Map& map)
{
    for (auto it = map.constBegin(); it != map.constEnd(); ++it)
        insert(json, it.key(), it.value());
}

// Elements of a QVariantList or a QStringList, copied as they are, into the target array.
template <typename List>
void cloneList(QVariant& json, const List& list)
{
    for (const auto& element : list)
        append(json, QVariant(element));
}

}  // namespace

QVariant clone(const QVariant& data)
{
    QVariant copy;
    switch (data.userType()) {
    case QMetaType::QVariantMap: cloneMap(copy, data.toMap()); break;
    case QMetaType::QVariantHash: cloneMap(copy, data.toHash()); break;
    case QMetaType::QVariantList: cloneList(copy, data.toList()); break;
    case QMetaType::QStringList: cloneList(copy, data.toStringList()); break;
    default: copy = data;
    }
    return copy;
}

// A hash keeps being a hash; any other target Qt can take as a map (such as a JSON object)
// is replaced by that map with the member set.
void insert(QVariant& v, const QString& key, const QVariant& value)
{
    if (v.userType() == QMetaType::QVariantHash) {
        QVariantHash hash = takeContainer<QVariantHash>(v);
        hash.insert(key, clone(value));
        v = hash;
        return;
    }
    QVariantMap map = v.canConvert(QMetaType::QVariantMap) ? takeContainer<QVariantMap>(v) : QVariantMap();
    map.insert(key, clone(value));
    v = map;
}

// Any target Qt can take as a list (a string list, for one) is replaced by that list with
// the value appended.
void append(QVariant& v, const QVariant& value)
{
    QVariantList list = v.canConvert(QMetaType::QVariantList) ? takeContainer<QVariantList>(v) : QVariantList();
    list.append(value);
    v = list;
}

}  // namespace QtJson
