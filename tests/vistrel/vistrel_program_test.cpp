#include "stalesocket.h"
#include "tempboardroot.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QProcess>


using vnq::test::TempBoardRoot;

namespace {

// The program in a board root without a framebuffer, killed when the test ends.
class VistrelProgram : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(root.makeDir(QStringLiteral("/tmp"))); }
    void TearDown() override
    {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished(5000);
        }
    }

    void start()
    {
        // No pixels are looked at here: the recording port.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("VNQ_VISTREL_DRAW"), QStringLiteral("record"));
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::MergedChannels);
        program.setWorkingDirectory(root.root());
        program.start(QStringLiteral(VISTREL_PROGRAM), QStringList());
        ASSERT_TRUE(program.waitForStarted(5000));
    }

    // Whether the program answers on its socket within a few seconds.
    bool answers()
    {
        QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired()) {
            QLocalSocket client;
            client.connectToServer(root.path(QStringLiteral("/tmp/vistrel.uds")));
            if (client.waitForConnected(200))
                return true;
            program.waitForReadyRead(50);
        }
        return false;
    }

    TempBoardRoot root;
    QProcess program;
};

}  // namespace

TEST_F(VistrelProgram, ListensOverAStaleSocketFileAndKeepsRunningWithoutAFramebuffer)
{
    ASSERT_TRUE(makeStaleSocketFile(root.path(QStringLiteral("/tmp/vistrel.uds")).toUtf8()));

    start();
    ASSERT_TRUE(answers());
    EXPECT_EQ(program.state(), QProcess::Running);
    // Its start-up lines, however long the program takes to write them.
    QString output;
    const auto started = [&] {
        return output.contains("init_ovg: ") && output.contains("drawing: recording only, no pixels\n");
    };
    for (QDeadlineTimer deadline(10000); !started() && !deadline.hasExpired();) {
        program.waitForReadyRead(50);
        output += QString::fromUtf8(program.readAll());
    }
    EXPECT_TRUE(output.startsWith("FontPath: ./Font/ipag.ttf, FontSpace: 0, FontStroke:1.000000\n\n")) << qPrintable(output);
    EXPECT_TRUE(output.contains("init_ovg: No such file or directory\n")) << qPrintable(output);
    EXPECT_EQ(output.count("drawing: recording only, no pixels\n"), 1) << qPrintable(output);
    EXPECT_FALSE(output.contains("jobs_noop_prolog()")) << qPrintable(output);
}
