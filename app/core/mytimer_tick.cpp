#include "mytimer.h"

#include "commandquote.h"
#include "debugline.h"
#include "heartbeat.h"
#include "mydebug.h"
#include "networkmanager.h"
#include "platform/boardroot.h"
#include "platform/clock.h"
#include "platform/commandrunner.h"
#include "platform/processexit.h"
#include "zsystem.h"

#include <QFile>

namespace {

// A tick this many seconds or more away from the last normal tick is a clock jump.
const qint64 jumpSeconds = 11;
// The 22nd consecutive jump tick (the counter stood above this) takes the new time as given.
const int jumpTicksBeforeRearm = 20;

const char timesyncMarker[] = "/var/log/timesync";

// The marker the date and time settings leave after setting the clock; it is taken away
// here, so it announces one jump only.
bool takeTimesyncMarker()
{
    const QString marker = vnq::boardPath(QLatin1String(timesyncMarker));
    if (!QFile::exists(marker))
        return false;
    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "意図した時計同期";
    QFile::remove(marker);
    return true;
}

QDateTime oneDayLater(const QDateTime& edge)
{
    return edge.addDays(1);
}

}  // namespace

void MyTimer::tickerTask()
{
    const QDateTime now = vnq::clock().now();
    ++selftick;

    const bool announced = takeTimesyncMarker();
    const qint64 d = qAbs(now.toSecsSinceEpoch() - lastTickTime.toSecsSinceEpoch());
    if (d >= jumpSeconds) {
        handleClockJump(now, announced);
        return;
    }

    jumpTicks = 0;
    if (!locked)
        fireDueDeadlines(now);
    lastTickTime = now;
}

void MyTimer::handleClockJump(const QDateTime& now, bool announced)
{
    // The last tick time stays, so the following ticks remain jump ticks until the clock
    // comes back or the re-arm below accepts the new time.
    if (jumpTicks++ > jumpTicksBeforeRearm)
        rearmAfterJump(now);

    if (!announced) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "意図していない時計同期";
        const QString command = vnq::shellWord(vnq::boardPath(QStringLiteral("/VnQo/bin/Tikwarden"))) + QStringLiteral(" -D 180");
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << command;
        vnq::commandRunner().shell(command);
    }
}

void MyTimer::rearmAfterJump(const QDateTime& now)
{
    MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "タイマー復帰？"
              << uint(now.toSecsSinceEpoch()) << uint(lastTickTime.toSecsSinceEpoch());
    loadTouchYusen();
    setVnqLock();
    setKinmuMode();
    setSntpSync();
    setRebootTime();
    if (ZSystem::mode() == ZSystem::Cloud || ZSystem::mode() == ZSystem::Merid)
        setDataRequest();
    setBacklight(false);
    unlockTimer();
    jumpTicks = 0;
}

// Each handler sees what the handlers before it did in the same tick.
void MyTimer::fireDueDeadlines(const QDateTime& now)
{
    if (isDue(uraMenuDeadline, now)) {
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "裏メニュー タイムアウト！！";
        uraMenuDeadline = disarmed();
        emit timeoutUraMenu();
    }
    if (isDue(vnqLockDeadline, now)) {
        vnqLockDeadline = disarmed();
        emit timeoutVnqLock();
    }
    if (isDue(backlightOffDeadline, now)) {
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "バックライト タイムアウト！！"
                    << now.toSecsSinceEpoch() << "," << backlightOffDeadline.toSecsSinceEpoch();
        backlightOnOff(false);
        resetBacklight();
    }
    if (!clockModoriSuspended && isDue(clockModoriDeadline, now)) {
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "時計画面戻り タイムアウト！！";
        clockModoriDeadline = disarmed();
        emit timeoutClockModori();
    }
    if (isDue(touchYusenDeadline, now)) {
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "タッチ優先 タイムアウト！！";
        touchYusenDeadline = disarmed();
        emit timeoutTouchYusen();
    }
    if (isDue(shukinStart, now)) {
        MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "出勤モード(開始) タイムアウト！！";
        const bool sameSecond = isShortSpan(shukinStart, taikinEnd);
        shukinStart = oneDayLater(shukinStart);
        emit timeoutShukinMode(true, !sameSecond);
    }
    if (isDue(shukinEnd, now)) {
        MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "出勤モード(終了) タイムアウト！！";
        const bool sameSecond = isShortSpan(shukinEnd, taikinStart);
        shukinEnd = oneDayLater(shukinEnd);
        emit timeoutShukinMode(false, !sameSecond);
    }
    if (isDue(taikinStart, now)) {
        MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "退勤モード(開始) タイムアウト！！";
        taikinStart = oneDayLater(taikinStart);
        emit timeoutTaikinMode(true);
    }
    if (isDue(taikinEnd, now)) {
        MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "退勤モード(終了) タイムアウト！！";
        taikinEnd = oneDayLater(taikinEnd);
        emit timeoutTaikinMode(false);
    }
    if (isDue(higawariStart, now)) {
        MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "日替退勤有効時刻帯(開始) タイムアウト！！";
        higawariStart = oneDayLater(higawariStart);
        emit timeoutHigawaritaiMode(true);
    }
    if (isDue(higawariEnd, now)) {
        MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "日替退勤有効時刻帯(終了) タイムアウト！！";
        higawariEnd = oneDayLater(higawariEnd);
        emit timeoutHigawaritaiMode(false);
    }
    if (isDue(dataRequestDeadline, now)) {
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "定時リクエスト！！";
        dataRequestDeadline = disarmed();
        emit timeoutDataRequest(shotFlag);
    }
    if (isDue(sntpDeadline, now)) {
        MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "SNTP同期！！";
        NetworkManager::syncNtpServer();
        setSntpSync();
    }
    if (isDue(rebootDeadline, now)) {
        // The watchdog must not step in while the terminal stops.
        selfcheckpass = true;
        MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "リブート時刻！！";
        emit apiInfo(1, QStringLiteral("システム終了中..."));
        vnq::commandRunner().shell(vnq::shellWord(vnq::boardPath(QStringLiteral("/VnQo/bin/vnqo_regular_reboot")))
                                   + QStringLiteral(" &"));
        rebootDeadline = disarmed();
        vnq::exitProcess(1);
    }
}
