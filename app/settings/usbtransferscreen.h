#pragma once

#include "labelitemlist.h"

#include <QObject>
#include <QString>

class MyLabel;

// The USB backup and restore screens of the administrator menu: a question, the script run
// while a waiting window shows, the result by the script's exit code, the time of a good run
// kept as a communication time, and back to page 0 of the administrator menu.
class UsbTransferScreen : public QObject {
    Q_OBJECT
public:
    // What differs between backup and restore.
    struct Texts {
        QString title;
        QString question;
        QString waiting;
        QString script;
        QString done;
        QString failed;
        QString timeRow;
    };

    static constexpr int NoUsbMemory = 10;
    // How long a script may run before it is taken as hung and killed.
    static constexpr int ScriptTimeoutMs = 600000;

    UsbTransferScreen(QObject* parent, const Texts& texts);
    ~UsbTransferScreen() override;

    void setBgImage();
    void setBgTitle();
    void updateScreenYesNo();
    void updateScreenWait();
    // The result window; a run that did not end normally has the exit code -1.
    void updateScreenFinish(int exitCode);
    void trySave();
    void saveTimestamp();
    void moveToBack();

private slots:
    void clickMyLabel(MyLabel* obj, QString id);

private:
    void beginScreen();

    Texts texts;
    MyLabel* label = nullptr;
    LabelItemList item;
};

class Form4AdminUsbOut : public UsbTransferScreen {
    Q_OBJECT
public:
    explicit Form4AdminUsbOut(QObject* parent);
};

class Form4AdminRestore : public UsbTransferScreen {
    Q_OBJECT
public:
    explicit Form4AdminRestore(QObject* parent);
};
