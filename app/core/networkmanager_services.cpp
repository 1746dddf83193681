// Network services for the rest of the terminal: web-server restart, the connection check on
// the web-service port, the curl proxy options and the clock synchronisation scripts.
#include "networkmanager.h"

#include "commandquote.h"
#include "dbproxy.h"
#include "dbsetting.h"
#include "debugline.h"
#include "mydebug.h"
#include "platform/boardroot.h"
#include "platform/commandrunner.h"
#include "zsystem.h"

#include <QStringList>

namespace {

const int commandTimeoutMs = 30000;

// The text inside single quotes of a shell line: each ' closes the quoting, stands as a
// double-quoted ', and reopens it.
QString insideSingleQuotes(QString text)
{
    return text.replace(QLatin1Char('\''), QLatin1String("'\"'\"'"));
}

// The curl proxy options, and the same with the password masked for the log. Both empty
// when no proxy is used.
struct ProxyOptions {
    QString options;
    QString forLog;
};

ProxyOptions proxyOptions(const char* function, int line)
{
    // A proxy setting that cannot be read counts as "no proxy".
    int use = 0;
    int auth = 0;
    int address[4] = {-1, -1, -1, -1};
    int port = -1;
    DBSetting::getParamJ(QStringLiteral("プロキシ設定"), &use);
    DBSetting::getParamJ(QStringLiteral("プロキシ認証"), &auth);
    for (int i = 0; i < 4; ++i)
        DBSetting::getParamJ(QStringLiteral("プロキシアドレス%1").arg(i), &address[i]);
    DBSetting::getParamJ(QStringLiteral("プロキシポート番号"), &port);
    QString id;
    QString password;
    DBProxy::getAuth(QStringLiteral("プロキシ認証"), &id, &password);

    ProxyOptions result;
    if (use == 0 || address[0] < 0 || address[1] < 0 || address[2] < 0 || address[3] < 0 || port < 0) {
        MyDebug() << "<IFO>" << function << "[" << line << "]:" << "プロキシ未使用";
        return result;
    }

    // One substitution of both values, so a "%2" typed into the id stays as typed.
    const QString authTemplate = QStringLiteral("--proxy-anyauth -U '%1':'%2' ");
    if (auth > 0) {
        result.options = authTemplate.arg(insideSingleQuotes(id), insideSingleQuotes(password));
        result.forLog = authTemplate.arg(insideSingleQuotes(id), QStringLiteral("****"));
    }
    const QString proxy = QStringLiteral("--proxy %1.%2.%3.%4:%5 ")
                              .arg(address[0])
                              .arg(address[1])
                              .arg(address[2])
                              .arg(address[3])
                              .arg(port);
    result.options += proxy;
    result.forLog += proxy;
    MyDebug() << "<IFO>" << function << "[" << line << "]:" << "プロキシ使用:" << result.forLog;
    return result;
}

struct SyncScripts {
    const char* ntp;
    const char* http;
    const char* logPrefix;
};

// Starts the clock synchronisation script the settings call for, in the background.
bool startClockSync(const SyncScripts& scripts, const char* function, int line)
{
    // Log texts are literal parts of the line, not quoted values.
    const auto message = [&scripts](const char* text) { return QByteArray(scripts.logPrefix) + text; };
    int useNtp = 0;
    DBSetting::getParamJ(QStringLiteral("NTPサーバーを使用"), &useNtp);

    if (useNtp == 1) {
        int server[4] = {0, 0, 0, 0};
        for (int i = 0; i < 4; ++i)
            DBSetting::getParamJ(QStringLiteral("NTPサーバー%1").arg(i), &server[i]);
        if (server[0] < 0 || server[1] < 0 || server[2] < 0 || server[3] < 0) {
            MyDebug() << "<IFO>" << function << "[" << line << "]:" << message("NTP同期 不可（-1）").constData();
            return false;
        }
        if (server[0] == 0 && server[1] == 0 && server[2] == 0 && server[3] == 0) {
            MyDebug() << "<IFO>" << function << "[" << line << "]:" << message("NTP同期 不可（ALL 0）").constData();
            return false;
        }
        const QString address =
            QStringLiteral("%1.%2.%3.%4").arg(server[0]).arg(server[1]).arg(server[2]).arg(server[3]);
        const QString command =
            QStringLiteral("%1 %2 &").arg(vnq::shellWord(vnq::boardPath(QString::fromLatin1(scripts.ntp))), address);
        MyDebug() << "<IFO>" << function << "[" << line << "]:" << message("NTP同期:").constData() << command;
        vnq::commandRunner().shell(command);
        return true;
    }

    if (ZSystem::mode() != ZSystem::Basic) {
        const ProxyOptions proxy = proxyOptions(function, line);
        const QString script = vnq::shellWord(vnq::boardPath(QString::fromLatin1(scripts.http)));
        const QString command = QStringLiteral("%1 %2 &").arg(script, proxy.options);
        MyDebug() << "<IFO>" << function << "[" << line << "]:" << message("HTTP時計同期:").constData()
                  << QStringLiteral("%1 %2 &").arg(script, proxy.forLog);
        vnq::commandRunner().shell(command);
        return true;
    }

    MyDebug() << "<IFO>" << function << "[" << line << "]:" << message("NTPサーバを使用しない").constData();
    return false;
}

// The local port of one "netstat -nt" line ("tcp 0 0 192.168.1.5:80 192.168.1.2:51234
// ESTABLISHED"), or an empty text when the line is not a TCP connection.
QString localPort(const QString& line)
{
    const QStringList fields = line.simplified().split(QLatin1Char(' '));
    if (fields.size() < 6 || !fields.at(0).startsWith(QLatin1String("tcp")))
        return QString();
    const QString& local = fields.at(3);
    const int colon = local.lastIndexOf(QLatin1Char(':'));
    return colon < 0 ? QString() : local.mid(colon + 1);
}

}  // namespace

bool NetworkManager::webServerRestart()
{
    int port = 0;
    if (!DBSetting::getSetting(QStringLiteral("ポート番号"), &port))
        return false;
    const QString command = vnq::shellWord(vnq::boardPath(QStringLiteral("/VnQo/bin/vnq_lighttpd_reboot"))) + QLatin1Char(' ')
        + QString::number(port);
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "cmd:" << command;
    vnq::commandRunner().shell(command);
    return true;
}

bool NetworkManager::apiPortStatus()
{
    int port = 0;
    DBSetting::getParamJ(QStringLiteral("ポート番号"), &port);
    const QString wanted = QString::number(port);
    const vnq::CommandResult listing =
        vnq::commandRunner().run(QStringLiteral("sh -c \"netstat -nt | grep ESTABLISHED\""), commandTimeoutMs);
    const QStringList lines = QString::fromUtf8(listing.output).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        if (localPort(line) == wanted)
            return true;
    }
    return false;
}

QString NetworkManager::curlProxyOpt()
{
    return proxyOptions(Q_FUNC_INFO, __LINE__).options;
}

QString NetworkManager::curlProxyOptForLog()
{
    return proxyOptions(Q_FUNC_INFO, __LINE__).forLog;
}

bool NetworkManager::syncNtpServer()
{
    return startClockSync({"/VnQo/bin/vnq_sync_ntp", "/VnQo/bin/vnq_sync_ntp_http", ""}, Q_FUNC_INFO, __LINE__);
}

bool NetworkManager::syncNtpServerDouki()
{
    return startClockSync({"/VnQo/bin/vnq_sync_ntp_douki", "/VnQo/bin/vnq_sync_ntp_http_douki", "[強制]"},
                          Q_FUNC_INFO, __LINE__);
}
