#include "httpproxyconfig.h"

#include "dbproxy.h"
#include "dbsetting.h"

namespace proxyconfig {

Settings read()
{
    Settings s;
    DBSetting::getSetting(QStringLiteral("プロキシ設定"), &s.enabled);
    DBSetting::getSetting(QStringLiteral("プロキシ認証"), &s.authentication);
    for (int i = 0; i < 4; ++i)
        DBSetting::getSetting(QStringLiteral("プロキシアドレス%1").arg(i), &s.octets[i]);
    DBSetting::getSetting(QStringLiteral("プロキシポート番号"), &s.port);
    DBProxy::getAuth(QStringLiteral("プロキシ認証"), &s.user, &s.password);
    return s;
}

QNetworkProxy fromSettings(const Settings& s)
{
    if (s.enabled == 0)
        return QNetworkProxy(QNetworkProxy::NoProxy);
    for (const int octet : s.octets) {
        if (octet < 0 || octet > 255)
            return QNetworkProxy(QNetworkProxy::NoProxy);
    }
    if (s.port < 1 || s.port > 65535)
        return QNetworkProxy(QNetworkProxy::NoProxy);
    QNetworkProxy proxy(QNetworkProxy::HttpProxy,
                        QStringLiteral("%1.%2.%3.%4")
                            .arg(s.octets[0]).arg(s.octets[1]).arg(s.octets[2]).arg(s.octets[3]),
                        quint16(s.port));
    if (s.authentication > 0) {
        proxy.setUser(s.user);
        proxy.setPassword(s.password);
    }
    return proxy;
}

}  // namespace proxyconfig
