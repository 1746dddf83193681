#pragma once

#include <QString>

class LabelItemList;
class MyLabel;

// A picture over the whole 480x272 screen, without id or text, drawn with the record.
void setFullScreenImage(MyLabel* label, LabelItemList* item, const QString& image);
