#include "clockfixture.h"

#include "db.h"
#include "dbmaster.h"
#include "fakecloudlink.h"
#include "form2cardtouroku.h"
#include "iccardmodule.h"
#include "operationpages.h"

#include <QCoreApplication>

namespace {

using vnq::test::FakeCloudLink;

const QString ownCard = QStringLiteral("0123456789ABCDEF");   // user 200's
const QString otherCard = QStringLiteral("1111111111111111");  // user 300's
const QString namelessCard = QStringLiteral("2222222222222222");  // user 400's
const QString freeCard = QStringLiteral("abcdef0123456789");

// Users 100 (no card), 200, 300 and 400 (no name) with cards; the registration page open.
class CardRegistration : public ClockFixture {
protected:
    void SetUp() override
    {
        ClockFixture::SetUp();
        ASSERT_TRUE(DBMaster::deleteAllUser());
        ASSERT_TRUE(DBMaster::deleteAllCard());
        const struct {
            int id;
            const char* name;
            QString card;
        } users[] = {{100, "山田", "CLEAR"}, {200, "鈴木", ownCard}, {300, "佐藤", otherCard}, {400, "", namelessCard}};
        for (const auto& u : users) {
            ASSERT_TRUE(DBMaster::setUser(u.id, QString::fromUtf8(u.name), 1));
            ASSERT_TRUE(DBMaster::setCard(u.card, u.card == "CLEAR" ? QString() : QStringLiteral("FeliCa"),
                                          u.card == "CLEAR" ? 5 : 8, u.id));
        }
        OperationPages::install();
        startActiveClock();
    }

    void openPage()
    {
        updatesOf([this] { clock->movePage(6, nullptr); });
        page = dynamic_cast<Form2CardTouroku*>(probe->currentPage());
        ASSERT_FALSE(page.isNull());
    }

    void type(const QString& number)
    {
        for (const QChar digit : number)
            touch(QStringLiteral("Sel3x4_") + digit);
        vnq::test::FakeDisplayServer::waitFor([this] { return !label->busy; });
    }

    // Types the number on the keypad and enters it; what was drawn on the enter.
    QString enter(const QString& number)
    {
        type(number);
        return lastUpdateAfter([this] { touch(QStringLiteral("_BG_Enter")); });
    }

    QString press(const char* id)
    {
        return lastUpdateAfter([&] { touch(QString::fromLatin1(id)); });
    }

    // A card once the display server has answered the last update.
    QString present(const QString& id, const char* type = "FeliCa", const char* len = "8")
    {
        vnq::test::FakeDisplayServer::waitFor([this] { return !label->busy; });
        return lastUpdateAfter([&] {
            emit ICCardModule::getInstance()->cardTouchRaw(id, QString::fromLatin1(type), QString::fromLatin1(len));
        });
    }

    // The transcripts of the updates sent while fn ran (empty when none).
    QString lastUpdateAfter(const std::function<void()>& fn)
    {
        const int before = peer.updates().size();
        fn();
        // Everything was written before fn returned.
        peer.settle();
        QString out;
        for (const QString& update : peer.updates().mid(before))
            out += vnq::test::transcriptOf(update) + QLatin1Char('\n');
        return out;
    }

    static bool shows(const QString& transcript, const QStringList& texts)
    {
        for (const QString& text : texts)
            if (!transcript.contains(QStringLiteral("<text>%1</text>").arg(text)))
                return false;
        return true;
    }

    static QList<QStringList> cardRows(int userId)
    {
        QList<QStringList> rows;
        DB::getInstance()->selectQueryBase(QStringLiteral("../DB/master.db"),
                                           QStringLiteral("SELECT * FROM card WHERE user_id = ? ORDER BY card_id"), &rows,
                                           {QString::number(userId)});
        return rows;
    }

    static QList<QStringList> rowsOfCard(const QString& cardId)
    {
        QList<QStringList> rows;
        DB::getInstance()->selectQueryBase(QStringLiteral("../DB/master.db"),
                                           QStringLiteral("SELECT * FROM card WHERE upper(card_id) = ?"), &rows,
                                           {cardId.toUpper()});
        return rows;
    }

