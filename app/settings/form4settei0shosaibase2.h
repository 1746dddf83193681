#pragma once

#include "labelitemlist.h"

#include <QList>
#include <QObject>
#include <QPair>
#include <QString>

class Keypad;
class MyLabel;
class PageHost;

// The detail screen of one setting: a keypad on which the value is typed, the checks of the
// entry (length, range, calendar date), the save by key type with a read-back, the system
// clock for the date and the time, the ping and name-server checks of an address, and the way
// back to the menu through the page host, which deletes the screen inside the call.
//
// A derived screen names its item (getTitle), sets itemId, title, pageId and parentPageId,
// loads the data, creates the keypad, connects MyLabel::clicked to clickMyLabel and, last,
// calls updateScreenNew().
class Form4Settei0ShosaiBase2 : public QObject {
    Q_OBJECT
public:
    // The host name the name-server check asks for.
    static const char* const NslookupHost;

    explicit Form4Settei0ShosaiBase2(QObject* parent);
    ~Form4Settei0ShosaiBase2() override;

    virtual void activate();
    virtual void deactivate();
    virtual QString getTitle(QString id) = 0;

    // The last step of a keypad screen's construction: loads the item's data, opens the
    // keypad for it, takes touches and draws the screen.
    void openKeypad();

    // Key type, values and bounds of the item named title.
    virtual void loadData();
    void loadDataManual(QString name, QString* keyType);
    void loadDataValueAll(QString name, int* value, int* min, int* max);
    void loadDataValue(QString name, int* value);
    void loadDataHHMM2();
    void loadDataYYYYMMDD();
    void loadDataHHMM();
    void loadDataAddr();
    void loadDataValue();

    // Writes one row and reads it back: true only when the row exists and holds the value.
    bool saveDataValue(QString name, int value);
    bool saveDataValue(QString name, int value, int index);
    // Writes all rows of an item or none of them, and reads every row back.
    bool saveDataValues(const QList<QPair<QString, int>>& rows);
    virtual bool saveData();
    virtual bool deleteData();
    bool isOutOfRange();

    virtual void setBackground();
    void setBgImage();
    virtual void setBgBackButton();
    virtual void setForeground();
    void setFgResult(QString text);
    void updateScreen();
    void updateScreenNew();
    void updateScreenFade();
    void showError(QString a, QString b);
    void showInfo(QString a, QString b, QString c, bool button, QString d);

    // The scheduler's deadlines, held while the clock is set and armed again afterwards.
    void stopTimerEvent();
    void startTimerEvent();

    virtual void moveToBack();
    virtual void trySaveAndMove();
    virtual void applySettings();
    virtual void tryDeleteAndMove();
    virtual void tryPing();
    virtual void tryNslookup();
    virtual void trySound();
    virtual void playSound(int value);

signals:
    void emmittedBack();
    void emmittedSave(int num);

public slots:
    virtual void onBack();
    virtual void onSave(int num);

protected slots:
    virtual void clickMyLabel(MyLabel* obj, QString id);

protected:
    // The refusal of an entry in the keypad's value field.
    void showKeypadMessage(const QString& message);
    // The buttons of the message windows, taken also while the screen is inactive: "Pop_No"
    // and "Pop_Err" close the window and redraw the screen, "Pop_Info" goes back. False for
    // any other id.
    bool clickWindowButton(const QString& id);
    // After a store shown at once: the screen redrawn, or on failure the error sound and the
    // error window, which stays until its button.
    void showStoreResult(bool stored);
    // The host, or null (logged) when the parent is none.
    PageHost* host(const char* operation);

    bool active = true;
    MyLabel* label = nullptr;
    LabelItemList item;
    Keypad* keypad = nullptr;
    QString itemId;
    QString title;
    QString bgImagePath;
    int pageId = 0;
    int parentPageId = 0;
    QString keyType;
    QList<int> values;
    int min = 0;
    int max = 0;
    QString resultText;

private:
    bool saveDataHHMM2();
    bool saveDataYYYYMMDD();
    bool saveDataHHMM();
    bool saveDataAddr();
    // Sets the system and hardware clocks with the date command; false when a command failed.
    bool setSystemClock(const QString& dateCommand);
    void playPing(const QString& address);
    void playNslookup(const QString& address);
    // A second later the entry is back in the value field and the screen takes touches.
    void showEntryAfterCheck();
    // The address typed on the keypad ("%1.%2.%3.%4"), or empty (error sound) when the entry
    // is too short.
    QString typedAddress();
};
