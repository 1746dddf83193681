#include "boardpath.h"

#include "vnq_boardroot.h"

#include <QByteArray>
#include <vector>

namespace vistrel {

QString boardPath(const QString& path)
{
    if (!path.startsWith(QLatin1Char('/')))
        return path;
    const QByteArray absolute = path.toUtf8();
    std::vector<char> real(static_cast<size_t>(qgetenv("VNQ_ROOT").size() + absolute.size() + 1));
    if (!vnq_board_path(real.data(), real.size(), absolute.constData()))
        return QString();
    return QString::fromUtf8(real.data());
}

}  // namespace vistrel
