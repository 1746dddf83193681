#pragma once

#include "form4settei0shosaibase2.h"
#include "heartbeat.h"

// The proxy settings screen (screen 18): the use of an HTTP proxy on or off, stored at once
// and read back, and the proxy's address and port, which the network setting detail screen
// edits. A failed store leaves the error window up until its button, whose redraw shows what
// storage holds. The users of the proxy read the settings at each request, so storing applies
// nothing.
class Form4NetSetProxy : public Form4Settei0ShosaiBase2 {
    Q_OBJECT
public:
    static constexpr int Screen = 18;

    Form4NetSetProxy(QObject* parent, QString itemId);
    ~Form4NetSetProxy() override;

    QString getTitle(QString id) override;
    void loadData() override;
    void loadDataProxy();
    void setBackground() override;
    void setForeground() override;

    // Hands the item ("90" the address, "91" the port) to the network setting detail screen,
    // which deletes this one.
    void activateKeypad(QString id);
    // Stores the on/off choice; the screen shows it once it is stored.
    void trySave(int chosenOnOff);

protected slots:
    void clickMyLabel(MyLabel* obj, QString id) override;

private:
    void setBgButton();
    void setBgData();
    void setFgProxy();

    // The screen may block on storage for long; the watchdog waits while it lives.
    vnq::WatchdogPause longWork;
    int onOff = 0;
    // Negative while unset.
    int octets[4] = {-1, -1, -1, -1};
    int port = -1;
};
