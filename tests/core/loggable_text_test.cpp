#include "loggabletext.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

TEST(LoggableText, ControlCharactersCannotStartALineOfTheirOwn)
{
    const std::vector<std::pair<QString, QString>> cases{
        {QStringLiteral("<id>0123</id>"), QStringLiteral("<id>0123</id>")},
        {QStringLiteral("a\n <ERR> forged"), QStringLiteral("a\\n <ERR> forged")},
        {QStringLiteral("a\r\nb"), QStringLiteral("a\\r\\nb")},
        {QStringLiteral("tab\there"), QStringLiteral("tab\\x09here")},
        {QString::fromUtf8("\x01\x1b[2J\x7f"), QStringLiteral("\\x01\\x1b[2J\\x7f")},
        {QString(QChar(0x85)) + QChar(0x2028), QStringLiteral("\\x85\\u2028")},
        {QString::fromUtf8("山田 \"太郎\""), QString::fromUtf8("山田 \"太郎\"")},
        {QString(), QString()},
    };
    for (const auto& [text, logged] : cases)
        EXPECT_EQ(vnq::loggableText(text), logged) << text.toStdString();
}

TEST(LoggableText, LongTextIsCutWithItsFullLengthNoted)
{
    const QString exact(vnq::LoggableTextMax, QLatin1Char('x'));
    EXPECT_EQ(vnq::loggableText(exact), exact);

    const QString big(1048576, QLatin1Char('x'));
    const QString logged = vnq::loggableText(big);
    EXPECT_EQ(logged.size(), vnq::LoggableTextMax);
    EXPECT_TRUE(logged.endsWith(QStringLiteral("x... (1048576 bytes)"))) << logged.right(40).toStdString();

    // An escape or a character outside the basic plane is never split by the cut.
    const QString lineFeeds(300, QLatin1Char('\n'));
    const QString cutFeeds = vnq::loggableText(lineFeeds);
    EXPECT_LE(cutFeeds.size(), vnq::LoggableTextMax);
    EXPECT_TRUE(cutFeeds.endsWith(QStringLiteral("\\n... (300 bytes)"))) << cutFeeds.right(30).toStdString();
    for (int room = 1; room <= 4; ++room) {
        const QString text = QString(vnq::LoggableTextMax - 20 - room, QLatin1Char('x')) + QString::fromUtf8("😀😀😀😀");
        const QString cut = vnq::loggableText(text + text);
        for (int i = 0; i < cut.size(); ++i) {
            if (cut.at(i).isHighSurrogate()) {
                EXPECT_TRUE(i + 1 < cut.size() && cut.at(i + 1).isLowSurrogate()) << room;
            }
        }
    }
}

}  // namespace
