#pragma once

#include "labelitemlist.h"

#include <QObject>
#include <QString>

class CloudLink;
class Keypad;
class MyLabel;
class QTimer;

// The manual upload page: "Dakoku" sends the stamps not yet sent, "DakokuAll" sends every
// stored stamp again after the access code. It shows the unsent count, a running indicator,
// and the number sent or the result code.
class Form2TsushinCloud : public QObject {
    Q_OBJECT
public:
    enum PageMode {
        Idle = 0,
        Sending = 2,
        Sent = 3,
        SendFailed = 4,
        SendingAll = 14,
        SentAll = 15,
        SendAllFailed = 16,
    };

    explicit Form2TsushinCloud(QObject* parent);
    ~Form2TsushinCloud() override;

public slots:
    void onTimeout();
    void clickMyLabel(MyLabel* obj, QString id);
    void onFinishDakokuSending(QString resultCode, int dakokuSendCount);
    void onFinishDakokuSending(int resultCode, int dakokuSendCount);

private:
    Q_DISABLE_COPY(Form2TsushinCloud)

    void setBackground();
    void setForeground();
    void updateScreenNew();
    void showKeypad();
    void moveToBack();
    void startBlink();
    void tryMoveToNext(PageMode next);
    void checkAccessCode();
    void send(int mode);
    void disconnectAnswer();
    bool sending() const { return pageMode == Sending || pageMode == SendingAll; }

    bool active = true;
    PageMode pageMode = Idle;
    MyLabel* label = nullptr;
    LabelItemList item;
    QTimer* blinkTimer = nullptr;
    Keypad* keypad = nullptr;
    int blinkCount = 0;
    QString resultCode;
    int sendCount = 0;
    CloudLink* cloud = nullptr;
};
