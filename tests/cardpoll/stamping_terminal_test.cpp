// End to end on the simulated board as ./vq run lays it out: the board root builder with its
// demo users, the display stand-in, the terminal, cardpoll and the simulated reader. Panels
// are touched through the stand-in's control socket.
#include "cardpoll_harness.h"
#include "dbdakoku.h"
#include "dbsetting.h"
#include "presscontrol.h"

namespace {

using cardpolltest::CardpollBoard;
using cardpolltest::ChildProcess;
using cardpolltest::countOf;
using cardpolltest::readText;
using cardpolltest::buildBoardRoot;
using cardpolltest::startTerminal;
using cardpolltest::waitUntil;
using vnq::sim::CardField;

const std::array<uint8_t, 8> kYamada = { 0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF };
const std::array<uint8_t, 8> kProhibited = { 0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0x04 };
const std::vector<uint8_t> kSato = { 0x04, 0xA1, 0xB2, 0xC3 };

class DemoBoard : public CardpollBoard {
protected:
    void SetUp() override
    {
        CardpollBoard::SetUp();
        ASSERT_TRUE(buildBoardRoot(root));
        // The stand-in is up before the terminal, as ./vq run starts them.
        ASSERT_TRUE(display.start(VNQ_SIM_DISPLAY_PROGRAM, {}, {}, root.path("/display.out").toStdString()));
        ASSERT_TRUE(waitUntil([&] { return root.exists("/tmp/vistrel-stand-in.ctl"); }));
        ASSERT_TRUE(startTerminal(root, terminal));
        ASSERT_TRUE(waitUntil([&] { return shown("_BG_1</id>") > 0; })) << terminalLog();
        startCardpoll();
        ASSERT_TRUE(waitForFelicaPolls(1)) << output();
    }

    void TearDown() override
    {
        terminal.kill();
        display.kill();
        CardpollBoard::TearDown();
    }

    std::string terminalLog() const { return readText(root.path("/var/log/VantroQo.log").toStdString()); }
    std::string commands() const { return readText(root.path("/var/log/sim-commands.log").toStdString()); }
    size_t shown(const std::string& part) const
    {
        return countOf(readText(root.path("/var/log/screen-protocol.txt").toStdString()), part);
    }

    static QList<QStringList> stamps()
    {
        QList<QStringList> rows;
        DBDakoku::getDakokuUnsend(&rows, 100);  // false when there is no row
        return rows;
    }

    void hold(const CardField& card)
    {
        sim.setField(card);
        ASSERT_TRUE(waitForFelicaPolls(10));
        sim.setField(CardField::none());
        ASSERT_TRUE(waitForFelicaPolls(2));
    }

    ChildProcess display;
    ChildProcess terminal;
};

TEST_F(DemoBoard, CardsStampOpenTheDoorOrAreRefused)
{
    ASSERT_EQ(vnq::sim::PressControl::press(QStringLiteral("_BG_1"), 0, 20000), QStringLiteral("ok"));
    ASSERT_TRUE(waitUntil([&] { return shown("_BG_1</id><backbround><pos><x>10</x><y>155</y></pos><size><h>55</h><w>154</w></size><filename>../Parts/01時計画面/ボタン_出勤_選択.png") > 0; }))
        << terminalLog();
    sim.setField(CardField::felica(kYamada, vnq::sim::kDefaultPmm));
    ASSERT_TRUE(waitUntil([&] { return stamps().size() == 1; })) << terminalLog();
    const QStringList row = stamps().at(0);
    EXPECT_EQ(row.at(0), QStringLiteral("1001"));
    EXPECT_EQ(row.at(3), QStringLiteral("1"));
    EXPECT_EQ(row.at(4), QStringLiteral(" "));
    ASSERT_TRUE(waitUntil([&] { return shown("<text>山田太郎</text>") > 0 && shown("<action>FadeIn</action>") > 0; }));
    ASSERT_TRUE(waitUntil([&] { return countOf(commands(), "/VnQo/app/Sound/2/IN.wav") == 1; })) << commands();
    EXPECT_NE(commands().find("aplay"), std::string::npos);
    EXPECT_TRUE(root.exists("/VnQo/app/Sound/2/IN.wav"));
    sim.setField(CardField::none());

    // The door-lock mode, taken up at the terminal's next lock-file check.
    ASSERT_TRUE(DBSetting::setSetting(QStringLiteral("動作モード"), 3));
    ASSERT_TRUE(DBSetting::setSetting(QStringLiteral("接点出力秒数"), 1));
    ASSERT_TRUE(root.writeFile("/tmp/vantroq.unlock", ""));
    ASSERT_TRUE(waitUntil([&] { return shown("_BG_821</id>") > 0; })) << terminalLog();
    ASSERT_EQ(vnq::sim::PressControl::press(QStringLiteral("_BG_821"), 0, 20000), QStringLiteral("ok"));
    ASSERT_TRUE(waitUntil([&] { return shown("ボタン_解錠_選択.png") > 0; })) << terminalLog();
    sim.setField(CardField::typeA(kSato));
    ASSERT_TRUE(waitUntil([&] { return stamps().size() == 2; })) << terminalLog();
    EXPECT_EQ(stamps().at(1).at(0), QStringLiteral("1002"));
    EXPECT_EQ(stamps().at(1).at(3), QStringLiteral("821"));
    ASSERT_TRUE(waitUntil([&] { return countOf(commands(), "vnq_gpio_value 138 1") == 1; })) << commands();
    EXPECT_EQ(countOf(commands(), "vnq_gpio_value 138 0"), 1u) << commands();
    EXPECT_LT(commands().find("vnq_gpio_value 138 0"), commands().find("vnq_gpio_value 138 1"));
    sim.setField(CardField::none());
    ASSERT_TRUE(waitForTypeAPolls(2));

    // A prohibited card stores nothing and gets the error sound.
    const size_t errors = countOf(commands(), "/ERROR.wav");
    sim.setField(CardField::felica(kProhibited, vnq::sim::kDefaultPmm));
    ASSERT_TRUE(waitUntil([&] { return countOf(commands(), "/ERROR.wav") == errors + 1; })) << terminalLog();
    EXPECT_EQ(stamps().size(), 2);
    EXPECT_TRUE(terminal.running());
}

}  // namespace
