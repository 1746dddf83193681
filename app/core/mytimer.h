#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>

#include <functional>

class QTimer;

// The terminal's one scheduler. It holds absolute deadlines (a local QDateTime each, time 0
// meaning disarmed), compares them with the clock every 300 ms and, when one is due, emits
// its signal or acts itself (backlight off, SNTP synchronisation, daily reboot). Each tick
// also feeds the watchdog heartbeat and watches for jumps of the system clock: a jump the
// settings screens did not announce with /var/log/timesync runs the clock checker.
class MyTimer : public QObject {
    Q_OBJECT
public:
    // The process-wide scheduler, created with no parent on the first call.
    static MyTimer* getInstance();

    // The terminal uses getInstance(); tests build their own instances.
    explicit MyTimer(QObject* parent = nullptr);

    // The source of the random part of the SNTP delay: a value in [0, bound). The default is
    // seeded per process so that terminals do not all ask the time server at once.
    using RandomSource = std::function<int(int bound)>;
    void setRandomSource(RandomSource source);

    // Hidden menu: now + 8 s.
    void setUraMenu();
    void stopUraMenu();
    void resetUraMenu();

    // Lock-file check: now + 5 s.
    void setVnqLock();
    void stopVnqLock();
    void resetVnqLock();

    // Return to the clock after "時計に戻る時間" minutes (unreadable or below 1: disarmed).
    void setClockModori();
    void stopClockModori();
    // True while a return-to-clock deadline is pending.
    bool clockModoriArmed() const { return isArmed(clockModoriDeadline); }
    // While suspended the return-to-clock deadline passes without firing.
    void lockClockModori();
    // Ends the suspension and re-arms the deadline from now.
    void unlockClockModori();

    // Touch priority: the default from "タッチ選択優先秒数" (0 when unreadable), then a
    // deadline of now + seconds, or now + the default when seconds is below 1.
    void loadTouchYusen();
    void setTouchYusen(int seconds);
    void stopTouchYusen();

    // The six daily window edges (clock-in, clock-out, day-change clock-out; start and end)
    // from their minute-of-day settings: today, or tomorrow when already past.
    void setKinmuMode();
    void stopShukinMode();
    void resetShukinMode();
    void stopTaikinMode();
    void resetTaikinMode();
    void stopHigawaritaiMode();
    void resetHigawaritaiMode();

    // The next data-request deadline from "通信開始秒" and "通信周期", and in the Merid
    // edition the shot flag of an earlier intermediate request.
    void setDataRequest();
    void stopDataRequest();
    void resetDataRequest();

    // Basic edition only: with "NTPサーバーを使用" set, a deadline 3600 to 7199 s ahead.
    void setSntpSync();
    void stopSntpSync();
    void resetSntpSync();

    // The daily reboot at the minute of the day "リブート時刻" (negative: none).
    void setRebootTime();

    // on = true lights the screen and arms the switch-off deadline from now; true exactly
    // when the screen was dark and has just been lit. on = false re-arms the deadline from
    // the last switch-on time and returns true. With "バックライト点灯時間" 0 (or unreadable)
    // the light is simply switched on.
    bool setBacklight(bool on);
    // Light on and no switch-off deadline (the switch-on time stays).
    void stopBacklight();
    // Neither a switch-off deadline nor a switch-on time.
    void resetBacklight();
    // Switches the backlight; false when it already was in that state.
    static bool backlightOnOff(bool on);

    // Makes now the reference of jump detection (ends the handling of a clock jump).
    void unlockTimer();
    // While locked, normal ticks fire nothing.
    void lock();
    void unlock();

    // True exactly when both times fall on the same second.
    bool isShortSpan(QDateTime t1, QDateTime t2);

signals:
    void timeoutUraMenu();
    void timeoutVnqLock();
    void timeoutClockModori();
    void timeoutTouchYusen();
    // A clock-in window edge: start (enabled true) or end (false). update is false when the
    // edge falls on the same second as the opposite clock-out edge.
    void timeoutShukinMode(bool enabled, bool update);
    void timeoutTaikinMode(bool enabled);
    void timeoutHigawaritaiMode(bool enabled);
    void timeoutDataRequest(bool shotFlag);
    // The daily reboot: always 1 and "システム終了中...".
    void apiInfo(int ret, QString info);

public slots:
    // One 300 ms step; the timer calls it, tests call it directly.
    void tickerTask();

private:
    Q_DISABLE_COPY(MyTimer)

    static bool isArmed(const QDateTime& deadline);
    static bool isDue(const QDateTime& deadline, const QDateTime& now);
    static QDateTime disarmed();

    void fireDueDeadlines(const QDateTime& now);
    void handleClockJump(const QDateTime& now, bool announced);
    void rearmAfterJump(const QDateTime& now);

    QTimer* ticker = nullptr;
    QDateTime lastTickTime;
    QDateTime uraMenuDeadline;
    QDateTime vnqLockDeadline;
    QDateTime backlightOffDeadline;
    QDateTime backlightOnTime;
    bool clockModoriSuspended = false;
    QDateTime clockModoriDeadline;
    int touchYusenDefaultSeconds = 0;
    QDateTime touchYusenDeadline;
    QDateTime shukinStart;
    QDateTime shukinEnd;
    QDateTime taikinStart;
    QDateTime taikinEnd;
    QDateTime higawariStart;
    QDateTime higawariEnd;
    QDateTime dataRequestDeadline;
    bool shotFlag = false;
    QDateTime sntpDeadline;
    QDateTime rebootDeadline;
    bool locked = false;
    // Consecutive jump ticks; any normal tick resets it.
    int jumpTicks = 0;
    RandomSource random;
};
