#include "mytimer.h"

#include "dbsetting.h"
#include "debugline.h"
#include "platform/clock.h"

#include <QTimer>

#include <memory>
#include <random>

namespace {

const int tickIntervalMs = 300;
const int uraMenuSeconds = 8;
const int vnqLockSeconds = 5;

QDateTime now()
{
    return vnq::clock().now();
}

// A per-process seed: unseeded, every terminal would draw the same SNTP delays and ask the
// time server together after a common power cut.
MyTimer::RandomSource seededRandom()
{
    auto engine = std::make_shared<std::mt19937>(std::random_device{}());
    return [engine](int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(*engine); };
}

}  // namespace

MyTimer* MyTimer::getInstance()
{
    static MyTimer* instance = new MyTimer(nullptr);
    return instance;
}

MyTimer::MyTimer(QObject* parent)
    : QObject(parent)
    , random(seededRandom())
{
    for (QDateTime* deadline : {&uraMenuDeadline, &vnqLockDeadline, &backlightOffDeadline, &backlightOnTime,
                                &clockModoriDeadline, &touchYusenDeadline, &shukinStart, &shukinEnd,
                                &taikinStart, &taikinEnd, &higawariStart, &higawariEnd,
                                &dataRequestDeadline, &sntpDeadline, &rebootDeadline})
        *deadline = disarmed();
    clockModoriSuspended = false;
    lastTickTime = now();
    unlock();
    setBacklight(true);
    setRebootTime();

    ticker = new QTimer(this);
    connect(ticker, &QTimer::timeout, this, &MyTimer::tickerTask);
    ticker->setInterval(tickIntervalMs);
    ticker->start();
}

void MyTimer::setRandomSource(RandomSource source)
{
    random = source ? std::move(source) : seededRandom();
}

QDateTime MyTimer::disarmed()
{
    return QDateTime::fromSecsSinceEpoch(0);
}

bool MyTimer::isArmed(const QDateTime& deadline)
{
    return deadline.toSecsSinceEpoch() != 0;
}

bool MyTimer::isDue(const QDateTime& deadline, const QDateTime& now)
{
    return isArmed(deadline) && !(now < deadline);
}

void MyTimer::setUraMenu()
{
    uraMenuDeadline = now().addSecs(uraMenuSeconds);
}

void MyTimer::stopUraMenu()
{
    uraMenuDeadline = disarmed();
}

void MyTimer::resetUraMenu()
{
    stopUraMenu();
}

void MyTimer::setVnqLock()
{
    vnqLockDeadline = now().addSecs(vnqLockSeconds);
}

void MyTimer::stopVnqLock()
{
    vnqLockDeadline = disarmed();
}

void MyTimer::resetVnqLock()
{
    stopVnqLock();
}

void MyTimer::setClockModori()
{
    int minutes = 0;
    if (DBSetting::getSetting(QStringLiteral("時計に戻る時間"), &minutes) && minutes >= 1)
        clockModoriDeadline = now().addSecs(qint64(minutes) * 60);
    else
        clockModoriDeadline = disarmed();
}

void MyTimer::stopClockModori()
{
    clockModoriDeadline = disarmed();
}

void MyTimer::lockClockModori()
{
    clockModoriSuspended = true;
}

void MyTimer::unlockClockModori()
{
    clockModoriSuspended = false;
    setClockModori();
}

void MyTimer::loadTouchYusen()
{
    const QString item = QStringLiteral("タッチ選択優先秒数");
    int seconds = 0;
    if (DBSetting::getSetting(item, &seconds)) {
        touchYusenDefaultSeconds = seconds;
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << item << seconds;
    } else {
        touchYusenDefaultSeconds = 0;
    }
}

void MyTimer::setTouchYusen(int seconds)
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "タッチ優先秒数:" << touchYusenDefaultSeconds
                << seconds;
    touchYusenDeadline = now().addSecs(seconds < 1 ? touchYusenDefaultSeconds : seconds);
}

void MyTimer::stopTouchYusen()
{
    touchYusenDeadline = disarmed();
}

void MyTimer::stopShukinMode()
{
    shukinStart = disarmed();
    shukinEnd = disarmed();
}

void MyTimer::resetShukinMode()
{
    stopShukinMode();
}

void MyTimer::stopTaikinMode()
{
    taikinStart = disarmed();
    taikinEnd = disarmed();
}

void MyTimer::resetTaikinMode()
{
    stopTaikinMode();
}

void MyTimer::stopHigawaritaiMode()
{
    higawariStart = disarmed();
    higawariEnd = disarmed();
}

void MyTimer::resetHigawaritaiMode()
{
    stopHigawaritaiMode();
}

void MyTimer::stopDataRequest()
{
    dataRequestDeadline = disarmed();
}

void MyTimer::resetDataRequest()
{
    stopDataRequest();
}

void MyTimer::stopSntpSync()
{
    sntpDeadline = disarmed();
}

void MyTimer::resetSntpSync()
{
    stopSntpSync();
}

void MyTimer::unlockTimer()
{
    lastTickTime = now();
}

void MyTimer::lock()
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << locked;
    locked = true;
}

void MyTimer::unlock()
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << locked;
    locked = false;
}

bool MyTimer::isShortSpan(QDateTime t1, QDateTime t2)
{
    const qint64 span = t2.toSecsSinceEpoch() - t1.toSecsSinceEpoch();
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "t1" << t1.toString(Qt::TextDate) << "t2"
                << t2.toString(Qt::TextDate) << "span" << span;
    return span == 0;
}
