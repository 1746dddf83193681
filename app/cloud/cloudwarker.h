#pragma once

#include "cloudlink.h"

#include <QString>

class CloudAPI;
class QThread;

// The screens' side of the SOAP client: owns the worker thread that CloudAPI lives on and
// relays CloudAPI's result signals to the thread the worker object was made on. Requests are
// claimed on the caller's thread, so a refusal is emitted there at once.
class CloudWarker : public CloudLink {
    Q_OBJECT
public:
    static CloudWarker* getInstance();
    // Moves api to a new worker thread; the destructor stops the thread and deletes api.
    explicit CloudWarker(CloudAPI* api);
    ~CloudWarker() override;

    bool startDataRequest(int mode) override;
    bool putUserIDm(int userID, QString idm, QString time) override;
    bool getServiceName() override;
    bool getFirmwareVersion() override;
    bool getFirmwareFile() override;
    QString clientKey() const override;
    bool busy() const override;

    CloudAPI* api() const { return m_api; }

public slots:
    void slotAllUpdateFinish(int ret, QString option);
    void slotApiInfo(int ret, QString info);
    void slotFinishedDakokuSending(QString resultCode, int dakokuSendCount);
    void slotFinishedPutUserIDm(QString resultCode);
    void slotFinishedGetServiceName(QString resultCode);
    void slotFinishedFirmwareVersion(QString resultCode, QString version, int size, QString md5hash);
    void slotFinishedGetFirmware(QString resultCode);
    void slotDownProgress(int recieved, int total);

private:
    QThread* m_thread = nullptr;
    CloudAPI* m_api = nullptr;
};
