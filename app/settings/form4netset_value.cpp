// Which rows of the communication settings menu apply to the network in use, and what their
// value boxes show.

#include "form4netset.h"

#include "networkmanager.h"

namespace {

bool isOneOf(const QString& id, std::initializer_list<const char*> ids)
{
    for (const char* candidate : ids) {
        if (id == QLatin1String(candidate))
            return true;
    }
    return false;
}

}  // namespace

bool Form4NetSet::isEnabledItem(QString id)
{
    if (!wifiOn && isOneOf(id, {"10", "11", "12", "14", "15"}))
        return false;
    if (wifiOn && isOneOf(id, {"00", "01", "02", "05"}))
        return false;
    if (dhcpOn && isOneOf(id, {"00", "01", "02", "10", "11", "12"}))
        return false;
    if (dhcpOn && dnsAutoOn && isOneOf(id, {"05", "15"}))
        return false;
    if (!dhcpOn && id == QLatin1String("22"))
        return false;
    if (!proxyOn && id == QLatin1String("24"))
        return false;
    return true;
}

QString Form4NetSet::getValue(QString id)
{
    const bool wiredDhcp = !wifiOn && dhcpOn;
    const bool wirelessDhcp = wifiOn && dhcpOn;
    if (wiredDhcp && id == QLatin1String("00"))
        return NetworkManager::getEthIpaddr();
    if (wiredDhcp && id == QLatin1String("01"))
        return NetworkManager::getEthNetmask();
    if (wiredDhcp && id == QLatin1String("02"))
        return NetworkManager::getEthGateway();
    if (wirelessDhcp && id == QLatin1String("10"))
        return NetworkManager::getWlanIpaddr();
    if (wirelessDhcp && id == QLatin1String("11"))
        return NetworkManager::getWlanNetmask();
    if (wirelessDhcp && id == QLatin1String("12"))
        return NetworkManager::getWlanGateway();

    if (id == QLatin1String("14")) {
        const int level = NetworkManager::getApSignalLevelOnce();
        if (level == -1)
            return QStringLiteral("異常");
        return wifiOn && level != 0 ? QStringLiteral("有効") : QStringLiteral("無効");
    }
    // With the name server from DHCP, the interface in use shows the one it runs with.
    if (id == QLatin1String("05")) {
        return dnsAutoOn && !wifiOn ? NetworkManager::getDnsAddrDhcp(QStringLiteral("eth0"))
                                    : NetworkManager::getDnsAddr(QStringLiteral("eth0"));
    }
    if (id == QLatin1String("15")) {
        return dnsAutoOn && wifiOn ? NetworkManager::getDnsAddrDhcp(QStringLiteral("wlan0"))
                                   : NetworkManager::getDnsAddr(QStringLiteral("wlan0"));
    }
    if (id == QLatin1String("22"))
        return dnsAutoOn ? QStringLiteral("自動(DHCP)") : QStringLiteral("手動");
    if (id == QLatin1String("23"))
        return proxyOn ? QStringLiteral("有効") : QStringLiteral("無効");
    if (id == QLatin1String("24"))
        return proxyOn && proxyAuthOn ? QStringLiteral("する") : QStringLiteral("しない");
    return loadValue(getTitle(id));
}
