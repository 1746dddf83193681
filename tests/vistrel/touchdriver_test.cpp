#include "touchdriver.h"
#include "touchqueue.h"

#include "messagecapture.h"
#include "tempboardroot.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QThread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

using namespace vistrel;
using vnq::test::MessageCapture;
using vnq::test::TempBoardRoot;

TEST(TouchThinningRule, EveryChangeAndEveryTwentySecondUnchangedSample)
{
    TouchThinning thinning;
    std::vector<int> kept;
    for (int i = 0; i < 60; ++i) {
        ts_sample s{};
        s.pressure = i < 50 ? 200 : 0;
        if (thinning.keep(s))
            kept.push_back(i);
    }
    EXPECT_EQ(kept, (std::vector<int>{0, 22, 44, 50}));
}

TEST(TouchFeed, FifoLinesBecomeSamplesAndReinitStartsAfresh)
{
    TempBoardRoot root;
    ASSERT_TRUE(root.makeDir("/dev/input"));
    const std::string fifo = root.path("/dev/input/event0").toStdString();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    MessageCapture log;
    for (int run = 0; run < 2; ++run) {  // the second run is what "Reinit" does
        SCOPED_TRACE(run);
        fin_ts_drv();
        ASSERT_EQ(init_ts_drv(), 0);
        int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        ASSERT_GE(writer, 0);
        for (const char* piece : {"10 20 200\n30 4", "0 0\nnot a sample\n", "7 8 0\n"})
            ASSERT_GT(::write(writer, piece, std::strlen(piece)), 0);
        ::close(writer);
        std::vector<std::string> samples;
        QDeadlineTimer deadline(5000);
        while (samples.size() < 2 && !deadline.hasExpired()) {
            ts_sample s;
            if (get_data_ts_drv(&s) == 0)
                samples.push_back(std::to_string(s.x) + " " + std::to_string(s.y) + " " + std::to_string(s.pressure));
            else
                QThread::msleep(5);
        }
        // "30 40 0" releases the pen (kept), "7 8 0" repeats the state (thinned out).
        EXPECT_EQ(samples, (std::vector<std::string>{"10 20 200", "30 40 0"}));
    }
    fin_ts_drv();
    EXPECT_EQ(log.matching("touch feed line skipped").size(), 2);
    ts_sample s;
    EXPECT_EQ(get_data_ts_drv(&s), -1);
}

TEST(TouchFeed, MissingDeviceIsReportedWithItsName)
{
    TempBoardRoot root;
    testing::internal::CaptureStderr();
    EXPECT_EQ(init_ts_drv(), -1);
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_NE(printed.find(root.path("/dev/input/event0").toStdString() + ": "), std::string::npos) << printed;
    EXPECT_EQ(fin_ts_drv(), 0);
}
