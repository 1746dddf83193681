#pragma once

#include "form4settei0shosaibase2.h"
#include "fullkeyboard.h"
#include "heartbeat.h"

// The proxy authentication screen (detail screen 19): authentication towards the HTTP proxy
// on or off, stored at once, and the proxy user id and password typed on the full keyboard
// and stored on Enter. Every store is read back; a failure leaves the error window up until
// its button, whose redraw shows what storage holds. The users of the proxy read these values
// at each request, so storing applies nothing.
class Form4NetSetProxyAuth : public Form4Settei0ShosaiBase2 {
    Q_OBJECT
public:
    static constexpr int DetailScreen = 19;

    Form4NetSetProxyAuth(QObject* parent, QString itemId);
    ~Form4NetSetProxyAuth() override;

    QString getTitle(QString id) override;
    void loadData() override;
    void loadDataAuth();
    void setBackground() override;
    void setForeground() override;

    // Open the keyboard on the stored user id or password.
    void updateScreenId();
    void updateScreenPassword();
    // Closes the keyboard without storing.
    void tryCancel();
    // Stores the keyboard's text as the value its title names.
    void trySave();
    // Stores the on/off choice; the screen shows it once it is stored.
    void trySave(int chosenOnOff);

protected slots:
    void clickMyLabel(MyLabel* obj, QString id) override;

private:
    void setBgButton();
    void setBgData();
    void setFgProxy();
    bool storeId(const QString& id);
    bool storePassword(const QString& password);
    // Back on the main view with the values storage holds, or the error window.
    void finishSave(const QString& name, bool saved);

    // The screen may block on storage for long; the watchdog waits while it lives.
    vnq::WatchdogPause longWork;
    FullKeyboard keys;
    int onOff = 0;
    QString userId;
    QString password;
    // "ID" or "パスワード" while the keyboard edits that value, else empty.
    QString keyboardTitle;
};
