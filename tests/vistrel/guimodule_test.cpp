#include "guimodule.h"

#include "atari.h"
#include "drawsummary.h"
#include "fontoptions.h"
#include "framebufferroot.h"
#include "messagecapture.h"
#include "ovg_init.h"
#include "packagedfont.h"
#include "recordingdrawport.h"
#include "srvsocketserver.h"
#include "vx_fbdev.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <sys/ioctl.h>

using namespace vistrel;
using vnq::test::FramebufferBoardRoot;
using vnq::test::MessageCapture;
using vnq::test::summarizeDrawing;

namespace {

// An update as the terminal's screen client writes it: "New", a picture with a touchable
// background, a label and a sublabel with Japanese text, a second touchable item, "Flash".
const QString kUpdate = QStringLiteral(
    "<items><action>New</action>"
    "<item><id>_BG_1</id><backbround><pos><x>10</x><y>20</y></pos><size><h>50</h><w>100</w></size>"
    "<filename>..%2FParts%2F%E6%99%82%E8%A8%88.png</filename></backbround>"
    "<label><pos><x>30</x><y>40</y></pos><px>20</px><margin>1</margin><color><r>255</r><g>0</g><b>0</b><a>255</a>"
    "</color><text>%E5%87%BA%E5%8B%A4</text></label>"
    "<sublabel><pos><x>30</x><y>70</y></pos><px>10</px><color><r>0</r><g>0</g><b>0</b><a>255</a></color>"
    "<text>AB</text></sublabel></item>"
    "<item><id>Back</id><backbround><pos><x>400</x><y>220</y></pos><size><h>40</h><w>70</w></size>"
    "</backbround></item>"
    "<action>Flash</action></items>");

const char kReady[] = "<gui><status>ready</status></gui>";

QString items(const QString& body)
{
    return QStringLiteral("<items>") + body + QStringLiteral("</items>");
}

QString item(const QString& id, int x, int y, int w, int h)
{
    return QStringLiteral("<item><id>%1</id><backbround><pos><x>%2</x><y>%3</y></pos><size><h>%5</h><w>%4</w>"
                          "</size></backbround></item>")
        .arg(id)
        .arg(x)
        .arg(y)
        .arg(w)
        .arg(h);
}

QStringList names(int table)
{
    QStringList list;
    for (int i = 0; i < atariCount(table); ++i)
        list << QString::fromUtf8(atariEntries(table)[i].name);
    return list;
}

class ProtocolServer : public ::testing::Test {
protected:
    void SetUp() override
    {
        argvFontPath = packagedFont();
        ASSERT_FALSE(argvFontPath.empty()) << VNQ_NO_FONT_MESSAGE;
        ASSERT_TRUE(root.makeDir("/tmp"));
        ASSERT_TRUE(QDir::setCurrent(root.root()));
        ASSERT_TRUE(root.writeFile("/start.xml", "<items><action>Clear</action><item><id>S</id><backbround>"
                                                 "<size><w>5</w><h>5</h></size></backbround></item>"
                                                 "<action>Flash</action></items>\n"));
        setDrawPort(&port);
        testing::internal::CaptureStdout();
        ASSERT_EQ(init_ovg(), 0);
        testing::internal::GetCapturedStdout();
        module = GuiModule::getInstance(QStringLiteral("/tmp/vistrel.uds"));
        startDrawing = summarizeDrawing(port.calls());
        port.clearCalls();
    }
    void TearDown() override
    {
        vx_fb_close(ovg_priv.fd);
        setDrawPort(nullptr);
    }

    QStringList run(const QStringList& fragments)
    {
        port.clearCalls();
        for (const QString& fragment : fragments)
            module->messageReceived(fragment);
        return summarizeDrawing(port.calls());
    }

