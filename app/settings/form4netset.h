#pragma once

#include "form4settei0menubase.h"

// The communication settings menu "通信設定": two pages (menu numbers 15 and 16) in the basic
// edition, three (15 to 17) in the cloud editions. Rows that do not apply to the network in
// use are grey, the addresses of a DHCP interface and the name servers show what the network
// runs with, and the page is drawn anew every five seconds to keep them current. A row opens
// the network setting detail (number 20), the wireless LAN screen (21) or the proxy screens
// (18, 19).
class Form4NetSet : public Form4Settei0MenuBase {
    Q_OBJECT
public:
    static constexpr int FirstMenu = 15;
    static constexpr int DetailScreen = 20;
    static constexpr int ProxyScreen = 18;
    static constexpr int ProxyAuthScreen = 19;
    static constexpr int WifiScreen = 21;
    static constexpr int RefreshMs = 5000;

    // A menu number outside the edition's pages shows the first page.
    Form4NetSet(QObject* parent, int menuNumber);
    ~Form4NetSet() override;

    // The item name of a network item id, shared by every network settings screen; an
    // unknown id comes back unchanged.
    static QString GetTitle(QString id);
    // How many pages the current edition has.
    static int pageCount();

    QString getTitle(QString id) override;
    void createItems() override;
    // Rows that do not apply to the interface and address mode in use are grey.
    bool isEnabledItem(QString id) override;
    // The stored value, or what the running network uses.
    QString getValue(QString id) override;

    void moveToWifi(QString id);
    void moveToProxy(QString id);
    void moveToProxyAuth(QString id);

public slots:
    void clickMyLabel(MyLabel* obj, QString id) override;
    // Draws the page anew with fresh values; the flags stay as read at construction.
    void timeout() override;

private:
    void loadDns();
    void loadDataWifi();

    int pageIndex = 0;
    bool wifiOn = false;
    bool dhcpOn = false;
    bool dnsAutoOn = false;
    bool proxyOn = false;
    bool proxyAuthOn = false;
};
