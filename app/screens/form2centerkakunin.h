#pragma once

#include "labelitemlist.h"

#include <QObject>
#include <QString>

class CloudLink;
class MyLabel;
class QTimer;

// The server check page: asks the cloud service for its name and shows the result code as a
// status line with up to three lines of explanation, blinking "通信中" while it waits.
class Form2CenterKakunin : public QObject {
    Q_OBJECT
public:
    explicit Form2CenterKakunin(QObject* parent);

    void disp(QString status, QString line1, QString line2, QString line3);
    void startBlink();

public slots:
    void clickMyLabel(MyLabel* obj, QString id);
    void onTimeout();
    void recieveCB(QString retCode);
    void recieveCB(int retCode);

private:
    Q_DISABLE_COPY(Form2CenterKakunin)
    friend class Form2CenterKakuninProbe;

    // The end of a check: the deadline runs again and the page takes touches.
    void endCheck(const QString& code);

    bool active = true;
    QTimer* blinkTimer = nullptr;
    int blinkCount = 0;
    MyLabel* label = nullptr;
    LabelItemList item;
    CloudLink* cloud = nullptr;
};
