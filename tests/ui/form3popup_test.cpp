#include "form3popup.h"
#include "screenfixture.h"

#include <functional>

namespace {

using namespace expect;

QString window(int buttons)
{
    return image(QStringLiteral("../Parts/07メッセージウインドウ画面/メッセージウインドウ_ボタン数%1.png").arg(buttons));
}

QString title(const QString& text)
{
    return text.isEmpty() ? QStringLiteral("<item></item>") : expect::text(text, 240, 60, 20, 1, 255, 255, 255);
}

QString line(const QString& text, int number, int r = 0, int g = 0, int b = 0)
{
    const int y[] = {97, 125, 153, 181};
    return expect::text(text, 240, y[number - 1], 22, 1, r, g, b);
}

// Like the title, the name line is sent even when empty.
QString name(const QString& text)
{
    return text.isEmpty() ? QStringLiteral("<item></item>") : expect::text(text, 240, 95, 22, 1, 0, 0, 0);
}

// Generation 0: a window opened with Clear keeps the generation of the page beneath.
QString button(const QString& id, int x, const QString& caption = {})
{
    const QString inner = caption.isEmpty() ? QString() : labelElement(caption, x + 40, 191, 18, 1, 255, 255, 255);
    return touchArea("0" + id, x, 185, 80, 34, inner);
}

QString windowUpdate(const QString& items)
{
    return "<items><action>Clear</action>" + items + screenShot(0) + "<action>FadeIn</action></items>";
}

struct WindowCase {
    const char* what;
    std::function<void()> show;
    QString items;
};

using Form3PopupWindows = ScreenFixture;

TEST_F(Form3PopupWindows, EachWindowIsOneUpdateWithItsButtons)
{
    const QString l1 = QStringLiteral("一行目"), l2 = QStringLiteral("二行目"), l3 = QStringLiteral("A&B<3>");
    const QString who = QStringLiteral("山田 太郎");
    const QList<WindowCase> cases = {
        {"error, one line", [&] { Form3Popup::showError(l1, "", ""); },
         window(1) + title("エラー") + line(l1, 1) + button("Pop_Err", 200, "戻る")},
        {"error in brown", [&] { Form3Popup::showErrorBrown(l1, l2, l3); },
         window(1) + title("エラー") + line(l1, 1, 153, 76, 0) + line(l2, 2, 153, 76, 0) + line(l3, 3, 153, 76, 0)
             + button("Pop_Err", 200, "戻る")},
        {"yes/no", [&] { Form3Popup::showYesNo(l1, l2, ""); },
         window(2) + title("確認") + line(l1, 1) + line(l2, 2) + button("Pop_Yes", 130) + button("Pop_No", 270)},
        {"yes/no delete", [&] { Form3Popup::showYesNoDelete("", "", l3); },
         window(2) + title("確認") + line(l3, 3) + button("Pop_Del", 130) + button("Pop_No", 270)},
        {"yes/no left-adjusted", [&] { Form3Popup::showYesNoLeftAdjust(l1, l2, l3); },
         window(2) + title("確認") + text(l1, 160, 187, 24, 0, 0, 0, 0) + text(l2, 160, 221, 24, 0, 0, 0, 0)
             + text(l3, 160, 255, 24, 0, 0, 0, 0) + button("Pop_Yes", 130) + button("Pop_No", 270)},
        {"information with button", [&] { Form3Popup::showInfo(l1, "", "", true, "お知らせ"); },
         window(1) + title("お知らせ") + line(l1, 1) + button("Pop_Info", 200)},
        {"information without button, empty title", [&] { Form3Popup::showInfo(l1, l2, "", false, ""); },
         window(0) + title("") + line(l1, 1) + line(l2, 2)},
        {"card success", [&] { Form3Popup::showCardSuccess("確認", who, l1, "", l3); },
         window(1) + title("確認") + line(l1, 2) + line(l3, 4) + name(who) + button("Pop_No", 200, "戻る")},
        {"card delete", [&] { Form3Popup::showCardDeleteYesNo(who, l1, "", ""); },
         window(2) + title("注意") + line(l1, 2) + name(who) + button("Pop_Del", 130, "はい")
             + button("Pop_No", 270, "いいえ")},
        {"card action", [&] { Form3Popup::showCardAction(who, l1, "", ""); },
         window(3) + title("注意") + line(l1, 2) + name(who) + button("Pop_C_Yes", 110, "変更")
             + button("Pop_C_Del", 200, "削除") + button("Pop_No", 290, "戻る")},
        {"card information", [&] { Form3Popup::showCardInfo(who, l1, l2, l3); },
         window(1) + title("注意") + line(l1, 2) + line(l2, 3) + line(l3, 4) + name(who)
             + button("Pop_Info", 200, "中止")},
        {"card yes/no", [&] { Form3Popup::showCardYesNo(who, l1, "", ""); },
         window(2) + title("確認") + line(l1, 2) + name(who) + button("Pop_Yes", 130, "はい")
             + button("Pop_No", 270, "いいえ")},
        {"card touch", [&] { Form3Popup::showCardTouch("登録", "", l1, "", ""); },
         window(1) + title("登録") + line(l1, 2) + name("") + button("Pop_No", 200, "中止")},
    };
    peer.setAnswerReady(false);
    for (const WindowCase& c : cases) {
        SCOPED_TRACE(c.what);
        const int before = peer.updates().size();
        c.show();
        ASSERT_TRUE(peer.waitForUpdates(before + 1));
        EXPECT_EQ(peer.lastUpdate(), windowUpdate(c.items));
        EXPECT_TRUE(label->busy) << "until the fade-in is answered";
    }
}

TEST_F(Form3PopupWindows, BuildingBlocksSendNothingOnTheirOwn)
{
    Form3Popup::setFrame("f.png", "", "", "", "", "四", 1, 2, 3);
    Form3Popup::setButton("Kanri", 5, 6, "");
    Form3Popup::setMessage("", 1, 1, 10, 0, 0, 0, 0);
    Form3Popup::setName("");
    EXPECT_TRUE(peer.updates().isEmpty());
    EXPECT_EQ(flash(), "<items>" + image("f.png") + "<item></item>" + line("四", 4, 1, 2, 3)
                           + touchArea("0Kanri", 5, 6, 80, 34) + "<item></item>" + screenShot(0)
                           + "<action>Flash</action></items>");
}

}  // namespace
