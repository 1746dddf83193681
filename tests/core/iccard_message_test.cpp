#include "iccardmessage.h"

#include <gtest/gtest.h>

namespace {

struct ParseCase {
    const char* name;
    const char* message;
    const char* id;
    const char* type;
    const char* len;
    bool complete;
};

void PrintTo(const ParseCase& c, std::ostream* os)
{
    *os << c.name;
}

class CardMessageParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(CardMessageParse, FindsTypeLenAndIdByName)
{
    const ParseCase& c = GetParam();
    const ICCardMessage card = ICCardMessage::parse(QString::fromUtf8(c.message));
    EXPECT_EQ(card.id, QLatin1String(c.id));
    EXPECT_EQ(card.type, QLatin1String(c.type));
    EXPECT_EQ(card.len, QLatin1String(c.len));
    EXPECT_EQ(card.isComplete(), c.complete);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, CardMessageParse,
    ::testing::Values(
        ParseCase{"card_service_form",
                  "<iccard><ictype>01</ictype><fwver>0100</fwver><type>TypeA</type><len>4</len>"
                  "<id>04a1b2c3ffffffff</id></iccard>",
                  "04A1B2C3FFFFFFFF", "TypeA", "4", true},
        ParseCase{"other_order_and_wrapper", "<card><id>0123456789abcdef</id><len>8</len><type>FeliCa</type></card>",
                  "0123456789ABCDEF", "FeliCa", "8", true},
        ParseCase{"later_element_wins", "<c><id>1111111111111111</id><type>A</type><len>1</len><id>22</id></c>", "22",
                  "A", "1", false},
        ParseCase{"cut_short_keeps_what_was_read", "<iccard><type>FeliCa</type><len>8</len><id>0123", "", "FeliCa", "8",
                  false},
        ParseCase{"nested_id_is_malformed", "<c><type>F</type><len>8</len><id><x/>0123456789abcdef</id></c>", "", "F",
                  "8", false},
        ParseCase{"empty_type", "<c><type></type><len>8</len><id>0123456789abcdef</id></c>", "0123456789ABCDEF", "",
                  "8", false},
        ParseCase{"no_xml", "FeliCa 8 0123456789abcdef", "", "", "", false}));

TEST(CardId, ExactlySixteenHexadecimalDigits)
{
    EXPECT_TRUE(ICCardMessage::isCardId(QStringLiteral("0123456789abcdef")));
    EXPECT_TRUE(ICCardMessage::isCardId(QStringLiteral("FFFFFFFFFFFFFFFF")));
    for (const char* id : {"", "%", "12345", "0123456789ABCDE", "0123456789ABCDEF0", "0123456789ABCDE%",
                           "0123456789ABCDEG", " 123456789ABCDEF", "０123456789ABCDEF"})
        EXPECT_FALSE(ICCardMessage::isCardId(QString::fromUtf8(id))) << id;
}

}  // namespace
