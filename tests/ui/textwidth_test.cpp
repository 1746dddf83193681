#include "messagecapture.h"
#include "mylabel.h"

#include <gtest/gtest.h>

namespace {

struct WidthCase {
    const char* text;
    int width;
    int length;         // getLenght(text)
    const char* left;   // Left(text, width)
    const char* right;  // Right(text, width)
};

// One-byte characters count 1, every other character 2 (two- to four-byte UTF-8 alike).
const WidthCase widthCases[] = {
    {"AB漢", 3, 4, "AB", "漢"},
    {"AB漢字", 3, 6, "AB", "漢字"},
    {"AB漢字", 4, 6, "AB漢", "字"},
    {"AB", 5, 2, "AB", ""},
    {"", 0, 0, "", ""},
    {"山田太郎", 0, 8, "", "山田太郎"},
    {"山田太郎", 7, 8, "山田太", "郎"},
    {"ｱｲｳ", 4, 6, "ｱｲ", "ｳ"},                   // half-width katakana: three bytes each
    {"é1", 2, 3, "é", "1"},                     // two-byte character
    {"A😀B", 2, 4, "A", "😀B"},                 // four-byte character (two UTF-16 units)
    {"A😀B", 3, 4, "A😀", "B"},
    {"田中 一郎", 16, 9, "田中 一郎", ""},
    {"abc", -1, 3, "", "abc"},
};

TEST(MyLabelTextWidth, MeasuresAndCutsByDisplayWidth)
{
    for (const WidthCase& c : widthCases) {
        const QString text = QString::fromUtf8(c.text);
        SCOPED_TRACE(std::string(c.text) + " / " + std::to_string(c.width));
        EXPECT_EQ(MyLabel::getLenght(text), c.length);
        EXPECT_EQ(MyLabel::Left(text, c.width), QString::fromUtf8(c.left));
        EXPECT_EQ(MyLabel::Right(text, c.width), QString::fromUtf8(c.right));
        EXPECT_EQ(MyLabel::Left(text, c.width) + MyLabel::Right(text, c.width), text);
    }
}

TEST(MyLabelTextWidth, Utf8SizeOfLeadBytes)
{
    struct {
        const char* bytes;
        int size;
    } cases[] = {
        {"A", 1}, {"\xC3\xA9", 2}, {"\xE6\xBC\xA2", 3}, {"\xF0\x9F\x98\x80", 4},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MyLabel::getUtf8Size(reinterpret_cast<const unsigned char*>(c.bytes)), c.size) << c.bytes;
}

TEST(MyLabelTextWidth, InvalidLeadByteIsLoggedAndCountsAsFour)
{
    vnq::test::MessageCapture log;
    // A stray continuation byte, and a four-byte lead cut short by the terminating zero: the
    // look-ahead stops at the zero instead of reading past it.
    const unsigned char stray[] = {0x80, 'A', 0};
    const unsigned char cut[] = {0xF0, 0x9F, 0};
    EXPECT_EQ(MyLabel::getUtf8Size(stray), 4);
    EXPECT_EQ(MyLabel::getUtf8Size(cut), 4);
    EXPECT_EQ(log.matching(QStringLiteral("<ERR>")).size(), 2);
    EXPECT_EQ(log.matching(QStringLiteral("ここに来るのは変？")).size(), 2);
}

}  // namespace
