// Network configuration: the files under /VnQo/etc/network/config and the network scripts.
#include "networkmanager.h"

#include "commandquote.h"
#include "dbsetting.h"
#include "dbwifi.h"
#include "debugline.h"
#include "mydebug.h"
#include "platform/boardroot.h"
#include "platform/commandrunner.h"
#include "zsystem.h"

#include <QFile>

namespace {

const int commandTimeoutMs = 30000;

QString configFile(const QString& name)
{
    return vnq::boardPath(QStringLiteral("/VnQo/etc/network/config/") + name);
}

// The interface directory of a mode, Eth0 tested first; empty with neither bit.
QString interfaceDir(NetworkManager::NetworkMode mode)
{
    if (mode.testFlag(NetworkManager::Eth0))
        return QStringLiteral("eth0/");
    if (mode.testFlag(NetworkManager::Wlan0))
        return QStringLiteral("wlan0/");
    return QString();
}

// Opens a configuration file for writing, emptying it; logs the failure.
bool openForWriting(QFile* file, const char* function, int line)
{
    if (!file->fileName().isEmpty() && file->open(QIODevice::WriteOnly | QIODevice::Truncate))
        return true;
    MyDebug() << "<ERR>" << function << "[" << line << "]:" << "Can't open " << file->fileName();
    return false;
}

// A security key as log lines show it: whether there is one, never what it is.
QString maskedKey(const QString& key)
{
    return key.isEmpty() ? QString() : QStringLiteral("****");
}

QString dotted(const int octets[4])
{
    return QStringLiteral("%1.%2.%3.%4").arg(octets[0]).arg(octets[1]).arg(octets[2]).arg(octets[3]);
}

// Reads the four octets "<item>0" to "<item>3" as stored; a missing item gives 0 and an
// error line.
void readOctets(const QString& item, int octets[4], const char* function, int line)
{
    for (int i = 0; i < 4; ++i) {
        const QString name = item + QString::number(i);
        octets[i] = 0;
        if (DBSetting::getParamJ(name, &octets[i]) != 0) {
            MyDebug() << "<ERR>" << function << "[" << line << "]:" << "Failed get setting: " << name;
            octets[i] = 0;
        }
    }
}

// An address of four octets: a stored negative value (unset) gives 0 and makes the address
// incomplete.
void readAddress(const QString& item, int octets[4], bool* complete, const char* function, int line)
{
    readOctets(item, octets, function, line);
    for (int i = 0; i < 4; ++i) {
        if (octets[i] < 0) {
            octets[i] = 0;
            *complete = false;
        }
    }
}

}  // namespace

NetworkManager::NetworkManager(QObject* parent)
    : QObject(parent)
{
}

bool NetworkManager::setNetwork()
{
    const bool basic = ZSystem::mode() == ZSystem::Basic;
    NetworkMode mode = Eth0 | DhcpAddress;

    int wireless = 0;
    if (DBSetting::getParamJ(QStringLiteral("無線LAN"), &wireless) != 0) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "強制的に有線LAN・DHCP(無線LAN 参照失敗)";
    } else if (wireless == 0 || wireless == 1) {
        const NetworkModeFlag iface = wireless == 0 ? Eth0 : Wlan0;
        int dhcp = 0;
        if (DBSetting::getParamJ(QStringLiteral("DHCPの設定"), &dhcp) != 0) {
            const char* message = nullptr;
            if (iface == Eth0)
                message = basic ? "強制的に有線LAN・固定IP(参照失敗)" : "強制的に有線LAN・DHCP(参照失敗)";
            else
                message = basic ? "強制的にWiFi・固定IP(参照失敗)" : "強制的にWiFi・DHCP(参照失敗)";
            MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << message;
            dhcp = 1;
        }
        // The basic edition always runs on a static address.
        mode = iface | ((basic || dhcp == 0) ? StaticAddress : DhcpAddress);
    }

    setLanWlan(mode);
    if (!setStaticDhcp(mode))
        return false;
    if (mode.testFlag(Wlan0) && !setAccessPoint())
        return false;
    downNetwork();

    const QString command = vnq::commandWord(vnq::boardPath(QStringLiteral("/VnQo/bin/vnq_netif_watch_starter")));
    vnq::commandRunner().startDetached(command);
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "cmd:" << command;
    return true;
}

bool NetworkManager::downNetwork()
{
    vnq::commandRunner().run(QStringLiteral("killall vnq_netif_watch"), commandTimeoutMs);
    vnq::commandRunner().run(vnq::commandWord(vnq::boardPath(QStringLiteral("/VnQo/etc/network/net_down.sh"))),
                             commandTimeoutMs);
    return true;
}

bool NetworkManager::setLanWlan(NetworkMode mode)
{
    QFile file(configFile(QStringLiteral("interface.sh")));
    if (!openForWriting(&file, Q_FUNC_INFO, __LINE__))
        return false;
    QString text;
    if (mode.testFlag(Eth0)) {
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "Select eth0";
        text = QStringLiteral("IFACE=%1\n").arg(vnq::shellQuoted(QStringLiteral("eth0")));
    } else if (mode.testFlag(Wlan0)) {
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "Select wlan0";
        text = QStringLiteral("IFACE=%1\n").arg(vnq::shellQuoted(QStringLiteral("wlan0")));
    }
    file.write(text.toLatin1());
    file.close();
    return true;
}

