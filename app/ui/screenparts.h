#pragma once

#include "fontstyle.h"
#include "keypadlayout.h"

#include <QString>

class LabelItemList;
class MyLabel;

// Parts that the screens draw alike, each sent with the given record.

// One text run, without id or picture.
void setText(MyLabel* label, LabelItemList* item, const FontStyle& text);
// A picture over the whole 480x272 screen, without id or text.
void setFullScreenImage(MyLabel* label, LabelItemList* item, const QString& image);
// The screen's title in the top bar: white, 22 px, from (53, 14).
void setScreenTitle(MyLabel* label, LabelItemList* item, const QString& title);
// A picture in its natural size from (x, y), without id or text.
void setImage(MyLabel* label, LabelItemList* item, int x, int y, const QString& image);
// A touch area without picture or text; what it looks like is part of the picture below it.
void setTouchArea(MyLabel* label, LabelItemList* item, const QString& id, int x, int y, int w, int h);
// A key or button as a bare touch area at the origin plus its position; its face is part of
// the picture below it.
void setBareKey(MyLabel* label, LabelItemList* item, int x0, int y0, const KeypadShape& shape);
// A value beside its row: black, 20 px, from (x, y).
void setValueText(MyLabel* label, LabelItemList* item, int x, int y, const QString& text);

// A typed value as a row shows it: from 16 characters on, its first 16 and "..".
QString shortenedValue(const QString& text);
