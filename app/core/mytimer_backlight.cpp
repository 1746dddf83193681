#include "mytimer.h"

#include "commandquote.h"
#include "dbsetting.h"
#include "debugline.h"
#include "mydebug.h"
#include "platform/boardroot.h"
#include "platform/clock.h"
#include "platform/commandrunner.h"
#include "zsystem.h"

bool MyTimer::setBacklight(bool on)
{
    int minutes = 0;
    if (DBSetting::getParamJ(QStringLiteral("バックライト点灯時間"), &minutes) != 0) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "バックライト点灯時間取得NG";
        minutes = 0;
    }
    // 0 means always on. A negative time would darken the screen on the next tick after
    // every wake-up; it counts as always on as well.
    if (minutes <= 0)
        return backlightOnOff(true);

    const QDateTime now = vnq::clock().now();
    if (on) {
        backlightOffDeadline = now.addSecs(qint64(minutes) * 60);
        backlightOnTime = now;
        return backlightOnOff(true);
    }
    // The time may have changed: count it again from when the light came on.
    backlightOffDeadline = (isArmed(backlightOnTime) ? backlightOnTime : now).addSecs(qint64(minutes) * 60);
    return true;
}

void MyTimer::stopBacklight()
{
    backlightOnOff(true);
    backlightOffDeadline = disarmed();
}

void MyTimer::resetBacklight()
{
    backlightOffDeadline = disarmed();
    backlightOnTime = disarmed();
}

bool MyTimer::backlightOnOff(bool on)
{
    const bool lit = ZSystem::gpio(ZSystem::GPIO0) != 0;
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << (lit ? "バックライト点灯" : "バックライト消灯");
    if (on == lit)
        return false;
    const QString script = vnq::shellWord(vnq::boardPath(QStringLiteral("/VnQo/bin/vnq_backlight")));
    if (on) {
        MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "バックライト消灯->点灯";
        vnq::commandRunner().shell(script + QStringLiteral(" on"));
    } else {
        MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "バックライト点灯->消灯";
        vnq::commandRunner().shell(script + QStringLiteral(" off"));
    }
    return true;
}
