#include "form4netset.h"

#include <QMap>

QString Form4NetSet::GetTitle(QString id)
{
    static const QMap<QString, QString> titles{
        {QStringLiteral("00"), QStringLiteral("IPアドレス")},
        {QStringLiteral("01"), QStringLiteral("サブネットマスク")},
        {QStringLiteral("02"), QStringLiteral("ゲートウェイ")},
        {QStringLiteral("03"), QStringLiteral("ポート番号")},
        {QStringLiteral("04"), QString()},
        {QStringLiteral("05"), QStringLiteral("DNS")},
        {QStringLiteral("10"), QStringLiteral("IPアドレス(無線)")},
        {QStringLiteral("11"), QStringLiteral("サブネットマスク(無線)")},
        {QStringLiteral("12"), QStringLiteral("ゲートウェイ(無線)")},
        {QStringLiteral("13"), QStringLiteral("無線LAN")},
        {QStringLiteral("14"), QStringLiteral("無線LAN設定")},
        {QStringLiteral("15"), QStringLiteral("DNS(無線)")},
        {QStringLiteral("21"), QStringLiteral("DHCPの設定")},
        {QStringLiteral("22"), QStringLiteral("DNSの設定")},
        {QStringLiteral("23"), QStringLiteral("プロキシ設定")},
        {QStringLiteral("24"), QStringLiteral("プロキシ認証")},
        {QStringLiteral("90"), QStringLiteral("プロキシアドレス")},
        {QStringLiteral("91"), QStringLiteral("プロキシポート番号")},
    };
    return titles.value(id, id);
}