    QString nowSeconds() const { return QString::number(fakeClock.now().toSecsSinceEpoch()); }

    QPointer<Form2CardTouroku> page;
};

TEST_F(CardRegistration, UnknownNumberShowsWhyForTwoSeconds)
{
    openPage();
    for (const QString& number : {QStringLiteral("999"), QString()}) {
        SCOPED_TRACE(number.toStdString());
        type(number);
        runner.clear();
        const QDateTime before = fakeClock.now();
        const int updates = peer.updates().size();
        touch(QStringLiteral("_BG_Enter"));
        ASSERT_TRUE(peer.waitForUpdates(updates + 2));
        EXPECT_TRUE(vnq::test::transcriptOf(peer.updates().at(updates)).contains(QStringLiteral("ID番号不明")));
        EXPECT_FALSE(vnq::test::transcriptOf(peer.updates().at(updates + 1)).contains(QStringLiteral("ID番号不明")));
        EXPECT_EQ(before.msecsTo(fakeClock.now()), 2000);
        EXPECT_EQ(runner.commands().filter(QStringLiteral("/VnQo/app/Sound/2/ERROR.wav")).size(), 1);
        EXPECT_EQ(peer.updates().size(), updates + 2) << "still the keypad, no window";
    }
}

TEST_F(CardRegistration, AFreeCardForAUserWithoutOne)
{
    openPage();
    EXPECT_TRUE(shows(enter(QStringLiteral("100")), {"確認", "山田", "登録しますか"}));
    EXPECT_TRUE(shows(press("Pop_Yes"), {"登録", "山田", "カードをタッチしてください"}));
    EXPECT_TRUE(shows(present(freeCard), {"登録完了しました"}));
    EXPECT_EQ(cardRows(100), (QList<QStringList>{{"ABCDEF0123456789", "FeliCa", "8", nowSeconds(), "100", "0"}}));
    EXPECT_TRUE(shows(press("Pop_No"), {"個人マスタ 4件"})) << "back to the keypad";
}

TEST_F(CardRegistration, AUserWithACardChangesOrLosesIt)
{
    openPage();
    EXPECT_TRUE(shows(enter(QStringLiteral("200")), {"注意", "鈴木", "は登録済みです", "変更", "削除", "戻る"}));
    EXPECT_TRUE(shows(press("Pop_C_Yes"), {"変更", "鈴木", "カードをタッチしてください"}));
    EXPECT_TRUE(shows(present(ownCard), {"鈴木", "として登録されています"})) << "the user's own card";
    press("Pop_Info");

    EXPECT_TRUE(shows(enter(QStringLiteral("200")), {"は登録済みです"}));
    const QString question = press("Pop_C_Del");
    EXPECT_TRUE(shows(question, {"削除しますか"}));
    EXPECT_FALSE(question.contains(QStringLiteral("鈴木"))) << "an empty name field";
    EXPECT_TRUE(shows(press("Pop_Del"), {"削除しました"}));
    EXPECT_EQ(cardRows(200), (QList<QStringList>{{"CLEAR", "", "5", nowSeconds(), "200", "0"}}));
    press("Pop_No");

    EXPECT_TRUE(shows(enter(QStringLiteral("300")), {"は登録済みです"}));
    press("Pop_C_Yes");
    EXPECT_TRUE(shows(present(QStringLiteral("abcdef9999999999"), "TypeA", "7"), {"登録完了しました"}));
    EXPECT_EQ(cardRows(300), (QList<QStringList>{{"ABCDEF9999999999", "TypeA", "7", nowSeconds(), "300", "0"}}))
        << "the old card's row is gone";
}

TEST_F(CardRegistration, ACardOfAnotherUserIsRefusedNamingTheOwner)
{
    openPage();
    const struct {
        QString card;
        const char* owner;
    } cases[] = {{otherCard, "佐藤"}, {namelessCard, "不明"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.owner);
        enter(QStringLiteral("100"));
        press("Pop_Yes");
        EXPECT_TRUE(shows(present(c.card), {QString::fromUtf8(c.owner), "として登録されています"}));
        EXPECT_EQ(cardRows(100).value(0).value(0), QStringLiteral("CLEAR"));
        press("Pop_Info");
    }
}

TEST_F(CardRegistration, CardsOutsideTheCardWindowAreIgnored)
{
    openPage();
    EXPECT_TRUE(present(freeCard).isEmpty()) << "no card-touch window";
    enter(QStringLiteral("100"));
    press("Pop_Yes");
    vnq::test::FakeDisplayServer::waitFor([this] { return !label->busy; });
    label->busy = true;  // the display server has not answered yet
    emit ICCardModule::getInstance()->cardTouchRaw(freeCard, QStringLiteral("FeliCa"), QStringLiteral("8"));
    label->busy = false;
    EXPECT_EQ(cardRows(100).value(0).value(0), QStringLiteral("CLEAR"));
    EXPECT_FALSE(log.matching(QStringLiteral("描画中なので回避")).isEmpty());

    EXPECT_TRUE(shows(present(freeCard), {"登録完了しました"})) << "the window stayed open";
    press("Pop_No");
    enter(QStringLiteral("200"));
    press("Pop_C_Yes");
    EXPECT_TRUE(shows(press("Pop_No"), {"個人マスタ 4件"})) << "中止: an empty keypad";
    EXPECT_TRUE(present(QStringLiteral("abcdef5555555555")).isEmpty());
    EXPECT_EQ(cardRows(200).value(0).value(0), ownCard);
}

TEST_F(CardRegistration, AFailedInsertKeepsTheOldRowAndAnOrphanRowGoes)
{
    ASSERT_TRUE(DB::getInstance()->execQueryBase(QStringLiteral("../DB/master.db"),
                                                 QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON card "
                                                                "WHEN NEW.card_id = 'ABCDEF0123456789' "
                                                                "BEGIN SELECT RAISE(ABORT, 'refused'); END;"),
                                                 nullptr));
    ASSERT_TRUE(DBMaster::setCard(QStringLiteral("3333333333333333"), QStringLiteral("FeliCa"), 8, 555));  // no such user
    openPage();
    enter(QStringLiteral("200"));
    press("Pop_C_Yes");
    EXPECT_TRUE(shows(present(freeCard), {"登録に失敗しました"}));
    EXPECT_EQ(cardRows(200).value(0).value(0), ownCard);
    EXPECT_EQ(cardRows(200).size(), 1);
    press("Pop_No");

