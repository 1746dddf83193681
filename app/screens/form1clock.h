#pragma once

#include <QObject>

// The clock screen and host of every other screen. This is a stand-in until the clock
// screen proper is built: it offers returnPage, starts the scheduler, whose 300 ms tick is
// the watchdog's heartbeat, and the card receiver, which logs each card it is given.
class Form1Clock : public QObject {
    Q_OBJECT
public:
    explicit Form1Clock(QObject* parent = nullptr);

    // Back to the clock from the given page, which is destroyed before this returns. With
    // keep false the web-service lock is released first. The return-to-clock deadline stops.
    void returnPage(QObject* page, bool keep);
};
