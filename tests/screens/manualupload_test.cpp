#include "clockfixture.h"

#include "dbdakoku.h"
#include "fakecloudlink.h"
#include "form2tsushincloud.h"
#include "operationpages.h"

namespace {

using vnq::test::FakeCloudLink;

class ManualUpload : public ClockFixture {
protected:
    void SetUp() override
    {
        ClockFixture::SetUp();
        OperationPages::install();
        for (int i = 0; i < 12; ++i) {
            ASSERT_TRUE(DBDakoku::setDakoku(7, 1, fakeClock.now()));
        }
        startActiveClock();
    }

    void useEdition(int edition) { link = useCloudEdition(edition); }

    QString openPage()
    {
        const int before = peer.updates().size();
        clock->movePage(4, nullptr);
        page = dynamic_cast<Form2TsushinCloud*>(probe->currentPage());
        EXPECT_FALSE(page.isNull());
        // The page's own update (the clock's last one may still be on its way).
        const auto pageUpdate = [&] {
            for (const QString& update : peer.updates().mid(before))
                if (update.contains(QStringLiteral("%E9%80%9A%E4%BF%A1_%E7%94%BB%E9%9D%A2")))  // 通信_画面
                    return update;
            return QString();
        };
        vnq::test::FakeDisplayServer::waitFor([&] { return !pageUpdate().isEmpty(); });
        return headline(pageUpdate());
    }

    static QString headline(const QString& update)
    {
        return vnq::test::transcriptOf(update)
            .section(QStringLiteral("<x>240</x><y>65</y>"), 1, 1)
            .section(QStringLiteral("<text>"), 1, 1)
            .section(QLatin1Char('<'), 0, 0);
    }

    QString headlineAfter(const std::function<void()>& fn)
    {
        const QStringList updates = updatesOf(fn);
        return headline(updates.value(updates.size() - 1));
    }

    // Each key redraws the value field: the updates are all in before the code is entered.
    void typeCode(const QString& digits)
    {
        updatesOf([&] {
            for (const QChar digit : digits)
                touch(QStringLiteral("Sel3x4_") + digit);
        }, digits.size());
    }

    QStringList sounds()
    {
        QStringList played = runner.commands().filter(QStringLiteral("aplay"));
        runner.clear();
        return played;
    }

    FakeCloudLink* link = nullptr;
    QPointer<Form2TsushinCloud> page;
};

TEST_F(ManualUpload, SendsTheUnsentStampsAndShowsTheAnswer)
{
    const struct {
        int edition;
        const char* code;
        int count;
        const char* shown;
    } cases[] = {
        {1, "0", 200, "送信200件"},
        {1, "-9999", 0, "ネットワーク異常"},
        {1, "-3", 0, "エラー：-3"},
        {2, "0", 12, "送信12件"},
        {2, "-9999", 0, "ネットワーク異常"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.edition << " " << c.code);
        useEdition(c.edition);
        EXPECT_EQ(openPage(), QStringLiteral("未送信12件"));
        link->clearCalls();
        touch(QStringLiteral("Dakoku"));
        EXPECT_EQ(link->operations(), QStringList{"startDataRequest"});
        EXPECT_EQ(link->calls().value(0).args, QVariantList{4});
        EXPECT_EQ(headlineAfter([this] { page->onTimeout(); }), QStringLiteral("通信中・"));
        touch(QStringLiteral("Cancel"));
        touch(QStringLiteral("Back"));
        ASSERT_FALSE(page.isNull()) << "Cancel and Back are refused during a send";

        const QString code = QString::fromLatin1(c.code);
        const QString shown = headlineAfter([&] {
            if (c.edition == 1)
                emit link->finishedDakokuSending(code, c.count);
            else
                emit link->finishedDakokuSending(code.toInt(), c.count);
        });
        EXPECT_EQ(shown, QString::fromUtf8(c.shown));
        const QStringList again = updatesOf([&] { emit link->finishedDakokuSending(code, 1); emit link->finishedDakokuSending(code.toInt(), 1); }, 0);
        EXPECT_TRUE(again.isEmpty()) << "the answer is disconnected once taken";
        touch(QStringLiteral("Back"));
        EXPECT_TRUE(page.isNull());
    }
}

TEST_F(ManualUpload, EveryStampAgainOnlyWithTheAccessCode)
{
    useEdition(1);
    openPage();
    touch(QStringLiteral("DakokuAll"));
    sounds();
    const struct {
        const char* typed;
        const char* message;  // shown in the value field
    } refusals[] = {{"123", "入力不足"}, {"123456", nullptr}};
    for (const auto& r : refusals) {
        SCOPED_TRACE(r.typed);
        typeCode(QString::fromLatin1(r.typed));
        sounds();
        const QDateTime before = fakeClock.now();
        const QStringList updates = updatesOf([this] { touch(QStringLiteral("_BG_Enter")); }, 2);
        EXPECT_EQ(before.msecsTo(fakeClock.now()), 2000);
        EXPECT_EQ(sounds().filter(QStringLiteral("ERROR.wav")).size(), 1);
        if (r.message) {
            EXPECT_TRUE(vnq::test::transcriptOf(updates.value(0)).contains(QString::fromUtf8(r.message)));
        }
        EXPECT_TRUE(link->calls().isEmpty());
    }
    typeCode(QStringLiteral("583019"));
    touch(QStringLiteral("_BG_Enter"));
    EXPECT_EQ(link->operations(), QStringList{"startDataRequest"});
    EXPECT_EQ(link->calls().value(0).args, QVariantList{5});
    EXPECT_EQ(headlineAfter([&] { emit link->finishedDakokuSending(QStringLiteral("0"), 30); }),
              QStringLiteral("送信30件"));
}

TEST_F(ManualUpload, CancelClosesTheCodeKeypadOnly)
{
    useEdition(2);
    openPage();
    touch(QStringLiteral("DakokuAll"));
    EXPECT_EQ(headlineAfter([this] { touch(QStringLiteral("Cancel")); }), QStringLiteral("未送信12件"));
    touch(QStringLiteral("Dakoku"));
    EXPECT_EQ(link->calls().size(), 1) << "the page takes its buttons again";
}

TEST_F(ManualUpload, WithoutAWorkerTheSendFailsAtOnce)
{
    openPage();
    EXPECT_EQ(headlineAfter([this] { touch(QStringLiteral("Dakoku")); }), QStringLiteral("ネットワーク異常"));
    touch(QStringLiteral("Back"));
    EXPECT_TRUE(page.isNull());
}

}  // namespace
