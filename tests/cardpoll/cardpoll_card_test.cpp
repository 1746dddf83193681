// The card record: which list-target answers are taken as a read, and when two reads agree.
#include "cardpoll_card.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

const Bytes kIdm = { 0x01, 0x2E, 0x3C, 0x4D, 0x5A, 0x6B, 0x7C, 0x8D };
const Bytes kPmm = { 0x01, 0x20, 0x22, 0x04, 0x27, 0x67, 0x4E, 0xFF };

Bytes felicaAnswer(uint8_t target = 1, uint8_t length = 20, uint8_t code = 0x01, const Bytes& idm = kIdm)
{
    Bytes a = { 0xD5, 0x4B, 0x01, target, length, code };
    a.insert(a.end(), idm.begin(), idm.end());
    a.insert(a.end(), kPmm.begin(), kPmm.end());
    if (length == 20)
        a.insert(a.end(), { 0x00, 0x03 });  // system code
    return a;
}

Bytes typeAAnswer(const Bytes& id, Bytes sensRes = { 0x00, 0x04 }, int idLength = -1)
{
    Bytes a = { 0xD5, 0x4B, 0x01, 0x01, sensRes[0], sensRes[1], 0x08,
                static_cast<uint8_t>(idLength < 0 ? id.size() : idLength) };
    a.insert(a.end(), id.begin(), id.end());
    return a;
}

Bytes cut(Bytes b, size_t size)
{
    b.resize(size);
    return b;
}

Bytes plus(Bytes b, uint8_t extra)
{
    b.push_back(extra);
    return b;
}

struct AnswerCase {
    const char* name;
    bool felica;
    Bytes answer;
    cardpoll_read_t result;
};

void PrintTo(const AnswerCase& c, std::ostream* os)
{
    *os << c.name;
}

class CardAnswers : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(CardAnswers, AreTakenOnlyWhenWhole)
{
    const AnswerCase& c = GetParam();
    cardpoll_card_t card;
    cardpoll_card_clear(&card);
    const uint32_t len = static_cast<uint32_t>(c.answer.size());
    EXPECT_EQ(c.felica ? cardpoll_felica_read(&card, c.answer.data(), len)
                       : cardpoll_typea_read(&card, c.answer.data(), len),
              c.result);
    EXPECT_EQ(card.reads, c.result == CARDPOLL_READ_STORED ? 1 : 0);
}

const Bytes kId4 = { 0x04, 0xA1, 0xB2, 0xC3 };
const Bytes kId10 = { 0x04, 1, 2, 3, 4, 5, 6, 7, 8, 9 };

INSTANTIATE_TEST_SUITE_P(
    Table, CardAnswers,
    ::testing::Values(
        AnswerCase{ "FelicaWithSystemCode", true, felicaAnswer(), CARDPOLL_READ_STORED },
        AnswerCase{ "FelicaWithoutSystemCode", true, felicaAnswer(1, 18), CARDPOLL_READ_STORED },
        AnswerCase{ "FelicaShorterThanItsLength", true, cut(felicaAnswer(), 23), CARDPOLL_READ_REFUSED },
        AnswerCase{ "FelicaTargetNumber2", true, felicaAnswer(2), CARDPOLL_READ_REFUSED },
        AnswerCase{ "FelicaLength19", true, felicaAnswer(1, 19), CARDPOLL_READ_REFUSED },
        AnswerCase{ "FelicaAnswerCode02", true, felicaAnswer(1, 20, 0x02), CARDPOLL_READ_REFUSED },
        AnswerCase{ "FelicaFiveBytes", true, cut(felicaAnswer(), 5), CARDPOLL_READ_REFUSED },
        AnswerCase{ "TypeA4", false, typeAAnswer(kId4), CARDPOLL_READ_STORED },
        AnswerCase{ "TypeA10", false, typeAAnswer(kId10), CARDPOLL_READ_STORED },
        AnswerCase{ "TypeAByteAfterTheId", false, plus(typeAAnswer(kId4), 0x05), CARDPOLL_READ_REFUSED },
        AnswerCase{ "TypeAIdOf11", false, typeAAnswer(plus(kId10, 10)), CARDPOLL_READ_REFUSED },
        AnswerCase{ "TypeALengthBeyondTheAnswer", false, typeAAnswer(kId4, { 0x00, 0x04 }, 7),
                    CARDPOLL_READ_REFUSED },
        AnswerCase{ "TypeASensRes0000", false, typeAAnswer(kId4, { 0x00, 0x00 }), CARDPOLL_READ_REFUSED },
        AnswerCase{ "TypeASevenBytes", false, cut(typeAAnswer(kId4), 7), CARDPOLL_READ_REFUSED }),
    [](const auto& info) { return std::string(info.param.name); });

struct PairCase {
    const char* name;
    bool felica;
    Bytes first;
    Bytes second;
    cardpoll_read_t result;
};

void PrintTo(const PairCase& c, std::ostream* os)
{
    *os << c.name;
}

class SecondReads : public ::testing::TestWithParam<PairCase> {};

TEST_P(SecondReads, ReportOnlyAnAgreeingCard)
{
    const PairCase& c = GetParam();
    auto read = c.felica ? cardpoll_felica_read : cardpoll_typea_read;
    cardpoll_card_t card;
    cardpoll_card_clear(&card);
    ASSERT_EQ(read(&card, c.first.data(), static_cast<uint32_t>(c.first.size())), CARDPOLL_READ_STORED);
    EXPECT_EQ(read(&card, c.second.data(), static_cast<uint32_t>(c.second.size())), c.result);
    EXPECT_EQ(card.reads, c.result == CARDPOLL_READ_CAUGHT ? 2 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SecondReads,
    ::testing::Values(
        PairCase{ "FelicaSame", true, felicaAnswer(), felicaAnswer(), CARDPOLL_READ_CAUGHT },
        PairCase{ "FelicaOtherIdm", true, felicaAnswer(), felicaAnswer(1, 20, 0x01, plus(cut(kIdm, 7), 0x8E)),
                  CARDPOLL_READ_DISCORD },
        PairCase{ "TypeASame", false, typeAAnswer(kId10), typeAAnswer(kId10), CARDPOLL_READ_CAUGHT },
        // Zero-padded to the same eight bytes, but of another length.
        PairCase{ "TypeAOtherLength", false, typeAAnswer(kId4), typeAAnswer(plus(plus(plus(kId4, 0), 0), 0)),
                  CARDPOLL_READ_DISCORD }),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
