#include "mytimer.h"

#include "dbsetting.h"
#include "debugline.h"
#include "mydebug.h"
#include "platform/clock.h"
#include "zsystem.h"

namespace {

// In the Merid edition a scheduled request further away than this is preceded by a shot.
const qint64 shotLeadSeconds = 180;
const int defaultCycleSeconds = 3600;
const int sntpBaseSeconds = 3600;
const int sntpSpreadSeconds = 3600;
// A reboot deadline this close ahead is taken as passed, so a terminal that comes back up
// within the reboot minute's first instant does not reboot again.
const qint64 rebootMarginMs = 180;

QDateTime startOfToday(const QDateTime& now)
{
    return QDateTime(now.date(), QTime(0, 0, 0));
}

bool isCloudEdition()
{
    return ZSystem::mode() == ZSystem::Cloud || ZSystem::mode() == ZSystem::Merid;
}

}  // namespace

void MyTimer::setKinmuMode()
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "出勤モード/退勤モードを設定";
    const QDateTime now = vnq::clock().now();
    const QDateTime base = startOfToday(now);
    stopShukinMode();
    stopTaikinMode();
    stopHigawaritaiMode();

    const struct {
        const char* item;
        QDateTime* edge;
    } edges[] = {
        {"出勤モード(開始)", &shukinStart},
        {"出勤モード(終了)", &shukinEnd},
        {"退勤モード(開始)", &taikinStart},
        {"退勤モード(終了)", &taikinEnd},
        {"日替退勤有効時刻帯(開始)", &higawariStart},
        {"日替退勤有効時刻帯(終了)", &higawariEnd},
    };
    for (const auto& e : edges) {
        const QString item = QString::fromUtf8(e.item);
        int minute = 0;
        if (!DBSetting::getSetting(item, &minute) || minute < 0)
            continue;
        QDateTime edge = base.addSecs(qint64(minute) * 60);
        if (!(now < edge))
            edge = edge.addDays(1);
        *e.edge = edge;
        MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << item << edge.toString(Qt::TextDate);
    }
}

void MyTimer::setDataRequest()
{
    int startSeconds = 0;
    DBSetting::getSetting(QStringLiteral("通信開始秒"), &startSeconds);
    const QDateTime now = vnq::clock().now();
    const qint64 nowSecs = now.toSecsSinceEpoch();

    QDateTime deadline = QDateTime(now.date(), QTime(now.time().hour(), 0, 0)).addSecs(startSeconds);
    if (deadline.toSecsSinceEpoch() <= nowSecs) {
        int cycle = 0;
        if (!DBSetting::getSetting(QStringLiteral("通信周期"), &cycle) || cycle < 1)
            cycle = defaultCycleSeconds;
        // Whole cycles, so a cycle shorter than the hour cannot leave the deadline behind
        // now and fire on every tick.
        const qint64 cycles = (nowSecs - deadline.toSecsSinceEpoch()) / cycle + 1;
        deadline = deadline.addSecs(cycles * cycle);
    }
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "通信開始秒！！"
                << deadline.toString(QStringLiteral("yyyyMMddhhmmss")) << now.toString(QStringLiteral("yyyyMMddhhmmss"));

    if (ZSystem::mode() == ZSystem::Cloud) {
        shotFlag = false;
    } else if (ZSystem::mode() == ZSystem::Merid) {
        if (deadline.toSecsSinceEpoch() - nowSecs > shotLeadSeconds) {
            deadline = now.addSecs(shotLeadSeconds);
            shotFlag = true;
        } else {
            shotFlag = false;
        }
    }
    dataRequestDeadline = deadline;

    if (shotFlag) {
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "ショット周期時間！！"
                    << deadline.toString(QStringLiteral("yyyyMMddhhmmss")) << true;
    } else {
        MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "イベント周期時間！！"
                  << deadline.toString(QStringLiteral("yyyyMMddhhmmss")) << "false";
    }
}

void MyTimer::setSntpSync()
{
    if (isCloudEdition())
        return;
    int use = 0;
    DBSetting::getParamJ(QStringLiteral("NTPサーバーを使用"), &use);
    if (use == 0) {
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "SNTP同期不要";
        stopSntpSync();
        return;
    }
    sntpDeadline = vnq::clock().now().addSecs(sntpBaseSeconds + random(sntpSpreadSeconds));
    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "SNTP->"
              << sntpDeadline.toString(QStringLiteral("MMddhhmm"));
}

void MyTimer::setRebootTime()
{
    int minute = 0;
    DBSetting::getParamJ(QStringLiteral("リブート時刻"), &minute);
    if (minute < 0) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "リブート時刻エラー";
        rebootDeadline = disarmed();
        return;
    }
    const QDateTime now = vnq::clock().now();
    const QDateTime base = startOfToday(now);
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "today->" << base.toString(QStringLiteral("MMddhhmm"));

    QDateTime deadline = base.addSecs(qint64(minute) * 60);
    if (deadline < now.addMSecs(rebootMarginMs)) {
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "1日加算->"
                    << deadline.toString(QStringLiteral("MMddhhmm"));
        deadline = deadline.addDays(1);
    }
    rebootDeadline = deadline;
    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "リブート->" << deadline.toString(QStringLiteral("MMddhhmm"));
}