    enter(QStringLiteral("200"));
    press("Pop_C_Yes");
    EXPECT_TRUE(shows(present(QStringLiteral("3333333333333333")), {"登録完了しました"})) << "an orphan card is free";
    EXPECT_EQ(rowsOfCard(QStringLiteral("3333333333333333")).size(), 1);
    EXPECT_EQ(rowsOfCard(QStringLiteral("3333333333333333")).value(0).value(4), QStringLiteral("200"));
}

class CardRegistrationCloud : public CardRegistration {
protected:
    void useEdition(int edition) { link = useCloudEdition(edition); }

    // Registers the free card for user 100 up to the request.
    void registerFreeCard()
    {
        enter(QStringLiteral("100"));
        press("Pop_Yes");
        present(freeCard);
    }

    void answer(int edition, const QString& code)
    {
        if (edition == 1)
            emit link->finishedPutUserIDm(code);
        else
            emit link->finishedPutUserIDm(code.toInt());
    }

    FakeCloudLink* link = nullptr;
};

TEST_F(CardRegistrationCloud, TheServiceDecidesByItsCode)
{
    const struct {
        const char* code;
        QStringList lines;  // empty: committed
    } cases[] = {
        {"0", {}},
        {"-10", {"通信に失敗しました。", "機器登録されていません。"}},
        {"-11", {"通信に失敗しました。", "機器が利用可能な状態", "ではありません。"}},
        {"-20", {"通信に失敗しました。", "トークンが不正です。"}},
        {"-60", {"登録済みのカードです。"}},
        {"-61", {"サーバーの登録時刻が現時刻より", "新しいカードです。", "時計設定を見直してください。"}},
        {"-9999", {"通信に失敗しました。", "設定および接続を確認して", "ください。"}},
        {"-1", {"通信に失敗しました。", "設定および接続を確認して", "ください。"}},
        {"", {"通信に失敗しました。", "設定および接続を確認して", "ください。"}},
        {"abc", {"通信に失敗しました。", "設定および接続を確認して", "ください。"}},
    };
    for (const int edition : {1, 2}) {
        useEdition(edition);
        for (const auto& c : cases) {
            const QString code = QString::fromLatin1(c.code);
            if (edition == 2 && (code.isEmpty() || code == QLatin1String("abc")))
                continue;
            SCOPED_TRACE(testing::Message() << edition << " [" << c.code << "]");
            ASSERT_TRUE(DBMaster::replaceCardOfUser(100, QStringLiteral("CLEAR"), QString(), 5));
            delete page;
            openPage();
            link->clearCalls();
            registerFreeCard();
            ASSERT_EQ(link->operations(), QStringList{"putUserIDm"});
            EXPECT_EQ(link->calls().at(0).args,
                      (QVariantList{100, freeCard, fakeClock.now().toString(QStringLiteral("yyyyMMddhhmmss"))}));
            EXPECT_EQ(cardRows(100).value(0).value(0), QStringLiteral("CLEAR")) << "nothing before the answer";

            const QString window = lastUpdateAfter([&] { answer(edition, code); });
            if (c.lines.isEmpty()) {
                EXPECT_TRUE(shows(window, {"登録完了しました"}));
                EXPECT_EQ(cardRows(100).value(0).value(0), QStringLiteral("ABCDEF0123456789"));
            } else {
                EXPECT_TRUE(shows(window, QStringList{"エラー"} + c.lines)) << window.toStdString();
                EXPECT_EQ(cardRows(100).value(0).value(0), QStringLiteral("CLEAR"));
            }
        }
    }
}

