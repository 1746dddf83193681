#pragma once

#include "firmwareconverter.h"
#include "labelitemlist.h"

#include <QObject>
#include <QString>

class CloudLink;
class MyLabel;
class QTimer;

// The firmware update page: asks the cloud service whether a newer firmware is offered,
// downloads it, turns the download into the image file and starts the installer.
class Form2FirmUpdate : public QObject {
    Q_OBJECT
public:
    enum PageMode {
        Idle = 0,
        Checking = 1,
        CheckFailed = 2,
        UpdateAvailable = 10,
        Downloading = 11,
        DownloadFailed = 12,
        Converting = 20,
        ConvertFailed = 21,
        UpToDate = 99,
    };

    explicit Form2FirmUpdate(QObject* parent);
    ~Form2FirmUpdate() override;

    PageMode mode() const { return pageMode; }

public slots:
    void onTimeout();
    void clickMyLabel(MyLabel* obj, QString id);
    void slotCheckNeedUpdate(QString resultCode, QString version, int size, QString md5hash);
    void slotDownloadFirmware(QString resultCode);
    void slotCheckNeedUpdate(int resultCode, QString version, int size, QString md5hash);
    void slotDownloadFirmware(int resultCode);
    void slotDownloadProgress(int recieved, int total);

private:
    Q_DISABLE_COPY(Form2FirmUpdate)

    void setBackground();
    void setForeground();
    void updateScreenNew();
    void moveToBack();
    void startBlink();
    void tryMoveToNext(PageMode next);
    void checkNeedUpdate();
    void downloadFirmware();
    // The end of a request: the blink stops and the return-to-clock deadline runs again.
    void endRequest();
    void failDownload(PageMode failed, const QString& code);
    void install();
    void stopServices();
    void restartServices();
    void setClockModori(bool armed);

    PageMode pageMode = Idle;
    MyLabel* label = nullptr;
    LabelItemList item;
    QTimer* blinkTimer = nullptr;
    int blinkCount = 0;
    int percent = 0;
    QString version;
    QString errorCode;
    FirmwareConverter::Expected expected;
    CloudLink* cloud = nullptr;
    bool servicesStopped = false;
    bool installerStarted = false;
};
