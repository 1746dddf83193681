// What the screens show of the live network: the watch's status file, MAC addresses and DNS.
#include "networkmanager.h"

#include "dbsetting.h"
#include "mydebug.h"
#include "platform/boardroot.h"

#include <QFile>
#include <QTextStream>

namespace {

const int statusLineCount = 10;

QString initialising()
{
    return QStringLiteral("初期化中...");
}

}  // namespace

QString NetworkManager::getNetStatus(const QString& iface, int line)
{
    QFile file(vnq::boardPath(QStringLiteral("/var/tmp/network.status")));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return initialising();
    QTextStream in(&file);
    in.setCodec("UTF-8");
    QStringList lines;
    for (int i = 0; i < statusLineCount; ++i)
        lines << (in.atEnd() ? QString() : in.readLine());
    file.close();

    QString result = lines.value(line);
    if (line == 4 || line == 7)
        return result;

    // Until the watch has filled in everything of an active interface, its values are not
    // to be trusted.
    const QString& active = lines.at(1);
    if (iface == QLatin1String("eth0") && active.contains(QLatin1String("eth0"))) {
        if (lines.at(2).isEmpty() || lines.at(3).isEmpty() || lines.at(9).isEmpty() || lines.at(4).isEmpty())
            result = initialising();
    } else if (iface == QLatin1String("wlan0") && active.contains(QLatin1String("wlan0"))) {
        if (lines.at(5).isEmpty() || lines.at(6).isEmpty() || lines.at(9).isEmpty())
            result = initialising();
    }
    return result;
}

QString NetworkManager::getEthIpaddr()
{
    return getNetStatus(QStringLiteral("eth0"), 2);
}

QString NetworkManager::getEthNetmask()
{
    return getNetStatus(QStringLiteral("eth0"), 3);
}

QString NetworkManager::getEthGateway()
{
    return getNetStatus(QStringLiteral("eth0"), 9);
}

QString NetworkManager::getWlanIpaddr()
{
    return getNetStatus(QStringLiteral("wlan0"), 5);
}

QString NetworkManager::getWlanNetmask()
{
    return getNetStatus(QStringLiteral("wlan0"), 6);
}

QString NetworkManager::getWlanGateway()
{
    return getNetStatus(QStringLiteral("wlan0"), 9);
}

bool NetworkManager::getEthActive()
{
    return getNetStatus(QString(), 1).contains(QLatin1String("eth0"));
}

bool NetworkManager::getWlanActive()
{
    return getNetStatus(QString(), 1).contains(QLatin1String("wlan0"));
}

QString NetworkManager::getNetMacaddress(const QString& iface)
{
    QFile file(vnq::boardPath(QStringLiteral("/sys/class/net/%1/address").arg(iface)));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QStringLiteral("未検出");
    QTextStream in(&file);
    return in.readLine().toUpper();
}

QString NetworkManager::getEthMacaddr()
{
    return getNetMacaddress(QStringLiteral("eth0"));
}

QString NetworkManager::getWlanMacaddr()
{
    return getNetMacaddress(QStringLiteral("wlan0"));
}

QString NetworkManager::getDnsAddr(const QString& iface)
{
    const QString item = iface == QLatin1String("eth0") ? QStringLiteral("DNS") : QStringLiteral("DNS(無線)");
    int octets[4];
    for (int i = 0; i < 4; ++i) {
        const QString name = item + QString::number(i);
        int value = 0;
        if (DBSetting::getParamJ(name, &value) != 0) {
            MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "Failed get setting: " << name;
            value = 0;
        } else if (value < 0) {
            return QStringLiteral("---.---.---.---");
        }
        octets[i] = value;
    }
    return QStringLiteral("%1.%2.%3.%4").arg(octets[0]).arg(octets[1]).arg(octets[2]).arg(octets[3]);
}

QString NetworkManager::getDnsAddrDhcp(const QString& iface)
{
    QFile file(vnq::boardPath(QStringLiteral("/etc/resolv.conf")));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "Open failed /etc/resolv.conf";
        return initialising();
    }
    QTextStream in(&file);
    in.setCodec("UTF-8");
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (!line.contains(QLatin1String("nameserver")) || !line.contains(iface))
            continue;
        // "nameserver" and one blank, then the address, then an optional " #" comment.
        QString address = line.mid(11);
        const int comment = address.indexOf(QLatin1String(" #"));
        if (comment >= 0)
            address.truncate(comment);
        return address;
    }
    return initialising();
}
