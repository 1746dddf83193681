#pragma once

#include "form4settei0shosaibase2.h"

// The detail screen of one network item (screen 20): the addresses, name servers, port and
// on/off items of the communication settings menu and the proxy address and port. Every
// successful save or deletion brings the network up again from the stored settings; the
// screen then goes back to the menu page (or the proxy screen) that lists the item.
class Form4NetSetShosai : public Form4Settei0ShosaiBase2 {
    Q_OBJECT
public:
    Form4NetSetShosai(QObject* parent, QString id);
    ~Form4NetSetShosai() override;

    // Where the screen returns for an item id in the current edition.
    static int parentPageOf(const QString& id);

    QString getTitle(QString id) override;
    // Takes the network down and brings it up again; the watchdog is held off meanwhile.
    void applySettings() override;
};
