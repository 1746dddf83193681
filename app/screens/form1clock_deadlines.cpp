#include "form1clock.h"

#include "cloudlink.h"
#include "dbdakoku.h"
#include "dbsetting.h"
#include "debugline.h"
#include "mydebug.h"
#include "mytimer.h"
#include "networkmanager.h"
#include "platform/boardroot.h"
#include "platform/clock.h"
#include "zsystem.h"

#include <QFile>

// The return-to-clock deadline, the lock-file check and the scheduled data request.

namespace {

const QString lockFile = QStringLiteral("/tmp/vantroq.lock");
const QString unlockFile = QStringLiteral("/tmp/vantroq.unlock");
// A lock older than this, with no connection on the API port, was left behind.
constexpr qint64 staleLockSeconds = 300;
// The lock holds a number of seconds; anything longer is not read.
constexpr qint64 lockReadLimit = 64;

}  // namespace

void Form1Clock::setClockModoriTimer()
{
    if (!currentPage)
        return;
    int minutes = 0;
    if (DBSetting::getSetting(QStringLiteral("時計に戻る時間"), &minutes) && minutes >= 1)
        MyTimer::getInstance()->setClockModori();
    else
        MyTimer::getInstance()->stopClockModori();
}

void Form1Clock::stopClockModoriTimer()
{
    MyTimer::getInstance()->stopClockModori();
}

void Form1Clock::timeoutHandlerClockModori()
{
    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "時計画面戻り";
    if (currentPage)
        returnPage(currentPage.data(), false);
}

void Form1Clock::timeoutHandlerVnqLock()
{
    const bool unlockPresent = QFile::exists(vnq::boardPath(unlockFile));
    bool reload = false;
    QFile lock(vnq::boardPath(lockFile));
    if (lock.exists()) {
        lockBusy = true;
        if (lock.open(QIODevice::ReadOnly | QIODevice::Text)) {
            const QString content = QString::fromUtf8(lock.read(lockReadLimit));
            lock.close();
            DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "vantroq.lock 読取" << content;
            const qint64 seconds = content.trimmed().toUInt();
            lockTime = QDateTime::fromSecsSinceEpoch(seconds);
            const QDateTime now = vnq::clock().now();
            if (NetworkManager::apiPortStatus()) {
                DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "通信中";
            } else if (seconds != 0 && now > lockTime.addSecs(staleLockSeconds)) {
                MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "vantroq.lock 削除(異常あり)"
                          << uint(now.toSecsSinceEpoch());
                deleteLockFile();
                reload = true;
            }
        }
    } else if (!lockBusy) {
        if (unlockPresent) {
            MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "vantroq.unlock あり";
            reload = true;
        }
    } else {
        MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "vantroq.lock 削除済み(正常)";
        if (unlockPresent)
            DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "vantroq.unlock あり";
        else
            MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "vantroq.unlock なし";
        reload = true;
    }

    if (reload) {
        MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "TransVNQ後、更新";
        deleteUnlockFile();
        lockBusy = false;
        lockTime = QDateTime::fromSecsSinceEpoch(0);
        // Through the page host, so that a page or alert left open is closed, not forgotten.
        returnPage(nullptr, false);
    }
    MyTimer::getInstance()->setVnqLock();
}

void Form1Clock::timeoutDataRequest(bool shotFlag)
{
    const int edition = ZSystem::mode();
    if (edition != ZSystem::Cloud && edition != ZSystem::Merid)
        return;
    MyTimer* scheduler = MyTimer::getInstance();
    if (formActive != 2) {
        MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "時計画面以外のためパス";
        scheduler->setDataRequest();
        return;
    }
    if (!shotFlag)
        NetworkManager::syncNtpServer();

    unsigned int count = 0;
    if (!DBDakoku::getDakokuUnsentCount(&count)) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "未送信打刻件数 取得失敗";
        scheduler->setDataRequest();
        return;
    }
    CloudLink* link = CloudLink::current();
    if (!link) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "クラウド接続なし";
        scheduler->setDataRequest();
        return;
    }

    if (edition == ZSystem::Cloud) {
        if (count == 0 || shotFlag) {
            DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "定時送信しない";
            scheduler->setDataRequest();
        } else {
            link->startDataRequest(3);
        }
    } else if (!shotFlag) {
        MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "定時送信";
        link->startDataRequest(3);
    } else if (count == 0) {
        scheduler->setDataRequest();
    } else {
        link->startDataRequest(2);
    }
}
