#include "qtjson.h"
#include "varianttree.h"

#include <gtest/gtest.h>

#include <QJsonDocument>

#include <random>

using vnq::test::isSameTree;

namespace {

struct Document {
    const char* name;
    QByteArray text;
    bool strict;  // plain JSON, which QJsonDocument accepts as well
};

// Answers shaped like the JSON service's: update times, users, settings, communication
// cycle, firmware and service name, plus nesting and the reader's lenient forms.
const Document corpus[] = {
    {"update times",
     R"({"result":0,"update_times":[{"data_kind":33,"update_time":"20240105123000"},)"
     R"({"data_kind":40,"update_time":"20240101000000"},{"data_kind":47,"update_time":"20231231235959"}]})",
     true},
    {"users",
     "{\"result\":0,\"users\":[\n"
     "  {\"id_code\":1,\"name\":\"山田 太郎\",\"group_no\":3,\"idm_no\":\"012E4CD1A2B3C4D5\",\"idm_update_time\":\"20240105123000\"},\n"
     "  {\"id_code\":2,\"name\":\"髙橋 \\\"はな\\\" \\u5b50\",\"group_no\":0,\"idm_no\":\"0\",\"idm_update_time\":\"\"},\n"
     "  {\"id_code\":123456789,\"name\":\"\\ud842\\udfb7野 一郎\\/\\\\\",\"group_no\":12,\"idm_no\":\"\",\"idm_update_time\":null}\n"
     "]}",
     true},
    {"settings",
     R"({"result":0,"unyous":[{"key":"backlight_time","value":30,"update_time":"20240105123000"},)"
     R"({"key":"volume","value":-1,"update_time":"20240105123001"}]})",
     true},
    {"communication cycle", R"({"result":0,"comm_mmss":1530,"comm_cycle":3600})", true},
    {"firmware",
     R"({"result":0,"version":"Qo02-6Z10","size":1048576,"hash":"d41d8cd98f00b204e9800998ecf8427e",)"
     R"("url":"https:\/\/example.invalid\/fw\/firm.bin"})",
     true},
    {"service name", "{\"result\":-3,\"service_name\":\"Merid勤怠\\tサービス\\r\\n\"}", true},
    {"nested arrays", R"({"matrix":[[1,2,[3,[4.5,-6]]],[],[[]]],"flags":[true,false,null],"empty":{},"big":4294967296})",
     true},
    {"lenient commas", R"([,{"a":[1 2,],"b":"x",},])", false},
};

QVariant parseDocument(const QByteArray& text, bool& ok)
{
    return QtJson::parse(QString::fromUtf8(text), ok);
}

TEST(QtJsonCorpus, WritingAndReadingAgainKeepsTheValues)
{
    for (const Document& document : corpus) {
        SCOPED_TRACE(document.name);
        bool ok = false;
        const QVariant value = parseDocument(document.text, ok);
        ASSERT_TRUE(ok);
        const QByteArray written = QtJson::serialize(value, ok);
        ASSERT_TRUE(ok);
        EXPECT_TRUE(isSameTree(parseDocument(written, ok), value));
        EXPECT_TRUE(ok);
    }
}

// Numbers compared as doubles and Qt's JSON null as the null value, since the two readers
// differ there by design.
QVariant normalised(const QVariant& value)
{
    switch (value.userType()) {
    case QMetaType::QVariantList: {
        QVariantList list;
        for (const QVariant& element : value.toList())
            list.append(normalised(element));
        return list;
    }
    case QMetaType::QVariantMap: {
        QVariantMap map;
        const QVariantMap source = value.toMap();
        for (auto it = source.constBegin(); it != source.constEnd(); ++it)
            map.insert(it.key(), normalised(it.value()));
        return map;
    }
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        return value.toDouble();
    case QMetaType::Nullptr:
        return QVariant();
    default:
        return value;
    }
}

TEST(QtJsonCorpus, AgreesWithQtsJsonReader)
{
    for (const Document& document : corpus) {
        SCOPED_TRACE(document.name);
        QJsonParseError error;
        const QJsonDocument reference = QJsonDocument::fromJson(document.text, &error);
        EXPECT_EQ(error.error == QJsonParseError::NoError, document.strict) << qPrintable(error.errorString());
        if (reference.isNull())
            continue;
        bool ok = false;
        const QVariant value = parseDocument(document.text, ok);
        EXPECT_TRUE(ok);
        EXPECT_TRUE(isSameTree(normalised(value), normalised(reference.toVariant())));
    }
}

// What a failed parse must return: the empty container the text starts with, else null.
QVariant failureValueOf(const QString& text)
{
    for (QChar c : text) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r')
            continue;
        if (c == '{')
            return QVariantMap();
        if (c == '[')
            return QVariantList();
        break;
    }
    return QVariant();
}

// Byte flips, truncations and inserted openers, quotes and backslashes: every parse
// returns with its flag, a failure with its failure value, a success with a value that
// writes and reads again.
TEST(QtJsonCorpus, MutatedAnswersFailCleanly)
{
    std::mt19937 random(20240105);
    const char inserts[] = {'{', '[', '"', '\\'};
    const int documents = int(sizeof corpus / sizeof corpus[0]);
    for (int round = 0; round < 20000; ++round) {
        QByteArray bytes = corpus[random() % documents].text;
        const int position = int(random() % bytes.size());
        switch (random() % 3) {
        case 0: bytes[position] = char(random()); break;
        case 1: bytes.truncate(position); break;
        default: bytes.insert(position, QByteArray(int(random() % 3) + 1, inserts[random() % 4])); break;
        }
        const QString text = QString::fromUtf8(bytes);
        bool ok = false;
        const QVariant value = QtJson::parse(text, ok);
        if (!ok) {
            ASSERT_TRUE(isSameTree(value, failureValueOf(text))) << bytes.constData();
            continue;
        }
        const QByteArray written = QtJson::serialize(value, ok);
        ASSERT_TRUE(ok) << bytes.constData();
        QtJson::parse(QString::fromUtf8(written), ok);
        ASSERT_TRUE(ok) << written.constData();
    }
}

}  // namespace
