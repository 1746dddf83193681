#include "platform/boardroot.h"

#include <QtGlobal>

namespace vnq {

QString boardRoot()
{
    QString root = QString::fromLocal8Bit(qgetenv("VNQ_ROOT"));
    while (root.size() > 1 && root.endsWith(QLatin1Char('/')))
        root.chop(1);
    if (root == QLatin1String("/"))
        return QString();
    return root;
}

QString boardPath(const QString& absolutePath)
{
    if (!absolutePath.startsWith(QLatin1Char('/')))
        return absolutePath;
    return boardRoot() + absolutePath;
}

}  // namespace vnq
