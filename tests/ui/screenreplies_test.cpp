#include "screenreplies.h"

#include <gtest/gtest.h>

namespace {

const QString ready = QStringLiteral("<gui><status>ready</status></gui>");
const QString touch = QStringLiteral("<gui><id>3Back</id><event>0</event></gui>");

TEST(ScreenReplies, CutsEveryReplyOutOfOneRead)
{
    QString pending;
    EXPECT_EQ(ScreenReplies::take(&pending, ready + touch + ready), (QStringList{ready, touch, ready}));
    EXPECT_TRUE(pending.isEmpty());
}

TEST(ScreenReplies, KeepsAReplyCutInTwoUntilItsEnd)
{
    QString pending;
    EXPECT_EQ(ScreenReplies::take(&pending, touch + ready.left(10)), QStringList{touch});
    EXPECT_EQ(pending, ready.left(10));
    EXPECT_EQ(ScreenReplies::take(&pending, ready.mid(10)), QStringList{ready});
    EXPECT_TRUE(pending.isEmpty());
}

TEST(ScreenReplies, DropsTextThatIsNoReply)
{
    QString pending;
    // Noise in front of a reply does not spoil it, and noise that never ends is given up.
    EXPECT_EQ(ScreenReplies::take(&pending, QStringLiteral("xyz") + ready), QStringList{ready});
    EXPECT_TRUE(ScreenReplies::take(&pending, QStringLiteral(" \n")).isEmpty());
    EXPECT_TRUE(pending.isEmpty());
    EXPECT_TRUE(ScreenReplies::take(&pending, QString(5000, QLatin1Char('x'))).isEmpty());
    EXPECT_TRUE(pending.isEmpty());
    EXPECT_EQ(ScreenReplies::take(&pending, QStringLiteral("<gu")), QStringList{});
    EXPECT_EQ(ScreenReplies::take(&pending, ready.mid(3)), QStringList{ready});
}

}  // namespace
