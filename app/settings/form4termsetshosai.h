#pragma once

#include "form4settei0shosaibase2.h"

// The detail screen of one terminal setting (screen 14). Besides the base's checks it keeps
// the clock-in and clock-out mode bands apart, keeps the day-change clock-out band within one
// day, and re-arms what a saved volume, NTP setting or reboot time drives. It goes back to
// the menu page that holds its row.
class Form4TermSetShosai : public Form4Settei0ShosaiBase2 {
    Q_OBJECT
public:
    Form4TermSetShosai(QObject* parent, QString id);
    ~Form4TermSetShosai() override;

    QString getTitle(QString id) override;
    void trySaveAndMove() override;
    void saveValueHigawariJikoku();
    void saveValueSyutaikinModeJikoku();
    void saveValueHigawariTaikin();
};
