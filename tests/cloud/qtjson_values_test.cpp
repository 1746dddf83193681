#include "qtjson.h"
#include "varianttree.h"

#include <gtest/gtest.h>

#include <QStringList>

using vnq::test::isSameTree;

namespace {

QVariantHash hashOf(const QString& key, const QVariant& value)
{
    QVariantHash hash;
    hash.insert(key, value);
    return hash;
}

TEST(QtJsonValues, CloneTable)
{
    const QVariant null;
    const struct {
        const char* name;
        QVariant value;
        QVariant expected;
    } cases[] = {
        {"nested maps", QVariantMap{{"a", QVariantMap{{"b", QVariantList{1, "x"}}}}},
         QVariantMap{{"a", QVariantMap{{"b", QVariantList{1, "x"}}}}}},
        {"hash copied as a map", hashOf("z", 1), QVariantMap{{"z", 1}}},
        {"hash inside a map", QVariantMap{{"a", hashOf("b", 2)}}, QVariantMap{{"a", QVariantMap{{"b", 2}}}}},
        {"empty map inside a map", QVariantMap{{"a", QVariantMap()}, {"b", 1}}, QVariantMap{{"a", null}, {"b", 1}}},
        {"list elements copied as they are", QVariantList{hashOf("b", 2), QVariantList()},
         QVariantList{hashOf("b", 2), QVariantList()}},
        {"string list", QStringList{"x", "y"}, QVariantList{"x", "y"}},
        {"empty map", QVariantMap(), null},
        {"empty hash", QVariantHash(), null},
        {"empty list", QVariantList(), null},
        {"empty string list", QStringList(), null},
        {"scalar", 5u, 5u},
        {"null", null, null},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(isSameTree(QtJson::clone(c.value), c.expected));
    }
    EXPECT_EQ(QtJson::serialize(QtJson::clone(QVariantList())), "null");
}

TEST(QtJsonValues, InsertSetsAClonedMember)
{
    const struct {
        const char* name;
        QVariant target;
        QVariant expected;
    } cases[] = {
        {"null target", QVariant(), QVariantMap{{"k", QVariantMap{{"h", 1}}}}},
        {"non-map target", 5, QVariantMap{{"k", QVariantMap{{"h", 1}}}}},
        {"string target", "text", QVariantMap{{"k", QVariantMap{{"h", 1}}}}},
        {"existing map", QVariantMap{{"a", 1}, {"k", 2}}, QVariantMap{{"a", 1}, {"k", QVariantMap{{"h", 1}}}}},
        {"hash stays a hash", hashOf("a", 1), [] {
             QVariantHash hash = hashOf("a", 1);
             hash.insert("k", QVariantMap{{"h", 1}});
             return hash;
         }()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QVariant target = c.target;
        QtJson::insert(target, "k", hashOf("h", 1));
        EXPECT_TRUE(isSameTree(target, c.expected));
    }
}

TEST(QtJsonValues, AppendAddsTheValueAsItIs)
{
    const QVariant hash = hashOf("h", 1);
    const struct {
        const char* name;
        QVariant target;
        QVariant expected;
    } cases[] = {
        {"null target", QVariant(), QVariantList{hash}},
        {"non-list target", 5, QVariantList{hash}},
        {"map target", QVariantMap{{"a", 1}}, QVariantList{hash}},
        {"existing list", QVariantList{1}, QVariantList{1, hash}},
        {"string list", QStringList{"x"}, QVariantList{"x", hash}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QVariant target = c.target;
        QtJson::append(target, hash);
        EXPECT_TRUE(isSameTree(target, c.expected));
    }
}

// Building in place must not disturb copies taken before.
TEST(QtJsonValues, BuildingLeavesEarlierCopiesAlone)
{
    QVariant object;
    QtJson::insert(object, "a", 1);
    QVariant array;
    QtJson::append(array, object);
    const QVariant objectBefore = object, arrayBefore = array;

    QtJson::insert(object, "b", 2);
    QtJson::append(array, 3);

    EXPECT_TRUE(isSameTree(objectBefore, QVariantMap{{"a", 1}}));
    EXPECT_TRUE(isSameTree(object, QVariantMap{{"a", 1}, {"b", 2}}));
    EXPECT_TRUE(isSameTree(arrayBefore, QVariantList{QVariantMap{{"a", 1}}}));
    EXPECT_TRUE(isSameTree(array, QVariantList{QVariantMap{{"a", 1}}, 3}));
}

}  // namespace
