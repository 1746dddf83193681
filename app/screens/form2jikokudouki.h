#pragma once

#include "labelitemlist.h"

#include <QObject>
#include <QString>

class MyLabel;
class QTimer;

// The time synchronisation page: starts the forced clock synchronisation and watches the
// status files its outside script leaves in /var/log, once a second.
class Form2JikokuDouki : public QObject {
    Q_OBJECT
public:
    explicit Form2JikokuDouki(QObject* parent);

    void disp(QString headline, QString line1, QString line2, QString line3);
    void startBlink();

public slots:
    void clickMyLabel(MyLabel* obj, QString id);
    void onTimeout();

private:
    Q_DISABLE_COPY(Form2JikokuDouki)

    // The attempt ends: the deadline runs again, the page takes touches, the texts show.
    void finish(const char* logText, const QString& headline, const QString& line1, const QString& line2);
    void fail();

    bool ready = true;
    QTimer* timer = nullptr;
    int dots = 0;
    int ticks = 0;
    bool successSeen = false;
    MyLabel* label = nullptr;
    LabelItemList item;
};
