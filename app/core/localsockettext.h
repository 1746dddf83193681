#pragma once

#include <QByteArray>
#include <QString>

namespace vnq {

// Text of a local-socket message: its UTF-8 bytes up to the first NUL byte or the end.
QString decodeLocalSocketText(const QByteArray& bytes);

// The socket file that stands for a socket name: absolute names are board paths.
QString localSocketPath(const QString& serverName);

}  // namespace vnq
