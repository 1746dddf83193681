#include "screenparts.h"

#include "mylabel.h"

void setFullScreenImage(MyLabel* label, LabelItemList* item, const QString& image)
{
    label->initItem(item);
    item->x = 0;
    item->y = 0;
    item->w = 480;
    item->h = 272;
    item->filename = image;
    label->setItem(item);
}

void setScreenTitle(MyLabel* label, LabelItemList* item, const QString& title)
{
    label->initItem(item);
    item->label.x = 53;
    item->label.y = 14;
    item->label.px = 22;
    item->label.margin = 0;
    item->label.r = item->label.g = item->label.b = item->label.a = 255;
    item->label.text = title;
    label->setItem(item);
}

void setImage(MyLabel* label, LabelItemList* item, int x, int y, const QString& image)
{
    label->initItem(item);
    item->x = x;
    item->y = y;
    item->filename = image;
    label->setItem(item);
}

void setTouchArea(MyLabel* label, LabelItemList* item, const QString& id, int x, int y, int w, int h)
{
    label->initItem(item);
    item->id = id;
    item->x = x;
    item->y = y;
    item->w = w;
    item->h = h;
    label->setItem(item);
}

void setBareKey(MyLabel* label, LabelItemList* item, int x0, int y0, const KeypadShape& shape)
{
    setTouchArea(label, item, shape.id, x0 + shape.x, y0 + shape.y, shape.w, shape.h);
}

void setValueText(MyLabel* label, LabelItemList* item, int x, int y, const QString& text)
{
    label->initItem(item);
    item->label.x = x;
    item->label.y = y;
    item->label.px = 20;
    item->label.margin = 0;
    item->label.r = item->label.g = item->label.b = 0;
    item->label.a = 255;
    item->label.text = text;
    label->setItem(item);
}

QString shortenedValue(const QString& text)
{
    const int shownLength = 16;
    return text.size() >= shownLength ? text.left(shownLength) + QStringLiteral("..") : text;
}
