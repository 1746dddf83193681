#pragma once

#include <QNetworkProxy>
#include <QString>

namespace proxyconfig {

// The terminal's proxy settings as the HTTP client reads them. A setting that cannot be read
// keeps the value here, which leaves the proxy unused.
struct Settings {
    int enabled = 0;             // "プロキシ設定"
    int authentication = 0;      // "プロキシ認証"
    int octets[4] = {-1, -1, -1, -1};  // "プロキシアドレス0" to "プロキシアドレス3"
    int port = 0;                // "プロキシポート番号"
    QString user;                // DBProxy row "プロキシ認証"
    QString password;
};

Settings read();

// The proxy for every request: an HTTP proxy at the four octets and the port, with the
// credentials only when authentication is on; no proxy when the proxy is off or the address
// or port is not a valid one.
QNetworkProxy fromSettings(const Settings& settings);

}  // namespace proxyconfig