    bool connectClient()
    {
        client.connectToServer(root.path("/tmp/vistrel.uds"));
        if (!client.waitForConnected(10000))
            return false;
        QDeadlineTimer deadline(10000);
        while (!GuiModule::serverSocket->currentConnection() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return GuiModule::serverSocket->currentConnection() != nullptr;
    }

    // The module writes its replies whole before it returns: all of them are in the socket.
    QByteArray replies()
    {
        int unread = 0;
        while (::ioctl(int(client.socketDescriptor()), FIONREAD, &unread) == 0 && unread > 0)
            client.waitForReadyRead(10000);
        return client.readAll();
    }

    FramebufferBoardRoot root;
    RecordingDrawPort port;
    GuiModule* module = nullptr;
    QStringList startDrawing;
    QLocalSocket client;
};

}  // namespace

TEST_F(ProtocolServer, UpdateIsDrawnOnceWhateverTheSplit)
{
    MessageCapture log;
    const QStringList whole = run({kUpdate});
    // The picture is missing (logged on standard output), the texts are decoded: 出勤 is two glyphs.
    EXPECT_EQ(whole, (QStringList{"text 2 glyphs at 10,60", "text 2 glyphs at 30,80", "swap"}));
    EXPECT_EQ(names(0), (QStringList{"Back", "_BG_1", "@@@_BG_@@@"}));
    EXPECT_EQ(atariEntries(0)[1].x, 10);
    EXPECT_EQ(atariEntries(0)[1].w, 100);
    EXPECT_EQ(atariEntries(0)[1].h, 50);
    EXPECT_EQ(atariEntries(0)[1].hold, 3000);
    for (int split = 1; split < kUpdate.size(); ++split) {
        ASSERT_EQ(run({kUpdate.left(split), kUpdate.mid(split)}), whole) << split;
        ASSERT_EQ(module->gatherer().size(), 0) << split;
    }
    EXPECT_EQ(names(0), (QStringList{"Back", "_BG_1", "@@@_BG_@@@"}));
    EXPECT_TRUE(log.messages().isEmpty());
}

TEST_F(ProtocolServer, GatheringTakesOutEachMessageOnce)
{
    const QString first = items(QStringLiteral("<action>Clear</action><action>Flash</action>"));
    const QString second = items(QStringLiteral("<action>Copy</action><action>Flash</action>"));
    const struct {
        const char* what;
        QStringList fragments;
        QStringList drawn;
        int logged;
    } cases[] = {
        {"restart", {"<items><action>Clear</action>", second}, {"copy", "swap"}, 1},
        {"two in one read", {first + second}, {"clear", "swap", "copy", "swap"}, 0},
        {"tail and head", {first.left(20), first.mid(20) + second.left(9), second.mid(9)},
         {"clear", "swap", "copy", "swap"}, 0},
        {"stray fragment", {first, "<action>Flash</action></items>"}, {"clear", "swap"}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MessageCapture log;
        EXPECT_EQ(run(c.fragments), c.drawn);
        EXPECT_EQ(log.messages().size(), c.logged);
        EXPECT_EQ(module->gatherer().size(), 0);
    }
}

TEST_F(ProtocolServer, HitTablesKeepTouchableItemsOnceAndInstallOnShowing)
{
    const QString twentyBytes = QStringLiteral("ABCDEFGHIJKLMNOPQRST");
    run({items("<action>New</action>" + item("A", 0, 0, 10, 10) + item("Zero", 0, 0, 0, 10) + item("A", 5, 5, 9, 9) +
               "<item><backbround><pos><x>1</x><y>1</y></pos><size><h>3</h><w>3</w></size></backbround></item>" +
               item(twentyBytes, 1, 2, 3, 4) + item("Neg", -1, 0, 5, 5))});
    EXPECT_EQ(names(1), (QStringList{twentyBytes, "A", "@@@_BG_@@@"}));
    EXPECT_EQ(names(0), QStringList{"S"});  // still the first screen's
    for (const char* action : {"SlideRight", "Past", "Copy", "Clear", "Reinit", "flash"}) {
        run({items(QStringLiteral("<action>%1</action>").arg(QLatin1String(action)))});
        EXPECT_EQ(names(0), QStringList{"S"}) << action;
    }
    for (const char* action : {"Flash", "FadeIn", "FadeOut"}) {
        run({items("<action>New</action>" + item(QLatin1String(action), 1, 1, 1, 1) +
                   QStringLiteral("<action>%1</action>").arg(QLatin1String(action)))});
        EXPECT_EQ(names(0), (QStringList{QLatin1String(action), "@@@_BG_@@@"}));
    }
    // Without "New" the pending table keeps growing; past 160 entries items get none (one log line).
    QString many = "<action>New</action>";
    for (int i = 0; i < 161; ++i)
        many += item(QStringLiteral("k%1").arg(i), i, 0, 1, 1);
    MessageCapture log;
    run({items(many + "<action>Flash</action>")});
    EXPECT_EQ(atariCount(0), 160);
    EXPECT_EQ(log.messages().size(), 1);
    EXPECT_EQ(QString::fromUtf8(atariEntries(0)[0].name), "k158");
}

// The table published for ./vq press is written when it changes, not each time a screen
// installs the same table again.
TEST_F(ProtocolServer, HitTableFileIsWrittenOnlyWhenTheTableChanges)
{
    ASSERT_TRUE(root.makeDir("/var/tmp"));
    const QString screenA = items("<action>New</action>" + item("A", 0, 0, 10, 10) + "<action>Flash</action>");
    run({screenA});
    EXPECT_EQ(root.readFile("/var/tmp/vistrel-hits.txt"), "A 0 0 10 10\n@@@_BG_@@@ 0 0 480 272\n");

    ASSERT_TRUE(root.writeFile("/var/tmp/vistrel-hits.txt", "left alone\n"));
    run({screenA});
    run({screenA});
    EXPECT_EQ(root.readFile("/var/tmp/vistrel-hits.txt"), "left alone\n");

    run({items("<action>New</action>" + item("B", 1, 2, 3, 4) + "<action>Flash</action>")});
    EXPECT_EQ(root.readFile("/var/tmp/vistrel-hits.txt"), "B 1 2 3 4\n@@@_BG_@@@ 0 0 480 272\n");
}

TEST_F(ProtocolServer, ValuesCarryOverAndBadNumbersCountZero)
{
    // px "abc" is 0: the glyph is drawn at no size, its top and baseline both at y 6; the next
    // item reuses the position with its own px.
    run({items("<item><id>T</id><label><pos><x>5</x><y>6</y></pos><px>abc</px><text>A</text></label></item>"
               "<item><label><px> 20 </px><text>B</text></label></item>")});
    EXPECT_EQ(summarizeDrawing(port.calls()), (QStringList{"text 1 glyphs at 5,6", "text 1 glyphs at 5,26"}));
}

TEST_F(ProtocolServer, ReadyRepliesOncePerShowingAction)
{
    // The first screen came from "./start.xml" when the module was made; its ready found no client.
    EXPECT_EQ(startDrawing, (QStringList{"clear", "swap"}));
    EXPECT_EQ(GuiModule::getInstance(QStringLiteral("/tmp/vistrel.uds")), module);
    EXPECT_EQ(GuiModule::sendReady(), -1);  // no client
    ASSERT_TRUE(connectClient());
    run({items("<action>Flash</action><action>Reinit</action><action>FadeIn</action><action>Clear</action>"),
         items("<action>FadeOut</action>")});
    EXPECT_EQ(replies(), QByteArray(kReady).repeated(3));
    EXPECT_EQ(QByteArray(kReady).size(), 33);
    gui_prop_s entry{};
    std::strcpy(entry.name, "ABCDEFGHIJKLMNOPQRST");
    testing::internal::CaptureStdout();
    gui_prop_func(&entry, 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "gui_prop_func::ABCDEFGHIJKLMNOPQRST : ev=0\n");
    EXPECT_EQ(replies(), QByteArray("<gui><id>ABCDEFGHIJKLMNOPQRST</id><event>0</event></gui>"));
}

TEST_F(ProtocolServer, FuzzedUpdatesInRandomFragmentsNeverOutgrowTheBuffer)
{
    std::mt19937 random(2024);
    const QByteArray base = kUpdate.toUtf8();
    const QByteArray pieces[] = {"<items>", "</items>", "<item>", "</item>", "%", "%E6%", "%ZZ", "\xff\xfe",
                                 "<px>99999999999999999999</px>", "<a><b><c><d>", "<action>Flash</action>"};
    MessageCapture log;
    for (int round = 0; round < 2000; ++round) {
        QByteArray message = base;
        for (int edits = random() % 6; edits > 0; --edits) {
            const int at = static_cast<int>(random() % (message.size() + 1));
            switch (random() % 4) {
            case 0:
                if (at < message.size())
                    message[at] = static_cast<char>(random());
                break;
            case 1:
                message.remove(at, static_cast<int>(random() % 40));
                break;
            case 2:
                message.insert(at, message.mid(at, static_cast<int>(random() % 200)));
                break;
            default:
                message.insert(at, pieces[random() % (sizeof pieces / sizeof pieces[0])]);
                break;
            }
        }
        if (round % 200 == 0)
            message = QByteArray("<items>") + QByteArray(300000, 'x');
        for (int at = 0; at < message.size();) {
            const int length = 1 + static_cast<int>(random() % 300);
            module->messageReceived(QString::fromUtf8(message.mid(at, length)));
            ASSERT_LE(module->gatherer().size(), MessageGatherer::Cap);
            at += length;
        }
        port.clearCalls();
    }
    EXPECT_LE(atariCount(1), kAtariSlots);
}
