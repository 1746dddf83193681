#include "form2cardkakunin.h"

#include "iccardmodule.h"
#include "mydebug.h"
#include "mylabel.h"
#include "resultpage.h"

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
    const auto picture = [this](int x, int y, int w, int h, const QString& file) {
        label->initItem(&item);
        item.x = x;
        item.y = y;
        item.w = w;
        item.h = h;
        item.filename = partsDir + file;
        label->setItem(&item);
    };
    const auto line = [this](const FontStyle& style) {
        label->initItem(&item);
        item.label = style;
        label->setItem(&item);
    };

    label->setNew();
    picture(0, 0, 480, 272, QStringLiteral("非接触カードの確認画面_なし.png"));
    line(text(53, 14, 22, QStringLiteral("非接触カードの種類確認"), 255, 255, 255));
    label->initItem(&item);
    item.id = QStringLiteral("Back");
    item.x = 387;
    item.y = 228;
    item.w = 82;
    item.h = 36;
    label->setItem(&item);
    const bool typeA = type == QLatin1String("TypeA");
    if (type == QLatin1String("FeliCa"))
        picture(128, 73, 0, 0, QStringLiteral("Felica.png"));
    if (typeA && len == QLatin1String("4"))
        picture(238, 73, 0, 0, QStringLiteral("TypeA_4.png"));
    if (typeA && len == QLatin1String("7"))
        picture(348, 73, 0, 0, QStringLiteral("TypeA_7.png"));
    line(text(127, 120, 22, ICCardModule::getVersion(), 80, 99, 42));
    // A length that is not a number counts as 0: an empty ID line.
    line(text(127, 164, 22, id.left(2 * qMax(0, len.toInt())), 80, 99, 42));
    line(text(80, 232, 20, QStringLiteral("カードをタッチしてください"), 23, 113, 68));
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
