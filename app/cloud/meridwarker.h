#pragma once

#include "cloudlink.h"

#include <QString>

class MeridAPI;
class QThread;

// The screens' side of the JSON client: owns the worker thread that MeridAPI lives on and
// relays MeridAPI's result signals to the thread the worker object was made on. Requests are
// claimed on the caller's thread, so a refusal is emitted there at once.
class MeridWarker : public CloudLink {
    Q_OBJECT
public:
    static MeridWarker* getInstance();
    // Moves api to a new worker thread; the destructor stops the thread and deletes api.
    explicit MeridWarker(MeridAPI* api);
    ~MeridWarker() override;

    bool startDataRequest(int mode) override;
    bool putUserIDm(int userID, QString idm, QString time) override;
    bool getServiceName() override;
    bool getFirmwareVersion() override;
    bool getFirmwareFile() override;
    QString clientKey() const override;
    bool busy() const override;

    MeridAPI* api() const { return m_api; }

signals:
    void receiveFinish(int ret, QString option);
    void allStampSend(int ret, QString option);
    void putInfoFinish(int ret, QString option);
    void upProgress(int send, int total);

public slots:
    void slotAllUpdateFinish(int ret, QString option);
    void slotApiInfo(int ret, QString info);
    void slotFinishedDakokuSending(int resultCode, int dakokuSendCount);
    void slotFinishedPutUserIDm(int resultCode);
    void slotFinishedGetServiceName(int resultCode);
    void slotFinishedFirmwareVersion(int resultCode, QString version, int size, QString md5hash);
    void slotFinishedGetFirmware(int resultCode);
    void slotDownProgress(int recieved, int total);
    void slotReceiveFinish(int ret, QString option);
    void slotAllStampSend(int ret, QString option);
    void slotPutInfoFinish(int ret, QString option);
    void slotUpProgress(int send, int total);

private:
    QThread* m_thread = nullptr;
    MeridAPI* m_api = nullptr;
};
