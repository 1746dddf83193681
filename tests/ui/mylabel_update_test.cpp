#include "screenfixture.h"

#include <QSignalSpy>

namespace {

using MyLabelUpdate = ScreenFixture;

TEST_F(MyLabelUpdate, ExampleItemSerialisesExactly)
{
    for (int i = 0; i < 3; ++i)
        label->setNew();
    LabelItemList item;
    item.id = QStringLiteral("Back");
    item.filename = QStringLiteral("../Parts/a.png");
    item.x = 10;
    item.y = 220;
    item.w = 80;
    item.h = 34;
    item.label.text = QStringLiteral("戻る");
    item.label.x = 50;
    item.label.y = 226;
    item.label.px = 18;
    item.label.margin = 1;
    item.label.r = item.label.g = item.label.b = item.label.a = 255;
    label->setItem(&item);

    EXPECT_EQ(flash(),
              "<items><action>New</action><action>New</action><action>New</action>"
              "<item><id>3Back</id><backbround><pos><x>10</x><y>220</y></pos><size><h>34</h><w>80</w></size>"
              "<filename>..%2FParts%2Fa.png</filename></backbround><label><pos><x>50</x><y>226</y></pos>"
              "<px>18</px><margin>1</margin><color><r>255</r><g>255</g><b>255</b><a>255</a></color>"
              "<text>%E6%88%BB%E3%82%8B</text></label></item>"
              "<item><id>3_SCREENSHOT_</id><backbround><pos><x>0</x><y>0</y></pos><size><h>30</h><w>30</w>"
              "</size></backbround></item><action>Flash</action></items>");
    // The record keeps the encoded forms.
    EXPECT_EQ(item.filename, "..%2FParts%2Fa.png");
    EXPECT_EQ(item.label.text, "%E6%88%BB%E3%82%8B");
    EXPECT_EQ(peer.updates().size(), 1) << "nothing is sent before the closing action";
}

TEST_F(MyLabelUpdate, FreshPageWithEveryFieldMatchesGolden)
{
    label->setNew();
    LabelItemList item;
    item.id = QStringLiteral("_BG_102");
    item.filename = QStringLiteral("../Parts/b.png");
    item.x = -4;
    item.y = 7;
    item.w = 120;
    item.h = 60;
    item.label = FontStyle{60, 10, 22.5f, 2, QStringLiteral("出勤"), 0, 128, 255, 255};
    item.sublabel = FontStyle{60, 40, 14, 0.5f, QStringLiteral("A&B"), 10, 20, 30, 127.5f};
    label->setItem(&item);

    EXPECT_EQ(flash(),
              "<items><action>New</action>"
              "<item><id>1_BG_102</id><backbround><pos><x>-4</x><y>7</y></pos><size><h>60</h><w>120</w></size>"
              "<filename>..%2FParts%2Fb.png</filename></backbround>"
              "<label><pos><x>60</x><y>10</y></pos><px>22.5</px><margin>2</margin>"
              "<color><r>0</r><g>128</g><b>255</b><a>255</a></color><text>%E5%87%BA%E5%8B%A4</text></label>"
              "<sublabel><pos><x>60</x><y>40</y></pos><px>14</px><margin>0.5</margin>"
              "<color><r>10</r><g>20</g><b>30</b><a>127.5</a></color><text>A%26B</text></sublabel></item>"
              "<item><id>1_SCREENSHOT_</id><backbround><pos><x>0</x><y>0</y></pos><size><h>30</h><w>30</w>"
              "</size></backbround></item><action>Flash</action></items>");
}

TEST_F(MyLabelUpdate, TextsAndFileNamesArePercentEncoded)
{
    const struct {
        const char* plain;
        const char* encoded;
    } cases[] = {
        {"山田", "%E5%B1%B1%E7%94%B0"},
        {"a&b", "a%26b"},
        {"<x>", "%3Cx%3E"},
        {"100%", "100%25"},
        {"%1", "%251"},
        {"a b/c", "a%20b%2Fc"},
        {"Az09-._~", "Az09-._~"},
        {"\"'+", "%22%27%2B"},
    };
    QString expected = QStringLiteral("<items>");
    for (const auto& c : cases) {
        LabelItemList item;
        item.label.text = QString::fromUtf8(c.plain);
        item.sublabel.text = QString::fromUtf8(c.plain);
        item.filename = QString::fromUtf8(c.plain);
        label->setItem(&item);
        EXPECT_EQ(item.label.text, c.encoded) << c.plain;
        EXPECT_EQ(item.filename, c.encoded) << c.plain;
        const QString text = QStringLiteral("<pos><x>0</x><y>0</y></pos><px>0</px><color><r>0</r><g>0</g><b>0</b>"
                                            "<a>0</a></color><text>%1</text>")
                                 .arg(QLatin1String(c.encoded));
        expected += QStringLiteral("<item><backbround><pos><x>0</x><y>0</y></pos><filename>%1</filename></backbround>")
                        .arg(QLatin1String(c.encoded))
            + "<label>" + text + "</label><sublabel>" + text + "</sublabel></item>";
    }
    expected += expect::screenShot(0) + "<action>Flash</action></items>";
    EXPECT_EQ(flash(), expected);
}

TEST_F(MyLabelUpdate, ItemShapes)
{
    const struct {
        const char* what;
        LabelItemList item;
        const char* wire;
    } cases[] = {
        {"new record", LabelItemList{}, "<item></item>"},
        {"image only", LabelItemList{{}, 0, 0, -1, -1, "p.png", {}, {}},
         "<item><backbround><pos><x>0</x><y>0</y></pos><filename>p.png</filename></backbround></item>"},
        {"image, width 0", LabelItemList{{}, 5, 6, 0, 34, "p.png", {}, {}},
         "<item><backbround><pos><x>5</x><y>6</y></pos><filename>p.png</filename></backbround></item>"},
        {"touch area without picture", LabelItemList{"Next", 400, 220, 80, 34, {}, {}, {}},
         "<item><id>0Next</id><backbround><pos><x>400</x><y>220</y></pos><size><h>34</h><w>80</w></size>"
         "</backbround></item>"},
        {"id without size", LabelItemList{"Next", 400, 220, 80, 0, {}, {}, {}}, "<item><id>0Next</id></item>"},
        {"margin 0 and negative", LabelItemList{{}, 0, 0, -1, -1, {}, FontStyle{1, 2, 3, 0, "a", 4, 5, 6, 7},
                                                FontStyle{1, 2, 3, -1, "b", 4, 5, 6, 7}},
         "<item><label><pos><x>1</x><y>2</y></pos><px>3</px><color><r>4</r><g>5</g><b>6</b><a>7</a></color>"
         "<text>a</text></label><sublabel><pos><x>1</x><y>2</y></pos><px>3</px><color><r>4</r><g>5</g><b>6</b>"
         "<a>7</a></color><text>b</text></sublabel></item>"},
    };
    QString expected = QStringLiteral("<items>");
    for (auto c : cases) {
        label->setItem(&c.item);
        expected += QString::fromUtf8(c.wire);
    }
    EXPECT_EQ(flash(), expected + expect::screenShot(0) + "<action>Flash</action></items>");
}

TEST_F(MyLabelUpdate, InitItemKeepsPositionsAndStyle)
{
    LabelItemList item{"Back", 10, 20, 80, 34, "a.png", FontStyle{1, 2, 18, 1, "x", 9, 8, 7, 6},
                       FontStyle{3, 4, 12, 2, "y", 5, 4, 3, 2}};
    LabelItemList items[2] = {item, item};
    label->initItems(2, items);
    for (const LabelItemList& i : items) {
        EXPECT_TRUE(i.id.isEmpty() && i.filename.isEmpty() && i.label.text.isEmpty() && i.sublabel.text.isEmpty());
        EXPECT_EQ(i.w, 0);
        EXPECT_EQ(i.h, 0);
        EXPECT_EQ(i.label.margin, 0);
        EXPECT_EQ(i.sublabel.margin, 0);
        EXPECT_EQ(i.x, 10);
        EXPECT_EQ(i.y, 20);
        EXPECT_EQ(i.label.x, 1);
        EXPECT_EQ(i.label.px, 18);
        EXPECT_EQ(i.label.a, 6);
        EXPECT_EQ(i.sublabel.y, 4);
        EXPECT_EQ(i.sublabel.r, 5);
    }
}

TEST_F(MyLabelUpdate, GenerationDigitRunsZeroToNineAndRoundAgain)
{
    LabelItemList item;
    for (int page = 1; page <= 11; ++page) {
        label->setNew();
        label->initItem(&item);
        item.id = QStringLiteral("Back");
        label->setItem(&item);
        EXPECT_TRUE(flash().contains(QStringLiteral("<id>%1Back</id>").arg(page % 10))) << "page " << page;
    }
}

TEST_F(MyLabelUpdate, ActionsGoInOrderAndEachClosingActionSends)
{
    label->setClear();
    label->setCopy();
    label->setPast();
    label->setFadeIn();
    ASSERT_TRUE(peer.waitForUpdates(1));
    label->setFadeOut();
    ASSERT_TRUE(peer.waitForUpdates(2));
    const QString shot = expect::screenShot(0);
    EXPECT_EQ(peer.updates(), (QStringList{
                                  "<items><action>Clear</action><action>Copy</action><action>Past</action>" + shot
                                      + "<action>FadeIn</action></items>",
                                  "<items>" + shot + "<action>FadeOut</action></items>",
                              }));
}

TEST_F(MyLabelUpdate, BusyFromFlashUntilReady)
{
    QSignalSpy ready(label, &MyLabel::ready);
    peer.setAnswerReady(false);
    EXPECT_FALSE(label->busy);
    flash();
    EXPECT_TRUE(label->busy);
    ASSERT_TRUE(peer.sendRaw(vnq::test::FakeDisplayServer::readyReply()));
    ASSERT_TRUE(ready.wait(5000));
    EXPECT_FALSE(label->busy);
    EXPECT_EQ(ready.count(), 1);

    // A touch-panel restart drops the pending update, is sent alone and leaves busy alone.
    LabelItemList empty;
    label->setNew();
    label->setItem(&empty);
    flash();
    label->setClear();
    label->reinitTouchscreen();
    ASSERT_TRUE(peer.waitForUpdates(3));
    EXPECT_EQ(peer.lastUpdate(), "<items><action>Reinit</action></items>");
    EXPECT_TRUE(label->busy);
}

TEST_F(MyLabelUpdate, ScreenShotTouchRunsTheScript)
{
    flash();
    ASSERT_TRUE(peer.touch(QStringLiteral("_SCREENSHOT_")));
    ASSERT_TRUE(vnq::test::FakeDisplayServer::waitFor([&] { return !runner.calls().isEmpty(); }));
    const QString expected = board.path(QStringLiteral("/VnQo/bin/vnq_screenshot")) + " "
        + QString::number(fakeClock.now().toSecsSinceEpoch());
    EXPECT_EQ(runner.commands(), QStringList{expected});
    EXPECT_EQ(runner.calls().first().form, vnq::test::RecordingRunner::Form::Shell);
}

}  // namespace
