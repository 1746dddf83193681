#pragma once

#include <gtest/gtest.h>

#include <QDebug>
#include <QString>
#include <QVariant>

// QVariant's own == converts between types (uint 5 equals int 5); these checks compare
// value trees type by type, which is what a JSON reader's caller relies on.
namespace vnq::test {

inline QString describe(const QVariant& v)
{
    QString text;
    QDebug(&text) << v;
    return text;
}

inline bool sameTree(const QVariant& a, const QVariant& b);

// A QVariantMap or a QVariantHash.
template <typename Map>
bool sameMembers(const Map& a, const Map& b)
{
    if (a.size() != b.size())
        return false;
    for (auto it = a.constBegin(); it != a.constEnd(); ++it)
        if (!b.contains(it.key()) || !sameTree(it.value(), b.value(it.key())))
            return false;
    return true;
}

inline bool sameTree(const QVariant& a, const QVariant& b)
{
    if (a.userType() != b.userType())
        return false;
    switch (a.userType()) {
    case QMetaType::QVariantList: {
        const QVariantList la = a.toList(), lb = b.toList();
        if (la.size() != lb.size())
            return false;
        for (int i = 0; i < la.size(); ++i)
            if (!sameTree(la.at(i), lb.at(i)))
                return false;
        return true;
    }
    case QMetaType::QVariantMap:
        return sameMembers(a.toMap(), b.toMap());
    case QMetaType::QVariantHash:
        return sameMembers(a.toHash(), b.toHash());
    default:
        return a == b;
    }
}

inline ::testing::AssertionResult isSameTree(const QVariant& actual, const QVariant& expected)
{
    if (sameTree(actual, expected))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << qPrintable(describe(actual)) << "\nwanted "
                                         << qPrintable(describe(expected));
}

}  // namespace vnq::test
