#include "qtjson.h"
#include "varianttree.h"

#include <gtest/gtest.h>

using vnq::test::isSameTree;

namespace {

struct ParseCase {
    const char* name;
    QString text;
    QVariant expected;
    bool ok;
};

QVariantList list12() { return {1u, 2u}; }
QVariantMap mapAB() { return {{"a", 1u}, {"b", 2u}}; }

TEST(QtJsonParse, GrammarTable)
{
    const QVariant null;
    const ParseCase cases[] = {
        {"empty object", "{}", QVariantMap(), true},
        {"empty array", "[]", QVariantList(), true},
        {"nested", R"({"a":[true,false,null,"x"],"b":{"c":-1}})",
         QVariantMap{{"a", QVariantList{true, false, null, "x"}}, {"b", QVariantMap{{"c", -1}}}}, true},
        {"whitespace everywhere", " \t\r\n[ 1 ,\n2 ] ", list12(), true},
        {"trailing comma", "[1,2,]", list12(), true},
        {"leading and repeated commas", "[,1,,2]", list12(), true},
        {"no comma", "[1 2]", list12(), true},
        {"member trailing comma", R"({"a":1,"b":2,})", mapAB(), true},
        {"member leading and repeated commas", R"({,"a":1,,"b":2})", mapAB(), true},
        {"member no comma", R"({"a":1 "b":2})", mapAB(), true},
        {"members ordered by name", R"({"b":2,"a":1})", mapAB(), true},
        {"duplicate member keeps the last", R"({"a":1,"a":2})", QVariantMap{{"a", 2u}}, true},
        {"missing colon", R"({"a" 1})", QVariantMap(), false},
        {"name starting no token", R"({a":1})", QVariantMap(), false},
        {"name behind a token character", R"({-a":1})", QVariantMap{{"a", 1u}}, true},
        {"escape u00e9", R"("\u00e9")", QString(QChar(0xe9)), true},
        {"escape upper-case hex", R"("\u00C9")", QString(QChar(0xc9)), true},
        {"escape no hex number", R"("\uzzzz")", QString(QChar(0)), true},
        {"surrogate pair", R"("\ud83d\ude00")", QString::fromUtf8("\xf0\x9f\x98\x80"), true},
        {"named escapes", R"("\"\\\/\b\f\n\r\t")", QString("\"\\/\b\f\n\r\t"), true},
        {"unknown escape dropped", R"("a\xb")", "ab", true},
        {"raw control character kept", "\"a\tb\x01\"", "a\tb\x01", true},
        {"text ends in a backslash", "\"ab\\", null, false},
        {"short u escape", R"("\u12")", null, false},
        {"unterminated string", R"("abc)", null, false},
        {"uint", "5", 5u, true},
        {"int", "-5", -5, true},
        {"uint max", "4294967295", 4294967295u, true},
        {"qulonglong", "4294967296", qulonglong(4294967296ULL), true},
        {"int min", "-2147483648", int(-2147483647 - 1), true},
        {"qlonglong", "-2147483649", qlonglong(-2147483649LL), true},
        {"beyond 64 bits", "18446744073709551616", "18446744073709551616", true},
        {"below 64 bits", "-9223372036854775809", "-9223372036854775809", true},
        {"exponent without point", "1e5", "1e5", true},
        {"point", "2.50", 2.5, true},
        {"point and exponent", "1.5e3", 1500.0, true},
        {"point but no number", "1.2.3", 0.0, true},
        {"double beyond range", "1.0e999", 0.0, true},
        {"lone minus", "[-]", QVariantList{"-"}, true},
        {"whitespace only", " \t\n\r", null, false},
        {"empty text", "", null, false},
        {"null QString", QString(), null, true},
        {"null at the end", "null", null, true},
        {"nul at the end", "nul", null, false},
        {"literal needs no delimiter", "truex", true, true},
        {"literal case-sensitive", "True", null, false},
        {"false", " false", false, true},
        {"trailing text ignored", "{} x", QVariantMap(), true},
        {"close bracket first", "]", null, false},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.name);
        bool ok = false;
        const QVariant value = QtJson::parse(c.text, ok);
        EXPECT_EQ(ok, c.ok);
        EXPECT_TRUE(isSameTree(value, c.expected));
        EXPECT_TRUE(isSameTree(QtJson::parse(c.text), c.expected));
    }
}

// A failure anywhere inside returns the outermost container empty, not what was read.
TEST(QtJsonParse, FailureValueIsTheOutermostContainerEmpty)
{
    const struct {
        QString text;
        QVariant expected;
    } cases[] = {
        {R"({"a":[1,2,{"b":}]})", QVariantMap()},
        {R"( {"a":1,"b":"unterminated)", QVariantMap()},
        {R"([1,{"a":tru}])", QVariantList()},
        {R"([1,2)", QVariantList()},
        {R"("abc\u00)", QVariant()},
        {":", QVariant()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        bool ok = true;
        EXPECT_TRUE(isSameTree(QtJson::parse(c.text, ok), c.expected));
        EXPECT_FALSE(ok);
    }
}

QString nestedArrays(int depth)
{
    return QString(depth, '[') + QString(depth, ']');
}

QString nestedObjects(int depth)
{
    QString text;
    for (int i = 0; i < depth; ++i)
        text += "{\"a\":";
    return text + "1" + QString(depth, '}');
}

int arrayDepth(QVariant value)
{
    int depth = 0;
    while (value.userType() == QMetaType::QVariantList) {
        ++depth;
        const QVariantList list = value.toList();
        value = list.isEmpty() ? QVariant() : list.first();
    }
    return depth;
}

TEST(QtJsonParse, NestingIsBounded)
{
    bool ok = false;
    EXPECT_EQ(arrayDepth(QtJson::parse(nestedArrays(QtJson::maxDepth), ok)), QtJson::maxDepth);
    EXPECT_TRUE(ok);

    QVariant value = QtJson::parse(nestedObjects(QtJson::maxDepth), ok);
    EXPECT_TRUE(ok);
    for (int i = 0; i < QtJson::maxDepth; ++i)
        value = value.toMap().value("a");
    EXPECT_TRUE(isSameTree(value, 1u));

    EXPECT_TRUE(isSameTree(QtJson::parse(nestedArrays(QtJson::maxDepth + 1), ok), QVariantList()));
    EXPECT_FALSE(ok);
    EXPECT_TRUE(isSameTree(QtJson::parse(nestedObjects(QtJson::maxDepth + 1), ok), QVariantMap()));
    EXPECT_FALSE(ok);
    EXPECT_TRUE(isSameTree(QtJson::parse("[{\"a\":" + nestedArrays(QtJson::maxDepth - 1) + "}]", ok), QVariantList()));
    EXPECT_FALSE(ok);

    // A hostile answer of nothing but openers.
    EXPECT_TRUE(isSameTree(QtJson::parse(QString(100000, '['), ok), QVariantList()));
    EXPECT_FALSE(ok);
    EXPECT_TRUE(isSameTree(QtJson::parse("[" + QString("{\"a\":").repeated(100000), ok), QVariantList()));
    EXPECT_FALSE(ok);
}

}  // namespace
