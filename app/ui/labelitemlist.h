#pragma once

#include "fontstyle.h"

#include <QString>

// One screen item: an optional touch id, an optional background (position, size, image file
// relative to the display server's working directory) and up to two texts. An item with an
// id and a size of at least 1x1 becomes a touch area; a width or height below 1 means no size.
// MyLabel::setItem leaves the percent-encoded file name and texts in the record it sent.
class LabelItemList {
public:
    QString id;
    int x = 0;
    int y = 0;
    int w = -1;
    int h = -1;
    QString filename;
    FontStyle label;
    FontStyle sublabel;
};