bool NetworkManager::setStaticDhcp(NetworkMode mode)
{
    const QString dir = interfaceDir(mode);

    QFile amodeFile(dir.isEmpty() ? QString() : configFile(dir + QStringLiteral("amode.sh")));
    if (!openForWriting(&amodeFile, Q_FUNC_INFO, __LINE__))
        return false;
    QString amode;
    if (mode.testFlag(StaticAddress)) {
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "Select static ip address";
        amode = QStringLiteral("AMODE=%1\n").arg(vnq::shellQuoted(QStringLiteral("static")));
    } else if (mode.testFlag(DhcpAddress)) {
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "Select dhcp ip address";
        amode = QStringLiteral("AMODE=%1\n").arg(vnq::shellQuoted(QStringLiteral("dhcp")));
    }
    amodeFile.write(amode.toLatin1());
    amodeFile.close();

    QFile staticFile(configFile(dir + QStringLiteral("static.sh")));
    if (!openForWriting(&staticFile, Q_FUNC_INFO, __LINE__))
        return false;

    bool result = true;
    const QString suffix = mode.testFlag(Wlan0) ? QStringLiteral("(無線)") : QString();
    int address[4];
    int netmask[4];
    int gateway[4];
    readAddress(QStringLiteral("IPアドレス") + suffix, address, &result, Q_FUNC_INFO, __LINE__);
    readAddress(QStringLiteral("サブネットマスク") + suffix, netmask, &result, Q_FUNC_INFO, __LINE__);
    readAddress(QStringLiteral("ゲートウェイ") + suffix, gateway, &result, Q_FUNC_INFO, __LINE__);
    const int broadcast[4] = {address[0], address[1], address[2], 255};

    // DNS octets keep a stored negative value: it means "no DNS address".
    int dns[4];
    readOctets(mode.testFlag(Eth0) ? QStringLiteral("DNS") : QStringLiteral("DNS(無線)"), dns, Q_FUNC_INFO, __LINE__);
    const bool dnsComplete = dns[0] >= 0 && dns[1] >= 0 && dns[2] >= 0 && dns[3] >= 0;

    QString nameserver;
    if (ZSystem::mode() == ZSystem::Basic) {
        nameserver = dotted(gateway);
    } else {
        int dnsAuto = 0;
        if (DBSetting::getParamJ(QStringLiteral("DNSの設定"), &dnsAuto) != 0)
            dnsAuto = 0;
        if (mode.testFlag(DhcpAddress) && dnsAuto != 0) {
            DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "DHCP＋DNS自動のため、DHCPから設定されたものを使う";
            result = true;
        } else if (!dnsComplete) {
            DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "手動設定でアドレスがないためNGとする";
            result = false;
        } else {
            nameserver = dotted(dns);
            result = true;
        }
    }

    const QString text = QStringLiteral("IPADDR=%1\nNETMASK=%2\nBROADCAST=%3\nGATEWAY=%4\nNAMESERVER=%5\n")
                             .arg(vnq::shellQuoted(dotted(address)), vnq::shellQuoted(dotted(netmask)),
                                  vnq::shellQuoted(dotted(broadcast)), vnq::shellQuoted(dotted(gateway)),
                                  vnq::shellQuoted(nameserver));
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "Static setting: " << result << text;
    staticFile.write(text.toUtf8());
    staticFile.close();
    return result;
}

bool NetworkManager::setAccessPoint()
{
    QFile file(configFile(QStringLiteral("wlan0/wifi.sh")));
    if (!openForWriting(&file, Q_FUNC_INFO, __LINE__))
        return false;

    QString ssid;
    QString key;
    QString security;
    DBWifi::getWifi(QStringLiteral("無線LAN設定"), &ssid, &key, &security);
    if (security == QLatin1String("OPEN"))
        key = QStringLiteral("OPEN");
    if (ssid.isEmpty() || key.isEmpty() || security.isEmpty()) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "Failed getWifi:" << ssid << ","
                  << maskedKey(key) << "," << security;
        return false;
    }

    // One substitution of all three, so a "%2" typed into a key stays as typed.
    const QString text = QStringLiteral("WLAN_SMODE=%1\nWLAN_PASS=%2\nWLAN_ESSID=%3\n")
                             .arg(vnq::shellQuoted(security), vnq::shellQuoted(key), vnq::shellQuoted(ssid));
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "AP info: " << security << ","
                << maskedKey(key) << "," << ssid;
    file.write(text.toUtf8());
    file.close();
    return true;
}

bool NetworkManager::nowSettingNic()
{
    int wireless = 0;
    if (!DBSetting::getSetting(QStringLiteral("無線LAN"), &wireless))
        return false;
    return wireless == 0;
}
