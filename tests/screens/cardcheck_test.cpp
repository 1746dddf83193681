#include "clockfixture.h"

#include "form2cardkakunin.h"
#include "iccardmodule.h"
#include "operationpages.h"

namespace {

class CardCheck : public ClockFixture {
protected:
    void SetUp() override
    {
        ClockFixture::SetUp();
        OperationPages::install();
        startActiveClock();
    }

    QStringList openPage()
    {
        return updatesOf([this] { clock->movePage(1, nullptr); });
    }

    QString present(const char* id, const char* type, const char* len)
    {
        return updatesOf([&] {
                   emit ICCardModule::getInstance()->cardTouchRaw(QString::fromLatin1(id), QString::fromLatin1(type),
                                                                 QString::fromLatin1(len));
               })
            .value(0);
    }
};

TEST_F(CardCheck, OpeningPageWithAndWithoutAReader)
{
    // The reader's status line is read with cat: no file, then a file.
    runner.script(QStringLiteral("cat "), 1);
    QStringList updates = openPage();
    runner.script(QStringLiteral("cat "), 0, "TypeKTR610-0102\n");
    updates << openPage();
    EXPECT_NE(dynamic_cast<Form2CardKakunin*>(probe->currentPage()), nullptr);
    expectTranscript(QStringLiteral("cardcheck_open"), updates);
}

TEST_F(CardCheck, EachCardRedrawsThePage)
{
    runner.script(QStringLiteral("cat "), 0, "TypeKTR610-0102\n");
    openPage();
    runner.clear();
    const QStringList updates{
        present("0123456789ABCDEF", "FeliCa", "8"), present("04A1B2C300000000", "TypeA", "4"),
        present("04A1B2C3D4E5F600", "TypeA", "7"),  present("04A1B2C3D4E5F607", "TypeA", "10"),
        present("0123456789ABCDEF", "FeliCa", "x"),
    };
    expectTranscript(QStringLiteral("cardcheck_cards"), updates);
    EXPECT_EQ(runner.commands().filter(QStringLiteral("aplay")).size(), 5);
    EXPECT_EQ(runner.commands().filter(QStringLiteral("/VnQo/app/Sound/2/BUTTON.wav")).size(), 5);
}

TEST_F(CardCheck, BackReturnsToTheClockOtherTouchesDoNothing)
{
    openPage();
    QPointer<QObject> page = probe->currentPage();
    const QStringList nothing = updatesOf([this] { touch(QStringLiteral("@@_BG_@@")); touch(QStringLiteral("Next")); }, 0);
    EXPECT_TRUE(nothing.isEmpty());
    EXPECT_FALSE(page.isNull());

    const QStringList back = updatesOf([this] { touch(QStringLiteral("Back")); });
    EXPECT_TRUE(page.isNull());
    EXPECT_EQ(probe->currentPage(), nullptr);
    EXPECT_TRUE(vnq::test::transcriptOf(back.value(0)).contains(QStringLiteral("時計画面_背景.png")));
    EXPECT_FALSE(log.matching(QStringLiteral("enter: false")).isEmpty()) << "the clock reloads its settings";
}

}  // namespace
