#include "form3popup.h"

#include "mylabel.h"
#include "screenparts.h"

#include <initializer_list>

namespace {

const int centreX = 240;
const short lineY[4] = {97, 125, 153, 181};
const short buttonY = 185;

// One button of a window: its id and caption (empty for none).
struct WindowButton {
    QString id;
    QString caption;
};

// The window image for a number of buttons (0 to 3).
QString windowImage(int buttons)
{
    return QStringLiteral("../Parts/07メッセージウインドウ画面/メッセージウインドウ_ボタン数%1.png").arg(buttons);
}

// One item without id or background holding a label.
void addLabel(const FontStyle& style)
{
    LabelItemList item;
    setText(MyLabel::getInstance(), &item, style);
}

// One to three buttons at the positions for their count, left to right.
void addButtons(std::initializer_list<WindowButton> buttons)
{
    static const short oneX[] = {200};
    static const short twoX[] = {130, 270};
    static const short threeX[] = {110, 200, 290};
    const short* x = buttons.size() == 1 ? oneX : buttons.size() == 2 ? twoX : threeX;
    for (const WindowButton& button : buttons)
        Form3Popup::setButton(button.id, *x++, buttonY, button.caption);
}

// A whole window as one update: the image for its number of buttons, the title, four lines
// in one colour and the buttons.
void showWindow(const QString& title, const QString& line1, const QString& line2, const QString& line3,
                std::initializer_list<WindowButton> buttons, int r = 0, int g = 0, int b = 0)
{
    MyLabel::getInstance()->setClear();
    Form3Popup::setFrame(windowImage(int(buttons.size())), title, line1, line2, line3, QString(), r, g, b);
    addButtons(buttons);
    MyLabel::getInstance()->setFadeIn();
}

// A card window: the name takes line 1's place and the given lines follow it.
void showCardWindow(const QString& title, const QString& name, const QString& line2, const QString& line3,
                    const QString& line4, std::initializer_list<WindowButton> buttons)
{
    MyLabel::getInstance()->setClear();
    Form3Popup::setFrame(windowImage(int(buttons.size())), title, QString(), line2, line3, line4, 0, 0, 0);
    Form3Popup::setName(name);
    addButtons(buttons);
    MyLabel::getInstance()->setFadeIn();
}

}  // namespace

void Form3Popup::setMessage(QString text, short x, short y, float px, float margin, float r, float g, float b)
{
    if (!text.isEmpty())
        addLabel(FontStyle{x, y, px, margin, text, r, g, b, 255});
}

void Form3Popup::setFrame(QString image, QString title, QString line1, QString line2, QString line3,
                          QString line4, int r, int g, int b)
{
    MyLabel* label = MyLabel::getInstance();
    LabelItemList window;
    setImage(label, &window, 0, 0, image);

    // The title item is sent even when empty.
    addLabel(FontStyle{centreX, 60, 20, 1, title, 255, 255, 255, 255});

    const QString lines[4] = {line1, line2, line3, line4};
    for (int i = 0; i < 4; ++i)
        setMessage(lines[i], centreX, lineY[i], 22, 1, r, g, b);
}

void Form3Popup::setButton(QString id, short x, short y, QString caption)
{
    MyLabel* label = MyLabel::getInstance();
    LabelItemList button;
    label->initItem(&button);
    button.id = id;
    button.x = x;
    button.y = y;
    button.w = 80;
    button.h = 34;
    if (!caption.isEmpty())
        button.label = FontStyle{x + 40, y + 6, 18, 1, caption, 255, 255, 255, 255};
    label->setItem(&button);
}

void Form3Popup::setName(QString name)
{
    addLabel(FontStyle{centreX, 95, 22, 1, name, 0, 0, 0, 255});
}

void Form3Popup::showErrorBase(QString line1, QString line2, QString line3, int r, int g, int b)
{
    showWindow(QStringLiteral("エラー"), line1, line2, line3, {{QStringLiteral("Pop_Err"), QStringLiteral("戻る")}},
               r, g, b);
}

