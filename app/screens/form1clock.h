#pragma once

#include <QObject>

class QTimer;

// The clock screen and host of every other screen. This is a stand-in until the clock
// screen proper is built: it offers returnPage and keeps the watchdog's heartbeat going,
// which the scheduler it will own does later.
class Form1Clock : public QObject {
    Q_OBJECT
public:
    explicit Form1Clock(QObject* parent = nullptr);

    // Back to the clock from the given page, which is destroyed before this returns. With
    // keep false the web-service lock is released first.
    void returnPage(QObject* page, bool keep);

private:
    QTimer* heartbeat = nullptr;
};
