#include "form2cardkakunin.h"

#include "iccardmodule.h"
#include "mydebug.h"
#include "mylabel.h"
#include "resultpage.h"
#include "screenparts.h"

namespace {

const QString partsDir = QStringLiteral("../Parts/04非接触カードの確認画面/");

// Text colours of the page.
FontStyle text(int x, int y, float px, const QString& content, float r, float g, float b)
{
    return FontStyle{x, y, px, 0, content, r, g, b, 255};
}

}  // namespace

Form2CardKakunin::Form2CardKakunin(QObject* parent)
    : QObject(parent)
    , label(MyLabel::getInstance())
{
    connect(label, &MyLabel::clicked, this, &Form2CardKakunin::clickMyLabel);
    connect(ICCardModule::getInstance(), &ICCardModule::cardTouchRaw, this, &Form2CardKakunin::onCardTouchRaw);
    disp(QString(), QString(), QString());
}

void Form2CardKakunin::disp(QString type, QString id, QString len)
{
    label->setNew();
    setFullScreenImage(label, &item, partsDir + QStringLiteral("非接触カードの確認画面_なし.png"));
    setScreenTitle(label, &item, QStringLiteral("非接触カードの種類確認"));
    setTouchArea(label, &item, QStringLiteral("Back"), 387, 228, 82, 36);
    const bool typeA = type == QLatin1String("TypeA");
    if (type == QLatin1String("FeliCa"))
        setImage(label, &item, 128, 73, partsDir + QStringLiteral("Felica.png"));
    if (typeA && len == QLatin1String("4"))
        setImage(label, &item, 238, 73, partsDir + QStringLiteral("TypeA_4.png"));
    if (typeA && len == QLatin1String("7"))
        setImage(label, &item, 348, 73, partsDir + QStringLiteral("TypeA_7.png"));
    setText(label, &item, text(127, 120, 22, ICCardModule::getVersion(), 80, 99, 42));
    // A length that is not a number counts as 0: an empty ID line.
    setText(label, &item, text(127, 164, 22, id.left(2 * qMax(0, len.toInt())), 80, 99, 42));
    setText(label, &item, text(80, 232, 20, QStringLiteral("カードをタッチしてください"), 23, 113, 68));
    label->setFlash();
}

void Form2CardKakunin::onCardTouchRaw(QString id, QString type, QString len)
{
    ICCardModule::playOKSound();
    disp(type, id, len);
}

void Form2CardKakunin::clickMyLabel(MyLabel*, QString id)
{
    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "enter" << id;
    if (id != QLatin1String("Back"))
        return;
    backToClock(this);
}
