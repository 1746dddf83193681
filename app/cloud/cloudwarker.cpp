#include "cloudwarker.h"

#include "cloudapi.h"
#include "workerthread.h"

#include "mydebug.h"

#include <QThread>

CloudWarker* CloudWarker::getInstance()
{
    // Lives until the process ends, with its thread.
    static CloudWarker* instance = new CloudWarker(CloudAPI::getInstance());
    return instance;
}

CloudWarker::CloudWarker(CloudAPI* api)
    : m_thread(new QThread)
    , m_api(api)
{
    startWorkerThread(m_thread, m_api);
    connect(m_api, &CloudAPI::allUpdateFinish, this, &CloudWarker::slotAllUpdateFinish);
    connect(m_api, &CloudAPI::apiInfo, this, &CloudWarker::slotApiInfo);
    connect(m_api, &CloudAPI::finishedDakokuSending, this, &CloudWarker::slotFinishedDakokuSending);
    connect(m_api, &CloudAPI::finishedPutUserIDm, this, &CloudWarker::slotFinishedPutUserIDm);
    connect(m_api, &CloudAPI::finishedGetServiceName, this, &CloudWarker::slotFinishedGetServiceName);
    connect(m_api, &CloudAPI::finishedFirmwareVersion, this, &CloudWarker::slotFinishedFirmwareVersion);
    connect(m_api, &CloudAPI::finishedGetFirmware, this, &CloudWarker::slotFinishedGetFirmware);
    connect(m_api, &CloudAPI::downProgress, this, &CloudWarker::slotDownProgress);
}

CloudWarker::~CloudWarker()
{
    stopWorkerThread(m_thread, m_api);
}

bool CloudWarker::startDataRequest(int mode)
{
    return m_api->startDataRequest(quint8(mode));
}

bool CloudWarker::putUserIDm(int userID, QString idm, QString time)
{
    return m_api->putUserIDm(userID, idm, time);
}

bool CloudWarker::getServiceName()
{
    return m_api->getServiceName();
}

bool CloudWarker::getFirmwareVersion()
{
    return m_api->getFirmwareVersion();
}

bool CloudWarker::getFirmwareFile()
{
    return m_api->getFirmwareFile();
}

QString CloudWarker::clientKey() const
{
    return m_api->clientUniqueKey();
}

bool CloudWarker::busy() const
{
    return m_api->busy();
}

void CloudWarker::slotAllUpdateFinish(int ret, QString option)
{
    emit allUpdateFinish(ret, option);
}

void CloudWarker::slotApiInfo(int ret, QString info)
{
    emit apiInfo(ret, info);
}

void CloudWarker::slotFinishedDakokuSending(QString resultCode, int dakokuSendCount)
{
    emit finishedDakokuSending(resultCode, dakokuSendCount);
}

void CloudWarker::slotFinishedPutUserIDm(QString resultCode)
{
    emit finishedPutUserIDm(resultCode);
}

void CloudWarker::slotFinishedGetServiceName(QString resultCode)
{
    emit finishedGetServiceName(resultCode);
}

void CloudWarker::slotFinishedFirmwareVersion(QString resultCode, QString version, int size, QString md5hash)
{
    emit finishedFirmwareVersion(resultCode, version, size, md5hash);
}

void CloudWarker::slotFinishedGetFirmware(QString resultCode)
{
    emit finishedGetFirmware(resultCode);
}

void CloudWarker::slotDownProgress(int recieved, int total)
{
    emit downProgress(recieved, total);
}
