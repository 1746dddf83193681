#include "localsockettext.h"

#include "platform/boardroot.h"

namespace vnq {

QString decodeLocalSocketText(const QByteArray& bytes)
{
    const int end = bytes.indexOf('\0');
    return QString::fromUtf8(bytes.constData(), end < 0 ? bytes.size() : end);
}

QString localSocketPath(const QString& serverName)
{
    return boardPath(serverName);
}

}  // namespace vnq
