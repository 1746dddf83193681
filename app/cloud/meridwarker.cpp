#include "meridwarker.h"

#include "meridapi.h"
#include "workerthread.h"

#include <QThread>

MeridWarker* MeridWarker::getInstance()
{
    // Lives until the process ends, with its thread.
    static MeridWarker* instance = new MeridWarker(MeridAPI::getInstance());
    return instance;
}

MeridWarker::MeridWarker(MeridAPI* api)
    : m_thread(new QThread)
    , m_api(api)
{
    startWorkerThread(m_thread, m_api);
    connect(m_api, &MeridAPI::allUpdateFinish, this, &MeridWarker::slotAllUpdateFinish);
    connect(m_api, &MeridAPI::apiInfo, this, &MeridWarker::slotApiInfo);
    connect(m_api, &MeridAPI::finishedDakokuSending, this, &MeridWarker::slotFinishedDakokuSending);
    connect(m_api, &MeridAPI::finishedPutUserIDm, this, &MeridWarker::slotFinishedPutUserIDm);
    connect(m_api, &MeridAPI::finishedGetServiceName, this, &MeridWarker::slotFinishedGetServiceName);
    connect(m_api, &MeridAPI::finishedFirmwareVersion, this, &MeridWarker::slotFinishedFirmwareVersion);
    connect(m_api, &MeridAPI::finishedGetFirmware, this, &MeridWarker::slotFinishedGetFirmware);
    connect(m_api, &MeridAPI::downProgress, this, &MeridWarker::slotDownProgress);
}

MeridWarker::~MeridWarker()
{
    stopWorkerThread(m_thread, m_api);
}

bool MeridWarker::startDataRequest(int mode)
{
    return m_api->startDataRequest(mode, QString(), QString(), QString());
}

bool MeridWarker::putUserIDm(int userID, QString idm, QString time)
{
    return m_api->startDataRequest(6, QString::number(userID), idm, time);
}

bool MeridWarker::getServiceName()
{
    return m_api->startDataRequest(7, QString(), QString(), QString());
}

bool MeridWarker::getFirmwareVersion()
{
    return m_api->startDataRequest(8, QString(), QString(), QString());
}

bool MeridWarker::getFirmwareFile()
{
    return m_api->startDataRequest(9, QString(), QString(), QString());
}

QString MeridWarker::clientKey() const
{
    return m_api->clientKey();
}

bool MeridWarker::busy() const
{
    return m_api->busy();
}

void MeridWarker::slotAllUpdateFinish(int ret, QString option)
{
    emit allUpdateFinish(ret, option);
}

void MeridWarker::slotApiInfo(int ret, QString info)
{
    emit apiInfo(ret, info);
}

void MeridWarker::slotFinishedDakokuSending(int resultCode, int dakokuSendCount)
{
    emit finishedDakokuSending(resultCode, dakokuSendCount);
}

void MeridWarker::slotFinishedPutUserIDm(int resultCode)
{
    emit finishedPutUserIDm(resultCode);
}

void MeridWarker::slotFinishedGetServiceName(int resultCode)
{
    emit finishedGetServiceName(resultCode);
}

void MeridWarker::slotFinishedFirmwareVersion(int resultCode, QString version, int size, QString md5hash)
{
    emit finishedFirmwareVersion(resultCode, version, size, md5hash);
}

void MeridWarker::slotFinishedGetFirmware(int resultCode)
{
    emit finishedGetFirmware(resultCode);
}

void MeridWarker::slotDownProgress(int recieved, int total)
{
    emit downProgress(recieved, total);
}

void MeridWarker::slotReceiveFinish(int ret, QString option)
{
    emit receiveFinish(ret, option);
}

void MeridWarker::slotAllStampSend(int ret, QString option)
{
    emit allStampSend(ret, option);
}

void MeridWarker::slotPutInfoFinish(int ret, QString option)
{
    emit putInfoFinish(ret, option);
}

void MeridWarker::slotUpProgress(int send, int total)
{
    emit upProgress(send, total);
}
