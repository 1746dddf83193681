#include "clockfixture.h"

#include "fakecloudlink.h"
#include "form2centerkakunin.h"
#include "operationpages.h"

#include <QSignalSpy>

namespace {

using vnq::test::FakeCloudLink;

class ServerCheck : public ClockFixture {
protected:
    void SetUp() override
    {
        ClockFixture::SetUp();
        OperationPages::install();
        setSetting("時計に戻る時間", 1);
        startActiveClock();
    }

    void useEdition(int edition) { link = useCloudEdition(edition); }

    QStringList openPage()
    {
        const QStringList updates = updatesOf([this] { clock->movePage(3, nullptr); });
        page = dynamic_cast<Form2CenterKakunin*>(probe->currentPage());
        EXPECT_FALSE(page.isNull());
        return updates;
    }

    // The status line and the three result lines of an update, and the button image.
    static QStringList textsOf(const QString& update)
    {
        QStringList lines = vnq::test::transcriptOf(update).split(QLatin1Char('\n'));
        QStringList texts;
        for (const QString& line : lines) {
            const int y = line.section(QStringLiteral("<y>"), 1, 1).section(QLatin1Char('<'), 0, 0).toInt();
            if (line.contains(QStringLiteral("<label>")) && y >= 65)
                texts << line.section(QStringLiteral("<text>"), 1, 1).section(QLatin1Char('<'), 0, 0);
        }
        return texts;
    }

    static bool buttonEnabled(const QString& update)
    {
        return vnq::test::transcriptOf(update).contains(QStringLiteral("実行ボタン有効.png"));
    }

    void tickAfter(qint64 ms)
    {
        fakeClock.advanceMs(ms);
        MyTimer::getInstance()->unlockTimer();
        MyTimer::getInstance()->tickerTask();
    }

    FakeCloudLink* link = nullptr;
    QPointer<Form2CenterKakunin> page;
};

TEST_F(ServerCheck, OpeningPage)
{
    useEdition(1);
    expectTranscript(QStringLiteral("servercheck_open"), openPage());
}

TEST_F(ServerCheck, EveryAnswerOfBothServices)
{
    const struct {
        int edition;
        const char* code;
        QStringList texts;  // status line, then the three lines
    } cases[] = {
        {1, "0", {"接続成功", "センターとの接続に", "成功しました"}},
        {1, "-10", {"エラー:-10", "機器登録されて", "いません"}},
        {1, "-11", {"エラー:-11", "機器が利用可能な", "状態ではありません"}},
        {1, "-20", {"エラー:-20", ":トークンが不正です"}},
        {1, "-9999", {"ネットワーク異常", "設定および接続を確認", "してください"}},
        {1, "-8888", {"チェックする場合は", "実行ボタンをタッチ"}},
        {1, "-1", {"エラー:-1", "内部エラー"}},
        {1, "-1000", {"エラー:-1000", "内部エラー"}},
        {2, "0", {"接続成功", "センターとの接続に", "成功しました"}},
        {2, "-1000", {"エラー:-1000", "サービス利用を制限", "されています"}},
        {2, "-1001", {"エラー:-1001", "サービス利用期間", "ではありません"}},
        {2, "-1003", {"エラー:-1003", "端末情報が登録されて", "いません"}},
        {2, "-1004", {"エラー:-1004", "端末の利用が制限されて", "います"}},
        {2, "-9999", {"ネットワーク異常", "設定および接続を確認", "してください"}},
        {2, "-8888", {"チェックする場合は", "実行ボタンをタッチ"}},
        {2, "-1002", {"エラー:-1002", "内部エラー"}},
        {2, "-10", {"エラー:-10", "内部エラー"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.edition << " " << c.code);
        useEdition(c.edition);
        openPage();
        link->clearCalls();
        EXPECT_TRUE(updatesOf([this] { touch(QStringLiteral("Check")); }, 0).isEmpty()) << "no redraw before a tick";
        EXPECT_EQ(link->operations(), QStringList{"getServiceName"});
        const QString code = QString::fromLatin1(c.code);
        const QStringList answer = updatesOf([&] {
            if (c.edition == 1)
                emit link->finishedGetServiceName(code);
            else
                emit link->finishedGetServiceName(code.toInt());
        });
        ASSERT_EQ(answer.size(), 1);
        EXPECT_EQ(textsOf(answer[0]), c.texts);
        EXPECT_TRUE(buttonEnabled(answer[0]));
    }
}

TEST_F(ServerCheck, BlinksWhileWaitingWithBackRefusedAndTheDeadlineSuspended)
{
    useEdition(2);
    openPage();
    QSignalSpy returns(MyTimer::getInstance(), &MyTimer::timeoutClockModori);
    touch(QStringLiteral("Check"));
    for (const char* status : {"通信中・", "通信中・・", "通信中・・・", "通信中・"}) {
        const QStringList tick = updatesOf([this] { page->onTimeout(); });
        ASSERT_EQ(tick.size(), 1);
        EXPECT_EQ(textsOf(tick[0]), QStringList{QString::fromUtf8(status)});
        EXPECT_FALSE(buttonEnabled(tick[0]));
    }
    touch(QStringLiteral("Back"));
    EXPECT_FALSE(page.isNull()) << "Back is refused while communicating";
    tickAfter(120 * 1000);
    EXPECT_EQ(returns.count(), 0) << "the deadline is suspended";

    emit link->finishedGetServiceName(0);
    tickAfter(60 * 1000);
    EXPECT_EQ(returns.count(), 1) << "and runs again after the answer";
}

TEST_F(ServerCheck, WithoutAWorkerTheCheckFailsAtOnce)
{
    openPage();
    const QStringList answer = updatesOf([this] { touch(QStringLiteral("Check")); });
    ASSERT_EQ(answer.size(), 1);
    EXPECT_EQ(textsOf(answer[0]), (QStringList{"ネットワーク異常", "設定および接続を確認", "してください"}));
    touch(QStringLiteral("Back"));
    EXPECT_TRUE(page.isNull()) << "the page stays usable";
}

}  // namespace
