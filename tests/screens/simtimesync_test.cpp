#include "tempboardroot.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

namespace {

// The simulated board's forced synchronisation reports success by the file the time page
// watches, so the page completes on the simulated board.
TEST(SimulatedTimeSync, TheDoukiStubsWriteTheSuccessFile)
{
    for (const char* stub : {"vnq_sync_ntp_douki", "vnq_sync_ntp_http_douki"}) {
        SCOPED_TRACE(stub);
        vnq::test::TempBoardRoot board;
        ASSERT_TRUE(board.makeDir(QStringLiteral("/var/log")));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VNQ_ROOT"), board.root());
        env.insert(QStringLiteral("VNQ_SIM_TIMESYNC_DELAY"), QStringLiteral("0"));
        QProcess script;
        script.setProcessEnvironment(env);
        script.start(qEnvironmentVariable("VNQ_SOURCE_DIR") + QStringLiteral("/sim/board/VnQo/bin/") + stub,
                     {QStringLiteral("10.0.0.1")});
        ASSERT_TRUE(script.waitForFinished(20000));
        EXPECT_EQ(script.exitCode(), 0);

        // The file comes from a background step: wait for it in real time.
        QElapsedTimer waited;
        waited.start();
        while (!board.exists(QStringLiteral("/var/log/timesync_OK")) && waited.elapsed() < 20000)
            QThread::msleep(10);
        EXPECT_TRUE(board.exists(QStringLiteral("/var/log/timesync_OK")));
        EXPECT_TRUE(board.readFile(QStringLiteral("/var/log/sim-commands.log"))
                        .contains(QByteArray("/VnQo/bin/") + stub + " 10.0.0.1"));
    }
}

}  // namespace
