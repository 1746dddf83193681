#pragma once

#include "labelitemlist.h"

#include <QString>

class MyLabel;
class QObject;

// The drawing shared by the pages with an execute button, a status line and three result
// lines (server check, time synchronisation): one whole screen per call.
struct ResultPageText {
    QString status;
    QString line1;
    QString line2;
    QString line3;
};

void drawResultPage(MyLabel* label, LabelItemList* item, const QString& title, bool buttonEnabled,
                    const ResultPageText& text);

// "通信中" with one to three "・" for blink phases 0 to 2.
QString communicatingText(int phase);

// Back to the clock: the page's host (its parent) returns with a full reload and deletes the
// page inside the call, so the caller touches nothing of the page afterwards.
void backToClock(QObject* page);
