#pragma once

#include <QSslConfiguration>

namespace tlsconfig {

// The simulated board's trust anchor for its mock cloud; the board itself has no such file.
inline constexpr const char* boardCaFile = "/VnQo/etc/ssl/cloud-ca.pem";

// The TLS configuration of every https exchange: Qt's default configuration (the system CA
// store), TLS 1.2 or later, the peer's certificate verified. Under a board root the
// certificates of boardCaFile are trusted as well, when the file exists.
QSslConfiguration cloud();

}  // namespace tlsconfig
