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
