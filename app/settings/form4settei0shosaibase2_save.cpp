// Checking, saving and deleting the value of a detail screen, and setting the system clock
// when the value is the date or the time.

#include "form4settei0shosaibase2.h"

#include "commandquote.h"
#include "dbsetting.h"
#include "form3popup.h"
#include "keypad.h"
#include "keypadkeytypes.h"
#include "mydebug.h"
#include "platform/boardroot.h"
#include "platform/clock.h"
#include "platform/commandrunner.h"
#include "soundmodule.h"

#include <QDate>
#include <QDateTime>

namespace {

constexpr int ClockCommandTimeoutMs = 10000;

QString startName(const QString& title)
{
    return title + QStringLiteral("(開始)");
}

QString endName(const QString& title)
{
    return title + QStringLiteral("(終了)");
}

QString numbered(const QString& title, int index)
{
    return QStringLiteral("%1%2").arg(title).arg(index);
}

bool commandSucceeded(const vnq::CommandResult& result)
{
    return result.started && result.finished && result.exitCode == 0;
}

}  // namespace

bool Form4Settei0ShosaiBase2::saveDataValue(QString name, int value)
{
    const QString logged = keyType == QStringLiteral("パスワード") ? QStringLiteral("******") : QString::number(value);
    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:"
              << QStringLiteral("title: %1, val: %2").arg(name, logged);
    DBSetting::setSetting(name, value);
    int read = 0;
    return DBSetting::getSetting(name, &read) && read == value;
}

bool Form4Settei0ShosaiBase2::saveDataValue(QString name, int value, int index)
{
    return saveDataValue(numbered(name, index), value);
}

bool Form4Settei0ShosaiBase2::saveDataValues(const QList<QPair<QString, int>>& rows)
{
    for (const auto& row : rows) {
        const QString logged = keyType == QStringLiteral("パスワード") ? QStringLiteral("******") : QString::number(row.second);
        MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:"
                  << QStringLiteral("title: %1, val: %2").arg(row.first, logged);
    }
    return DBSetting::setSettings(rows);
}

bool Form4Settei0ShosaiBase2::saveDataHHMM2()
{
    return saveDataValues({{startName(title), values.value(0)}, {endName(title), values.value(1)}});
}

bool Form4Settei0ShosaiBase2::saveDataYYYYMMDD()
{
    const int year = values.value(0);
    const int month = values.value(1);
    const int day = values.value(2);
    if (!saveDataValues({{numbered(title, 1), year}, {numbered(title, 2), month}, {numbered(title, 3), day}}))
        return false;
    const QString time = vnq::clock().now().time().toString(QStringLiteral("hh:mm:ss"));
    return setSystemClock(QStringLiteral("date -s \"%1-%2-%3 %4\"").arg(year).arg(month).arg(day).arg(time));
}

bool Form4Settei0ShosaiBase2::saveDataHHMM()
{
    const int minutes = values.value(0);
    if (!saveDataValue(title, minutes))
        return false;
    return setSystemClock(QStringLiteral("date -s %1").arg(Keypad::toTextFromMinute(minutes)));
}

bool Form4Settei0ShosaiBase2::saveDataAddr()
{
    QList<QPair<QString, int>> rows;
    for (int i = 0; i < 4; ++i)
        rows.append({numbered(title, i), values.value(i)});
    return saveDataValues(rows);
}

bool Form4Settei0ShosaiBase2::setSystemClock(const QString& dateCommand)
{
    vnq::CommandRunner& runner = vnq::commandRunner();
    stopTimerEvent();
    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << dateCommand;
    if (!commandSucceeded(runner.run(dateCommand, ClockCommandTimeoutMs))) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "時刻設定失敗" << dateCommand;
        startTimerEvent();
        return false;
    }
    const bool rtcSet = commandSucceeded(
        runner.run(QStringLiteral("hwclock -u -w -f ") + vnq::commandWord(vnq::boardPath(QStringLiteral("/dev/rtc0"))),
                   ClockCommandTimeoutMs));
    // The system clock did move: the scheduler is told so even when the RTC kept its time.
    runner.shell(QStringLiteral("date +%s > ")
                 + vnq::shellQuoted(vnq::boardPath(QStringLiteral("/mnt/spi_user/Log/sync.time"))));
    runner.shell(QStringLiteral("touch ") + vnq::shellQuoted(vnq::boardPath(QStringLiteral("/var/log/timesync"))));
    startTimerEvent();
    if (!rtcSet) {
        // The next clock check would put the old RTC time back.
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "RTC設定失敗";
        return false;
    }
    return true;
}

bool Form4Settei0ShosaiBase2::saveData()
{
    bool saved = false;
    if (keypadkeytype::isBand(keyType))
        saved = saveDataHHMM2();
    else if (keypadkeytype::isDate(keyType))
        saved = saveDataYYYYMMDD();
    else if (keyType == QStringLiteral("時刻設定"))
        saved = saveDataHHMM();
    else if (keypadkeytype::isAddress(keyType))
        saved = saveDataAddr();
    else
        saved = saveDataValue(title, values.value(0));

    if (!saved) {
        showKeypadMessage(QStringLiteral("保存失敗"));
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "保存できませんでした" << title;
        return false;
    }
    if (keyType == QStringLiteral("音量"))
        SoundModule::systemVolume();
    SoundModule::play(QStringLiteral("/VnQo/app/Sound/%1/BUTTON.wav"), SoundModule::touchVolume);
    applySettings();
    return true;
}

bool Form4Settei0ShosaiBase2::deleteData()
{
    if (!keypadkeytype::isAddress(keyType))
        return true;
    QList<QPair<QString, int>> rows;
    for (int i = 0; i < 4; ++i)
        rows.append({numbered(title, i), -1});
    if (saveDataValues(rows))
        return true;
    SoundModule::playTouchNG();
    showError(QStringLiteral("削除できませんでした。"), QString());
    return false;
}

bool Form4Settei0ShosaiBase2::isOutOfRange()
{
    if (keypadkeytype::isDate(keyType)) {
        const int year = values.value(0);
        const int month = values.value(1);
        const int day = values.value(2);
        const bool valid = QDate::isValid(year, month, day) && year >= min && year <= max && month >= 1
            && month <= 12 && day >= 1 && day <= 31;
        return !valid;
    }
    for (const int value : qAsConst(values)) {
        if (value < min || value > max)
            return true;
    }
    return false;
}