void Form3Popup::showError(QString line1, QString line2, QString line3)
{
    showErrorBase(line1, line2, line3, 0, 0, 0);
}

void Form3Popup::showErrorBrown(QString line1, QString line2, QString line3)
{
    showErrorBase(line1, line2, line3, 153, 76, 0);
}

void Form3Popup::showYesNoBase(QString line1, QString line2, QString line3, QString yesId)
{
    showWindow(QStringLiteral("確認"), line1, line2, line3,
               {{yesId, QString()}, {QStringLiteral("Pop_No"), QString()}});
}

void Form3Popup::showYesNo(QString line1, QString line2, QString line3)
{
    showYesNoBase(line1, line2, line3, QStringLiteral("Pop_Yes"));
}

void Form3Popup::showYesNoDelete(QString line1, QString line2, QString line3)
{
    showYesNoBase(line1, line2, line3, QStringLiteral("Pop_Del"));
}

void Form3Popup::showYesNoLeftAdjust(QString line1, QString line2, QString line3)
{
    MyLabel::getInstance()->setClear();
    setFrame(windowImage(2), QStringLiteral("確認"), QString(), QString(), QString(), QString(), 0, 0, 0);
    setMessage(line1, 160, 187, 24, 0, 0, 0, 0);
    setMessage(line2, 160, 221, 24, 0, 0, 0, 0);
    setMessage(line3, 160, 255, 24, 0, 0, 0, 0);
    addButtons({{QStringLiteral("Pop_Yes"), QString()}, {QStringLiteral("Pop_No"), QString()}});
    MyLabel::getInstance()->setFadeIn();
}

void Form3Popup::showInfo(QString line1, QString line2, QString line3, bool withButton, QString title)
{
    if (withButton)
        showWindow(title, line1, line2, line3, {{QStringLiteral("Pop_Info"), QString()}});
    else
        showWindow(title, line1, line2, line3, {});
}

void Form3Popup::showCardSuccess(QString title, QString name, QString line1, QString line2, QString line3)
{
    showCardWindow(title, name, line1, line2, line3, {{QStringLiteral("Pop_No"), QStringLiteral("戻る")}});
}

void Form3Popup::showCardDeleteYesNo(QString name, QString line1, QString line2, QString line3)
{
    showCardWindow(QStringLiteral("注意"), name, line1, line2, line3,
                   {{QStringLiteral("Pop_Del"), QStringLiteral("はい")},
                    {QStringLiteral("Pop_No"), QStringLiteral("いいえ")}});
}

void Form3Popup::showCardAction(QString name, QString line1, QString line2, QString line3)
{
    showCardWindow(QStringLiteral("注意"), name, line1, line2, line3,
                   {{QStringLiteral("Pop_C_Yes"), QStringLiteral("変更")},
                    {QStringLiteral("Pop_C_Del"), QStringLiteral("削除")},
                    {QStringLiteral("Pop_No"), QStringLiteral("戻る")}});
}

void Form3Popup::showCardInfo(QString name, QString line1, QString line2, QString line3)
{
    showCardWindow(QStringLiteral("注意"), name, line1, line2, line3,
                   {{QStringLiteral("Pop_Info"), QStringLiteral("中止")}});
}

void Form3Popup::showCardYesNo(QString name, QString line1, QString line2, QString line3)
{
    showCardWindow(QStringLiteral("確認"), name, line1, line2, line3,
                   {{QStringLiteral("Pop_Yes"), QStringLiteral("はい")},
                    {QStringLiteral("Pop_No"), QStringLiteral("いいえ")}});
}

void Form3Popup::showCardTouch(QString title, QString name, QString line1, QString line2, QString line3)
{
    showCardWindow(title, name, line1, line2, line3, {{QStringLiteral("Pop_No"), QStringLiteral("中止")}});
}
