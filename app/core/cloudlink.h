#pragma once

#include <QObject>
#include <QString>

#include <functional>

// What the screens use of the edition's cloud worker (the SOAP worker in edition 1, the JSON
// worker in edition 2). The cloud area implements it and installs one factory per edition;
// screens name only this class. Calls are made on the main thread; the answers are the
// signals below, emitted from the worker's thread (so they reach the screens queued). The
// finished signals come in two forms: text result codes in edition 1, int codes in edition 2;
// a screen connects the form of its edition ("0" or 0 is success).
class CloudLink : public QObject {
    Q_OBJECT
public:
    using Factory = std::function<CloudLink*()>;

    explicit CloudLink(QObject* parent = nullptr);
    ~CloudLink() override;

    // Starts a chain of requests in the given mode; refused (with its end signal) while
    // another chain runs.
    virtual void startDataRequest(int mode) = 0;
    // Registers a card's IDm for a user; time as "yyyyMMddhhmmss".
    virtual void putUserIDm(int userID, QString idm, QString time) = 0;
    virtual void getServiceName() = 0;
    virtual void getFirmwareVersion() = 0;
    virtual void getFirmwareFile() = 0;
    // The client key the service knows this terminal by.
    virtual QString clientKey() const = 0;
    // True while a chain (or a single operation) runs. Written by the worker's thread, so an
    // implementation answers from an atomic.
    virtual bool busy() const = 0;

    // The factory of an edition (1 or 2); an empty one removes it.
    static void setFactory(int edition, Factory factory);
    // The worker of ZSystem::mode(), created with its edition's factory on the first call and
    // kept for the life of the process; null in edition 0 or when no factory is installed.
    static CloudLink* forEdition();
    // The worker created so far, or null; never creates one.
    static CloudLink* current();

signals:
    // End of a chain: ret the request mode, option "success" or "failed".
    void allUpdateFinish(int ret, QString option);
    // Progress text of the running step; ret the running mode.
    void apiInfo(int ret, QString info);
    void downProgress(int received, int total);

    // Edition 1 (text result codes).
    void finishedDakokuSending(QString resultCode, int dakokuSendCount);
    void finishedPutUserIDm(QString resultCode);
    void finishedGetServiceName(QString resultCode);
    void finishedFirmwareVersion(QString resultCode, QString version, int size, QString md5hash);
    void finishedGetFirmware(QString resultCode);

    // Edition 2 (int result codes).
    void finishedDakokuSending(int resultCode, int dakokuSendCount);
    void finishedPutUserIDm(int resultCode);
    void finishedGetServiceName(int resultCode);
    void finishedFirmwareVersion(int resultCode, QString version, int size, QString md5hash);
    void finishedGetFirmware(int resultCode);

private:
    Q_DISABLE_COPY(CloudLink)
};
