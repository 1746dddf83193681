#pragma once

#include "form4settei0shosaibase2.h"
#include "fullkeyboard.h"
#include "heartbeat.h"

#include <QStringList>

// The wireless LAN screen (detail screen 21): the access point's SSID, typed on the full
// keyboard or picked from a scan, its security key, typed as well, and the security mode.
// SSID and key are stored (and read back) on Enter; the security mode is stored by the
// connection check, which re-applies the network and watches the signal until it is steady,
// and by the destructor when no check has confirmed the connection, which then re-applies
// the network as well.
class Form4NetSetWifi : public Form4Settei0ShosaiBase2 {
    Q_OBJECT
public:
    static constexpr int DetailScreen = 21;

    Form4NetSetWifi(QObject* parent, QString itemId);
    ~Form4NetSetWifi() override;

    QString getTitle(QString id) override;
    void loadData() override;
    virtual void loadDataWifi();
    // Tells the host the settings changed and stores the security mode.
    void applySettings() override;
    void setBackground() override;
    void setForeground() override;

protected slots:
    void clickMyLabel(MyLabel* obj, QString id) override;

private:
    void setBgWifiButton();
    void setBgWifiData();
    void setFgWifi();
    void setBgKeypadSsid(int x0, int y0);
    void setFgSsid();
    QString keyboardTitle() const;

    void searchAccessPoints();
    void updateScreenSsidSearch();
    void updateScreenAndSsidSelect(int row);
    void updateScreenAndSsidPrev();
    void updateScreenAndSsidNext();
    void clickSsid(const QString& id);
    void updateScreenSsid();
    void updateScreenPassword();
    // Stores text as the SSID or as the key, reads the profile back and shows the main view.
    void trySave(const QString& text);
    void tryCancel();
    void updateCheckAp();

    bool storeSsid(const QString& text);
    bool storeKey(const QString& text);
    bool storeSecurity();

    // Scans, checks and network re-applies block for long; the watchdog waits while the
    // screen lives, the destructor's re-apply included.
    vnq::WatchdogPause longWork;
    FullKeyboard keys;
    bool connectionConfirmed = false;
    QString ssid;
    QString key;
    QString security;
    // Whether the keyboard or the list edits the SSID rather than the key.
    bool storeTargetIsSsid = false;
    QStringList accessPoints;
    // Index of the first access point shown, a multiple of the rows per page.
    int listPageStart = 0;
    // The access point marked in the list.
    QString markedSsid;
    // -1 no adapter, 0 no usable signal, 1 weakest to 4 strongest.
    int antennaLevel = 0;
};
