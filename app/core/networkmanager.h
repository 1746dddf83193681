#pragma once

#include <QFlags>
#include <QObject>
#include <QString>
#include <QStringList>

// The terminal's network: it writes the configuration files that the outside network scripts
// apply, takes the network down and starts the interface watch, reads back the live status
// the watch reports, scans for access points and runs the network-related outside commands
// (web-server restart, connection check, clock synchronisation). Every operation is static.
class NetworkManager : public QObject {
    Q_OBJECT
public:
    explicit NetworkManager(QObject* parent = nullptr);

    // The interface and address mode one configuration is written for. The writers test the
    // bits in a fixed order: Eth0 before Wlan0, StaticAddress before DhcpAddress.
    enum NetworkModeFlag {
        Eth0 = 0x01,
        Wlan0 = 0x02,
        StaticAddress = 0x10,
        DhcpAddress = 0x20,
    };
    Q_DECLARE_FLAGS(NetworkMode, NetworkModeFlag)

    // --- Configuration files under /VnQo/etc/network/config and the network scripts ---

    // Derives the mode from the settings, writes the files, takes the network down and starts
    // the interface watch. False, with nothing stopped or started, when a file could not be
    // written or the settings are incomplete.
    static bool setNetwork();
    // Stops the interface watch and runs the network-down script; always true.
    static bool downNetwork();
    // Writes interface.sh.
    static bool setLanWlan(NetworkMode mode);
    // Writes amode.sh and static.sh of the mode's interface; false when a file cannot be
    // opened or the stored addresses are incomplete.
    static bool setStaticDhcp(NetworkMode mode);
    // Writes wlan0/wifi.sh from the wireless profile; false when the profile is incomplete.
    static bool setAccessPoint();
    // True when the wired LAN is selected ("無線LAN" reads 0).
    static bool nowSettingNic();

    // --- Wireless scan and signal level ---

    // Appends the non-empty SSIDs of a scan to list, in scan order; always true.
    static bool getSsidList(QStringList* list);
    // Antenna level from the driver's level file: -1 adapter missing, 0 no signal, 1 to 4.
    static int getApSignalLevelOnce();
    // Antenna level from the signal the interface watch reports.
    static int getApSignalLevel();
    // Antenna level of one access point from a scan.
    static int getApSignalLevel(const QString& essid);
    // Antenna level of a signal in dBm.
    static int convertApLevel(int dbm);

    // --- Live status and services ---

    // Line 0 to 9 of /var/tmp/network.status, or "初期化中..." while the watch has not filled
    // in what the interface needs.
    static QString getNetStatus(const QString& iface, int line);
    static QString getEthIpaddr();
    static QString getEthNetmask();
    static QString getEthGateway();
    static QString getWlanIpaddr();
    static QString getWlanNetmask();
    static QString getWlanGateway();
    static bool getEthActive();
    static bool getWlanActive();
    // The interface's MAC address in upper case, or "未検出".
    static QString getNetMacaddress(const QString& iface);
    static QString getEthMacaddr();
    static QString getWlanMacaddr();
    // The stored DNS server of "eth0" (any other name: the wireless one), or "---.---.---.---".
    static QString getDnsAddr(const QString& iface);
    // The DNS server DHCP gave the interface (from /etc/resolv.conf), or "初期化中...".
    static QString getDnsAddrDhcp(const QString& iface);

    // Restarts the terminal's web server on the configured port; false when the port
    // setting cannot be read.
    static bool webServerRestart();
    // True when an established TCP connection has the web-service port as its local port.
    static bool apiPortStatus();
    // The curl options for the configured proxy ("--proxy-anyauth -U 'id':'password' "
    // when authenticating, then "--proxy a.b.c.d:port "), or empty when no proxy is used.
    // The id and password are quoted for a shell command line.
    static QString curlProxyOpt();
    // The same with the password written "****", for log lines.
    static QString curlProxyOptForLog();
    // Starts the background clock synchronisation (NTP server, or the cloud service's HTTP
    // time in the cloud editions); true when a script was started.
    static bool syncNtpServer();
    // The forced variant for the time synchronisation screen.
    static bool syncNtpServerDouki();
};

Q_DECLARE_OPERATORS_FOR_FLAGS(NetworkManager::NetworkMode)
