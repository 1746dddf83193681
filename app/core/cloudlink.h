#pragma once

#include <QObject>
#include <QString>

#include <functional>

// The screens' way to the cloud worker of the edition (the SOAP worker in edition 1, the
// JSON worker in edition 2). The cloud area implements it and installs a factory per edition;
// screens name only this class and connect the signal form of their edition: text codes in
// edition 1, int codes in edition 2.
class CloudLink : public QObject {
    Q_OBJECT
public:
    using Factory = std::function<CloudLink*()>;

    explicit CloudLink(QObject* parent = nullptr) : QObject(parent) {}

    // One factory per edition (1 or 2); a later call replaces the earlier one.
    static void setFactory(int edition, Factory factory);
    // The worker of ZSystem::mode(), created on the first call; null in edition 0 or when the
    // edition has no factory.
    static CloudLink* forEdition();
    // The worker made so far, never creating one.
    static CloudLink* current();

    virtual bool startDataRequest(int mode) = 0;
    virtual bool putUserIDm(int userID, QString idm, QString time) = 0;
    virtual bool getServiceName() = 0;
    virtual bool getFirmwareVersion() = 0;
    virtual bool getFirmwareFile() = 0;
    // The key by which the terminal identifies itself to the service.
    virtual QString clientKey() const = 0;
    // A request chain (or a single operation) is running.
    virtual bool busy() const = 0;

signals:
    void allUpdateFinish(int ret, QString option);
    void apiInfo(int ret, QString info);
    void downProgress(int recieved, int total);
    void finishedDakokuSending(QString resultCode, int dakokuSendCount);
    void finishedDakokuSending(int resultCode, int dakokuSendCount);
    void finishedPutUserIDm(QString resultCode);
    void finishedPutUserIDm(int resultCode);
    void finishedGetServiceName(QString resultCode);
    void finishedGetServiceName(int resultCode);
    void finishedFirmwareVersion(QString resultCode, QString version, int size, QString md5hash);
    void finishedFirmwareVersion(int resultCode, QString version, int size, QString md5hash);
    void finishedGetFirmware(QString resultCode);
    void finishedGetFirmware(int resultCode);
};
