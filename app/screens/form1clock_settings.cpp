#include "form1clock.h"

#include "dbdakoku.h"
#include "debugline.h"
#include "heartbeat.h"
#include "mydebug.h"
#include "mylabel.h"
#include "mytimer.h"
#include "networkmanager.h"
#include "platform/boardroot.h"
#include "soundmodule.h"
#include "zsystem.h"

#include <QFile>
#include <QTimer>

// The settings load that every return to the clock repeats, the answers to the cloud
// worker's end and progress signals, and the capacity level of the stamp store.

namespace {
constexpr int clockTimerMs = 100;
}

void Form1Clock::loadSettings(bool first)
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "enter:" << (first ? "true" : "false");
    SoundModule::systemVolume();

    // The clock timer and the deadline connections are made once: a second first load (a
    // repeated start-up request) would run every handler twice.
    if (first && !clockTimer) {
        clockTimer = new QTimer(this);
        clockTimer->setInterval(clockTimerMs);
        connect(clockTimer, &QTimer::timeout, this, &Form1Clock::dispClockParts);
        clockTimer->start();
        timer = MyTimer::getInstance();
        connectDeadlines();
        if (ZSystem::mode() == ZSystem::Basic) {
            NetworkManager::webServerRestart();
            if (!NetworkManager::setNetwork())
                NetworkManager::downNetwork();
        }
    }

    MyTimer* scheduler = MyTimer::getInstance();
    if (NetworkManager::nowSettingNic() && !ntpSynced) {
        NetworkManager::syncNtpServer();
        scheduler->setSntpSync();
        ntpSynced = true;
    }

    scheduler->setBacklight(false);
    scheduler->loadTouchYusen();
    scheduler->setVnqLock();
    scheduler->setKinmuMode();
    scheduler->unlockTimer();

    loadTokeiGamen();
    loadTouchYusen();
    loadShutaikinMode();
    loadDakokuCapacityLevel();

    writeCardStartGate();
}

void Form1Clock::connectDeadlines()
{
    connect(timer, &MyTimer::timeoutVnqLock, this, &Form1Clock::timeoutHandlerVnqLock);
    connect(timer, &MyTimer::timeoutClockModori, this, &Form1Clock::timeoutHandlerClockModori);
    connect(timer, &MyTimer::timeoutTouchYusen, this, &Form1Clock::timeoutHandlerTouchYusen);
    connect(timer, &MyTimer::timeoutShukinMode, this, &Form1Clock::timeoutHandlerShukinMode);
    connect(timer, &MyTimer::timeoutTaikinMode, this, &Form1Clock::timeoutHandlerTaikinMode);
    connect(timer, &MyTimer::timeoutHigawaritaiMode, this, &Form1Clock::timeoutHandlerHigawaritaiMode);
    connect(timer, &MyTimer::timeoutDataRequest, this, &Form1Clock::timeoutDataRequest);
}

// The card service starts polling once this file exists ("echo -n >" on the board: created,
// or emptied when present).
void Form1Clock::writeCardStartGate()
{
    QFile gate(vnq::boardPath(QStringLiteral("/var/log/iccard_start")));
    if (!gate.open(QIODevice::WriteOnly | QIODevice::Truncate))
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "iccard_start 作成失敗";
}

void Form1Clock::recvAllUpdateFinish(int ret, QString option)
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << ret << option;
    if (ret == 4 || ret == 5) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "ありえないパス:" << ret;
        return;
    }
    if (ret == 1) {
        loadSettings(true);
        returnPage(nullptr, false);
    } else if (ret != 2 && formActive == 2 && option == QLatin1String("success")) {
        returnPage(nullptr, false);
    }
    MyTimer::getInstance()->setDataRequest();
}

void Form1Clock::recvApiInfo(int ret, QString info)
{
    ++selftick;
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << ret << info;
    if (ret != 1)
        return;
    setFullScreenPicture(QStringLiteral("../Parts/01時計画面/オープニング.png"),
                         FontStyle{240, 240, 22, 1, info, 0, 0, 0, 255});
    label->setFlash();
}

void Form1Clock::loadDakokuCapacityLevel()
{
    selfcheckpass = true;
    unsigned int count = 0;
    if (!DBDakoku::getDakokuUnsentCount(&count)) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "打刻未送信件数 取得失敗";
        dakokuCapacityLevel = -1;
    } else {
        setDakokuCapacityLevel(count);
        MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "打刻未送信件数:" << count;
    }
    selfcheckpass = false;
    ++selftick;
}

void Form1Clock::setDakokuCapacityLevel(unsigned int count)
{
    const qint64 room = qint64(dakokuCapacityMax) - qint64(count);
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "max:" << dakokuCapacityMax << "cnt:" << count;
    if (room > 1000)
        dakokuCapacityLevel = 0;
    else if (room > 800)
        dakokuCapacityLevel = 1;
    else if (room > 600)
        dakokuCapacityLevel = 2;
    else if (room > 400)
        dakokuCapacityLevel = 3;
    else if (room > 200)
        dakokuCapacityLevel = 4;
    else if (room > 0)
        dakokuCapacityLevel = 5;
    else
        dakokuCapacityLevel = 6;
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "capacity:" << room << "level:"
                << dakokuCapacityLevel;
}
