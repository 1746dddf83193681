// The communication settings menu.

#include "form4netset.h"

#include <gtest/gtest.h>

namespace {

TEST(NetSetTitles, NameTheNetworkItems)
{
    const struct {
        const char* id;
        const char* title;
    } cases[] = {
        {"00", "IPアドレス"}, {"05", "DNS"}, {"12", "ゲートウェイ(無線)"}, {"15", "DNS(無線)"},
        {"22", "DNSの設定"}, {"90", "プロキシアドレス"}, {"91", "プロキシポート番号"}, {"04", ""},
        {"99", "99"}, {"Exit", "Exit"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Form4NetSet::GetTitle(QString::fromLatin1(c.id)), QString::fromUtf8(c.title)) << c.id;
}

}  // namespace
