#pragma once

#include "pagehost.h"
#include "settingspages.h"

#include <QObject>

// The clock screen and host of every other screen. This is a stand-in until the clock
// screen proper is built: it starts the scheduler, whose 300 ms tick is the watchdog's
// heartbeat, and the card receiver, which logs each card it is given, and it hosts the
// settings screens.
class Form1Clock : public QObject, public PageHost {
    Q_OBJECT
public:
    explicit Form1Clock(QObject* parent = nullptr);

    void movePage(int number, QObject* caller) override;
    void moveToMenu(int number, QObject* caller) override;
    void moveToShosai(int number, QObject* caller, QString id) override;
    // Back to the clock from the given page, which is destroyed before this returns. With
    // keep false the web-service lock is released first. The return-to-clock deadline stops.
    void returnPage(QObject* page, bool keep) override;
    void changeSettings() override;

private:
    // Replaces the caller by the settings screen of the move and number.
    void openSettingsPage(SettingsPages::Move move, int number, QObject* caller, const QString& id);
};
