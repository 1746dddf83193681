#include "clientkey.h"

QString clientKeyFromSerial(const char* prefix, const char* testKey, const QString& serialNumber)
{
    if (serialNumber == QStringLiteral("未設定"))
        return QString::fromLatin1(testKey);
    bool ok = false;
    int n = serialNumber.toInt(&ok);
    if (!ok)
        n = 0;
    const int digit = ((n / 10000 % 100 - 1) / 12) % 10;
    return QStringLiteral("%1%2%3").arg(QLatin1String(prefix)).arg(digit).arg(n % 10000, 4, 10, QLatin1Char('0'));
}
