#include "form3popup.h"

#include "mylabel.h"

namespace {

const int centreX = 240;
const short lineY[4] = {97, 125, 153, 181};
const short buttonY = 185;
const short oneButtonX = 200;
const short twoButtonX[2] = {130, 270};
const short threeButtonX[3] = {110, 200, 290};

// A label centred on x in one fresh item without id or background.
void addCentredLabel(const QString& text, int y, float px, float r, float g, float b)
{
    MyLabel* label = MyLabel::getInstance();
    LabelItemList item;
    label->initItem(&item);
    item.label.x = centreX;
    item.label.y = y;
    item.label.px = px;
    item.label.margin = 1;
    item.label.r = r;
    item.label.g = g;
    item.label.b = b;
    item.label.a = 255;
    item.label.text = text;
    label->setItem(&item);
}

void open()
{
    MyLabel::getInstance()->setClear();
}

void show()
{
    MyLabel::getInstance()->setFadeIn();
}

}  // namespace

QString Form3Popup::windowImage(int buttons)
{
    return QStringLiteral("../Parts/07メッセージウインドウ画面/メッセージウインドウ_ボタン数%1.png").arg(buttons);
}

// The card windows: the name takes line 1's place and the given lines follow it.
void Form3Popup::setCardFrame(int buttons, QString title, QString name, QString line2, QString line3,
                              QString line4)
{
    setFrame(windowImage(buttons), title, QString(), line2, line3, line4, 0, 0, 0);
    setName(name);
}

void Form3Popup::setMessage(QString text, short x, short y, float px, float margin, float r, float g, float b)
{
    if (text.isEmpty())
        return;
    MyLabel* label = MyLabel::getInstance();
    LabelItemList item;
    label->initItem(&item);
    item.label.x = x;
    item.label.y = y;
    item.label.px = px;
    item.label.margin = margin;
    item.label.r = r;
    item.label.g = g;
    item.label.b = b;
    item.label.a = 255;
    item.label.text = text;
    label->setItem(&item);
}

void Form3Popup::setFrame(QString image, QString title, QString line1, QString line2, QString line3,
                          QString line4, int r, int g, int b)
{
    MyLabel* label = MyLabel::getInstance();
    LabelItemList window;
    label->initItem(&window);
    window.x = 0;
    window.y = 0;
    window.filename = image;
    label->setItem(&window);

    // The title item is sent even when empty.
    addCentredLabel(title, 60, 20, 255, 255, 255);

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
    if (!caption.isEmpty()) {
        button.label.x = x + 40;
        button.label.y = y + 6;
        button.label.px = 18;
        button.label.margin = 1;
        button.label.r = 255;
        button.label.g = 255;
        button.label.b = 255;
        button.label.a = 255;
        button.label.text = caption;
    }
    label->setItem(&button);
}

void Form3Popup::setName(QString name)
{
    addCentredLabel(name, 95, 22, 0, 0, 0);
}

void Form3Popup::showErrorBase(QString line1, QString line2, QString line3, int r, int g, int b)
{
    open();
    setFrame(windowImage(1), QStringLiteral("エラー"), line1, line2, line3, QString(), r, g, b);
    setButton(QStringLiteral("Pop_Err"), oneButtonX, buttonY, QStringLiteral("戻る"));
    show();
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
    open();
    setFrame(windowImage(2), QStringLiteral("確認"), line1, line2, line3, QString(), 0, 0, 0);
    setButton(yesId, twoButtonX[0], buttonY, QString());
    setButton(QStringLiteral("Pop_No"), twoButtonX[1], buttonY, QString());
    show();
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
    open();
    setFrame(windowImage(2), QStringLiteral("確認"), QString(), QString(), QString(), QString(), 0, 0, 0);
    setMessage(line1, 160, 187, 24, 0, 0, 0, 0);
    setMessage(line2, 160, 221, 24, 0, 0, 0, 0);
    setMessage(line3, 160, 255, 24, 0, 0, 0, 0);
    setButton(QStringLiteral("Pop_Yes"), twoButtonX[0], buttonY, QString());
    setButton(QStringLiteral("Pop_No"), twoButtonX[1], buttonY, QString());
    show();
}

void Form3Popup::showInfo(QString line1, QString line2, QString line3, bool withButton, QString title)
{
    open();
    setFrame(windowImage(withButton ? 1 : 0), title, line1, line2, line3, QString(), 0, 0, 0);
    if (withButton)
        setButton(QStringLiteral("Pop_Info"), oneButtonX, buttonY, QString());
    show();
}

void Form3Popup::showCardSuccess(QString title, QString name, QString line1, QString line2, QString line3)
{
    open();
    setCardFrame(1, title, name, line1, line2, line3);
    setButton(QStringLiteral("Pop_No"), oneButtonX, buttonY, QStringLiteral("戻る"));
    show();
}

void Form3Popup::showCardDeleteYesNo(QString name, QString line1, QString line2, QString line3)
{
    open();
    setCardFrame(2, QStringLiteral("注意"), name, line1, line2, line3);
    setButton(QStringLiteral("Pop_Del"), twoButtonX[0], buttonY, QStringLiteral("はい"));
    setButton(QStringLiteral("Pop_No"), twoButtonX[1], buttonY, QStringLiteral("いいえ"));
    show();
}

void Form3Popup::showCardAction(QString name, QString line1, QString line2, QString line3)
{
    open();
    setCardFrame(3, QStringLiteral("注意"), name, line1, line2, line3);
    setButton(QStringLiteral("Pop_C_Yes"), threeButtonX[0], buttonY, QStringLiteral("変更"));
    setButton(QStringLiteral("Pop_C_Del"), threeButtonX[1], buttonY, QStringLiteral("削除"));
    setButton(QStringLiteral("Pop_No"), threeButtonX[2], buttonY, QStringLiteral("戻る"));
    show();
}

void Form3Popup::showCardInfo(QString name, QString line1, QString line2, QString line3)
{
    open();
    setCardFrame(1, QStringLiteral("注意"), name, line1, line2, line3);
    setButton(QStringLiteral("Pop_Info"), oneButtonX, buttonY, QStringLiteral("中止"));
    show();
}

void Form3Popup::showCardYesNo(QString name, QString line1, QString line2, QString line3)
{
    open();
    setCardFrame(2, QStringLiteral("確認"), name, line1, line2, line3);
    setButton(QStringLiteral("Pop_Yes"), twoButtonX[0], buttonY, QStringLiteral("はい"));
    setButton(QStringLiteral("Pop_No"), twoButtonX[1], buttonY, QStringLiteral("いいえ"));
    show();
}

void Form3Popup::showCardTouch(QString title, QString name, QString line1, QString line2, QString line3)
{
    open();
    setCardFrame(1, title, name, line1, line2, line3);
    setButton(QStringLiteral("Pop_No"), oneButtonX, buttonY, QStringLiteral("中止"));
    show();
}
