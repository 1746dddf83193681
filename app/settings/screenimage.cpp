#include "screenimage.h"

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
