#include "qtjson.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QPoint>
#include <QStringList>
#include <QUrl>

#include <atomic>
#include <limits>
#include <thread>

namespace {

struct WriteCase {
    const char* name;
    QVariant value;
    QByteArray expected;
};

// Each test runs in its own process, but the formats are process-wide: start from empty.
class QtJsonSerialize : public ::testing::Test {
protected:
    void SetUp() override
    {
        QtJson::setDateFormat(QString());
        QtJson::setDateTimeFormat(QString());
    }
    void TearDown() override { SetUp(); }
};

TEST_F(QtJsonSerialize, WriterTable)
{
    QVariantHash hash;
    hash.insert("k", 1);
    const WriteCase cases[] = {
        {"null", QVariant(), "null"},
        {"empty object", QVariantMap(), "{}"},
        {"empty array", QVariantList(), "[]"},
        {"members by name", QVariantMap{{"b", 1}, {"a", true}}, R"({"a":true,"b":1})"},
        {"hash", hash, R"({"k":1})"},
        {"nested", QVariantList{QVariant(), QVariantList{false}, QVariantMap{{"x", "y"}}}, R"([null,[false],{"x":"y"}])"},
        {"string list", QStringList{"a", "b\"c"}, R"(["a","b\"c"])"},
        {"escapes", QString("q\"b\\s\nl"), R"("q\"b\\s\nl")"},
        {"named control characters", QString("\b\f\r\t"), R"("\b\f\r\t")"},
        {"other control characters", QString("\x01x\x1f"), R"("\u0001x\u001f")"},
        {"slash and non-ASCII unchanged", QString("/") + QChar(0xe9), "\"/\xc3\xa9\""},
        {"Japanese", QString::fromUtf8("山田"), "\"\xe5\xb1\xb1\xe7\x94\xb0\""},
        {"surrogate pair", QString::fromUtf8("\xf0\x9f\x98\x80"), "\"\xf0\x9f\x98\x80\""},
        {"lone surrogate", QString(QChar(0xd800)) + "a" + QChar(0xdc00), R"("\ud800a\udc00")"},
        {"byte array", QByteArray("b\xc3\xa9"), "\"b\xc3\xa9\""},
        {"2.0", 2.0, "2.0"},
        {"0.1", 0.1, "0.1"},
        {"100.0", 100.0, "100.0"},
        {"1e20", 1e20, "1e+20"},
        {"six digits", 3.14159265, "3.14159"},
        {"exponent form", 1234567.0, "1.23457e+06"},
        {"negative double", -0.5, "-0.5"},
        {"bool", false, "false"},
        {"int", -7, "-7"},
        {"uint", 4000000000u, "4000000000"},
        {"qulonglong max", std::numeric_limits<qulonglong>::max(), "18446744073709551615"},
        {"qlonglong min", std::numeric_limits<qlonglong>::min(), "-9223372036854775808"},
        {"char as a number", QVariant::fromValue<char>('A'), "65"},
        {"url as text", QVariant(QUrl("http://x/")), R"("http://x/")"},
    };
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.name);
        bool ok = false;
        EXPECT_EQ(QtJson::serialize(c.value, ok), c.expected);
        EXPECT_TRUE(ok);
        EXPECT_EQ(QtJson::serialize(c.value), c.expected);
        EXPECT_EQ(QtJson::serializeStr(c.value, ok), QString::fromUtf8(c.expected));
        EXPECT_TRUE(ok);
    }
}

// Failure at any depth makes the whole result null.
TEST_F(QtJsonSerialize, UnwritableValuesFailTheWholeText)
{
    const QVariant point = QVariant::fromValue(QPoint(1, 2));
    const struct {
        const char* name;
        QVariant value;
    } cases[] = {
        {"unwritable type", point},
        {"unwritable in a list", QVariantList{1, point}},
        {"unwritable deep in a map", QVariantMap{{"a", QVariantList{QVariantMap{{"b", point}}}}}},
        {"NaN", std::numeric_limits<double>::quiet_NaN()},
        {"infinity in a list", QVariantList{1.0, std::numeric_limits<double>::infinity()}},
        {"minus infinity", -std::numeric_limits<double>::infinity()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        bool ok = true;
        EXPECT_TRUE(QtJson::serialize(c.value, ok).isNull());
        EXPECT_FALSE(ok);
        ok = true;
        EXPECT_TRUE(QtJson::serializeStr(c.value, ok).isEmpty());
        EXPECT_FALSE(ok);
    }
}

TEST_F(QtJsonSerialize, DatesFollowTheFormats)
{
    const QDate date(2020, 1, 2);
    const QDateTime dateTime(date, QTime(3, 4, 5));
    const QVariantList both{date, dateTime};

    EXPECT_EQ(QtJson::serialize(both), R"(["Thu Jan 2 2020","Thu Jan 2 03:04:05 2020"])");

    QtJson::setDateFormat("yyyy/MM/dd");
    EXPECT_EQ(QtJson::getDateFormat(), "yyyy/MM/dd");
    EXPECT_EQ(QtJson::getDateTimeFormat(), "");
    EXPECT_EQ(QtJson::serialize(both), R"(["2020/01/02","Thu Jan 2 03:04:05 2020"])");

    QtJson::setDateTimeFormat("yyyyMMddhhmmss");
    EXPECT_EQ(QtJson::getDateTimeFormat(), "yyyyMMddhhmmss");
    EXPECT_EQ(QtJson::serialize(both), R"(["2020/01/02","20200102030405"])");
}

// A format set on one thread while another writes dates: every text is in one of the two
// formats, and (under the sanitizers) nothing reads a format as it is replaced.
TEST_F(QtJsonSerialize, FormatsCanChangeWhileAnotherThreadWrites)
{
    const QVariant date = QDate(2020, 1, 2);
    QtJson::setDateFormat("dd.MM.yyyy");
    std::atomic<bool> done{false};
    std::thread setter([&] {
        for (int i = 0; !done; ++i)
            QtJson::setDateFormat(i % 2 ? "yyyy/MM/dd" : "dd.MM.yyyy");
    });
    for (int i = 0; i < 2000; ++i) {
        const QByteArray text = QtJson::serialize(date);
        if (text != R"("2020/01/02")" && text != R"("02.01.2020")") {
            ADD_FAILURE() << text.constData();
            break;
        }
    }
    done = true;
    setter.join();
}

}  // namespace
