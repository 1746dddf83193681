#pragma once

#include "labelitemlist.h"

#include <QObject>
#include <QString>

class MyLabel;

// The card check page: every card presented while it is open is shown with its kind, its ID
// and the reader's version line. Nothing is looked up or stored.
class Form2CardKakunin : public QObject {
    Q_OBJECT
public:
    explicit Form2CardKakunin(QObject* parent);

    // Draws the whole page for one card (empty texts: no card yet).
    void disp(QString type, QString id, QString len);

public slots:
    void onCardTouchRaw(QString id, QString type, QString len);
    void clickMyLabel(MyLabel* obj, QString id);

private:
    Q_DISABLE_COPY(Form2CardKakunin)

    MyLabel* label = nullptr;
    LabelItemList item;
};
