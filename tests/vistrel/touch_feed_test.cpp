// A touch through the simulated feed reaches the client of the running display server.
#include "tempboardroot.h"
#include "vistrelprocess.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QProcess>

#include <sys/stat.h>

using vnq::test::TempBoardRoot;
using vnq::test::VistrelProcess;

TEST(SimulatedTouch, PressOnAnItemIsReportedToTheClient)
{
    TempBoardRoot root;
    VistrelProcess display(root, "<items><action>New</action><item><id>Back</id><backbround><pos><x>400</x>"
                                 "<y>220</y></pos><size><w>70</w><h>40</h></size></backbround></item>"
                                 "<action>Flash</action></items>");
    ASSERT_TRUE(display.start()) << qPrintable(display.output());
    QLocalSocket client;
    client.connectToServer(root.path("/tmp/vistrel.uds"));
    ASSERT_TRUE(client.waitForConnected(5000));

    // The installed table, published for ./vq press.
    for (QDeadlineTimer until(5000); !root.exists("/var/tmp/vistrel-hits.txt") && !until.hasExpired();)
        client.waitForReadyRead(20);
    EXPECT_EQ(root.readFile("/var/tmp/vistrel-hits.txt"), "Back 400 220 70 40\n@@@_BG_@@@ 0 0 480 272\n");

    QProcess touch;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("VNQ_ROOT", root.root());
    touch.setProcessEnvironment(environment);
    touch.start(SIM_TOUCH_PROGRAM, {"420", "230", "30"});
    ASSERT_TRUE(touch.waitForFinished(10000));
    EXPECT_EQ(touch.exitCode(), 0) << touch.readAllStandardError().constData();

    QByteArray replies;
    QDeadlineTimer deadline(10000);
    while (!replies.contains("</gui>") && !deadline.hasExpired()) {
        client.waitForReadyRead(50);
        replies += client.readAll();
    }
    EXPECT_EQ(replies, QByteArray("<gui><id>Back</id><event>0</event></gui>")) << qPrintable(display.output());
}

TEST(SimulatedTouch, WithoutAReaderTheFeedIsReportedUnread)
{
    TempBoardRoot root;
    ASSERT_TRUE(root.makeDir("/dev/input"));
    ASSERT_EQ(::mkfifo(root.path("/dev/input/event0").toLocal8Bit().constData(), 0600), 0);
    QProcess touch;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("VNQ_ROOT", root.root());
    touch.setProcessEnvironment(environment);
    touch.start(SIM_TOUCH_PROGRAM, {"10", "10"});
    ASSERT_TRUE(touch.waitForFinished(10000));
    EXPECT_EQ(touch.exitCode(), 1);
    EXPECT_TRUE(touch.readAllStandardError().contains("no display server reads the touch feed"));
}