TEST_F(CardRegistrationCloud, ADeletionSendsClear)
{
    useEdition(1);
    openPage();
    enter(QStringLiteral("200"));
    press("Pop_C_Del");
    press("Pop_Del");
    ASSERT_EQ(link->calls().size(), 1);
    EXPECT_EQ(link->calls().at(0).args,
              (QVariantList{200, QStringLiteral("CLEAR"), fakeClock.now().toString(QStringLiteral("yyyyMMddhhmmss"))}));
    EXPECT_TRUE(shows(lastUpdateAfter([&] { answer(1, QStringLiteral("0")); }), {"削除しました"}));
    EXPECT_EQ(cardRows(200).value(0).value(0), QStringLiteral("CLEAR"));
}

TEST_F(CardRegistrationCloud, AnAnswerAfterThePageIsGoneReachesNothing)
{
    useEdition(2);
    link->runInOwnThread();
    openPage();
    registerFreeCard();
    ASSERT_EQ(link->pendingCount(), 1);
    clock->returnPage(page, false);
    EXPECT_TRUE(page.isNull());
    // The answer comes from the link's own thread; what it sets off here is done once it is in.
    bool answered = false;
    QObject receiver;
    QObject::connect(link, qOverload<QString>(&CloudLink::finishedPutUserIDm), &receiver, [&] { answered = true; });
    QObject::connect(link, qOverload<int>(&CloudLink::finishedPutUserIDm), &receiver, [&] { answered = true; });
    link->answerPending();
    ASSERT_TRUE(vnq::test::FakeDisplayServer::waitFor([&] { return answered; }, 10000));
    peer.settle();
    EXPECT_EQ(cardRows(100).value(0).value(0), QStringLiteral("CLEAR"));
}

TEST_F(CardRegistrationCloud, WithoutAWorkerTheCommitFailsAtOnce)
{
    ZSystem::setMode(ZSystem::Cloud);
    openPage();
    enter(QStringLiteral("100"));
    press("Pop_Yes");
    EXPECT_TRUE(shows(present(freeCard), {"通信に失敗しました。", "設定および接続を確認して", "ください。"}));
    EXPECT_EQ(cardRows(100).value(0).value(0), QStringLiteral("CLEAR"));
}

}  // namespace
