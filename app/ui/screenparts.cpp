#include "screenparts.h"

#include "mylabel.h"

void setText(MyLabel* label, LabelItemList* item, const FontStyle& text)
{
    label->initItem(item);
    item->label = text;
    label->setItem(item);
}

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
    setText(label, item, FontStyle{53, 14, 22, 0, title, 255, 255, 255, 255});
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
    setText(label, item, FontStyle{x, y, 20, 0, text, 0, 0, 0, 255});
}

QString shortenedValue(const QString& text)
{
    const int shownLength = 16;
    return text.size() >= shownLength ? text.left(shownLength) + QStringLiteral("..") : text;
}
