// The value texts of the menu rows, read from setting.db.

#include "form4settei0menubase.h"

#include "dbsetting.h"
#include "debugline.h"
#include "keypad.h"
#include "keypadkeytypes.h"
#include "platform/clock.h"

#include <QDateTime>
#include <QStringList>

namespace {

// A setting that may be missing: unset (-1) unless its row says otherwise.
int settingOrUnset(const QString& name)
{
    int value = -1;
    DBSetting::getSetting(name, &value);
    return value;
}

}  // namespace

QString Form4Settei0MenuBase::loadValue(QString name)
{
    if (name.isEmpty())
        return QString();

    QString keyType;
    QString value;
    DBSetting::getManualAndSetting(name, &keyType, &value);
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "KeyType:" << keyType;

    if (keypadkeytype::isAddress(keyType))
        return loadValueAddr(name, keyType);
    if (keypadkeytype::isDate(keyType))
        return loadValueYYYYMMDD(name, keyType);
    if (keyType == QStringLiteral("時刻設定"))
        return loadValueHHMM(name, keyType, value);
    if (keypadkeytype::isBand(keyType))
        return loadValueHHMM2(name, keyType);
    if (name == QStringLiteral("バックアップ") || name == QStringLiteral("リストア"))
        return loadValueUsbOutput(name);
    return Keypad::toText(keyType, value.toInt(), false);
}

QString Form4Settei0MenuBase::loadValueAddr(QString name, QString keyType)
{
    QStringList octets;
    for (int i = 0; i < 4; ++i)
        octets << Keypad::toText(keyType, settingOrUnset(QStringLiteral("%1%2").arg(name).arg(i)), false);
    return octets.join(QLatin1Char('.'));
}

QString Form4Settei0MenuBase::loadValueYYYYMMDD(QString, QString)
{
    return vnq::clock().now().date().toString(QStringLiteral("yyyy.MM.dd"));
}

QString Form4Settei0MenuBase::loadValueHHMM(QString, QString, QString value)
{
    if (value == QStringLiteral("-1"))
        return value;
    return vnq::clock().now().time().toString(QStringLiteral("hh:mm"));
}

QString Form4Settei0MenuBase::loadValueHHMM2(QString name, QString keyType)
{
    const QString start = Keypad::toText(keyType, settingOrUnset(name + QStringLiteral("(開始)")), false);
    if (start == QStringLiteral("なし"))
        return start;
    return start + QStringLiteral("～")
        + Keypad::toText(keyType, settingOrUnset(name + QStringLiteral("(終了)")), false);
}

QString Form4Settei0MenuBase::loadValueUsbOutput(QString name)
{
    int seconds = 0;
    DBSetting::getTsushin(name, &seconds);
    if (seconds < 1)
        return QStringLiteral("履歴なし");
    const QDateTime when = QDateTime::fromSecsSinceEpoch(seconds);
    return when.toString(QStringLiteral("yyyy/MM/dd")) + QLatin1Char(' ') + when.toString(QStringLiteral("hh:mm"));
}

QString Form4Settei0MenuBase::loadValueText(QString name, QString keyType)
{
    int value = 0;
    DBSetting::getSetting(name, &value);
    return Keypad::toText(keyType, value, false);
}
