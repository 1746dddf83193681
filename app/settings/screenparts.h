#pragma once

#include <QString>

class LabelItemList;
class MyLabel;

// Parts that the settings screens draw alike, each sent with the given record.

// A picture over the whole 480x272 screen, without id or text.
void setFullScreenImage(MyLabel* label, LabelItemList* item, const QString& image);
// The screen's title in the top bar: white, 22 px, from (53, 14).
void setScreenTitle(MyLabel* label, LabelItemList* item, const QString& title);
