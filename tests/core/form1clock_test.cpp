#include "form1clock.h"
#include "messagecapture.h"
#include "recordingrunner.h"
#include "tempboardroot.h"

#include <gtest/gtest.h>

#include <QPointer>

namespace {

TEST(Form1ClockReturnPage, DestroysThePageAndReleasesTheLockUnlessKept)
{
    vnq::test::TempBoardRoot board;
    vnq::test::MessageCapture log;
    vnq::test::RecordingRunner runner;  // the scheduler it starts switches the backlight
    Form1Clock clock;

    for (const bool keep : {true, false}) {
        ASSERT_TRUE(board.writeFile(QStringLiteral("/tmp/webservice.lock"), "2024/01/01 09:00:00"));
        QPointer<QObject> page = new QObject(&clock);
        clock.returnPage(page, keep);
        EXPECT_TRUE(page.isNull());
        EXPECT_EQ(board.exists(QStringLiteral("/tmp/webservice.lock")), keep) << "keep " << keep;
    }
    clock.returnPage(nullptr, false);
    EXPECT_EQ(log.matching(QStringLiteral("webservice.lock 削除")).size(), 2);
}

}  // namespace
