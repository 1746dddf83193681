// The display stand-in's program serving a temporary board root: the terminal's side is
// played by a local socket client.
#include "presscontrol.h"
#include "tempboardroot.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QProcess>

namespace {

class StandInProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(board.isValid());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VNQ_ROOT"), board.root());
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(VNQ_SIM_DISPLAY_PROGRAM), QStringList());
        ASSERT_TRUE(program.waitForStarted());
        QElapsedTimer waited;
        waited.start();
        do {
            terminal.connectToServer(board.path(QStringLiteral("/tmp/vistrel.uds")));
            if (terminal.waitForConnected(100))
                break;
            program.waitForFinished(20);
        } while (waited.elapsed() < 20000);
        ASSERT_EQ(terminal.state(), QLocalSocket::ConnectedState);
        // The control socket is made right after the screen socket.
        for (QDeadlineTimer until(20000); !board.exists(QStringLiteral("/tmp/vistrel-stand-in.ctl")) && !until.hasExpired();)
            program.waitForFinished(20);
    }

    void TearDown() override
    {
        terminal.abort();
        program.kill();
        program.waitForFinished();
    }

    void send(const QByteArray& update)
    {
        terminal.write(update);
        terminal.flush();
    }

    // What the stand-in sends back, up to the end of its reply.
    QString reply()
    {
        QByteArray got;
        for (QDeadlineTimer until(20000); !got.contains("</gui>") && !until.hasExpired();)
            if (terminal.waitForReadyRead(100))
                got += terminal.readAll();
        return QString::fromUtf8(got);
    }

    // The file's text once it holds a whole line.
    QString waitForFile(const QString& path)
    {
        for (QDeadlineTimer until(20000); !until.hasExpired();) {
            const QByteArray text = board.readFile(path);
            if (text.endsWith('\n'))
                return QString::fromUtf8(text);
            program.waitForFinished(20);
        }
        return {};
    }

    vnq::test::TempBoardRoot board;
    QProcess program;
    QLocalSocket terminal;
};

TEST_F(StandInProgram, LogsUpdatesAnswersFlashesAndDeliversPresses)
{
    const QByteArray update = "<items><action>Past</action><item><id>3_BG_1</id><backbround><filename>"
                              "..%2FParts%2F%E5%87%BA%E5%8B%A4.png</filename></backbround><label><text>"
                              "%E5%B1%B1%E7%94%B0</text></label></item><action>Flash</action></items>";
    send(update);
    EXPECT_EQ(reply(), QStringLiteral("<gui><status>ready</status></gui>"));
    EXPECT_EQ(waitForFile(QStringLiteral("/var/log/screen-protocol.log")), QString::fromUtf8(update + '\n'));
    const QString decoded = waitForFile(QStringLiteral("/var/log/screen-protocol.txt"));
    EXPECT_TRUE(decoded.startsWith(QStringLiteral("<action>Past</action> <item><id>3_BG_1</id>"))) << decoded.toStdString();
    EXPECT_TRUE(decoded.contains(QStringLiteral("<filename>../Parts/出勤.png</filename>"))) << decoded.toStdString();
    EXPECT_TRUE(decoded.contains(QStringLiteral("<text>山田</text>"))) << decoded.toStdString();
    EXPECT_EQ(decoded.count(QLatin1Char('\n')), 1);

    // The press goes through the program's own client, as ./vq press runs it.
    QProcess press;
    press.setProcessEnvironment(program.processEnvironment());
    press.start(QStringLiteral(VNQ_SIM_DISPLAY_PROGRAM), {QStringLiteral("press"), QStringLiteral("_BG_1"), QStringLiteral("3")});
    EXPECT_EQ(reply(), QStringLiteral("<gui><id>3_BG_1</id><event>3</event></gui>"));
    ASSERT_TRUE(press.waitForFinished());
    EXPECT_EQ(press.exitCode(), 0);

    EXPECT_EQ(vnq::sim::PressControl::press(QStringLiteral("_BG_102"), 0, 20000),
              QStringLiteral("unknown id; on the screen: _BG_1 @@@_BG_@@@"))
        << "an id never sent is refused";
    EXPECT_EQ(vnq::sim::PressControl::press(QStringLiteral("_BG_1"), 0, 20000), QStringLiteral("ok"));
    EXPECT_EQ(reply(), QStringLiteral("<gui><id>3_BG_1</id><event>0</event></gui>"));

    // A new screen, then a window over it: the refusal lists what is on the screen now, the
    // window's items first.
    send("<items><action>New</action><item><id>4Back</id></item><item><id>4_SCREENSHOT_</id></item>"
         "<action>Flash</action></items>");
    EXPECT_EQ(reply(), QStringLiteral("<gui><status>ready</status></gui>"));
    send("<items><action>Clear</action><item><id>4Pop_Yes</id></item><action>FadeIn</action></items>");
    EXPECT_EQ(reply(), QStringLiteral("<gui><status>ready</status></gui>"));
    EXPECT_EQ(vnq::sim::PressControl::press(QStringLiteral("3Back"), 0, 20000),
              QStringLiteral("unknown id; on the screen: Pop_Yes _SCREENSHOT_ Back @@@_BG_@@@"));
    EXPECT_EQ(vnq::sim::PressControl::press(QStringLiteral("Back"), 0, 20000), QStringLiteral("ok"));
    EXPECT_EQ(reply(), QStringLiteral("<gui><id>4Back</id><event>0</event></gui>"));
}

}  // namespace
